// File: vantrel/hotkeys/internal/hot_key_ids.h
//
// Internal to the hot-key manager; include hot_key_manager.h instead.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace vantrel::hotkeys_internal {

// The id for a new registration: the highest id in use plus 1, or 1 when
// none is in use. When the highest is already 4294967295 the count cannot
// go on without wrapping into ids in use, so the lowest free id from 1 up
// is taken instead; nullopt only when every id from 1 up is in use.
[[nodiscard]] std::optional<std::uint32_t> nextHotKeyId(const std::vector<std::uint32_t>& idsInUse);

}  // namespace vantrel::hotkeys_internal
