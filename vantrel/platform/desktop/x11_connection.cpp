#include "vantrel/platform/desktop/internal/x11_connection.h"

#if VANTREL_WITH_X11
#include <cstdlib>
#include <mutex>

#include <X11/Xlib.h>
#endif

namespace vantrel::desktop_internal {

struct X11Connection::State {
  _XDisplay* display = nullptr;  // Xlib's Display
  int error = 0;
  bool lost = false;
  State* next = nullptr;  // the thread's connection opened before this one
};

#if VANTREL_WITH_X11

namespace {

// The connections this thread has open, newest first. The entries live on
// the heap (owned by their X11Connection), so the list never points into a
// stack frame.
thread_local X11Connection::State* tConnections = nullptr;
XErrorHandler gPreviousErrorHandler = nullptr;
XIOErrorHandler gPreviousIOErrorHandler = nullptr;

X11Connection::State* ours(Display* display) {
  for (X11Connection::State* s = tConnections; s != nullptr; s = s->next) {
    if (s->display == display) return s;
  }
  return nullptr;
}

// Errors of our connections answer our own requests; the rest belong to the
// process's other Xlib users.
int onXError(Display* display, XErrorEvent* error) {
  if (X11Connection::State* state = ours(display)) {
    if (state->error == 0) state->error = error->error_code;
    return 0;
  }
  return gPreviousErrorHandler != nullptr ? gPreviousErrorHandler(display, error) : 0;
}

// Xlib's own handler ends the process when a server goes away; for our
// connections the exit handler marks them lost and Xlib returns instead.
int onXIOError(Display* display) {
  if (ours(display) != nullptr) return 0;
  return gPreviousIOErrorHandler != nullptr ? gPreviousIOErrorHandler(display) : 0;
}

void onIOErrorExit(Display*, void* userData) { static_cast<X11Connection::State*>(userData)->lost = true; }

void installErrorHandlersOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    gPreviousErrorHandler = XSetErrorHandler(onXError);
    gPreviousIOErrorHandler = XSetIOErrorHandler(onXIOError);
  });
}

}  // namespace

X11Connection::X11Connection(const std::string& displayName) : state_(std::make_unique<State>()) {
  if (displayName.empty()) {
    const char* env = std::getenv("DISPLAY");
    if (env == nullptr || *env == '\0') return;
  }
  Display* display = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
  if (display == nullptr) return;
  installErrorHandlersOnce();
  state_->display = display;
  state_->next = tConnections;
  tConnections = state_.get();
  XSetIOErrorExitHandler(display, onIOErrorExit, state_.get());
}

X11Connection::~X11Connection() {
  if (state_->display == nullptr) return;
  // Closing flushes what is still queued; errors it meets are still ours.
  XCloseDisplay(state_->display);
  for (State** link = &tConnections; *link != nullptr; link = &(*link)->next) {
    if (*link == state_.get()) {
      *link = state_->next;
      break;
    }
  }
}

#else

X11Connection::X11Connection(const std::string&) : state_(std::make_unique<State>()) {}

X11Connection::~X11Connection() = default;

#endif  // VANTREL_WITH_X11

_XDisplay* X11Connection::display() const { return state_->display; }

bool X11Connection::isOpen() const { return state_->display != nullptr && !state_->lost; }

bool X11Connection::isLost() const { return state_->lost; }

int X11Connection::takeError() {
  const int error = state_->error;
  state_->error = 0;
  return error;
}

}  // namespace vantrel::desktop_internal
