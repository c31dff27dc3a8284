// Arbitrary bytes as a "text/uri-list" from another X client: each entry is
// a line of the input (no line feed in it, not blank, not a comment, not
// ending in the CR of a CR LF), in order, and there are no more entries
// than lines.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "vantrel/platform/desktop/internal/selection_data.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto entries = vantrel::desktop_internal::uriListEntries(text);
  const auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
  if (entries.size() > lines) std::abort();
  // Each entry is a whole line (its CR LF's CR aside) after the previous one.
  const auto isLineAt = [&](std::size_t at, std::size_t length) {
    if (at != 0 && text[at - 1] != '\n') return false;
    const std::size_t end = at + length;
    return end == text.size() || text[end] == '\n' ||
           (text[end] == '\r' && (end + 1 == text.size() || text[end + 1] == '\n'));
  };
  std::size_t from = 0;
  for (const std::string& entry : entries) {
    if (entry.empty() || entry.front() == '#') std::abort();
    if (entry.find('\n') != std::string::npos) std::abort();
    std::size_t at = text.find(entry, from);
    while (at != std::string_view::npos && !isLineAt(at, entry.size())) at = text.find(entry, at + 1);
    if (at == std::string_view::npos) std::abort();
    from = at + entry.size();
  }
  return 0;
}
