// A second client of a test display that reads the CLIPBOARD selection by
// hand, so that tests can see how the owner answers: the property's type
// (INCR or the data's), and each chunk of an incremental transfer.
#pragma once

#include <poll.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace vantrel::testing {

class ClipboardRequestor {
 public:
  struct Answer {
    bool notified = false;     // a SelectionNotify came
    bool refused = false;      // ... naming no property
    std::string type;          // the property's type
    std::vector<std::uint8_t> bytes;
    std::vector<std::size_t> chunks;  // incremental: the size of each chunk (the last is 0)
  };

  explicit ClipboardRequestor(const std::string& displayName) : display_(XOpenDisplay(displayName.c_str())) {
    if (display_ == nullptr) return;
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(display_, window_, PropertyChangeMask);
    clipboard_ = XInternAtom(display_, "CLIPBOARD", False);
    property_ = XInternAtom(display_, "TEST_REQUESTOR", False);
  }
  ~ClipboardRequestor() { close(); }
  ClipboardRequestor(const ClipboardRequestor&) = delete;
  ClipboardRequestor& operator=(const ClipboardRequestor&) = delete;

  [[nodiscard]] bool ok() const { return display_ != nullptr; }

  // Leaves at once, as a reader that crashes mid-transfer.
  void close() {
    if (display_ != nullptr) XCloseDisplay(display_);
    display_ = nullptr;
  }

  // Asks for `target`; with `followIncr` false an incremental transfer is
  // left after its announcement (the INCR property stays unread).
  Answer request(const std::string& target, bool followIncr = true) {
    Answer answer;
    XConvertSelection(display_, clipboard_, XInternAtom(display_, target.c_str(), False), property_, window_,
                      CurrentTime);
    XEvent event;
    if (!waitFor(event, [&](const XEvent& e) { return e.type == SelectionNotify; })) return answer;
    answer.notified = true;
    if (event.xselection.property == None) {
      answer.refused = true;
      return answer;
    }
    Atom type = None;
    std::vector<std::uint8_t> bytes;
    if (!readProperty(!followIncr ? False : True, type, bytes)) return answer;
    answer.type = atomName(type);
    if (answer.type != "INCR") {
      answer.bytes = std::move(bytes);
      return answer;
    }
    if (!followIncr) return answer;
    for (;;) {
      if (!waitFor(event, [&](const XEvent& e) {
            return e.type == PropertyNotify && e.xproperty.atom == property_ && e.xproperty.state == PropertyNewValue;
          })) {
        return answer;
      }
      std::vector<std::uint8_t> chunk;
      if (!readProperty(True, type, chunk)) return answer;
      answer.chunks.push_back(chunk.size());
      if (chunk.empty()) break;
      answer.bytes.insert(answer.bytes.end(), chunk.begin(), chunk.end());
    }
    return answer;
  }

  // Whoever owns CLIPBOARD now (None when nobody).
  Window owner() { return XGetSelectionOwner(display_, clipboard_); }

 private:
  template <typename Predicate>
  bool waitFor(XEvent& event, Predicate matches) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
      while (XPending(display_) > 0) {
        XNextEvent(display_, &event);
        if (matches(event)) return true;
      }
      pollfd fd{ConnectionNumber(display_), POLLIN, 0};
      ::poll(&fd, 1, 20);
    }
    return false;
  }

  bool readProperty(Bool remove, Atom& type, std::vector<std::uint8_t>& bytes) {
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, window_, property_, 0, 64L << 20, remove, AnyPropertyType, &type, &format,
                           &count, &after, &data) != Success) {
      return false;
    }
    if (data != nullptr) {
      if (format == 8) bytes.assign(data, data + count);
      XFree(data);
    }
    return true;
  }

  std::string atomName(Atom atom) {
    if (atom == None) return "";
    char* name = XGetAtomName(display_, atom);
    std::string out = name != nullptr ? name : "";
    if (name != nullptr) XFree(name);
    return out;
  }

  Display* display_ = nullptr;
  Window window_ = 0;
  Atom clipboard_ = 0;
  Atom property_ = 0;
};

}  // namespace vantrel::testing
