// File: vantrel/shortcuts/recorder/system_hot_keys.h
//
// The desktop's own key combinations ("system hot keys"), as the shortcut
// recorder asks for them before it accepts a combination. A provider answers
// a status (0 is success) and, when it has one, the list of entries: a
// virtual key code, a hot-key modifier mask as `ModifierFlags::fromCarbonInt`
// reads it, and whether the combination is in use. Tests replace the
// provider; an empty provider restores the default one.
//
// Main thread only, as the recorder's key handling is.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "vantrel/core/api.h"
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

// The default provider.
[[nodiscard]] SystemHotKeys defaultSystemHotKeys();

}  // namespace vantrel
