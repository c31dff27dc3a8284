#include <string>

#include "vantrel/json/json.h"

namespace vantrel {
namespace {

TEST(JsonReader, ClassifiesTrueOneAndOnePointZeroApart) {
  struct Case {
    const char* text;
    JsonType::Case type;
    JsonNumber::Kind kind;
  };
  const Case cases[] = {
      {"true", JsonType::bool_, JsonNumber::Kind::boolean},
      {"1", JsonType::number, JsonNumber::Kind::signedInteger},
      {"1.0", JsonType::number, JsonNumber::Kind::floating},
      {"1e2", JsonType::number, JsonNumber::Kind::floating},
      {"18446744073709551615", JsonType::number, JsonNumber::Kind::unsignedInteger},
      {"18446744073709551616", JsonType::number, JsonNumber::Kind::decimal},
      {"-9223372036854775809", JsonType::number, JsonNumber::Kind::decimal},
      {"1234567890123456789012345678901234567890e300", JsonType::number, JsonNumber::Kind::decimal},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const Json value = Json::fromParseString(c.text);
    EXPECT_EQ(value.type(), c.type);
    EXPECT_EQ(value.managedJsonObject().number()->kind(), c.kind);
    EXPECT_FALSE(value.error());
  }
  EXPECT_EQ(Json::fromParseString("null").type(), JsonType::null);
  EXPECT_FALSE(Json::fromParseString("null").error());
  EXPECT_EQ(Json::fromParseString("\"word\"").type(), JsonType::string);
  EXPECT_EQ(Json::fromParseString("18446744073709551616").stringValue(), "18446744073709551616");
  const Json beyondDoubles = Json::fromParseString("[1234567890123456789012345678901234567890e300]");
  EXPECT_FALSE(beyondDoubles[0].double_());
  EXPECT_EQ(beyondDoubles.makeStringJsonWriter(), "[\n\t1234567890123456789012345678901234567890e300\n]\n");
}

// Every spelling the grammar allows is read: the kind follows from the value,
// never from how many digits or how large an exponent spell it.
TEST(JsonReader, ReadsEveryNumberSpellingByItsValue) {
  using Kind = JsonNumber::Kind;
  const std::string digits310 = "1" + std::string(309, '0');
  const std::string digits5000 = "9" + std::string(4999, '7');
  const std::string compensated = "1" + std::string(320, '0') + "e-300";
  const std::string longFraction = "0." + std::string(400, '0') + "1e401";
  struct Case {
    std::string text;
    Kind kind;
    std::string written;  // the number's `stringValue`
  };
  const Case cases[] = {
      {"1e309", Kind::decimal, "1e309"},
      {"-1e400", Kind::decimal, "-1e400"},
      {"1e99999", Kind::decimal, "1e99999"},
      {"1E+99999999999999999999", Kind::decimal, "1E+99999999999999999999"},
      {digits310, Kind::decimal, digits310},
      {"-" + digits310, Kind::decimal, "-" + digits310},
      {digits5000, Kind::decimal, digits5000},
      {"0e400", Kind::floating, "0.0"},
      {"-0.0E+999", Kind::floating, "-0.0"},
      {"1e-400", Kind::floating, "0.0"},
      {"-1e-99999999999", Kind::floating, "-0.0"},
      {compensated, Kind::floating, "1e+20"},
      {longFraction, Kind::floating, "1.0"},
      {"1.7976931348623157e308", Kind::floating, "1.7976931348623157e+308"},
      {"1.7976931348623159e308", Kind::decimal, "1.7976931348623159e308"},
      {"9223372036854775807", Kind::signedInteger, "9223372036854775807"},
      {"-9223372036854775808", Kind::signedInteger, "-9223372036854775808"},
      {"9223372036854775808", Kind::unsignedInteger, "9223372036854775808"},
      {"-0", Kind::signedInteger, "0"},
      {"123456789012345678", Kind::signedInteger, "123456789012345678"},
      {"-123456789012345678", Kind::signedInteger, "-123456789012345678"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 40));
    const Json value = Json::fromData("[" + c.text + "]");
    ASSERT_EQ(value[0].type(), JsonType::number);
    const JsonNumber number = *value[0].number();
    EXPECT_EQ(number.kind(), c.kind);
    EXPECT_EQ(number.stringValue(), c.written);
  }
  EXPECT_EQ(Json::fromData(compensated).doubleValue(), 1e20);
  EXPECT_EQ(Json::fromData("[" + digits5000 + "]").makeData(), "[" + digits5000 + "]");
}

TEST(JsonReader, ErrorsCarryTheOffset) {
  struct Case {
    std::string text;
    std::size_t offset;
  };
  const Case cases[] = {
      {"", 0},
      {"  \n ", 4},
      {"[1,]", 3},
      {"{\"a\" 1}", 5},
      {"[1] x", 4},
      {std::string("[1]\0[2]", 7), 3},      // a zero byte does not end the text
      {"[\"\xC3\x28\"]", 2},                 // invalid UTF-8
      {"[\"\\udc00\"]", 9},                  // a lone low surrogate
      {"\"ab\xF2", 3},                        // the text ends inside a UTF-8 sequence
      {"[nan]", 2},
      {"[1.]", 3},      // a fraction needs a digit
      {"[-e1]", 2},
      {"[1e+]", 4},     // an exponent needs a digit
      {"[01]", 2},      // no leading zeros
      // A fault in a \u escape, or in the pair it opens, is told at the
      // backslash of the escape that opens it.
      {R"(["\uD800\u0041"])", 2},
      {R"(["\uD:3D"])", 2},
      {R"({"k":"\uDBFF\uDBFF"})", 6},
      {R"(["x\uD800"])", 3},
      {R"(["\uD800\u00G1"])", 2},
      {R"(["\u12"])", 2},
      {R"({"\uD800x":1})", 2},
      {"[\"\\u00", 2},   // the text ends inside the escape
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    try {
      (void)Json::fromData(c.text);
      ADD_FAILURE() << "accepted";
    } catch (const JsonReadError& error) {
      EXPECT_EQ(error.offset(), c.offset) << error.description();
    }
  }
}

TEST(JsonReader, DescribesTheError) {
  try {
    (void)Json::fromData("[1,]");
    FAIL();
  } catch (const JsonReadError& error) {
    EXPECT_EQ(error.description(), "Invalid JSON at offset 3: Invalid value.");
  }
}

TEST(JsonReader, FragmentsNeedTheOption) {
  EXPECT_EQ(Json::fromData(" 42").intValue(), 42);
  EXPECT_THROW((void)Json::fromData(" 42", JsonReadingOptions{}), JsonReadError);
  EXPECT_THROW((void)Json::fromData("\"s\"", JsonReadingOptions{}), JsonReadError);
  EXPECT_EQ(Json::fromData(" [42]", JsonReadingOptions{})[0].intValue(), 42);
}

TEST(JsonReader, ParseStringRefusesTextThatIsNotUtf8) {
  try {
    (void)Json::fromParseString("\"\xFF\"");
    FAIL();
  } catch (const JsonError& error) {
    EXPECT_EQ(error.kind(), JsonError::notUtf8Encoded);
  }
}

TEST(JsonReader, DuplicateKeysLastWinsInFirstPlace) {
  // Small and large dictionaries are stored differently.
  for (int extra : {0, 20}) {
    std::string text = "{\"a\":1,\"b\":2";
    for (int i = 0; i < extra; ++i) text += ",\"k" + std::to_string(i) + "\":0";
    text += ",\"a\":3}";
    const Json value = Json::fromParseString(text);
    const JsonDictionary& members = *value.managedJsonObject().dictionary();
    EXPECT_EQ(members.size(), 2u + static_cast<std::size_t>(extra));
    EXPECT_EQ(members.entries().front().first, "a");
    EXPECT_EQ(value["a"].intValue(), 3);
    EXPECT_EQ(value["b"].intValue(), 2);
  }
}

TEST(JsonReader, NestingIsBoundedAt512) {
  const auto nested = [](int depth) { return std::string(depth, '[') + std::string(depth, ']'); };
  EXPECT_NO_THROW((void)Json::fromData(nested(512)));
  try {
    (void)Json::fromData(nested(513));
    FAIL();
  } catch (const JsonReadError& error) {
    EXPECT_EQ(error.offset(), 512u);  // the 513th bracket
    EXPECT_EQ(error.message(), "Nesting deeper than 512 levels.");
  }
}

TEST(JsonReader, HundredThousandLevelsGiveAnErrorNotAStackOverflow) {
  std::string text;
  for (int i = 0; i < 100'000; ++i) text += i % 2 ? "[" : "{\"k\":";
  EXPECT_THROW((void)Json::fromData(text), JsonReadError);
  EXPECT_THROW((void)Json::fromData(std::string(100'000, '[')), JsonReadError);
}

}  // namespace
}  // namespace vantrel
