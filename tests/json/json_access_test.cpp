#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "vantrel/core/console.h"
#include "vantrel/json/json.h"

namespace vantrel {
namespace {

struct Stamp {
  long seconds = 0;
};

Json parse(std::string_view text) { return Json::fromParseString(text); }

// A value of tag unknown, as a date makes one.
Json unknownValue() { return Json(PlatformValue::opaque(Stamp{})); }

Json nestedDictionaries(int depth) {
  PlatformValue value(1);
  for (int i = 0; i < depth; ++i) value = PlatformValue(JsonDictionary({{"a", value}}));
  return Json(value);
}

TEST(JsonAccess, ReadsNeverFail) {
  const Json dictionary = parse(R"({"a": 1})");
  const Json array = parse("[10, 20]");
  struct Case {
    const char* name;
    Json read;
    Json value;
    std::optional<JsonError::Case> error;
  };
  const Case cases[] = {
      {"key", dictionary["a"], Json(1), std::nullopt},
      {"missing key", dictionary["b"], Json(), JsonError::notExist},
      {"index of a dictionary", dictionary[0], Json(), JsonError::invalidType},
      {"step after a missing key", dictionary[JsonPath{"b", "c"}], Json(), JsonError::invalidType},
      {"index", array[1], Json(20), std::nullopt},
      {"index at the end", array[2], Json(), JsonError::indexOutOfBounds},
      {"negative index", array[-1], Json(), JsonError::indexOutOfBounds},
      {"key of an array", array["x"], Json(), JsonError::invalidType},
      {"variadic path", parse(R"({"a": [{"b": true}]})")("a", 0, "b"), Json(true), std::nullopt},
      {"key of a number", Json(5)["a"], Json(), JsonError::invalidType},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.read, c.value) << c.name;
    EXPECT_EQ(c.read.type(), c.value.type()) << c.name;
    EXPECT_EQ(c.read.error(), c.error) << c.name;
  }
}

TEST(JsonAccess, EmptyPathReadsTheValueWithItsError) {
  const Json missing = Json::null(JsonError::notExist);
  EXPECT_EQ(missing[JsonPath{}].error(), JsonError::notExist);
  EXPECT_EQ(parse("[1]")[JsonPath{}], parse("[1]"));
}

TEST(JsonAccess, PathWrites) {
  struct Case {
    const char* name;
    std::string document;
    std::function<void(Json&)> write;
    std::string after;    // JSON text; the document itself when unchanged
    std::string message;  // what the write prints
  };
  const std::string dict = R"({"a":1})";
  const std::string arr = "[10,20]";
  const Case cases[] = {
      {"adds a key", dict, [](Json& j) { j["b"] = 5; }, R"({"a":1,"b":5})", ""},
      {"replaces a key", dict, [](Json& j) { j["a"] = "x"; }, R"({"a":"x"})", ""},
      {"replaces an element", arr, [](Json& j) { j[1] = true; }, "[10,true]", ""},
      {"nested key", R"({"a":{"b":1}})", [](Json& j) { j["a"]["c"] = 2; }, R"({"a":{"b":1,"c":2}})", ""},
      {"nested path", R"({"a":[{"b":1}]})", [](Json& j) { j("a", 0, "b") = nullptr; }, R"({"a":[{"b":null}]})",
       ""},
      {"array path", R"({"a":[{"b":1}]})", [](Json& j) { j[JsonPath{"a", 0}] = 3; }, R"({"a":[3]})", ""},
      {"unknown value stores null", dict, [](Json& j) { j["a"] = unknownValue(); }, R"({"a":null})", ""},
      {"missing intermediate key", dict, [](Json& j) { j["x"]["y"] = 5; }, dict,
       "Json.subscript(key:\"y\") on type null\n"},
      {"key of a number", dict, [](Json& j) { j["a"]["y"] = 5; }, dict, "Json.subscript(key:\"y\") on type number\n"},
      {"index at the end", arr, [](Json& j) { j[2] = 5; }, arr, "Json.subscript(index:2 set out of bounds: 2\n"},
      {"negative index", arr, [](Json& j) { j[-1] = 5; }, arr, "Json.subscript(index:-1 set out of bounds: 2\n"},
      {"index of a string", R"("s")", [](Json& j) { j[0] = 5; }, R"("s")", "Json.subscript(index:0 set on type string\n"},
      {"key of an array", arr, [](Json& j) { j["k"] = 5; }, arr, "Json.subscript(key:\"k\") on type array\n"},
      {"deep failure leaves the top alone", R"({"a":{"b":[1]}})", [](Json& j) { j("a", "b", 3) = 5; },
       R"({"a":{"b":[1]}})", "Json.subscript(index:3 set out of bounds: 1\n"},
      {"empty path", dict, [](Json& j) { j[JsonPath{}] = 5; }, dict, ""},
  };
  for (const Case& c : cases) {
    Json value = parse(c.document);
    ConsoleCapture capture;
    c.write(value);
    EXPECT_EQ(capture.standardOutput(), c.message) << c.name;
    EXPECT_EQ(value.makeData(JsonWritingOptions::fragmentsAllowed), c.after) << c.name;
  }
}

TEST(JsonAccess, SubscriptResultsSeeTheirWrites) {
  Json value = parse(R"({"a":{"b":1}})");
  auto member = value["a"];
  member["b"] = 2;
  EXPECT_EQ(value["a"]["b"].intValue(), 2);
  value["c"] = value["a"];
  EXPECT_EQ(value.makeData(), R"({"a":{"b":2},"c":{"b":2}})");
  // Stored as a Json, a member is a copy.
  Json copy = value["a"];
  copy.setManagedJsonObject(PlatformValue(7));
  EXPECT_EQ(value["a"]["b"].intValue(), 2);
}

TEST(JsonAccess, ModifyAndMergeThroughASubscript) {
  Json value = parse(R"({"list":[1],"n":1})");
  value["list"].merge(parse("[2]"));
  value.modify(JsonPath{"n"}, [](Json& n) { n = Json(n.intValue() + 1); });
  value["n"].modify([](Json& n) { n = Json(n.intValue() * 10); });
  EXPECT_EQ(value.makeData(), R"({"list":[1,2],"n":20})");
}

TEST(JsonAccess, ACopyIsIndependentOfWrites) {
  Json original = parse(R"({"a":{"b":1}})");
  const Json copy = original;
  original["a"]["b"] = 2;
  EXPECT_EQ(copy["a"]["b"].intValue(), 1);
}

TEST(JsonAccess, Iteration) {
  // An array yields its elements (their keys empty), a dictionary its
  // values with their keys; the named pairs stay behind `Index`.
  std::vector<Json> elements;
  for (const auto& element : parse(R"([true, "x"])")) {
    EXPECT_EQ(element.key(), "");
    elements.emplace_back(element);
  }
  EXPECT_EQ(elements, (std::vector<Json>{Json(true), Json("x")}));

  std::vector<std::string> members;
  for (const auto& [key, member] : parse(R"({"z": 1, "a": 2})")) {
    members.push_back(std::string(key) + "=" + member.stringValue());
  }
  EXPECT_EQ(members, (std::vector<std::string>{"z=1", "a=2"}));
  const Json pairs = parse(R"([true, "x"])");
  EXPECT_EQ(pairs[Json::Index::array(1)].first, "1");
  EXPECT_EQ(pairs[Json::Index::array(1)].second, Json("x"));

  for (const Json& scalar : {Json(5), Json(), Json("text")}) {
    EXPECT_EQ(scalar.count(), 0);
    EXPECT_EQ(scalar.begin(), scalar.end());
    EXPECT_EQ(scalar.startIndex(), Json::Index::null());
  }
  const Json array = parse("[1,2,3]");
  EXPECT_EQ(array.count(), 3);
  EXPECT_EQ(array.indexAfter(array.startIndex()), Json::Index::array(1));
  EXPECT_EQ(array.endIndex(), Json::Index::array(3));
}

TEST(JsonAccess, IndexOrder) {
  EXPECT_LT(Json::Index::array(1), Json::Index::array(2));
  EXPECT_LT(Json::Index::dictionary(0), Json::Index::dictionary(1));
  EXPECT_NE(Json::Index::array(0), Json::Index::dictionary(0));
  EXPECT_FALSE(Json::Index::array(0) < Json::Index::dictionary(1));
  EXPECT_FALSE(Json::Index::null() < Json::Index::null());
  EXPECT_EQ(Json::Index::null(), Json::Index::null());
}

TEST(JsonAccessDeathTest, PositionOutsideTheValueStops) {
  const Json array = parse("[1]");
  EXPECT_DEATH((void)array[array.endIndex()], "Json index 1 outside the 1 members of the array value");
  // Positions of another case than the value's, the null one included
  // (where a value with no members starts and ends).
  struct Case {
    Json value;
    Json::Index index;
    const char* message;
  };
  const Case cases[] = {
      {parse("[1]"), Json::Index::null(), "Json null index read in the array value"},
      {parse(R"({"a": 1})"), Json::Index::null(), "Json null index read in the dictionary value"},
      {Json(5), Json::Index::null(), "Json null index read in the number value"},
      {Json(), Json::Index::null(), "Json null index read in the null value"},
      {parse(R"({"a": 1})"), Json::Index::array(0), "Json index 0 outside the 1 members of the dictionary value"},
      {parse("[1]"), Json::Index::dictionary(0), "Json index 0 outside the 1 members of the array value"},
  };
  for (const Case& c : cases) EXPECT_DEATH((void)c.value[c.index], c.message) << c.value.description();
}

TEST(JsonAccess, Comparisons) {
  struct Case {
    const char* name;
    Json a;
    Json b;
    bool eq, lt, le, gt, ge;
  };
  const Case cases[] = {
      {"1 and 1.0", Json(1), Json(1.0), true, false, true, false, true},
      {"1 and 2.5", Json(1), Json(2.5), false, true, true, false, false},
      {"1 and true", Json(1), Json(true), false, false, false, false, false},
      {"unsigned above signed", Json(std::uint64_t{18446744073709551615u}), Json(-1), false, false, false, true, true},
      {"two unknown values", unknownValue(), unknownValue(), false, false, false, false, false},
      {"two nulls", Json(), Json(), true, false, true, false, true},
      {"a and b", Json("a"), Json("b"), false, true, true, false, false},
      {"canonically equal texts", Json("\u00e9"), Json("e\u0301"), true, false, true, false, true},
      {"non-ASCII order", Json("\u00e9"), Json("f"), false, false, false, true, true},
      {"true and true", Json(true), Json(true), true, false, true, false, true},
      {"true and false", Json(true), Json(false), false, false, false, false, false},
      {"[1] and [1]", parse("[1]"), parse("[1]"), true, false, true, false, true},
      {"[1] and [2]", parse("[1]"), parse("[2]"), false, false, false, false, false},
      {"dictionaries in another order", parse(R"({"a":1,"b":2})"), parse(R"({"b":2,"a":1.0})"), true, false, true,
       false, true},
      {"text and number", Json("1"), Json(1), false, false, false, false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.a == c.b, c.eq) << c.name;
    EXPECT_EQ(c.a != c.b, !c.eq) << c.name;
    EXPECT_EQ(c.a < c.b, c.lt) << c.name;
    EXPECT_EQ(c.a <= c.b, c.le) << c.name;
    EXPECT_EQ(c.a > c.b, c.gt) << c.name;
    EXPECT_EQ(c.a >= c.b, c.ge) << c.name;
  }
}

TEST(JsonAccess, DeepValuesCompareWithoutRecursion) {
  PlatformValue a(1), b(1);
  for (int i = 0; i < 2000; ++i) {
    a = PlatformValue(PlatformValue::Array{a});
    b = PlatformValue(PlatformValue::Array{b});
  }
  EXPECT_EQ(Json(a), Json(b));
}

TEST(JsonAccess, MergeResults) {
  struct Case {
    const char* name;
    std::string receiver;
    std::string other;
    std::string merged;
  };
  const Case cases[] = {
      {"dictionaries", R"({"a":{"x":1},"b":1})", R"({"a":{"y":2},"b":"s"})", R"({"a":{"x":1,"y":2},"b":"s"})"},
      {"member of another kind replaced", R"({"a":[1]})", R"({"a":{"k":1}})", R"({"a":{"k":1}})"},
      {"arrays inside dictionaries", R"({"a":[1]})", R"({"a":[2]})", R"({"a":[1,2]})"},
      {"arrays", "[1,2]", "[3]", "[1,2,3]"},
      {"numbers", "1", "2", "2"},
      {"texts", R"("a")", R"("b")", R"("b")"},
      {"booleans", "true", "false", "false"},
      {"nulls", "null", "null", "null"},
  };
  for (const Case& c : cases) {
    Json value = parse(c.receiver);
    value.merge(parse(c.other));
    EXPECT_EQ(value.makeData(JsonWritingOptions::fragmentsAllowed), c.merged) << c.name;
    EXPECT_FALSE(value.error()) << c.name;
  }
  Json array = parse("[1,2]");
  array.merge(parse("[3]"));
  EXPECT_EQ(array[0], Json(1));
}

TEST(JsonAccess, MergeOfDifferentTagsThrowsAndKeepsTheValue) {
  const Json values[] = {Json(1), Json("a"), Json(true), Json(), parse("[1]"), parse(R"({"a":1})")};
  for (const Json& receiver : values) {
    for (const Json& other : values) {
      if (receiver.type() == other.type()) continue;
      Json value = receiver;
      EXPECT_THROW(value.merge(other), JsonError) << receiver.description() << " " << other.description();
      EXPECT_EQ(value, receiver);
    }
  }
}

TEST(JsonAccess, MergedLeavesTheReceiver) {
  const Json receiver = parse(R"({"a":1})");
  EXPECT_EQ(receiver.merged(parse(R"({"b":2})")), parse(R"({"a":1,"b":2})"));
  EXPECT_EQ(receiver, parse(R"({"a":1})"));
  EXPECT_THROW((void)receiver.merged(Json(1)), JsonError);
}

TEST(JsonAccess, MergeIsBoundedByTheReaderDepth) {
  Json deepest = nestedDictionaries(kMaxJsonDepth);
  EXPECT_NO_THROW(deepest.merge(nestedDictionaries(kMaxJsonDepth)));
  Json tooDeep = nestedDictionaries(kMaxJsonDepth + 1);
  const Json before = tooDeep;
  EXPECT_THROW(tooDeep.merge(nestedDictionaries(kMaxJsonDepth + 1)), JsonDepthError);
  EXPECT_EQ(tooDeep, before);
}

}  // namespace
}  // namespace vantrel
