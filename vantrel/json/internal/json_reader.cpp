#include "vantrel/json/internal/json_reader.h"

#include <rapidjson/error/en.h>
#include <rapidjson/memorystream.h>
#include <rapidjson/reader.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "vantrel/json/json.h"
#include "vantrel/text/string_services.h"

namespace vantrel::json_internal {
namespace {

// RapidJSON's event reader builds the value here. It parses iteratively (its
// stack lives on the heap), so only this handler bounds the depth.
class Builder {
 public:
  bool Null() { return push(PlatformValue()); }
  bool Bool(bool b) { return push(PlatformValue(b)); }
  // Numbers arrive as their tokens (kParseNumbersAsStringsFlag).
  bool Int(int i) { return push(PlatformValue(i)); }
  bool Uint(unsigned u) { return push(PlatformValue(u)); }
  bool Int64(std::int64_t i) { return push(PlatformValue(i)); }
  bool Uint64(std::uint64_t u) { return push(PlatformValue(u)); }
  bool Double(double d) { return push(PlatformValue(d)); }
  bool RawNumber(const char* text, rapidjson::SizeType length, bool) {
    // RapidJSON has checked the syntax.
    const std::string_view token(text, length);
    bool integral = true;
    for (const char c : token) integral = integral && c != '.' && c != 'e' && c != 'E';
    return push(PlatformValue(JsonNumber::fromValidToken(token, integral)));
  }
  Builder() {
    values_.reserve(256);
    keys_.reserve(256);
  }

  bool String(const char* text, rapidjson::SizeType length, bool) {
    const std::string_view s(text, length);
    // RapidJSON writes an escaped lone low surrogate as its three bytes.
    if (!isValidUtf8(s)) return fail("Invalid escaped surrogate in string.");
    return push(PlatformValue(s));
  }
  bool Key(const char* text, rapidjson::SizeType length, bool) {
    const std::string_view s(text, length);
    if (!isValidUtf8(s)) return fail("Invalid escaped surrogate in string.");
    keys_.emplace_back(s);
    return true;
  }
  bool StartObject() { return open(); }
  bool StartArray() { return open(); }
  bool EndObject(rapidjson::SizeType count) {
    std::vector<JsonDictionary::Entry> pairs;
    pairs.reserve(count);
    const std::size_t first = values_.size() - count;
    const std::size_t firstKey = keys_.size() - count;
    for (std::size_t i = 0; i < count; ++i) {
      pairs.emplace_back(std::move(keys_[firstKey + i]), std::move(values_[first + i]));
    }
    values_.resize(first);
    keys_.resize(firstKey);
    --depth_;
    return push(PlatformValue(JsonDictionary(std::move(pairs))));
  }
  bool EndArray(rapidjson::SizeType count) {
    const std::size_t first = values_.size() - count;
    PlatformValue::Array elements(std::make_move_iterator(values_.begin() + static_cast<std::ptrdiff_t>(first)),
                                  std::make_move_iterator(values_.end()));
    values_.resize(first);
    --depth_;
    return push(PlatformValue(std::move(elements)));
  }

  [[nodiscard]] PlatformValue result() { return std::move(values_.back()); }
  [[nodiscard]] const std::string& failure() const { return failure_; }

 private:
  bool push(PlatformValue value) {
    values_.push_back(std::move(value));
    return true;
  }
  bool open() {
    if (++depth_ > kMaxJsonDepth) return fail("Nesting deeper than 512 levels.");
    return true;
  }
  bool fail(std::string message) {
    failure_ = std::move(message);
    return false;
  }

  std::vector<PlatformValue> values_;
  std::vector<std::string> keys_;
  int depth_ = 0;
  std::string failure_;
};

// Not in place (kParseInsituFlag): its stream reads past the end of a text
// that stops inside a UTF-8 sequence; the memory stream checks every read.
constexpr unsigned kFlags = rapidjson::kParseValidateEncodingFlag | rapidjson::kParseIterativeFlag |
                            rapidjson::kParseNumbersAsStringsFlag;

}  // namespace

PlatformValue readJson(std::string_view data, bool fragmentsAllowed) {
  if (!fragmentsAllowed) {
    std::size_t at = data.find_first_not_of(" \t\r\n");
    if (at != std::string_view::npos && data[at] != '[' && data[at] != '{') {
      throw JsonReadError(at, "A top-level value other than an array or object needs fragments allowed.");
    }
  }
  Builder builder;
  rapidjson::MemoryStream stream(data.data(), data.size());
  rapidjson::Reader reader;
  const rapidjson::ParseResult result = reader.Parse<kFlags>(stream, builder);
  if (result.IsError()) {
    std::string message = result.Code() == rapidjson::kParseErrorTermination && !builder.failure().empty()
                              ? builder.failure()
                              : std::string(rapidjson::GetParseError_En(result.Code()));
    throw JsonReadError(result.Offset(), std::move(message));
  }
  // RapidJSON takes a zero byte for the end of the input.
  if (stream.Tell() != data.size()) {
    throw JsonReadError(stream.Tell(), rapidjson::GetParseError_En(rapidjson::kParseErrorDocumentRootNotSingular));
  }
  return builder.result();
}

}  // namespace vantrel::json_internal
