// Image operations against their floor: the same cairo calls made directly
// on surfaces prepared in cairo's own pixel format, so the difference is
// what the library adds (pixel-format conversions between its RGBA bitmaps
// and cairo's ARGB words, allocations, bookkeeping). The Convert cases time
// the conversions alone, to give their share.
//
//   Resize    4096 x 4096 -> 1024 x 1024 (vtImageResizedTo)
//   Tint      4096 x 4096 (imageTinted)
//   SpriteMap 64 images of 256 x 256 at width 8 (createSpriteMap)
#include <cstring>
#include <vector>

#include <benchmark/benchmark.h>
#include <cairo.h>

#include "vantrel/drawing/image_helper.h"
#include "vantrel/drawing/image_resizing.h"
#include "vantrel/platform/graphics/image.h"
#include "vantrel/platform/graphics/internal/pixel_swizzle.h"

namespace vantrel {
namespace {

// A premultiplied RGBA bitmap with some variety in it.
BitmapImage::Ptr pattern(std::int64_t w, std::int64_t h, int seed) {
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(w * h * 4));
  for (std::int64_t y = 0; y < h; ++y) {
    for (std::int64_t x = 0; x < w; ++x) {
      std::uint8_t* p = &bytes[static_cast<std::size_t>((y * w + x) * 4)];
      const auto a = static_cast<std::uint8_t>(((x + y + seed) & 1) ? 255 : 128);
      p[0] = static_cast<std::uint8_t>(((x * 7 + seed) & 0xFF) * a / 255);
      p[1] = static_cast<std::uint8_t>(((y * 3) & 0xFF) * a / 255);
      p[2] = static_cast<std::uint8_t>(((x ^ y) & 0xFF) * a / 255);
      p[3] = a;
    }
  }
  return BitmapImage::create(w, h, w * 4, std::move(bytes));
}

// The bitmap as a cairo surface (the floor's prepared input).
cairo_surface_t* surfaceOf(const BitmapImage& image) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(image.width()),
                                                  static_cast<int>(image.height()));
  unsigned char* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  for (std::int64_t y = 0; y < image.height(); ++y) {
    graphics_internal::swapRedAndBlue(image.row(y).data(), data + y * stride, static_cast<std::size_t>(image.width()));
  }
  cairo_surface_mark_dirty(s);
  return s;
}

Image::Ptr imageOf(BitmapImage::Ptr bitmap) {
  auto image = Image::create(Size(static_cast<double>(bitmap->width()), static_cast<double>(bitmap->height())));
  image->addRepresentation(std::move(bitmap));
  return image;
}

// What DrawingContext::drawImage asks of cairo for an unflipped context:
// the source placed upright and scaled into (x, y, w, h) (y up).
void paintInto(cairo_t* cr, cairo_surface_t* source, int contextHeight, double x, double y, double w, double h,
               cairo_operator_t op) {
  const int sw = cairo_image_surface_get_width(source), sh = cairo_image_surface_get_height(source);
  cairo_save(cr);
  cairo_matrix_t base;
  cairo_matrix_init(&base, 1, 0, 0, -1, 0, contextHeight);
  cairo_set_matrix(cr, &base);
  cairo_translate(cr, x, y + h);
  cairo_scale(cr, w / sw, -h / sh);
  cairo_rectangle(cr, 0, 0, sw, sh);
  cairo_clip(cr);
  cairo_set_source_surface(cr, source, 0, 0);
  cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
  cairo_set_operator(cr, op);
  cairo_paint(cr);
  cairo_restore(cr);
}

const BitmapImage::Ptr& big() {
  static const auto& image = *new BitmapImage::Ptr(pattern(4096, 4096, 1));
  return image;
}

const std::vector<BitmapImage::Ptr>& sprites() {
  static const auto& images = *[] {
    auto* list = new std::vector<BitmapImage::Ptr>();
    for (int i = 0; i < 64; ++i) list->push_back(pattern(256, 256, i));
    return list;
  }();
  return images;
}

void Resize_Library(benchmark::State& state) {
  const auto image = imageOf(big());
  for (auto _ : state) benchmark::DoNotOptimize(vtImageResizedTo(*image, Size(1024, 1024))->cgImage());
}

void Resize_CairoFloor(benchmark::State& state) {
  cairo_surface_t* source = surfaceOf(*big());
  for (auto _ : state) {
    cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1024, 1024);
    cairo_t* cr = cairo_create(target);
    paintInto(cr, source, 1024, 0, 0, 1024, 1024, CAIRO_OPERATOR_OVER);
    cairo_surface_flush(target);
    benchmark::DoNotOptimize(cairo_image_surface_get_data(target));
    cairo_destroy(cr);
    cairo_surface_destroy(target);
  }
  cairo_surface_destroy(source);
}

void Tint_Library(benchmark::State& state) {
  const auto image = imageOf(big());
  const auto blue = Color::withRed(0, 0, 1, 1);
  for (auto _ : state) benchmark::DoNotOptimize(imageTinted(*image, *blue)->cgImage());
}

// A new surface holding the image, then the fill through source-atop.
void Tint_CairoFloor(benchmark::State& state) {
  cairo_surface_t* source = surfaceOf(*big());
  for (auto _ : state) {
    cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 4096, 4096);
    cairo_t* cr = cairo_create(target);
    cairo_set_source_surface(cr, source, 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_ATOP);
    cairo_set_source_rgba(cr, 0, 0, 1, 1);
    cairo_rectangle(cr, 0, 0, 4096, 4096);
    cairo_fill(cr);
    cairo_surface_flush(target);
    benchmark::DoNotOptimize(cairo_image_surface_get_data(target));
    cairo_destroy(cr);
    cairo_surface_destroy(target);
  }
  cairo_surface_destroy(source);
}

void SpriteMap_Library(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(ImageHelper::createSpriteMap(sprites(), 8).first);
}

// The sheet, 64 paints into it, and a copy of it as the snapshot.
void SpriteMap_CairoFloor(benchmark::State& state) {
  std::vector<cairo_surface_t*> sources;
  for (const auto& image : sprites()) sources.push_back(surfaceOf(*image));
  for (auto _ : state) {
    cairo_surface_t* sheet = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 2048, 2048);
    cairo_t* cr = cairo_create(sheet);
    for (int i = 0; i < 64; ++i) {
      paintInto(cr, sources[static_cast<std::size_t>(i)], 2048, (i % 8) * 256.0, (7 - i / 8) * 256.0, 256, 256,
                CAIRO_OPERATOR_OVER);
    }
    cairo_surface_flush(sheet);
    cairo_surface_t* snapshot = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 2048, 2048);
    cairo_t* copy = cairo_create(snapshot);
    cairo_set_source_surface(copy, sheet, 0, 0);
    cairo_set_operator(copy, CAIRO_OPERATOR_SOURCE);
    cairo_paint(copy);
    cairo_surface_flush(snapshot);
    benchmark::DoNotOptimize(cairo_image_surface_get_data(snapshot));
    cairo_destroy(copy);
    cairo_surface_destroy(snapshot);
    cairo_destroy(cr);
    cairo_surface_destroy(sheet);
  }
  for (auto* s : sources) cairo_surface_destroy(s);
}

// The RGBA <-> ARGB exchange alone over `pixels` pixels, into memory that
// is already there.
void Convert(benchmark::State& state) {
  const auto pixels = static_cast<std::size_t>(state.range(0));
  std::vector<std::uint8_t> in(pixels * 4, 7), out(pixels * 4);
  for (auto _ : state) {
    graphics_internal::swapRedAndBlue(in.data(), out.data(), pixels);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * pixels * 4));
}

BENCHMARK(Resize_Library)->Unit(benchmark::kMillisecond);
BENCHMARK(Resize_CairoFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(Tint_Library)->Unit(benchmark::kMillisecond);
BENCHMARK(Tint_CairoFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(SpriteMap_Library)->Unit(benchmark::kMillisecond);
BENCHMARK(SpriteMap_CairoFloor)->Unit(benchmark::kMillisecond);
// 4096 x 4096 (resize and tint input, tint output), 1024 x 1024 (resize
// output), 2048 x 2048 (sprite sheet; its 64 inputs add up to the same).
BENCHMARK(Convert)->Arg(4096 * 4096)->Arg(2048 * 2048)->Arg(1024 * 1024)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantrel
