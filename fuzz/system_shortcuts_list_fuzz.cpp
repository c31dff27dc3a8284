// Arbitrary bytes as the configured list of system shortcuts: reading never
// crashes, every entry is enabled with a mask of the four modifiers only,
// and each line ends up as an entry, a bad line or nothing (blank or
// comment), bad lines in order and holding no line feed.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "vantrel/shortcuts/recorder/system_hot_keys.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const vantrel::SystemShortcutsList list = vantrel::parseSystemShortcutsList(text);
  const std::size_t lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) +
                            (text.empty() || text.back() == '\n' ? 0 : 1);
  if (list.entries.size() + list.badLines.size() > lines) std::abort();
  for (const vantrel::SystemHotKeyEntry& entry : list.entries) {
    if (!entry.enabled || (entry.carbonModifiers & ~0x1B00u) != 0) std::abort();
  }
  std::size_t previous = 0;
  for (const vantrel::SystemShortcutsLineError& bad : list.badLines) {
    if (bad.lineNumber <= previous || bad.lineNumber > lines) std::abort();
    if (bad.line.find('\n') != std::string_view::npos) std::abort();
    previous = bad.lineNumber;
  }
  return 0;
}
