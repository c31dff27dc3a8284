#include "vantrel/matrix/matrix.h"

#include <algorithm>
#include <array>
#include <cmath>

#include <fmt/format.h>

#include "vantrel/collections/numeric.h"
#include "vantrel/core/checked.h"
#include "vantrel/core/console.h"
#include "vantrel/core/fatal.h"
#include "vantrel/core/number_text.h"
#include "vantrel/text/substrings.h"

namespace vantrel::matrix_internal {
namespace {

std::string transformText(const TransformationMatrix& t) {
  return fmt::format("({}, {}, {}, {}, {}, {})", t.a, t.b, t.c, t.d, t.tx, t.ty);
}

// A double as the matrix's messages write it: "%.15g", ".0" added to a bare
// integer, "inf", "-inf" and "nan" spelled out.
std::string floatingText(double value) {
  if (std::isnan(value)) return "nan";
  return significantTextPointZero(value);
}

// Where the inverse sends a view cell, or nullopt when it leaves int64_t.
std::optional<MatrixCoordinate> mappedBack(const TransformationMatrix& inverse, std::int64_t x,
                                           std::int64_t y) {
  const auto affine = [](std::int64_t p, std::int64_t q, std::int64_t t, std::int64_t px,
                         std::int64_t qy) -> std::optional<std::int64_t> {
    const std::optional<std::int64_t> first = overflowingMul(p, px);
    const std::optional<std::int64_t> second = overflowingMul(q, qy);
    if (!first || !second) return std::nullopt;
    const std::optional<std::int64_t> sum = overflowingAdd(*first, *second);
    return sum ? overflowingAdd(*sum, t) : std::nullopt;
  };
  const std::optional<std::int64_t> xs = affine(inverse.a, inverse.c, inverse.tx, x, y);
  const std::optional<std::int64_t> ys = affine(inverse.b, inverse.d, inverse.ty, x, y);
  if (!xs || !ys) return std::nullopt;
  return MatrixCoordinate(*xs, *ys);
}

}  // namespace

ViewMapping viewMapping(const TransformationMatrix& transform, const MatrixSize& originalSize) {
  const std::optional<std::int64_t> ad = overflowingMul(transform.a, transform.d);
  const std::optional<std::int64_t> bc = overflowingMul(transform.b, transform.c);
  const std::optional<std::int64_t> det = ad && bc ? overflowingSub(*ad, *bc) : std::nullopt;
  // Determinant 1 or -1 makes the map a bijection of the integer grid with
  // an exact integer inverse; any other value would either drop cells or
  // send two view cells to one stored cell.
  if (!det || (*det != 1 && *det != -1)) {
    fatal(fmt::format("Matrix transform {} cannot show a matrix of {}: its determinant is {}, "
                      "not 1 or -1",
                      transformText(transform), originalSize.description(),
                      det ? std::to_string(*det) : std::string("out of range")));
  }
  ViewMapping mapping{*transform.inversedTransformationMatrix(), originalSize.transformed(transform),
                      0, 0, 0};
  const std::int64_t w0 = originalSize.width();
  const std::int64_t h0 = originalSize.height();
  if (w0 == 0 || h0 == 0) return mapping;  // no cell to reach

  // The map is affine and the rectangles are convex, so when the four
  // corners of the view land inside the stored rectangle every view cell
  // does; with a bijection and equal cell counts the view then covers the
  // stored cells exactly once.
  const std::int64_t lastX = mapping.size.width() - 1;
  const std::int64_t lastY = mapping.size.height() - 1;
  const std::array<std::pair<std::int64_t, std::int64_t>, 4> corners = {
      {{0, 0}, {lastX, 0}, {0, lastY}, {lastX, lastY}}};
  for (const auto& [x, y] : corners) {
    const std::optional<MatrixCoordinate> stored = mappedBack(mapping.inverse, x, y);
    if (!stored || !originalSize.contains(*stored)) {
      fatal(fmt::format("Matrix transform {} cannot show a matrix of {}: view cell ({}, {}) of "
                        "the view {} maps outside the stored cells",
                        transformText(transform), originalSize.description(), x, y,
                        mapping.size.description()));
    }
  }
  // Modulo 2^64 on purpose: the partial sums of a valid index may leave
  // int64_t, the index itself never does.
  const auto u = [](std::int64_t v) { return static_cast<std::uint64_t>(v); };
  const TransformationMatrix& inv = mapping.inverse;
  mapping.base = u(inv.ty) * u(w0) + u(inv.tx);
  mapping.stepX = u(inv.b) * u(w0) + u(inv.a);
  mapping.stepY = u(inv.d) * u(w0) + u(inv.c);
  return mapping;
}

std::size_t cellCount(std::int64_t columns, std::int64_t rows) {
  if (columns < 0 || rows < 0) {
    fatal(fmt::format("Matrix needs columns and rows of 0 or more, not {} x {}", columns, rows));
  }
  return checkedCast<std::size_t>(checkedMul(columns, rows));
}

void coordinateOutOfBounds(const MatrixCoordinate& coordinate, const MatrixSize& size) {
  fatal(fmt::format("Coordinate out of bounds: {} ({})", coordinate.description(), size.description()));
}

void storageIndexOutOfBounds(std::uint64_t index, std::size_t count) {
  fatal(fmt::format("Matrix storage index {} out of range 0..<{}", index, count));
}

void negativeRawIndex(std::int64_t index) {
  fatal(fmt::format("Matrix raw index {} must not be negative", index));
}

void negativeCheckeredStep(std::int64_t step) {
  fatal(fmt::format("firstCoordinateWithCondition: checkeredStep {} must not be negative", step));
}

void emptyPattern(const MatrixSize& size) {
  fatal(fmt::format("fillWithPattern: an empty pattern cannot fill {}", size.description()));
}

void viewBufferSize(std::size_t given, std::size_t count) {
  fatal(fmt::format("copyCellsInViewOrder: the buffer holds {} cells, the matrix {}", given, count));
}

void iteratorOutside(std::ptrdiff_t index, std::size_t count) {
  fatal(fmt::format("Matrix iterator read position {} outside the {} cells", index, count));
}

std::string description(const MatrixSize& size) {
  return fmt::format("Matrix({},{})", size.width(), size.height());
}

std::string debugDescription(const MatrixSize& size, const std::vector<bool>& filled) {
  const std::int64_t width = size.width();
  std::string text = description(size) + ": (\n   ";
  for (std::int64_t x = 0; x < width; ++x) text += static_cast<char>('0' + x % 10);
  text += '\n';
  std::size_t cell = 0;
  for (std::int64_t y = 0; y < size.height(); ++y) {
    const std::string number = std::to_string(y);
    // Row numbers are right-aligned to two characters; longer ones stay whole.
    text += vtStringTo("  ", std::max<std::int64_t>(0, 2 - static_cast<std::int64_t>(number.size())));
    text += number;
    text += ':';
    for (std::int64_t x = 0; x < width; ++x) text += filled[cell++] ? 'X' : '_';
    text += '\n';
  }
  text += ")\n";
  return text;
}

void printFillWithMatrix(const MatrixSize& receiver, const MatrixSize& source) {
  consolePrint(description(receiver) + " fillWithMatrix " + description(source));
}

std::uint32_t startFillWithPercent(const MatrixSize& size, double percent) {
  consolePrint("filling matrix(" + size.description() + ") with " + floatingText(percent) + " ");
  if (!(percent >= 5.0)) {
    fatal(fmt::format("fillWithPercent: percentage {} must be at least 5.0", floatingText(percent)));
  }
  // 100% and more fill every cell: every draw of 100000 is below the threshold.
  return checkedIntegerFromDouble<std::uint32_t>(percent / 100.0 * 100000.0);
}

void printFillCount(std::int64_t fillCount, std::size_t count) {
  const double fraction = static_cast<double>(fillCount) / static_cast<double>(count);
  consolePrint(fmt::format("fillcount = {} == {}", fillCount, floatingText(fraction)));
}

void printSelfCheckFailure(const std::string& debugDescription) {
  consolePrint("self.debugDescription = " + debugDescription);
}

}  // namespace vantrel::matrix_internal
