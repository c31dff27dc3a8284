#include "vantrel/platform/keyboard/keyboard_layout.h"

#include <array>
#include <cstdarg>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include <xkbcommon/xkbcommon.h>

#include "vantrel/core/no_destructor.h"
#include "vantrel/platform/keyboard/internal/keymap_stats.h"

namespace vantrel::keyboard {
namespace {

// Virtual key code -> evdev code of the key at the same place on a PC
// keyboard; 0 marks a code no key stands for. The ISO section key (10) is the
// extra key beside left Shift (LSGT), Help (114) sits where Insert is and the
// keypad Clear (71) where Num Lock is.
constexpr std::array<std::uint16_t, 128> kEvdevCodes = [] {
  std::array<std::uint16_t, 128> t{};
  const std::uint16_t pairs[][2] = {
      {0, 30},    {1, 31},    {2, 32},    {3, 33},    {4, 35},    {5, 34},    {6, 44},
      {7, 45},    {8, 46},    {9, 47},    {10, 86},   {11, 48},   {12, 16},   {13, 17},
      {14, 18},   {15, 19},   {16, 21},   {17, 20},   {18, 2},    {19, 3},    {20, 4},
      {21, 5},    {22, 7},    {23, 6},    {24, 13},   {25, 10},   {26, 8},    {27, 12},
      {28, 9},    {29, 11},   {30, 27},   {31, 24},   {32, 22},   {33, 26},   {34, 23},
      {35, 25},   {36, 28},   {37, 38},   {38, 36},   {39, 40},   {40, 37},   {41, 39},
      {42, 43},   {43, 51},   {44, 53},   {45, 49},   {46, 50},   {47, 52},   {48, 15},
      {49, 57},   {50, 41},   {51, 14},   {53, 1},    {54, 126},  {55, 125},  {56, 42},
      {57, 58},   {58, 56},   {59, 29},   {60, 54},   {61, 100},  {62, 97},   {63, 464},
      {64, 187},  {65, 83},   {67, 55},   {69, 78},   {71, 69},   {72, 115},  {73, 114},
      {74, 113},  {75, 98},   {76, 96},   {78, 74},   {79, 188},  {80, 189},  {81, 117},
      {82, 82},   {83, 79},   {84, 80},   {85, 81},   {86, 75},   {87, 76},   {88, 77},
      {89, 71},   {90, 190},  {91, 72},   {92, 73},   {93, 124},  {94, 89},   {95, 95},
      {96, 63},   {97, 64},   {98, 65},   {99, 61},   {100, 66},  {101, 67},  {103, 87},
      {105, 183}, {106, 186}, {107, 184}, {109, 68},  {111, 88},  {113, 185}, {114, 110},
      {115, 102}, {116, 104}, {117, 111}, {118, 62},  {119, 107}, {120, 60},  {121, 109},
      {122, 59},  {123, 105}, {124, 106}, {125, 108}, {126, 103},
  };
  for (const auto& p : pairs) t[p[0]] = p[1];
  return t;
}();

// evdev codes are offset by 8 in xkb's keycode space.
constexpr xkb_keycode_t kXkbEvdevOffset = 8;

bool isNameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '-';
}

bool isName(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (!isNameCharacter(c)) return false;
  }
  return true;
}

std::vector<std::string> splitAtCommas(std::string_view text) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find(',', start);
    std::string_view part = text.substr(start, end == std::string_view::npos ? end : end - start);
    // "us, de" is as clear as "us,de"; blanks are never part of a name.
    while (!part.empty() && (part.front() == ' ' || part.front() == '\t')) part.remove_prefix(1);
    while (!part.empty() && (part.back() == ' ' || part.back() == '\t')) part.remove_suffix(1);
    parts.emplace_back(part);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return parts;
}

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

struct ContextDeleter {
  void operator()(xkb_context* c) const { xkb_context_unref(c); }
};
struct KeymapDeleter {
  void operator()(xkb_keymap* k) const { xkb_keymap_unref(k); }
};
struct StateDeleter {
  void operator()(xkb_state* s) const { xkb_state_unref(s); }
};

// The compiled keymap of the layout in use; rebuilt only when that changes.
struct Cache {
  std::mutex mutex;
  std::optional<KeyboardLayout> chosen;  // by the host; else the environment
  std::unique_ptr<xkb_context, ContextDeleter> context;
  std::optional<KeyboardLayout> compiledFor;
  std::unique_ptr<xkb_keymap, KeymapDeleter> keymap;  // null: compiling failed
  std::unique_ptr<xkb_state, StateDeleter> state;
  std::uint64_t compilations = 0;
};

Cache& cache() {
  // Never destroyed: threads that are never joined may translate keys at exit.
  static NoDestructor<Cache> c;
  return *c;
}

// xkbcommon reports a bad layout name on standard error; the failure reaches
// callers through `KeyTranslation::succeeded` instead.
void silentLog(xkb_context*, xkb_log_level, const char*, va_list) {}

std::vector<KeyboardLayout> environmentLayouts() {
  const std::vector<std::string> layouts = splitAtCommas(environment("XKB_DEFAULT_LAYOUT"));
  const std::vector<std::string> variants = splitAtCommas(environment("XKB_DEFAULT_VARIANT"));
  std::vector<KeyboardLayout> out;
  for (std::size_t i = 0; i < layouts.size(); ++i) {
    if (layouts[i].empty()) continue;
    out.push_back({layouts[i], i < variants.size() ? variants[i] : std::string()});
  }
  if (out.empty()) out.push_back({"us", ""});
  return out;
}

KeyboardLayout currentLocked(const Cache& c) {
  if (c.chosen) return *c.chosen;
  return environmentLayouts().front();
}

// Compiles the keymap for `layout` unless it is the one already compiled.
void ensureCompiledLocked(Cache& c, const KeyboardLayout& layout) {
  if (c.compiledFor && *c.compiledFor == layout) return;
  c.state.reset();
  c.keymap.reset();
  c.compiledFor = layout;
  ++c.compilations;
  // Names with other characters would let the rules include other files.
  if (!isName(layout.layout) || (!layout.variant.empty() && !isName(layout.variant))) return;
  if (!c.context) {
    // The layout comes from our own choice, never from xkb's XKB_DEFAULT_*
    // fallbacks, so no environment option (say "ctrl:swapcaps") leaks in.
    c.context.reset(xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES));
    if (!c.context) return;
    xkb_context_set_log_fn(c.context.get(), silentLog);
  }
  xkb_rule_names names{};
  names.rules = "evdev";
  names.model = "pc105";
  names.layout = layout.layout.c_str();
  names.variant = layout.variant.c_str();
  names.options = "";
  c.keymap.reset(xkb_keymap_new_from_names(c.context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS));
  if (!c.keymap) return;
  c.state.reset(xkb_state_new(c.keymap.get()));
  if (!c.state) {
    c.keymap.reset();
    return;
  }
  const xkb_mod_index_t numLock = xkb_keymap_mod_get_index(c.keymap.get(), XKB_MOD_NAME_NUM);
  if (numLock != XKB_MOD_INVALID) {
    xkb_state_update_mask(c.state.get(), 0, 0, xkb_mod_mask_t{1} << numLock, 0, 0, 0);
  }
}

}  // namespace

std::string KeyboardLayout::identifier() const {
  return variant.empty() ? layout : layout + "(" + variant + ")";
}

std::optional<KeyboardLayout> KeyboardLayout::fromIdentifier(std::string_view identifier) {
  const std::size_t open = identifier.find('(');
  if (open == std::string_view::npos) {
    if (!isName(identifier)) return std::nullopt;
    return KeyboardLayout{std::string(identifier), ""};
  }
  if (identifier.back() != ')') return std::nullopt;
  const std::string_view layout = identifier.substr(0, open);
  const std::string_view variant = identifier.substr(open + 1, identifier.size() - open - 2);
  if (!isName(layout) || !isName(variant)) return std::nullopt;
  return KeyboardLayout{std::string(layout), std::string(variant)};
}

namespace {

struct SelectionHooks {
  std::mutex mutex;
  std::uint64_t lastToken = 0;
  std::vector<std::pair<std::uint64_t, std::shared_ptr<const std::function<void()>>>> hooks;
};

SelectionHooks& selectionHooks() {
  static NoDestructor<SelectionHooks> hooks;
  return *hooks;
}

// Called without the hooks' lock, so a hook may add or remove hooks.
void callSelectionHooks() {
  SelectionHooks& h = selectionHooks();
  std::vector<std::shared_ptr<const std::function<void()>>> now;
  {
    std::lock_guard lock(h.mutex);
    for (const auto& entry : h.hooks) now.push_back(entry.second);
  }
  for (const auto& hook : now) (*hook)();
}

}  // namespace

std::uint64_t addKeyboardSelectionHook(std::function<void()> hook) {
  SelectionHooks& h = selectionHooks();
  std::lock_guard lock(h.mutex);
  const std::uint64_t token = ++h.lastToken;
  h.hooks.emplace_back(token, std::make_shared<const std::function<void()>>(std::move(hook)));
  return token;
}

void removeKeyboardSelectionHook(std::uint64_t token) {
  SelectionHooks& h = selectionHooks();
  std::lock_guard lock(h.mutex);
  std::erase_if(h.hooks, [token](const auto& entry) { return entry.first == token; });
}

std::vector<KeyboardLayout> configuredKeyboardLayouts() { return environmentLayouts(); }

KeyboardLayout currentKeyboardLayout() {
  Cache& c = cache();
  std::lock_guard lock(c.mutex);
  return currentLocked(c);
}

void setCurrentKeyboardLayout(std::optional<KeyboardLayout> layout) {
  {
    Cache& c = cache();
    std::lock_guard lock(c.mutex);
    c.chosen = std::move(layout);
  }
  callSelectionHooks();
}

ScopedKeyboardLayout::ScopedKeyboardLayout(KeyboardLayout layout) {
  {
    Cache& c = cache();
    std::lock_guard lock(c.mutex);
    previous_ = c.chosen;
    c.chosen = std::move(layout);
  }
  callSelectionHooks();
}

ScopedKeyboardLayout::~ScopedKeyboardLayout() { setCurrentKeyboardLayout(previous_); }

std::optional<std::uint32_t> evdevCodeForKeyCode(std::int64_t keyCode) {
  if (keyCode < 0 || keyCode >= static_cast<std::int64_t>(kEvdevCodes.size())) return std::nullopt;
  const std::uint16_t code = kEvdevCodes[static_cast<std::size_t>(keyCode)];
  if (code == 0) return std::nullopt;
  return code;
}

KeyTranslation translateKeyCode(std::int64_t keyCode) {
  Cache& c = cache();
  std::lock_guard lock(c.mutex);
  ensureCompiledLocked(c, currentLocked(c));
  KeyTranslation result;
  if (!c.state) return result;
  result.succeeded = true;
  const std::optional<std::uint32_t> evdev = evdevCodeForKeyCode(keyCode);
  if (!evdev) return result;
  const xkb_keycode_t key = *evdev + kXkbEvdevOffset;
  // Dead keys have no text of their own: xkb answers "" for them, as for
  // keys that type nothing (modifiers, function keys).
  char buffer[64];
  const int size = xkb_state_key_get_utf8(c.state.get(), key, buffer, sizeof buffer);
  if (size <= 0) return result;
  if (static_cast<std::size_t>(size) < sizeof buffer) {
    result.text.emplace(buffer, static_cast<std::size_t>(size));
  } else {
    std::string big(static_cast<std::size_t>(size) + 1, '\0');
    xkb_state_key_get_utf8(c.state.get(), key, big.data(), big.size());
    big.resize(static_cast<std::size_t>(size));
    result.text = std::move(big);
  }
  return result;
}

std::optional<std::uint32_t> keySymbolNamed(std::string_view name) {
  const std::string text(name);
  if (text.empty() || text.find('\0') != std::string::npos) return std::nullopt;
  xkb_keysym_t symbol = xkb_keysym_from_name(text.c_str(), XKB_KEYSYM_NO_FLAGS);
  if (symbol == XKB_KEY_NoSymbol) symbol = xkb_keysym_from_name(text.c_str(), XKB_KEYSYM_CASE_INSENSITIVE);
  if (symbol == XKB_KEY_NoSymbol) return std::nullopt;
  return symbol;
}

std::optional<std::uint32_t> keySymbolForCharacter(char32_t character) {
  const xkb_keysym_t symbol = xkb_utf32_to_keysym(static_cast<std::uint32_t>(character));
  if (symbol == XKB_KEY_NoSymbol) return std::nullopt;
  return symbol;
}

std::optional<std::int64_t> keyCodeForKeySymbol(std::uint32_t symbol) {
  Cache& c = cache();
  std::lock_guard lock(c.mutex);
  ensureCompiledLocked(c, currentLocked(c));
  if (!c.keymap) return std::nullopt;
  // Unshifted first, so "less" is the key that types "<" alone, not the
  // comma key's shifted level.
  for (const bool anyLevel : {false, true}) {
    for (std::int64_t keyCode = 0; keyCode < static_cast<std::int64_t>(kEvdevCodes.size()); ++keyCode) {
      const std::optional<std::uint32_t> evdev = evdevCodeForKeyCode(keyCode);
      if (!evdev) continue;
      const xkb_keycode_t key = *evdev + kXkbEvdevOffset;
      const xkb_level_index_t levels = anyLevel ? xkb_keymap_num_levels_for_key(c.keymap.get(), key, 0) : 1;
      for (xkb_level_index_t level = anyLevel ? 1 : 0; level < levels; ++level) {
        const xkb_keysym_t* symbols = nullptr;
        const int count = xkb_keymap_key_get_syms_by_level(c.keymap.get(), key, 0, level, &symbols);
        for (int i = 0; i < count; ++i) {
          if (symbols[i] == symbol) return keyCode;
        }
      }
    }
  }
  return std::nullopt;
}

}  // namespace vantrel::keyboard

namespace vantrel::keyboard_internal {

std::uint64_t keymapCompilations() {
  keyboard::Cache& c = keyboard::cache();
  std::lock_guard lock(c.mutex);
  return c.compilations;
}

}  // namespace vantrel::keyboard_internal
