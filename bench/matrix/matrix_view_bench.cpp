// Reading a 4096 x 4096 Matrix<int32_t> in view order under each of the eight
// orientations, against a plain loop over the same cells and memcpy of their
// bytes, and the matrix's iterators in a range-for. The argument of the view
// benchmarks is the position of the orientation in
// TransformationMatrix::Direction::all().
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include <benchmark/benchmark.h>

#include "vantrel/matrix/matrix.h"

namespace {

using vantrel::Matrix;
using vantrel::MatrixCoordinate;
using vantrel::TransformationMatrix;
using Cell = std::optional<std::int32_t>;

constexpr std::int64_t kSide = 4096;
constexpr std::size_t kCells = static_cast<std::size_t>(kSide * kSide);

const Matrix<std::int32_t>& baseMatrix() {
  static const Matrix<std::int32_t> matrix = [] {
    Matrix<std::int32_t> m(kSide, kSide);
    std::int32_t value = 0;
    for (std::int64_t y = 0; y < kSide; ++y) {
      for (std::int64_t x = 0; x < kSide; ++x) {
        // Every eighth cell empty, so the optional's flag is not constant.
        if (value % 8 != 0) m.set(MatrixCoordinate(x, y), value);
        ++value;
      }
    }
    return m;
  }();
  return matrix;
}

Matrix<std::int32_t> orientedMatrix(std::int64_t direction) {
  Matrix<std::int32_t> m = baseMatrix();
  m.setTransform(TransformationMatrix::makeDirection(
      TransformationMatrix::Direction::all()[static_cast<std::size_t>(direction)], m.originalSize()));
  return m;
}

std::vector<Cell>& target() {
  static std::vector<Cell> buffer(kCells, Cell(1));  // touched once, so no page faults are timed
  return buffer;
}

const std::vector<Cell>& plainCells() {
  static const std::vector<Cell> cells = [] {
    std::vector<Cell> copy;
    copy.reserve(kCells);
    for (const Cell& cell : baseMatrix()) copy.push_back(cell);
    return copy;
  }();
  return cells;
}

void setBytes(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(kCells * sizeof(Cell)));
}

// The whole view, row by row, into a buffer (blocked walk for the turns).
void BM_ViewOrderCopy(benchmark::State& state) {
  const Matrix<std::int32_t> m = orientedMatrix(state.range(0));
  std::vector<Cell>& out = target();
  for (auto _ : state) {
    m.copyCellsInViewOrder(out);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  setBytes(state);
}
BENCHMARK(BM_ViewOrderCopy)->DenseRange(0, 7)->Unit(benchmark::kMillisecond);

// The whole view cell by cell through the coordinate subscript, summed.
void BM_ViewOrderSubscript(benchmark::State& state) {
  const Matrix<std::int32_t> m = orientedMatrix(state.range(0));
  const std::int64_t width = m.size().width();
  const std::int64_t height = m.size().height();
  for (auto _ : state) {
    std::int64_t sum = 0;
    for (std::int64_t y = 0; y < height; ++y) {
      for (std::int64_t x = 0; x < width; ++x) sum += m[MatrixCoordinate(x, y)].value_or(0);
    }
    benchmark::DoNotOptimize(sum);
  }
  setBytes(state);
}
BENCHMARK(BM_ViewOrderSubscript)->DenseRange(0, 7)->Unit(benchmark::kMillisecond);

// Peers: a plain loop over the same cells, copying or summing, and memcpy.
void BM_Storage_PlainCopyLoop(benchmark::State& state) {
  const std::vector<Cell>& cells = plainCells();
  std::vector<Cell>& out = target();
  for (auto _ : state) {
    for (std::size_t i = 0; i < kCells; ++i) out[i] = cells[i];
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  setBytes(state);
}
BENCHMARK(BM_Storage_PlainCopyLoop)->Unit(benchmark::kMillisecond);

void BM_Storage_PlainSumLoop(benchmark::State& state) {
  const std::vector<Cell>& cells = plainCells();
  for (auto _ : state) {
    std::int64_t sum = 0;
    for (const Cell& cell : cells) sum += cell.value_or(0);
    benchmark::DoNotOptimize(sum);
  }
  setBytes(state);
}
BENCHMARK(BM_Storage_PlainSumLoop)->Unit(benchmark::kMillisecond);

// The matrix's own iterators in a range-for, storage order and view order
// (identity view), summed as the plain loop above sums its copy.
void BM_RangeFor_MatrixStorage(benchmark::State& state) {
  const Matrix<std::int32_t>& m = baseMatrix();
  for (auto _ : state) {
    std::int64_t sum = 0;
    for (const Cell& cell : m) sum += cell.value_or(0);
    benchmark::DoNotOptimize(sum);
  }
  setBytes(state);
}
BENCHMARK(BM_RangeFor_MatrixStorage)->Unit(benchmark::kMillisecond);

void BM_RangeFor_MatrixView(benchmark::State& state) {
  const Matrix<std::int32_t>& m = baseMatrix();
  for (auto _ : state) {
    std::int64_t sum = 0;
    for (const Cell& cell : m.viewCells()) sum += cell.value_or(0);
    benchmark::DoNotOptimize(sum);
  }
  setBytes(state);
}
BENCHMARK(BM_RangeFor_MatrixView)->Unit(benchmark::kMillisecond);

void BM_Storage_Memcpy(benchmark::State& state) {
  const std::vector<Cell>& cells = plainCells();
  std::vector<Cell>& out = target();
  for (auto _ : state) {
    std::memcpy(static_cast<void*>(out.data()), cells.data(), kCells * sizeof(Cell));
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  setBytes(state);
}
BENCHMARK(BM_Storage_Memcpy)->Unit(benchmark::kMillisecond);

}  // namespace
