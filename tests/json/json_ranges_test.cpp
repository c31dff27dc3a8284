#include <gtest/gtest.h>

#include <algorithm>
#include <ranges>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "vantrel/json/json.h"

namespace vantrel {
namespace {

static_assert(std::random_access_iterator<Json::const_iterator>);
static_assert(std::ranges::random_access_range<const Json>);
static_assert(std::ranges::sized_range<const Json>);

TEST(JsonRanges, MembersAsARandomAccessRange) {
  const Json array = Json::fromData(R"([10, "x", true, null])");
  EXPECT_EQ(array.size(), 4u);
  EXPECT_FALSE(array.empty());
  EXPECT_EQ(std::ranges::size(array), 4u);
  const auto begin = array.begin();
  EXPECT_EQ(array.end() - begin, 4);
  EXPECT_EQ(begin[2], Json(true));
  EXPECT_EQ((*(array.end() - 1)).type(), JsonType::null);

  std::vector<std::string> texts;
  for (const JsonView element : array | std::views::reverse) texts.push_back(element.stringValue());
  EXPECT_EQ(texts, (std::vector<std::string>{"", "true", "x", "10"}));
  std::vector<Json> sorted(array.begin(), array.end());
  std::ranges::sort(sorted, [](const Json& a, const Json& b) { return a.type() < b.type(); });
  EXPECT_EQ(sorted.front(), Json(10));

  const Json dictionary = Json::fromData(R"({"z": 1, "a": 2, "m": 3, "a": 4})");
  EXPECT_EQ(dictionary.size(), 3u);
  std::vector<std::string> odd;
  for (const auto& [key, member] :
       dictionary | std::views::filter([](const JsonMember& e) { return e.intValue() % 2 == 1; })) {
    odd.push_back(std::string(key));
    EXPECT_EQ(member.intValue() % 2, 1);
  }
  EXPECT_EQ(odd, (std::vector<std::string>{"z", "m"}));
  const auto found = std::ranges::find_if(dictionary, [](const JsonMember& e) { return e.key() == "m"; });
  EXPECT_EQ(found - dictionary.begin(), 2);

  for (const Json& scalar : {Json(5), Json(), Json("text")}) {
    EXPECT_TRUE(scalar.empty());
    EXPECT_EQ(scalar.size(), 0u);
    EXPECT_EQ(scalar.begin(), scalar.end());
  }
}

struct Stamp {};

// Iteration and subscripts make their views apart; every kind of member
// must come out of both with the same tag, error and value.
TEST(JsonRanges, MembersClassifyAsSubscriptsDo) {
  const std::vector<PlatformValue> kinds = {
      PlatformValue(7),           PlatformValue(2.5),  PlatformValue(true), PlatformValue(false),
      PlatformValue("short"),     PlatformValue(std::string(40, 'l')),      PlatformValue(nullptr),
      PlatformValue::Array{1, 2}, PlatformValue::opaque(Stamp{}),
  };
  PlatformValue::Array elements;
  Json dictionary = Json::fromDictionaryLiteral({});
  // Past eight members a dictionary carries an index; a change copies it.
  for (std::size_t i = 0; i < 12; ++i) {
    elements.push_back(kinds[i % kinds.size()]);
    dictionary["k" + std::to_string(i)] = Json(kinds[i % kinds.size()]);
  }
  const Json array(PlatformValue(std::move(elements)));
  dictionary["k3"] = Json(JsonNumber::fromInt(-3));
  ASSERT_EQ(array.size(), 12u);
  ASSERT_EQ(dictionary.size(), 12u);

  std::int64_t position = 0;
  for (const auto& [key, element] : array) {
    SCOPED_TRACE(position);
    EXPECT_TRUE(key.empty());
    const JsonView expected = array[position++];
    EXPECT_EQ(element.type(), expected.type());
    EXPECT_EQ(element.error(), expected.error());
    EXPECT_EQ(&element.managedJsonObject(), &expected.managedJsonObject());
  }
  EXPECT_EQ(position, 12);
  std::vector<std::string> keys;
  for (const auto& [key, member] : dictionary) {
    SCOPED_TRACE(std::string(key));
    const JsonView expected = std::as_const(dictionary)[key];
    EXPECT_EQ(member.type(), expected.type());
    EXPECT_EQ(member.error(), expected.error());
    EXPECT_EQ(&member.managedJsonObject(), &expected.managedJsonObject());
    keys.emplace_back(key);
  }
  ASSERT_EQ(keys.size(), 12u);
  EXPECT_EQ(keys[3], "k3");
  EXPECT_EQ(dictionary.begin()[3].intValue(), -3);
  EXPECT_EQ(array.begin()[8].type(), JsonType::unknown);
  EXPECT_EQ(array.begin()[8].error(), JsonError::unsupportedType);
  EXPECT_EQ(array.begin()[2].type(), JsonType::bool_);
}

// The checks hold in every build, so these run whatever NDEBUG says.
TEST(JsonRangesDeathTest, ReadsOutsideTheMembersStop) {
  const Json array = Json::fromData("[1, 2]");
  const Json dictionary = Json::fromData(R"({"a": 1})");
  const Json emptyArray = Json::fromData("[]");
  const Json emptyDictionary = Json::fromData("{}");
  const Json scalar(5);
  EXPECT_DEATH((void)*array.end(), "Json iterator read at 2 outside the 2 members");
  EXPECT_DEATH((void)array.begin()[-1], "Json iterator read at -1 outside the 2 members");
  EXPECT_DEATH((void)*(array.begin() + 7), "Json iterator read at 7 outside the 2 members");
  EXPECT_DEATH((void)(*(dictionary.end() - 2)).key(), "Json iterator read at -1 outside the 1 members");
  EXPECT_DEATH((void)*dictionary.end(), "Json iterator read at 1 outside the 1 members");
  EXPECT_DEATH((void)*emptyArray.begin(), "Json iterator read at 0 outside the 0 members");
  EXPECT_DEATH((void)*emptyDictionary.begin(), "Json iterator read at 0 outside the 0 members");
  EXPECT_DEATH((void)*scalar.begin(), "Json iterator read at 0 outside the 0 members");
  // The last member and the first read fine.
  EXPECT_EQ((*(array.end() - 1)).intValue(), 2);
  EXPECT_EQ((*dictionary.begin()).key(), "a");
}

TEST(JsonRangesDeathTest, IteratorsOfTwoValuesDoNotCompare) {
  const Json a = Json::fromData("[1, 2]");
  const Json b = a;  // shares a's elements, yet is another value
  const Json emptyA = Json::fromData("[]");
  const Json emptyB = Json::fromData("[]");
  const Json dictionary = Json::fromData(R"({"a": 1})");
  const char* const message = "Iterators of two different sequences compared";
  EXPECT_DEATH((void)(a.begin() == b.begin()), message);
  EXPECT_DEATH((void)(a.end() - b.begin()), message);
  EXPECT_DEATH((void)(emptyA.begin() == emptyB.end()), message);
  EXPECT_DEATH((void)(a.begin() < dictionary.end()), message);
  // Views of one value walk one sequence, and so do its subscripts.
  const JsonView view = a;
  EXPECT_EQ(a.end() - view.begin(), 2);
  Json nested = Json::fromData(R"({"list": [1, 2, 3]})");
  EXPECT_EQ(std::as_const(nested)["list"].end() - nested["list"].begin(), 3);
}

TEST(JsonRangesDeathTest, ArrayPositionsOutsideTheElementsStop) {
  PlatformValue::Array array{1, 2};
  const PlatformValue::Array& constant = array;
  PlatformValue::Array empty;
  const PlatformValue::Array& constantEmpty = empty;
  EXPECT_DEATH((void)constant[2], "JsonArray index 2 outside its 2 elements");
  EXPECT_DEATH((void)array[2], "JsonArray index 2 outside its 2 elements");
  EXPECT_DEATH((void)constant[static_cast<std::size_t>(-1)], "JsonArray index -1 outside its 2 elements");
  EXPECT_DEATH((void)constantEmpty.front(), "JsonArray index 0 outside its 0 elements");
  EXPECT_DEATH((void)constantEmpty.back(), "JsonArray index -1 outside its 0 elements");
  EXPECT_DEATH((void)empty.back(), "JsonArray index -1 outside its 0 elements");
  EXPECT_DEATH(empty.pop_back(), "JsonArray index -1 outside its 0 elements");
  EXPECT_EQ(constant[1], PlatformValue(2));
  EXPECT_EQ(constant.back(), PlatformValue(2));
}

TEST(JsonRanges, EqualValuesHashEqually) {
  const std::pair<Json, Json> equal[] = {
      {Json(1), Json(1.0)},
      {Json(1), Json::fromData("1.0")},
      {Json(std::uint64_t{7}), Json(7)},
      {Json(-0.0), Json(0)},
      {Json("\u00e9"), Json("e\u0301")},
      {Json::fromData("18446744073709551616"), Json(18446744073709551616.0)},
      {Json::fromData(R"({"a": 1, "b": [1, 2]})"), Json::fromData(R"({"b": [1.0, 2], "a": 1})")},
      {Json::fromData(R"([[[[[[[[[[[1]]]]]]]]]]])"), Json::fromData(R"([[[[[[[[[[[1.0]]]]]]]]]]])")},
      {Json(), Json::null()},
  };
  for (const auto& [a, b] : equal) {
    SCOPED_TRACE(a.description());
    ASSERT_EQ(a, b);
    EXPECT_EQ(std::hash<Json>{}(a), std::hash<Json>{}(b));
  }
  EXPECT_NE(std::hash<Json>{}(Json(true)), std::hash<Json>{}(Json(1)));
}

TEST(JsonRanges, DistinctValuesSpreadOverHashes) {
  std::unordered_set<std::size_t> hashes;
  std::unordered_set<Json> values;
  for (int i = 0; i < 1000; ++i) {
    const std::string text =
        R"({"id": )" + std::to_string(i) + R"(, "tags": [")" + std::to_string(i % 7) + R"("]})";
    const Json value = Json::fromData(text);
    hashes.insert(std::hash<Json>{}(value));
    values.insert(value);
    values.insert(value);
  }
  EXPECT_EQ(values.size(), 1000u);
  EXPECT_GT(hashes.size(), 990u);
}

}  // namespace
}  // namespace vantrel
