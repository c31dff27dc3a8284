#include "vantrel/appkit/empty_state_view.h"

#include "vantrel/appkit/control_helpers.h"
#include "vantrel/drawing/layout_builders.h"
#include "vantrel/core/color.h"
#include "vantrel/core/font.h"

namespace vantrel {

EmptyStateView::EmptyStateView(std::string text)
    : View(Rect(0, 0, 100, 100)), textLabel_(TextField::create()), labelText_(std::move(text)) {
  setupAsLabelFlags(*textLabel_);
  textLabel_->setTranslatesAutoresizingMaskIntoConstraints(false);
  textLabel_->setFont(Font::systemFont(20));
  textLabel_->setTextColor(Color::whiteColor());
  setTranslatesAutoresizingMaskIntoConstraints(false);
  setWantsLayer(true);
  layer()->setBackgroundColor(Color::greenColor());
}

EmptyStateView::Ptr EmptyStateView::create(std::string text) {
  Ptr view(new EmptyStateView(std::move(text)));
  view->build();
  return view;
}

void EmptyStateView::build() {
  const View::Ptr self = shared_from_this();
  addSubview(textLabel_);
  addConstraints(vccPlaceInCenter(self, textLabel_, Point(0, 0)));
  textLabel_->setStringValue(labelText_.value_or(""));
}

void EmptyStateView::setLabelText(std::optional<std::string> text) {
  labelText_ = std::move(text);
  if (labelText_) textLabel_->setStringValue(*labelText_);
}

}  // namespace vantrel
