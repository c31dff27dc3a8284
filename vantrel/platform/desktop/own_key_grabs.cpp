#include "vantrel/platform/desktop/internal/own_key_grabs.h"

#include <algorithm>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/core/no_destructor.h"

#if VANTREL_WITH_X11
#include <X11/Xlib.h>
#endif

namespace vantrel::desktop_internal {

#if VANTREL_WITH_X11

namespace {

struct Grab {
  std::string server;
  unsigned int keycode;
  unsigned int modifiers;
  friend bool operator==(const Grab&, const Grab&) = default;
};

struct OwnGrabs {
  std::mutex mutex;
  std::vector<Grab> grabs;
};

// Reached from the hot-key service's event thread: never destroyed.
OwnGrabs& ownGrabs() {
  static NoDestructor<OwnGrabs> grabs;
  return *grabs;
}

// The server behind a display name: ":1", "unix:1" and ":1.0" are one
// server; other hosts keep their name.
std::string serverOf(Display* display) {
  std::string_view name = DisplayString(display);
  const std::size_t colon = name.rfind(':');
  if (colon == std::string_view::npos) return std::string(name);
  std::string_view host = name.substr(0, colon);
  std::string_view number = name.substr(colon + 1);
  if (const std::size_t dot = number.find('.'); dot != std::string_view::npos) number = number.substr(0, dot);
  if (host == "unix") host = {};
  return std::string(host) + ":" + std::string(number);
}

}  // namespace

void noteOwnKeyGrab(_XDisplay* display, unsigned int keycode, unsigned int modifiers) {
  Grab grab{serverOf(display), keycode, modifiers};
  OwnGrabs& own = ownGrabs();
  std::lock_guard lock(own.mutex);
  own.grabs.push_back(std::move(grab));
}

void forgetOwnKeyGrab(_XDisplay* display, unsigned int keycode, unsigned int modifiers) {
  const Grab grab{serverOf(display), keycode, modifiers};
  OwnGrabs& own = ownGrabs();
  std::lock_guard lock(own.mutex);
  const auto it = std::find(own.grabs.begin(), own.grabs.end(), grab);
  if (it != own.grabs.end()) own.grabs.erase(it);
}

bool isOwnKeyGrab(_XDisplay* display, unsigned int keycode, unsigned int modifiers) {
  const Grab grab{serverOf(display), keycode, modifiers};
  OwnGrabs& own = ownGrabs();
  std::lock_guard lock(own.mutex);
  return std::find(own.grabs.begin(), own.grabs.end(), grab) != own.grabs.end();
}

#else

void noteOwnKeyGrab(_XDisplay*, unsigned int, unsigned int) {}
void forgetOwnKeyGrab(_XDisplay*, unsigned int, unsigned int) {}
bool isOwnKeyGrab(_XDisplay*, unsigned int, unsigned int) { return false; }

#endif  // VANTREL_WITH_X11

}  // namespace vantrel::desktop_internal
