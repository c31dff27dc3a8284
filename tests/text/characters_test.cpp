#include "vantrel/text/characters.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

struct Case {
  std::string_view text;
  std::vector<std::string_view> characters;
};

// Combining marks, ZWJ sequences, flags, CR LF, non-BMP and invalid bytes.
const Case kCases[] = {
    {"", {}},
    {"abc", {"a", "b", "c"}},
    {"a\r\nb\n\r", {"a", "\r\n", "b", "\n", "\r"}},
    {"e\u0301x", {"e\u0301", "x"}},
    {"\u00E9", {"\u00E9"}},
    {"👨‍👩‍👧!", {"👨‍👩‍👧", "!"}},
    {"🇩🇪🇫🇷", {"🇩🇪", "🇫🇷"}},
    {"😀𝄞", {"😀", "𝄞"}},
    {"👍🏽a", {"👍🏽", "a"}},
    {"a\xFF", {"a", "\xFF"}},
};

TEST(Characters, BoundariesAgreeWithCount) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.text));
    EXPECT_EQ(characters(c.text), c.characters);
    const std::vector<std::size_t> bounds = characterBoundaries(c.text);
    ASSERT_EQ(bounds.size(), c.characters.size() + 1);
    EXPECT_EQ(characterCount(c.text), static_cast<std::int64_t>(c.characters.size()));
    std::size_t offset = 0;
    for (std::size_t i = 0; i <= c.characters.size(); ++i) {
      EXPECT_EQ(bounds[i], offset);
      EXPECT_EQ(byteOffsetOfCharacter(c.text, static_cast<std::int64_t>(i)), offset);
      EXPECT_EQ(byteOffsetOfCharacterFromEnd(c.text, static_cast<std::int64_t>(c.characters.size() - i)), offset);
      EXPECT_TRUE(isCharacterBoundary(c.text, offset));
      if (i < c.characters.size()) {
        for (std::size_t inner = 1; inner < c.characters[i].size(); ++inner) {
          EXPECT_FALSE(isCharacterBoundary(c.text, offset + inner)) << offset + inner;
        }
        offset += c.characters[i].size();
      }
    }
    const auto past = static_cast<std::int64_t>(c.characters.size()) + 1;
    EXPECT_EQ(byteOffsetOfCharacter(c.text, past), std::nullopt);
    EXPECT_EQ(byteOffsetOfCharacterFromEnd(c.text, past), std::nullopt);
    EXPECT_EQ(byteOffsetOfCharacter(c.text, -1), std::nullopt);
    EXPECT_FALSE(isCharacterBoundary(c.text, c.text.size() + 1));
  }
}

TEST(Characters, LongAsciiWithCrLfAcrossBlocks) {
  // CR at the end of one 16-byte block, LF at the start of the next.
  std::string text(15, 'x');
  text += "\r\n";
  text += std::string(40, 'y');
  text += "\r\n\r\n";
  EXPECT_EQ(characterCount(text), 15 + 1 + 40 + 2);
  EXPECT_EQ(characterBoundaries(text).size(), static_cast<std::size_t>(15 + 1 + 40 + 2 + 1));
  EXPECT_EQ(byteOffsetOfCharacter(text, 16), 17u);
}

// The counter skips over long ASCII runs and scans in wide blocks; the
// boundary list walks every byte (ASCII) or every break (ICU). Both must
// agree wherever the pieces fall relative to block and run edges.
TEST(Characters, CountAgreesWithBoundariesOnLongTexts) {
  const std::string_view pieces[] = {
      "e\u0301", "\r\n", "\r", "\n", "👨‍👩‍👧", "🇩🇪", "#\uFE0F\u20E3",  // keycap: ASCII + marks
      "\u0600", "x",                                                   // U+0600 joins what follows
      "\u0915\u093F", "\U0001F600"};
  std::uint32_t state = 12345;
  const auto next = [&] { return state = state * 1664525u + 1013904223u; };
  for (int round = 0; round < 40; ++round) {
    std::string text;
    const bool asciiOnly = round % 2 == 0;
    while (text.size() < 20000) {
      const std::uint32_t r = next() >> 8;
      if (asciiOnly || r % 3 != 0) {
        text.append(r % 90, 'a' + static_cast<char>(r % 26));  // runs long and short
        if (r % 5 == 0) text.append("\r\n");
        if (r % 7 == 0) text.append("\r");
      } else {
        text.append(pieces[r % std::size(pieces)]);
      }
    }
    SCOPED_TRACE(round);
    EXPECT_EQ(characterCount(text) + 1, static_cast<std::int64_t>(characterBoundaries(text).size()));
  }
  // CR LF astride the edges of 64-byte blocks and 8 KiB stretches.
  for (const std::size_t at : {std::size_t{63}, std::size_t{64}, std::size_t{8191}, std::size_t{8192}}) {
    std::string text(9000, 'z');
    text[at] = '\r';
    text[at + 1] = '\n';
    SCOPED_TRACE(at);
    EXPECT_EQ(characterCount(text), 8999);
  }
}

}  // namespace
}  // namespace vantrel
