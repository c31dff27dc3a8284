// Test helpers for images: reading PNG text chunks and JPEG markers straight
// through libpng and libjpeg (not through the library's own decoders), and
// pixel shorthands.
#pragma once

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <jpeglib.h>
#include <png.h>

#include "vantrel/platform/graphics/bitmap_image.h"
#include "vantrel/core/color.h"

namespace vantrel::testing {

using Rgba = std::array<std::uint8_t, 4>;

inline constexpr Rgba kClear{0, 0, 0, 0};
inline constexpr Rgba kRed{255, 0, 0, 255};
inline constexpr Rgba kGreen{0, 255, 0, 255};
inline constexpr Rgba kBlue{0, 0, 255, 255};

// Opaque colours to paint with, matching the pixels above.
inline Color::Ptr red() { return Color::withRed(1, 0, 0, 1); }
inline Color::Ptr green() { return Color::withRed(0, 1, 0, 1); }
inline Color::Ptr blue() { return Color::withRed(0, 0, 1, 1); }

struct RawPngText {
  std::string keyword;
  std::string text;
  bool international = false;  // iTXt
};

// The text chunks of a PNG as libpng reports them; nullopt when libpng fails.
inline std::optional<std::vector<RawPngText>> readPngTexts(const std::vector<std::uint8_t>& bytes) {
  struct Source {
    const std::vector<std::uint8_t>* bytes;
    std::size_t at = 0;
  };
  static Source* current = nullptr;  // tests run on one thread
  Source source{&bytes};
  current = &source;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_infop end = png_create_info_struct(png);
  std::vector<RawPngText>* texts = new std::vector<RawPngText>();
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, &end);
    delete texts;
    return std::nullopt;
  }
  png_set_read_fn(png, nullptr, [](png_structp p, png_bytep out, std::size_t n) {
    if (current->bytes->size() - current->at < n) png_error(p, "short");
    std::memcpy(out, current->bytes->data() + current->at, n);
    current->at += n;
  });
  png_read_info(png, info);
  png_set_expand(png);
  png_set_strip_16(png);
  png_read_update_info(png, info);
  std::vector<std::uint8_t> row(png_get_rowbytes(png, info));
  const int passes = png_set_interlace_handling(png);
  for (int pass = 0; pass < passes; ++pass) {
    for (png_uint_32 y = 0; y < png_get_image_height(png, info); ++y) png_read_row(png, row.data(), nullptr);
  }
  png_read_end(png, end);
  for (png_infop from : {info, end}) {
    png_textp items = nullptr;
    int count = 0;
    png_get_text(png, from, &items, &count);
    for (int i = 0; i < count; ++i) {
      const bool itxt = items[i].compression >= PNG_ITXT_COMPRESSION_NONE;
      texts->push_back({items[i].key,
                        std::string(items[i].text, itxt ? items[i].itxt_length : items[i].text_length), itxt});
    }
  }
  png_destroy_read_struct(&png, &info, &end);
  std::vector<RawPngText> result = std::move(*texts);
  delete texts;
  return result;
}

struct RawJpegMarkers {
  bool jfif = false;                              // APP0 "JFIF"
  std::vector<std::vector<std::uint8_t>> app1;    // payloads
  int width = 0;
  int height = 0;
};

// The markers of a JPEG as libjpeg reports them (header only).
inline std::optional<RawJpegMarkers> readJpegMarkers(const std::vector<std::uint8_t>& bytes) {
  struct Hook {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
  };
  Hook hook;
  jpeg_decompress_struct info;
  info.err = jpeg_std_error(&hook.manager);
  hook.manager.error_exit = [](j_common_ptr c) { std::longjmp(reinterpret_cast<Hook*>(c->err)->jump, 1); };
  hook.manager.output_message = [](j_common_ptr) {};
  auto* result = new RawJpegMarkers();
  if (setjmp(hook.jump)) {
    jpeg_destroy_decompress(&info);
    delete result;
    return std::nullopt;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_save_markers(&info, JPEG_APP0, 0xFFFF);
  jpeg_save_markers(&info, JPEG_APP0 + 1, 0xFFFF);
  jpeg_read_header(&info, TRUE);
  for (auto m = info.marker_list; m != nullptr; m = m->next) {
    if (m->marker == JPEG_APP0 && m->data_length >= 5 && std::memcmp(m->data, "JFIF", 5) == 0) result->jfif = true;
    if (m->marker == JPEG_APP0 + 1) result->app1.emplace_back(m->data, m->data + m->data_length);
  }
  result->width = static_cast<int>(info.image_width);
  result->height = static_cast<int>(info.image_height);
  jpeg_destroy_decompress(&info);
  RawJpegMarkers out = *result;
  delete result;
  return out;
}

// True when `haystack` holds `needle` as consecutive bytes.
inline bool containsBytes(const std::vector<std::uint8_t>& haystack, std::string_view needle) {
  return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end(),
                     [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); }) != haystack.end();
}

// Pixels whose colour is dark and visible: drawn text in black.
inline int countDarkPixels(const BitmapImage& image, std::int64_t x0, std::int64_t x1) {
  int count = 0;
  for (std::int64_t y = 0; y < image.height(); ++y) {
    for (std::int64_t x = x0; x < x1; ++x) {
      const Rgba p = image.pixelAt(x, y);
      if (p[3] > 128 && p[0] < 100 && p[1] < 100 && p[2] < 100) ++count;
    }
  }
  return count;
}

}  // namespace vantrel::testing
