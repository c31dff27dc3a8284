#include "vantrel/shortcuts/recorder/hot_key_helper.h"

#include <vector>

#include <fmt/format.h>

#include "vantrel/core/console.h"
#include "vantrel/core/sort.h"
#include "vantrel/shortcuts/recorder/system_hot_keys.h"

namespace vantrel::HotKeyHelper {

namespace {

// The provider's list; nullopt (after one line) when it failed.
std::optional<std::vector<SystemHotKeyEntry>> systemEntries() {
  SystemHotKeys hotKeys = copySystemHotKeys();
  if (hotKeys.status != 0) {
    consolePrint(fmt::format("❌ Cannot CopySymbolicHotKeys, status {}: system shortcuts not checked", hotKeys.status));
    return std::nullopt;
  }
  return std::move(hotKeys.entries);
}

}  // namespace

std::optional<HotKeyHelperError> isShortcutAlreadyTakenBySystem(const Shortcut& shortcut) {
  const std::optional<std::vector<SystemHotKeyEntry>> entries = systemEntries();
  if (!entries) return std::nullopt;
  for (const SystemHotKeyEntry& entry : *entries) {
    if (!entry.enabled) continue;
    if (entry.keyCode == shortcut.keyCode &&
        ModifierFlags::fromCarbonInt(entry.carbonModifiers) == shortcut.modifierFlags) {
      return HotKeyHelperError::alreadyUsed;
    }
  }
  return std::nullopt;
}

void debug_printAllSystemHotKeys() {
  const std::optional<std::vector<SystemHotKeyEntry>> entries = systemEntries();
  if (!entries) return;
  std::vector<SystemHotKeyEntry> enabled;
  for (const SystemHotKeyEntry& entry : *entries) {
    if (entry.enabled) enabled.push_back(entry);
  }
  stableSort(enabled, [](const SystemHotKeyEntry& a, const SystemHotKeyEntry& b) { return a.keyCode < b.keyCode; });
  for (const SystemHotKeyEntry& entry : enabled) {
    const Shortcut shortcut(entry.keyCode, ModifierFlags::fromCarbonInt(entry.carbonModifiers));
    consolePrint(fmt::format("sc = {} -> rawModifiers: {}, rawKeyCode: {}", shortcut.asStringMedium(),
                             entry.carbonModifiers, entry.keyCode));
  }
}

}  // namespace vantrel::HotKeyHelper
