#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "vantrel/json/json.h"
#include "vantrel/json/json_writer.h"

namespace vantrel {
namespace {

// Every thread writes through a buffer of its own, kept between calls: texts
// written at once on several threads, of sizes that make the buffers grow at
// different times, and of one shared value, never mix.
TEST(JsonWriterConcurrency, ThreadsWriteTheirOwnTextsAtOnce) {
  const Json shared = Json::fromParseString(R"({"b": [1, 2.5, "x/y"], "a": {"k": null}})");
  std::vector<std::thread> writers;
  std::vector<int> mismatches(4);
  for (std::size_t t = 0; t < mismatches.size(); ++t) {
    writers.emplace_back([&shared, t, &mismatches] {
      for (int round = 0; round < 60; ++round) {
        std::string text = "[";
        const int count = 1 + (round * 37 + static_cast<int>(t) * 101) % 3000;
        for (int i = 0; i < count; ++i) text += (i ? ",\"" : "\"") + std::to_string(t) + "-" + std::to_string(i) + "\"";
        text += "]";
        const Json own = Json::fromParseString(text);
        if (JsonWriter(std::nullopt).string(own.managedJsonObject()) != text + "\n") ++mismatches[t];
        if (own.makeData() != text) ++mismatches[t];
        if (shared.makeStringJsonWriter("") != "{\n\"a\" : {\n\"k\" : null\n},\n\"b\" : [\n1,\n2.5,\n\"x/y\"\n]\n}\n") {
          ++mismatches[t];
        }
        if (shared.makeData(JsonWritingOptions::sortedKeys) != R"({"a":{"k":null},"b":[1,2.5,"x\/y"]})") ++mismatches[t];
        if (shared.makeStringCompact() != R"({"b": [1,2.5,"x/y"],"a": {"k": null}})") ++mismatches[t];
      }
    });
  }
  for (std::thread& writer : writers) writer.join();
  for (std::size_t t = 0; t < mismatches.size(); ++t) EXPECT_EQ(mismatches[t], 0) << "thread " << t;
}

}  // namespace
}  // namespace vantrel
