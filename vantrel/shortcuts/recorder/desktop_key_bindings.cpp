#include "vantrel/shortcuts/recorder/desktop_key_bindings.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

#include "vantrel/core/no_destructor.h"
#include "vantrel/platform/foundation/files/folders.h"
#include "vantrel/platform/keyboard/keyboard_layout.h"
#include "vantrel/platform/posix/read_file.h"

namespace vantrel {

namespace {

constexpr std::uint32_t kControl = 0x1000;
constexpr std::uint32_t kOption = 0x0800;
constexpr std::uint32_t kShift = 0x0200;
constexpr std::uint32_t kCommand = 0x0100;

// The grave key: mutter's "Above_Tab" names it whatever it types.
constexpr std::int64_t kKeyAboveTab = 50;

// Texts longer than any binding are not looked at.
constexpr std::size_t kMaxBindingLength = 256;

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    char y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

std::optional<SystemHotKeyEntry> entryForSymbol(std::optional<std::uint32_t> symbol, std::uint32_t modifiers) {
  if (!symbol) return std::nullopt;
  const std::optional<std::int64_t> keyCode = keyboard::keyCodeForKeySymbol(*symbol);
  if (!keyCode) return std::nullopt;
  return SystemHotKeyEntry{*keyCode, modifiers, true};
}

// A text of exactly one character: its scalar.
std::optional<char32_t> singleScalar(std::string_view text) {
  if (text.empty()) return std::nullopt;
  const auto lead = static_cast<unsigned char>(text[0]);
  const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  if (length == 0 || length != text.size()) return std::nullopt;
  if (length == 1) return static_cast<char32_t>(lead);
  char32_t scalar = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if ((c & 0xC0) != 0x80) return std::nullopt;
    scalar = (scalar << 6) | (c & 0x3F);
  }
  return scalar;
}

// A GTK modifier name (between < and >): its mask bits, 0 for one that adds
// nothing, nullopt for one outside the four standard modifiers.
std::optional<std::uint32_t> acceleratorModifier(std::string_view name) {
  struct Name {
    std::string_view name;
    std::uint32_t bits;
  };
  static constexpr std::array<Name, 14> kNames{{
      {"primary", kControl}, {"control", kControl}, {"ctrl", kControl}, {"ctl", kControl},
      {"shift", kShift},     {"shft", kShift},      {"alt", kOption},   {"meta", kOption},
      {"mod1", kOption},     {"super", kCommand},   {"hyper", kCommand}, {"mod4", kCommand},
      {"release", 0},        {"mod2", 0},
  }};
  for (const Name& n : kNames) {
    if (equalsIgnoringCase(name, n.name)) return n.bits;
  }
  return std::nullopt;
}

// Qt's names of keys whose xkb symbol has another name (the others, such as
// "F4", "Tab", "Home" or "Print", are xkb's names too).
std::optional<std::string_view> xkbNameForQtKey(std::string_view name) {
  struct Pair {
    std::string_view qt;
    std::string_view xkb;
  };
  static constexpr std::array<Pair, 27> kPairs{{
      {"Esc", "Escape"},
      {"Ins", "Insert"},
      {"Del", "Delete"},
      {"PgUp", "Prior"},
      {"PgDown", "Next"},
      {"Enter", "KP_Enter"},
      {"Backspace", "BackSpace"},
      {"SysReq", "Sys_Req"},
      {"CapsLock", "Caps_Lock"},
      {"NumLock", "Num_Lock"},
      {"ScrollLock", "Scroll_Lock"},
      {"Volume Down", "XF86AudioLowerVolume"},
      {"Volume Mute", "XF86AudioMute"},
      {"Volume Up", "XF86AudioRaiseVolume"},
      {"Media Play", "XF86AudioPlay"},
      {"Media Stop", "XF86AudioStop"},
      {"Media Previous", "XF86AudioPrev"},
      {"Media Next", "XF86AudioNext"},
      {"Media Pause", "XF86AudioPause"},
      {"Toggle Media Play/Pause", "XF86AudioPlay"},
      {"Microphone Mute", "XF86AudioMicMute"},
      {"Monitor Brightness Up", "XF86MonBrightnessUp"},
      {"Monitor Brightness Down", "XF86MonBrightnessDown"},
      {"Calculator", "XF86Calculator"},
      {"Launch Mail", "XF86Mail"},
      {"Eject", "XF86Eject"},
      {"Power Off", "XF86PowerOff"},
  }};
  for (const Pair& p : kPairs) {
    if (p.qt == name) return p.xkb;
  }
  return std::nullopt;
}

// KConfig's escapes of a value: \\ \s \t \n \r and \xHH; other backslashes
// stay as they are (the list escapes, handled after).
std::string unescapedConfigValue(std::string_view raw) {
  std::string out;
  out.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != '\\' || i + 1 == raw.size()) {
      out.push_back(raw[i]);
      continue;
    }
    const char next = raw[i + 1];
    switch (next) {
      case '\\':
        out.push_back('\\');
        ++i;
        break;
      case 's':
        out.push_back(' ');
        ++i;
        break;
      case 't':
        out.push_back('\t');
        ++i;
        break;
      case 'n':
        out.push_back('\n');
        ++i;
        break;
      case 'r':
        out.push_back('\r');
        ++i;
        break;
      case 'x': {
        const auto hex = [](char c) -> int {
          if (c >= '0' && c <= '9') return c - '0';
          if (c >= 'a' && c <= 'f') return c - 'a' + 10;
          if (c >= 'A' && c <= 'F') return c - 'A' + 10;
          return -1;
        };
        if (i + 3 < raw.size() && hex(raw[i + 2]) >= 0 && hex(raw[i + 3]) >= 0) {
          out.push_back(static_cast<char>(hex(raw[i + 2]) * 16 + hex(raw[i + 3])));
          i += 3;
        } else {
          out.push_back('\\');
        }
        break;
      }
      default:
        out.push_back('\\');
        break;
    }
  }
  return out;
}

// KConfig's list form: items separated by unescaped commas, "\," a comma
// and "\\" a backslash inside an item.
std::vector<std::string> configList(std::string_view value) {
  std::vector<std::string> items(1);
  for (std::size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    if (c == '\\' && i + 1 < value.size() && (value[i + 1] == ',' || value[i + 1] == '\\')) {
      items.back().push_back(value[i + 1]);
      ++i;
    } else if (c == ',') {
      items.emplace_back();
    } else {
      items.back().push_back(c);
    }
  }
  return items;
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\r')) {
    text.remove_prefix(1);
  }
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

// Each shortcut of a field ("Ctrl+F10\tLaunch (C)": one per tab).
void addShortcuts(std::string_view field, std::vector<SystemHotKeyEntry>& into) {
  std::size_t start = 0;
  while (start <= field.size()) {
    std::size_t end = field.find('\t', start);
    if (end == std::string_view::npos) end = field.size();
    if (auto entry = systemHotKeyFromKdeShortcut(field.substr(start, end - start))) into.push_back(*entry);
    start = end + 1;
  }
}

}  // namespace

std::optional<SystemHotKeyEntry> systemHotKeyFromAccelerator(std::string_view accelerator) {
  if (accelerator.size() > kMaxBindingLength) return std::nullopt;
  std::uint32_t modifiers = 0;
  std::string_view rest = accelerator;
  while (!rest.empty() && rest.front() == '<') {
    const std::size_t close = rest.find('>');
    if (close == std::string_view::npos) return std::nullopt;
    const std::optional<std::uint32_t> bits = acceleratorModifier(rest.substr(1, close - 1));
    if (!bits) return std::nullopt;
    modifiers |= *bits;
    rest.remove_prefix(close + 1);
  }
  if (rest.empty()) return std::nullopt;
  if (rest == "Above_Tab") return SystemHotKeyEntry{kKeyAboveTab, modifiers, true};
  return entryForSymbol(keyboard::keySymbolNamed(rest), modifiers);
}

std::optional<SystemHotKeyEntry> systemHotKeyFromKdeShortcut(std::string_view shortcut) {
  shortcut = trimmed(shortcut);
  if (shortcut.empty() || shortcut.size() > kMaxBindingLength) return std::nullopt;
  struct Name {
    std::string_view name;
    std::uint32_t bits;
  };
  static constexpr std::array<Name, 4> kModifiers{
      {{"Ctrl", kControl}, {"Alt", kOption}, {"Shift", kShift}, {"Meta", kCommand}}};
  std::uint32_t modifiers = 0;
  std::string_view rest = shortcut;
  // "Modifier+" prefixes; what is left is the key, which may be "+" itself.
  for (bool found = true; found && rest.size() > 1;) {
    found = false;
    const std::size_t plus = rest.find('+');
    if (plus == std::string_view::npos || plus == 0) break;
    const std::string_view word = rest.substr(0, plus);
    if (equalsIgnoringCase(word, "Num")) return std::nullopt;  // a keypad key: no such distinction here
    for (const Name& m : kModifiers) {
      if (equalsIgnoringCase(word, m.name)) {
        modifiers |= m.bits;
        rest.remove_prefix(plus + 1);
        found = true;
        break;
      }
    }
    if (!found) return std::nullopt;
  }
  if (rest.empty()) return std::nullopt;
  if (const std::optional<char32_t> scalar = singleScalar(rest)) {
    char32_t c = *scalar;
    // Qt writes letters in upper case; the key is the one typing the letter.
    if (c >= U'A' && c <= U'Z') c = c - U'A' + U'a';
    if (c < 0x20 || c == 0x7F) return std::nullopt;
    return entryForSymbol(keyboard::keySymbolForCharacter(c), modifiers);
  }
  if (rest == "Backtab") return entryForSymbol(keyboard::keySymbolNamed("Tab"), modifiers | kShift);
  if (const auto xkbName = xkbNameForQtKey(rest)) return entryForSymbol(keyboard::keySymbolNamed(*xkbName), modifiers);
  // Other names are xkb's own ("F4", "Print", "Space"); blanks never are.
  if (rest.find(' ') != std::string_view::npos) return std::nullopt;
  return entryForSymbol(keyboard::keySymbolNamed(rest), modifiers);
}

std::vector<SystemHotKeyEntry> kdeGlobalShortcutEntries(std::string_view fileText) {
  std::vector<SystemHotKeyEntry> found;
  std::size_t start = 0;
  while (start < fileText.size()) {
    std::size_t end = fileText.find('\n', start);
    if (end == std::string_view::npos) end = fileText.size();
    const std::string_view line = trimmed(fileText.substr(start, end - start));
    start = end + 1;
    if (line.empty() || line.front() == '#') continue;
    // Group headers name the program ("[kwin]", or for launchers
    // "[services][org.kde.konsole.desktop]"); every group counts.
    if (line.front() == '[') continue;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view key = trimmed(line.substr(0, equals));
    if (key.starts_with("_k_friendly_name")) continue;
    const std::string value = unescapedConfigValue(trimmed(line.substr(equals + 1)));
    // "active,default,description" (launchers: the active shortcuts alone):
    // only the active shortcuts count.
    const std::string active = configList(value).front();
    if (active == "none") continue;
    addShortcuts(active, found);
  }
  return mergedSystemHotKeys({}, found);
}

std::vector<SystemHotKeyEntry> kdeSystemHotKeys() {
  const std::string path = standardFolderPath(StandardFolder::preferences) + "/kglobalshortcutsrc";
  std::string text;
  if (posix::readFile(path, text)) return {};
  return kdeGlobalShortcutEntries(text);
}

std::vector<SystemHotKeyEntry> mergedSystemHotKeys(std::vector<SystemHotKeyEntry> first,
                                                   const std::vector<SystemHotKeyEntry>& more) {
  std::vector<SystemHotKeyEntry> out;
  out.reserve(first.size() + more.size());
  const auto add = [&](const SystemHotKeyEntry& e) {
    const bool seen = std::any_of(out.begin(), out.end(), [&](const SystemHotKeyEntry& o) {
      return o.keyCode == e.keyCode && o.carbonModifiers == e.carbonModifiers;
    });
    if (!seen) out.push_back(e);
  };
  for (const auto& e : first) add(e);
  for (const auto& e : more) add(e);
  return out;
}

std::vector<SystemHotKeyEntry> desktopSystemHotKeys() {
  return mergedSystemHotKeys(gsettingsSystemHotKeys(), kdeSystemHotKeys());
}

const std::vector<std::string>& desktopKeyBindingSchemas() {
  static const NoDestructor<std::vector<std::string>> schemas(std::vector<std::string>{
      "org.gnome.desktop.wm.keybindings", "org.gnome.settings-daemon.plugins.media-keys",
      "org.gnome.shell.keybindings"});
  return *schemas;
}

}  // namespace vantrel
