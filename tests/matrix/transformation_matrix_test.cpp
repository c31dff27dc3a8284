#include <cstdint>
#include <set>
#include <unordered_set>
#include <utility>

#include <gtest/gtest.h>

#include "vantrel/core/describe.h"
#include "vantrel/matrix/transformation_matrix.h"

namespace vantrel {
namespace {

using T = TransformationMatrix;
using D = TransformationMatrix::Direction;
using C = MatrixCoordinate;
using S = MatrixSize;

TEST(TransformationMatrixExample, ReplaysTheHeader) {
  const T turn = T::makeDirection(D::left, S(3, 2));
  EXPECT_EQ(turn, T(0, 1, -1, 0, 1, 0));
  EXPECT_EQ(C(2, 1).transformed(turn), C(0, 2));
  EXPECT_EQ(C(0, 0).transformed(turn), C(1, 0));
  EXPECT_EQ(S(3, 2).transformed(turn), S(2, 3));
  EXPECT_EQ(turn.multipliedBy(*turn.inversedTransformationMatrix()), T::identity());
}

TEST(TransformationMatrix, MadeValuesTextAndHash) {
  EXPECT_EQ(T(), T(0, 0, 0, 0, 0, 0));
  EXPECT_EQ(T().inversedTransformationMatrix(), std::nullopt);
  EXPECT_EQ(T::identity(), T(1, 0, 0, 1, 0, 0));
  EXPECT_EQ(T::identity().hashValue(), 0);
  EXPECT_EQ(T(1, 2, 4, 8, 16, 32).hashValue(), 63);
  EXPECT_EQ(std::hash<T>()(T(1, 2, 4, 8, 16, 32)), 63u);
  EXPECT_EQ(T::makeTranslation(3, -4), T(1, 0, 0, 1, 3, -4));
  EXPECT_EQ(describe(T::identity()), "TransformationMatrix(\n1,0,0\n0,1,0\n0,0,1)");
  EXPECT_EQ(describe(T(0, -1, 1, 0, 0, 1)), "TransformationMatrix(\n0,-1,0\n1,0,0\n0,1,1)");
  EXPECT_NE(T::identity(), T::makeTranslation(0, 1));
}

TEST(TransformationMatrix, RotationsByQuarterTurns) {
  struct Case {
    std::int64_t degrees;
    T want;
  };
  const Case cases[] = {
      {90, T(0, 1, -1, 0, 0, 0)},    {-90, T(0, -1, 1, 0, 0, 0)}, {270, T(0, -1, 1, 0, 0, 0)},
      {450, T(0, 1, -1, 0, 0, 0)},   {-450, T(0, -1, 1, 0, 0, 0)}, {360, T::identity()},
      {-360, T::identity()},         {180, T(-1, 0, 0, -1, 0, 0)}, {0, T::identity()},
      {-9000000000000000000, T::identity()},  // a multiple of 360
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.degrees);
    EXPECT_EQ(T::makeRotation(c.degrees), c.want);
  }
  EXPECT_EQ(C(2, 5).transformed(T::makeRotation(90)), C(-5, 2));
  EXPECT_EQ(T::makeScale(-1, 1), T(-1, 0, 0, 1, 0, 0));
}

TEST(TransformationMatrix, CompositionAndInverse) {
  const T left = T::makeDirection(D::left, S(3, 2));
  const T right = T::makeDirection(D::right, S(2, 3));
  EXPECT_EQ(right, T(0, -1, 1, 0, 0, 1));
  EXPECT_EQ(left.multipliedBy(right), T::identity());
  EXPECT_EQ(left.inversedTransformationMatrix(), right);
  // The receiver applies first: translate, then turn.
  const T moveThenTurn = T::makeTranslation(1, 0).multipliedBy(T::makeRotation(90));
  EXPECT_EQ(C(0, 0).transformed(moveThenTurn), C(0, 1));
  EXPECT_EQ(C(3, 4).transformed(moveThenTurn),
            C(3, 4).transformed(T::makeTranslation(1, 0)).transformed(T::makeRotation(90)));
  // A determinant other than 1 or -1 truncates its quotients.
  EXPECT_EQ(T(2, 0, 0, 2, 0, 0).inversedTransformationMatrix(), T());  // 2 / 4 truncates to 0
  EXPECT_EQ(T(2, 0, 0, 2, 0, 0).determinant(), 4);
}

TEST(TransformationMatrix, EveryDirectionMapsTheCellsOneToOne) {
  struct Case {
    D direction;
    T want;
    bool turnsSides;
  };
  // For a 4 x 3 matrix: w - 1 = 3, h - 1 = 2.
  const Case cases[] = {
      {D::none, T(1, 0, 0, 1, 0, 0), false},
      {D::left, T(0, 1, -1, 0, 2, 0), true},
      {D::leftLeft, T(-1, 0, 0, -1, 3, 2), false},
      {D::right, T(0, -1, 1, 0, 0, 3), true},
      {D::flipHorizontal, T(-1, 0, 0, 1, 3, 0), false},
      {D::flipVertical, T(1, 0, 0, -1, 0, 2), false},
      {D::left_FlippedHorizontal, T(0, 1, 1, 0, 0, 0), true},
      {D::right_FlippedHorizontal, T(0, -1, -1, 0, 2, 3), true},
  };
  const S size(4, 3);
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(static_cast<D::Case>(c.direction)));
    const T t = T::makeDirection(c.direction, size);
    EXPECT_EQ(t, c.want);
    const S turned = size.transformed(t);
    EXPECT_EQ(turned, c.turnsSides ? S(3, 4) : S(4, 3));
    std::set<std::pair<std::int64_t, std::int64_t>> seen;
    for (std::int64_t y = 0; y < size.height(); ++y) {
      for (std::int64_t x = 0; x < size.width(); ++x) {
        const C mapped = C(x, y).transformed(t);
        EXPECT_TRUE(turned.contains(mapped)) << mapped.description();
        seen.insert({mapped.x, mapped.y});
        EXPECT_EQ(mapped.transformed(*t.inversedTransformationMatrix()), C(x, y));
      }
    }
    EXPECT_EQ(seen.size(), 12u);
  }
  // flipVertical is leftLeft followed by the horizontal mirror of the turned matrix.
  EXPECT_EQ(T::makeDirection(D::leftLeft, size).multipliedBy(T::makeDirection(D::flipHorizontal, size)),
            T::makeDirection(D::flipVertical, size));
  // A size without columns is never exchanged.
  EXPECT_EQ(S(0, 5).transformed(T::makeDirection(D::left, S(0, 5))), S(0, 5));
}

TEST(TransformationMatrix, DirectionList) {
  const auto& all = D::all();
  ASSERT_EQ(all.size(), 8u);
  EXPECT_EQ(all[0], D::none);
  EXPECT_EQ(all[4], D::flipHorizontal);
  EXPECT_EQ(all[5], D::left_FlippedHorizontal);
  EXPECT_EQ(all[6], D::flipVertical);
  EXPECT_EQ(all[7], D::right_FlippedHorizontal);
  std::unordered_set<D> distinct(all.begin(), all.end());
  EXPECT_EQ(distinct.size(), 8u);
}

TEST(TransformationMatrixDeathTest, RefusesWhatItCannotBuild) {
  EXPECT_DEATH((void)T::makeRotation(45), "rotation only in 90 degree steps possible");
  EXPECT_DEATH((void)T::makeScale(2, 1), "scaling is only allowed by an factor of 1 or -1");
  EXPECT_DEATH((void)T::makeScale(1, 0), "scaling is only allowed by an factor of 1 or -1");
  EXPECT_DEATH((void)C(INT64_MAX, 0).transformed(T::makeTranslation(1, 0)), "Arithmetic overflow");
  EXPECT_DEATH((void)T(INT64_MAX, 0, 0, 2, 0, 0).multipliedBy(T(2, 0, 0, 1, 0, 0)),
               "Arithmetic overflow");
}

}  // namespace
}  // namespace vantrel
