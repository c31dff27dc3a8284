// Arbitrary bytes as the desktop's key-binding texts: a GTK accelerator, a
// KDE shortcut and a whole kglobalshortcutsrc. Reading never crashes, every
// entry names a key with a virtual key code and only the four standard
// modifier bits, and no combination appears twice.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <vector>

#include "vantrel/platform/keyboard/keyboard_layout.h"
#include "vantrel/shortcuts/recorder/desktop_key_bindings.h"

namespace {

void check(const vantrel::SystemHotKeyEntry& entry) {
  if (!vantrel::keyboard::evdevCodeForKeyCode(entry.keyCode)) std::abort();
  if ((entry.carbonModifiers & ~std::uint32_t{0x1B00}) != 0 || !entry.enabled) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (const auto entry = vantrel::systemHotKeyFromAccelerator(text)) check(*entry);
  if (const auto entry = vantrel::systemHotKeyFromKdeShortcut(text)) check(*entry);
  const std::vector<vantrel::SystemHotKeyEntry> entries = vantrel::kdeGlobalShortcutEntries(text);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    check(entries[i]);
    for (std::size_t j = 0; j < i; ++j) {
      if (entries[j].keyCode == entries[i].keyCode && entries[j].carbonModifiers == entries[i].carbonModifiers) {
        std::abort();
      }
    }
  }
  return 0;
}
