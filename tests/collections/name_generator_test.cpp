#include <cstdint>
#include <limits>
#include <ranges>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/collections/name_generator.h"

namespace vantrel {
namespace {

using Names = std::vector<std::string>;

static_assert(std::ranges::input_range<const NameGenerator>);

// Every name, up to `limit` requests; a generator that is still going after
// that many fails the test instead of hanging it.
Names allNames(const NameGenerator& generator, std::size_t limit = 10000) {
  Names names;
  NameGeneratorIterator it = generator.makeIterator();
  for (std::size_t i = 0; i < limit; ++i) {
    std::optional<std::string> name = it.next();
    if (!name) {
      for (int again = 0; again < 3; ++again) EXPECT_EQ(it.next(), std::nullopt) << "after the end";
      return names;
    }
    names.push_back(*name);
  }
  ADD_FAILURE() << "no end after " << limit << " names";
  return names;
}

struct SequenceCase {
  const char* name;
  NameGenerator generator;
  Names expected;
};

TEST(NameGenerator, Sequences) {
  const SequenceCase cases[] = {
      {"two letters with a prefix", NameGenerator(1, 2, "ab", "x"), {"xa", "xb", "xaa", "xab", "xba", "xbb"}},
      {"one letter from length 2", NameGenerator(2, 4, "q"), {"qq", "qqq", "qqqq"}},
      {"minimum equals maximum", NameGenerator(2, 2, "ab"), {"aa", "ab", "ba", "bb"}},
      {"letters keep their order", NameGenerator(1, 2, "ba"), {"b", "a", "bb", "ba", "ab", "aa"}},
      {"repeated letters repeat names", NameGenerator(1, 1, "aa"), {"a", "a"}},
      {"letters are characters", NameGenerator(1, 1, "e\u0301\U0001F1E9\U0001F1EAx"),
       {"e\u0301", "\U0001F1E9\U0001F1EA", "x"}},
      {"characters in longer names", NameGenerator(2, 2, "e\u0301\U0001F1E9\U0001F1EA", "-"),
       {"-e\u0301e\u0301", "-e\u0301\U0001F1E9\U0001F1EA", "-\U0001F1E9\U0001F1EAe\u0301",
        "-\U0001F1E9\U0001F1EA\U0001F1E9\U0001F1EA"}},
      // Outside the expected limits: bounded, never a stop.
      {"minimum 0 gives the bare prefix once", NameGenerator(0, 1, "ab", "p"), {"p", "pa", "pb"}},
      {"negative minimum starts at the bare prefix", NameGenerator(-5, 1, "ab", "p"), {"p", "pa", "pb"}},
      {"minimum above maximum gives nothing", NameGenerator(3, 2, "ab"), {}},
      {"no letters gives nothing from length 1", NameGenerator(1, 3, ""), {}},
      {"no letters gives at most the bare prefix", NameGenerator(0, 3, "", "p"), {"p"}},
      {"maximum 0", NameGenerator(1, 0, "ab"), {}},
      {"maximum and minimum 0", NameGenerator(0, 0, "ab", "p"), {"p"}},
      {"negative maximum", NameGenerator(-3, -1, "ab"), {}},
  };
  for (const SequenceCase& c : cases) {
    EXPECT_EQ(allNames(c.generator), c.expected) << c.name;
  }
}

TEST(NameGenerator, Defaults) {
  const NameGenerator generator;
  EXPECT_EQ(generator.minLength(), 1);
  EXPECT_EQ(generator.maxLength(), 10);
  EXPECT_EQ(generator.lettersCount(), 52);
  EXPECT_EQ(generator.prefix(), "");

  Names first;
  for (const std::string& name : generator) {
    first.push_back(name);
    if (first.size() == 105) break;
  }
  EXPECT_EQ(first[0], "a");
  EXPECT_EQ(first[25], "z");
  EXPECT_EQ(first[26], "A");
  EXPECT_EQ(first[51], "Z");
  EXPECT_EQ(first[52], "aa");
  EXPECT_EQ(first[53], "ab");
  EXPECT_EQ(first[103], "aZ");
  EXPECT_EQ(first[104], "ba");
}

TEST(NameGenerator, LastNameIsTheLastLetterRepeated) {
  const Names names = allNames(NameGenerator(1, 4, "xyZ"));
  EXPECT_EQ(names.back(), "ZZZZ");
}

TEST(NameGenerator, CountIsTheSumOfPowers) {
  struct Case {
    std::int64_t min, max;
    const char* letters;
    std::size_t count;
  } cases[] = {
      {1, 3, "abc", 3 + 9 + 27},
      {2, 4, "ab", 4 + 8 + 16},
      {1, 1, "abcdefghij", 10},
      {3, 3, "abcd", 64},
      {0, 2, "abc", 1 + 3 + 9},
  };
  for (const Case& c : cases) {
    const Names names = allNames(NameGenerator(c.min, c.max, c.letters));
    EXPECT_EQ(names.size(), c.count) << c.letters;
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), c.count) << "all different";
  }
}

TEST(NameGenerator, IteratorsAreIndependent) {
  const NameGenerator generator(1, 2, "ab");
  NameGeneratorIterator one = generator.makeIterator();
  EXPECT_EQ(one.next(), "a");
  EXPECT_EQ(one.next(), "b");
  NameGeneratorIterator two = generator.makeIterator();
  EXPECT_EQ(two.next(), "a");
  EXPECT_EQ(one.next(), "aa");
}

TEST(NameGenerator, TheLargestMaximumIsSafe) {
  // Without letters the largest maximum is still reached at once; with one
  // letter the names simply keep growing (bounded here by the caller).
  EXPECT_EQ(allNames(NameGenerator(0, std::numeric_limits<std::int64_t>::max(), "", "p")), Names{"p"});
  NameGeneratorIterator it = NameGenerator(1, std::numeric_limits<std::int64_t>::max(), "q").makeIterator();
  for (int i = 0; i < 50; ++i) ASSERT_EQ(it.next(), std::string(static_cast<std::size_t>(i + 1), 'q'));
}

TEST(NameGenerator, LengthsThatCannotBeBuiltGiveNothing) {
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  constexpr std::int64_t kLongest = NameGenerator::maxBuildableLength;
  // A letter of 71 scalars: 141 bytes, so the byte bound comes first.
  std::string wideLetter = "e";
  for (int i = 0; i < 70; ++i) wideLetter += "\u0301";
  struct Case {
    std::int64_t minLength;
    std::int64_t maxLength;
    std::string letters;
  };
  const Case cases[] = {
      {kMax - 1, kMax, "ab"},
      {kMax, kMax, "a"},
      {3'000'000'000, 4'000'000'000, "ab"},
      {std::int64_t{1} << 40, kMax, "xyz"},
      {kLongest + 1, kLongest + 1, "a"},
      {NameGenerator::maxBuildableLetterBytes / 141 + 1, kMax, wideLetter},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.minLength << " to " << c.maxLength);
    NameGeneratorIterator it = NameGenerator(c.minLength, c.maxLength, c.letters, "p").makeIterator();
    EXPECT_EQ(it.next(), std::nullopt);
    EXPECT_EQ(it.next(), std::nullopt);
  }
}

TEST(NameGenerator, TheLongestBuildableLengthIsTheLast) {
  NameGeneratorIterator it =
      NameGenerator(NameGenerator::maxBuildableLength, std::numeric_limits<std::int64_t>::max(), "a", "p")
          .makeIterator();
  std::optional<std::string> name = it.next();
  ASSERT_TRUE(name.has_value());
  EXPECT_EQ(*name, "p" + std::string(static_cast<std::size_t>(NameGenerator::maxBuildableLength), 'a'));
  EXPECT_EQ(it.next(), std::nullopt);
}

}  // namespace
}  // namespace vantrel
