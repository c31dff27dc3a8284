// File: vantrel/platform/kit/attributed_string.h
//
// `AttributedString`: a text with attributes over runs of it, such as the
// title of a button. The headless kit draws nothing, so an attribute is a
// name and a value written as text; controls keep and hand back what they
// are given, which is all a test can inspect.
//
//   AttributedString plain("Apples");                        // no attributes
//   AttributedString bold("Pears", {{"font", "bold 13"}});
//   bold.string()                                            // "Pears"
//   bold.attributes().at("font")                             // "bold 13"
//
//   auto line = vtAttributedStringAppendedBy("Total: ", bold);
//   line.string()                 "Total: Pears"
//   line.runs()                   {7 bytes, no attributes}, {5 bytes, font}
//   line.attributesAt(8)          {"font": "bold 13"}
//
// Runs cover the text in order; their lengths are UTF-8 bytes. Neighbouring
// runs with the same attributes are one run, so equal texts with equal
// attributes at every position compare equal however they were built.
// `attributes()` is the first run's (the whole string's for a one-run text).
// A value type: copies are independent.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class AttributedString {
 public:
  // Attribute name to value, in name order.
  using Attributes = std::map<std::string, std::string>;

  struct Run {
    std::size_t length = 0;  // bytes
    Attributes attributes;
    friend bool operator==(const Run&, const Run&) = default;
  };

  AttributedString() : runs_{Run{}} {}
  // The text with `attributes` over the whole of it.
  explicit AttributedString(std::string string, Attributes attributes = {})
      : string_(std::move(string)), runs_{Run{string_.size(), std::move(attributes)}} {}

  [[nodiscard]] const std::string& string() const { return string_; }
  [[nodiscard]] const Attributes& attributes() const { return runs_.front().attributes; }
  [[nodiscard]] const std::vector<Run>& runs() const { return runs_; }
  // The attributes of the run holding byte `offset` (the last run's at the end).
  [[nodiscard]] const Attributes& attributesAt(std::size_t offset) const;
  [[nodiscard]] bool empty() const { return string_.empty(); }

  // `other` after this text, each part keeping its own attributes. An empty
  // text takes `other` whole (attributes included); an empty `other` changes
  // nothing.
  void append(const AttributedString& other);

  friend bool operator==(const AttributedString&, const AttributedString&) = default;

 private:
  std::string string_;
  std::vector<Run> runs_;  // never empty; lengths add up to string_.size()
};

// The text with `attributes` over its whole length (none when absent).
[[nodiscard]] AttributedString vtAttributedStringWithAttributes(
    std::string text, std::optional<AttributedString::Attributes> attributes = std::nullopt);
// The same: the kit's attributed string is mutable already.
[[nodiscard]] AttributedString vtMutableAttributedStringWithAttributes(
    std::string text, std::optional<AttributedString::Attributes> attributes = std::nullopt);
// The text without attributes, followed by `other` with its own.
[[nodiscard]] AttributedString vtAttributedStringAppendedBy(std::string text, const AttributedString& other);

}  // namespace vantrel
