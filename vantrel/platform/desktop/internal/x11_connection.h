// File: vantrel/platform/desktop/internal/x11_connection.h
//
// `X11Connection`: one connection to an X server, owned by the scope that
// opened it, whose errors are its own. Xlib's error handlers are
// process-wide and its default ones end the process; the first connection
// chains the library's handlers in front of the ones found (once per
// process), and from then on:
// - a request that fails on an `X11Connection` is recorded on it
//   (`takeError`, the X error code: BadAccess for a key another client has
//   grabbed) instead of reaching the handlers found before;
// - a lost server marks it lost (`isLost`): the use of that connection ends,
//   never the process;
// - every other display's errors go on to the handlers found before.
//
//   X11Connection connection(displayName);
//   if (!connection.isOpen()) return std::nullopt;   // no display
//   XGrabKey(connection.display(), ...);
//   XSync(connection.display(), False);
//   if (connection.takeError() == BadAccess) ...
//
// A connection is used, and destroyed, on the thread that opened it: errors
// are matched against the connections of the thread that meets them. Without
// X11 in the build (`VANTREL_X11=OFF`) nothing opens. X11's headers stay out
// of this one: `display()` is Xlib's `Display*`.
#pragma once

#include <memory>
#include <string>

#include "vantrel/api.h"

struct _XDisplay;

namespace vantrel VANTREL_API {
namespace desktop_internal {

class X11Connection {
 public:
  // Opens `displayName`; an empty name means $DISPLAY, and no connection
  // when $DISPLAY is unset or empty (never a guessed display).
  explicit X11Connection(const std::string& displayName);
  // Closes the display (its last errors are still ours).
  ~X11Connection();

  X11Connection(const X11Connection&) = delete;  // owns the connection and its place among the thread's
  X11Connection& operator=(const X11Connection&) = delete;

  // Xlib's `Display*`; null when the display did not open.
  [[nodiscard]] _XDisplay* display() const;
  // Opened and not lost.
  [[nodiscard]] bool isOpen() const;
  // The server went away (or the connection broke): Xlib calls on it return
  // at once and answer nothing.
  [[nodiscard]] bool isLost() const;
  // The error code of the first request that failed since the last call,
  // 0 when none did; clears it.
  [[nodiscard]] int takeError();

  // What Xlib's handlers record; defined in the .cpp file.
  struct State;

 private:
  std::unique_ptr<State> state_;  // on the heap: the thread's list of connections points at it
};

}  // namespace desktop_internal
}  // namespace vantrel
