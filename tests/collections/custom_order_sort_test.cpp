#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/collections/custom_order_sort.h"

namespace vantrel {
namespace {

using Texts = std::vector<std::string>;

const Texts kTexts = {"b", "x", "a", "c"};

TEST(CustomOrderSort, ListFormPutsListedFirstAndKeepsTheRestInInputOrder) {
  const Texts list = {"c", "a"};
  const Texts sorted = sortWithCustomOrder(kTexts, list);
  ASSERT_EQ(sorted.size(), 4u);
  EXPECT_EQ(sorted[0], "c");
  EXPECT_EQ(sorted[1], "a");
  // Unlisted texts are not ordered among themselves; the sort is stable.
  EXPECT_EQ((Texts{sorted[2], sorted[3]}), (Texts{"b", "x"}));
  EXPECT_EQ(sortWithCustomOrder(kTexts, {"c", "a"}), sorted);
}

TEST(CustomOrderSort, AlphabeticalPlacesUnlistedTextsInTextOrder) {
  const auto order = sortWithCustomOrder_prepareCustomOrderDictionary({"c", "a"});
  EXPECT_EQ(sortWithCustomOrderAndAlphabetical(kTexts, order), (Texts{"c", "a", "b", "x"}));
  EXPECT_EQ(sortWithCustomOrderAndAlphabetical(kTexts, CustomOrderDictionary{}),
            (Texts{"a", "b", "c", "x"}));
  // Listed beats unlisted whatever the rank.
  EXPECT_EQ(sortWithCustomOrderAndAlphabetical(Texts{"a", "z"}, CustomOrderDictionary{{"z", 20000}}),
            (Texts{"z", "a"}));
}

// The unlisted texts follow the library's one text order: scalar order of
// the NFC forms, so "Z" < "a" < "é" whichever way "é" is spelled.
TEST(CustomOrderSort, AlphabeticalUsesTheLibraryTextOrder) {
  const Texts texts = {"e\u0301", "a", "Z", "\u00e9t\u00e9", "b"};
  EXPECT_EQ(sortWithCustomOrderAndAlphabetical(texts, CustomOrderDictionary{}),
            (Texts{"Z", "a", "b", "e\u0301", "\u00e9t\u00e9"}));
  // Keys match under canonical equivalence too.
  EXPECT_EQ(sortWithCustomOrderAndAlphabetical(Texts{"a", "\u00e9"},
                                               CustomOrderDictionary{{"e\u0301", 0}}),
            (Texts{"\u00e9", "a"}));
}

TEST(CustomOrderSort, EmptyOrderSeparatesNothing) {
  EXPECT_EQ(sortWithCustomOrder(kTexts, Texts{}), kTexts);
  EXPECT_EQ(sortWithCustomOrder(kTexts, CustomOrderDictionary{}), kTexts);
  EXPECT_TRUE(sortWithCustomOrder(Texts{}, Texts{"a"}).empty());
}

TEST(CustomOrderSort, RankAtOrAbove9999SortsWithUnlistedTexts) {
  EXPECT_EQ(sortWithCustomOrder(Texts{"z", "m", "k"}, CustomOrderDictionary{{"z", 10000}}),
            (Texts{"m", "k", "z"}));
  EXPECT_EQ(sortWithCustomOrder(Texts{"z", "m", "k"}, CustomOrderDictionary{{"k", 9998}}),
            (Texts{"k", "z", "m"}));
}

TEST(CustomOrderSort, PrepareRanksFromZeroAndRepeatedTextsAreKept) {
  const auto order = sortWithCustomOrder_prepareCustomOrderDictionary({"c", "a"});
  EXPECT_EQ(order.size(), 2u);
  EXPECT_EQ(order.at("c"), 0);
  EXPECT_EQ(order.at("a"), 1);
  EXPECT_TRUE(sortWithCustomOrder_prepareCustomOrderDictionary({}).empty());
  EXPECT_EQ(sortWithCustomOrder(Texts{"b", "a", "b", "a"}, Texts{"a", "b"}),
            (Texts{"a", "a", "b", "b"}));
}

TEST(CustomOrderSort, AcceptsAnyCollectionOfTexts) {
  const std::set<std::string> texts = {"x", "c", "b"};
  EXPECT_EQ(sortWithCustomOrderAndAlphabetical(texts, CustomOrderDictionary{{"x", 0}}),
            (Texts{"x", "b", "c"}));
}

TEST(CustomOrderSortDeathTest, TextListedTwiceStops) {
  EXPECT_DEATH((void)sortWithCustomOrder_prepareCustomOrderDictionary({"c", "a", "c"}),
               "Duplicate values for key: 'c'");
  EXPECT_DEATH((void)sortWithCustomOrder(kTexts, Texts{"a", "a"}), "Duplicate values for key: 'a'");
}

}  // namespace
}  // namespace vantrel
