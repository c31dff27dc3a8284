// Seeded random documents, read by this library and by RapidJSON's
// `Document`: the same accept or refuse and the same values, except where
// this library's rules differ on purpose (the later of two equal keys wins;
// numbers beyond 64-bit integers or the double range are kept as decimals;
// an escaped lone low surrogate is refused). Each accepted document then
// goes through the compact writer and reads back equal.
#include <gtest/gtest.h>
#include <rapidjson/document.h>
#include <rapidjson/error/en.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "vantrel/json/json.h"
#include "vantrel/json/json_writer.h"

namespace vantrel {
namespace {

class DocumentMaker {
 public:
  explicit DocumentMaker(std::uint32_t seed) : random_(seed) {}

  // A document, and whether it was broken on purpose.
  std::pair<std::string, bool> document() {
    std::string text;
    value(text, 0);
    const bool broken = chance(4);
    if (broken) corrupt(text);
    return {text, broken};
  }

 private:
  bool chance(int oneIn) { return std::uniform_int_distribution<int>(0, oneIn - 1)(random_) == 0; }
  int pick(int below) { return std::uniform_int_distribution<int>(0, below - 1)(random_); }
  void space(std::string& text) {
    static constexpr const char* kSpaces[] = {"", "", "", " ", "\n", "\t", "\r\n  "};
    text += kSpaces[pick(7)];
  }

  void value(std::string& text, int depth) {
    const int kind = depth > 5 ? 2 + pick(4) : pick(6);
    switch (kind) {
      case 0: {
        text += '[';
        const int n = pick(5);
        for (int i = 0; i < n; ++i) {
          if (i) text += ',';
          space(text);
          value(text, depth + 1);
          space(text);
        }
        text += ']';
        return;
      }
      case 1: {
        text += '{';
        const int n = pick(5);
        std::vector<std::string> keys;
        for (int i = 0; i < n; ++i) {
          if (i) text += ',';
          space(text);
          // Now and then a key that is there already.
          if (!keys.empty() && chance(4)) {
            text += keys[static_cast<std::size_t>(pick(static_cast<int>(keys.size())))];
          } else {
            std::string key;
            string(key);
            keys.push_back(key);
            text += key;
          }
          space(text);
          text += ':';
          space(text);
          value(text, depth + 1);
        }
        text += '}';
        return;
      }
      case 2: string(text); return;
      case 3: number(text); return;
      case 4: text += pick(2) ? "true" : "false"; return;
      default: text += "null"; return;
    }
  }

  void string(std::string& text) {
    static constexpr const char* kPieces[] = {
        "a",         "key",        "\\\"",        "\\\\",     "\\/",          "\\n",    "\\t",
        "\\b\\f\\r", "\\u0041",    "\\u00e9",     "\\u20AC",  "\\ud83d\\ude00", "\xC3\xA9", "\xE2\x82\xAC",
        "\xF0\x9F\x98\x80",       "\\u0000",     " ",        "\\uDBFF\\uDFFF", "z"};
    text += '"';
    const int n = pick(6);
    for (int i = 0; i < n; ++i) text += kPieces[pick(19)];
    text += '"';
  }

  void number(std::string& text) {
    static constexpr const char* kFixed[] = {
        "0",       "-0",          "1",          "-1",         "9223372036854775807", "-9223372036854775808",
        "9223372036854775808",   "18446744073709551615",     "18446744073709551616", "-9223372036854775809",
        "0.5",     "-0.0",        "1e2",        "1E-2",       "2.5e+3",     "1e308",  "1.7976931348623157e308",
        "4.9e-324", "1e-400",     "1e400",      "-1e309",     "123456789012345678901234567890",
        "0.1",     "3.141592653589793", "100000000000000000000000000000e-10"};
    switch (pick(3)) {
      case 0: text += kFixed[pick(25)]; return;
      case 1: text += std::to_string(static_cast<std::int64_t>(random_()) - (1LL << 31)); return;
      default: {
        if (chance(2)) text += '-';
        text += std::to_string(1 + pick(999));
        if (chance(2)) text += "." + std::to_string(pick(100000));
        if (chance(2)) text += (chance(2) ? "e" : "E") + std::to_string(pick(40) - 20);
        return;
      }
    }
  }

  void corrupt(std::string& text) {
    static constexpr const char* kBad[] = {",", "]", "}", "\"", "\xFF", "\xC3", "\\ud800", "\\udc00\"",
                                           "01", "1.", "-", "tru", "nul", "[", "{\"a\"", "1e"};
    const std::size_t at = text.empty() ? 0 : static_cast<std::size_t>(pick(static_cast<int>(text.size()) + 1));
    switch (pick(3)) {
      case 0: text.insert(at, kBad[pick(16)]); return;
      case 1: text.resize(at); return;
      default: text.insert(at, "\"\\ud800\"x"); return;
    }
  }

  std::mt19937 random_;
};

// RapidJSON keeps every member; this library the later value of a key, in
// the first one's place.
void expectSame(const rapidjson::Value& theirs, const PlatformValue& ours, const std::string& where) {
  SCOPED_TRACE(where);
  if (theirs.IsNull()) {
    EXPECT_TRUE(ours.isNull());
  } else if (theirs.IsBool()) {
    ASSERT_TRUE(ours.number() && ours.number()->isBool());
    EXPECT_EQ(ours.number()->boolValue(), theirs.GetBool());
  } else if (theirs.IsString()) {
    ASSERT_TRUE(ours.text());
    EXPECT_EQ(*ours.text(), std::string(theirs.GetString(), theirs.GetStringLength()));
  } else if (theirs.IsNumber()) {
    ASSERT_TRUE(ours.number());
    const JsonNumber& n = *ours.number();
    if (theirs.IsInt64()) {
      EXPECT_EQ(n.kind(), JsonNumber::Kind::signedInteger);
      EXPECT_EQ(n.exactly<std::int64_t>(), theirs.GetInt64());
    } else if (theirs.IsUint64()) {
      EXPECT_EQ(n.kind(), JsonNumber::Kind::unsignedInteger);
      EXPECT_EQ(n.exactly<std::uint64_t>(), theirs.GetUint64());
    } else if (n.kind() == JsonNumber::Kind::decimal) {
      // An integer beyond 64 bits: RapidJSON rounds it to a double.
      EXPECT_EQ(n.doubleValue(), theirs.GetDouble());
    } else {
      EXPECT_EQ(n.kind(), JsonNumber::Kind::floating);
      EXPECT_EQ(n.doubleValue(), theirs.GetDouble());
      EXPECT_EQ(std::signbit(n.doubleValue()), std::signbit(theirs.GetDouble()));
    }
  } else if (theirs.IsArray()) {
    ASSERT_TRUE(ours.array());
    ASSERT_EQ(ours.array()->size(), theirs.Size());
    for (rapidjson::SizeType i = 0; i < theirs.Size(); ++i) {
      expectSame(theirs[i], (*ours.array())[i], where + "[" + std::to_string(i) + "]");
    }
  } else {
    ASSERT_TRUE(ours.dictionary());
    std::vector<std::pair<std::string, const rapidjson::Value*>> expected;
    for (auto m = theirs.MemberBegin(); m != theirs.MemberEnd(); ++m) {
      const std::string key(m->name.GetString(), m->name.GetStringLength());
      bool seen = false;
      for (auto& [k, v] : expected) {
        if (k == key) v = &m->value, seen = true;
      }
      if (!seen) expected.emplace_back(key, &m->value);
    }
    const auto& entries = ours.dictionary()->entries();
    ASSERT_EQ(entries.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(entries[i].first, expected[i].first);
      expectSame(*expected[i].second, entries[i].second, where + "." + expected[i].first);
    }
  }
}

bool hasEscapedLoneLowSurrogate(const std::string& text) {
  std::size_t highEnd = std::string::npos;  // where the last escaped high surrogate ended
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '\\') continue;
    if (text[i + 1] != 'u' || i + 6 > text.size()) {
      ++i;  // another escape, "\\" included
      continue;
    }
    const unsigned unit = static_cast<unsigned>(std::stoul(text.substr(i + 2, 4), nullptr, 16));
    if (unit >= 0xDC00 && unit <= 0xDFFF && highEnd != i) return true;
    highEnd = unit >= 0xD800 && unit <= 0xDBFF ? i + 6 : std::string::npos;
    i += 5;
  }
  return false;
}

TEST(JsonDifferential, ReadsAsRapidJsonDoesAndRoundTrips) {
  constexpr unsigned kFlags =
      rapidjson::kParseValidateEncodingFlag | rapidjson::kParseIterativeFlag | rapidjson::kParseFullPrecisionFlag;
  DocumentMaker maker(20261211);
  int accepted = 0;
  int refused = 0;
  for (int round = 0; round < 3000; ++round) {
    const auto [text, broken] = maker.document();
    SCOPED_TRACE(text);
    rapidjson::Document theirs;
    theirs.Parse<kFlags>(text.data(), text.size());
    std::optional<Json> ours;
    try {
      ours = Json::fromData(text);
    } catch (const JsonReadError& error) {
      EXPECT_LE(error.offset(), text.size());
    }
    if (theirs.HasParseError()) {
      if (theirs.GetParseError() == rapidjson::kParseErrorNumberTooBig) {
        // Beyond the double range: kept as an exact decimal here. RapidJSON
        // stops there, before any fault further on.
        if (!broken) {
          EXPECT_TRUE(ours) << "refused";
        }
      } else {
        EXPECT_FALSE(ours) << "accepted; RapidJSON: " << rapidjson::GetParseError_En(theirs.GetParseError());
      }
    } else if (hasEscapedLoneLowSurrogate(text)) {
      EXPECT_FALSE(ours) << "an escaped lone low surrogate was accepted";
    } else {
      ASSERT_TRUE(ours) << "refused";
      expectSame(theirs, ours->managedJsonObject(), "$");
    }
    if (!ours) {
      ++refused;
      continue;
    }
    ++accepted;
    const PlatformValue root = PlatformValue(PlatformValue::Array{ours->managedJsonObject()});
    const std::string written = JsonWriter(std::nullopt, false).string(root);
    const Json back = Json::fromData(written);
    EXPECT_EQ(back.managedJsonObject(), root) << written;
    EXPECT_EQ(JsonWriter(std::nullopt, false).string(back.managedJsonObject()), written);
  }
  // Both outcomes are well represented.
  EXPECT_GT(accepted, 1500);
  EXPECT_GT(refused, 300);
}

}  // namespace
}  // namespace vantrel
