#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/matrix/matrix.h"

namespace vantrel {
namespace {

using C = MatrixCoordinate;
using D = TransformationMatrix::Direction;
using Cell = std::optional<std::int32_t>;

// Large turned copies (8 MiB and more of 8-byte cells) stream whole cache
// lines and copy the columns around them cell by cell; the lines start
// wherever the caller's buffer puts them.
TEST(MatrixViewCopy, LargeQuarterTurnsMatchTheSubscriptAtEveryBufferOffset) {
  // The first size turns into a view 1024 wide (streamed), 1030 high (rows
  // left over below the blocks); the second into a view 1030 wide.
  const MatrixSize sizes[] = {MatrixSize(1030, 1024), MatrixSize(1024, 1030)};
  for (const MatrixSize& size : sizes) {
    Matrix<std::int32_t> m(size);
    std::int32_t value = 0;
    for (std::int64_t y = 0; y < size.height(); ++y) {
      for (std::int64_t x = 0; x < size.width(); ++x, ++value) {
        if (value % 5 != 0) m.set(C(x, y), value);  // empty cells too
      }
    }
    const std::size_t n = static_cast<std::size_t>(m.cellCount());
    // A buffer on a line boundary, so the offsets below give every lead.
    constexpr std::size_t kLine = 64;
    std::unique_ptr<Cell[], void (*)(Cell*)> buffer(
        static_cast<Cell*>(std::aligned_alloc(kLine, ((n + 8) * sizeof(Cell) + kLine - 1) / kLine * kLine)),
        [](Cell* p) { std::free(p); });
    ASSERT_NE(buffer, nullptr);
    for (D direction : {D::left, D::right, D::left_FlippedHorizontal, D::right_FlippedHorizontal}) {
      m.setTransform(TransformationMatrix::makeDirection(direction, m.originalSize()));
      std::vector<Cell> expected;
      expected.reserve(n);
      for (std::int64_t y = 0; y < m.size().height(); ++y) {
        for (std::int64_t x = 0; x < m.size().width(); ++x) expected.push_back(m[C(x, y)]);
      }
      // 0, 2, 4, 6: each place of a line start; 1: not on 16 bytes, so no streaming.
      for (std::size_t offset : {0, 1, 2, 4, 6}) {
        SCOPED_TRACE(size.description() + " direction " + std::to_string(static_cast<int>(static_cast<D::Case>(direction))) +
                     " offset " + std::to_string(offset));
        std::span<Cell> out(buffer.get() + offset, n);
        std::fill(out.begin(), out.end(), Cell(-1));
        m.copyCellsInViewOrder(out);
        std::size_t wrong = 0;
        for (std::size_t k = 0; k < n; ++k) wrong += out[k] != expected[k] ? 1 : 0;
        ASSERT_EQ(wrong, 0u);
      }
    }
  }
}

}  // namespace
}  // namespace vantrel
