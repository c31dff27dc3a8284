#include "vantrel/text/padding.h"

#include <gtest/gtest.h>

#include "vantrel/text/characters.h"

namespace vantrel {
namespace {

TEST(Characters, CountsGraphemeClusters) {
  struct Case {
    const char* in;
    std::int64_t want;
  };
  const Case cases[] = {
      {"", 0},
      {"abc", 3},
      {"a\r\nb", 3},         // CR LF is one character
      {"\r\r\n\n", 3},
      {"e\xCC\x81", 1},      // e + combining acute
      {"é", 1},
      {"🍇🍇", 2},
      {"👨‍👩‍👧", 1},             // ZWJ family
      {"🇩🇪🇫🇷", 2},             // two flags
      {"👍🏽", 1},              // skin tone
      {"한국어", 3},
      {"\xFF\xFE", 2},        // invalid bytes: one each
      {"ab\xE2\x82", 3},      // truncated sequence at the end
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(characterCount(c.in), c.want);
  }
}

TEST(PaddedLeft, Cases) {
  struct Case {
    const char* in;
    std::int64_t width;
    const char* pad;
    const char* want;
  };
  const Case cases[] = {
      {"7", 3, " ", "  7"},
      {"7", 3, "ab", "abab7"},
      {"123", 3, " ", "123"},
      {"1234", 3, " ", "1234"},
      {"7", 3, "", "7"},
      {"", 2, "0", "00"},
      {"7", 0, " ", "7"},
      {"7", -5, " ", "7"},
      {"é", 3, "·", "··é"},            // counted as one character, not two bytes
      {"👨‍👩‍👧", 2, " ", " 👨‍👩‍👧"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.in) + " / " + std::to_string(c.width));
    EXPECT_EQ(paddedLeft(c.in, c.width, c.pad), c.want);
  }
}

}  // namespace
}  // namespace vantrel
