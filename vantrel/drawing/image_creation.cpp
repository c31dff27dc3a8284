#include "vantrel/drawing/image_creation.h"

#include <algorithm>
#include <cmath>

#include "vantrel/core/checked.h"
#include "vantrel/core/fatal.h"
#include "vantrel/core/no_destructor.h"
#include "vantrel/drawing/internal/text_image_layout.h"
#include "vantrel/platform/graphics/image_codecs.h"

namespace vantrel {
namespace {

constexpr double kJpegCompressionFactor = 0.9;
constexpr double kMeasureLimit = 9999;

// Restores the thread's graphics state also when a caller's closure throws.
class GraphicsStateScope {
 public:
  explicit GraphicsStateScope(DrawingContext::Ptr context) {
    saveGraphicsState();
    setCurrentDrawingContext(std::move(context));
  }
  ~GraphicsStateScope() { restoreGraphicsState(); }
  GraphicsStateScope(const GraphicsStateScope&) = delete;
  GraphicsStateScope& operator=(const GraphicsStateScope&) = delete;
};

class FocusScope {
 public:
  explicit FocusScope(Image& image) : image_(image) { image_.lockFocus(); }
  ~FocusScope() { image_.unlockFocus(); }
  FocusScope(const FocusScope&) = delete;
  FocusScope& operator=(const FocusScope&) = delete;

 private:
  Image& image_;
};

// Whole pixels of a size (truncated); stops when there is not one each way.
std::pair<std::int64_t, std::int64_t> wholePixels(std::string_view operation, Size size) {
  const std::int64_t width = checkedInt64(size.width);
  const std::int64_t height = checkedInt64(size.height);
  if (width < 1 || height < 1) {
    fatal(std::string(operation) + ": the size " + size.description() + " holds no whole pixel");
  }
  return {width, height};
}

const Color::Ptr& blue() {
  static const NoDestructor<Color::Ptr> color(Color::withRed(0, 0, 1, 1));
  return *color;
}

// The 2 x 2 square centred on (w / 2, h / 2): (0, 0, size) inset by
// w / 2 - 1 and h / 2 - 1 on each side.
void markCenter(DrawingContext& context, Size size, const Color::Ptr& color) {
  if (!color) return;
  const double dx = size.width * 0.5 - 1;
  const double dy = size.height * 0.5 - 1;
  context.setFillColor(*color);
  context.fillRect(Rect(dx, dy, size.width - 2 * dx, size.height - 2 * dy));
}

void drawBlueCircle(DrawingContext& context, Size size) {
  const Rect bounds(0, 0, size.width, size.height);
  context.clearRect(bounds);
  context.setColor(*blue());
  context.fillEllipse(bounds);
}

}  // namespace

namespace NSImage {

Image::Ptr createImage(Size size, const std::function<void(Rect)>& byDrawing) {
  const auto [width, height] = wholePixels("createImage", size);
  auto context = DrawingContext::create(width, height);
  if (!context) fatal("createImage: no bitmap of " + size.description() + " can be made");
  {
    GraphicsStateScope scope(context);
    byDrawing(Rect(0, 0, size.width, size.height));
  }
  const auto png = encodePng(*context->makeImage());
  Image::Ptr image = png ? Image::fromData(*png) : nullptr;
  if (!image) fatal("createImage: the drawn bitmap could not be encoded and read back");
  return image;
}

Image::Ptr vtEmptyImage(Size size, bool retina, const Color::Ptr& markCenterColor) {
  const double k = retina ? 2.0 : 1.0;
  const Size scaled(size.width * k, size.height * k);
  auto image = Image::create(scaled);
  {
    FocusScope focus(*image);
    if (const auto context = currentDrawingContext()) {
      context->clearRect(Rect(0, 0, scaled.width, scaled.height));
      markCenter(*context, scaled, markCenterColor);
    }
  }
  image->setSize(scaled);
  return image;
}

Image::Ptr vtRectImage(Size size, const Color::Ptr& color, const Color::Ptr& markCenterColor) {
  auto image = Image::create(size);
  FocusScope focus(*image);
  if (const auto context = currentDrawingContext()) {
    if (color) {
      context->setFillColor(*color);
      context->fillRect(Rect(0, 0, size.width, size.height));
    }
    markCenter(*context, size, markCenterColor);
  }
  return image;
}

Image::Ptr vtImageWith(std::string_view text, std::optional<Size> frameSize, const Font& font,
                       const Color::Ptr& backgroundColor, const Color::Ptr& borderColor, double borderWidth,
                       EdgeInsets padding, std::optional<double> cornerRadius, const Color::Ptr& textColor) {
  Size measured = measureText(text, font);
  measured = Size(std::min(measured.width, kMeasureLimit), std::min(measured.height, kMeasureLimit));
  const auto layout = drawing_internal::textImageLayout(measured, frameSize, borderWidth, padding);
  const Size s = layout.imageSize;
  const auto [width, height] = wholePixels("vtImageWith", s);

  auto image = Image::create(s);
  image->addRepresentation(BitmapImage::transparent(width, height));
  FocusScope focus(*image);
  const auto context = currentDrawingContext();
  if (!context) return image;
  const Rect bounds(0, 0, s.width, s.height);
  context->clearRect(bounds);
  if (backgroundColor) {
    context->setColor(*backgroundColor);
    if (cornerRadius) {
      context->fillRoundedRect(bounds, *cornerRadius, *cornerRadius);
    } else {
      context->fillRect(bounds);
    }
  }
  if (borderColor) {
    context->setLineWidth(borderWidth);
    context->setStrokeColor(*borderColor);
    context->strokeRect(Rect(borderWidth / 2, borderWidth / 2, s.width - borderWidth, s.height - borderWidth));
  }
  context->drawText(text, layout.textRect, font, textColor ? *textColor : *Color::blackColor(),
                    TextLayout{TextAlignment::left, true, false});
  return image;
}

Image::Ptr textInBox(std::string_view text, Size size, double scaleFactor, const Color::Ptr& backgroundColor,
                     bool backgroundRoundedCorners) {
  const Font font = Font::systemFont(20 * scaleFactor);
  return createImage(Size(size.width * scaleFactor, size.height * scaleFactor), [&](Rect r) {
    const auto context = currentDrawingContext();
    if (!context) return;
    if (backgroundColor) {
      context->setFillColor(*backgroundColor);
      if (backgroundRoundedCorners) {
        context->fillRoundedRect(r, r.size.width * 0.125, r.size.height * 0.125);
      } else {
        context->fillRect(r);
      }
    }
    const Rect textRect(r.origin.x + 2 * scaleFactor, r.origin.y, r.size.width - 4 * scaleFactor, r.size.height);
    context->drawText(text, textRect, font, *Color::blackColor(), TextLayout{TextAlignment::right, true, true});
  });
}

Image::Ptr vtBlueCircleImage(Size size) {
  return Image::withDrawingHandler(size, true, [size](Rect) {
    const auto context = currentDrawingContext();
    if (!context) return false;
    drawBlueCircle(*context, size);
    return true;
  });
}

Image::Ptr vtBlueCircleImage2(Size size) {
  auto image = Image::create(size);
  FocusScope focus(*image);
  if (const auto context = currentDrawingContext()) drawBlueCircle(*context, size);
  return image;
}

Image::Ptr vtBlueCircleImage3(Size size) {
  const auto [width, height] = wholePixels("vtBlueCircleImage3", size);
  auto image = Image::create(size);
  image->addRepresentation(BitmapImage::transparent(width, height));
  FocusScope focus(*image);
  if (const auto context = currentDrawingContext()) drawBlueCircle(*context, size);
  return image;
}

}  // namespace NSImage

std::optional<std::vector<std::uint8_t>> vtPngImageData(const Image& self) {
  const auto bitmap = self.cgImage();
  if (!bitmap) return std::nullopt;
  return encodePng(*bitmap);
}

std::optional<std::vector<std::uint8_t>> vtJpegImageData(const Image& self,
                                                        const std::optional<std::string>& userComment) {
  const auto bitmap = self.cgImage();
  if (!bitmap) return std::nullopt;
  return encodeJpeg(*bitmap, kJpegCompressionFactor, userComment);
}

}  // namespace vantrel
