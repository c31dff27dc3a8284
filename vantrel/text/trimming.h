// File: vantrel/text/trimming.h
//
// Trimming and stripping blanks, prefixes and suffixes, wrapping, and
// results that depend on a condition.
//
//   stringByTrimmingWhiteSpaces(" a b\n ")      "a b\n"
//   vtStringByStrippingWhiteSpaces(" a b ")     "ab"
//   droppingPrefix("foobar", "foo")             "bar"
//   droppingPrefix("e\u0301x", "e")             "e\u0301x"   (never half a letter)
//   droppingPrefix("e\u0301x", "\u00e9")        "x"          (canonically equal)
//   ensuringSuffix("a", "/")                    "a/"
//   wrapIn("", "[", "]")                        "[]"
//
// Affixes match in canonical decomposition and only at character boundaries;
// an empty affix is always present. Operations named in the imperative
// (`dropPrefix`, `ensureSuffix`, …) change the string given. Nothing fails;
// thread-safe.
#pragma once

#include <concepts>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// Blanks (general category Zs and tab) off both ends; line breaks stay.
[[nodiscard]] std::string stringByTrimmingWhiteSpaces(std::string_view self);
// Blanks and line breaks off both ends.
[[nodiscard]] std::string stringByTrimmingWhiteSpacesAndNewlines(std::string_view self);
// Every blank character removed wherever it stands (a character counts as
// blank when its first scalar is one).
[[nodiscard]] std::string vtStringByStrippingWhiteSpaces(std::string_view self);
[[nodiscard]] std::string vtStringByStrippingWhiteSpacesAndNewlines(std::string_view self);

void dropPrefix(std::string& self, std::string_view prefix);
void dropSuffix(std::string& self, std::string_view suffix);
[[nodiscard]] std::string droppingPrefix(std::string_view self, std::string_view prefix);
[[nodiscard]] std::string vtStringByRemovingPrefix(std::string_view self, std::string_view prefix);
[[nodiscard]] std::string droppingSuffix(std::string_view self, std::string_view suffix);
[[nodiscard]] std::string vtStringByRemovingSuffix(std::string_view self, std::string_view suffix);
void ensurePrefix(std::string& self, std::string_view prefix);
void ensureSuffix(std::string& self, std::string_view suffix);
[[nodiscard]] std::string ensuringPrefix(std::string_view self, std::string_view prefix);
[[nodiscard]] std::string ensuringSuffix(std::string_view self, std::string_view suffix);

[[nodiscard]] std::string wrapInQuotes(std::string_view self);
[[nodiscard]] std::string wrapIn(std::string_view self, std::string_view around);
[[nodiscard]] std::string wrapIn(std::string_view self, std::string_view before, std::string_view after);

[[nodiscard]] std::string appendingIf(std::string_view self, std::string_view suffix, bool condition);
// `self` + `suffix` when `condition` holds. The condition must be a bool, so
// a string literal never turns into one.
[[nodiscard]] inline std::string appending(std::string_view self, std::string_view suffix,
                                           std::same_as<bool> auto condition) {
  return appendingIf(self, suffix, condition);
}

[[nodiscard]] std::optional<std::string> stringWhenNotEmpty(std::string_view self);
[[nodiscard]] std::optional<std::string> vtAtLeastOneCharacter(std::string_view self);
// The text when it has at least `count` characters.
[[nodiscard]] std::optional<std::string> stringWhenMoreThan(std::string_view self, std::int64_t count);

}  // namespace vantrel
