// Arbitrary bytes through both readers of walk names. Whatever the
// parameterised reader accepts makes, on a 7 x 5 size, a walk that ends and
// visits each of the 35 cells exactly once, then stays ended. The random
// walks draw from a fixed generator, so a crash replays.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "vantrel/core/random.h"
#include "vantrel/matrix/coordinate_iterators.h"

namespace {

// A small linear congruential source: the same draws on every run.
class FixedSource : public vantrel::RandomSource {
 public:
  std::uint32_t next() override {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<std::uint32_t>(state_ >> 33);
  }
  std::uint32_t uniform(std::uint32_t upperBound) override { return upperBound == 0 ? 0 : next() % upperBound; }
  void fill(void* buffer, std::size_t size) override {
    for (std::size_t i = 0; i < size; ++i) static_cast<unsigned char*>(buffer)[i] = static_cast<unsigned char>(next());
  }

 private:
  std::uint64_t state_ = 1;
};

constexpr std::int64_t kWidth = 7;
constexpr std::int64_t kHeight = 5;

template <class Walk>
void check(Walk walk) {
  bool seen[kWidth * kHeight] = {};
  std::int64_t count = 0;
  while (std::optional<vantrel::MatrixCoordinate> c = walk.next()) {
    if (c->x < 0 || c->x >= kWidth || c->y < 0 || c->y >= kHeight) std::abort();
    bool& cell = seen[c->y * kWidth + c->x];
    if (cell) std::abort();  // visited twice (a walk that does not end repeats a cell)
    cell = true;
    ++count;
  }
  if (count != kWidth * kHeight) std::abort();
  if (walk.next().has_value()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  (void)vantrel::CoordinateIteratorType1::from(text);
  const std::optional<vantrel::CoordinateIteratorType2> order = vantrel::CoordinateIteratorType2::from(text);
  if (!order) return 0;
  FixedSource source;
  vantrel::ScopedRandomSource use(source);
  const vantrel::MatrixSize matrixSize(kWidth, kHeight);
  using K = vantrel::CoordinateIteratorType2::Kind;
  switch (order->kind()) {
    case K::checkered: check(matrixSize.coordinateIterator_checkered(*order->stepSize())); break;
    case K::spiral: check(matrixSize.coordinateIterator_spiral(!*order->clockwise())); break;
    case K::ordered: check(matrixSize.coordinateIterator()); break;
    case K::randomOuterLine: check(matrixSize.coordinateIterator_randomOuterLine()); break;
    case K::random: check(matrixSize.coordinateIterator_randomPrecalculated()); break;
  }
  return 0;
}
