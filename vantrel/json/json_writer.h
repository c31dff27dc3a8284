// File: vantrel/json/json_writer.h
//
// `JsonWriter`: JSON text for people and tools to compare. One member or
// element per line, indented by a chosen unit, keys in a stable order
// (sorted, or the caller's keys first and the others sorted after them):
//
//   JsonWriter::classString(PlatformValue(JsonDictionary({{"b", 1}, {"a", "x"}})))
//       "{\n\t\"a\" : \"x\",\n\t\"b\" : 1\n}\n"
//   JsonWriter(std::nullopt).string(root)     one line: {"a":"x","b":1}\n
//   JsonWriter("  ", true, {{"id", "name"}})  "id", then "name", then the rest sorted
//   json.makeStringJsonWriter()               the same for a `Json`
//
// Texts and keys are escaped alike (every character below U+0020 as an
// escape); true and false are written only for boolean numbers; doubles in
// their shortest round-trip form, decimals as read. The output is always
// valid JSON: a root that is no array or dictionary throws
// `invalidRootObject`, a value of no JSON kind or a non-finite number
// `invalidValue`, nesting deeper than 512 `nestingTooDeep`; a call that
// throws leaves the writer as it was before the call. A writer keeps
// appending: a second `string` answers the first document followed by the
// second. Sorted keys follow Unicode scalar order (UTF-8 byte order), with
// no normalisation; the caller's listed keys match as `CustomOrderDictionary`
// matches texts. Not thread-safe: one
// writer per thread.
#pragma once

#include <cstdint>
#include <cstring>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "vantrel/collections/custom_order_sort.h"
#include "vantrel/core/error.h"
#include "vantrel/json/platform_value.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class JsonWriterError : public Error {
 public:
  enum Case { dictionaryWithNoStringKey, invalidValue, invalidRootObject, nestingTooDeep };
  // Descriptions: "dictionaryWithNoStringKey", "invalidValue(<value>)",
  // "invalidRootObject", "nestingTooDeep".
  JsonWriterError(Case c, PlatformValue payload = {});
  [[nodiscard]] Case kind() const { return case_; }
  // The offending dictionary or value; null for the other cases.
  [[nodiscard]] const PlatformValue& payload() const { return payload_; }

 private:
  Case case_;
  PlatformValue payload_;
};

class JsonWriter {
 public:
  using Errur = JsonWriterError;

  explicit JsonWriter(std::optional<std::string> indentString = std::string("\t"), bool sortKeys = true,
                      std::optional<std::vector<std::string>> sortKeyOrder = std::nullopt);

  [[nodiscard]] const std::optional<std::string>& indentString() const { return indentString_; }
  [[nodiscard]] bool sortKeys() const { return sortKeys_; }
  [[nodiscard]] const std::optional<std::vector<std::string>>& sortKeyOrder() const { return sortKeyOrder_; }

  // The text so far, with this document and a line feed appended. On a
  // temporary writer the text is moved out rather than copied.
  std::string string(const PlatformValue& root) &;
  std::string string(const PlatformValue& root) &&;
  std::string data(const PlatformValue& root) & { return string(root); }
  std::string data(const PlatformValue& root) && { return std::move(*this).string(root); }
  // A new default writer for each call.
  [[nodiscard]] static std::string classString(const PlatformValue& root);
  [[nodiscard]] static std::string classData(const PlatformValue& root) { return classString(root); }

 private:
  void write(const PlatformValue& root);
  void writeArray(const PlatformValue::Array& array);
  void writeDictionary(const JsonDictionary& dictionary);
  void writeElement(const PlatformValue& value);
  void writeText(std::string_view text);
  void writeText(const JsonText& text);
  void prefetchMembers(const JsonDictionary& dictionary);
  // A line feed and the indent of the current depth (indented text only).
  void newLine();
  // At least `bytes` bytes of room at the cursor.
  char* room(std::size_t bytes) {
    if (static_cast<std::size_t>(limit_ - cursor_) < bytes) grow(bytes);
    return cursor_;
  }
  void grow(std::size_t bytes);
  void put(char c) { *room(1) = c, ++cursor_; }
  void put(const char* text, std::size_t length) {
    std::memcpy(room(length), text, length);
    cursor_ += length;
  }
  // The places in `entries()` in the order they are written.
  const std::vector<std::uint32_t>& keyOrder(const JsonDictionary& dictionary);

  std::optional<std::string> indentString_;
  bool sortKeys_;
  std::optional<std::vector<std::string>> sortKeyOrder_;
  std::optional<CustomOrderDictionary> sortKeyOrder_customOrderDictionary_;
  std::string dest_;
  char* cursor_ = nullptr;  // while writing: the end of the text in `dest_`
  char* limit_ = nullptr;   // and the end of its room
  std::uintptr_t prefetchedLow_ = 0;  // the last span of memory asked for
  std::uintptr_t prefetchedHigh_ = 0;
  int depth_ = 0;
  std::string indentRun_;  // the indent unit repeated, grown to the deepest level met
  // Per depth, the keys of the last dictionaries sorted there and their order:
  // records in an array mostly repeat one key sequence, which then needs a
  // comparison for equality instead of a sort. The keys are copies (a long
  // one shares the value's text), forgotten at the start of every call.
  struct KeyOrder {
    std::vector<JsonText> keys;  // copies: comparing touches no old value
    std::vector<std::uint32_t> order;
  };
  static constexpr std::size_t kKeyOrdersPerDepth = 4;
  // kKeyOrdersPerDepth per depth reached so far. Added as deeper levels are
  // first met; a deque keeps the shallower entries, whose orders are in use,
  // in place meanwhile.
  std::deque<KeyOrder> keyOrders_;
  std::vector<std::uint8_t> keyOrderTurns_;  // per depth, the slot to replace next
};

}  // namespace vantrel
