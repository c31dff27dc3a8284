// File: vantrel/platform/keyboard/internal/keymap_stats.h
//
// Counters of the keymap cache, for tests that check the keymap is compiled
// once per layout change. Private to the shortcuts module; include
// vantrel/platform/keyboard/keyboard_layout.h instead.
#pragma once

#include <cstdint>

namespace vantrel::keyboard_internal {

// How many keymaps have been compiled (or tried) since the process started.
[[nodiscard]] std::uint64_t keymapCompilations();

}  // namespace vantrel::keyboard_internal
