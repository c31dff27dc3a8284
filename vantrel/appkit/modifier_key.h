// File: vantrel/appkit/modifier_key.h
//
// `VantrelModifierKey`: the five modifier keys a menu key equivalent can
// use, for the menu-shortcut inventory (vantrel/appkit/menu_shortcuts.h).
//
//   VantrelModifierKey::fromNSEventModifierFlags(EventModifierFlags{
//       EventModifierFlags::command, EventModifierFlags::capsLock})   // {command}
//   VantrelModifierKey::string({VantrelModifierKey::shift})
//       // "       -Shift-        -       -        ": always 39 characters
//   VantrelModifierKey::fromRawValue(4)        // function
//   VantrelModifierKey::fromRawValue(5)        // nullopt
//
// | case      | raw | flag bit | word       | symbol |
// | command   | 0   | 20       | "Command"  | ⌘      |
// | shift     | 1   | 17       | "Shift"    | ⇧      |
// | alternate | 2   | 19       | "Altenate" | ⌥      |
// | control   | 3   | 18       | "Control"  | ⌃      |
// | function  | 4   | 23       | "Function" | F      |
//
// "Altenate" is the inventory's own spelling, kept so its columns read as
// they always have. The hash is the raw value. Pure; thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <ranges>
#include <string>
#include <string_view>
#include <unordered_set>

#include "vantrel/platform/kit/application.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class VantrelModifierKey;
using VantrelModifierKeySet = std::unordered_set<VantrelModifierKey>;

class VantrelModifierKey {
 public:
  enum Case : std::int64_t { command = 0, shift = 1, alternate = 2, control = 3, function = 4 };

  constexpr VantrelModifierKey(Case value) : value_(value) {}  // NOLINT: a case is a key
  constexpr operator Case() const { return value_; }           // NOLINT: switch over keys

  // The case for 0 ... 4, else nullopt.
  [[nodiscard]] static std::optional<VantrelModifierKey> fromRawValue(std::int64_t rawValue);
  [[nodiscard]] constexpr std::int64_t rawValue() const { return value_; }
  [[nodiscard]] constexpr std::int64_t hashValue() const { return value_; }

  // The keys among command, shift, option, control and function; every
  // other flag (caps lock, numeric pad, help, device bits) is ignored.
  [[nodiscard]] static VantrelModifierKeySet fromNSEventModifierFlags(EventModifierFlags flags);

  // Five columns, command, shift, alternate, control, function, each the
  // key's word when present, else blanks as wide (7, 5, 8, 7, 8), joined
  // with "-". Duplicates count once.
  template <std::ranges::input_range Keys>
    requires std::convertible_to<std::ranges::range_reference_t<Keys>, VantrelModifierKey>
  [[nodiscard]] static std::string string(Keys&& keys) {
    unsigned present = 0;
    for (auto&& key : keys) present |= 1u << VantrelModifierKey(key).rawValue();
    return stringFromMask(present);
  }
  [[nodiscard]] static std::string string(std::initializer_list<VantrelModifierKey> keys) {
    unsigned present = 0;
    for (VantrelModifierKey key : keys) present |= 1u << key.rawValue();
    return stringFromMask(present);
  }

  // "⌘", "⇧", "⌥", "⌃" or "F".
  [[nodiscard]] std::string_view symbol() const;
  // "Command", "Shift", "Altenate", "Control" or "Function".
  [[nodiscard]] std::string_view word() const;

 private:
  // Bit n set: the key with raw value n is present.
  [[nodiscard]] static std::string stringFromMask(unsigned present);

  Case value_;
};

}  // namespace vantrel

template <>
struct std::hash<vantrel::VantrelModifierKey> {
  std::size_t operator()(vantrel::VantrelModifierKey key) const noexcept {
    return static_cast<std::size_t>(key.hashValue());
  }
};
