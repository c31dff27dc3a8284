#include "vantrel/appkit/multiline_label.h"

#include <variant>

#include "vantrel/core/fatal.h"
#include "vantrel/platform/graphics/drawing_context.h"
#include "vantrel/platform/graphics/font.h"
#include "vantrel/platform/kit/paragraph_style.h"

namespace vantrel {

MultilineLabel::MultilineLabel(Rect frame) : View(frame) {
  setTranslatesAutoresizingMaskIntoConstraints(false);
  updateAttributes();
}

MultilineLabel::Ptr MultilineLabel::create(Rect frame) { return Ptr(new MultilineLabel(frame)); }

void MultilineLabel::setFont(Font font) {
  font_ = std::move(font);
  updateAttributes();
  setNeedsDisplay(true);
}

void MultilineLabel::setTextColor(Color::Ptr color) {
  if (!color) fatal("MultilineLabel.setTextColor: the colour is null");
  textColor_ = std::move(color);
  updateAttributes();
  setNeedsDisplay(true);
}

void MultilineLabel::setText(std::optional<std::string> text) {
  text_ = std::move(text);
  setNeedsDisplay(true);
}

void MultilineLabel::updateAttributes() {
  ParagraphStyle style;
  style.lineBreakMode = LineBreakMode::byWordWrapping;
  style.alignment = TextAlignment::center;
  attributes_ = TextAttributes{
      {AttributedStringKey::font, font_},
      {AttributedStringKey::paragraphStyle, style},
      {AttributedStringKey::foregroundColor, textColor_},
  };
  ++attributesBuildCount_;
}

Rect MultilineLabel::measuredTextRect() const {
  if (!text_ || text_->empty()) return Rect();
  const Font& font = std::get<Font>(attributes_.at(AttributedStringKey::font));
  return Rect(Point(), measureWrappedText(*text_, font, bounds().size.width));
}

Rect MultilineLabel::placedTextRect() const {
  Rect rect = measuredTextRect();
  const Size size = bounds().size;
  const double spareWidth = size.width - rect.size.width;
  const double spareHeight = size.height - rect.size.height;
  if (spareWidth > 0) rect.origin.x += spareWidth / 2;
  if (spareHeight > 0) rect.origin.y += spareHeight / 2;
  return rect;
}

void MultilineLabel::draw(Rect /*dirtyRect*/) {
  const DrawingContext::Ptr context = currentDrawingContext();
  if (!context) return;
  if (!text_ || text_->empty()) {
    // The platform's rectangle fill copies: whatever lay below turns clear.
    context->saveGState();
    context->setCompositingOperation(CompositingOperation::copy);
    context->setFillColor(*Color::clearColor());
    context->fillRect(bounds());
    context->restoreGState();
    return;
  }
  const Font& font = std::get<Font>(attributes_.at(AttributedStringKey::font));
  const auto& style = std::get<ParagraphStyle>(attributes_.at(AttributedStringKey::paragraphStyle));
  const auto& color = std::get<Color::Ptr>(attributes_.at(AttributedStringKey::foregroundColor));
  TextLayout layout;
  layout.alignment = style.alignment;
  layout.wrapsWords = true;
  // Only the lines that fit, the last one cut with an ellipsis: the
  // rectangle holds every measured line, so this only keeps ink inside it.
  layout.clipsToRect = true;
  context->drawText(*text_, placedTextRect(), font, *color, layout);
}

}  // namespace vantrel
