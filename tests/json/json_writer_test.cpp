#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "tests/support/comma_locale.h"
#include "vantrel/json/json.h"
#include "vantrel/json/json_writer.h"
#include "vantrel/text/escaping.h"

namespace vantrel {
namespace {

PlatformValue example() {
  return PlatformValue(JsonDictionary({{"b", PlatformValue::Array{1, 2}}, {"a", JsonDictionary()}, {"c", "x"}}));
}

TEST(JsonWriter, Layouts) {
  struct Case {
    const char* name;
    JsonWriter writer;
    PlatformValue root;
    std::string text;
  };
  Case cases[] = {
      {"indented", JsonWriter(), example(),
       "{\n\t\"a\" : {\n\t},\n\t\"b\" : [\n\t\t1,\n\t\t2\n\t],\n\t\"c\" : \"x\"\n}\n"},
      {"one line", JsonWriter(std::nullopt), example(), "{\"a\":{},\"b\":[1,2],\"c\":\"x\"}\n"},
      {"empty indentation", JsonWriter(""), example(), "{\n\"a\" : {\n},\n\"b\" : [\n1,\n2\n],\n\"c\" : \"x\"\n}\n"},
      {"empty array", JsonWriter(), PlatformValue(PlatformValue::Array{}), "[\n]\n"},
      {"empty array, one line", JsonWriter(std::nullopt), PlatformValue(PlatformValue::Array{}), "[]\n"},
      {"empty dictionary", JsonWriter(), PlatformValue(JsonDictionary()), "{\n}\n"},
      {"two blanks", JsonWriter("  "),
       PlatformValue(PlatformValue::Array{PlatformValue::Array{1}, PlatformValue::Array{}}),
       "[\n  [\n    1\n  ],\n  [\n  ]\n]\n"},
      {"sorted", JsonWriter(std::nullopt),
       PlatformValue(JsonDictionary({{"id", 1}, {"zeta", 2}, {"name", 3}, {"alpha", 4}})),
       "{\"alpha\":4,\"id\":1,\"name\":3,\"zeta\":2}\n"},
      {"caller's order first", JsonWriter(std::nullopt, true, std::vector<std::string>{"name", "id", "missing"}),
       PlatformValue(JsonDictionary({{"id", 1}, {"zeta", 2}, {"name", 3}, {"alpha", 4}})),
       "{\"name\":3,\"id\":1,\"alpha\":4,\"zeta\":2}\n"},
      {"own order", JsonWriter(std::nullopt, false, std::vector<std::string>{"name"}),
       PlatformValue(JsonDictionary({{"id", 1}, {"zeta", 2}, {"name", 3}})), "{\"id\":1,\"zeta\":2,\"name\":3}\n"},
      {"numbers", JsonWriter(std::nullopt),
       PlatformValue(PlatformValue::Array{1, true, false, 0, 1.0, 0.1, -2.5e-7, 1e300,
                                          *JsonNumber::fromToken("18446744073709551616"),
                                          *JsonNumber::fromToken("-5444840000000000000000000000000000000000e350"),
                                          nullptr}),
       "[1,true,false,0,1.0,0.1,-2.5e-07,1e+300,18446744073709551616,-5444840000000000000000000000000000000000e350,"
       "null]\n"},
      {"escapes in keys and values", JsonWriter(std::nullopt),
       PlatformValue(JsonDictionary(std::vector<JsonDictionary::Entry>{{"k\"\n\x01", "v\"\\\r\n\t\x1f\x7f/\u00e9"}})),
       "{\"k\\\"\\n\\u0001\":\"v\\\"\\\\\\r\\n\\t\\u001f\x7f/\u00e9\"}\n"},
  };
  for (Case& c : cases) EXPECT_EQ(c.writer.string(c.root), c.text) << c.name;
}

TEST(JsonWriter, NumbersIgnoreTheLocale) {
  testing::ScopedCommaDecimalLocale locale;
  EXPECT_EQ(JsonWriter(std::nullopt).string(PlatformValue(PlatformValue::Array{1.5})), "[1.5]\n");
}

TEST(JsonWriter, Failures) {
  struct Other {};
  struct Case {
    PlatformValue root;
    JsonWriterError::Case kind;
    std::string description;
  };
  PlatformValue deep;
  for (int i = 0; i < 513; ++i) deep = PlatformValue(PlatformValue::Array{deep});
  const Case cases[] = {
      {PlatformValue("text"), JsonWriterError::invalidRootObject, "invalidRootObject"},
      {PlatformValue(1), JsonWriterError::invalidRootObject, "invalidRootObject"},
      {PlatformValue(), JsonWriterError::invalidRootObject, "invalidRootObject"},
      {PlatformValue(PlatformValue::Array{PlatformValue::opaque(Other{})}), JsonWriterError::invalidValue,
       "invalidValue(vantrel::(anonymous namespace)::JsonWriter_Failures_Test::TestBody()::Other)"},
      {PlatformValue(PlatformValue::Array{std::numeric_limits<double>::quiet_NaN()}), JsonWriterError::invalidValue,
       "invalidValue(nan)"},
      {PlatformValue(JsonDictionary(std::vector<JsonDictionary::Entry>{{"a", -std::numeric_limits<double>::infinity()}})),
       JsonWriterError::invalidValue, "invalidValue(-inf)"},
      {deep, JsonWriterError::nestingTooDeep, "nestingTooDeep"},
  };
  for (const Case& c : cases) {
    try {
      (void)JsonWriter::classString(c.root);
      ADD_FAILURE() << c.description;
    } catch (const JsonWriterError& error) {
      EXPECT_EQ(error.kind(), c.kind);
      EXPECT_EQ(error.description(), c.description);
    }
  }
}

TEST(JsonWriter, AWriterAppendsAndRecoversFromAFailedCall) {
  JsonWriter writer(std::nullopt);
  EXPECT_EQ(writer.string(PlatformValue(PlatformValue::Array{1})), "[1]\n");
  EXPECT_EQ(writer.string(PlatformValue(PlatformValue::Array{2})), "[1]\n[2]\n");
  const PlatformValue bad(PlatformValue::Array{PlatformValue::Array{PlatformValue::Array{
      std::numeric_limits<double>::infinity()}}});
  EXPECT_THROW((void)writer.string(bad), JsonWriterError);
  // No half-written text and no depth left over from the failed call.
  JsonWriter indented("  ");
  EXPECT_THROW((void)indented.string(bad), JsonWriterError);
  EXPECT_EQ(indented.string(PlatformValue(PlatformValue::Array{1})), "[\n  1\n]\n");
  EXPECT_EQ(writer.string(PlatformValue(PlatformValue::Array{3})), "[1]\n[2]\n[3]\n");
  EXPECT_EQ(JsonWriter::classString(PlatformValue(PlatformValue::Array{1})), "[\n\t1\n]\n");
  EXPECT_EQ(JsonWriter::classString(PlatformValue(PlatformValue::Array{1})), "[\n\t1\n]\n");
}

// A writer remembers key orders per depth and adds depths as it first
// meets them, while the orders of the dictionaries around are in use.
TEST(JsonWriter, AReusedWriterSortsEachDepthItMeetsLater) {
  JsonWriter writer(std::nullopt);
  EXPECT_EQ(writer.string(Json::fromData(R"({"b": 1, "a": 2})").managedJsonObject()), "{\"a\":2,\"b\":1}\n");
  const Json deeper = Json::fromData(
      R"({"d": {"z": {"y": 1, "x": [{"k": 1, "j": 2}]}, "c": 3}, "b": {"q": {"s": 1, "r": 2}}, "a": 0})");
  const std::string sorted = R"({"a":0,"b":{"q":{"r":2,"s":1}},"d":{"c":3,"z":{"x":[{"j":2,"k":1}],"y":1}}})";
  EXPECT_EQ(writer.string(deeper.managedJsonObject()), "{\"a\":2,\"b\":1}\n" + sorted + "\n");
  EXPECT_EQ(writer.string(deeper.managedJsonObject()),
            "{\"a\":2,\"b\":1}\n" + sorted + "\n" + sorted + "\n");
}

TEST(JsonWriter, WritesAJson) {
  const Json value = Json::fromParseString(R"({"id": 1, "name": "n", "b": true})");
  EXPECT_EQ(value.makeStringJsonWriter("  ", std::vector<std::string>{"name"}),
            "{\n  \"name\" : \"n\",\n  \"b\" : true,\n  \"id\" : 1\n}\n");
  EXPECT_THROW((void)Json(1).makeStringJsonWriter(), JsonWriterError);
  EXPECT_THROW((void)Json::fromArrayLiteral({PlatformValue::opaque(Json(1))}).makeStringJsonWriter(),
               JsonWriterError);
}

// Texts are checked a word at a time: specials at every place within a word,
// texts shorter and longer than one, and ill-formed UTF-8 (replaced by
// U+FFFD) must come out as the text helper escapes them.
TEST(JsonWriter, EscapesLikeTheTextHelperWherever) {
  const std::string specials[] = {"\"", "\\", "\n", "\x01", "\x1f", "\x7f", "\u00e9", "\u65e5",
                                  "\xF0\x9F\x98\x80", "\xC3", "\xE6\x97", "\xED\xA0\x80", "\xC0\xAF", "\xFF"};
  PlatformValue::Array texts;
  std::string want = "[";
  for (const std::string& special : specials) {
    for (std::size_t before = 0; before < 18; ++before) {
      for (const std::size_t after : {0, 1, 7, 9}) {
        const std::string text = std::string(before, 'a') + special + std::string(after, 'b');
        want += (texts.empty() ? "\"" : ",\"") + stringEncodedForJson(text) + "\"";
        texts.emplace_back(text);
      }
    }
  }
  EXPECT_EQ(JsonWriter(std::nullopt).string(PlatformValue(texts)), want + "]\n");
}

// Dictionaries of one shape share a key order; each must still get its own
// keys sorted, whatever came before it at its depth.
TEST(JsonWriter, SortsEachDictionaryAmongOthersOfItsDepth) {
  auto record = [](std::vector<JsonDictionary::Entry> pairs) { return PlatformValue(JsonDictionary(std::move(pairs))); };
  const PlatformValue root(PlatformValue::Array{
      record({{"b", 1}, {"a", 2}}), record({{"b", 3}, {"a", 4}}), record({{"d", 5}, {"c", 6}}),
      record({{"a", 7}, {"b", 8}}), record({{"y", 1}, {"x", 2}, {"w", 3}}), record({{"f", 1}, {"e", 2}}),
      record({{"h", 1}, {"g", 2}}), record({{"j", 1}, {"i", 2}}), record({{"b", 9}, {"a", 0}}),
      record({{"s", 1}, {"r", 2}, {"q", 3}, {"p", 4}, {"o", 5}, {"n", 6}, {"m", 7}, {"l", 8}, {"k", 9},
              {"j", 10}, {"i", 11}, {"h", 12}, {"g", 13}, {"f", 14}, {"e", 15}, {"d", 16}, {"c", 17}, {"b", 18}}),
  });
  const std::string want =
      "[{\"a\":2,\"b\":1},{\"a\":4,\"b\":3},{\"c\":6,\"d\":5},{\"a\":7,\"b\":8},{\"w\":3,\"x\":2,\"y\":1},"
      "{\"e\":2,\"f\":1},{\"g\":2,\"h\":1},{\"i\":2,\"j\":1},{\"a\":0,\"b\":9},"
      "{\"b\":18,\"c\":17,\"d\":16,\"e\":15,\"f\":14,\"g\":13,\"h\":12,\"i\":11,\"j\":10,\"k\":9,\"l\":8,"
      "\"m\":7,\"n\":6,\"o\":5,\"p\":4,\"q\":3,\"r\":2,\"s\":1}]\n";
  JsonWriter writer(std::nullopt);
  EXPECT_EQ(writer.string(root), want);
  // A second call on the same writer starts from nothing remembered.
  const PlatformValue other(PlatformValue::Array{record({{"b", 1}, {"a", 2}}), record({{"a", 1}, {"b", 2}})});
  EXPECT_EQ(writer.string(other), want + "[{\"a\":2,\"b\":1},{\"a\":1,\"b\":2}]\n");
  EXPECT_EQ(JsonWriter(std::nullopt, true, std::vector<std::string>{"b"}).string(root).substr(0, 40),
            "[{\"b\":1,\"a\":2},{\"b\":3,\"a\":4},{\"c\":6,\"d\":");
}

// Every way out of a writer gives the same text, and none keeps much room
// beyond it: many short results must not each hold a large buffer.
TEST(JsonWriter, EveryEntryPointGivesItsTextSizedToIt) {
  const Json small = Json::fromParseString(R"({"name": "n", "id": 12345678})");
  const PlatformValue& root = small.managedJsonObject();
  const std::string text = "{\n\t\"id\" : 12345678,\n\t\"name\" : \"n\"\n}\n";
  PlatformValue::Array records;
  for (int i = 0; i < 2000; ++i) records.push_back(root);
  const PlatformValue large(records);
  JsonWriter named;
  JsonWriter reused(std::nullopt);
  (void)reused.string(large);
  struct Case {
    const char* name;
    std::function<std::string()> write;
    std::optional<std::string> text;  // when it is not `text`
  };
  const Case cases[] = {
      {"string", [&] { return JsonWriter().string(root); }, {}},
      {"string of a named writer", [&] { return named.string(root); }, {}},
      {"data", [&] { return JsonWriter().data(root); }, {}},
      {"data of a named writer", [&] {
         JsonWriter writer;
         return writer.data(root);
       }, {}},
      {"classString", [&] { return JsonWriter::classString(root); }, {}},
      {"classData", [&] { return JsonWriter::classData(root); }, {}},
      {"makeStringJsonWriter", [&] { return small.makeStringJsonWriter(); }, {}},
      {"makeStringSystem", [&] { return small.makeStringSystem(); }, "{\n  \"id\" : 12345678,\n  \"name\" : \"n\"\n}"},
      {"makeData", [&] { return small.makeData(); }, "{\"name\":\"n\",\"id\":12345678}"},
      {"makeStringCompact", [&] { return *small.makeStringCompact(); }, "{\"name\": \"n\",\"id\": 12345678}"},
      {"description", [&] { return small.description(); },
       "Json(type=dictionary, content={\"name\": \"n\",\"id\": 12345678})"},
      {"a long description", [&] { return Json(large).description(); }, {}},
      {"a long text", [&] { return JsonWriter(std::nullopt).string(large); }, {}},
      {"a second long text appended", [&] { return std::move(reused).string(large); }, {}},
  };
  for (const Case& c : cases) {
    const std::string written = c.write();
    if (c.text) {
      EXPECT_EQ(written, *c.text) << c.name;
    } else if (written.size() < 100) {
      EXPECT_EQ(written, text) << c.name;
    }
    EXPECT_LE(written.capacity(), written.size() + written.size() / 8 + 32) << c.name << ": " << written.size();
  }
}

TEST(JsonWriter, WritesACharacterAsItsInteger) {
  EXPECT_EQ(JsonWriter(std::nullopt).string(PlatformValue(PlatformValue::Array{JsonNumber::fromChar('a')})),
            "[97]\n");
}

}  // namespace
}  // namespace vantrel
