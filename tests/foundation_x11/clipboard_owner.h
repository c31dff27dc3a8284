// A second client of a test display that owns the CLIPBOARD selection and
// answers conversions the way desktop programs do: TARGETS, plain values,
// and INCR transfers for values above the chunk size. A silent owner takes
// the selection and never answers.
#pragma once

#include <poll.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace vantrel::testing {

class ClipboardOwner {
 public:
  struct Offer {
    std::string target;
    std::vector<std::uint8_t> bytes;
  };

  // Owns CLIPBOARD on `displayName` until destroyed. With `silent`, requests
  // are read and never answered.
  ClipboardOwner(const std::string& displayName, std::vector<Offer> offers, bool silent = false,
                 std::size_t chunkSize = 64 * 1024)
      : offers_(std::move(offers)), silent_(silent), chunkSize_(chunkSize) {
    display_ = XOpenDisplay(displayName.c_str());
    if (display_ == nullptr) return;
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
    clipboard_ = XInternAtom(display_, "CLIPBOARD", False);
    targets_ = XInternAtom(display_, "TARGETS", False);
    incr_ = XInternAtom(display_, "INCR", False);
    XSetSelectionOwner(display_, clipboard_, window_, CurrentTime);
    XSync(display_, False);
    owning_ = XGetSelectionOwner(display_, clipboard_) == window_;
    if (owning_) thread_ = std::thread([this] { loop(); });
  }

  ~ClipboardOwner() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (display_ != nullptr) XCloseDisplay(display_);
  }
  ClipboardOwner(const ClipboardOwner&) = delete;
  ClipboardOwner& operator=(const ClipboardOwner&) = delete;

  [[nodiscard]] bool owning() const { return owning_; }
  [[nodiscard]] int requestsSeen() const { return requests_; }

 private:
  struct Transfer {
    Atom type = 0;
    std::vector<std::uint8_t> bytes;
    std::size_t offset = 0;
  };

  void loop() {
    while (!stop_) {
      while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == SelectionRequest) {
          ++requests_;
          if (!silent_) answer(event.xselectionrequest);
        } else if (event.type == PropertyNotify && event.xproperty.state == PropertyDelete) {
          nextChunk(event.xproperty.window, event.xproperty.atom);
        }
      }
      pollfd fd{ConnectionNumber(display_), POLLIN, 0};
      ::poll(&fd, 1, 10);
    }
  }

  void notify(const XSelectionRequestEvent& request, Atom property) {
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

  void answer(const XSelectionRequestEvent& request) {
    const Atom property = request.property == None ? request.target : request.property;
    if (request.target == targets_) {
      std::vector<Atom> atoms = {targets_, XInternAtom(display_, "TIMESTAMP", False)};
      for (const Offer& offer : offers_) atoms.push_back(XInternAtom(display_, offer.target.c_str(), False));
      XChangeProperty(display_, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(atoms.data()), static_cast<int>(atoms.size()));
      notify(request, property);
      return;
    }
    for (const Offer& offer : offers_) {
      if (XInternAtom(display_, offer.target.c_str(), False) != request.target) continue;
      if (offer.bytes.size() > chunkSize_) {
        // INCR: announce the size, then one chunk per deletion of the property.
        XSelectInput(display_, request.requestor, PropertyChangeMask);
        const long size = static_cast<long>(offer.bytes.size());
        XChangeProperty(display_, request.requestor, property, incr_, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&size), 1);
        transfers_[{request.requestor, property}] = Transfer{request.target, offer.bytes, 0};
      } else {
        XChangeProperty(display_, request.requestor, property, request.target, 8, PropModeReplace,
                        offer.bytes.data(), static_cast<int>(offer.bytes.size()));
      }
      notify(request, property);
      return;
    }
    notify(request, None);
  }

  void nextChunk(Window requestor, Atom property) {
    const auto it = transfers_.find({requestor, property});
    if (it == transfers_.end()) return;
    Transfer& t = it->second;
    const std::size_t n = std::min(chunkSize_, t.bytes.size() - t.offset);
    XChangeProperty(display_, requestor, property, t.type, 8, PropModeReplace,
                    t.bytes.data() + t.offset, static_cast<int>(n));
    XFlush(display_);
    t.offset += n;
    if (n == 0) transfers_.erase(it);  // the empty chunk has been sent: done
  }

  std::vector<Offer> offers_;
  bool silent_;
  std::size_t chunkSize_;
  Display* display_ = nullptr;
  Window window_ = 0;
  Atom clipboard_ = 0;
  Atom targets_ = 0;
  Atom incr_ = 0;
  bool owning_ = false;
  std::atomic<bool> stop_{false};
  std::atomic<int> requests_{0};
  std::thread thread_;
  std::map<std::pair<Window, Atom>, Transfer> transfers_;
};

}  // namespace vantrel::testing
