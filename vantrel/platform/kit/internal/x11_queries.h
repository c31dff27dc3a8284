// The kit's questions to an X server. Each opens the display for the call
// and closes it again; errors of that connection (a window that went, an
// area outside the root) make the answer nullopt and never reach the
// process's other Xlib users, nor end the process. A server that stops
// answering holds a thread of its own, not the caller: after 5 s the answer
// is nullopt, and so is every answer of these questions (whatever the
// display) until that server answers the waiting one.
// Without X11 in the build every answer is nullopt. X11's headers stay in
// the .cpp file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "vantrel/platform/kit/screen_provider.h"

namespace vantrel::kit_internal {

// The process that owns the active window: "_NET_ACTIVE_WINDOW" of the
// root, then "_NET_WM_PID" of that window.
[[nodiscard]] std::optional<std::int64_t> activeWindowProcessIdentifier(const std::string& displayName);

// An area of the root window in X's pixels (y down from the top).
struct X11Area {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool primary = false;
};

// The RandR monitors in RandR's order, else the root window as the one
// area; nullopt when the display does not open.
[[nodiscard]] std::optional<std::vector<X11Area>> x11MonitorAreas(const std::string& displayName);

// The pixels of the monitor with that index (as above).
[[nodiscard]] std::optional<DisplayImage> x11CaptureMonitor(const std::string& displayName, std::uint32_t index);

}  // namespace vantrel::kit_internal
