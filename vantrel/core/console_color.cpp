#include "vantrel/core/console_color.h"

namespace vantrel {
namespace {

constexpr std::array<std::string_view, 16> kCodes = {
    "30", "31", "32", "33", "34", "35", "36", "37",
    "90", "91", "92", "93", "94", "95", "96", "97",
};

}  // namespace

std::optional<ConsoleColor> ConsoleColor::fromRawValue(std::string_view rawValue) {
  for (std::size_t i = 0; i < kCodes.size(); ++i) {
    if (kCodes[i] == rawValue) return ConsoleColor(static_cast<Case>(i));
  }
  return std::nullopt;
}

std::string_view ConsoleColor::rawValue() const { return kCodes[value_]; }

const std::array<ConsoleColor, 16>& ConsoleColor::all() {
  static constexpr std::array<ConsoleColor, 16> kAll = {
      black, red, green, brown, blue, purple, cyan, lightGray,
      darkGray, lightRed, lightGreen, yellow, lightBlue, lightPurple, lightCyan, white,
  };
  return kAll;
}

std::string cc(std::string_view self, ConsoleColor color) {
  std::string out;
  out.reserve(self.size() + 12);
  out.append(ConsoleColor::ESCAPE).append("0;").append(color.rawValue()).append("m");
  out.append(self).append(ConsoleColor::RESET);
  return out;
}

std::string ccOptional(std::string_view self, std::optional<ConsoleColor> color) {
  return color ? cc(self, *color) : std::string(self);
}

std::string cc(std::string_view self, ConsoleColor color, ConsoleModifier modifiers) {
  std::string out(ConsoleColor::ESCAPE);
  if (modifiers.contains(ConsoleModifier::bold)) out += "1;";
  if (modifiers.contains(ConsoleModifier::blinking)) out += "5;";
  if (modifiers.contains(ConsoleModifier::inversed)) out += "7;";
  if (modifiers.contains(ConsoleModifier::underscored)) out += "4;";
  out.append(color.rawValue()).append("m").append(self).append(ConsoleColor::RESET);
  return out;
}

}  // namespace vantrel
