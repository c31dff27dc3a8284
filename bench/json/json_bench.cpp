// Parse to a value, write back compact and indented, and chained subscript
// reads, on two generated documents (bench/json/make_documents.py), and a
// walk over an array of 10^6 numbers: ours against nlohmann-json and
// RapidJSON's Document and Writer, with simdjson's DOM parse as the floor.
// Throughput is in bytes of the input document.
#include <benchmark/benchmark.h>

#include <nlohmann/json.hpp>
#include <rapidjson/document.h>
#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>
#include <simdjson.h>

#include <cstdlib>
#include <string>

#include "vantrel/json/json.h"
#include "vantrel/json/json_writer.h"
#include "vantrel/platform/posix/read_file.h"

namespace {

const std::string& document(const char* name) {
  static std::string feed;
  static std::string coordinates;
  std::string& text = std::string(name) == "social_feed" ? feed : coordinates;
  if (text.empty()) {
    const std::string path = std::string(VANTREL_JSON_BENCH_DOCUMENTS) + "/" + name + ".json";
    if (vantrel::posix::readFile(path, text)) std::abort();
  }
  return text;
}

constexpr const char* kNames[] = {"social_feed", "coordinates"};

void setBytes(benchmark::State& state, const std::string& text) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
  state.SetLabel(kNames[state.range(0)]);
}

// ---- parse ----

void BM_Parse_Vantrel(benchmark::State& state) {
  const std::string& text = document(kNames[state.range(0)]);
  for (auto _ : state) benchmark::DoNotOptimize(vantrel::Json::fromData(text));
  setBytes(state, text);
}

void BM_Parse_Nlohmann(benchmark::State& state) {
  const std::string& text = document(kNames[state.range(0)]);
  for (auto _ : state) benchmark::DoNotOptimize(nlohmann::json::parse(text));
  setBytes(state, text);
}

void BM_Parse_RapidJson(benchmark::State& state) {
  const std::string& text = document(kNames[state.range(0)]);
  for (auto _ : state) {
    rapidjson::Document d;
    d.Parse(text.data(), text.size());
    benchmark::DoNotOptimize(d.IsObject());
  }
  setBytes(state, text);
}

void BM_Parse_SimdjsonDomFloor(benchmark::State& state) {
  const std::string& text = document(kNames[state.range(0)]);
  simdjson::dom::parser parser;
  const simdjson::padded_string padded(text);
  for (auto _ : state) {
    simdjson::dom::element root;
    if (parser.parse(padded).get(root)) std::abort();
    benchmark::DoNotOptimize(root);
  }
  setBytes(state, text);
}

// ---- write ----

void BM_WriteCompact_Vantrel(benchmark::State& state) {
  const std::string& text = document(kNames[state.range(0)]);
  const vantrel::Json value = vantrel::Json::fromData(text);
  for (auto _ : state) benchmark::DoNotOptimize(vantrel::JsonWriter(std::nullopt).string(value.managedJsonObject()));
  setBytes(state, text);
}

void BM_WriteCompactUnsorted_Vantrel(benchmark::State& state) {
  const std::string& text = document(kNames[state.range(0)]);
  const vantrel::Json value = vantrel::Json::fromData(text);
  for (auto _ : state) {
    benchmark::DoNotOptimize(vantrel::JsonWriter(std::nullopt, false).string(value.managedJsonObject()));
  }
  setBytes(state, text);
}

void BM_WriteIndented_Vantrel(benchmark::State& state) {
  const std::string& text = document(kNames[state.range(0)]);
  const vantrel::Json value = vantrel::Json::fromData(text);
  for (auto _ : state) benchmark::DoNotOptimize(vantrel::JsonWriter().string(value.managedJsonObject()));
  setBytes(state, text);
}

// The system text, sorted by the text order and laid out on lines.
void BM_WriteSystem_Vantrel(benchmark::State& state) {
  const std::string& text = document(kNames[state.range(0)]);
  const vantrel::Json value = vantrel::Json::fromData(text);
  for (auto _ : state) benchmark::DoNotOptimize(value.makeStringSystem());
  setBytes(state, text);
}

void BM_WriteCompact_Nlohmann(benchmark::State& state) {
  const std::string& text = document(kNames[state.range(0)]);
  const nlohmann::json value = nlohmann::json::parse(text);
  for (auto _ : state) benchmark::DoNotOptimize(value.dump());
  setBytes(state, text);
}

void BM_WriteIndented_Nlohmann(benchmark::State& state) {
  const std::string& text = document(kNames[state.range(0)]);
  const nlohmann::json value = nlohmann::json::parse(text);
  for (auto _ : state) benchmark::DoNotOptimize(value.dump(1, '\t'));
  setBytes(state, text);
}

void BM_WriteCompact_RapidJson(benchmark::State& state) {
  const std::string& text = document(kNames[state.range(0)]);
  rapidjson::Document d;
  d.Parse(text.data(), text.size());
  for (auto _ : state) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    d.Accept(writer);
    benchmark::DoNotOptimize(buffer.GetString());
  }
  setBytes(state, text);
}

void BM_WriteIndented_RapidJson(benchmark::State& state) {
  const std::string& text = document(kNames[state.range(0)]);
  rapidjson::Document d;
  d.Parse(text.data(), text.size());
  for (auto _ : state) {
    rapidjson::StringBuffer buffer;
    rapidjson::PrettyWriter<rapidjson::StringBuffer> writer(buffer);
    writer.SetIndent('\t', 1);
    d.Accept(writer);
    benchmark::DoNotOptimize(buffer.GetString());
  }
  setBytes(state, text);
}

// ---- 10^6 chained subscript reads ----

void BM_Subscripts_Vantrel(benchmark::State& state) {
  const vantrel::Json value = vantrel::Json::fromData(document("social_feed"));
  const std::int64_t count = static_cast<std::int64_t>(value["statuses"].managedJsonObject().array()->size());
  for (auto _ : state) {
    std::int64_t sum = 0;
    for (std::int64_t i = 0; i < 1'000'000; ++i) {
      sum += value["statuses"][i % count]["user"]["followers_count"].intValue();
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * 1'000'000);
}

void BM_Subscripts_Nlohmann(benchmark::State& state) {
  const nlohmann::json value = nlohmann::json::parse(document("social_feed"));
  const std::size_t count = value["statuses"].size();
  for (auto _ : state) {
    std::int64_t sum = 0;
    for (std::size_t i = 0; i < 1'000'000; ++i) {
      sum += value["statuses"][i % count]["user"]["followers_count"].get<std::int64_t>();
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * 1'000'000);
}

void BM_Subscripts_RapidJson(benchmark::State& state) {
  rapidjson::Document d;
  const std::string& text = document("social_feed");
  d.Parse(text.data(), text.size());
  const rapidjson::SizeType count = d["statuses"].Size();
  for (auto _ : state) {
    std::int64_t sum = 0;
    for (rapidjson::SizeType i = 0; i < 1'000'000; ++i) {
      sum += d["statuses"][i % count]["user"]["followers_count"].GetInt64();
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * 1'000'000);
}

// ---- iteration over an array of 10^6 numbers ----

std::string millionNumbers() {
  std::string text = "[";
  for (int i = 0; i < 1'000'000; ++i) {
    if (i) text += ',';
    text += std::to_string(i % 1000);
  }
  return text + "]";
}

void BM_IterateArray_Vantrel(benchmark::State& state) {
  const vantrel::Json value = vantrel::Json::fromData(millionNumbers());
  for (auto _ : state) {
    std::int64_t sum = 0;
    for (const auto& [name, element] : value) sum += element.intValue();
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * 1'000'000);
}

void BM_IterateArray_Nlohmann(benchmark::State& state) {
  const nlohmann::json value = nlohmann::json::parse(millionNumbers());
  for (auto _ : state) {
    std::int64_t sum = 0;
    for (const auto& element : value) sum += element.get<std::int64_t>();
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * 1'000'000);
}

}  // namespace

BENCHMARK(BM_Parse_Vantrel)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Parse_Nlohmann)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Parse_RapidJson)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Parse_SimdjsonDomFloor)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteCompact_Vantrel)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteCompactUnsorted_Vantrel)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteCompact_Nlohmann)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteCompact_RapidJson)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteIndented_Vantrel)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteIndented_Nlohmann)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteIndented_RapidJson)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteSystem_Vantrel)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Subscripts_Vantrel)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Subscripts_Nlohmann)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Subscripts_RapidJson)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IterateArray_Vantrel)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IterateArray_Nlohmann)->Unit(benchmark::kMillisecond);
