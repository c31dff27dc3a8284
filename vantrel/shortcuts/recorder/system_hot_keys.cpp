#include "vantrel/shortcuts/recorder/system_hot_keys.h"

#include <utility>

#include "vantrel/core/no_destructor.h"

namespace vantrel {

namespace {

SystemHotKeyProvider& installedProvider() {
  static NoDestructor<SystemHotKeyProvider> provider;
  return *provider;
}

}  // namespace

SystemHotKeyProvider setSystemHotKeyProvider(SystemHotKeyProvider provider) {
  return std::exchange(installedProvider(), std::move(provider));
}

SystemHotKeys copySystemHotKeys() {
  const SystemHotKeyProvider& provider = installedProvider();
  return provider ? provider() : defaultSystemHotKeys();
}

SystemHotKeys defaultSystemHotKeys() { return SystemHotKeys{0, std::nullopt}; }

}  // namespace vantrel
