// LZFSE decoding of the vectors in tests/data, beside zlib's inflate of the same
// text (raw DEFLATE at level 6), as MB/s of output (10^6 bytes per second).
// "Reused" decodes into one buffer that earlier runs have touched, as the
// reference codec's in-process figure is measured; "Fresh" is the public
// `uncompressed`, which allocates its result every time.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <filesystem>
#include <string>

#include "vantrel/foundation/resources/compression.h"
#include "vantrel/foundation/resources/internal/decoders.h"
#include "vantrel/platform/posix/read_file.h"

namespace {

using vantrel::Data;

std::filesystem::path fixtures() { return VANTREL_BENCH_FIXTURES; }

Data load(const std::string& name) {
  std::string text;
  if (vantrel::posix::readFile((fixtures() / "lzfse" / name).string(), text)) return {};
  return Data(text.begin(), text.end());
}

void setBytes(benchmark::State& state, std::size_t outputBytes) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * outputBytes));
  state.counters["MB/s"] = benchmark::Counter(static_cast<double>(outputBytes) / 1e6,
                                              benchmark::Counter::kIsIterationInvariantRate);
}

void lzfseReused(benchmark::State& state, const std::string& name) {
  const Data stream = load(name);
  if (stream.empty()) {
    state.SkipWithError("test data missing (tests/data/lzfse)");
    return;
  }
  Data out;
  for (auto _ : state) {
    if (!vantrel::foundation_internal::decodeLzfseInto(stream, std::size_t{1} << 30, out)) {
      state.SkipWithError("decode failed");
      return;
    }
    benchmark::DoNotOptimize(out.data());
  }
  setBytes(state, out.size());
}

void lzfseFresh(benchmark::State& state, const std::string& name) {
  const Data stream = load(name);
  if (stream.empty()) {
    state.SkipWithError("test data missing (tests/data/lzfse)");
    return;
  }
  std::size_t size = 0;
  for (auto _ : state) {
    auto out = vantrel::uncompressed(stream, vantrel::Compression::lzfse);
    if (!out) {
      state.SkipWithError("decode failed");
      return;
    }
    size = out->size();
    benchmark::DoNotOptimize(out->data());
  }
  setBytes(state, size);
}

void zlibText(benchmark::State& state) {
  const Data text = load("text-5m.txt");
  if (text.empty()) {
    state.SkipWithError("test data missing (tests/data/lzfse)");
    return;
  }
  z_stream s{};
  deflateInit2(&s, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  Data packed(deflateBound(&s, text.size()));
  s.next_in = const_cast<Bytef*>(text.data());
  s.avail_in = static_cast<uInt>(text.size());
  s.next_out = packed.data();
  s.avail_out = static_cast<uInt>(packed.size());
  deflate(&s, Z_FINISH);
  packed.resize(s.total_out);
  deflateEnd(&s);
  std::size_t size = 0;
  for (auto _ : state) {
    auto out = vantrel::uncompressed(packed, vantrel::Compression::zlib);
    if (!out) {
      state.SkipWithError("inflate failed");
      return;
    }
    size = out->size();
    benchmark::DoNotOptimize(out->data());
  }
  setBytes(state, size);
}

BENCHMARK_CAPTURE(lzfseReused, text_5m, std::string("text-5m.txt.lzfse"))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(lzfseReused, large_json, std::string("large.json.lzfse"))->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(lzfseFresh, text_5m, std::string("text-5m.txt.lzfse"))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(lzfseFresh, large_json, std::string("large.json.lzfse"))->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(zlibText)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
