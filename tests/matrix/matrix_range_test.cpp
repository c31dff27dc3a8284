// Matrix and its view-order cells as C++ ranges, and std::hash of a matrix.
#include <cstdint>
#include <optional>
#include <random>
#include <ranges>
#include <string>
#include <unordered_set>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/range_conformance.h"
#include "vantrel/matrix/matrix.h"

namespace vantrel {
namespace {

using C = MatrixCoordinate;
using D = TransformationMatrix::Direction;
using Cell = std::optional<int>;

static_assert(std::random_access_iterator<Matrix<int>::const_iterator>);
static_assert(std::ranges::random_access_range<const Matrix<int>>);
static_assert(std::ranges::sized_range<const Matrix<int>>);
static_assert(std::ranges::common_range<const Matrix<int>>);
static_assert(std::ranges::random_access_range<const Matrix<int>::ViewCells>);
static_assert(std::ranges::sized_range<const Matrix<int>::ViewCells>);
static_assert(std::same_as<std::ranges::range_reference_t<const Matrix<std::string>>,
                           const std::optional<std::string>&>);


// A matrix with random cells, turned; the model is its cells in the order
// each range yields them, read one coordinate or raw index at a time.
struct Built {
  Matrix<int> matrix;
  std::vector<Cell> storageOrder;
  std::vector<Cell> viewOrder;
};

Built build(std::uint64_t seed, std::int64_t columns, std::int64_t rows, D direction) {
  std::mt19937_64 random(seed);
  Matrix<int> m(columns, rows);
  for (std::int64_t y = 0; y < rows; ++y) {
    for (std::int64_t x = 0; x < columns; ++x) {
      if (random() % 3 != 0) m.set(C(x, y), static_cast<int>(random() % 50));
    }
  }
  m.setTransform(TransformationMatrix::makeDirection(direction, m.originalSize()));
  Built built{m, {}, {}};
  for (std::int64_t i = 0; i < m.cellCount(); ++i) built.storageOrder.push_back(m.subscriptRawIndex(i));
  for (std::int64_t y = 0; y < m.size().height(); ++y) {
    for (std::int64_t x = 0; x < m.size().width(); ++x) built.viewOrder.push_back(m[C(x, y)]);
  }
  return built;
}

struct StorageOrderCase {
  static const Matrix<int>& range(const Built& b) { return b.matrix; }
  static const std::vector<Cell>& model(const Built& b) { return b.storageOrder; }
};
struct ViewOrderCase {
  static Matrix<int>::ViewCells range(const Built& b) { return b.matrix.viewCells(); }
  static const std::vector<Cell>& model(const Built& b) { return b.viewOrder; }
};

template <class Case>
class MatrixRange : public ::testing::Test {};
using MatrixRangeCases = ::testing::Types<StorageOrderCase, ViewOrderCase>;
TYPED_TEST_SUITE(MatrixRange, MatrixRangeCases);

TYPED_TEST(MatrixRange, AgreesWithTheCellsReadOneByOne) {
  const std::pair<std::int64_t, std::int64_t> shapes[] = {{0, 0}, {0, 3}, {1, 1}, {3, 2}, {5, 7}, {16, 9}};
  for (const auto& [columns, rows] : shapes) {
    for (const D direction : D::all()) {
      SCOPED_TRACE(::testing::Message() << columns << " x " << rows << ", direction "
                                        << static_cast<int>(static_cast<D::Case>(direction)));
      const Built built = build(static_cast<std::uint64_t>(columns * 31 + rows), columns, rows, direction);
      const auto& range = TypeParam::range(built);
      testing::expectRangeAgrees(range, TypeParam::model(built), [](const Cell& c) { return c.has_value(); });
      ASSERT_EQ(std::ranges::count_if(range, [](const Cell& c) { return c.has_value(); }),
                built.matrix.fillCount());
    }
  }
}

TEST(MatrixRange, IteratorsReadTheMatrixAsItIsNow) {
  Matrix<int> m(3, 2);
  const auto storage = m.begin() + 1;
  const auto view = m.viewCells().begin() + 1;
  m.set(C(1, 0), 7);
  EXPECT_EQ(*storage, Cell(7));
  EXPECT_EQ(*view, Cell(7));
  // A new view: the view-order iterator reads the turned view.
  m.setTransform(TransformationMatrix::makeDirection(D::left, m.originalSize()));
  EXPECT_EQ(*view, m[C(1, 0)]);
  EXPECT_EQ(*storage, Cell(7));
  EXPECT_EQ(std::ranges::size(m), 6u);
  EXPECT_EQ(m.viewCells().size(), 6u);
}

TEST(MatrixRange, ReadingOutsideTheCellsStops) {
  Matrix<int> m(2, 2, 1);
  EXPECT_DEATH((void)*m.end(), "Matrix iterator read position 4 outside the 4 cells");
  const auto it = m.viewCells().begin() + 3;
  Matrix<int> taken = std::move(m);
  EXPECT_DEATH((void)*it, "Matrix iterator read position 3 outside the 0 cells");
}

TEST(MatrixRange, ComparingIteratorsOfTwoMatricesStops) {
  const Matrix<int> a(2, 2, 1);
  const Matrix<int> b = a;
  EXPECT_DEATH((void)(a.begin() == b.begin()), "Iterators of two different sequences compared");
  EXPECT_DEATH((void)(a.viewCells().end() - b.viewCells().begin()),
               "Iterators of two different sequences compared");
  EXPECT_EQ(a.viewCells().end() - a.viewCells().begin(), 4);
}

TEST(MatrixHash, HashesWhatTheViewShows) {
  const std::hash<Matrix<int>> hash;
  // Stored turned, or stored as seen: the same view, the same hash.
  Matrix<int> turned(3, 2);
  turned.set(C(2, 1), 5);
  turned.setTransform(TransformationMatrix::makeDirection(D::left, turned.originalSize()));
  Matrix<int> asSeen(turned.size());
  for (std::int64_t y = 0; y < turned.size().height(); ++y) {
    for (std::int64_t x = 0; x < turned.size().width(); ++x) asSeen.set(C(x, y), turned[C(x, y)]);
  }
  EXPECT_EQ(hash(turned), hash(asSeen));

  Matrix<int> other = asSeen;
  other.set(C(0, 0), 0);  // an element where there was none
  EXPECT_NE(hash(other), hash(asSeen));
  EXPECT_NE(hash(Matrix<int>(2, 3)), hash(Matrix<int>(3, 2)));
  EXPECT_NE(hash(Matrix<int>(6, 1)), hash(Matrix<int>(3, 2)));

  // Text cells hash canonically, as the library's sets do.
  Matrix<std::string> composed(1, 1, std::string("\u00e9"));
  Matrix<std::string> decomposed(1, 1, std::string("e\u0301"));
  EXPECT_EQ(std::hash<Matrix<std::string>>{}(composed), std::hash<Matrix<std::string>>{}(decomposed));

  std::unordered_set<std::size_t> hashes;
  for (int pattern = 0; pattern < 512; ++pattern) {
    Matrix<int> m(3, 3);
    for (int bit = 0; bit < 9; ++bit) {
      if ((pattern >> bit) & 1) m.set(C(bit % 3, bit / 3), 1);
    }
    hashes.insert(hash(m));
  }
  EXPECT_EQ(hashes.size(), 512u);
}

}  // namespace
}  // namespace vantrel
