#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <utility>

#include "vantrel/core/console.h"
#include "vantrel/json/json.h"

namespace vantrel {
namespace {

TEST(JsonGetters, StringHoldingADigit) {
  const Json value("5");
  EXPECT_EQ(value.string(), "5");
  EXPECT_FALSE(value.int_());
  EXPECT_EQ(value.intValue(), 5);
  EXPECT_EQ(value.numberValue().kind(), JsonNumber::Kind::signedInteger);
  EXPECT_EQ(value.doubleValue(), 5.0);
  EXPECT_EQ(Json("abc").numberValue(), JsonNumber::fromInt(0));
  EXPECT_EQ(Json("abc").intValue(), 0);
  EXPECT_EQ(Json("2.5").doubleValue(), 2.5);
}

TEST(JsonGetters, BoolValue) {
  const Json yes(true);
  EXPECT_EQ(yes.bool_(), true);
  EXPECT_EQ(yes.number(), JsonNumber::fromInt(1));
  EXPECT_EQ(yes.int_(), 1);
  EXPECT_EQ(yes.doubleValue(), 1.0);
  EXPECT_EQ(yes.stringValue(), "true");
  EXPECT_FALSE(yes.string());
  EXPECT_FALSE(Json(0).bool_());
  EXPECT_FALSE(Json(0).boolValue());
  EXPECT_TRUE(Json(2).boolValue());
  EXPECT_FALSE(Json("true").bool_());
}

TEST(JsonGetters, BoolValueOfTexts) {
  for (const char* text : {"TRUE", "t", "Y", "true"}) EXPECT_TRUE(Json(text).boolValue()) << text;
  for (const char* text : {"yes", " true", "1", ""}) EXPECT_FALSE(Json(text).boolValue()) << text;
}

TEST(JsonGetters, NullAndUnknown) {
  const Json null;
  EXPECT_TRUE(null.nullObject());
  EXPECT_EQ(null.stringValue(), "");
  EXPECT_EQ(null.intValue(), 0);
  EXPECT_FALSE(null.boolValue());
  EXPECT_FALSE(null.array());
  EXPECT_TRUE(null.dictionaryValue().empty());
  struct Other {};
  const Json unknown{Other{}};
  EXPECT_FALSE(unknown.nullObject());
  EXPECT_EQ(unknown.stringValue(), "");
  EXPECT_EQ(unknown.numberValue(), JsonNumber::fromDouble(0.0));
}

TEST(JsonGetters, Containers) {
  EXPECT_EQ(Json::fromParseString("[]").array(), std::vector<Json>{});
  EXPECT_FALSE(Json::fromParseString("{}").array());
  EXPECT_EQ(Json::fromParseString("{}").dictionary(), JsonDictionaryOfJson{});
  const Json mixed = Json::fromArrayLiteral({1, "x"});
  EXPECT_EQ(mixed.arrayObject(), (PlatformValue::Array{PlatformValue(1), PlatformValue("x")}));
  const auto members = Json::fromParseString(R"({"a": 1, "b": [true]})").dictionary();
  ASSERT_TRUE(members);
  EXPECT_EQ(members->at("a").intValue(), 1);
  EXPECT_EQ(members->at("b")[0].type(), JsonType::bool_);
  EXPECT_EQ(Json::fromParseString(R"({"a": 1})").dictionaryObject()->size(), 1u);
}

TEST(JsonGetters, OutOfRangeNeverNarrows) {
  const Json big = Json::fromParseString("300");
  EXPECT_FALSE(big.int8());
  EXPECT_EQ(big.int8Value(), 0);
  EXPECT_EQ(big.uInt8(), std::nullopt);
  EXPECT_EQ(big.int16(), 300);
  const Json negative(-1);
  EXPECT_FALSE(negative.uInt());
  EXPECT_EQ(negative.uInt64Value(), 0u);
  EXPECT_EQ(negative.int32(), -1);
  const Json huge = Json::fromParseString("1e300");
  EXPECT_FALSE(huge.int64());
  EXPECT_EQ(huge.intValue(), 0);
  EXPECT_FALSE(huge.float_());
  EXPECT_EQ(huge.floatValue(), 0.0f);
  EXPECT_EQ(huge.double_(), 1e300);
  const Json top = Json::fromParseString("18446744073709551615");
  EXPECT_FALSE(top.int_());
  EXPECT_EQ(top.uInt64(), std::numeric_limits<std::uint64_t>::max());
  const Json decimal = Json::fromParseString("18446744073709551616");
  EXPECT_FALSE(decimal.uInt64());
  EXPECT_EQ(decimal.double_(), 18446744073709551616.0);
  EXPECT_FALSE(Json("1e999").double_());  // a text beyond the double range
  EXPECT_EQ(Json("1e999").doubleValue(), 0.0);
  EXPECT_EQ(Json(2.9).int_(), 2);
  EXPECT_EQ(Json(-2.9).int_(), -2);
  EXPECT_EQ(Json(std::nan("")).intValue(), 0);
}

TEST(JsonGetters, Literals) {
  EXPECT_EQ(Json(true).type(), JsonType::bool_);
  EXPECT_EQ(Json(1).type(), JsonType::number);
  EXPECT_EQ(Json(1.5).type(), JsonType::number);
  EXPECT_EQ(Json("s").type(), JsonType::string);
  const Json nil = nullptr;
  EXPECT_EQ(nil.type(), JsonType::null);
  EXPECT_FALSE(nil.error());
  EXPECT_EQ(Json::fromArrayLiteral({}).type(), JsonType::array);
  EXPECT_TRUE(Json::fromArrayLiteral({}).arrayValue().empty());
  const Json pairs = Json::fromDictionaryLiteral({{"a", 1}, {"a", 2}});
  EXPECT_EQ(pairs.dictionaryValue().size(), 1u);
  EXPECT_EQ(pairs["a"].intValue(), 2);
  EXPECT_EQ(Json::fromDictionaryLiteral({}).type(), JsonType::dictionary);
}

TEST(JsonGetters, NumberTexts) {
  struct Case {
    const char* json;
    const char* text;
  };
  const Case cases[] = {{"1", "1"},          {"1.0", "1.0"},      {"-0.5", "-0.5"},
                        {"1e-5", "1e-05"},   {"1E20", "1e+20"},   {"12345678901234567890", "12345678901234567890"},
                        {"123456789012345678901234567890", "123456789012345678901234567890"}};
  for (const Case& c : cases) EXPECT_EQ(Json::fromParseString(c.json).stringValue(), c.text) << c.json;
}

}  // namespace
}  // namespace vantrel

namespace vantrel {
namespace {

// The sized integer getters: in range the value (fractions cut toward zero,
// a boolean as 1), out of range nullopt or 0, a text only through the
// `…Value` forms.
TEST(JsonGetters, SizedIntegersByTable) {
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
  struct Row {
    const char* text;
    std::uint64_t uIntValue;
    std::uint8_t uInt8Value;
    std::int16_t int16Value;
    std::optional<std::uint16_t> uInt16;
    std::uint16_t uInt16Value;
    std::int32_t int32Value;
    std::optional<std::uint32_t> uInt32;
    std::uint32_t uInt32Value;
    std::int64_t int64Value;
  };
  const Row rows[] = {
      {"255", 255, 255, 255, 255, 255, 255, 255, 255, 255},
      {"300", 300, 0, 300, 300, 300, 300, 300, 300, 300},
      {"-1", 0, 0, -1, std::nullopt, 0, -1, std::nullopt, 0, -1},
      {"-32768", 0, 0, -32768, std::nullopt, 0, -32768, std::nullopt, 0, -32768},
      {"65535", 65535, 0, 0, 65535, 65535, 65535, 65535, 65535, 65535},
      {"70000", 70000, 0, 0, std::nullopt, 0, 70000, 70000, 70000, 70000},
      {"4294967296", 4294967296, 0, 0, std::nullopt, 0, 0, std::nullopt, 0, 4294967296},
      {"18446744073709551615", kMax, 0, 0, std::nullopt, 0, 0, std::nullopt, 0, 0},
      {"-2.75", 0, 0, -2, std::nullopt, 0, -2, std::nullopt, 0, -2},
      {"7.9", 7, 7, 7, 7, 7, 7, 7, 7, 7},
      {"true", 1, 1, 1, 1, 1, 1, 1, 1, 1},
      {"\"12\"", 12, 12, 12, std::nullopt, 12, 12, std::nullopt, 12, 12},
      {"null", 0, 0, 0, std::nullopt, 0, 0, std::nullopt, 0, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    const Json value = Json::fromData(row.text);
    EXPECT_EQ(value.uIntValue(), row.uIntValue);
    EXPECT_EQ(value.uInt8Value(), row.uInt8Value);
    EXPECT_EQ(value.int16Value(), row.int16Value);
    EXPECT_EQ(value.uInt16(), row.uInt16);
    EXPECT_EQ(value.uInt16Value(), row.uInt16Value);
    EXPECT_EQ(value.int32Value(), row.int32Value);
    EXPECT_EQ(value.uInt32(), row.uInt32);
    EXPECT_EQ(value.uInt32Value(), row.uInt32Value);
    EXPECT_EQ(value.int64Value(), row.int64Value);
  }
}

TEST(JsonGetters, IsEmptyAndTheRetiredObject) {
  const std::pair<const char*, bool> cases[] = {{"[]", true},     {"[0]", false}, {"{}", true},
                                                {"{\"\":0}", false}, {"\"text\"", true}, {"null", true}};
  for (const auto& [text, empty] : cases) EXPECT_EQ(Json::fromData(text).isEmpty(), empty) << text;
  const Json value = Json::fromData(R"({"a": 1})");
  ConsoleCapture capture;
  EXPECT_EQ(&value.object(), &value.managedJsonObject());
  EXPECT_EQ(&value["a"].object(), &value["a"].managedJsonObject());
  EXPECT_EQ(capture.standardOutput(), "who uses this\nwho uses this\n");
}

}  // namespace
}  // namespace vantrel
