// File: vantrel/appkit/empty_state_view.h
//
// `EmptyStateView`: fills an area that has nothing to show with a centred
// text in large white letters on a green layer background.
//
//   auto empty = EmptyStateView::create("No documents");
//   empty->setLabelText("Drop files here");   // the label shows it
//   empty->setLabelText(std::nullopt);        // the label keeps its text
//
// Made 100 x 100 at the origin with its autoresizing mask not translated
// into constraints: the host places it with constraints of its own. The
// label (`textLabel()`) is a text field set up as a static, selectable label
// (not bezeled, not editable, no background) in the system font of 20 points,
// white, centred on the view by two installed constraints (centre X, then
// centre Y, offset 0); its own content decides its size.
//
// Only the text form exists: `create(Rect)` is deleted, and there is no
// coder form. Main-thread objects, like views.
#pragma once

#include <concepts>
#include <memory>
#include <optional>
#include <string>

#include "vantrel/core/geometry.h"
#include "vantrel/platform/kit/text_field.h"
#include "vantrel/platform/kit/view.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class EmptyStateView : public View {
 public:
  using Ptr = std::shared_ptr<EmptyStateView>;

  [[nodiscard]] static Ptr create(std::string text);
  template <std::same_as<Rect> R>
  static Ptr create(R frame) = delete;

  // The text last given; a write of a text puts it into the label, a write
  // of none leaves the label as it is.
  [[nodiscard]] const std::optional<std::string>& labelText() const { return labelText_; }
  void setLabelText(std::optional<std::string> text);
  [[nodiscard]] const TextField::Ptr& textLabel() const { return textLabel_; }

 protected:
  explicit EmptyStateView(std::string text);

 private:
  void build();

  TextField::Ptr textLabel_;
  std::optional<std::string> labelText_;
};

}  // namespace vantrel
