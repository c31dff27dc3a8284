#include <map>
#include <string>
#include <vector>

#include "vantrel/json/json.h"

namespace vantrel {
namespace {

struct Date {
  long seconds = 0;
};

TEST(JsonValue, ClassifiesHostValues) {
  struct Case {
    Json value;
    JsonType::Case type;
  };
  const Case cases[] = {
      {Json(true), JsonType::bool_},
      {Json(1), JsonType::number},
      {Json(0.0), JsonType::number},
      {Json("x"), JsonType::string},
      {Json(nullptr), JsonType::null},
      {Json(std::vector<int>{1, 2}), JsonType::array},
      {Json(std::map<std::string, int>{{"a", 1}}), JsonType::dictionary},
      {Json(std::map<int, int>{{1, 1}}), JsonType::unknown},
      {Json(Date{}), JsonType::unknown},
  };
  for (const Case& c : cases) EXPECT_EQ(c.value.type(), c.type) << c.value.type().description();
  const Json date(Date{});
  EXPECT_EQ(date.error(), JsonError::unsupportedType);
  EXPECT_TRUE(date.managedJsonObject().isNull());
}

TEST(JsonValue, BooleanNumbersAreOnlyThoseMadeFromBooleans) {
  EXPECT_EQ(Json(JsonNumber::fromBool(true)).type(), JsonType::bool_);
  EXPECT_EQ(Json(JsonNumber::fromInt(1)).type(), JsonType::number);
  EXPECT_EQ(Json(JsonNumber::fromDouble(1.0)).type(), JsonType::number);
  EXPECT_EQ(Json(JsonNumber::fromInt(2)).type(), JsonType::number);
}

TEST(JsonValue, ReclassifyingClearsTheError) {
  Json value = Json::null(JsonError::notExist);
  EXPECT_EQ(value.type(), JsonType::null);
  EXPECT_EQ(value.error(), JsonError::notExist);
  EXPECT_FALSE(Json::null().error());
  value.setManagedJsonObject(PlatformValue(3));
  EXPECT_EQ(value.type(), JsonType::number);
  EXPECT_FALSE(value.error());
  value.setManagedJsonObject(PlatformValue("t"));
  EXPECT_EQ(*value.managedJsonObject().text(), "t");
  value.setManagedJsonObject(std::nullopt);
  EXPECT_EQ(value.type(), JsonType::null);
}

TEST(JsonValue, TypeRawValuesAndNames) {
  EXPECT_EQ(JsonType::fromRawValue(2), JsonType(JsonType::bool_));
  EXPECT_FALSE(JsonType::fromRawValue(7));
  EXPECT_FALSE(JsonType::fromRawValue(-1));
  EXPECT_EQ(JsonType(JsonType::bool_).description(), "bool");
  EXPECT_EQ(JsonType(JsonType::dictionary).hashValue(), 4u);
  EXPECT_EQ(JsonError(JsonError::notExist).hashValue(), 3u);
  EXPECT_EQ(JsonError(JsonError::notExist).description(), "notExist");
}

TEST(JsonValue, UnwrapReplacesNestedJsonValues) {
  PlatformValue::Array raw{PlatformValue::opaque(Json(1)),
                           PlatformValue(JsonDictionary({{"a", PlatformValue::opaque(Json("x"))}}))};
  const Json unwrapped = Json::fromUnwrap(PlatformValue(raw));
  EXPECT_EQ(unwrapped[0].type(), JsonType::number);
  EXPECT_EQ(unwrapped[1]["a"].string(), "x");
  const Json plain{PlatformValue(raw)};
  EXPECT_EQ(plain[0].type(), JsonType::unknown);
  // A Json placed by the host converts to an opaque element too.
  EXPECT_EQ(Json::fromArrayLiteral({Json(true)})[0].type(), JsonType::unknown);
  EXPECT_EQ(Json::fromUnwrap(PlatformValue(PlatformValue::Array{PlatformValue::opaque(Json(true))}))[0].type(),
            JsonType::bool_);
}

TEST(JsonValue, UnwrapIsBounded) {
  PlatformValue deep;
  for (int i = 0; i < 600; ++i) deep = PlatformValue(PlatformValue::Array{deep});
  EXPECT_THROW((void)Json::fromUnwrap(deep), JsonDepthError);
}

TEST(JsonValue, LookupsCarryTheirError) {
  const Json value = Json::fromParseString(R"({"a": [1, null], "n": null})");
  EXPECT_EQ(value["missing"].error(), JsonError::notExist);
  EXPECT_EQ(value["a"][2].error(), JsonError::indexOutOfBounds);
  EXPECT_EQ(value["a"][-1].error(), JsonError::indexOutOfBounds);
  EXPECT_EQ(value["a"]["k"].error(), JsonError::invalidType);
  EXPECT_EQ(value[0].error(), JsonError::invalidType);
  EXPECT_TRUE(value["n"].exists());
  EXPECT_TRUE(value["a"][1].exists());
  EXPECT_FALSE(value["missing"].exists());
  EXPECT_TRUE(Json(Date{}).exists());
}

TEST(JsonValue, CopiesShareContainersUntilChanged) {
  const Json value = Json::fromParseString(R"({"a": [1, 2, 3]})");
  const Json member = value["a"];
  EXPECT_EQ(member.managedJsonObject().shareCount(), 2);  // the member and the copy read
  PlatformValue copy = member.managedJsonObject();
  copy.mutableArray()->push_back(PlatformValue(4));
  EXPECT_EQ(copy.array()->size(), 4u);
  EXPECT_EQ(value["a"].arrayValue().size(), 3u);
}

TEST(JsonValue, DictionaryKeepsInsertionOrderAndBytewiseKeys) {
  JsonDictionary members;
  members.insertOrAssign("b", 1);
  members.insertOrAssign("a", 2);
  members.insertOrAssign("\u00e9", 3);
  members.insertOrAssign("e\u0301", 4);  // canonically equal, distinct in JSON
  members.insertOrAssign("b", 5);
  ASSERT_EQ(members.size(), 4u);
  EXPECT_EQ(members.entries()[0].first, "b");
  EXPECT_EQ(*members.find("b"), PlatformValue(5));
  EXPECT_TRUE(members.erase("a"));
  EXPECT_FALSE(members.find("a"));
  for (int i = 0; i < 40; ++i) members.insertOrAssign("k" + std::to_string(i), i);
  EXPECT_EQ(*members.find("k39"), PlatformValue(39));
  EXPECT_EQ(members.indexOf("k0"), 3u);
}

TEST(JsonValue, ArrayValueConvertsEachElement) {
  EXPECT_TRUE(Json("s").arrayValue().empty());
  const auto elements = Json(std::vector<std::string>{"a", "b", "c"}).arrayValue();
  ASSERT_EQ(elements.size(), 3u);
  EXPECT_EQ(elements[2].string(), "c");
}

}  // namespace
}  // namespace vantrel
