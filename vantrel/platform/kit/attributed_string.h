// File: vantrel/platform/kit/attributed_string.h
//
// `AttributedString`: a text with attributes that apply to the whole of it,
// such as the title of a button. The headless kit draws nothing, so an
// attribute is a name and a value written as text; controls keep and hand
// back what they are given, which is all a test can inspect.
//
//   AttributedString plain("Apples");                        // no attributes
//   AttributedString bold("Pears", {{"font", "bold 13"}});
//   bold.string()                                            // "Pears"
//   bold.attributes().at("font")                             // "bold 13"
//
// A value type: copies are independent; equality compares the text and
// every attribute.
#pragma once

#include <map>
#include <string>
#include <utility>

#include "vantrel/core/api.h"
namespace vantrel VANTREL_API {

class AttributedString {
 public:
  // Attribute name to value, in name order.
  using Attributes = std::map<std::string, std::string>;

  AttributedString() = default;
  explicit AttributedString(std::string string, Attributes attributes = {})
      : string_(std::move(string)), attributes_(std::move(attributes)) {}

  [[nodiscard]] const std::string& string() const { return string_; }
  [[nodiscard]] const Attributes& attributes() const { return attributes_; }
  [[nodiscard]] bool empty() const { return string_.empty(); }

  friend bool operator==(const AttributedString&, const AttributedString&) = default;

 private:
  std::string string_;
  Attributes attributes_;
};

}  // namespace vantrel
