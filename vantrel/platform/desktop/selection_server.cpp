#include "vantrel/platform/desktop/internal/selection_server.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <map>
#include <optional>
#include <thread>
#include <utility>

#if VANTREL_WITH_X11
#include <poll.h>
#include <unistd.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cerrno>
#include <cstdint>

#include "vantrel/platform/desktop/thread_commands.h"
#include "vantrel/platform/desktop/x11_connection.h"
#endif

namespace vantrel::foundation_internal {

#if VANTREL_WITH_X11

namespace {
using Clock = std::chrono::steady_clock;
}  // namespace

struct SelectionServer::Impl {
  struct Transfer {
    Atom type = 0;
    std::shared_ptr<const Data> bytes;
    std::size_t offset = 0;
    Clock::time_point lastProgress;
  };
  struct Served {
    Atom target;
    std::shared_ptr<const Data> bytes;
  };

  std::string displayName;
  Limits limits;
  ThreadCommands commands;
  std::thread thread;
  std::atomic<bool> connected{true};
  std::atomic<bool> owning{false};
  std::atomic<unsigned long> windowId{0};
  std::atomic<std::size_t> transferCount{0};


  // Thread only.
  std::unique_ptr<X11Connection> connection;
  Display* display = nullptr;
  Window window = 0;
  Atom clipboard = 0;
  Atom targets = 0;
  Atom timestamp = 0;
  Atom incr = 0;
  Atom stampProperty = 0;
  Time ownTime = CurrentTime;
  std::vector<Served> served;
  std::map<std::pair<Window, Atom>, Transfer> transfers;

  // Runs `work` on the thread and waits for it, at most the command limit;
  // false when it did not run in time (it may still run later, so `work`
  // owns what it touches).
  bool runOnThread(std::function<void()> work) { return commands.run(std::move(work), limits.commandLimit); }

  bool lost() {
    if (connection->isLost()) connected = false;
    return !connected;
  }

  bool openConnection() {
    connection = std::make_unique<X11Connection>(displayName);
    if (!connection->isOpen()) return false;
    display = connection->display();
    window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(display, window, PropertyChangeMask);
    clipboard = XInternAtom(display, "CLIPBOARD", False);
    targets = XInternAtom(display, "TARGETS", False);
    timestamp = XInternAtom(display, "TIMESTAMP", False);
    incr = XInternAtom(display, "INCR", False);
    stampProperty = XInternAtom(display, "VANTREL_SELECTION_TIME", False);
    // A chunk fits in one request, with room for the request's own fields.
    long maxUnits = XExtendedMaxRequestSize(display);
    if (maxUnits <= 0) maxUnits = XMaxRequestSize(display);
    const auto maxBytes = static_cast<std::size_t>(std::max(maxUnits, 4096L)) * 4 - 1024;
    limits.chunkSize = std::clamp<std::size_t>(limits.chunkSize, 1, maxBytes);
    windowId = window;
    XSync(display, False);
    (void)connection->takeError();
    return !lost();
  }

  // ---- Ownership ----

  // The server's time now: the time of a change to a property of our
  // window (a zero-length append). Owners must name a real time, so that
  // requests from before the ownership can be told apart.
  Time serverTime() {
    XChangeProperty(display, window, stampProperty, XA_STRING, 8, PropModeAppend, nullptr, 0);
    XFlush(display);
    const auto deadline = Clock::now() + limits.commandLimit;
    for (;;) {
      while (!lost() && XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == PropertyNotify && event.xproperty.window == window &&
            event.xproperty.atom == stampProperty) {
          return event.xproperty.time;
        }
        handle(event);
      }
      if (lost() || !waitForInput(deadline)) return CurrentTime;
    }
  }

  void takeSelection(std::vector<SelectionOffer> offers) {
    served.clear();
    for (SelectionOffer& offer : offers) {
      if (!offer.bytes) continue;
      const Atom atom = XInternAtom(display, offer.target.c_str(), False);
      if (atom == None) continue;
      const bool seen = std::any_of(served.begin(), served.end(), [&](const Served& s) { return s.target == atom; });
      if (!seen) served.push_back(Served{atom, std::move(offer.bytes)});
    }
    ownTime = serverTime();
    if (lost()) return;
    XSetSelectionOwner(display, clipboard, window, ownTime);
    const bool ours = XGetSelectionOwner(display, clipboard) == window && !lost();
    owning = ours;
    if (!ours) served.clear();
  }

  void giveUpSelection() {
    if (owning && XGetSelectionOwner(display, clipboard) == window) {
      XSetSelectionOwner(display, clipboard, None, ownTime);
      XSync(display, False);
    }
    owning = false;
    served.clear();
  }

  // ---- Requests ----

  void notify(const XSelectionRequestEvent& request, Atom property) {
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.display = display;
    reply.xselection.requestor = request.requestor;
    reply.xselection.selection = request.selection;
    reply.xselection.target = request.target;
    reply.xselection.property = property;
    reply.xselection.time = request.time;
    XSendEvent(display, request.requestor, False, NoEventMask, &reply);
  }

  void answer(const XSelectionRequestEvent& request) {
    const bool forUs = owning && request.owner == window && request.selection == clipboard &&
                       (request.time == CurrentTime || request.time >= ownTime);
    // Clients from before ICCCM name no property: the target stands for it.
    const Atom property = request.property == None ? request.target : request.property;
    if (!forUs) {
      notify(request, None);
      return;
    }
    if (request.target == targets) {
      std::vector<long> atoms = {static_cast<long>(targets), static_cast<long>(timestamp)};
      for (const Served& s : served) atoms.push_back(static_cast<long>(s.target));
      XChangeProperty(display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(atoms.data()), static_cast<int>(atoms.size()));
      notify(request, property);
      return;
    }
    if (request.target == timestamp) {
      const long time = static_cast<long>(ownTime);
      XChangeProperty(display, request.requestor, property, XA_INTEGER, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(&time), 1);
      notify(request, property);
      return;
    }
    const auto it = std::find_if(served.begin(), served.end(), [&](const Served& s) { return s.target == request.target; });
    if (it == served.end()) {
      notify(request, None);
      return;
    }
    const Data& bytes = *it->bytes;
    if (bytes.size() <= limits.chunkSize) {
      XChangeProperty(display, request.requestor, property, request.target, 8, PropModeReplace, bytes.data(),
                      static_cast<int>(bytes.size()));
      notify(request, property);
      return;
    }
    // Incremental: the size (a lower bound) first; each deletion of the
    // property by the reader asks for the next chunk.
    XSelectInput(display, request.requestor, PropertyChangeMask);
    const long size = static_cast<long>(std::min<std::size_t>(bytes.size(), 0x7FFFFFFF));
    XChangeProperty(display, request.requestor, property, incr, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&size), 1);
    transfers[{request.requestor, property}] = Transfer{request.target, it->bytes, 0, Clock::now()};
    transferCount = transfers.size();
    notify(request, property);
  }

  void forgetTransfer(std::map<std::pair<Window, Atom>, Transfer>::iterator it) {
    const Window requestor = it->first.first;
    transfers.erase(it);
    transferCount = transfers.size();
    const bool more = std::any_of(transfers.begin(), transfers.end(),
                                  [&](const auto& entry) { return entry.first.first == requestor; });
    // The reader's window may be gone already: that error is harmless.
    if (!more) XSelectInput(display, requestor, NoEventMask);
  }

  void nextChunk(Window requestor, Atom property) {
    const auto it = transfers.find({requestor, property});
    if (it == transfers.end()) return;
    Transfer& t = it->second;
    const std::size_t n = std::min(limits.chunkSize, t.bytes->size() - t.offset);
    XChangeProperty(display, requestor, property, t.type, 8, PropModeReplace, t.bytes->data() + t.offset,
                    static_cast<int>(n));
    t.offset += n;
    t.lastProgress = Clock::now();
    if (n == 0) forgetTransfer(it);  // the empty chunk has gone out: done
  }

  void dropStalledTransfers() {
    const auto now = Clock::now();
    for (auto it = transfers.begin(); it != transfers.end();) {
      const auto next = std::next(it);
      if (now - it->second.lastProgress >= limits.transferStall) forgetTransfer(it);
      it = next;
    }
  }

  std::optional<Clock::time_point> nextStall() const {
    std::optional<Clock::time_point> earliest;
    for (const auto& [key, t] : transfers) {
      const auto at = t.lastProgress + limits.transferStall;
      if (!earliest || at < *earliest) earliest = at;
    }
    return earliest;
  }

  void handle(const XEvent& event) {
    switch (event.type) {
      case SelectionRequest:
        answer(event.xselectionrequest);
        break;
      case SelectionClear:
        // Another client took it; a clear that an ownership of ours since
        // then has overtaken changes nothing.
        if (event.xselectionclear.window == window && event.xselectionclear.selection == clipboard &&
            XGetSelectionOwner(display, clipboard) != window) {
          owning = false;
          served.clear();
        }
        break;
      case PropertyNotify:
        if (event.xproperty.state == PropertyDelete) nextChunk(event.xproperty.window, event.xproperty.atom);
        break;
      default:
        break;
    }
  }

  // Waits for input on the connection or the wake pipe, at most until
  // `deadline`; false once it has passed.
  bool waitForInput(std::optional<Clock::time_point> deadline) {
    int timeout = -1;
    if (deadline) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - Clock::now());
      if (left.count() <= 0) return false;
      timeout = static_cast<int>(std::min<std::int64_t>(left.count() + 1, 60'000));
    }
    pollfd fds[2] = {{ConnectionNumber(display), POLLIN, 0}, {commands.wakeFd(), POLLIN, 0}};
    const int ready = ::poll(fds, 2, timeout);
    if (ready < 0 && errno != EINTR) connected = false;
    if ((fds[1].revents & POLLIN) != 0) commands.drainWakeups();
    return true;
  }

  void loop() {
    for (;;) {
      commands.runPending();
      if (commands.stopRequested()) break;
      while (!lost() && XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        handle(event);
      }
      if (lost()) break;
      dropStalledTransfers();
      XFlush(display);
      // Errors answer requests to readers' windows that have gone.
      (void)connection->takeError();
      (void)waitForInput(nextStall());
      if (lost()) break;
    }
    if (!lost()) {
      giveUpSelection();
      for (auto it = transfers.begin(); it != transfers.end();) forgetTransfer(it++);
      XDestroyWindow(display, window);
      XSync(display, False);
    }
    owning = false;
    transfers.clear();
    transferCount = 0;
    served.clear();
    display = nullptr;
    connection.reset();
    connected = false;
    commands.finish();
  }
};

std::unique_ptr<SelectionServer> SelectionServer::open(const std::string& displayName, Limits limits) {
  if (displayName.empty()) return nullptr;
  auto impl = std::make_shared<Impl>();
  impl->displayName = displayName;
  impl->limits = limits;
  if (!impl->commands.valid()) return nullptr;
  const bool opened = startConnectionThread(
      impl->thread,
      [impl] {
        if (impl->openConnection()) return true;
        impl->connection.reset();
        return false;
      },
      [impl] { impl->loop(); });
  if (!opened) return nullptr;
  return std::make_unique<SelectionServer>(std::move(impl));
}

SelectionServer::SelectionServer(std::shared_ptr<Impl> impl) : impl_(std::move(impl)) {}

SelectionServer::~SelectionServer() {
  impl_->commands.requestStop();
  impl_->thread.join();
}

bool SelectionServer::own(std::vector<SelectionOffer> offers) {
  auto shared = std::make_shared<std::vector<SelectionOffer>>(std::move(offers));
  const std::shared_ptr<Impl> impl = impl_;
  const bool ran = impl_->runOnThread([impl, shared] { impl->takeSelection(std::move(*shared)); });
  return ran && impl_->owning;
}

void SelectionServer::release() {
  const std::shared_ptr<Impl> impl = impl_;
  (void)impl_->runOnThread([impl] { impl->giveUpSelection(); });
}

bool SelectionServer::owns() const { return impl_->owning; }

unsigned long SelectionServer::window() const { return impl_->windowId; }

bool SelectionServer::isConnected() const { return impl_->connected; }

std::size_t SelectionServer::activeTransfers() const { return impl_->transferCount; }

const std::string& SelectionServer::displayName() const { return impl_->displayName; }

#else

struct SelectionServer::Impl {
  std::string displayName;
};

std::unique_ptr<SelectionServer> SelectionServer::open(const std::string&, Limits) { return nullptr; }
SelectionServer::SelectionServer(std::shared_ptr<Impl> impl) : impl_(std::move(impl)) {}
SelectionServer::~SelectionServer() = default;
bool SelectionServer::own(std::vector<SelectionOffer>) { return false; }
void SelectionServer::release() {}
bool SelectionServer::owns() const { return false; }
unsigned long SelectionServer::window() const { return 0; }
bool SelectionServer::isConnected() const { return false; }
std::size_t SelectionServer::activeTransfers() const { return 0; }
const std::string& SelectionServer::displayName() const { return impl_->displayName; }

#endif  // VANTREL_WITH_X11

}  // namespace vantrel::foundation_internal
