// File: vantrel/appkit/multiline_label.h
//
// `MultilineLabel`: a view that draws one optional text in one font and one
// colour, broken into lines at word boundaries within its width (a word
// wider than the width breaks between characters) and centred both ways in
// its bounds. It draws the text itself; its size is whatever the host's
// constraints or frame give it (no intrinsic size of its own).
//
//   auto label = MultilineLabel::create(Rect(0, 0, 200, 60));
//   label->setText("A text that takes two lines");
//   label->setFont(Font::systemFont(20));
//   label->placedTextRect()        // where the next drawing puts the text
//
// Every write of `font`, `textColor` and `text` marks the view for
// redrawing, also when the value is the one already there; `font` and
// `textColor` first rebuild the attributes the drawing reads
// (`attributesBuildCount()` counts the rebuilds), `text` does not.
//
// Drawing: without a text, or with the empty text, the bounds are filled
// with the clear colour by copying, so what was drawn there before becomes
// transparent. Otherwise the text is measured for the bounds' size: lines
// as wide as the bounds, every line counted (`measuredTextRect()`, at the
// origin). A dimension with room to spare moves the rectangle by half the
// spare room; one without keeps the origin (`placedTextRect()`). The text
// is drawn in that rectangle, centred line by line, and nothing outside it.
//
// Not archivable: there is no coder form. Main-thread objects, like views.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "vantrel/core/color.h"
#include "vantrel/core/font.h"
#include "vantrel/core/geometry.h"
#include "vantrel/platform/kit/text_storage.h"
#include "vantrel/platform/kit/view.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class MultilineLabel : public View {
 public:
  using Ptr = std::shared_ptr<MultilineLabel>;

  // System font of 13 points, white, no text; the autoresizing mask is not
  // translated into constraints.
  [[nodiscard]] static Ptr create(Rect frame = Rect());

  [[nodiscard]] const Font& font() const { return font_; }
  void setFont(Font font);
  // Never null (a null colour stops the program).
  [[nodiscard]] const Color::Ptr& textColor() const { return textColor_; }
  void setTextColor(Color::Ptr color);
  [[nodiscard]] const std::optional<std::string>& text() const { return text_; }
  void setText(std::optional<std::string> text);

  // What the drawing reads: the font, the paragraph style (word wrapping,
  // centred) and the foreground colour.
  [[nodiscard]] const TextAttributes& attributes() const { return attributes_; }
  [[nodiscard]] std::int64_t attributesBuildCount() const { return attributesBuildCount_; }

  // The text's measured rectangle for the current bounds; zero without text.
  [[nodiscard]] Rect measuredTextRect() const;
  // The measured rectangle moved to where the text is drawn.
  [[nodiscard]] Rect placedTextRect() const;

  void draw(Rect dirtyRect) override;

 protected:
  explicit MultilineLabel(Rect frame);

 private:
  void updateAttributes();

  Font font_ = Font::systemFont(13);
  Color::Ptr textColor_ = Color::whiteColor();
  std::optional<std::string> text_;
  TextAttributes attributes_;
  std::int64_t attributesBuildCount_ = 0;
};

}  // namespace vantrel
