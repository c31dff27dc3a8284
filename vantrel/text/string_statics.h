// File: vantrel/text/string_statics.h
//
// Small static operations of the string type: containment with optional
// case and diacritic folding, a new UUID text, texts from optional values and
// the character count of an optional text. (`withFormat` is in formatting.h.)
//
//   vtContains("café", "cafe")                        true  (diacritics ignored by default)
//   vtContains("Hello", "hello")                      false
//   vtContains("Hello", "hello", true)                true
//   vtUuidString()                                    "1B4E28BA-2FA1-41D2-883F-0016D3CCA427"
//   vtFromOptional(std::optional<int>(42))            "42"
//   vtFromOptional(std::optional<int>())              ""
//   combineTwoOptionals("a", "b", ",")                "a,b"
//   vtCount(std::optional<std::string>("🇩🇪"))         1
//
// `vtUuidString` draws its sixteen bytes from the core random source
// (vantrel/core/random.h), version 4, upper case. Pure otherwise; thread-safe.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "vantrel/core/describe.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// An empty substring is always contained. The search is the canonical one
// of string_services.h; the flags add case and diacritic insensitivity.
[[nodiscard]] bool vtContains(std::string_view text, std::string_view substring, bool ignoreCase = false,
                              bool ignoreDiacritic = true);

// A new random version-4 UUID: 8-4-4-4-12 upper-case hexadecimal digits.
[[nodiscard]] std::string vtUuidString();

// `nilReturnValue` for nothing, else the value's `describe` text.
template <class T>
[[nodiscard]] std::string vtFromOptional(const std::optional<T>& value, std::string_view nilReturnValue = "") {
  return value ? describe(*value) : std::string(nilReturnValue);
}

// Both present: first, separator, second (also when either is empty); one
// present: that one; neither: nothing.
[[nodiscard]] std::optional<std::string> combineTwoOptionals(const std::optional<std::string>& s1,
                                                             const std::optional<std::string>& s2,
                                                             std::string_view separator = "");

// Nothing for nothing, else the number of characters (grapheme clusters).
[[nodiscard]] std::optional<std::int64_t> vtCount(const std::optional<std::string>& text);

}  // namespace vantrel
