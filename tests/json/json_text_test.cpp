#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "tests/support/comma_locale.h"
#include "tests/support/fixtures.h"
#include "vantrel/core/describe.h"
#include "vantrel/json/json.h"

namespace vantrel {
namespace {

struct Stamp {
  long seconds = 0;
};

Json parse(std::string_view text) { return Json::fromParseString(text); }

Json nested(int depth, bool dictionaries) {
  PlatformValue value(1);
  for (int i = 0; i < depth; ++i) {
    value = dictionaries ? PlatformValue(JsonDictionary({{"a", value}})) : PlatformValue(PlatformValue::Array{value});
  }
  return Json(value);
}

const char* const kDocument = R"({"b":[1,2.5,{"x/y":"a/b"}],"a":{},"c":[],"d":null,"e":true,"f":"\n\"\u00e9"})";

TEST(JsonText, SystemTextLayouts) {
  struct Case {
    const char* name;
    std::optional<JsonWritingOptions> options;
    std::string text;
  };
  const Case cases[] = {
      {"default: sorted and pretty printed", std::nullopt,
       "{\n"
       "  \"a\" : {\n"
       "\n"
       "  },\n"
       "  \"b\" : [\n"
       "    1,\n"
       "    2.5,\n"
       "    {\n"
       "      \"x\\/y\" : \"a\\/b\"\n"
       "    }\n"
       "  ],\n"
       "  \"c\" : [\n"
       "\n"
       "  ],\n"
       "  \"d\" : null,\n"
       "  \"e\" : true,\n"
       "  \"f\" : \"\\n\\\"\u00e9\"\n"
       "}"},
      {"no options: one line in the dictionary's order", JsonWritingOptions(),
       R"({"b":[1,2.5,{"x\/y":"a\/b"}],"a":{},"c":[],"d":null,"e":true,"f":"\n\"é"})"},
      {"sorted, one line", JsonWritingOptions::sortedKeys,
       R"({"a":{},"b":[1,2.5,{"x\/y":"a\/b"}],"c":[],"d":null,"e":true,"f":"\n\"é"})"},
  };
  const Json value = parse(kDocument);
  for (const Case& c : cases) EXPECT_EQ(value.makeStringSystem(c.options), c.text) << c.name;
  EXPECT_EQ(value.makeData(), value.makeStringSystem(JsonWritingOptions()));
  EXPECT_EQ(parse("[[]]").makeStringSystem(), "[\n  [\n\n  ]\n]");
}

TEST(JsonText, SystemTextSortsKeysCanonically) {
  // "\u00e9" (é) sorts after "f" by scalar value; a key written decomposed
  // sorts the same way, and two spellings of one key keep a fixed order.
  const Json value = parse(R"({"f":1,"e\u0301":2,"\u00e9":3,"Z":4})");
  EXPECT_EQ(value.makeStringSystem(JsonWritingOptions::sortedKeys),
            "{\"Z\":4,\"f\":1,\"e\u0301\":2,\"\u00e9\":3}");
}

TEST(JsonText, SystemTextNumbers) {
  testing::ScopedCommaDecimalLocale comma;
  const Json value(PlatformValue(PlatformValue::Array{1.0, 0.1, 1e-5, 1e16, -0.0, std::int64_t{-9223372036854775807 - 1},
                                                      std::uint64_t{18446744073709551615u}, true,
                                                      *JsonNumber::fromToken("1e400")}));
  EXPECT_EQ(value.makeData(), "[1.0,0.1,1e-05,1e+16,-0.0,-9223372036854775808,18446744073709551615,true,1e400]");
}

TEST(JsonText, SystemTextRefusals) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_THROW_DESCRIPTION((void)Json(1).makeData(), JsonSerializationError, "Invalid top-level type in JSON write");
  EXPECT_THROW_DESCRIPTION((void)Json("x").makeStringSystem(), JsonSerializationError,
                           "Invalid top-level type in JSON write");
  EXPECT_EQ(Json("a/b").makeData(JsonWritingOptions::fragmentsAllowed), "\"a\\/b\"");
  EXPECT_EQ(Json().makeData(JsonWritingOptions::fragmentsAllowed), "null");
  EXPECT_THROW_DESCRIPTION((void)Json(PlatformValue::opaque(Stamp{})).makeData(JsonWritingOptions::fragmentsAllowed),
                           JsonSerializationError, "Invalid type in JSON write (unknown)");
  EXPECT_THROW_DESCRIPTION((void)Json(PlatformValue(PlatformValue::Array{nan})).makeData(), JsonSerializationError,
                           "Invalid number value (nan) in JSON write");
  EXPECT_THROW_DESCRIPTION((void)Json(PlatformValue(PlatformValue::Array{-inf})).makeData(), JsonSerializationError,
                           "Invalid number value (-inf) in JSON write");
  try {
    (void)Json(PlatformValue(PlatformValue::Array{PlatformValue::opaque(Stamp{})})).makeData();
    ADD_FAILURE() << "no throw";
  } catch (const JsonSerializationError& e) {
    EXPECT_EQ(e.kind(), JsonSerializationError::invalidType);
    EXPECT_TRUE(dynamic_cast<const Error*>(&e));
  }
  EXPECT_NO_THROW((void)nested(kMaxJsonDepth, false).makeData());
  EXPECT_THROW_DESCRIPTION((void)nested(kMaxJsonDepth + 1, true).makeData(), JsonSerializationError,
                           "JSON write nested deeper than 512 levels");
}

TEST(JsonText, CompactText) {
  struct Case {
    const char* name;
    Json value;
    std::optional<std::string> text;
  };
  const Case cases[] = {
      {"number", Json(5), "5"},
      {"double", Json(2.5), "2.5"},
      {"top-level text unquoted", Json("x\"y\\"), "x\"y\\"},
      {"bool", Json(false), "false"},
      {"null", Json(), "null"},
      {"unknown", Json(PlatformValue::opaque(Stamp{})), std::nullopt},
      {"array of every scalar", parse(R"({"a": [1, "x\"y", true, null]})"), R"({"a": [1,"x\"y",true,null]})"},
      {"backslash and line feed", parse(R"(["a\\b", "c\nd"])"), "[\"a\\\\b\",\"c\nd\"]"},
      {"empty array", parse("[]"), "[]"},
      {"empty dictionary", parse("{}"), "{}"},
      {"members in their order", parse(R"({"z":1,"a":{"b":"/"}})"), R"({"z": 1,"a": {"b": "/"}})"},
      {"keys escaped like texts", parse(R"({"k\"\\": 1})"), R"({"k\"\\": 1})"},
      {"unknown inside", Json(PlatformValue(PlatformValue::Array{1, PlatformValue::Array{PlatformValue::opaque(Stamp{})}})),
       std::nullopt},
      {"at the depth limit", nested(kMaxJsonDepth, false),
       std::string(kMaxJsonDepth, '[') + "1" + std::string(kMaxJsonDepth, ']')},
      {"deeper", nested(kMaxJsonDepth + 1, false), std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(c.value.makeStringCompact(), c.text) << c.name;
}

TEST(JsonText, Descriptions) {
  struct Case {
    Json value;
    std::string description;
    std::string debugDescription;
  };
  const Case cases[] = {
      {Json(5), "Json(type=number, content=5)", "Json(type=number)"},
      {Json("x"), "Json(type=string, content=x)", "Json(type=string)"},
      {Json(true), "Json(type=bool, content=true)", "Json(type=bool)"},
      {Json(), "Json(type=null, content=null)", "Json(type=null)"},
      {parse(R"({"a":[1]})"), R"(Json(type=dictionary, content={"a": [1]}))", "Json(type=dictionary)"},
      {parse("[]"), "Json(type=array, content=[])", "Json(type=array)"},
      {Json(PlatformValue::opaque(Stamp{})), "Json(type=unknown, content=Cannot makeString() of null)",
       "Json(type=unknown)"},
      {Json(PlatformValue(PlatformValue::Array{PlatformValue::opaque(Stamp{})})),
       "Json(type=array, content=Cannot makeString() of <array of 1>)", "Json(type=array)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.value.description(), c.description);
    EXPECT_EQ(describe(c.value), c.description);
    EXPECT_EQ(c.value.debugDescription(), c.debugDescription);
  }
}

TEST(JsonText, KeyPaths) {
  using Paths = ElementSet<std::string>;
  struct Case {
    const char* name;
    Json value;
    Paths paths;
  };
  const Case cases[] = {
      {"nested dictionary and array", parse(R"({"a":{"b":1},"c":[1,2]})"), {".a.b.number", ".c.array#2"}},
      {"text and null", parse(R"({"x":"s","y":{"z":null}})"), {".x.string", ".y.z.null"}},
      {"empty array", parse("[]"), {".array#0"}},
      {"array elements are not entered", parse(R"([{"a":1}])"), {".array#1"}},
      {"empty dictionary", parse("{}"), {}},
      {"empty dictionary inside", parse(R"({"a":{},"b":true})"), {".b.bool"}},
      {"scalars", Json(1.5), {".number"}},
      {"full stops in names stay", parse(R"({"a.b":1,"a":{"b":2}})"), {".a.b.number"}},
      {"unknown", Json(PlatformValue::opaque(Stamp{})), {".unknown"}},
      {"unknown member", Json(PlatformValue(JsonDictionary({{"d", PlatformValue::opaque(Stamp{})}}))),
       {".d.unknown"}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.value.collectKeyPaths(), c.paths) << c.name;
  EXPECT_EQ(collectKeyPaths(std::vector<Json>{parse(R"({"a":1})"), parse(R"({"b":true})")}),
            (Paths{".a.number", ".b.bool"}));
  EXPECT_EQ(collectKeyPaths(std::vector<Json>{}), Paths{});
}

TEST(JsonText, KeyPathsAreBoundedByTheReaderDepth) {
  EXPECT_EQ(nested(kMaxJsonDepth, true).collectKeyPaths().size(), 1u);
  EXPECT_THROW((void)nested(kMaxJsonDepth + 1, true).collectKeyPaths(), JsonDepthError);
}

TEST(JsonText, SystemTextReadsBackEqual) {
  const Json value = parse(kDocument);
  for (const auto& options : {JsonWritingOptions(), JsonWritingOptions::prettyPrinted,
                              JsonWritingOptions::sortedKeys.union_(JsonWritingOptions::prettyPrinted)}) {
    EXPECT_EQ(parse(value.makeStringSystem(options)), value);
  }
}

}  // namespace
}  // namespace vantrel
