// File: vantrel/platform/kit/text_field.h
//
// `TextField`: a one-line text control: its text, a placeholder shown while
// the text is empty, and the flags that make it an editable box or a plain
// label.
//
//   auto name = TextField::create(Rect(0, 0, 200, 22));
//   name->setPlaceholderString("Name");
//   name->setStringValue("Ada");
//
// A new field is editable, selectable, bezeled and draws its background,
// like the platform's; its font is the system font of 13 points, its text
// colour black, its alignment left. The headless kit has no keyboard: typing is
// `setStringValue` followed, where a test wants it, by `sendAction()`.
// Main-thread objects: not thread-safe.
#pragma once

#include <memory>
#include <string>

#include "vantrel/core/color.h"
#include "vantrel/platform/kit/control.h"
#include "vantrel/core/font.h"
#include "vantrel/core/geometry.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class TextField : public Control {
 public:
  using Ptr = std::shared_ptr<TextField>;

  [[nodiscard]] static Ptr create(Rect frame = Rect());

  [[nodiscard]] const std::string& stringValue() const { return stringValue_; }
  void setStringValue(std::string value) { stringValue_ = std::move(value); }
  [[nodiscard]] const std::string& placeholderString() const { return placeholder_; }
  void setPlaceholderString(std::string placeholder) { placeholder_ = std::move(placeholder); }

  [[nodiscard]] bool isEditable() const { return editable_; }
  void setEditable(bool editable) { editable_ = editable; }
  [[nodiscard]] bool isSelectable() const { return selectable_; }
  void setSelectable(bool selectable) { selectable_ = selectable; }
  [[nodiscard]] bool isBezeled() const { return bezeled_; }
  void setBezeled(bool bezeled) { bezeled_ = bezeled; }
  [[nodiscard]] bool isBordered() const { return bordered_; }
  void setBordered(bool bordered) { bordered_ = bordered; }
  [[nodiscard]] bool drawsBackground() const { return drawsBackground_; }
  void setDrawsBackground(bool draws) { drawsBackground_ = draws; }

  [[nodiscard]] const Font& font() const { return font_; }
  void setFont(Font font) { font_ = std::move(font); }
  [[nodiscard]] const Color::Ptr& textColor() const { return textColor_; }
  void setTextColor(Color::Ptr color) { textColor_ = std::move(color); }
  [[nodiscard]] TextAlignment alignment() const { return alignment_; }
  void setAlignment(TextAlignment alignment) { alignment_ = alignment; }

 protected:
  explicit TextField(Rect frame) : Control(frame) {}

 private:
  std::string stringValue_;
  std::string placeholder_;
  bool editable_ = true;
  bool selectable_ = true;
  bool bezeled_ = true;
  bool bordered_ = false;
  bool drawsBackground_ = true;
  Font font_ = Font::systemFont(13);
  Color::Ptr textColor_ = Color::blackColor();
  TextAlignment alignment_ = TextAlignment::left;
};

}  // namespace vantrel
