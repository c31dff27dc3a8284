// The recorder's process-wide state, for tests.
#pragma once

namespace vantrel::recorder_internal {

// Forgets the view that records, as if none had ever started: its monitor
// is removed and it counts as idle, without redrawing or telling anyone.
// Tests call it on both ends, so a failed test leaves no recorder behind.
void resetShortcutRecorderForTesting();

}  // namespace vantrel::recorder_internal
