// File: vantrel/shortcuts/recorder/system_hot_keys.h
//
// The desktop's own key combinations ("system hot keys"), as the shortcut
// recorder asks for them before it accepts a combination. A provider answers
// a status (0 is success) and, when it has one, the list of entries: a
// virtual key code, a hot-key modifier mask as `ModifierFlags::fromCarbonInt`
// reads it, and whether the combination is in use. Tests replace the
// provider; an empty provider restores the default one.
//
// The default provider merges the lists of its sources: the desktop's key
// bindings (desktop_key_bindings.h), then the configured list
// `${XDG_CONFIG_HOME:-~/.config}/vantrel/system-shortcuts`:
// one shortcut storage string (`Shortcut::fromRawString`) per line, every
// entry enabled:
//
//   # GNOME's own
//   cmd,48            the Super key with Tab
//   ctrl-alt,17       Control-Option-T
//
// Lines whose first non-blank character is "#", and blank lines, are
// skipped; a line may end in CR LF. No file means no system shortcuts. A
// file that cannot be read, or that is not a regular file (a FIFO would
// block key handling), is reported in one line and counts as no list; a
// line that does not read as a shortcut is reported and skipped:
//
//   ❌ Cannot read system shortcuts "/home/u/.config/vantrel/system-shortcuts": Permission denied
//   📛 Skipping line 3 of system shortcuts "/home/u/.config/vantrel/system-shortcuts": "ctrl-T"
//
// The file is read again at every call, so a changed list counts at once.
// Main thread only, as the recorder's key handling is (the parser itself
// is pure and thread-safe).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

struct SystemHotKeyEntry {
  std::int64_t keyCode = 0;
  std::uint32_t carbonModifiers = 0;
  bool enabled = true;

  friend bool operator==(const SystemHotKeyEntry&, const SystemHotKeyEntry&) = default;
};

struct SystemHotKeys {
  int status = 0;
  std::optional<std::vector<SystemHotKeyEntry>> entries;
};

using SystemHotKeyProvider = std::function<SystemHotKeys()>;

// Installs `provider` (empty: the default) and returns the one it replaces.
SystemHotKeyProvider setSystemHotKeyProvider(SystemHotKeyProvider provider);

// The entries of the provider in use.
[[nodiscard]] SystemHotKeys copySystemHotKeys();

// The default provider: `mergeSystemHotKeys` of its sources, the desktop's
// own key bindings (`desktopSystemHotKeys()`, desktop_key_bindings.h: GNOME's
// GSettings and KDE's kglobalshortcutsrc; no list when they hold none) and
// then `configuredSystemHotKeys()`.
[[nodiscard]] SystemHotKeys defaultSystemHotKeys();

// True while no provider is installed (the default one answers).
[[nodiscard]] bool isDefaultSystemHotKeyProviderInUse();

// The lists of several sources as one: status 0, and the entries of every
// source that answered status 0 with a list, in source order. A source that
// failed has reported itself and counts as no list. No list at all (every
// source failed or had none) gives no list.
[[nodiscard]] SystemHotKeys mergeSystemHotKeys(const std::vector<SystemHotKeys>& sources);

// A line of the configured list that does not read as a shortcut.
struct SystemShortcutsLineError {
  std::size_t lineNumber = 0;  // from 1
  std::string line;            // without its line end

  friend bool operator==(const SystemShortcutsLineError&, const SystemShortcutsLineError&) = default;
};

struct SystemShortcutsList {
  std::vector<SystemHotKeyEntry> entries;
  std::vector<SystemShortcutsLineError> badLines;
};

// Reads the text of a configured list (any bytes; see the top of the file):
// the entries of the good lines in order, each enabled with the Carbon mask
// of its modifiers, and the bad lines. Prints nothing.
[[nodiscard]] SystemShortcutsList parseSystemShortcutsList(std::string_view text);

// `${XDG_CONFIG_HOME:-~/.config}/vantrel/system-shortcuts`, for the
// environment at the call.
[[nodiscard]] std::string configuredSystemShortcutsPath();

// The configured list as a source of the default provider: status 0 and
// its entries (bad lines reported and skipped); status 0 and no list when
// the file does not exist; an errno (EINVAL for a FIFO, device or socket)
// and no list, reported in one line, when it cannot be read.
[[nodiscard]] SystemHotKeys configuredSystemHotKeys();

}  // namespace vantrel
