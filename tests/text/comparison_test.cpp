#include "vantrel/text/comparison.h"

#include <set>
#include <unordered_set>

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(TextComparison, CanonicalEquivalence) {
  EXPECT_TRUE(textEqual("\u00e9", "e\u0301"));
  EXPECT_EQ(textHash("\u00e9"), textHash("e\u0301"));
  EXPECT_EQ(compareText("caf\u00e9", "cafe\u0301"), 0);
  EXPECT_FALSE(textEqual("e", "\u00e9"));
  EXPECT_EQ(nfc("e\u0301"), "\u00e9");
  EXPECT_EQ(nfc("abc"), "abc");
}

TEST(TextComparison, ScalarOrder) {
  struct Case {
    const char* a;
    const char* b;
    int want;
  };
  const Case cases[] = {
      {"", "", 0},      {"", "a", -1},     {"Z", "a", -1},           {"abc", "abd", -1},
      {"ab", "abc", -1}, {"é", "z", 1},     {"e\u0301", "f", 1},      {"🍇", "\uFFFF", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.a) + " vs " + c.b);
    EXPECT_EQ(compareText(c.a, c.b), c.want);
    EXPECT_EQ(compareText(c.b, c.a), -c.want);
    EXPECT_EQ(textLess(c.a, c.b), c.want < 0);
  }
}

TEST(TextComparison, ContainerAdaptors) {
  std::set<std::string, TextLess> ordered{"b", "\u00e9", "a"};
  EXPECT_EQ(*ordered.begin(), "a");
  EXPECT_EQ(ordered.count("e\u0301"), 1u);
  std::unordered_set<std::string, TextHash, TextEqual> set{"\u00e9"};
  EXPECT_EQ(set.count("e\u0301"), 1u);
}

}  // namespace
}  // namespace vantrel
