// File: vantrel/matrix/coordinate_iterators.h
//
// The six walks over the cells of a `MatrixSize`, and the two enumerations
// that name them in text. A walk hands out one `MatrixCoordinate` per
// `next()` and, once it has answered nullopt, answers nullopt for good:
//
//   MatrixSize size(3, 2);
//   auto rows = size.coordinateIterator();            // (0,0) (1,0) (2,0) (0,1) ...
//   auto spiral = size.coordinateIterator_spiral();   // inward, clockwise from (0,0)
//   auto stripes = size.coordinateIterator_checkered(2);
//   for (MatrixCoordinate c : spiral) ...             // range-for consumes the walk
//   CoordinateIteratorType2::from("checkered-4")      // checkered, step 4
//
// Every walk but the caller's list visits each cell of the size exactly
// once; a size with a side below 1 has no cells and gives nothing. The walks
// are single-pass: `begin()` steps the walk itself (it refuses a temporary
// outside a range-for), so after a loop the walk is spent.
//
// Random draws, in this order, so tests can script them: the outer-line walk
// draws its flag at creation (`randomUniform(2)`, 0 sets it, drawn for every
// size), then for each line the corner (`Int::random(3)`) and the coin
// (`randomUniform(2)`); the random order is one `shuffle` of the cells,
// drawn at creation.
//
// Failures stop the program (`fatal`): a checkered step below 1, a caller's
// list that ends before width x height requests, a random order of more
// than 4294967295 cells. The parsers answer nullopt for every text they do
// not know, and for a checkered step below 1. Not thread-safe: a walk
// belongs to one thread; different walks are independent.
#pragma once

#include <array>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string_view>
#include <vector>

#include "vantrel/collections/any_iterator.h"
#include "vantrel/matrix/matrix_coordinate.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

namespace matrix_internal {
[[noreturn]] void coordinateListEnded(std::size_t listCount, const MatrixSize& size);
}  // namespace matrix_internal

// Steps a walk that lives elsewhere (the walk a range-for runs over).
template <class Walk>
class CoordinateWalkSteps {
 public:
  explicit CoordinateWalkSteps(Walk& walk) : walk_(&walk) {}
  std::optional<MatrixCoordinate> next() { return walk_->next(); }

 private:
  Walk* walk_;
};

// Range-for over a walk: the loop consumes the walk itself.
template <class Walk>
class CoordinateWalk {
 public:
  [[nodiscard]] StepIteratorAdapter<CoordinateWalkSteps<Walk>> begin() & {
    return StepIteratorAdapter<CoordinateWalkSteps<Walk>>(
        CoordinateWalkSteps<Walk>(static_cast<Walk&>(*this)));
  }
  StepIteratorAdapter<CoordinateWalkSteps<Walk>> begin() && = delete;
  [[nodiscard]] std::default_sentinel_t end() const { return {}; }
};

// Row by row: (0, 0), (1, 0), ..., (W - 1, 0), (0, 1), ...
class OrderedCoordinateIterator : public CoordinateWalk<OrderedCoordinateIterator> {
 public:
  explicit OrderedCoordinateIterator(const MatrixSize& size)
      : width_(size.width()), height_(size.height()) {
    if (width_ < 1 || height_ < 1) y_ = height_ = 0;  // no cells
  }

  std::optional<MatrixCoordinate> next() {
    if (y_ >= height_) return std::nullopt;
    const MatrixCoordinate result(x_, y_);
    if (++x_ == width_) {
      x_ = 0;
      ++y_;
    }
    return result;
  }

 private:
  std::int64_t width_;
  std::int64_t height_;
  std::int64_t x_ = 0;
  std::int64_t y_ = 0;
};

// An inward spiral from (0, 0). Clockwise (counterClockwise false) it runs
// along row 0 first (down a single column); counter-clockwise up column 0
// first (along a single row). At each bound it narrows the remaining
// rectangle by the line just finished and turns.
class SpiralCoordinateIterator : public CoordinateWalk<SpiralCoordinateIterator> {
 public:
  SpiralCoordinateIterator(const MatrixSize& size, bool counterClockwise);

  std::optional<MatrixCoordinate> next() {
    switch (state_) {
      case State::finished: return std::nullopt;
      case State::start:
        state_ = single_ ? State::finished : State::running;
        return MatrixCoordinate(x_, y_);
      case State::running: break;
    }
    step();
    return MatrixCoordinate(x_, y_);
  }

 private:
  enum class State : std::uint8_t { start, running, finished };
  enum class Heading : std::uint8_t { plusX, plusY, minusX, minusY };
  void step();

  bool counterClockwise_;
  bool single_ = false;
  State state_ = State::start;
  Heading heading_ = Heading::plusX;
  std::int64_t x_ = 0;
  std::int64_t y_ = 0;
  std::int64_t minX_ = 0;
  std::int64_t maxX_;
  std::int64_t minY_ = 0;
  std::int64_t maxY_;
};

// Whole lines peeled off the remaining rectangle, each from a random corner,
// a row or a column by a coin (columns at the corners of the largest x only
// while the flag drawn at creation is false).
class RandomOuterLineCoordinateIterator : public CoordinateWalk<RandomOuterLineCoordinateIterator> {
 public:
  explicit RandomOuterLineCoordinateIterator(const MatrixSize& size);

  std::optional<MatrixCoordinate> next() {
    if (!hasPosition_) return std::nullopt;
    const MatrixCoordinate result(x_, y_);
    const std::int64_t nx = x_ + dx_;
    const std::int64_t ny = y_ + dy_;
    // The bounds already exclude the line, so the line ends one cell beyond
    // its own side of the remaining rectangle.
    const bool ended = (dx_ < 0 && nx < minX_) || (dx_ > 0 && nx > maxX_) ||
                       (dy_ < 0 && ny < minY_) || (dy_ > 0 && ny > maxY_);
    if (ended) {
      hasPosition_ = false;
      if (minX_ <= maxX_ && minY_ <= maxY_) setupNewLine();
    } else {
      x_ = nx;
      y_ = ny;
    }
    return result;
  }

 private:
  void setupNewLine();

  std::int64_t minX_ = 0;
  std::int64_t maxX_;
  std::int64_t minY_ = 0;
  std::int64_t maxY_;
  std::int64_t x_ = 0;
  std::int64_t y_ = 0;
  std::int64_t dx_ = 0;
  std::int64_t dy_ = 0;
  bool hasPosition_ = false;
  bool rowsOnTheRight_;  // the flag: the corners of the largest x give rows only
};

// Every cell once, in an order shuffled when the walk is made.
class RandomPrecalculatedCoordinateIterator
    : public CoordinateWalk<RandomPrecalculatedCoordinateIterator> {
 public:
  explicit RandomPrecalculatedCoordinateIterator(const MatrixSize& size);

  std::optional<MatrixCoordinate> next() {
    if (position_ >= indices_.size()) return std::nullopt;
    // index / width through the reciprocal: for indices and widths below
    // 2^32 the product is off by less than 1/width, so it can only fall one
    // short, when the remainder comes out as width.
    const std::uint64_t index = indices_[position_++];
    std::uint64_t y = static_cast<std::uint64_t>(static_cast<double>(index) * inverseWidth_);
    std::uint64_t x = index - y * width_;
    if (x >= width_) {
      ++y;
      x -= width_;
    }
    return MatrixCoordinate(static_cast<std::int64_t>(x), static_cast<std::int64_t>(y));
  }

 private:
  std::vector<std::uint32_t> indices_;  // the row-major indices, shuffled
  std::uint64_t width_ = 1;
  double inverseWidth_ = 1;
  std::size_t position_ = 0;
};

// s' = min(step, width) passes; pass c runs through the rows, and in row y
// gives x = (c + y) mod s', then every s'-th cell to the right. Step 1 (or
// width 1) is the row-by-row walk.
class CheckeredCoordinateIterator : public CoordinateWalk<CheckeredCoordinateIterator> {
 public:
  CheckeredCoordinateIterator(const MatrixSize& size, std::int64_t step);

  std::optional<MatrixCoordinate> next() {
    if (pass_ >= step_) return std::nullopt;
    const MatrixCoordinate result(x_, y_);
    if (x_ < width_ - step_) {
      x_ += step_;
    } else {
      if (++y_ == height_) {
        y_ = 0;
        ++pass_;
      }
      x_ = firstColumn();
    }
    return result;
  }

 private:
  // (pass + y) mod step, without overflow.
  std::int64_t firstColumn() const {
    const std::int64_t r = y_ % step_;
    return pass_ >= step_ - r ? pass_ - (step_ - r) : pass_ + r;
  }

  std::int64_t width_;
  std::int64_t height_;
  std::int64_t step_ = 0;
  std::int64_t pass_ = 0;
  std::int64_t x_ = 0;
  std::int64_t y_ = 0;
};

// The caller's list, its first width x height entries in order. A list that
// ends earlier stops the program at the request beyond its end.
class ArrayCoordinateIterator : public CoordinateWalk<ArrayCoordinateIterator> {
 public:
  ArrayCoordinateIterator(const MatrixSize& size, std::vector<MatrixCoordinate> coordinates);

  std::optional<MatrixCoordinate> next() {
    if (remaining_ == 0) return std::nullopt;
    if (position_ >= coordinates_.size()) matrix_internal::coordinateListEnded(coordinates_.size(), size_);
    --remaining_;
    return coordinates_[position_++];
  }

 private:
  MatrixSize size_;
  std::vector<MatrixCoordinate> coordinates_;
  std::uint64_t remaining_;  // requests still answered: width x height at first
  std::size_t position_ = 0;
};

// The five orders without parameters.
class CoordinateIteratorType1 {
 public:
  enum Case : std::uint8_t { ordered, checkered, spiral, randomOuterLine, random };

  constexpr CoordinateIteratorType1(Case value) : value_(value) {}  // NOLINT: a case is a type
  constexpr operator Case() const { return value_; }                // NOLINT: switch over cases

  // ordered, checkered, spiral, randomOuterLine, random.
  [[nodiscard]] static constexpr const std::array<CoordinateIteratorType1, 5>& all() { return kAll; }

  // "ordered", "checkered", "spiral", "randomouterline" or "random" in any
  // letter case, the whole text; nullopt otherwise.
  [[nodiscard]] static std::optional<CoordinateIteratorType1> from(std::string_view text);

 private:
  Case value_;
  static const std::array<CoordinateIteratorType1, 5> kAll;
};

inline constexpr std::array<CoordinateIteratorType1, 5> CoordinateIteratorType1::kAll = {
    ordered, checkered, spiral, randomOuterLine, random};

// The orders with their parameters: the checkered step and the turning
// sense of the spiral. No equality: callers compare kind(), stepSize() and
// clockwise() as they need.
class CoordinateIteratorType2 {
 public:
  enum class Kind : std::uint8_t { checkered, spiral, ordered, randomOuterLine, random };

  [[nodiscard]] static constexpr CoordinateIteratorType2 checkered(std::int64_t stepSize) {
    return CoordinateIteratorType2(Kind::checkered, stepSize, false);
  }
  [[nodiscard]] static constexpr CoordinateIteratorType2 spiral(bool clockwise) {
    return CoordinateIteratorType2(Kind::spiral, 0, clockwise);
  }
  [[nodiscard]] static constexpr CoordinateIteratorType2 ordered() {
    return CoordinateIteratorType2(Kind::ordered, 0, false);
  }
  [[nodiscard]] static constexpr CoordinateIteratorType2 randomOuterLine() {
    return CoordinateIteratorType2(Kind::randomOuterLine, 0, false);
  }
  [[nodiscard]] static constexpr CoordinateIteratorType2 random() {
    return CoordinateIteratorType2(Kind::random, 0, false);
  }

  [[nodiscard]] constexpr Kind kind() const { return kind_; }
  // The step of `checkered`; nullopt for the other kinds.
  [[nodiscard]] constexpr std::optional<std::int64_t> stepSize() const {
    return kind_ == Kind::checkered ? std::optional<std::int64_t>(stepSize_) : std::nullopt;
  }
  // The turning sense of `spiral`; nullopt for the other kinds.
  [[nodiscard]] constexpr std::optional<bool> clockwise() const {
    return kind_ == Kind::spiral ? std::optional<bool>(clockwise_) : std::nullopt;
  }

  // ordered; checkered 1 ... 7; spiral clockwise, then counter-clockwise;
  // randomOuterLine; random.
  [[nodiscard]] static const std::array<CoordinateIteratorType2, 12>& some();

  // In any letter case: "ordered", "spiral" (clockwise),
  // "spiralCounterClockwise", "randomouterline", "random". Then, in exactly
  // these lower-case letters, "checkered-" and a decimal step of 1 or more
  // (an optional sign and digits only, within int64_t). Else nullopt: a bare
  // "checkered", an empty or malformed step, and a step below 1, which
  // never makes a walk.
  [[nodiscard]] static std::optional<CoordinateIteratorType2> from(std::string_view text);

 private:
  constexpr CoordinateIteratorType2(Kind kind, std::int64_t stepSize, bool clockwise)
      : kind_(kind), clockwise_(clockwise), stepSize_(stepSize) {}

  Kind kind_;
  bool clockwise_;
  std::int64_t stepSize_;
};

}  // namespace vantrel
