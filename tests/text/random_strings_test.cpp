#include "vantrel/text/random_strings.h"

#include <gtest/gtest.h>

#include "vantrel/core/random.h"
#include "vantrel/text/characters.h"

namespace vantrel {
namespace {

TEST(RandomStrings, DrawsFromThePoolInOrder) {
  ScriptedRandomSource script({0, 61, 26, 52});
  ScopedRandomSource use(script);
  EXPECT_EQ(vtRandomAlphanumericString(4), "a9A0");
  EXPECT_EQ(script.bounds(), (std::vector<std::uint32_t>{62, 62, 62, 62}));
}

TEST(RandomStrings, PoolCharactersAreGraphemes) {
  ScriptedRandomSource script({1, 0, 2, 1});
  ScopedRandomSource use(script);
  // Three characters: e + combining acute, a family, a flag.
  EXPECT_EQ(vtRandomAlphanumericString("e\u0301👨‍👩‍👧🇩🇪", 4), "👨‍👩‍👧e\u0301🇩🇪👨‍👩‍👧");
  EXPECT_EQ(script.bounds(), (std::vector<std::uint32_t>{3, 3, 3, 3}));
}

TEST(RandomStrings, EveryForm) {
  ScriptedRandomSource script({31, 0, 25, 26, 5, 0, 1});
  ScopedRandomSource use(script);
  EXPECT_EQ(randomBase32(4), "7AZ2");
  EXPECT_EQ(randomBase32WithLength(1), "F");
  EXPECT_EQ(vtRandomAlphanumericStringOfLetters(u"x\u00E9", 2), "x\u00E9");
  EXPECT_EQ(script.remaining(), 0u);
  EXPECT_EQ(script.bounds(), (std::vector<std::uint32_t>{32, 32, 32, 32, 32, 2, 2}));
}

TEST(RandomStrings, LengthZeroAndOneCharacterPools) {
  ScriptedRandomSource empty({});
  ScopedRandomSource use(empty);
  EXPECT_EQ(vtRandomAlphanumericString("", 0), "");
  EXPECT_EQ(vtRandomAlphanumericString(0), "");
  EXPECT_EQ(randomBase32(0), "");
}

TEST(RandomStrings, SystemSourceStaysInThePools) {
  const std::string token = vtRandomAlphanumericStringWithLength(200);
  EXPECT_EQ(token.size(), 200u);
  EXPECT_EQ(token.find_first_not_of(kAlphanumericPool), std::string::npos);
  const std::string b32 = randomBase32(200);
  EXPECT_EQ(b32.find_first_not_of(kBase32Pool), std::string::npos);
  EXPECT_EQ(b32.find_first_of("0189abcdefghijklmnopqrstuvwxyz"), std::string::npos);
  EXPECT_EQ(vtRandomAlphanumericString("a", 5), "aaaaa");
}

TEST(RandomStringsDeathTest, BadArgumentsStop) {
  EXPECT_DEATH((void)vtRandomAlphanumericString(-1), "Random string length -1 is negative");
  EXPECT_DEATH((void)vtRandomAlphanumericString("", 1), "Random string pool is empty");
}

TEST(FourCharCode, FromText) {
  struct Case {
    std::string_view text;
    std::uint32_t code;
  };
  const Case cases[] = {
      {"abcd", 0x61626364},
      {"ab", 0x61622020},
      {"", 0x20202020},
      {"abcdefgh", 0x61626364},
      {"\u00E9", 0xE9202020},
      {"\u20AC", 0xAC202020},
      {"vtrl", 0x7674726C},
      // Four characters, five scalars: only the last four low bytes remain.
      {"e\u0301bcd", 0x01626364},
      // Four scalars but three characters: padded like any short text.
      {"e\u0301ab", 0x01616220},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text));
    EXPECT_EQ(fourCharCode(c.text), c.code);
  }
}

TEST(FourCharCode, ToText) {
  EXPECT_EQ(string(0x61626364), "abcd");
  EXPECT_EQ(string(0x20202020), "    ");
  EXPECT_EQ(string(0), std::string(4, '\0'));
  EXPECT_EQ(string(0xE9FF0041), std::string("\u00E9\u00FF\0A", 6));
  for (const std::uint32_t code : {0x7674726Cu, 0x20217E7Eu}) EXPECT_EQ(fourCharCode(string(code)), code);
}

}  // namespace
}  // namespace vantrel
