// The JSON module against its own earlier behaviour: seeded random documents,
// valid and broken, read and written in every form, compared with a
// checked-in transcript (tests/data/json/transcript.txt; README.md beside it
// tells how it was made). For each document the transcript holds the read
// error (offset and message) or the value read, then each writer's text or
// the error it threw.
//
// Built with VANTREL_JSON_TRANSCRIPT_MAIN defined, this file is the program
// that writes a transcript: it reads the documents, one escaped document a
// line, on standard input and writes the transcript on standard output.
#ifndef VANTREL_JSON_TRANSCRIPT_MAIN
#include <gtest/gtest.h>

#include "tests/support/fixtures.h"
#include "vantrel/platform/posix/read_file.h"
#endif

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "vantrel/json/json.h"
#include "vantrel/json/json_writer.h"

namespace vantrel {
namespace {

// "\" as "\\", every byte outside 0x20-0x7E as "\xHH".
std::string escaped(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == '\\') {
      out += "\\\\";
    } else if (byte >= 0x20 && byte <= 0x7E) {
      out += c;
    } else {
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    }
  }
  return out;
}

std::optional<std::string> unescaped(std::string_view line) {
  std::string out;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] != '\\') {
      out += line[i];
    } else if (line.substr(i, 2) == "\\\\") {
      out += '\\';
      ++i;
    } else {
      unsigned byte = 0;
      const char* digits = line.data() + i + 2;
      if (line.substr(i, 2) != "\\x" || line.size() - i < 4 ||
          std::from_chars(digits, digits + 2, byte, 16).ptr != digits + 2) {
        return std::nullopt;
      }
      out += static_cast<char>(byte);
      i += 3;
    }
  }
  return out;
}

// Long texts (deep nesting laid out on lines) by their length and FNV-1a
// hash, the others as they are.
std::string shown(std::string_view text) {
  if (text.size() <= 240) return escaped(text);
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (const char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
  char digits[17];
  std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(hash));
  return std::to_string(text.size()) + " bytes, fnv1a " + digits;
}

void dumpValue(const PlatformValue& value, std::string& out) {
  switch (value.kind()) {
    case PlatformValue::Kind::null: out += "null"; return;
    case PlatformValue::Kind::number: {
      const JsonNumber& number = *value.number();
      switch (number.kind()) {
        case JsonNumber::Kind::boolean: out += "b:"; break;
        case JsonNumber::Kind::signedInteger: out += "i:"; break;
        case JsonNumber::Kind::unsignedInteger: out += "u:"; break;
        case JsonNumber::Kind::floating: out += "f:"; break;
        case JsonNumber::Kind::decimal: out += "d:"; break;
        default: out += "?:"; break;
      }
      out += number.stringValue();
      return;
    }
    case PlatformValue::Kind::text:
      out += '"';
      out += escaped(std::string_view(*value.text()));
      out += '"';
      return;
    case PlatformValue::Kind::array: {
      out += '[';
      bool first = true;
      for (const PlatformValue& element : *value.array()) {
        if (!first) out += ',';
        first = false;
        dumpValue(element, out);
      }
      out += ']';
      return;
    }
    case PlatformValue::Kind::dictionary: {
      const JsonDictionary& dictionary = *value.dictionary();
      out += '{';
      bool first = true;
      for (const auto& entry : dictionary) {
        if (!first) out += ',';
        first = false;
        const std::string_view key(entry.first);
        out += '"';
        out += escaped(key);
        out += "\"=";
        // A member that iteration meets but a lookup misses is marked.
        if (dictionary.find(key) != &entry.second) out += "(not found) ";
        dumpValue(entry.second, out);
      }
      out += "}#" + std::to_string(dictionary.size());
      return;
    }
    case PlatformValue::Kind::opaque: out += "opaque"; return;
  }
}

// One line per writer form: its text, or the error it threw.
std::string form(const char* name, const std::function<std::optional<std::string>()>& write) {
  std::string line = std::string(name) + ": ";
  try {
    const std::optional<std::string> text = write();
    line += text ? shown(*text) : std::string("(none)");
  } catch (const std::exception& e) {
    line += "throws ";
    line += e.what();
  }
  return line;
}

std::vector<std::string> transcriptOf(const std::string& document) {
  std::vector<std::string> lines{"document " + escaped(document)};
  Json json;
  try {
    json = Json::fromData(document);
  } catch (const JsonReadError& e) {
    lines.push_back("read error at " + std::to_string(e.offset()) + ": " + e.message());
    return lines;
  }
  std::string value;
  dumpValue(json.managedJsonObject(), value);
  lines.push_back("value " + shown(value));
  const PlatformValue& root = json.managedJsonObject();
  const std::vector<std::string> order{"name", "id", "", "z", "caf\xc3\xa9", "missing"};
  lines.push_back(form("writer tabs", [&] { return JsonWriter().string(root); }));
  lines.push_back(form("writer one line", [&] { return JsonWriter(std::nullopt).string(root); }));
  lines.push_back(form("writer unsorted", [&] { return JsonWriter(std::nullopt, false).string(root); }));
  lines.push_back(form("writer listed keys", [&] { return JsonWriter("  ", true, order).string(root); }));
  lines.push_back(form("system", [&] { return json.makeData(JsonWritingOptions::fragmentsAllowed); }));
  lines.push_back(form("system sorted", [&] {
    return json.makeData(JsonWritingOptions::sortedKeys.union_(JsonWritingOptions::fragmentsAllowed));
  }));
  lines.push_back(form("system pretty", [&] { return json.makeData(JsonWritingOptions::prettyPrinted); }));
  lines.push_back(form("system default", [&] { return json.makeStringSystem(); }));
  lines.push_back(form("compact", [&] { return json.makeStringCompact(); }));
  return lines;
}

#ifndef VANTREL_JSON_TRANSCRIPT_MAIN

struct Record {
  std::string document;
  std::vector<std::string> lines;
};

TEST(JsonTranscript, EveryFormAgreesWithTheTranscript) {
  VANTREL_REQUIRE_FIXTURES(fixtures);
  std::string text;
  ASSERT_FALSE(posix::readFile((fixtures / "json" / "transcript.txt").string(), text));
  std::vector<Record> records;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string_view line(text.data() + start, end - start);
    start = end + 1;
    if (line.empty() || line[0] == '#') continue;
    if (line.starts_with("document ")) {
      const std::optional<std::string> document = unescaped(line.substr(9));
      ASSERT_TRUE(document) << line;
      records.push_back({*document, {}});
    }
    ASSERT_FALSE(records.empty()) << line;
    records.back().lines.emplace_back(line);
  }
  ASSERT_GE(records.size(), 200u);
  std::size_t failed = 0;
  for (const Record& record : records) {
    const std::vector<std::string> lines = transcriptOf(record.document);
    if (lines != record.lines && ++failed <= 20) {
      std::string expected, actual;
      for (const auto& l : record.lines) expected += l + "\n";
      for (const auto& l : lines) actual += l + "\n";
      ADD_FAILURE() << "expected:\n" << expected << "actual:\n" << actual;
    }
  }
  EXPECT_EQ(failed, 0u) << "of " << records.size() << " documents";
}

#endif

}  // namespace
}  // namespace vantrel

#ifdef VANTREL_JSON_TRANSCRIPT_MAIN
int main() {
  std::string line;
  while (std::getline(std::cin, line)) {
    const std::optional<std::string> document = vantrel::unescaped(line);
    if (!document) {
      std::cerr << "not an escaped document: " << line << "\n";
      return 1;
    }
    for (const std::string& out : vantrel::transcriptOf(*document)) std::cout << out << "\n";
  }
  return 0;
}
#endif
