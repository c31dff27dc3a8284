#include "vantrel/appkit/view_controller_helpers.h"

#include "vantrel/appkit/control_helpers.h"
#include "vantrel/appkit/view_helpers.h"
#include "vantrel/core/fatal.h"
#include "vantrel/core/number_text.h"
#include "vantrel/core/trace.h"
#include "vantrel/drawing/color_values.h"
#include "vantrel/drawing/layout_builders.h"

namespace vantrel {
namespace {

// The content view of a `VantrelDummyVoller`: a view whose tag is its own
// (10 until the controller sets one).
class VantrelDummyVollerView : public View {
 public:
  static std::shared_ptr<VantrelDummyVollerView> create(Rect frame) {
    return std::shared_ptr<VantrelDummyVollerView>(new VantrelDummyVollerView(frame));
  }
  [[nodiscard]] std::int64_t tag() const override { return tag_; }
  void setTag(std::int64_t tag) { tag_ = tag; }

 private:
  explicit VantrelDummyVollerView(Rect frame) : View(frame) {}
  std::int64_t tag_ = 10;
};

}  // namespace

VantrelDummyVoller::VantrelDummyVoller(Color::Ptr color, std::optional<std::string> text,
                                       std::optional<std::int64_t> tag)
    : color_(std::move(color)), labelText_(std::move(text)), tag_(tag), textLabel_(TextField::create()) {
  setupAsLabelFlags(*textLabel_);
  textLabel_->setTranslatesAutoresizingMaskIntoConstraints(false);
  textLabel_->setFont(Font::systemFont(20.0));
  textLabel_->setTextColor(Color::whiteColor());
}

VantrelDummyVoller::Ptr VantrelDummyVoller::create(Color::Ptr color, std::optional<std::string> text,
                                                   std::optional<std::int64_t> tag) {
  if (!color) fatal("VantrelDummyVoller: the colour is null");
  return Ptr(new VantrelDummyVoller(std::move(color), std::move(text), tag));
}

VantrelDummyVoller::~VantrelDummyVoller() { qlinelog("", "deinit"); }

void VantrelDummyVoller::setLabelText(std::optional<std::string> text) {
  labelText_ = std::move(text);
  if (labelText_) textLabel_->setStringValue(*labelText_);
}

void VantrelDummyVoller::loadView() {
  const auto view = VantrelDummyVollerView::create(Rect(0, 0, 500, 500));
  view->setTranslatesAutoresizingMaskIntoConstraints(false);
  setVtBackgroundColor(*view, color_);
  if (tag_) view->setTag(*tag_);
  setView(view);
  view->addSubview(textLabel_);
  view->addConstraints(vccPlaceInCenter(view, textLabel_, std::pair{0.0, 0.0}));
  if (labelText_) textLabel_->setStringValue(*labelText_);
}

ColorSizeNameVoller::Ptr ColorSizeNameVoller::create(Color::Ptr color, Size size, std::string name) {
  if (!color) fatal("ColorSizeNameVoller: the colour is null");
  return Ptr(new ColorSizeNameVoller(std::move(color), size, std::move(name)));
}

ColorSizeNameVoller::~ColorSizeNameVoller() { qflow("💛💛💛💛💛 " + description(), "deinit"); }

std::string ColorSizeNameVoller::description() const {
  return name_ + ", " + hexString(color_) + " in (" + doubleText(size_.width) + ", " + doubleText(size_.height) +
         "))";
}

void ColorSizeNameVoller::loadView() {
  const auto view = View::create();
  view->setTranslatesAutoresizingMaskIntoConstraints(false);
  setVtBackgroundColor(*view, color_);
  view->addConstraints(vccConstrainSize(view, size_));
  setView(view);
}

void ColorSizeNameVoller::viewWillAppear() {
  ViewController::viewWillAppear();
  qflow(description(), "viewWillAppear()");
}

void ColorSizeNameVoller::viewDidAppear() {
  ViewController::viewDidAppear();
  qflow(description(), "viewDidAppear()");
}

void ColorSizeNameVoller::viewWillDisappear() {
  ViewController::viewWillDisappear();
  qflow(description(), "viewWillDisappear()");
}

void ColorSizeNameVoller::viewDidDisappear() {
  ViewController::viewDidDisappear();
  qflow(description(), "viewDidDisappear()");
}

void ColorSizeNameVoller::viewWillLayout() {
  ViewController::viewWillLayout();
  qflow(description(), "viewWillLayout()");
}

void ColorSizeNameVoller::viewDidLayout() {
  ViewController::viewDidLayout();
  qflow(description(), "viewDidLayout()");
}

}  // namespace vantrel
