// File: vantrel/core/console_color.h
//
// The sixteen classic console colours, four text modifiers, and `cc`, which
// wraps a text in a colour's escape sequence and a closing reset. Nothing is
// printed: the caller prints the result.
//
//   cc("alert", ConsoleColor::red)             ESC "[0;31m" "alert" ESC "[0m"
//   cc("alert", ConsoleColor::red, ConsoleModifier{ConsoleModifier::bold})
//                                              ESC "[1;31m" "alert" ESC "[0m"
//   ccOptional("plain", std::nullopt)          "plain"
//
// Pure; thread-safe.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "vantrel/core/option_set.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class ConsoleColor {
 public:
  enum Case : std::uint8_t {
    black, red, green, brown, blue, purple, cyan, lightGray,
    darkGray, lightRed, lightGreen, yellow, lightBlue, lightPurple, lightCyan, white,
  };

  constexpr ConsoleColor(Case value) : value_(value) {}  // NOLINT: a case is a colour
  constexpr operator Case() const { return value_; }     // NOLINT: switch over colours

  // The case whose code is exactly `rawValue` ("31" is red), else nullopt.
  [[nodiscard]] static std::optional<ConsoleColor> fromRawValue(std::string_view rawValue);
  // The two-digit ANSI code: "30" ... "37", "90" ... "97".
  [[nodiscard]] std::string_view rawValue() const;

  static constexpr std::string_view ESCAPE = "\x1b[";
  static constexpr std::string_view RESET = "\x1b[0m";
  // The sixteen colours, black first and white last.
  [[nodiscard]] static const std::array<ConsoleColor, 16>& all();

 private:
  Case value_;
};

struct ConsoleModifier : OptionSet<ConsoleModifier, std::int64_t> {
  using OptionSet::OptionSet;
  static const ConsoleModifier bold;         // "1;"
  static const ConsoleModifier blinking;     // "5;"
  static const ConsoleModifier inversed;     // "7;"
  static const ConsoleModifier underscored;  // "4;"
};
inline constexpr ConsoleModifier ConsoleModifier::bold{1};
inline constexpr ConsoleModifier ConsoleModifier::blinking{2};
inline constexpr ConsoleModifier ConsoleModifier::inversed{4};
inline constexpr ConsoleModifier ConsoleModifier::underscored{8};

// ESCAPE + "0;" + code + "m" + text + RESET.
[[nodiscard]] std::string cc(std::string_view self, ConsoleColor color);
// `cc(self, *color)`, or the text unchanged when there is no colour.
[[nodiscard]] std::string ccOptional(std::string_view self, std::optional<ConsoleColor> color);
// ESCAPE + the modifiers' codes (always bold, blinking, inversed,
// underscored) + code + "m" + text + RESET. No "0;": an empty set gives
// ESCAPE + code + "m". Unknown bits add nothing.
[[nodiscard]] std::string cc(std::string_view self, ConsoleColor color, ConsoleModifier modifiers);

}  // namespace vantrel

template <>
struct std::hash<vantrel::ConsoleColor> {
  std::size_t operator()(vantrel::ConsoleColor c) const noexcept {
    return std::hash<int>()(static_cast<int>(static_cast<vantrel::ConsoleColor::Case>(c)));
  }
};
