// How values are held: texts in place or shared, a parsed document shared
// by what is taken from it, reads that copy nothing, and decimal numbers
// read to the nearest double.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "vantrel/json/json.h"

namespace vantrel {
namespace {

TEST(JsonValueModel, TextsOfEveryLengthAroundTheInlineLimit) {
  for (std::size_t length = 0; length <= 40; ++length) {
    std::string text(length, 'x');
    if (length > 0) text.back() = '\xc3', text += '\xa9';  // ends in a two-byte character
    const Json parsed = Json::fromData("[\"" + text + "\", {\"" + text + "\": 1}]");
    EXPECT_EQ(parsed[0].stringValue(), text) << length;
    EXPECT_EQ(parsed[1][text].intValue(), 1) << length;
    const JsonText held(text);
    const JsonText copy = held;
    EXPECT_EQ(copy.view(), text);
    EXPECT_EQ(Json(PlatformValue(text)).makeData(JsonWritingOptions::fragmentsAllowed), "\"" + text + "\"");
  }
}

TEST(JsonValueModel, ReadsOfANamedValueCopyNothing) {
  const Json document = Json::fromData(R"({"a": [{"b": "a text longer than the inline limit"}]})");
  const long holders = document["a"].managedJsonObject().shareCount();
  const JsonView leaf = document["a"][0]["b"];
  EXPECT_EQ(&leaf.managedJsonObject(), &document["a"][0]["b"].managedJsonObject());
  EXPECT_EQ(document["a"].managedJsonObject().shareCount(), holders);
  EXPECT_EQ(leaf.stringValue(), "a text longer than the inline limit");
  EXPECT_EQ(document("a", 0, "b"), leaf);
  EXPECT_EQ(document("a", 1, "b").error(), JsonError::invalidType);
  EXPECT_EQ(document("a", 1).error(), JsonError::indexOutOfBounds);
}

TEST(JsonValueModel, WhatIsTakenFromADocumentOutlivesIt) {
  Json member;
  Json text;
  {
    const Json document = Json::fromData(R"({"list": [1, 2, {"deep": "a long text, longer than fifteen bytes"}]})");
    member = document["list"];
    text = document["list"][2]["deep"];
    // A subscript of a value about to go is a copy, not a view.
    const Json taken = Json::fromData(R"({"k": "another text of some length"})")["k"];
    EXPECT_EQ(taken.stringValue(), "another text of some length");
  }
  EXPECT_EQ(member.makeData(), R"([1,2,{"deep":"a long text, longer than fifteen bytes"}])");
  EXPECT_EQ(text.stringValue(), "a long text, longer than fifteen bytes");
}

TEST(JsonValueModel, AChangeToAParsedValueStaysInItsCopy) {
  const Json document = Json::fromData(R"({"a": [1, 2], "b": {"c": 3}})");
  Json changed = document;
  changed["a"][0] = 10;
  changed["b"]["d"] = "new";
  EXPECT_EQ(document.makeData(JsonWritingOptions::sortedKeys), R"({"a":[1,2],"b":{"c":3}})");
  EXPECT_EQ(changed.makeData(JsonWritingOptions::sortedKeys), R"({"a":[10,2],"b":{"c":3,"d":"new"}})");
}

TEST(JsonValueModel, DuplicateKeysInParsedDictionariesKeepTheLastValueAtTheFirstPlace) {
  std::string large = "{";
  for (int i = 0; i < 40; ++i) large += "\"k" + std::to_string(i % 20) + "\": " + std::to_string(i) + ",";
  large.back() = '}';
  const std::pair<std::string, std::string> cases[] = {
      {R"({"a": 1, "b": 2, "a": 3})", R"({"a":3,"b":2})"},
      {R"({"a": 1, "a": 2, "a": 3})", R"({"a":3})"},
      {large, ""},
  };
  for (const auto& [text, expected] : cases) {
    const Json value = Json::fromData(text);
    if (!expected.empty()) {
      EXPECT_EQ(value.makeData(), expected) << text;
      continue;
    }
    ASSERT_EQ(value.count(), 20);
    int position = 0;
    for (const auto& [key, member] : value) {
      EXPECT_EQ(key, "k" + std::to_string(position));
      EXPECT_EQ(member.intValue(), position + 20);
      ++position;
    }
  }
}

// Seeded dictionaries of short keys, keys of 16 bytes and more, duplicates
// and "", read and built in code, against a model: one member per distinct
// key, at the place of its first pair, with the value of its last.
TEST(JsonValueModel, DictionariesKeepEveryDistinctKey) {
  const std::string longKeys[] = {"a_rather_long_key_beyond_inline", "sixteen_bytes_16", "seventeen_bytes_17",
                                  std::string(40, 'k')};
  std::mt19937_64 random(20261211);
  for (int round = 0; round < 4000; ++round) {
    const int count = static_cast<int>(random() % 40);
    std::vector<std::pair<std::string, int>> pairs;
    for (int i = 0; i < count; ++i) {
      std::string key;
      switch (random() % 5) {
        case 0: key = ""; break;
        case 1: key = longKeys[random() % std::size(longKeys)]; break;
        case 2: key = std::string(1, static_cast<char>('a' + random() % 6)); break;
        case 3: key = pairs.empty() ? "z" : pairs[random() % pairs.size()].first; break;
        default: key = "key" + std::to_string(random() % 30); break;
      }
      pairs.emplace_back(std::move(key), i);
    }
    std::vector<std::pair<std::string, int>> model;
    for (const auto& [key, value] : pairs) {
      auto at = std::find_if(model.begin(), model.end(), [&](const auto& p) { return p.first == key; });
      if (at == model.end()) {
        model.emplace_back(key, value);
      } else {
        at->second = value;
      }
    }
    std::string text = "{";
    std::vector<JsonDictionary::Entry> entries;
    JsonDictionary inserted;
    for (const auto& [key, value] : pairs) {
      text += (text.size() > 1 ? ",\"" : "\"") + key + "\":" + std::to_string(value);
      entries.emplace_back(key, value);
      inserted.insertOrAssign(key, value);
    }
    text += "}";
    const Json forms[] = {Json::fromData(text), Json(PlatformValue(JsonDictionary(std::move(entries)))),
                          Json(PlatformValue(std::move(inserted)))};
    for (const Json& value : forms) {
      SCOPED_TRACE(text);
      ASSERT_EQ(value.count(), static_cast<std::int64_t>(model.size()));
      std::size_t position = 0;
      for (const auto& [key, member] : value) {
        EXPECT_EQ(key, model[position].first);
        EXPECT_EQ(member.intValue(), model[position].second);
        ++position;
      }
      for (const auto& [key, expected] : model) {
        EXPECT_TRUE(value[key].exists()) << key;
        EXPECT_EQ(value[key].intValue(), expected) << key;
      }
      EXPECT_EQ(value[""].exists(), std::any_of(model.begin(), model.end(), [](const auto& p) { return p.first.empty(); }));
    }
  }
  // The case that first lost its "".
  const Json value = Json::fromParseString(
      R"({"a":0,"a":1,"a_rather_long_key_beyond_inline":2,"k":3,"t":4,"q":5,"r":6,"n":7,"y":8,"c":9,"":10})");
  EXPECT_EQ(value.count(), 10);
  EXPECT_EQ(value[""].intValue(), 10);
}

// Every short decimal reads to the double `from_chars` gives, bit for bit,
// including the ones the reader computes without it.
TEST(JsonValueModel, DecimalsReadToTheNearestDouble) {
  std::mt19937_64 random(20261211);
  for (int i = 0; i < 200000; ++i) {
    std::string token;
    if (random() % 2) token += '-';
    const int digits = 1 + static_cast<int>(random() % 19);
    std::string mantissa;
    for (int d = 0; d < digits; ++d) mantissa += static_cast<char>('0' + random() % 10);
    const int point = static_cast<int>(random() % (digits + 1));
    std::string whole = mantissa.substr(0, point);
    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
    token += (whole.empty() ? "0" : whole) + "." + mantissa.substr(point) + "0";
    if (random() % 3 == 0) token += "e" + std::to_string(static_cast<int>(random() % 60) - 30);
    double expected = 0;
    std::from_chars(token.data(), token.data() + token.size(), expected);
    const double read = Json::fromData(token).doubleValue();
    EXPECT_EQ(std::memcmp(&read, &expected, sizeof read), 0) << token;
  }
}

}  // namespace
}  // namespace vantrel
