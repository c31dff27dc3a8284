#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/core/console.h"
#include "vantrel/core/describe.h"
#include "vantrel/core/random.h"
#include "vantrel/matrix/matrix.h"

namespace vantrel {
namespace {

using C = MatrixCoordinate;
using S = MatrixSize;
using T = TransformationMatrix;
using D = TransformationMatrix::Direction;
using Cells = std::vector<std::optional<int>>;

// Every storage cell holds its own index, so a view read shows where it landed.
Matrix<int> numbered(std::int64_t columns, std::int64_t rows) {
  Matrix<int> m(columns, rows);
  for (std::int64_t i = 0; i < columns * rows; ++i) m.set(C(i % columns, i / columns), static_cast<int>(i));
  return m;
}

void turn(Matrix<int>& m, D direction) {
  m.setTransform(T::makeDirection(direction, m.originalSize()));
}

Cells storage(const Matrix<int>& m) {
  Cells cells;
  for (const std::optional<int>& cell : m) cells.push_back(cell);
  return cells;
}

std::vector<C> setCoordinates(Matrix<int>::SetCoordinateIterator it) {
  std::vector<C> found;
  while (std::optional<C> c = it.next()) found.push_back(*c);
  return found;
}

TEST(MatrixExample, ReplaysTheHeader) {
  Matrix<int> m(3, 2);
  m.set(C(2, 1), 7);
  EXPECT_EQ(m.fillCount(), 1);
  m.setTransform(T::makeDirection(D::left, m.originalSize()));
  EXPECT_EQ(m.size(), S(2, 3));
  EXPECT_EQ(m[C(0, 2)], 7);
  EXPECT_EQ(m.subscriptRawIndex(5), 7);
}

TEST(Matrix, CreationFillsOrEmptiesEveryCell) {
  const Matrix<int> empty(4, 3);
  EXPECT_EQ(empty.fillCount(), 0);
  EXPECT_TRUE(empty.isEmpty());
  EXPECT_FALSE(empty.isFull());
  EXPECT_EQ(empty.freeCount(), 12);
  EXPECT_EQ(empty.fillPercentage(), 0.0);
  EXPECT_EQ(empty.transform(), T::identity());
  EXPECT_EQ(empty.inverseTransform(), T::identity());
  EXPECT_EQ(describe(empty), "Matrix(4,3)");

  const Matrix<std::string> full(S(2, 2), std::string("x"));
  EXPECT_TRUE(full.isFull());
  EXPECT_EQ(full.fillCount(), 4);
  EXPECT_EQ(full.fillPercentage(), 100.0);
  EXPECT_EQ(full[C(1, 1)], "x");
  const MatrixRect rect = full.originalRect();
  EXPECT_EQ(rect.topLeft(), C(0, 0));
  EXPECT_EQ(rect.bottomRight(), C(1, 1));
  EXPECT_EQ(rect.size(), S(2, 2));

  const Matrix<int> none(0, 5);
  EXPECT_EQ(none.cellCount(), 0);
  EXPECT_TRUE(none.isEmpty());
  EXPECT_TRUE(none.isFull());
  EXPECT_TRUE(std::isnan(none.fillPercentage()));
  EXPECT_FALSE(none.containsCoordinate(C(0, 0)));
}

TEST(Matrix, WritesKeepTheFillCount) {
  Matrix<int> m(2, 2);
  struct Step {
    std::optional<int> value;
    std::int64_t fillCount;
  };
  const Step steps[] = {{1, 1}, {2, 1}, {std::nullopt, 0}, {std::nullopt, 0}, {3, 1}};
  for (const Step& s : steps) {
    SCOPED_TRACE(describe(s.value));
    m.set(C(1, 0), s.value);
    EXPECT_EQ(m.fillCount(), s.fillCount);
    EXPECT_EQ(m[C(1, 0)], s.value);
  }
  m.clear();
  EXPECT_TRUE(m.isEmpty());
  EXPECT_EQ(m[C(1, 0)], std::nullopt);
}

TEST(Matrix, QuarterTurnChangesTheViewNotTheCells) {
  Matrix<int> m = numbered(3, 2);
  const Cells before = storage(m);
  turn(m, D::left);
  EXPECT_EQ(m.size(), S(2, 3));
  EXPECT_EQ(m.originalSize(), S(3, 2));
  EXPECT_EQ(describe(m), "Matrix(2,3)");
  EXPECT_EQ(m.inverseTransform(), *m.transform().inversedTransformationMatrix());
  EXPECT_EQ(storage(m), before);  // the iterator keeps the stored row order
  // left sends stored (x, y) to (h - 1 - y, x): view (0, 0) is stored (0, 1), index 3.
  EXPECT_EQ(m[C(0, 0)], 3);
  m.set(C(1, 2), 42);  // stored (2, 0), index 2
  EXPECT_EQ(m.subscriptRawIndex(2), 42);
  EXPECT_EQ(m.subscriptRawIndex(6), std::nullopt);  // at the cell count: empty
  EXPECT_EQ(m.fillCount(), 6);
  EXPECT_TRUE(m.testTranformationCalculation());
}

TEST(Matrix, EveryDirectionReadsLikeTheMappedStorage) {
  // Sizes around the walk's block edge and degenerate rows and columns.
  const S sizes[] = {S(3, 2), S(1, 5), S(7, 1), S(70, 45), S(33, 64)};
  for (const S& size : sizes) {
    for (D direction : D::all()) {
      SCOPED_TRACE(size.description() + " direction " +
                   std::to_string(static_cast<int>(static_cast<D::Case>(direction))));
      Matrix<int> m = numbered(size.width(), size.height());
      turn(m, direction);
      const T& t = m.transform();
      ASSERT_EQ(m.size(), size.transformed(t));
      Cells viewOrder(static_cast<std::size_t>(m.cellCount()));
      m.copyCellsInViewOrder(viewOrder);
      std::size_t k = 0;
      for (std::int64_t y = 0; y < m.size().height(); ++y) {
        for (std::int64_t x = 0; x < m.size().width(); ++x) {
          const C stored = C(x, y).transformed(m.inverseTransform());
          const int want = static_cast<int>(size.indexForCoordinate(stored));
          ASSERT_EQ(m[C(x, y)], want);
          ASSERT_EQ(viewOrder[k++], want);
        }
      }
      EXPECT_TRUE(m.testTranformationCalculation());
    }
  }
}

TEST(Matrix, CopiesAreIndependent) {
  Matrix<int> a(2, 2);
  Matrix<int> b = a;
  b.set(C(0, 0), 1);
  turn(b, D::right);
  EXPECT_EQ(a[C(0, 0)], std::nullopt);
  EXPECT_EQ(a.fillCount(), 0);
  EXPECT_EQ(a.transform(), T::identity());
}

TEST(Matrix, FirstCoordinateWithConditionScansInCheckeredOrder) {
  Matrix<int> m = numbered(2, 2);
  std::vector<int> tested;
  const auto isOne = [&tested](const std::optional<int>& cell) {
    tested.push_back(*cell);
    return cell == 1;
  };
  EXPECT_EQ(m.firstCoordinateWithCondition(0, isOne), std::nullopt);
  EXPECT_TRUE(tested.empty());
  EXPECT_EQ(m.firstCoordinateWithCondition(2, isOne), C(1, 0));
  EXPECT_EQ(tested, (std::vector<int>{0, 2, 1}));
  tested.clear();
  EXPECT_EQ(m.firstCoordinateWithCondition(isOne), C(1, 0));
  EXPECT_EQ(tested, (std::vector<int>{0, 1}));
  tested.clear();
  EXPECT_EQ(m.firstCoordinateWithCondition(5, [](const std::optional<int>& c) { return c == 3; }), C(1, 1));
  EXPECT_EQ(m.firstCoordinateWithCondition(INT64_MAX, [](const std::optional<int>& c) { return c == 3; }),
            C(1, 1));
  // The answer is a view coordinate: stored (1, 0) turned left in a 2 x 2.
  turn(m, D::left);
  EXPECT_EQ(m.firstCoordinateWithCondition([](const std::optional<int>& c) { return c == 1; }), C(1, 1));
  EXPECT_EQ(m[C(1, 1)], 1);
}

TEST(Matrix, RandomCoordinateWithConditionWalksFromARandomStart) {
  struct Case {
    const char* name;
    std::vector<std::uint32_t> draws;  // x, y, start, direction
    std::vector<int> tested;
    std::optional<C> want;
  };
  // 3 x 2 numbered 0...5; the condition passes for 4 and 1.
  const Case cases[] = {
      {"first draw passes", {1, 1}, {4}, C(1, 1)},
      {"ascending from 2", {0, 0, 2, 0}, {0, 2, 3, 4}, C(1, 1)},
      {"descending from 2", {0, 0, 2, 1}, {0, 1}, C(1, 0)},
      {"ascending from 5 wraps", {0, 0, 5, 0}, {0, 5, 0, 1}, C(1, 0)},
      {"descending from 0 wraps", {0, 0, 0, 1}, {0, 5, 4}, C(1, 1)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Matrix<int> m = numbered(3, 2);
    ScriptedRandomSource script(c.draws);
    ScopedRandomSource use(script);
    std::vector<int> tested;
    const auto found = m.randomCoordinateWithCondition([&tested](const std::optional<int>& cell) {
      tested.push_back(*cell);
      return cell == 4 || cell == 1;
    });
    EXPECT_EQ(found, c.want);
    EXPECT_EQ(tested, c.tested);
    EXPECT_EQ(script.remaining(), 0u);
  }
  {
    Matrix<int> m(3, 2);
    ScriptedRandomSource script({2, 1, 3, 1});
    ScopedRandomSource use(script);
    int calls = 0;
    EXPECT_EQ(m.randomCoordinateWithCondition([&calls](const std::optional<int>&) {
      ++calls;
      return false;
    }),
              std::nullopt);
    EXPECT_EQ(calls, 7);  // the first draw, then every cell once
    EXPECT_EQ(script.bounds(), (std::vector<std::uint32_t>{3, 2, 6, 2}));
  }
}

TEST(Matrix, RandomEmptyAndNonEmptyCellsFindTheOnlyCandidate) {
  Matrix<int> m(4, 4);
  m.set(C(2, 3), 9);
  turn(m, D::flipVertical);  // the cell is now seen at (2, 0)
  for (int round = 0; round < 20; ++round) {
    EXPECT_EQ(m.randomNonEmptyCoordinate(), C(2, 0));
  }
  Matrix<int> full(3, 3, 1);
  full.set(C(0, 2), std::nullopt);
  for (int round = 0; round < 20; ++round) {
    EXPECT_EQ(full.randomEmptyCoordinate(), C(0, 2));
  }
  ScriptedRandomSource script({1, 2});
  ScopedRandomSource use(script);
  EXPECT_EQ(Matrix<int>(2, 3).randomCoordinate(), C(1, 2));
}

// Iterators read the matrix they came from, so none is made from a temporary.
template <class M>
concept IterableInPlace = requires(M&& m) {
  std::forward<M>(m).makeIterator();
  std::forward<M>(m).begin();
  std::forward<M>(m).makeSetCoordinateIterator();
};
static_assert(IterableInPlace<Matrix<int>&>);
static_assert(IterableInPlace<const Matrix<int>&>);
static_assert(!IterableInPlace<Matrix<int>>);
static_assert(!IterableInPlace<const Matrix<int>&&>);

TEST(Matrix, FillWithPercentDrawsOncePerCellAndReports) {
  {
    Matrix<int> m(3, 2);
    int provided = 0;
    ConsoleCapture capture;
    m.fillWithPercent(100.0, [&provided] { return ++provided; });
    EXPECT_EQ(provided, 6);
    EXPECT_TRUE(m.isFull());
    EXPECT_EQ(m[C(2, 1)], 6);  // rows outer, columns inner
    EXPECT_EQ(capture.standardOutput(),
              "filling matrix(MatrixSize(3, 2)) with 100.0 \nfillcount = 6 == 1.0\n");
  }
  {
    Matrix<int> m(2, 2, 0);
    ScriptedRandomSource script({49999, 50000, 0, 99999});
    ScopedRandomSource use(script);
    ConsoleCapture capture;
    m.fillWithPercent(50.0, [] { return 7; });
    EXPECT_EQ(storage(m), (Cells{7, std::nullopt, 7, std::nullopt}));
    EXPECT_EQ(script.bounds(), (std::vector<std::uint32_t>{100000, 100000, 100000, 100000}));
    EXPECT_EQ(capture.standardOutput(),
              "filling matrix(MatrixSize(2, 2)) with 50.0 \nfillcount = 2 == 0.5\n");
  }
  {
    Matrix<int> m(3, 1);
    ScriptedRandomSource script({0, 0, 99999});
    ScopedRandomSource use(script);
    ConsoleCapture capture;
    m.fillWithPercent(12.5, [] { return 1; });
    EXPECT_EQ(capture.standardOutput(),
              "filling matrix(MatrixSize(3, 1)) with 12.5 \nfillcount = 2 == 0.666666666666667\n");
  }
}

TEST(Matrix, FillWithMatrixCopiesTheOverlap) {
  Matrix<int> source(2, 1, 5);
  for (bool nilOutRest : {false, true}) {
    SCOPED_TRACE(nilOutRest);
    Matrix<int> m(3, 2, 1);
    ConsoleCapture capture;
    m.fillWithMatrix(source, nilOutRest);
    EXPECT_EQ(capture.standardOutput(), "Matrix(3,2) fillWithMatrix Matrix(2,1)\n");
    const std::optional<int> rest = nilOutRest ? std::nullopt : std::optional<int>(1);
    EXPECT_EQ(storage(m), (Cells{5, 5, rest, rest, rest, rest}));
    EXPECT_EQ(m.fillCount(), nilOutRest ? 2 : 6);
  }
  // Each matrix is addressed in its own view.
  Matrix<int> tall = numbered(1, 3);
  turn(tall, D::left);  // seen as 3 x 1: 2, 1, 0
  Matrix<int> m(3, 1);
  ConsoleCapture capture;
  m.fillWithMatrix(tall);
  EXPECT_EQ(storage(m), (Cells{2, 1, 0}));
}

TEST(Matrix, FillWithPatternRunsAlongTheViewRows) {
  Matrix<char> m(3, 2);
  m.fillWithPattern(std::vector<char>{'a', 'b'});
  EXPECT_TRUE(m.isFull());
  std::string rows;
  for (const std::optional<char>& cell : m) rows += *cell;
  EXPECT_EQ(rows, "abab" "ab");
  Matrix<char> turned(3, 2);
  turned.setTransform(T::makeDirection(D::right, turned.originalSize()));
  turned.fillWithPattern(std::vector<char>{'a', 'b', 'c'});
  EXPECT_EQ(turned[C(0, 0)], 'a');
  EXPECT_EQ(turned[C(1, 0)], 'b');
  EXPECT_EQ(turned[C(0, 1)], 'c');
  Matrix<char> none(0, 0);
  none.fillWithPattern(std::vector<char>{});  // nothing to fill, nothing to refuse
}

TEST(Matrix, DebugDescriptionDrawsTheView) {
  Matrix<int> m(3, 2);
  m.set(C(0, 0), 1);
  m.set(C(2, 1), 1);
  EXPECT_EQ(m.debugDescription(), "Matrix(3,2): (\n   012\n 0:X__\n 1:__X\n)\n");
  EXPECT_EQ(debugDescribe(m), m.debugDescription());
  turn(m, D::left);
  EXPECT_EQ(m.debugDescription(), "Matrix(2,3): (\n   01\n 0:_X\n 1:__\n 2:X_\n)\n");

  const std::string wide = Matrix<int>(12, 11).debugDescription();
  EXPECT_NE(wide.find("\n   012345678901\n"), std::string::npos);
  EXPECT_NE(wide.find("\n 9:____________\n10:____________\n"), std::string::npos);
  const std::string tall = Matrix<int>(1, 101).debugDescription();
  EXPECT_NE(tall.find("\n100:_\n"), std::string::npos);
}

TEST(Matrix, SetCoordinateIteratorWorksOnItsOwnCopy) {
  Matrix<int> m(3, 2);
  m.set(C(1, 0), 1);
  Matrix<int>::SetCoordinateIterator early = m.makeSetCoordinateIterator();
  m.set(C(0, 1), 2);
  EXPECT_EQ(setCoordinates(early), (std::vector<C>{C(1, 0)}));
  EXPECT_EQ(setCoordinates(m.makeSetCoordinateIterator()), (std::vector<C>{C(1, 0), C(0, 1)}));
  turn(m, D::flipHorizontal);
  EXPECT_EQ(setCoordinates(m.makeSetCoordinateIterator()), (std::vector<C>{C(1, 0), C(2, 1)}));
}

TEST(MatrixDeathTest, RefusesTransformsThatDoNotMapTheCellsOneToOne) {
  Matrix<int> m(3, 2);
  EXPECT_DEATH(m.setTransform(T()), "determinant is 0, not 1 or -1");
  EXPECT_DEATH(m.setTransform(T(2, 0, 0, 1, 0, 0)), "determinant is 2, not 1 or -1");
  // A turn built for another size would reach past the stored rows.
  EXPECT_DEATH(m.setTransform(T::makeDirection(D::left, S(2, 3))), "maps outside the stored cells");
  EXPECT_DEATH(m.setTransform(T::makeTranslation(1, 0)), "maps outside the stored cells");
  EXPECT_DEATH(m.setTransform(T::makeRotation(90)), "maps outside the stored cells");
  // A shear: unit determinant, but the view is a slanted band, not the rectangle.
  EXPECT_DEATH(m.setTransform(T(1, 0, 1, 1, 0, 0)), "maps outside the stored cells");
  EXPECT_DEATH(m.setTransform(T(1, 0, 0, 1, INT64_MAX, INT64_MAX)), "maps outside the stored cells");
}

TEST(Matrix, AcceptsEveryOneToOneTransform) {
  // Within a single row a shear moves no cell, so it is a valid view.
  Matrix<int> row = numbered(3, 1);
  row.setTransform(T(1, 0, 5, 1, 0, 0));
  EXPECT_EQ(row.size(), S(3, 1));
  EXPECT_EQ(row[C(2, 0)], 2);
  // A matrix without cells has nothing to reach.
  Matrix<int> none(0, 4);
  none.setTransform(T::makeRotation(90));
  EXPECT_EQ(none.cellCount(), 0);
}

TEST(MatrixDeathTest, StopsOnCoordinatesAndArgumentsOutsideItsLimits) {
  Matrix<int> m(3, 2);
  EXPECT_DEATH((void)m[C(3, 0)], "Coordinate out of bounds: MatrixCoordinate\\(3, 0\\) \\(MatrixSize\\(3, 2\\)\\)");
  EXPECT_DEATH(m.set(C(0, -1), 1), "Coordinate out of bounds: MatrixCoordinate\\(0, -1\\)");
  turn(m, D::left);
  EXPECT_DEATH(m.set(C(2, 0), 1), "Coordinate out of bounds: MatrixCoordinate\\(2, 0\\) \\(MatrixSize\\(2, 3\\)\\)");
  EXPECT_DEATH((void)m.subscriptRawIndex(-1), "raw index -1 must not be negative");
  EXPECT_DEATH((void)m.firstCoordinateWithCondition(-1, [](const std::optional<int>&) { return true; }),
               "checkeredStep -1 must not be negative");
  EXPECT_DEATH((void)Matrix<int>(0, 3).randomCoordinate(), "maxValue has to be at least 1");
  EXPECT_DEATH((void)Matrix<int>(3, 0).randomEmptyCoordinate(), "maxValue has to be at least 1");
  EXPECT_DEATH((void)Matrix<int>(-1, 3), "columns and rows of 0 or more, not -1 x 3");
  EXPECT_DEATH((void)Matrix<int>(INT64_MAX, 2), "Arithmetic overflow");
  EXPECT_DEATH(m.fillWithPattern(std::vector<int>{}), "empty pattern");
  EXPECT_DEATH(m.fillWithPercent(4.9, [] { return 1; }), "percentage 4.9 must be at least 5.0");
  EXPECT_DEATH(m.fillWithPercent(NAN, [] { return 1; }), "percentage nan must be at least 5.0");
  Cells small(5);
  EXPECT_DEATH(m.copyCellsInViewOrder(small), "the buffer holds 5 cells, the matrix 6");
}

}  // namespace
}  // namespace vantrel
