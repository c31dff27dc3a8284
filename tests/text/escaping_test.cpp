#include "vantrel/text/escaping.h"

#include <gtest/gtest.h>

#include "tests/support/json_string_decoder.h"

namespace vantrel {
namespace {

TEST(Escaping, HeaderExamples) {
  EXPECT_EQ(stringEncodedForJson("say \"hi\"\n"), "say \\\"hi\\\"\\n");
  EXPECT_EQ(stringEncodedForJson("\x01"), "\\u0001");
  EXPECT_EQ(stringPreparedToBeUseInSourceStringLiteral("a\tb"), "a\\tb");
  EXPECT_EQ(stringLiteralEncoded("C:\\x"), "C:\\\\x");
  EXPECT_EQ(stringByReplacingOccurrences("banana", {{"a", "b"}}), "bbnbnb");
}

TEST(Escaping, ThreeEscapings) {
  struct Case {
    std::string_view in;
    std::string json;
    std::string source;
    std::string doubled;
  };
  const Case cases[] = {
      {"abc", "abc", "abc", "abc"},
      {"", "", "", ""},
      {"\"", "\\\"", "\\\"", "\""},
      {"\\", "\\\\", "\\\\", "\\\\"},
      {"\r\n", "\\r\\n", "\\r\\n", "\r\n"},
      {"\t", "\\t", "\\t", "\t"},
      {"\"\u0301", "\\\"\u0301", "\\\"\u0301", "\"\u0301"},
      {"\f", "\\u000c", "\f", "\f"},
      {"\b", "\\u0008", "\b", "\b"},
      // Every other control character gets a numeric escape.
      {std::string_view("\0", 1), "\\u0000", std::string("\0", 1), std::string("\0", 1)},
      {"\x01\x1B\x1F", "\\u0001\\u001b\\u001f", "\x01\x1B\x1F", "\x01\x1B\x1F"},
      {"\x7F/\u00E9😀\u2028", "\x7F/\u00E9😀\u2028", "\x7F/\u00E9😀\u2028", "\x7F/\u00E9😀\u2028"},
      // Ill-formed bytes leave as U+FFFD.
      {"a\xFF\xC3", "a\uFFFD\uFFFD", "a\uFFFD\uFFFD", "a\xFF\xC3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(std::string(c.in)));
    EXPECT_EQ(stringEncodedForJson(c.in), c.json);
    std::string buffer = "[";
    appendStringEncodedForJson(buffer, c.in);
    EXPECT_EQ(buffer, "[" + c.json);
    EXPECT_EQ(stringPreparedToBeUseInSourceStringLiteral(c.in), c.source);
    EXPECT_EQ(stringLiteralEncoded(c.in), c.doubled);
  }
}

TEST(Escaping, JsonOutputDecodesBack) {
  // Long enough for the wide scan, with the special byte at every position of a block.
  for (std::size_t at = 0; at < 80; ++at) {
    for (const char special : {'"', '\\', '\n', '\x01', '\x1F'}) {
      std::string text(80, 'x');
      text[at] = special;
      const auto decoded = testing::decodeJsonString("\"" + stringEncodedForJson(text) + "\"");
      ASSERT_TRUE(decoded.has_value()) << at;
      EXPECT_EQ(*decoded, text) << at;
    }
  }
  const std::string mixed = "caf\u00E9 \"q\" \\ \x02 😀\r\n";
  EXPECT_EQ(testing::decodeJsonString("\"" + stringEncodedForJson(mixed) + "\""), mixed);
}

TEST(Escaping, ReplacementByMap) {
  EXPECT_EQ(stringByReplacingOccurrences("abc", {}), "abc");
  EXPECT_EQ(stringByReplacingOccurrences("abc", {{"x", "y"}}), "abc");
  EXPECT_EQ(stringByReplacingOccurrences("", {{"a", "b"}}), "");
  EXPECT_EQ(stringByReplacingOccurrences("caf\u00E9", {{"e\u0301", "E"}}), "cafE");
  // Pairs apply in key order, each on the previous result: "a" -> "b", then "b" -> "c".
  EXPECT_EQ(stringByReplacingOccurrences("ab", {{"b", "c"}, {"a", "b"}}), "cc");
}

}  // namespace
}  // namespace vantrel
