#include "vantrel/text/unicode_names.h"

#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <random>

#include <gtest/gtest.h>

#include "vantrel/text/string_services.h"

namespace vantrel {
namespace {

using Names = std::vector<std::string>;

TEST(UnicodeNames, NamesOfScalars) {
  struct Case {
    char32_t scalar;
    std::string_view name;
  };
  const Case cases[] = {
      {U'A', "LATIN CAPITAL LETTER A"},
      {U'a', "LATIN SMALL LETTER A"},
      {U' ', "SPACE"},
      {0x00E9, "LATIN SMALL LETTER E WITH ACUTE"},
      {0x0301, "COMBINING ACUTE ACCENT"},
      // Controls have no name of their own.
      {0x0000, "<control-0000>"},
      {0x0007, "<control-0007>"},
      {0x000A, "<control-000A>"},
      {0x007F, "<control-007F>"},
      {0x0085, "<control-0085>"},
      // Algorithmic names.
      {0x4E00, "CJK UNIFIED IDEOGRAPH-4E00"},
      {0x20000, "CJK UNIFIED IDEOGRAPH-20000"},
      {0xAC00, "HANGUL SYLLABLE GA"},
      {0xD7A3, "HANGUL SYLLABLE HIH"},
      // Private use, unassigned, noncharacters.
      {0xE000, "<private use area-E000>"},
      {0xF0000, "<private use area-F0000>"},
      {0x10FFFD, "<private use area-10FFFD>"},
      {0x0378, "<unassigned-0378>"},
      {0xFFFF, "<noncharacter-FFFF>"},
      {0x10FFFF, "<noncharacter-10FFFF>"},
      // Emoji and their joining and modifying scalars.
      {0x1F600, "GRINNING FACE"},
      {0x1F44D, "THUMBS UP SIGN"},
      {0x2764, "HEAVY BLACK HEART"},
      {0x200D, "ZERO WIDTH JOINER"},
      {0xFE0F, "VARIATION SELECTOR-16"},
      {0x1F3FD, "EMOJI MODIFIER FITZPATRICK TYPE-4"},
      {0x1F1E9, "REGIONAL INDICATOR SYMBOL LETTER D"},
      {0xFFFD, "REPLACEMENT CHARACTER"},
      // Not scalars: named as U+FFFD.
      {0xD800, "REPLACEMENT CHARACTER"},
      {0x110000, "REPLACEMENT CHARACTER"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << std::hex << static_cast<std::uint32_t>(c.scalar));
    EXPECT_EQ(unicodeName(c.scalar), c.name);
  }
}

TEST(UnicodeNames, NamesOfTexts) {
  EXPECT_EQ(unicodeName("ab"), "LATIN SMALL LETTER A,LATIN SMALL LETTER B");
  EXPECT_EQ(unicodeName(""), "");
  EXPECT_EQ(unicodeName("\xFF"), "REPLACEMENT CHARACTER");
  EXPECT_EQ(unicodeName(std::string_view("\a", 1)), "<control-0007>");

  EXPECT_EQ(unicodeNames("aa"), (Names{"LATIN SMALL LETTER A", "LATIN SMALL LETTER A"}));
  EXPECT_EQ(unicodeNames(""), Names{});
  EXPECT_EQ(unicodeNames("e\u0301"), (Names{"LATIN SMALL LETTER E", "COMBINING ACUTE ACCENT"}));
}

TEST(UnicodeNames, Filters) {
  const std::string text = "a\u200Db\u200C";
  const Names all = {"LATIN SMALL LETTER A", "ZERO WIDTH JOINER", "LATIN SMALL LETTER B",
                     "ZERO WIDTH NON-JOINER"};
  EXPECT_EQ(unicodeNames(text), all);
  // Whole names against beginnings.
  EXPECT_EQ(unicodeNames(text, {"ZERO WIDTH"}), all);
  EXPECT_EQ(unicodeNames(text, {"ZERO WIDTH JOINER"}),
            (Names{"LATIN SMALL LETTER A", "LATIN SMALL LETTER B", "ZERO WIDTH NON-JOINER"}));
  EXPECT_EQ(unicodeNames(text, {}, {"ZERO WIDTH"}), (Names{"LATIN SMALL LETTER A", "LATIN SMALL LETTER B"}));
  EXPECT_EQ(unicodeNames(text, {"LATIN SMALL LETTER A"}, {"ZERO WIDTH"}), (Names{"LATIN SMALL LETTER B"}));
  // Case-sensitive.
  EXPECT_EQ(unicodeNames(text, {"zero width joiner"}, {"latin"}), all);
  // The empty beginning begins every name.
  EXPECT_EQ(unicodeNames(text, {}, {""}), Names{});
}

TEST(UnicodeNames, EmojiFilter) {
  EXPECT_EQ(unicodeNamesEmojiFiltered("\U0001F1E9\U0001F1EA"), Names{});
  EXPECT_EQ(unicodeNames("\U0001F1E9\U0001F1EA"),
            (Names{"REGIONAL INDICATOR SYMBOL LETTER D", "REGIONAL INDICATOR SYMBOL LETTER E"}));
  EXPECT_EQ(unicodeNamesEmojiFiltered("\U0001F44D\U0001F3FD"), Names{"THUMBS UP SIGN"});
  EXPECT_EQ(unicodeNamesEmojiFiltered("\u2764\uFE0F"), Names{"HEAVY BLACK HEART"});
  EXPECT_EQ(unicodeNamesEmojiFiltered("\U0001F468\u200D\U0001F469\u200D\U0001F467"),
            (Names{"MAN", "WOMAN", "GIRL"}));
  for (const std::string_view plain : {"abc", "\u00E9\U0001F600", ""}) {
    EXPECT_EQ(unicodeNamesEmojiFiltered(plain), unicodeNames(plain));
  }
  // Every skin tone and every regional indicator goes.
  for (char32_t s = 0x1F3FB; s <= 0x1F3FF; ++s) {
    EXPECT_EQ(unicodeNamesEmojiFiltered(stringFromScalar(s)), Names{}) << std::hex << static_cast<std::uint32_t>(s);
  }
  for (char32_t s = 0x1F1E6; s <= 0x1F1FF; ++s) {
    EXPECT_EQ(unicodeNamesEmojiFiltered(stringFromScalar(s)), Names{}) << std::hex << static_cast<std::uint32_t>(s);
  }
}

TEST(UnicodeNames, RegionalIndicatorLetter) {
  for (char32_t s = 0x1F1E6; s <= 0x1F1FF; ++s) {
    EXPECT_EQ(regionalIndicatorLetter(s), static_cast<char>('A' + (s - 0x1F1E6))) << std::hex << static_cast<std::uint32_t>(s);
  }
  for (const char32_t s : {char32_t{0x1F1E5}, char32_t{0x1F200}, char32_t{U'A'}, char32_t{0}, char32_t{0x10FFFF}}) {
    EXPECT_EQ(regionalIndicatorLetter(s), std::nullopt) << std::hex << static_cast<std::uint32_t>(s);
  }
}

TEST(UnicodeNames, FromNumericString) {
  struct Case {
    std::string_view text;
    std::int32_t base;
    std::optional<char32_t> scalar;
  };
  const Case cases[] = {
      {"41", 16, U'A'},
      {"65", 10, U'A'},
      {"0x41", 16, U'A'},
      {"0X41", 16, U'A'},
      {"10FFFF", 16, 0x10FFFF},
      {"D800", 16, std::nullopt},
      {"DFFF", 16, std::nullopt},
      {"D7FF", 16, 0xD7FF},
      {"110000", 16, std::nullopt},
      {"-1", 10, std::nullopt},
      {"-0", 10, 0},
      {"65abc", 10, U'A'},
      {"  \t\n+65", 10, U'A'},
      {"0", 10, 0},
      // Nothing read is nothing, never U+0000.
      {"", 10, std::nullopt},
      {"zz", 10, std::nullopt},
      {"   ", 10, std::nullopt},
      {"+", 10, std::nullopt},
      {"- 1", 10, std::nullopt},
      {"\u00A065", 10, std::nullopt},  // no-break space is not C-locale space
      {"65", 1, std::nullopt},
      {"65", -1, std::nullopt},
      {"65", 37, std::nullopt},
      // "0x" without a hexadecimal digit reads the "0".
      {"0x", 16, 0},
      {"0xg", 16, 0},
      {"0x41", 10, 0},
      // Base 0 lets the text choose.
      {"0x41", 0, U'A'},
      {"0101", 0, 0x41},
      {"65", 0, U'A'},
      {"08", 0, 0},
      {"zz", 36, 1295},
      {"ZZ", 36, 1295},
      {"1000001", 2, U'A'},
      // Negation modulo 2^64 and saturation at 2^64 - 1, as strtoul does.
      {"-18446744073709551615", 10, 1},
      {"-18446744073709551616", 10, std::nullopt},
      {"99999999999999999999", 10, std::nullopt},
      {"000000000000000000000000000065", 10, U'A'},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << '"' << c.text << "\" base " << c.base);
    EXPECT_EQ(UnicodeScalar::fromNumericString(c.text, c.base), c.scalar);
  }
}

// The reader against the C library's own strtoul_l in the "C" locale, on
// texts made of the pieces that matter to it.
TEST(UnicodeNames, FromNumericStringAgreesWithStrtoulInTheCLocale) {
  const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  ASSERT_NE(c, static_cast<locale_t>(nullptr));
  static const std::string_view pieces[] = {" ", "\t", "\v", "+", "-", "0", "x", "X", "1", "7", "8", "9", "a",
                                            "f", "g", "z", "Z", "10FFFF", "D800", "ffffffffffffffff",
                                            "18446744073709551615", "\u00A0"};
  std::mt19937 rng(1137);
  for (int round = 0; round < 20000; ++round) {
    std::string text;
    for (int i = static_cast<int>(rng() % 6); i > 0; --i) text.append(pieces[rng() % std::size(pieces)]);
    const int base = static_cast<int>(rng() % 40) - 2;
    errno = 0;
    char* end = nullptr;
    const unsigned long value = strtoul_l(text.c_str(), &end, base, c);
    const bool readDigit = end != nullptr && end != text.c_str() && errno != EINVAL;
    std::optional<char32_t> expected;
    if (readDigit && (value < 0xD800 || (value > 0xDFFF && value <= 0x10FFFF))) {
      expected = static_cast<char32_t>(value);
    }
    ASSERT_EQ(UnicodeScalar::fromNumericString(text, base), expected) << '"' << text << "\" base " << base;
  }
  freelocale(c);
}

}  // namespace
}  // namespace vantrel
