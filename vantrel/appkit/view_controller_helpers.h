// File: vantrel/appkit/view_controller_helpers.h
//
// `firstParent<T>`: the nearest enclosing view controller of a type; and two
// placeholder controllers for assembling layouts before the real content
// exists: `VantrelDummyVoller` (a coloured view with an optional large white
// caption and an optional view tag) and `ColorSizeNameVoller` (a coloured
// view of a fixed size that reports its life cycle on standard output).
//
//   auto split = firstParent<SplitController>(controller);      // or null
//   auto placeholder = VantrelDummyVoller::create(Color::redColor(), "Sidebar", 7);
//   placeholder->view()->tag()                                  // 7
//   auto main = ColorSizeNameVoller::create(Color::redColor(), Size(300, 200), "Main");
//   main->description()                     // "Main, #ff0000 in (300.0, 200.0))"
//
// `VantrelDummyVoller`: the view is 500 x 500, layer-backed with the colour,
// without autoresizing-mask constraints, and reports tag 10 unless a tag
// was given; the caption (not bezeled, not editable, selectable, no
// background, system font of 20 points, white) sits in its middle through
// two centring constraints. A text given at creation shows once the view is
// loaded; `setLabelText` with a text shows it at once, with none leaves the
// caption as it is. Its destruction prints a line trace (empty message,
// function "deinit").
//
// `ColorSizeNameVoller`: a plain layer-backed view of the colour, without
// autoresizing-mask constraints, with a width and a height constraint of
// `size`. Each of the six appear, disappear and layout hooks prints a flow
// trace whose message is the description and whose function is the hook's
// name with "()"; its destruction prints the flow trace "💛💛💛💛💛 " +
// description, function "deinit". Main thread, like the views.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "vantrel/core/color.h"
#include "vantrel/core/geometry.h"
#include "vantrel/platform/kit/text_field.h"
#include "vantrel/platform/kit/view_controller.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// From the receiver's parent outward (never the receiver itself), the first
// controller of type T or a subclass of it; null when there is none.
template <class T>
  requires std::derived_from<T, ViewController>
[[nodiscard]] std::shared_ptr<T> firstParent(const ViewController& self) {
  for (auto candidate = self.parent(); candidate; candidate = candidate->parent()) {
    if (auto found = std::dynamic_pointer_cast<T>(candidate)) return found;
  }
  return nullptr;
}

class VantrelDummyVoller : public ViewController {
 public:
  using Ptr = std::shared_ptr<VantrelDummyVoller>;

  [[nodiscard]] static Ptr create(Color::Ptr color, std::optional<std::string> text = std::nullopt,
                                  std::optional<std::int64_t> tag = std::nullopt);
  ~VantrelDummyVoller() override;

  [[nodiscard]] const Color::Ptr& color() const { return color_; }
  [[nodiscard]] const std::optional<std::string>& labelText() const { return labelText_; }
  void setLabelText(std::optional<std::string> text);
  [[nodiscard]] const std::optional<std::int64_t>& tag() const { return tag_; }
  [[nodiscard]] const TextField::Ptr& textLabel() const { return textLabel_; }

  void loadView() override;

 protected:
  VantrelDummyVoller(Color::Ptr color, std::optional<std::string> text, std::optional<std::int64_t> tag);

 private:
  Color::Ptr color_;
  std::optional<std::string> labelText_;
  std::optional<std::int64_t> tag_;
  TextField::Ptr textLabel_;
};

class ColorSizeNameVoller : public ViewController {
 public:
  using Ptr = std::shared_ptr<ColorSizeNameVoller>;

  [[nodiscard]] static Ptr create(Color::Ptr color, Size size, std::string name);
  ~ColorSizeNameVoller() override;

  [[nodiscard]] const Color::Ptr& color() const { return color_; }
  [[nodiscard]] Size size() const { return size_; }
  [[nodiscard]] const std::string& name() const { return name_; }

  // name + ", " + hexString(color) + " in (" + width + ", " + height + "))"
  [[nodiscard]] std::string description() const override;

  void loadView() override;
  void viewWillAppear() override;
  void viewDidAppear() override;
  void viewWillDisappear() override;
  void viewDidDisappear() override;
  void viewWillLayout() override;
  void viewDidLayout() override;

 protected:
  ColorSizeNameVoller(Color::Ptr color, Size size, std::string name)
      : color_(std::move(color)), size_(size), name_(std::move(name)) {}

 private:
  Color::Ptr color_;
  Size size_;
  std::string name_;
};

}  // namespace vantrel
