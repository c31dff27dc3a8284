#include "vantrel/shortcuts/shortcut_helper.h"

#include <array>

#include <fmt/format.h>

#include "vantrel/core/console.h"
#include "vantrel/shortcuts/layout_lookup.h"
#include "vantrel/shortcuts/key_glyphs.h"
#include "vantrel/text/string_services.h"

namespace vantrel::ShortcutHelper {
namespace {

struct FixedKey {
  std::int64_t keyCode;
  std::string_view symbol;
  std::string_view name;
};

constexpr std::string_view glyph(SpecialGlyphs::Case c) { return SpecialGlyphs(c).rawValue(); }

// Special, keypad and function keys; every other key is named by the layout.
constexpr std::array<FixedKey, 52> kFixedKeys{{
    // Special keys.
    {36, glyph(SpecialGlyphs::returnR2L), "ReturnR2L"},
    {48, glyph(SpecialGlyphs::tabRight), "TabRight"},
    {49, "Space", "Space"},
    {51, glyph(SpecialGlyphs::deleteLeft), "DeleteLeft"},
    {53, glyph(SpecialGlyphs::escape), "Escape"},
    {114, glyph(SpecialGlyphs::help), "Help"},
    {115, glyph(SpecialGlyphs::northwestArrow), "NorthwestArrow|Home"},
    {116, glyph(SpecialGlyphs::pageUp), "PageUp"},
    {117, glyph(SpecialGlyphs::deleteRight), "DeleteRight"},
    {119, glyph(SpecialGlyphs::southeastArrow), "SoutheastArrow|End"},
    {121, glyph(SpecialGlyphs::pageDown), "PageDown"},
    {123, glyph(SpecialGlyphs::leftArrow), "LeftArrow"},
    {124, glyph(SpecialGlyphs::rightArrow), "RightArrow"},
    {125, glyph(SpecialGlyphs::downArrow), "DownArrow"},
    {126, glyph(SpecialGlyphs::upArrow), "UpArrow"},
    // Keypad keys.
    {65, ".", "ANSI_KeypadDecimal"},
    {67, "*", "ANSI_KeypadMultiply"},
    {69, "+", "ANSI_KeypadPlus"},
    {71, glyph(SpecialGlyphs::padClear), "ANSI_KeypadClear"},
    {75, "/", "ANSI_KeypadDivide"},
    {76, glyph(SpecialGlyphs::return_), "ANSI_KeypadEnter"},
    {78, "\u2013", "ANSI_KeypadMinus"},  // en dash, not the hyphen-minus
    {81, "=", "ANSI_KeypadEquals"},
    {82, "0", "ANSI_Keypad0"},
    {83, "1", "ANSI_Keypad1"},
    {84, "2", "ANSI_Keypad2"},
    {85, "3", "ANSI_Keypad3"},
    {86, "4", "ANSI_Keypad4"},
    {87, "5", "ANSI_Keypad5"},
    {88, "6", "ANSI_Keypad6"},
    {89, "7", "ANSI_Keypad7"},
    {91, "8", "ANSI_Keypad8"},
    {92, "9", "ANSI_Keypad9"},
    // Function keys F1 to F19 (F20, 90, is left to the layout).
    {122, "F1", "F1"},
    {120, "F2", "F2"},
    {99, "F3", "F3"},
    {118, "F4", "F4"},
    {96, "F5", "F5"},
    {97, "F6", "F6"},
    {98, "F7", "F7"},
    {100, "F8", "F8"},
    {101, "F9", "F9"},
    {109, "F10", "F10"},
    {103, "F11", "F11"},
    {111, "F12", "F12"},
    {105, "F13", "F13"},
    {107, "F14", "F14"},
    {113, "F15", "F15"},
    {106, "F16", "F16"},
    {64, "F17", "F17"},
    {79, "F18", "F18"},
    {80, "F19", "F19"},
}};

struct NamedCode {
  std::string_view name;
  std::int64_t keyCode;
};

// Typed names that no key types: the function keys and "space".
constexpr std::array<NamedCode, 21> kKeyNames{{
    {"f1", 122}, {"f2", 120},  {"f3", 99},   {"f4", 118},  {"f5", 96},   {"f6", 97},
    {"f7", 98},  {"f8", 100},  {"f9", 101},  {"f10", 109}, {"f11", 103}, {"f12", 111},
    {"f13", 105}, {"f14", 107}, {"f15", 113}, {"f16", 106}, {"f17", 64},  {"f18", 79},
    {"f19", 80}, {"f20", 90},  {"space", 49},
}};

// The virtual key-code constants, in ascending key-code order.
constexpr std::array<NamedCode, 112> kConstants{{
    {"kVK_ANSI_A", 0}, {"kVK_ANSI_S", 1}, {"kVK_ANSI_D", 2}, {"kVK_ANSI_F", 3},
    {"kVK_ANSI_H", 4}, {"kVK_ANSI_G", 5}, {"kVK_ANSI_Z", 6}, {"kVK_ANSI_X", 7},
    {"kVK_ANSI_C", 8}, {"kVK_ANSI_V", 9}, {"kVK_ANSI_B", 11}, {"kVK_ANSI_Q", 12},
    {"kVK_ANSI_W", 13}, {"kVK_ANSI_E", 14}, {"kVK_ANSI_R", 15}, {"kVK_ANSI_Y", 16},
    {"kVK_ANSI_T", 17}, {"kVK_ANSI_1", 18}, {"kVK_ANSI_2", 19}, {"kVK_ANSI_3", 20},
    {"kVK_ANSI_4", 21}, {"kVK_ANSI_6", 22}, {"kVK_ANSI_5", 23}, {"kVK_ANSI_Equal", 24},
    {"kVK_ANSI_9", 25}, {"kVK_ANSI_7", 26}, {"kVK_ANSI_Minus", 27}, {"kVK_ANSI_8", 28},
    {"kVK_ANSI_0", 29}, {"kVK_ANSI_RightBracket", 30}, {"kVK_ANSI_O", 31}, {"kVK_ANSI_U", 32},
    {"kVK_ANSI_LeftBracket", 33}, {"kVK_ANSI_I", 34}, {"kVK_ANSI_P", 35}, {"kVK_Return", 36},
    {"kVK_ANSI_L", 37}, {"kVK_ANSI_J", 38}, {"kVK_ANSI_Quote", 39}, {"kVK_ANSI_K", 40},
    {"kVK_ANSI_Semicolon", 41}, {"kVK_ANSI_Backslash", 42}, {"kVK_ANSI_Comma", 43},
    {"kVK_ANSI_Slash", 44}, {"kVK_ANSI_N", 45}, {"kVK_ANSI_M", 46}, {"kVK_ANSI_Period", 47},
    {"kVK_Tab", 48}, {"kVK_Space", 49}, {"kVK_ANSI_Grave", 50}, {"kVK_Delete", 51},
    {"kVK_Escape", 53}, {"kVK_Command", 55}, {"kVK_Shift", 56}, {"kVK_CapsLock", 57},
    {"kVK_Option", 58}, {"kVK_Control", 59}, {"kVK_RightShift", 60}, {"kVK_RightOption", 61},
    {"kVK_RightControl", 62}, {"kVK_Function", 63}, {"kVK_F17", 64},
    {"kVK_ANSI_KeypadDecimal", 65}, {"kVK_ANSI_KeypadMultiply", 67}, {"kVK_ANSI_KeypadPlus", 69},
    {"kVK_ANSI_KeypadClear", 71}, {"kVK_VolumeUp", 72}, {"kVK_VolumeDown", 73}, {"kVK_Mute", 74},
    {"kVK_ANSI_KeypadDivide", 75}, {"kVK_ANSI_KeypadEnter", 76}, {"kVK_ANSI_KeypadMinus", 78},
    {"kVK_F18", 79}, {"kVK_F19", 80}, {"kVK_ANSI_KeypadEquals", 81}, {"kVK_ANSI_Keypad0", 82},
    {"kVK_ANSI_Keypad1", 83}, {"kVK_ANSI_Keypad2", 84}, {"kVK_ANSI_Keypad3", 85},
    {"kVK_ANSI_Keypad4", 86}, {"kVK_ANSI_Keypad5", 87}, {"kVK_ANSI_Keypad6", 88},
    {"kVK_ANSI_Keypad7", 89}, {"kVK_F20", 90}, {"kVK_ANSI_Keypad8", 91}, {"kVK_ANSI_Keypad9", 92},
    {"kVK_F5", 96}, {"kVK_F6", 97}, {"kVK_F7", 98}, {"kVK_F3", 99}, {"kVK_F8", 100},
    {"kVK_F9", 101}, {"kVK_F11", 103}, {"kVK_F13", 105}, {"kVK_F16", 106}, {"kVK_F14", 107},
    {"kVK_F10", 109}, {"kVK_F12", 111}, {"kVK_F15", 113}, {"kVK_Help", 114}, {"kVK_Home", 115},
    {"kVK_PageUp", 116}, {"kVK_ForwardDelete", 117}, {"kVK_F4", 118}, {"kVK_End", 119},
    {"kVK_F2", 120}, {"kVK_PageDown", 121}, {"kVK_F1", 122}, {"kVK_LeftArrow", 123},
    {"kVK_RightArrow", 124}, {"kVK_DownArrow", 125}, {"kVK_UpArrow", 126},
}};

const FixedKey* fixedKey(std::int64_t keyCode) {
  for (const FixedKey& k : kFixedKeys) {
    if (k.keyCode == keyCode) return &k;
  }
  return nullptr;
}

// No key types more than a few characters; longer text cannot match one.
constexpr std::size_t kLongestKeyText = 256;

}  // namespace

std::optional<std::string> symbolsStringForKeyCode(std::int64_t keyCode) {
  if (keyCode == NotFound) return std::string();
  if (const FixedKey* k = fixedKey(keyCode)) return std::string(k->symbol);
  return HotKeyHelper::lookupKeyCode(keyCode);
}

std::optional<std::string> stringForKeyCode(std::int64_t keyCode) {
  if (keyCode == NotFound) return std::string();
  if (const FixedKey* k = fixedKey(keyCode)) return std::string(k->name);
  std::optional<std::string> text = HotKeyHelper::lookupKeyCode(keyCode);
  if (!text) return std::nullopt;
  return *text + "-KEY";
}

std::optional<std::int64_t> keyCodeForString(std::string_view text) {
  if (text.size() > kLongestKeyText) return std::nullopt;
  const std::string lower = lowercased(text);
  // The layout comes first, so a character finds the lowest key typing it
  // ("1" is the main-row key 18, not keypad 1 at 83).
  for (std::int64_t code = 0; code < 127; ++code) {
    const std::optional<std::string> typed = HotKeyHelper::lookupKeyCode(code);
    if (typed && *typed == lower) return code;
  }
  for (const NamedCode& n : kKeyNames) {
    if (n.name == lower) return n.keyCode;
  }
  return std::nullopt;
}

void debug_printConstants() {
  for (const NamedCode& c : kConstants) consolePrint(fmt::format("{} = {}", c.keyCode, c.name));
}

}  // namespace vantrel::ShortcutHelper
