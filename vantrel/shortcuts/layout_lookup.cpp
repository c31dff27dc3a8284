#include "vantrel/shortcuts/layout_lookup.h"

#include <fmt/format.h>

#include "vantrel/core/console.h"
#include "vantrel/platform/keyboard/keyboard_layout.h"

namespace vantrel::HotKeyHelper {

std::optional<std::string> lookupKeyCode(std::int64_t keyCode) {
  // Key codes are 16-bit; a wider one cut down to 16 bits would silently
  // answer for a different key, so it is refused instead.
  if (keyCode < 0 || keyCode > 0xFFFF) return std::nullopt;
  keyboard::KeyTranslation translation = keyboard::translateKeyCode(keyCode);
  if (!translation.succeeded) {
    consolePrint(fmt::format("Error at = {}", keyCode));
    return std::nullopt;
  }
  return std::move(translation.text);
}

void debug_printAllKeyboardInputSources() {
  const std::vector<keyboard::KeyboardLayout> sources = keyboard::configuredKeyboardLayouts();
  for (std::size_t i = 0; i < sources.size(); ++i) {
    consolePrint(fmt::format("{} val = {}", i, sources[i].identifier()));
  }
}

}  // namespace vantrel::HotKeyHelper
