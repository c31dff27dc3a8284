#include "vantrel/hotkeys/internal/hot_key_ids.h"

#include <algorithm>
#include <limits>

namespace vantrel::hotkeys_internal {

std::optional<std::uint32_t> nextHotKeyId(const std::vector<std::uint32_t>& idsInUse) {
  constexpr std::uint32_t kLast = std::numeric_limits<std::uint32_t>::max();
  if (idsInUse.empty()) return 1;
  const std::uint32_t highest = *std::max_element(idsInUse.begin(), idsInUse.end());
  if (highest < kLast) return highest + 1;
  std::vector<std::uint32_t> sorted = idsInUse;
  std::sort(sorted.begin(), sorted.end());
  std::uint32_t candidate = 1;
  for (std::uint32_t id : sorted) {
    if (id < candidate) continue;  // 0, or a repeat
    if (id > candidate) return candidate;
    if (candidate == kLast) return std::nullopt;
    ++candidate;
  }
  return candidate;
}

}  // namespace vantrel::hotkeys_internal
