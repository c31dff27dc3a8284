// Helpers for the recorder tests that need the desktop's own shortcuts.
#pragma once

#include <utility>
#include <vector>

#include "vantrel/shortcuts/recorder/system_hot_keys.h"

namespace vantrel::testing {

// Installs `provider` (empty: the default one) for a scope, then puts back
// the provider in use before.
class ScopedSystemHotKeyProvider {
 public:
  explicit ScopedSystemHotKeyProvider(SystemHotKeyProvider provider)
      : previous_(setSystemHotKeyProvider(std::move(provider))) {}
  ~ScopedSystemHotKeyProvider() { setSystemHotKeyProvider(std::move(previous_)); }
  ScopedSystemHotKeyProvider(const ScopedSystemHotKeyProvider&) = delete;
  ScopedSystemHotKeyProvider& operator=(const ScopedSystemHotKeyProvider&) = delete;

 private:
  SystemHotKeyProvider previous_;
};

// Answers `hotKeys` as the system's list for a scope.
class ScopedSystemHotKeys {
 public:
  explicit ScopedSystemHotKeys(SystemHotKeys hotKeys)
      : scope_([hotKeys = std::move(hotKeys)] { return hotKeys; }) {}
  explicit ScopedSystemHotKeys(std::vector<SystemHotKeyEntry> entries)
      : ScopedSystemHotKeys(SystemHotKeys{0, std::move(entries)}) {}

 private:
  ScopedSystemHotKeyProvider scope_;
};

}  // namespace vantrel::testing
