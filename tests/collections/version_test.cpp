#include <cstdint>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/collections/version.h"
#include "vantrel/core/sort.h"

namespace vantrel {
namespace {

constexpr std::int64_t M = std::numeric_limits<std::int64_t>::max();
using Ids = std::vector<std::string>;

struct ParseCase {
  const char* text;
  bool parses;
  std::int64_t major = 0, minor = 0, patch = 0;
  Ids prerelease = {};
  std::optional<std::string> metadata = std::nullopt;
};

TEST(VersionParse, Table) {
  const ParseCase cases[] = {
      {"1.2.3", true, 1, 2, 3},
      {"1.2", false},
      {"1.2.3.4", false},
      {"1.2.x", false},
      {"1..2", false},
      {"", false},
      {"1.2.3 ", false},
      {" 1.2.3", false},
      {"01.002.3", true, 1, 2, 3},
      {"1.2.3-", true, 1, 2, 3},
      {"1.2.3+", true, 1, 2, 3},
      {"1.2.3-alpha..1", true, 1, 2, 3, {"alpha", "1"}},
      {"1.2.3-rc.1+b.7+x", true, 1, 2, 3, {"rc", "1"}, "b.7+x"},
      {"1.2.3-rc-2.x-y", true, 1, 2, 3, {"rc-2", "x-y"}},
      {"1.2.3+b-x", false},
      {"1.2.3-+b-x", true, 1, 2, 3, {}, "b-x"},
      // A "+" ahead of the first "-": no version, never a backwards cut.
      {"+1.2.3-rc", false},
      {"1.+2.3-rc", false},
      {"+1.2.3", false},
      {"++1.2.3", false},
      {"1.2.-3", false},
      {"1.2.٣", false},
      // 64-bit bounds.
      {"9223372036854775807.0.0", true, M, 0, 0},
      {"9223372036854775808.0.0", false},
      {"0.0.99999999999999999999", false},
  };
  for (const ParseCase& c : cases) {
    SCOPED_TRACE(c.text);
    const auto v = Version::fromString(c.text);
    ASSERT_EQ(v.has_value(), c.parses);
    if (!v) continue;
    EXPECT_EQ(v->major(), c.major);
    EXPECT_EQ(v->minor(), c.minor);
    EXPECT_EQ(v->patch(), c.patch);
    EXPECT_EQ(v->prereleaseIdentifiers(), c.prerelease);
    EXPECT_EQ(v->buildMetadataIdentifier(), c.metadata);
  }
}

TEST(VersionDescription, WritesTheTextFormAndReadsBack) {
  const std::pair<const char*, const char*> cases[] = {
      {"01.002.3", "1.2.3"},
      {"1.2.3-", "1.2.3"},
      {"1.2.3+", "1.2.3"},
      {"1.2.3-alpha..1", "1.2.3-alpha.1"},
      {"1.2.3-rc.1+b.7+x", "1.2.3-rc.1+b.7+x"},
  };
  for (const auto& [text, description] : cases) {
    const auto v = Version::fromString(text);
    ASSERT_TRUE(v) << text;
    EXPECT_EQ(v->description(), description);
    EXPECT_EQ(Version::fromString(v->description()), v);
  }
  EXPECT_EQ(Version(1, 2, 3, {}, "").description(), "1.2.3+");
  EXPECT_EQ(Version(-1, 2, -3).description(), "0.2.0");
}

TEST(VersionOrder, TheChainOfPrecedence) {
  const char* chain[] = {"1.0.0-alpha", "1.0.0-alpha.1", "1.0.0-alpha.beta", "1.0.0-beta",
                         "1.0.0-beta.2", "1.0.0-beta.11", "1.0.0-rc.1", "1.0.0",
                         "1.0.1", "1.1.0", "2.0.0"};
  for (std::size_t i = 0; i + 1 < std::size(chain); ++i) {
    const Version a = *Version::fromString(chain[i]);
    const Version b = *Version::fromString(chain[i + 1]);
    EXPECT_TRUE(a < b) << chain[i] << " < " << chain[i + 1];
    EXPECT_FALSE(b < a);
    EXPECT_TRUE(a <= b && b > a && b >= a);
  }
}

TEST(VersionOrder, MetadataAndNumericTwinsTie) {
  const Version a = *Version::fromString("1.0.0+a");
  const Version b = *Version::fromString("1.0.0+b");
  EXPECT_NE(a, b);
  EXPECT_FALSE(a < b);
  EXPECT_FALSE(b < a);
  const Version zeroOne = *Version::fromString("1.0.0-01");
  const Version one = *Version::fromString("1.0.0-1");
  EXPECT_NE(zeroOne, one);
  EXPECT_FALSE(zeroOne < one);
  EXPECT_FALSE(one < zeroOne);
}

// 01 and 1 read as one number: the pair does not decide and the walk goes
// on. Deciding there made 1.0.0-01.b, 1.0.0-1.a and 1.0.0-01.a a cycle.
TEST(VersionOrder, NumericTwinsLetTheWalkGoOn) {
  const Version zb = *Version::fromString("1.0.0-01.b");
  const Version oa = *Version::fromString("1.0.0-1.a");
  const Version za = *Version::fromString("1.0.0-01.a");
  EXPECT_TRUE(oa < zb);
  EXPECT_TRUE(za < zb);
  EXPECT_FALSE(oa < za);
  EXPECT_FALSE(za < oa);
  std::vector<Version> sorted{zb, oa, za, zb, oa};
  stableSort(sorted, std::less<>());
  EXPECT_EQ(sorted.back(), zb);
  EXPECT_EQ(sorted[3], zb);
}

// Seeded random triples over identifiers that collide as numbers, as
// signed numbers and as text: irreflexive, asymmetric, transitive, and
// incomparability is transitive.
TEST(VersionOrder, IsAStrictWeakOrderOnRandomTriples) {
  const std::vector<std::string> pool{"01", "1", "+1", "-1", "a", "b"};
  std::mt19937_64 random(20261210);
  auto makeVersion = [&] {
    Ids ids;
    const int length = static_cast<int>(random() % 4);
    for (int i = 0; i < length; ++i) ids.push_back(pool[random() % pool.size()]);
    return Version(1, 0, static_cast<std::int64_t>(random() % 2), ids);
  };
  auto incomparable = [](const Version& x, const Version& y) { return !(x < y) && !(y < x); };
  for (int round = 0; round < 20000; ++round) {
    const Version a = makeVersion(), b = makeVersion(), c = makeVersion();
    ASSERT_FALSE(a < a) << a;
    if (a < b) {
      ASSERT_FALSE(b < a) << a << " " << b;
    }
    if (a < b && b < c) {
      ASSERT_TRUE(a < c) << a << " " << b << " " << c;
    }
    if (incomparable(a, b) && incomparable(b, c)) {
      ASSERT_TRUE(incomparable(a, c)) << a << " " << b << " " << c;
    }
  }
}

TEST(VersionEquality, HashAgreesWithEquality) {
  // Canonically equal identifiers are equal and hash alike.
  const Version composed(1, 0, 0, {"\u00e9"}, "b");
  const Version decomposed(1, 0, 0, {"e\u0301"}, "b");
  EXPECT_EQ(composed, decomposed);
  EXPECT_EQ(composed.hashValue(), decomposed.hashValue());
  EXPECT_FALSE(composed < decomposed || decomposed < composed);
  std::unordered_set<Version> set{composed, decomposed, Version(1, 0, 0, {"e"}, "b")};
  EXPECT_EQ(set.size(), 2u);
  EXPECT_NE(Version(1, 0, 0, {}, std::nullopt), Version(1, 0, 0, {}, ""));
}

TEST(VersionSteps, SuccessorAndPredecessor) {
  const auto v = [](const char* text) { return *Version::fromString(text); };
  EXPECT_EQ(v("1.2.3-rc+b").successor(), Version(1, 2, 4));
  EXPECT_EQ(v("1.2.3-rc").predecessor(), Version(1, 2, 2));
  EXPECT_EQ(v("1.2.0").predecessor(), Version(1, 1, M));
  EXPECT_EQ(v("1.0.0").predecessor(), Version(0, M, M));
  EXPECT_EQ(Version(1, 0, M).successor(), Version(1, 0, M));
}

// 0.0.0 has nothing below it: answering 0.M.M (which is above it) broke
// the promise that the predecessor comes first.
TEST(VersionSteps, PredecessorOfZeroIsZero) {
  const Version zero(0, 0, 0);
  EXPECT_EQ(zero.predecessor(), zero);
  EXPECT_FALSE(zero < zero.predecessor());
  EXPECT_EQ(Version(0, 0, 0, {"rc"}, "b").predecessor(), zero);
}

}  // namespace
}  // namespace vantrel
