#include "vantrel/matrix/transformation_matrix.h"

#include <fmt/format.h>

#include "vantrel/core/checked.h"
#include "vantrel/core/fatal.h"

namespace vantrel {
namespace {

// The angle reduced to 0...359; every multiple of 90 lands on 0, 90, 180 or
// 270. (INT64_MIN % 360 is well defined: only % -1 can overflow.)
std::int64_t reducedAngle(std::int64_t degrees) {
  const std::int64_t r = degrees % 360;
  return r < 0 ? r + 360 : r;
}

std::int64_t intSin(std::int64_t degrees) {
  switch (reducedAngle(degrees)) {
    case 0: return 0;
    case 90: return 1;
    case 180: return 0;
    case 270: return -1;
    default: fatal(fmt::format("sin({}) not possible", degrees));
  }
}

std::int64_t intCos(std::int64_t degrees) {
  switch (reducedAngle(degrees)) {
    case 0: return 1;
    case 90: return 0;
    case 180: return -1;
    case 270: return 0;
    default: fatal(fmt::format("cos({}) not possible", degrees));
  }
}

}  // namespace

TransformationMatrix TransformationMatrix::makeRotation(std::int64_t degrees) {
  if (degrees % 90 != 0) fatal("rotation only in 90 degree steps possible");
  const std::int64_t sin = intSin(degrees);
  const std::int64_t cos = intCos(degrees);
  return {cos, sin, -sin, cos, 0, 0};
}

TransformationMatrix TransformationMatrix::makeScale(std::int64_t sx, std::int64_t sy) {
  if ((sx != 1 && sx != -1) || (sy != 1 && sy != -1)) {
    fatal("scaling is only allowed by an factor of 1 or -1");
  }
  return {sx, 0, 0, sy, 0, 0};
}

TransformationMatrix TransformationMatrix::makeDirection(Direction direction,
                                                         const MatrixSize& originalMatrixSize) {
  const std::int64_t lastColumn = checkedSub(originalMatrixSize.width(), 1);
  const std::int64_t lastRow = checkedSub(originalMatrixSize.height(), 1);
  // Each case: the turn or mirror about the origin, then the translation
  // that brings the cells back to non-negative coordinates.
  TransformationMatrix turn;
  TransformationMatrix back;
  switch (direction) {
    case Direction::none:
      return identity();
    case Direction::left:
      turn = makeRotation(90);
      back = makeTranslation(lastRow, 0);
      break;
    case Direction::leftLeft:
      turn = makeRotation(180);
      back = makeTranslation(lastColumn, lastRow);
      break;
    case Direction::right:
      turn = makeRotation(270);
      back = makeTranslation(0, lastColumn);
      break;
    case Direction::flipHorizontal:
      turn = makeScale(-1, 1);
      back = makeTranslation(lastColumn, 0);
      break;
    case Direction::flipVertical:
      turn = makeScale(1, -1);
      back = makeTranslation(0, lastRow);
      break;
    case Direction::left_FlippedHorizontal:
      // The mirror in the main diagonal: (x, y) to (y, x), already in place.
      return {0, 1, 1, 0, 0, 0};
    case Direction::right_FlippedHorizontal:
      // The mirror in the other diagonal.
      turn = {0, -1, -1, 0, 0, 0};
      back = makeTranslation(lastRow, lastColumn);
      break;
  }
  return turn.multipliedBy(back);
}

TransformationMatrix TransformationMatrix::multipliedBy(const TransformationMatrix& m) const {
  const auto sum = [](std::int64_t p, std::int64_t q) { return checkedAdd(p, q); };
  const auto mul = [](std::int64_t p, std::int64_t q) { return checkedMul(p, q); };
  return {
      sum(mul(a, m.a), mul(b, m.c)),
      sum(mul(a, m.b), mul(b, m.d)),
      sum(mul(c, m.a), mul(d, m.c)),
      sum(mul(c, m.b), mul(d, m.d)),
      sum(sum(mul(tx, m.a), mul(ty, m.c)), m.tx),
      sum(sum(mul(tx, m.b), mul(ty, m.d)), m.ty),
  };
}

std::int64_t TransformationMatrix::determinant() const {
  return checkedSub(checkedMul(a, d), checkedMul(b, c));
}

std::optional<TransformationMatrix> TransformationMatrix::inversedTransformationMatrix() const {
  const std::int64_t det = determinant();
  if (det == 0) return std::nullopt;
  // Negations and quotients go through the checked helpers too: -INT64_MIN
  // and INT64_MIN / -1 do not fit.
  const auto quotient = [det](std::int64_t n) {
    if (det == -1) return checkedSub(0, n);
    return n / det;
  };
  return TransformationMatrix(quotient(d), quotient(checkedSub(0, b)), quotient(checkedSub(0, c)),
                              quotient(a),
                              quotient(checkedSub(checkedMul(c, ty), checkedMul(d, tx))),
                              quotient(checkedSub(checkedMul(b, tx), checkedMul(a, ty))));
}

std::string TransformationMatrix::description() const {
  return fmt::format("TransformationMatrix(\n{},{},0\n{},{},0\n{},{},1)", a, b, c, d, tx, ty);
}

// ---- The transformed forms of the coordinate and size values -------------------

MatrixCoordinate MatrixCoordinate::transformed(const TransformationMatrix& t) const {
  return MatrixCoordinate(checkedAdd(checkedAdd(checkedMul(t.a, x), checkedMul(t.c, y)), t.tx),
                          checkedAdd(checkedAdd(checkedMul(t.b, x), checkedMul(t.d, y)), t.ty));
}

MatrixSize MatrixSize::transformed(const TransformationMatrix& t) const {
  // b * width == 0, tested without the product (which could overflow).
  if (t.b == 0 || width_ == 0) return *this;
  return sizeFlipped();
}

}  // namespace vantrel
