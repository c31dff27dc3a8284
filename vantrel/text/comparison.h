// File: vantrel/text/comparison.h
//
// Text equality, order and hash under canonical equivalence: "é" written as
// one scalar and as "e" + combining acute are the same text. Order is by
// Unicode scalar values of the NFC forms (bytewise on UTF-8, which orders
// scalars the same way). This is the one text order of the library: sorting
// and searching of strings use it.
//
//   textEqual("\u00e9", "e\u0301")   true
//   textLess("Z", "a")               true  (scalar order, not locale order)
//
// ASCII text is compared without normalising. Thread-safe.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// Negative, zero or positive as `a` orders before, with or after `b`.
[[nodiscard]] int compareText(std::string_view a, std::string_view b);
[[nodiscard]] bool textEqual(std::string_view a, std::string_view b);
[[nodiscard]] bool textLess(std::string_view a, std::string_view b);
// Equal texts hash equally.
[[nodiscard]] std::size_t textHash(std::string_view text);
// The NFC form (ASCII and already-normalised text come back unchanged).
[[nodiscard]] std::string nfc(std::string_view text);

// Function objects for containers: std::set<std::string, TextLess>,
// std::unordered_set<std::string, TextHash, TextEqual>.
struct TextLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return textLess(a, b); }
};
struct TextEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return textEqual(a, b); }
};
struct TextHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view s) const { return textHash(s); }
};

}  // namespace vantrel
