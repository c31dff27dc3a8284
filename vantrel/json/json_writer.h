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
// second. Texts handed out keep little room beyond their length, so many
// short ones cost what they hold. Sorted keys follow Unicode scalar order
// (UTF-8 byte order), with no normalisation; the caller's listed keys match
// as `CustomOrderDictionary` matches texts. Not thread-safe: one writer per
// thread.
#pragma once

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

  std::optional<std::string> indentString_;
  bool sortKeys_;
  std::optional<std::vector<std::string>> sortKeyOrder_;
  std::optional<CustomOrderDictionary> sortKeyOrder_customOrderDictionary_;
  std::string dest_;
};

}  // namespace vantrel
