// File: vantrel/matrix/transformation_matrix.h
//
// `TransformationMatrix`: an integer affine map of cell coordinates, used to
// show a matrix turned by quarter turns or mirrored without moving a cell.
// The fields (a, b, c, d, tx, ty) send (x, y) to
// (a * x + c * y + tx, b * x + d * y + ty).
//
//   auto turn = TransformationMatrix::makeDirection(
//       TransformationMatrix::Direction::left, MatrixSize(3, 2));  // (0, 1, -1, 0, 1, 0)
//   MatrixCoordinate(2, 1).transformed(turn)                       // (0, 2)
//   MatrixSize(3, 2).transformed(turn)                             // (2, 3)
//   turn.multipliedBy(*turn.inversedTransformationMatrix())        // identity
//
// `TransformationMatrix()` is the zero matrix, not the identity (it has no
// inverse). Composition and inversion are exact in integers for the maps this
// header builds (determinant 1 or -1).
//
// Failures stop the program (`fatal`): an angle that is not a multiple of 90
// ("rotation only in 90 degree steps possible"), a scale factor other than 1
// or -1 ("scaling is only allowed by an factor of 1 or -1"), and integer
// overflow while composing, inverting or mapping. A map without an inverse
// gives nullopt from `inversedTransformationMatrix()`. Plain value;
// thread-safe.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "vantrel/matrix/matrix_coordinate.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

struct TransformationMatrix {
  // The eight ways to show a matrix: the four turns, then each turn followed
  // by a horizontal mirror image. `flipVertical` is the same mapping as
  // `leftLeft` then `flipHorizontal`.
  class Direction {
   public:
    enum Case : std::uint8_t {
      none, left, leftLeft, right, flipHorizontal, flipVertical, left_FlippedHorizontal,
      right_FlippedHorizontal,
    };

    constexpr Direction(Case value) : value_(value) {}  // NOLINT: a case is a direction
    constexpr operator Case() const { return value_; }  // NOLINT: switch over directions

    // none, left, leftLeft, right, flipHorizontal, left_FlippedHorizontal,
    // flipVertical, right_FlippedHorizontal: not the order of the cases.
    [[nodiscard]] static constexpr const std::array<Direction, 8>& all() { return kAll; }

   private:
    Case value_;
    static const std::array<Direction, 8> kAll;
  };

  // All six fields 0 (no inverse).
  constexpr TransformationMatrix() = default;
  constexpr TransformationMatrix(std::int64_t a, std::int64_t b, std::int64_t c, std::int64_t d,
                                 std::int64_t tx, std::int64_t ty)
      : a(a), b(b), c(c), d(d), tx(tx), ty(ty) {}

  // (1, 0, 0, 1, 0, 0).
  [[nodiscard]] static constexpr TransformationMatrix identity() { return {1, 0, 0, 1, 0, 0}; }
  // (1, 0, 0, 1, tx, ty).
  [[nodiscard]] static constexpr TransformationMatrix makeTranslation(std::int64_t tx, std::int64_t ty) {
    return {1, 0, 0, 1, tx, ty};
  }
  // (cos, sin, -sin, cos, 0, 0) of a multiple of 90 degrees, negative ones
  // and whole turns included: 90 gives (0, 1, -1, 0, 0, 0), which sends
  // (x, y) to (-y, x).
  [[nodiscard]] static TransformationMatrix makeRotation(std::int64_t degrees);
  // (sx, 0, 0, sy, 0, 0); each factor 1 or -1.
  [[nodiscard]] static TransformationMatrix makeScale(std::int64_t sx, std::int64_t sy);
  // The map that turns or mirrors a matrix of `originalMatrixSize` in place:
  // a turn or mirror about the origin, then the translation that brings the
  // cells back to 0...; e.g. `left` sends (x, y) to (h - 1 - y, x) and
  // `right` sends it to (y, w - 1 - x).
  [[nodiscard]] static TransformationMatrix makeDirection(Direction direction,
                                                          const MatrixSize& originalMatrixSize);

  // The receiver applied first, then `other`.
  [[nodiscard]] TransformationMatrix multipliedBy(const TransformationMatrix& other) const;
  // The inverse, or nullopt when a * d - b * c is 0. Quotients truncate, so
  // the result is exact only for a determinant of 1 or -1.
  [[nodiscard]] std::optional<TransformationMatrix> inversedTransformationMatrix() const;
  // a * d - b * c.
  [[nodiscard]] std::int64_t determinant() const;

  // a ^ b ^ c ^ d ^ tx ^ ty.
  [[nodiscard]] constexpr std::int64_t hashValue() const { return a ^ b ^ c ^ d ^ tx ^ ty; }

  // Four lines: "TransformationMatrix(", "a,b,0", "c,d,0", "tx,ty,1)"; no
  // line feed at the end.
  [[nodiscard]] std::string description() const;

  friend constexpr bool operator==(const TransformationMatrix&, const TransformationMatrix&) = default;

  std::int64_t a = 0;
  std::int64_t b = 0;
  std::int64_t c = 0;
  std::int64_t d = 0;
  std::int64_t tx = 0;
  std::int64_t ty = 0;
};

inline constexpr std::array<TransformationMatrix::Direction, 8> TransformationMatrix::Direction::kAll = {
    none, left, leftLeft, right, flipHorizontal, left_FlippedHorizontal, flipVertical,
    right_FlippedHorizontal};

}  // namespace vantrel

template <>
struct std::hash<vantrel::TransformationMatrix> {
  std::size_t operator()(const vantrel::TransformationMatrix& t) const noexcept {
    return static_cast<std::size_t>(t.hashValue());
  }
};

template <>
struct std::hash<vantrel::TransformationMatrix::Direction> {
  std::size_t operator()(vantrel::TransformationMatrix::Direction direction) const noexcept {
    return static_cast<std::size_t>(static_cast<vantrel::TransformationMatrix::Direction::Case>(direction));
  }
};
