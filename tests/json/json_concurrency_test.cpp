#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "vantrel/json/json.h"

namespace vantrel {
namespace {

// A member taken from a parsed document keeps what it needs: the document
// may go first, and copies of the member are read on other threads.
TEST(JsonConcurrency, AValueOutlivesItsDocumentAndIsReadOnOtherThreads) {
  Json member;
  {
    std::string text = R"({"statuses": [)";
    for (int i = 0; i < 200; ++i) {
      if (i) text += ',';
      text += R"({"id": )" + std::to_string(i) + R"(, "user": {"name": "n)" + std::to_string(i) +
              R"(", "tags": ["a", "b"]}})";
    }
    text += "]}";
    const Json document = Json::fromData(text);
    member = document["statuses"];
  }
  std::vector<std::thread> readers;
  std::vector<std::int64_t> sums(4);
  for (std::size_t t = 0; t < sums.size(); ++t) {
    readers.emplace_back([copy = member, &sum = sums[t]] {
      for (int round = 0; round < 20; ++round) {
        for (std::int64_t i = 0; i < copy.count(); ++i) {
          sum += copy[i]["id"].intValue();
          if (copy[i]["user"]["name"].stringValue() != "n" + std::to_string(i)) sum = -1'000'000;
        }
      }
    });
  }
  // Meanwhile this thread changes its own copy, which the others never see.
  Json changed = member;
  for (std::int64_t i = 0; i < changed.count(); ++i) changed[i]["id"] = 0;
  for (std::thread& reader : readers) reader.join();
  for (const std::int64_t sum : sums) EXPECT_EQ(sum, 20 * (199 * 200 / 2));
  EXPECT_EQ(member[5]["id"].intValue(), 5);
  EXPECT_EQ(changed[5]["id"].intValue(), 0);
}

}  // namespace
}  // namespace vantrel
