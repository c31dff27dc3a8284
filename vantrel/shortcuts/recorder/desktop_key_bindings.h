// File: vantrel/shortcuts/recorder/desktop_key_bindings.h
//
// The desktop's own key bindings, read from its settings, as system hot-key
// entries (system_hot_keys.h): the combinations the recorder must not take.
//
//   desktopSystemHotKeys()        GNOME's GSettings, then KDE's file, merged
//   systemHotKeyFromAccelerator("<Primary><Alt>t")   {17, 0x1800, true}
//   systemHotKeyFromKdeShortcut("Meta+Shift+Tab")    {48, 0x0300, true}
//
// Where they come from:
// - GSettings (GIO): the schemas of `desktopKeyBindingSchemas()`, each read
//   only when the schema source knows it (an unknown schema would stop the
//   program inside GSettings), plus the media keys' custom bindings. Every
//   key holding a string or a list of strings is read as accelerators; an
//   empty list (or "", "disabled") is a binding switched off and gives
//   nothing. Nothing is written.
// - KDE: "kglobalshortcutsrc" in the XDG config folder
//   (${XDG_CONFIG_HOME:-~/.config}), when present: the active shortcuts of
//   each action ("none" gives nothing), also those of launcher entries.
//
// Texts are turned into key codes through the keyboard layout in use
// (vantrel/platform/keyboard/keyboard_layout.h): the key that types "t" is
// the one a user presses for "<Primary>t", on any layout. Modifiers map to
// the hot-key mask: Control (<Primary>, <Control>, Ctrl) 0x1000, Alt
// (<Alt>, <Meta>, <Mod1>) 0x800, Shift 0x200, Super (<Super>, <Hyper>,
// <Mod4>, KDE's Meta) 0x100; <Release> and <Mod2> (Num Lock) add nothing.
// A text naming a key without a virtual key code (most media keys), a
// modifier outside these (<Mod3>, <Mod5>, KDE's keypad "Num") or anything
// unreadable gives no entry, never an error. Entries are enabled and appear
// once each, in the order found.
//
// Reads are made afresh at each call. Main thread only, as the recorder's
// key handling is.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/shortcuts/recorder/system_hot_keys.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// One GTK-style accelerator: "<Super>Up", "<Shift><Alt>Tab", "<Alt>F4";
// "Above_Tab" is the key above Tab, as the window manager reads it.
[[nodiscard]] std::optional<SystemHotKeyEntry> systemHotKeyFromAccelerator(std::string_view accelerator);

// One KDE shortcut: "Ctrl+Alt+T", "Meta+E", "Alt+F4", "Volume Mute",
// "Ctrl++" (the plus key).
[[nodiscard]] std::optional<SystemHotKeyEntry> systemHotKeyFromKdeShortcut(std::string_view shortcut);

// The entries of a "kglobalshortcutsrc" text.
[[nodiscard]] std::vector<SystemHotKeyEntry> kdeGlobalShortcutEntries(std::string_view fileText);

// The entries of the user's "kglobalshortcutsrc"; none when it is missing.
[[nodiscard]] std::vector<SystemHotKeyEntry> kdeSystemHotKeys();

// "org.gnome.desktop.wm.keybindings", "org.gnome.settings-daemon.plugins.media-keys",
// "org.gnome.shell.keybindings".
[[nodiscard]] const std::vector<std::string>& desktopKeyBindingSchemas();

// The entries of the GSettings schemas `schemaIds` that are installed.
[[nodiscard]] std::vector<SystemHotKeyEntry> gsettingsSystemHotKeys(
    const std::vector<std::string>& schemaIds = desktopKeyBindingSchemas());

// GSettings' entries, then KDE's, each combination once.
[[nodiscard]] std::vector<SystemHotKeyEntry> desktopSystemHotKeys();

// `first`, then the entries of `more` not already in it (same key code and
// modifiers).
[[nodiscard]] std::vector<SystemHotKeyEntry> mergedSystemHotKeys(std::vector<SystemHotKeyEntry> first,
                                                                 const std::vector<SystemHotKeyEntry>& more);

}  // namespace vantrel
