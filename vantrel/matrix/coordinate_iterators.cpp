#include "vantrel/matrix/coordinate_iterators.h"

#include <algorithm>
#include <utility>

#include <fmt/format.h>

#include "vantrel/collections/numeric.h"
#include "vantrel/collections/shuffling.h"
#include "vantrel/core/checked.h"
#include "vantrel/core/fatal.h"
#include "vantrel/core/number_text.h"
#include "vantrel/core/random.h"
#include "vantrel/text/string_services.h"

namespace vantrel {

namespace matrix_internal {

void coordinateListEnded(std::size_t listCount, const MatrixSize& size) {
  fatal(fmt::format("coordinateIterator_array: the list holds {} coordinates, fewer than the {} x {} "
                    "cells of the walk",
                    listCount, size.width(), size.height()));
}

}  // namespace matrix_internal

namespace {

bool hasCells(const MatrixSize& size) { return size.width() >= 1 && size.height() >= 1; }

// The last column or row of a side; -1 for a side without cells (the side
// may be INT64_MIN, which has no predecessor).
std::int64_t lastIndex(std::int64_t side) { return side >= 1 ? side - 1 : -1; }

// An optional sign, then one or more ASCII digits, nothing else.
bool isSignedDecimal(std::string_view text) {
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
  if (text.empty()) return false;
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

// ---- Spiral -----------------------------------------------------------------------

SpiralCoordinateIterator::SpiralCoordinateIterator(const MatrixSize& size, bool counterClockwise)
    : counterClockwise_(counterClockwise), maxX_(lastIndex(size.width())), maxY_(lastIndex(size.height())) {
  if (!hasCells(size)) {
    state_ = State::finished;
    return;
  }
  single_ = size.width() == 1 && size.height() == 1;
  if (counterClockwise_) {
    heading_ = size.height() == 1 ? Heading::plusX : Heading::plusY;
  } else {
    heading_ = size.width() == 1 ? Heading::plusY : Heading::plusX;
  }
}

void SpiralCoordinateIterator::step() {
  // Both senses walk a leg up to its wall and then turn; they differ only in
  // which heading follows which. The turn takes the line just walked out of
  // play, and the walk ends when the new heading has no cell left before its
  // own wall.
  bool atWall = false;
  switch (heading_) {
    case Heading::plusX: atWall = ++x_ == maxX_; break;
    case Heading::plusY: atWall = ++y_ == maxY_; break;
    case Heading::minusX: atWall = --x_ == minX_; break;
    case Heading::minusY: atWall = --y_ == minY_; break;
  }
  if (!atWall) return;
  switch (heading_) {
    case Heading::plusX: heading_ = counterClockwise_ ? Heading::minusY : Heading::plusY; break;
    case Heading::plusY: heading_ = counterClockwise_ ? Heading::plusX : Heading::minusX; break;
    case Heading::minusX: heading_ = counterClockwise_ ? Heading::plusY : Heading::minusY; break;
    case Heading::minusY: heading_ = counterClockwise_ ? Heading::minusX : Heading::plusX; break;
  }
  bool goesOn = true;
  switch (heading_) {
    case Heading::plusX:
      ++minX_;
      goesOn = x_ + 1 <= maxX_;
      break;
    case Heading::plusY:
      ++minY_;
      goesOn = y_ + 1 <= maxY_;
      break;
    case Heading::minusX:
      --maxX_;
      goesOn = x_ - 1 >= minX_;
      break;
    case Heading::minusY:
      --maxY_;
      goesOn = y_ - 1 >= minY_;
      break;
  }
  if (!goesOn) state_ = State::finished;
}

// ---- Random outer lines -------------------------------------------------------------

RandomOuterLineCoordinateIterator::RandomOuterLineCoordinateIterator(const MatrixSize& size)
    : maxX_(lastIndex(size.width())), maxY_(lastIndex(size.height())), rowsOnTheRight_(randomUniform(2) == 0) {
  if (hasCells(size)) setupNewLine();
}

void RandomOuterLineCoordinateIterator::setupNewLine() {
  // Corners in the order topRight, topLeft, bottomLeft, bottomRight; the top
  // is the row of the largest y still in play.
  const std::int64_t corner = Int::random(3);
  const bool coinZero = randomUniform(2) == 0;
  hasPosition_ = true;
  switch (corner) {
    case 1:  // top left
      x_ = minX_;
      y_ = maxY_;
      if (coinZero) {
        dx_ = 0, dy_ = -1;
        ++minX_;
      } else {
        dx_ = 1, dy_ = 0;
        --maxY_;
      }
      break;
    case 2:  // bottom left
      x_ = minX_;
      y_ = minY_;
      if (coinZero) {
        dx_ = 0, dy_ = 1;
        ++minX_;
      } else {
        dx_ = 1, dy_ = 0;
        ++minY_;
      }
      break;
    case 3:  // bottom right
      x_ = maxX_;
      y_ = minY_;
      if (coinZero && !rowsOnTheRight_) {
        dx_ = 0, dy_ = 1;
        --maxX_;
      } else {
        dx_ = -1, dy_ = 0;
        ++minY_;
      }
      break;
    default:  // top right
      x_ = maxX_;
      y_ = maxY_;
      if (coinZero && !rowsOnTheRight_) {
        dx_ = 0, dy_ = -1;
        --maxX_;
      } else {
        dx_ = -1, dy_ = 0;
        --maxY_;
      }
      break;
  }
}

// ---- Random order -------------------------------------------------------------------

RandomPrecalculatedCoordinateIterator::RandomPrecalculatedCoordinateIterator(const MatrixSize& size) {
  if (!hasCells(size)) return;
  const std::optional<std::int64_t> count = overflowingMul(size.width(), size.height());
  if (!count || *count > INT64_C(4294967295)) {
    fatal(fmt::format("coordinateIterator_randomPrecalculated: {} x {} cells exceed the 4294967295 "
                      "that a random order can hold",
                      size.width(), size.height()));
  }
  width_ = static_cast<std::uint64_t>(size.width());
  inverseWidth_ = 1.0 / static_cast<double>(width_);
  indices_.resize(static_cast<std::size_t>(*count));
  for (std::size_t i = 0; i < indices_.size(); ++i) indices_[i] = static_cast<std::uint32_t>(i);
  shuffle(indices_);
}

// ---- Checkered ----------------------------------------------------------------------

CheckeredCoordinateIterator::CheckeredCoordinateIterator(const MatrixSize& size, std::int64_t step)
    : width_(size.width()), height_(size.height()) {
  // A step below 1 has no pass that ends (0 divides by zero, a negative step
  // never reaches the end of a row).
  if (step < 1) fatal(fmt::format("coordinateIterator_checkered: step {} must be at least 1", step));
  if (!hasCells(size)) return;  // step_ 0: no pass
  step_ = std::min(step, width_);
}

// ---- Caller's list ------------------------------------------------------------------

ArrayCoordinateIterator::ArrayCoordinateIterator(const MatrixSize& size,
                                                 std::vector<MatrixCoordinate> coordinates)
    : size_(size), coordinates_(std::move(coordinates)), remaining_(0) {
  if (!hasCells(size)) return;
  const std::optional<std::int64_t> count = overflowingMul(size.width(), size.height());
  // Beyond int64_t no list is long enough: the list ends first.
  remaining_ = count ? static_cast<std::uint64_t>(*count) : UINT64_MAX;
}

// ---- The walks of MatrixSize ----------------------------------------------------------

OrderedCoordinateIterator MatrixSize::coordinateIterator() const { return OrderedCoordinateIterator(*this); }

SpiralCoordinateIterator MatrixSize::coordinateIterator_spiral(bool counterClockwise) const {
  return SpiralCoordinateIterator(*this, counterClockwise);
}

RandomOuterLineCoordinateIterator MatrixSize::coordinateIterator_randomOuterLine() const {
  return RandomOuterLineCoordinateIterator(*this);
}

RandomPrecalculatedCoordinateIterator MatrixSize::coordinateIterator_randomPrecalculated() const {
  return RandomPrecalculatedCoordinateIterator(*this);
}

CheckeredCoordinateIterator MatrixSize::coordinateIterator_checkered(std::int64_t step) const {
  return CheckeredCoordinateIterator(*this, step);
}

ArrayCoordinateIterator MatrixSize::coordinateIterator_array(std::vector<MatrixCoordinate> coordinates) const {
  return ArrayCoordinateIterator(*this, std::move(coordinates));
}

// ---- Names --------------------------------------------------------------------------

std::optional<CoordinateIteratorType1> CoordinateIteratorType1::from(std::string_view text) {
  const std::string name = lowercased(text);
  if (name == "ordered") return ordered;
  if (name == "checkered") return checkered;
  if (name == "spiral") return spiral;
  if (name == "randomouterline") return randomOuterLine;
  if (name == "random") return random;
  return std::nullopt;
}

const std::array<CoordinateIteratorType2, 12>& CoordinateIteratorType2::some() {
  static constexpr std::array<CoordinateIteratorType2, 12> kSome = {
      ordered(),        checkered(1),      checkered(2), checkered(3), checkered(4), checkered(5),
      checkered(6),     checkered(7),      spiral(true), spiral(false), randomOuterLine(), random()};
  return kSome;
}

std::optional<CoordinateIteratorType2> CoordinateIteratorType2::from(std::string_view text) {
  const std::string name = lowercased(text);
  if (name == "ordered") return ordered();
  if (name == "spiral") return spiral(true);
  if (name == "spiralcounterclockwise") return spiral(false);
  if (name == "randomouterline") return randomOuterLine();
  if (name == "random") return random();
  constexpr std::string_view kPrefix = "checkered-";
  if (text.substr(0, kPrefix.size()) != kPrefix) return std::nullopt;
  const std::string_view rest = text.substr(kPrefix.size());
  if (!isSignedDecimal(rest)) return std::nullopt;
  const std::optional<std::int64_t> step = parseInt64(rest);
  // A step below 1 would make a walk that never ends.
  if (!step || *step < 1) return std::nullopt;
  return checkered(*step);
}

}  // namespace vantrel
