// A clipboard manager of a test display, as desktops run one: it owns
// CLIPBOARD_MANAGER and, asked to convert SAVE_TARGETS (ICCCM), fetches the
// clipboard's text from its owner through a reader of its own, keeps it,
// then answers the request. A silent manager takes the selection and never
// answers.
#pragma once

#include <poll.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "clipboard_requestor.h"

namespace vantrel::testing {

class ClipboardManager {
 public:
  ClipboardManager(const std::string& displayName, bool silent) : displayName_(displayName), silent_(silent) {
    display_ = XOpenDisplay(displayName.c_str());
    if (display_ == nullptr) return;
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
    manager_ = XInternAtom(display_, "CLIPBOARD_MANAGER", False);
    saveTargets_ = XInternAtom(display_, "SAVE_TARGETS", False);
    XSetSelectionOwner(display_, manager_, window_, CurrentTime);
    XSync(display_, False);
    owning_ = XGetSelectionOwner(display_, manager_) == window_;
    if (owning_) thread_ = std::thread([this] { loop(); });
  }
  ~ClipboardManager() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (display_ != nullptr) XCloseDisplay(display_);
  }
  ClipboardManager(const ClipboardManager&) = delete;
  ClipboardManager& operator=(const ClipboardManager&) = delete;

  [[nodiscard]] bool owning() const { return owning_; }
  [[nodiscard]] int saveRequests() const { return saveRequests_; }
  // The UTF8_STRING text fetched for the last SAVE_TARGETS, once saved.
  [[nodiscard]] std::optional<std::string> saved() const {
    std::lock_guard lock(mutex_);
    return saved_;
  }

 private:
  void loop() {
    while (!stop_) {
      while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == SelectionRequest) answer(event.xselectionrequest);
      }
      pollfd fd{ConnectionNumber(display_), POLLIN, 0};
      ::poll(&fd, 1, 10);
    }
  }

  void answer(const XSelectionRequestEvent& request) {
    Atom property = None;
    if (request.target == saveTargets_) {
      ++saveRequests_;
      if (silent_) return;
      ClipboardRequestor reader(displayName_);
      const auto text = reader.request("UTF8_STRING");
      if (text.notified && !text.refused) {
        std::lock_guard lock(mutex_);
        saved_ = std::string(text.bytes.begin(), text.bytes.end());
        property = request.property;
      }
    }
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.display = display_;
    reply.xselection.requestor = request.requestor;
    reply.xselection.selection = request.selection;
    reply.xselection.target = request.target;
    reply.xselection.property = property;
    reply.xselection.time = request.time;
    XSendEvent(display_, request.requestor, False, NoEventMask, &reply);
    XFlush(display_);
  }

  std::string displayName_;
  bool silent_;
  Display* display_ = nullptr;
  Window window_ = 0;
  Atom manager_ = 0;
  Atom saveTargets_ = 0;
  bool owning_ = false;
  std::atomic<bool> stop_{false};
  std::atomic<int> saveRequests_{0};
  mutable std::mutex mutex_;
  std::optional<std::string> saved_;
  std::thread thread_;
};

}  // namespace vantrel::testing
