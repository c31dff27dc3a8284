// File: vantrel/collections/image_rotation.h
//
// `ImageRotation`: the eight orientations in which an image can be drawn,
// shared by the matrix code and the image code (which turns each into an
// affine transform).
//
//   ImageRotation r = ImageRotation::flippedLeft;
//   switch (r) { case ImageRotation::nune: ... }
//   for (ImageRotation each : ImageRotation::all()) ...
//
// The cases, in order (the position is also the hash value):
// 0 `nune` (no change), 1 `left`, 2 `leftLeft`, 3 `right` (rotations);
// 4 `flipped` (a mirroring), 5 `flippedLeft`, 6 `flippedLeftLeft`,
// 7 `flippedRight` (a mirroring followed by the rotation of the same name).
// Which way "left" turns and which axis "flipped" mirrors is the image
// code's to define, once, in its transform.
//
// `all()` is a constant list: it cannot be replaced, so reading it never
// races. Pure value; thread-safe.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class ImageRotation {
 public:
  enum Case : std::uint8_t {
    nune, left, leftLeft, right, flipped, flippedLeft, flippedLeftLeft, flippedRight,
  };

  constexpr ImageRotation(Case value) : value_(value) {}  // NOLINT: a case is a rotation
  // Also gives equality: two rotations are equal when they are the same case.
  constexpr operator Case() const { return value_; }  // NOLINT: switch over rotations

  // The eight cases, `nune` first and `flippedRight` last.
  [[nodiscard]] static constexpr const std::array<ImageRotation, 8>& all() { return kAll; }

 private:
  Case value_;
  static const std::array<ImageRotation, 8> kAll;
};

inline constexpr std::array<ImageRotation, 8> ImageRotation::kAll = {
    nune, left, leftLeft, right, flipped, flippedLeft, flippedLeftLeft, flippedRight};

}  // namespace vantrel

template <>
struct std::hash<vantrel::ImageRotation> {
  std::size_t operator()(vantrel::ImageRotation rotation) const noexcept {
    return static_cast<std::size_t>(static_cast<vantrel::ImageRotation::Case>(rotation));
  }
};
