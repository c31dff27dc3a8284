#include <cstdint>
#include <iterator>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/collections/any_iterator.h"
#include "vantrel/matrix/matrix.h"

namespace vantrel {
namespace {

using C = MatrixCoordinate;
using R = MatrixRect;

// Rows of the view, "X" for a filled cell and "_" for an empty one.
std::vector<std::string> picture(const Matrix<int>& m) {
  std::vector<std::string> rows;
  for (std::int64_t y = 0; y < m.size().height(); ++y) {
    std::string row;
    for (std::int64_t x = 0; x < m.size().width(); ++x) row += m[C(x, y)].has_value() ? 'X' : '_';
    rows.push_back(row);
  }
  return rows;
}

using Rows = std::vector<std::string>;

// Counts the elements taken from it: 1, 2, 3, ... up to `count`.
struct CountingSequence {
  int count;
  int* taken;
  StepIteratorAdapter<AnyIterator<int>> begin() const {
    int* t = taken;
    const int n = count;
    return StepIteratorAdapter<AnyIterator<int>>(AnyIterator<int>([t, n]() -> std::optional<int> {
      if (*t == n) return std::nullopt;
      return ++*t;
    }));
  }
  std::default_sentinel_t end() const { return {}; }
};

TEST(MatrixDrawing, FillWritesEveryCellOfTheRectangle) {
  Matrix<int> m(4, 3);
  m.fill(R::fromStartColumn(1, 2, 0, 1), 7);
  EXPECT_EQ(m.fillCount(), 4);
  EXPECT_EQ(picture(m), (Rows{"_XX_", "_XX_", "____"}));
  m.fill(R::fromStartColumn(1, 2, 0, 1), 8);  // again: the count stays
  EXPECT_EQ(m.fillCount(), 4);
  EXPECT_EQ(m[C(2, 1)], 8);
}

TEST(MatrixDrawing, OutlinesOfEveryHeight) {
  struct Case {
    R rect;
    Rows expected;
    std::int64_t fillCount;
  };
  const Case cases[] = {
      {R::fromStartColumn(0, 2, 0, 2), {"XXX_", "X_X_", "XXX_", "____"}, 8},
      {R::fromStartColumn(1, 3, 1, 3), {"____", "_XXX", "_X_X", "_XXX"}, 8},
      {R::fromStartColumn(0, 3, 1, 2), {"____", "XXXX", "XXXX", "____"}, 8},  // two rows: top and bottom
      {R::fromStartColumn(1, 2, 3, 3), {"____", "____", "____", "_XX_"}, 2},  // one row
      {R::fromStartColumn(2, 2, 0, 3), {"__X_", "__X_", "__X_", "__X_"}, 4},  // one column
      {R::fromStartColumn(3, 2, 0, 3), {"____", "____", "____", "____"}, 0},  // no cells
      {R::fromStartColumn(0, 3, 2, 1), {"____", "____", "____", "____"}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rect.description());
    Matrix<int> m(4, 4);
    m.draw(c.rect, 1);
    EXPECT_EQ(picture(m), c.expected);
    EXPECT_EQ(m.fillCount(), c.fillCount);
  }
}

TEST(MatrixDrawing, OutlineLeavesTheInsideAsItWas) {
  Matrix<int> m(3, 3);
  m.set(C(1, 1), 5);
  m.draw(R::fromStartColumn(0, 2, 0, 2), 1);
  EXPECT_EQ(m.fillCount(), 9);
  EXPECT_EQ(m[C(1, 1)], 5);
}

TEST(MatrixDrawing, EmptyRectanglesWriteNothingWhateverTheirExtent) {
  Matrix<int> m(2, 2);
  constexpr std::int64_t kMin = -1000000000000000;  // a loop over these rows would never end
  constexpr std::int64_t kMax = 1000000000000000;
  m.fill(R::fromStartColumn(1, 0, kMin, kMax), 1);  // no columns, every row: returns at once
  m.draw(R::fromStartColumn(1, 0, kMin, kMax), 1);
  m.fill(R::fromStartColumn(kMin, kMax, 1, 0), 1);
  EXPECT_EQ(m.fillCount(), 0);
}

TEST(MatrixDrawing, DrawingWorksInTheTurnedView) {
  Matrix<int> m(3, 2);
  m.setTransform(TransformationMatrix::makeDirection(TransformationMatrix::Direction::left, m.originalSize()));
  m.drawLineHorizontal(C(0, 2), 2, 4);
  EXPECT_EQ(picture(m), (Rows{"__", "__", "XX"}));
  EXPECT_EQ(m.fillCount(), 2);
}

TEST(MatrixDrawing, HorizontalLines) {
  struct Case {
    C origin;
    std::int64_t length;
    Rows expected;
  };
  const Case cases[] = {
      {C(1, 1), 3, {"____", "_XXX"}},
      {C(0, 0), 1, {"X___", "____"}},
      {C(0, 0), 0, {"____", "____"}},
      {C(9, 9), 0, {"____", "____"}},  // nothing to write, so no bound is broken
      {C(9, 9), -3, {"____", "____"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.origin.description() + " length " + std::to_string(c.length));
    Matrix<int> m(4, 2);
    m.drawLineHorizontal(c.origin, c.length, 1);
    EXPECT_EQ(picture(m), c.expected);
  }
}

TEST(MatrixDrawing, LineFromASequenceStopsAtTheEdgeWithoutTakingMore) {
  Matrix<int> m(5, 2);
  int taken = 0;
  m.drawLineHorizontal2(C(3, 1), CountingSequence{5, &taken});
  EXPECT_EQ(taken, 2);
  EXPECT_EQ(m[C(3, 1)], 1);
  EXPECT_EQ(m[C(4, 1)], 2);
  EXPECT_EQ(m.fillCount(), 2);

  m.drawLineHorizontal2(C(0, 0), std::vector<int>{7, 8});  // the sequence ends first
  EXPECT_EQ(picture(m), (Rows{"XX___", "___XX"}));

  int none = 0;
  m.drawLineHorizontal2(C(40, -3), CountingSequence{0, &none});  // empty: even outside the view
  m.drawLineHorizontal2(C(40, -3), std::vector<int>{});
  EXPECT_EQ(m.fillCount(), 4);
}

TEST(MatrixDrawing, LineDescriptionListsThePixelsAndLeavesTheMatrix) {
  const Matrix<int> m(3, 3);
  const std::vector<MatrixPixel<int>> pixels = m.matrixPixels_drawLineHorizontal(C(5, 1), 3, 9);
  EXPECT_EQ(pixels, (std::vector<MatrixPixel<int>>{{C(5, 1), 9}, {C(6, 1), 9}, {C(7, 1), 9}}));
  EXPECT_EQ(m.fillCount(), 0);
  EXPECT_TRUE(m.matrixPixels_drawLineHorizontal(C(0, 0), 0, 9).empty());
  EXPECT_TRUE(m.matrixPixels_drawLineHorizontal(C(0, 0), -1, 9).empty());
}

TEST(MatrixDrawingDeathTest, CellsOutsideTheViewStop) {
  Matrix<int> m(3, 2);
  EXPECT_DEATH(m.fill(R::fromStartColumn(2, 3, 0, 0), 1),
               "Coordinate out of bounds: MatrixCoordinate\\(3, 0\\) \\(MatrixSize\\(3, 2\\)\\)");
  EXPECT_DEATH(m.draw(R::fromStartColumn(0, 2, 0, 2), 1), "Coordinate out of bounds: MatrixCoordinate\\(0, 2\\)");
  EXPECT_DEATH(m.drawLineHorizontal(C(1, 0), 3, 1), "MatrixCoordinate\\(3, 0\\)");
  EXPECT_DEATH(m.drawLineHorizontal2(C(3, 0), std::vector<int>{1}), "MatrixCoordinate\\(3, 0\\)");
  EXPECT_DEATH((void)m.matrixPixels_drawLineHorizontal(C(std::numeric_limits<std::int64_t>::max(), 0), 2, 1),
               "overflow");
}

}  // namespace
}  // namespace vantrel
