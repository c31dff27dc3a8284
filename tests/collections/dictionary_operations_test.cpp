#include <algorithm>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "single_pass_range.h"
#include "vantrel/collections/dictionary_operations.h"
#include "vantrel/core/console.h"

namespace vantrel {
namespace {

using Lines = std::vector<std::string>;
using Pairs = std::vector<std::pair<std::string, int>>;
using Dictionary = ElementDictionary<std::string, int>;

TEST(DictionaryOperations, TheLastPairOfAKeyWins) {
  Dictionary d = dictionaryWithPairs(Pairs{{"a", 1}, {"b", 2}, {"a", 3}});
  EXPECT_EQ(d, (Dictionary{{"a", 3}, {"b", 2}}));
  merge(d, Pairs{{"b", 5}});
  EXPECT_EQ(d, (Dictionary{{"a", 3}, {"b", 5}}));
  merge(d, Pairs{{"c", 1}, {"c", 2}});
  EXPECT_EQ(d.at("c"), 2);
}

TEST(DictionaryOperations, PairsMayComeOnceAndAsTuples) {
  const auto d = dictionaryWithPairs(testing::SinglePass<std::tuple<int, std::string>>({{1, "x"}, {1, "y"}}));
  EXPECT_EQ(d, (ElementDictionary<int, std::string>{{1, "y"}}));
}

TEST(DictionaryOperations, TextKeysAreCanonicalAndTheLaterValueWins) {
  const Dictionary d = dictionaryWithPairs(Pairs{{"\u00e9", 1}, {"e\u0301", 2}});
  ASSERT_EQ(d.size(), 1u);
  EXPECT_EQ(d.begin()->second, 2);
}

TEST(DictionaryOperations, MergeIntoAPlainStandardMap) {
  std::unordered_map<std::string, int> plain{{"a", 1}};
  merge(plain, Pairs{{"a", 2}});
  EXPECT_EQ(plain.at("a"), 2);  // std::unordered_map::insert would have kept 1
}

TEST(DictionaryOperations, MapValuesKeepsKeys) {
  const Dictionary d{{"a", 1}, {"b", 2}};
  const auto texts = mapValues(d, [](int v) { return std::to_string(v * 10); });
  EXPECT_EQ(texts, (ElementDictionary<std::string, std::string>{{"a", "10"}, {"b", "20"}}));
}

TEST(DictionaryOperations, MapPairsOntoOneKeyKeepsTheLaterEntry) {
  const Dictionary d{{"a", 1}, {"b", 2}, {"c", 3}};
  const auto merged = mapPairs(d, [](const std::pair<const std::string, int>& entry) {
    return std::pair(entry.first == "c" ? std::string("c") : std::string("ab"), entry.second);
  });
  ASSERT_EQ(merged.size(), 2u);
  EXPECT_EQ(merged.at("c"), 3);
  int lastOfAb = 0;
  for (const auto& entry : d) {
    if (entry.first != "c") lastOfAb = entry.second;
  }
  EXPECT_EQ(merged.at("ab"), lastOfAb);  // the iteration order decides
}

struct TransformFailure : std::runtime_error {
  explicit TransformFailure(int v) : std::runtime_error("failed"), value(v) {}
  int value;
};

TEST(DictionaryOperations, ThrowingClosuresPassTheirErrorOn) {
  const Dictionary d{{"a", 1}, {"b", 2}};
  try {
    (void)mapPairs(d, [](const std::pair<const std::string, int>& entry) {
      if (entry.first == "b") throw TransformFailure(42);
      return entry;
    });
    ADD_FAILURE() << "mapPairs returned";
  } catch (const TransformFailure& e) {
    EXPECT_EQ(e.value, 42);
  }
  EXPECT_THROW((void)filterPairs(d, [](const auto&) -> bool { throw TransformFailure(1); }), TransformFailure);
}

TEST(DictionaryOperations, FilterSwapAndKeysForValue) {
  const Dictionary d{{"a", 1}, {"b", 2}, {"c", 1}};
  EXPECT_EQ(filterPairs(d, [](const auto& entry) { return entry.second == 1; }), (Dictionary{{"a", 1}, {"c", 1}}));

  auto keys = keysForValue(d, 1);
  std::sort(keys.begin(), keys.end());
  EXPECT_EQ(keys, (std::vector<std::string>{"a", "c"}));
  EXPECT_TRUE(keysForValue(d, 9).empty());

  const auto swapped = vtSwapValuesAndKeys(d);
  ASSERT_EQ(swapped.size(), 2u);
  EXPECT_EQ(swapped.at(2), "b");
  std::string lastWithOne;
  for (const auto& entry : d) {
    if (entry.second == 1) lastWithOne = entry.first;
  }
  EXPECT_EQ(swapped.at(1), lastWithOne);
}

TEST(DictionaryOperations, RendersSortedByKey) {
  const Dictionary map{{"b", 2}, {"a", 1}};
  const Dictionary empty;
  EXPECT_EQ(vtRenderTitle(map, "Map"), (Lines{"Map (count=2):", "0: a -> 1", "1: b -> 2"}));
  EXPECT_EQ(vtRenderTitle(map), (Lines{"0: a -> 1", "1: b -> 2"}));
  EXPECT_EQ(vtRenderTitle(empty), Lines{});
  EXPECT_EQ(vtRenderTitle(empty, "Map"), Lines{"Map (count=0):"});
  EXPECT_EQ(vtRenderTitle(std::map<int, std::string>{{10, "x"}, {9, "y"}}), (Lines{"0: 9 -> y", "1: 10 -> x"}));
}

TEST(DictionaryOperations, TextKeysSortByTheLibrarysTextOrder) {
  // Scalar order of the composed forms: B, Z, a, b, f, é (a decomposed é
  // sorts as U+00E9, after f, not as the byte 'e').
  const Dictionary d{{"b", 1}, {"B", 2}, {"e\u0301", 3}, {"a", 4}, {"f", 5}, {"Z", 6}};
  EXPECT_EQ(vtRenderTitle(d),
            (Lines{"0: B -> 2", "1: Z -> 6", "2: a -> 4", "3: b -> 1", "4: f -> 5", "5: e\u0301 -> 3"}));
}

TEST(DictionaryOperations, PrintsByteForByte) {
  const Dictionary map{{"b", 2}, {"a", 1}};
  const Dictionary empty;
  struct Case {
    const char* name;
    std::function<void()> print;
    std::string expected;
  } cases[] = {
      {"titled", [&] { vtPrindTitle(map, "Map"); }, "Map (count=2):\n0: a -> 1\n1: b -> 2\n"},
      {"untitled", [&] { vtPrindTitle(map); }, "0: a -> 1\n1: b -> 2\n"},
      {"empty", [&] { vtPrindTitle(empty); }, "\n"},
      {"empty, titled", [&] { vtPrindTitle(empty, "Map"); }, "Map (count=0):\n"},
  };
  for (const Case& c : cases) {
    ConsoleCapture capture;
    c.print();
    EXPECT_EQ(capture.standardOutput(), c.expected) << c.name;
  }
}

}  // namespace
}  // namespace vantrel
