// File: vantrel/collections/pixel.h
//
// `Pixel`: one 32-bit RGBA pixel, the unit in which the matrix and image code
// exchange pixel data.
//
//   Pixel red(255, 0, 0);              // opaque: a = 255
//   Pixel glass(0, 0, 255, 128);       // half-transparent blue
//   std::vector<Pixel> row(4, red);    // a packed RGBA buffer of 16 bytes
//
// Layout is binding: `r` is byte 0, `g` byte 1, `b` byte 2 and `a` (alpha,
// 255 = opaque) byte 3, with no padding, so `std::vector<Pixel>::data()` can
// be handed to a bitmap as 8-bit red, green, blue, alpha groups in that
// order. The colour values are not premultiplied by alpha. The fields are
// plain and changeable; a pixel has no equality (compare the fields). There
// is no default constructor: every pixel says its colour.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

struct Pixel {
  // Stores the four bytes unchanged; without `a` the pixel is opaque.
  constexpr Pixel(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 255)
      : r(r), g(g), b(b), a(a) {}

  std::uint8_t r;
  std::uint8_t g;
  std::uint8_t b;
  std::uint8_t a;
};

static_assert(sizeof(Pixel) == 4, "a Pixel is one packed RGBA group");
static_assert(std::is_standard_layout_v<Pixel> && std::is_trivially_copyable_v<Pixel>,
              "pixel buffers are copied as raw bytes");
static_assert(offsetof(Pixel, r) == 0 && offsetof(Pixel, g) == 1 && offsetof(Pixel, b) == 2 &&
                  offsetof(Pixel, a) == 3,
              "bytes are in RGBA order");

}  // namespace vantrel
