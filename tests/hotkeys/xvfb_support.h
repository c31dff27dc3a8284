// Helpers for the end-to-end X11 hot-key tests: a private X display (Xvfb,
// tests/support/xvfb_server.h) and XTest key injection. Kept apart from the other tests, since the X
// headers define macros such as None, Bool and Status.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <string>
#include <vector>

#include "main_queue_support.h"
#include "tests/support/xvfb_server.h"

namespace vantrel::testing {

// A second client of the display that types through XTest, as a user would.
class KeyInjector {
 public:
  explicit KeyInjector(const std::string& displayName) : display_(XOpenDisplay(displayName.c_str())) {}
  ~KeyInjector() {
    if (display_ != nullptr) XCloseDisplay(display_);
  }
  KeyInjector(const KeyInjector&) = delete;
  KeyInjector& operator=(const KeyInjector&) = delete;

  [[nodiscard]] bool ok() const {
    int event = 0, error = 0, major = 0, minor = 0;
    return display_ != nullptr && XTestQueryExtension(display_, &event, &error, &major, &minor);
  }
  [[nodiscard]] Display* display() const { return display_; }

  // Holds `modifiers`, presses and releases `key`, lets the modifiers go.
  void type(const std::vector<KeySym>& modifiers, KeySym key) {
    for (KeySym m : modifiers) XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, m), True, CurrentTime);
    XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, key), True, CurrentTime);
    XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, key), False, CurrentTime);
    for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) {
      XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, *it), False, CurrentTime);
    }
    XSync(display_, False);
  }

  // Taps a lock key (Caps Lock, Num Lock), toggling its lock.
  void tap(KeySym key) { type({}, key); }

 private:
  Display* display_;
};

}  // namespace vantrel::testing
