// File: vantrel/platform/keyboard/keyboard_layout.h
//
// The keyboard layouts of the machine and key translation through them, on
// libxkbcommon with the xkb-data rules (no display server needed).
//
// Key codes are the classic desktop virtual key codes (0 is the A key, 36
// Return, 49 Space, 122 F1, ...); `evdevCodeForKeyCode` maps each to the
// Linux evdev code of the key at the same place on a PC keyboard.
//
// Which layout is in use:
//   1. the layout the host chose with `setCurrentKeyboardLayout`, if any;
//   2. else the first configured layout;
// and the configured layouts (the input sources) are the comma-separated
// lists in $XKB_DEFAULT_LAYOUT and $XKB_DEFAULT_VARIANT ("us,de" and
// ",nodeadkeys" give us and de(nodeadkeys)), or "us" when unset. The
// environment is read on every call, so a change shows at the next one.
//
//   ScopedKeyboardLayout german(KeyboardLayout{"de", ""});
//   translateKeyCode(16).text        "z"   (the key that types y on "us")
//   translateKeyCode(24).text        nullopt (´ is a dead key on "de")
//
// The keymap is compiled once per change of the layout in use (about 5 ms)
// and kept; a layout that cannot be compiled is remembered as failed until
// the layout changes again. Thread-safe: one lock guards the keymap.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/api.h"
namespace vantrel VANTREL_API { namespace keyboard {

// Posted on `NotificationCenter::defaultCenter()` (foundation) when the
// layout in use was chosen anew (`setCurrentKeyboardLayout`,
// `ScopedKeyboardLayout` on both ends): key texts may have changed. The
// shortcut recorder posts it, through a selection hook (below), from its
// first `ShortcutView` on.
inline constexpr std::string_view NSTextInputContextKeyboardSelectionDidChangeNotification =
    "NSTextInputContextKeyboardSelectionDidChangeNotification";

// An xkb layout name and optional variant: {"de", "nodeadkeys"}.
struct KeyboardLayout {
  std::string layout;
  std::string variant;

  // "de" or "de(nodeadkeys)": the input source's identifier.
  [[nodiscard]] std::string identifier() const;
  // The reverse of `identifier`; nullopt for text of another shape (empty
  // name, unbalanced parentheses) or characters other than ASCII letters,
  // digits, "_" and "-".
  [[nodiscard]] static std::optional<KeyboardLayout> fromIdentifier(std::string_view identifier);

  friend bool operator==(const KeyboardLayout&, const KeyboardLayout&) = default;
};

// The configured layouts, in their configured order; never empty.
[[nodiscard]] std::vector<KeyboardLayout> configuredKeyboardLayouts();

// The layout in use now (see the file comment).
[[nodiscard]] KeyboardLayout currentKeyboardLayout();

// Chooses the layout in use, as a user switching input sources would;
// nullopt goes back to the first configured layout. Then calls the
// selection hooks, on the calling thread, after the lock is released, so
// they may read the new layout.
void setCurrentKeyboardLayout(std::optional<KeyboardLayout> layout);

// Adds a hook called after each new choice of the layout in use (see
// `setCurrentKeyboardLayout`), in the order added; answers the token that
// removes it. A hook may add or remove hooks: the change applies from the
// next choice on. After `removeKeyboardSelectionHook` only a choice already
// under way on another thread may still call the hook.
std::uint64_t addKeyboardSelectionHook(std::function<void()> hook);
void removeKeyboardSelectionHook(std::uint64_t token);

// Chooses a layout until destroyed, then restores the previous choice
// (for tests and short host scopes; not meant to overlap across threads).
class ScopedKeyboardLayout {
 public:
  explicit ScopedKeyboardLayout(KeyboardLayout layout);
  ~ScopedKeyboardLayout();
  ScopedKeyboardLayout(const ScopedKeyboardLayout&) = delete;  // restores exactly once
  ScopedKeyboardLayout& operator=(const ScopedKeyboardLayout&) = delete;

 private:
  std::optional<KeyboardLayout> previous_;
};

// The evdev code of a virtual key code, or nullopt for a code no PC key
// stands for (unassigned codes, codes outside 0...127).
[[nodiscard]] std::optional<std::uint32_t> evdevCodeForKeyCode(std::int64_t keyCode);

struct KeyTranslation {
  // False when the layout in use could not be compiled.
  bool succeeded = false;
  // The UTF-8 text the key types with no modifier held (Num Lock on, as the
  // keypad of the classic keyboards always types digits); nullopt for a
  // dead key, a key that types nothing or a code without a key.
  std::optional<std::string> text;
};

// Translates one key in the layout in use. Never throws.
[[nodiscard]] KeyTranslation translateKeyCode(std::int64_t keyCode);

// Key symbols (xkb keysyms), for reading the desktop's own key-binding
// texts ("<Super>Up", "Ctrl+Alt+T"):
//   keySymbolNamed("Up"), keySymbolNamed("XF86AudioMute"), keySymbolForCharacter(U't')
//   keyCodeForKeySymbol(*keySymbolNamed("F4"))   118
//   keyCodeForKeySymbol(*keySymbolNamed("z"))    6 on "us", 16 on "de"
// The symbol with that xkb name: exact case first, then ignoring case;
// nullopt for a name xkb does not know.
[[nodiscard]] std::optional<std::uint32_t> keySymbolNamed(std::string_view name);
// The symbol that types `character`; nullopt when none does.
[[nodiscard]] std::optional<std::uint32_t> keySymbolForCharacter(char32_t character);
// The virtual key code of the key that has `symbol` in the layout in use:
// the first key (in key-code order) with it unshifted, else the first with
// it on another level (Shift, AltGr); nullopt when no key with a virtual
// key code has it or the layout cannot be compiled.
[[nodiscard]] std::optional<std::int64_t> keyCodeForKeySymbol(std::uint32_t symbol);

}}  // namespace vantrel::keyboard
