#include "vantrel/platform/foundation/bundles/strings_file.h"

#include <gtest/gtest.h>

#include "tests/support/fixtures.h"

namespace vantrel {
namespace {

using Table = std::unordered_map<std::string, std::string>;

TEST(StringsFileTest, ReadsEntriesCommentsAndBareWords) {
  const Table table = parseStringsFile(
      "/* A comment\n   over two lines */\n"
      "\"menu_Open\" = \"\xC3\x96" "ffnen\";  // trailing comment\n"
      "bare_key = bare.value;\n"
      "\"same\";\n"
      "\"spaced key\"\t=\n\"spaced value\" ;\n");
  EXPECT_EQ(table, (Table{{"menu_Open", "\xC3\x96" "ffnen"},
                          {"bare_key", "bare.value"},
                          {"same", "same"},
                          {"spaced key", "spaced value"}}));
}

TEST(StringsFileTest, DecodesEscapes) {
  struct Case {
    std::string_view quoted;
    std::string want;
  };
  const Case cases[] = {
      {R"("a\"b")", "a\"b"},
      {R"("back\\slash")", "back\\slash"},
      {R"("tab\tnl\ncr\r")", "tab\tnl\ncr\r"},
      {R"("\a\b\f\v")", "\a\b\f\v"},
      {R"("it\'s")", "it's"},
      {R"("\U00e9\u00E9")", "\xC3\xA9\xC3\xA9"},
      {R"("\UD83D\UDE00")", "\xF0\x9F\x98\x80"},  // a surrogate pair
      {R"("\101\0x")", std::string("A\0x", 3)},
      {R"("\351")", "\xC3\xA9"},  // octal names a Latin-1 character
      {R"("\q")", "q"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.quoted);
    const Table table = parseStringsFile("\"k\" = " + std::string(c.quoted) + ";");
    EXPECT_EQ(table.at("k"), c.want);
  }
}

TEST(StringsFileTest, ReadsUtf16WithByteOrderMarksAndSkipsAUtf8Mark) {
  const std::string text = "\"k\" = \"\xC3\xA9\xF0\x9F\x98\x80\";";
  const std::u16string units = u"\"k\" = \"\u00E9\U0001F600\";";
  std::string little = "\xFF\xFE";
  std::string big = "\xFE\xFF";
  for (const char16_t unit : units) {
    little += static_cast<char>(unit & 0xFF);
    little += static_cast<char>(unit >> 8);
    big += static_cast<char>(unit >> 8);
    big += static_cast<char>(unit & 0xFF);
  }
  const Table want{{"k", "\xC3\xA9\xF0\x9F\x98\x80"}};
  EXPECT_EQ(parseStringsFile(little), want);
  EXPECT_EQ(parseStringsFile(big), want);
  EXPECT_EQ(parseStringsFile("\xEF\xBB\xBF" + text), want);
}

TEST(StringsFileTest, ALaterEntryReplacesAnEarlierOne) {
  EXPECT_EQ(parseStringsFile("\"k\" = \"1\"; \"k\" = \"2\";").at("k"), "2");
}

TEST(StringsFileTest, MalformedInputThrowsWithItsLine) {
  struct Case {
    std::string input;
    std::int64_t line;
    std::string reason;
  };
  const Case cases[] = {
      {"\"k\" = \"v\"", 1, "expected \";\" after a value"},
      {"\n\n\"k\" \"v\";", 3, "expected \"=\" or \";\" after a key"},
      {"\"k\" = \"open\n\nstring;", 1, "unterminated quoted string"},
      {"/* never closed", 1, "unterminated comment"},
      {"\"k\" = \"\\UD800\";", 1, "unpaired UTF-16 surrogate in a \\U escape"},
      {"\"k\" = \"\\U12\";", 1, "\\U needs four hexadecimal digits"},
      {"\"k\" = ;", 1, "expected a value"},
      {"\"k\" = \"\xFF\";", 1, "text is neither UTF-8 nor UTF-16 with a byte-order mark"},
      {std::string("\xFF\xFE" "a", 3), 1, "UTF-16 text with an odd number of bytes"},
      {std::string("\xFF\xFE\x00\xDC", 4), 1, "unpaired UTF-16 surrogate"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    try {
      (void)parseStringsFile(c.input);
      ADD_FAILURE() << "no error";
    } catch (const StringsFileError& e) {
      EXPECT_EQ(e.line(), c.line);
      EXPECT_EQ(e.reason(), c.reason);
      EXPECT_EQ(e.description(), "Invalid strings file, line " + std::to_string(c.line) + ": " + c.reason);
    }
  }
}

TEST(StringsFileTest, QuotedTextReadsBackAsItself) {
  const std::string texts[] = {"plain", "say \"hi\"", "back\\slash", "line\nbreak\r\ttab",
                               std::string("nul\0and\x01\x7F", 10), "\xC3\xA9\xF0\x9F\x98\x80", ""};
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    const std::string quoted = stringsFileQuoted(text);
    EXPECT_EQ(quoted.find('\n'), std::string::npos);
    EXPECT_EQ(parseStringsFile(quoted + " = " + quoted + ";").at(text), text);
  }
  EXPECT_EQ(stringsFileQuoted("a\"b\n\x01"), "\"a\\\"b\\n\\U0001\"");
  EXPECT_EQ(stringsFileQuoted("bad\xFF"), "\"bad\xEF\xBF\xBD\"");
}

}  // namespace
}  // namespace vantrel
