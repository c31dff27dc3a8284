// System text (sorted keys, pretty printed: the default of
// `makeStringSystem`) and key paths, against nlohmann-json's `dump(2)`, on
// the generated documents of json_bench.cpp. Throughput is in bytes of the
// input document. Also chained subscript reads through a const and a
// non-const value, which should cost about the same.
#include <benchmark/benchmark.h>

#include <nlohmann/json.hpp>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>

#include "vantrel/json/json.h"
#include "vantrel/platform/posix/read_file.h"

namespace {

constexpr const char* kNames[] = {"social_feed", "coordinates"};

const std::string& document(std::int64_t which) {
  static std::string texts[2];
  std::string& text = texts[which];
  if (text.empty()) {
    const std::string path = std::string(VANTREL_JSON_BENCH_DOCUMENTS) + "/" + kNames[which] + ".json";
    if (vantrel::posix::readFile(path, text)) std::abort();
  }
  return text;
}

void setBytes(benchmark::State& state, const std::string& text) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
  state.SetLabel(kNames[state.range(0)]);
}

void BM_SystemText_Vantrel(benchmark::State& state) {
  const std::string& text = document(state.range(0));
  const vantrel::Json value = vantrel::Json::fromData(text);
  for (auto _ : state) benchmark::DoNotOptimize(value.makeStringSystem());
  setBytes(state, text);
}

void BM_SystemTextUnsorted_Vantrel(benchmark::State& state) {
  const std::string& text = document(state.range(0));
  const vantrel::Json value = vantrel::Json::fromData(text);
  for (auto _ : state) benchmark::DoNotOptimize(value.makeStringSystem(vantrel::JsonWritingOptions::prettyPrinted));
  setBytes(state, text);
}

void BM_KeyPaths_Vantrel(benchmark::State& state) {
  const std::string& text = document(state.range(0));
  const vantrel::Json value = vantrel::Json::fromData(text);
  for (auto _ : state) benchmark::DoNotOptimize(value.collectKeyPaths());
  setBytes(state, text);
}

void BM_Dump2_Nlohmann(benchmark::State& state) {
  const std::string& text = document(state.range(0));
  const nlohmann::json value = nlohmann::json::parse(text);
  for (auto _ : state) benchmark::DoNotOptimize(value.dump(2));
  setBytes(state, text);
}

}  // namespace

BENCHMARK(BM_SystemText_Vantrel)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SystemTextUnsorted_Vantrel)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeyPaths_Vantrel)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Dump2_Nlohmann)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

namespace {
void BM_SystemTextSortedCompact_Vantrel(benchmark::State& state) {
  const std::string& text = document(state.range(0));
  const vantrel::Json value = vantrel::Json::fromData(text);
  for (auto _ : state) benchmark::DoNotOptimize(value.makeStringSystem(vantrel::JsonWritingOptions::sortedKeys));
  setBytes(state, text);
}
}  // namespace
BENCHMARK(BM_SystemTextSortedCompact_Vantrel)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

// ---- 10^6 chained subscript reads, through a const and a non-const value ----

namespace {

template <class Value>
void subscriptReads(benchmark::State& state, Value& value) {
  const std::int64_t count = static_cast<std::int64_t>(std::as_const(value)["statuses"].count());
  for (auto _ : state) {
    std::int64_t sum = 0;
    for (std::int64_t i = 0; i < 1'000'000; ++i) {
      sum += value["statuses"][i % count]["user"]["followers_count"].intValue();
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * 1'000'000);
}

void BM_Subscripts_Const_Vantrel(benchmark::State& state) {
  const vantrel::Json value = vantrel::Json::fromData(document(0));
  subscriptReads(state, value);
}

void BM_Subscripts_NonConst_Vantrel(benchmark::State& state) {
  vantrel::Json value = vantrel::Json::fromData(document(0));
  subscriptReads(state, value);
}

}  // namespace

BENCHMARK(BM_Subscripts_Const_Vantrel)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Subscripts_NonConst_Vantrel)->Unit(benchmark::kMillisecond);
