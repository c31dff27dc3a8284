// File: vantrel/shortcuts/key_glyphs.h
//
// `SpecialGlyphs`: the 18 one-character glyphs that stand for special keys
// in shortcut texts, in a fixed order that gives each its hash value.
//
//   SpecialGlyphs::returnR2L.rawValue()         "↩"
//   SpecialGlyphs::fromRawValue("?")            SpecialGlyphs::help
//   SpecialGlyphs(SpecialGlyphs::help).hashValue()   9
//
// `eject` and `clear` belong to no key. Pure; thread-safe.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class SpecialGlyphs {
 public:
  enum Case : std::uint8_t {
    eject,           // ⏏ U+23CF
    clear,           // ✕ U+2715
    deleteLeft,      // ⌫ U+232B
    deleteRight,     // ⌦ U+2326
    leftArrow,       // ← U+2190
    rightArrow,      // → U+2192
    upArrow,         // ↑ U+2191
    downArrow,       // ↓ U+2193
    escape,          // ⎋ U+238B
    help,            // ? U+003F
    pageDown,        // ⇟ U+21DF
    pageUp,          // ⇞ U+21DE
    tabRight,        // ⇥ U+21E5
    return_,         // ⌅ U+2305
    returnR2L,       // ↩ U+21A9
    padClear,        // ⌧ U+2327
    northwestArrow,  // ↖ U+2196
    southeastArrow,  // ↘ U+2198
  };

  constexpr SpecialGlyphs(Case value) : value_(value) {}  // NOLINT: a case is a glyph
  constexpr operator Case() const { return value_; }      // NOLINT: switch over glyphs

  // The glyph: one character, in UTF-8.
  [[nodiscard]] constexpr std::string_view rawValue() const {
    constexpr std::array<std::string_view, 18> kGlyphs{
        "\u23CF", "\u2715", "\u232B", "\u2326", "\u2190", "\u2192",
        "\u2191", "\u2193", "\u238B", "?",      "\u21DF", "\u21DE",
        "\u21E5", "\u2305", "\u21A9", "\u2327", "\u2196", "\u2198",
    };
    return kGlyphs[value_];
  }
  // The case whose glyph is exactly `character` (one whole character, no
  // more), else nullopt.
  [[nodiscard]] static std::optional<SpecialGlyphs> fromRawValue(std::string_view character);
  // The case's position, 0 for eject up to 17 for southeastArrow.
  [[nodiscard]] std::int64_t hashValue() const { return static_cast<std::int64_t>(value_); }
  // The 18 cases in order.
  [[nodiscard]] static const std::array<SpecialGlyphs, 18>& all();

 private:
  Case value_;
};

}  // namespace vantrel

template <>
struct std::hash<vantrel::SpecialGlyphs> {
  std::size_t operator()(vantrel::SpecialGlyphs g) const noexcept {
    return static_cast<std::size_t>(g.hashValue());
  }
};
