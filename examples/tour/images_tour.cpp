#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <vantrel/drawing/bitmap_images.h>
#include <vantrel/drawing/image_creation.h>
#include <vantrel/platform/graphics/image_codecs.h>

#include "tour.h"

using namespace vantrel;

namespace {

// The tour's images go to one temporary folder, kept so they can be looked
// at: the first image says where it is.
const std::filesystem::path& imagesFolder() {
  static const std::filesystem::path folder = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::filesystem::path made = std::filesystem::path(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") /
                                 "vantrel-tour-images";
    std::filesystem::create_directories(made);
    std::printf("  the images are kept in %s\n", made.c_str());
    return made;
  }();
  return folder;
}

void save(const std::string& name, const std::optional<std::vector<std::uint8_t>>& bytes) {
  if (!bytes) {
    std::printf("  %s: no data\n", name.c_str());
    return;
  }
  std::ofstream(imagesFolder() / name, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes->data()), static_cast<std::streamsize>(bytes->size()));
  std::printf("  %s: %zu bytes\n", name.c_str(), bytes->size());
}

}  // namespace

// fontconfig keeps a few bytes of its configuration where LeakSanitizer
// cannot see them (sanitizer builds only).
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

TOUR_SECTION(84, "Images: drawn by a closure, empty, filled and marked") {
  const auto drawn = NSImage::createImage(Size(64, 32), [](Rect bounds) {
    auto context = currentDrawingContext();
    context->setFillColor(*Color::withRed(0.95, 0.6, 0.1, 1));
    context->fillRoundedRect(bounds, 8, 8);
    context->setStrokeColor(*Color::withRed(0.3, 0.1, 0, 1));
    context->setLineWidth(2);
    context->strokeEllipse(Rect(20, 4, 24, 24));
  });
  save("drawn.png", vtPngImageData(*drawn));
  const auto marked = NSImage::vtEmptyImage(Size(16, 16), true, Color::withRed(1, 0, 0, 1));
  std::printf("  empty image of 16 x 16 with retina: %s points\n", marked->size().description().c_str());
  save("marked.png", vtPngImageData(*marked));
  save("blue.png", vtPngImageData(*NSImage::vtRectImage(Size(24, 12))));
}

TOUR_SECTION(85, "Images: labels and text boxes") {
  const auto label = NSImage::vtImageWith("Vantrel", std::nullopt, Font::systemFont(14), Color::withWhite(0.95, 1),
                                          Color::withRed(0.2, 0.4, 0.8, 1), 2.0, EdgeInsets(4, 6, 4, 6), 6.0);
  std::printf("  label size %s\n", label->size().description().c_str());
  save("label.png", vtPngImageData(*label));
  save("box.png", vtPngImageData(*NSImage::textInBox("Right-aligned text that wraps", Size(120, 60), 2.0,
                                                     Color::withRed(1, 0.9, 0.6, 1))));
}

TOUR_SECTION(86, "Images: the blue circles") {
  save("circle.png", vtPngImageData(*NSImage::vtBlueCircleImage()));
  save("circle3.png", vtPngImageData(*NSImage::vtBlueCircleImage3(Size(40, 20))));
}

TOUR_SECTION(87, "Images: JPEG with an EXIF user comment") {
  const auto image = NSImage::vtRectImage(Size(32, 32), Color::withRed(0.1, 0.6, 0.3, 1));
  const auto jpeg = vtJpegImageData(*image, "made by the tour");
  save("comment.jpg", jpeg);
  if (jpeg) std::printf("  comment read back: %s\n", decodeJpeg(*jpeg).userComment.value_or("none").c_str());
}

TOUR_SECTION(88, "Bitmaps: pixels, tiles and PNG text entries") {
  std::vector<Pixel> pixels;
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      pixels.emplace_back(static_cast<std::uint8_t>(x * 32), static_cast<std::uint8_t>(y * 32), 128);
    }
  }
  const auto image = CGImage::fromRGBA32Bitmap(pixels, IntSize(8, 8));
  const auto tile = extract(*image, MatrixCoordinate(1, 1), Size(4, 4));
  const auto p = tile->pixelAt(0, 0);
  std::printf("  tile (1, 1) of 4 x 4 starts with rgba(%d, %d, %d, %d)\n", p[0], p[1], p[2], p[3]);
  const auto png = vtPngImageData(*image, "Tour", "Gradient", std::nullopt);
  save("gradient.png", png);
  for (const auto& entry : decodePng(*png).texts) std::printf("  %s: %s\n", entry.keyword.c_str(), entry.text.c_str());
}

TOUR_SECTION(89, "Bitmaps: drawn with a context, written safely") {
  const auto image = CGImage::createImage(Size(40.5, 20), [](DrawingContext& context, Rect) {
    context.setFillColor(*Color::withRed(0.5, 0, 0.5, 1));
    context.fillEllipse(Rect(0, 0, 20, 20));
    context.drawText("ok", Rect(22, 2, 18, 16), Font::systemFont(11), *Color::blackColor());
  });
  std::printf("  %lld x %lld pixels, %lld bytes per row\n", static_cast<long long>(image->width()),
              static_cast<long long>(image->height()), static_cast<long long>(image->bytesPerRow()));
  const auto path = imagesFolder() / "written.png";
  std::printf("  written.png: %s\n", writeAsPng(*image, path, std::nullopt, "Written") ? "in place" : "failed");
}
