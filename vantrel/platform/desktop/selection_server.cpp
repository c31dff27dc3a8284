#include "vantrel/platform/desktop/internal/selection_server.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <utility>

#include "vantrel/core/no_destructor.h"
#include "vantrel/platform/desktop/internal/x11_connection_thread.h"
#include "vantrel/platform/desktop/internal/x11_connection.h"

#if VANTREL_WITH_X11
#include <unistd.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#endif

namespace vantrel::desktop_internal {

#if VANTREL_WITH_X11

ClipboardWindow ClipboardWindow::create(_XDisplay* display, const char* propertyName) {
  ClipboardWindow w;
  w.window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
  XSelectInput(display, w.window, PropertyChangeMask);
  w.clipboard = XInternAtom(display, "CLIPBOARD", False);
  w.targets = XInternAtom(display, "TARGETS", False);
  w.timestamp = XInternAtom(display, "TIMESTAMP", False);
  w.incr = XInternAtom(display, "INCR", False);
  w.property = XInternAtom(display, propertyName, False);
  return w;
}

void ClipboardWindow::destroy(_XDisplay* display) const { XDestroyWindow(display, window); }

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
    Atom type;
    std::shared_ptr<const Data> bytes;
  };

  std::string displayName;
  Limits limits;
  X11ConnectionThread thread;
  std::atomic<bool> owning{false};
  std::atomic<unsigned long> windowId{0};
  std::atomic<std::size_t> transferCount{0};

  // Thread only.
  Display* display = nullptr;
  ClipboardWindow ids;  // `property` stamps the server's time
  Atom saveTargets = 0;
  Atom clipboardManager = 0;
  Atom handOverProperty = 0;
  Time ownTime = CurrentTime;
  std::vector<Served> served;
  std::map<std::pair<Window, Atom>, Transfer> transfers;

  bool openConnection(X11Connection& connection) {
    display = connection.display();
    ids = ClipboardWindow::create(display, "VANTREL_SELECTION_TIME");
    saveTargets = XInternAtom(display, "SAVE_TARGETS", False);
    clipboardManager = XInternAtom(display, "CLIPBOARD_MANAGER", False);
    handOverProperty = XInternAtom(display, "VANTREL_SAVE_TARGETS", False);
    // A chunk fits in one request, with room for the request's own fields.
    long maxUnits = XExtendedMaxRequestSize(display);
    if (maxUnits <= 0) maxUnits = XMaxRequestSize(display);
    const auto maxBytes = static_cast<std::size_t>(std::max(maxUnits, 4096L)) * 4 - 1024;
    limits.chunkSize = std::clamp<std::size_t>(limits.chunkSize, 1, maxBytes);
    windowId = ids.window;
    XSync(display, False);
    (void)connection.takeError();
    return true;
  }

  // Handles events, and waits for more, until one matches `wanted` (which
  // is not handled) or `deadline` passes; false then.
  bool handleUntil(const std::function<bool(const XEvent&)>& wanted, Clock::time_point deadline) {
    for (;;) {
      while (!thread.lost() && XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (wanted(event)) return true;
        handle(event);
      }
      if (thread.lost()) return false;
      XFlush(display);
      if (!thread.waitForInput(deadline)) return false;
    }
  }

  // ---- Ownership ----

  // The server's time now: the time of a change to a property of our
  // window (a zero-length append). Owners must name a real time, so that
  // requests from before the ownership can be told apart. The events queued
  // before it (a SelectionClear from another client's take) are handled on
  // the way.
  Time serverTime() {
    XChangeProperty(display, ids.window, ids.property, XA_STRING, 8, PropModeAppend, nullptr, 0);
    XEvent stamp{};
    const bool stamped = handleUntil(
        [&](const XEvent& e) {
          if (e.type != PropertyNotify || e.xproperty.window != ids.window || e.xproperty.atom != ids.property) {
            return false;
          }
          stamp = e;
          return true;
        },
        Clock::now() + limits.commandLimit);
    return stamped ? stamp.xproperty.time : CurrentTime;
  }

  void takeSelection(std::vector<SelectionOffer> offers) {
    // The stamp's wait handles what is queued, a stale SelectionClear among
    // it, which drops what is served: the offers come in after it.
    ownTime = serverTime();
    if (thread.lost()) return;
    served.clear();
    for (SelectionOffer& offer : offers) {
      if (!offer.bytes) continue;
      const Atom atom = XInternAtom(display, offer.target.c_str(), False);
      const Atom type = offer.type.empty() ? atom : XInternAtom(display, offer.type.c_str(), False);
      if (atom == None || type == None) continue;
      const bool seen = std::any_of(served.begin(), served.end(), [&](const Served& s) { return s.target == atom; });
      if (!seen) served.push_back(Served{atom, type, std::move(offer.bytes)});
    }
    XSetSelectionOwner(display, ids.clipboard, ids.window, ownTime);
    const bool ours = XGetSelectionOwner(display, ids.clipboard) == ids.window && !thread.lost();
    owning = ours;
    if (!ours) served.clear();
  }

  void giveUpSelection() {
    if (owning && XGetSelectionOwner(display, ids.clipboard) == ids.window) {
      XSetSelectionOwner(display, ids.clipboard, None, ownTime);
      XSync(display, False);
    }
    owning = false;
    served.clear();
  }

  // Asks the clipboard manager to keep what is served (it converts each
  // target from us meanwhile, so events are handled while we wait); true
  // when it answered that it did.
  bool handOver(Clock::time_point deadline) {
    if (!owning || XGetSelectionOwner(display, clipboardManager) == None || thread.lost()) return false;
    // The targets to keep go in the property the request names: all we serve.
    std::vector<long> keep;
    for (const Served& s : served) keep.push_back(static_cast<long>(s.target));
    XChangeProperty(display, ids.window, handOverProperty, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(keep.data()), static_cast<int>(keep.size()));
    XConvertSelection(display, clipboardManager, saveTargets, handOverProperty, ids.window, CurrentTime);
    XEvent answer{};
    const bool answered = handleUntil(
        [&](const XEvent& e) {
          if (e.type != SelectionNotify || e.xselection.requestor != ids.window ||
              e.xselection.selection != clipboardManager) {
            return false;
          }
          answer = e;
          return true;
        },
        deadline);
    if (!answered) return false;
    XDeleteProperty(display, ids.window, handOverProperty);
    return answer.xselection.property != None;
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
    const bool forUs = owning && request.owner == ids.window && request.selection == ids.clipboard &&
                       (request.time == CurrentTime || request.time >= ownTime);
    // Clients from before ICCCM name no property: the target stands for it.
    const Atom property = request.property == None ? request.target : request.property;
    if (!forUs) {
      notify(request, None);
      return;
    }
    if (request.target == ids.targets) {
      std::vector<long> atoms = {static_cast<long>(ids.targets), static_cast<long>(ids.timestamp)};
      for (const Served& s : served) atoms.push_back(static_cast<long>(s.target));
      XChangeProperty(display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(atoms.data()), static_cast<int>(atoms.size()));
      notify(request, property);
      return;
    }
    if (request.target == ids.timestamp) {
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
      XChangeProperty(display, request.requestor, property, it->type, 8, PropModeReplace, bytes.data(),
                      static_cast<int>(bytes.size()));
      notify(request, property);
      return;
    }
    // Incremental: the size (a lower bound) first; each deletion of the
    // property by the reader asks for the next chunk.
    XSelectInput(display, request.requestor, PropertyChangeMask);
    const long size = static_cast<long>(std::min<std::size_t>(bytes.size(), 0x7FFFFFFF));
    XChangeProperty(display, request.requestor, property, ids.incr, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&size), 1);
    transfers[{request.requestor, property}] = Transfer{it->type, it->bytes, 0, Clock::now()};
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
        if (event.xselectionclear.window == ids.window && event.xselectionclear.selection == ids.clipboard &&
            XGetSelectionOwner(display, ids.clipboard) != ids.window) {
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

  std::optional<Clock::time_point> beforeWait() {
    dropStalledTransfers();
    // Errors answer requests to readers' windows that have gone.
    (void)thread.connection().takeError();
    return nextStall();
  }

  void close(bool lost) {
    if (!lost) {
      if (owning) (void)handOver(Clock::now() + limits.handOverLimit);
      giveUpSelection();
      for (auto it = transfers.begin(); it != transfers.end();) forgetTransfer(it++);
      ids.destroy(display);
      XSync(display, False);
    }
    owning = false;
    transfers.clear();
    transferCount = 0;
    served.clear();
    display = nullptr;
  }
};

namespace {

// The servers alive, for the handover at exit.
struct LiveServers {
  std::mutex mutex;
  std::vector<std::weak_ptr<SelectionServer::Impl>> servers;
};

LiveServers& liveServers() {
  // Never destroyed: the exit handler runs after static destructors may have.
  static NoDestructor<LiveServers> live;
  return *live;
}

// The process that last opened a server: a child forked since has none of
// the connection threads, and nothing to hand over until it opens its own.
// The exit handler registered by the parent is the child's too.
std::atomic<pid_t> lastOpenedBy{0};

// At exit, what this process still serves goes to the clipboard manager;
// the whole handover is bounded by one limit.
void handOverAtExit() {
  if (::getpid() != lastOpenedBy.load()) return;
  std::vector<std::shared_ptr<SelectionServer::Impl>> owning;
  {
    LiveServers& live = liveServers();
    std::lock_guard lock(live.mutex);
    for (const auto& weak : live.servers) {
      // The parent's servers, copied by a fork, are not this process's to hand over.
      if (auto impl = weak.lock(); impl && impl->thread.inStartingProcess() && impl->owning) {
        owning.push_back(std::move(impl));
      }
    }
  }
  for (const auto& impl : owning) {
    const auto deadline = Clock::now() + impl->limits.handOverLimit;
    (void)impl->thread.run([impl, deadline] { (void)impl->handOver(deadline); },
                           impl->limits.handOverLimit + std::chrono::milliseconds(500));
  }
}

}  // namespace

std::unique_ptr<SelectionServer> SelectionServer::open(const std::string& displayName, Limits limits) {
  if (displayName.empty()) return nullptr;
  auto impl = std::make_shared<Impl>();
  impl->displayName = displayName;
  impl->limits = limits;
  Impl* const raw = impl.get();
  X11ConnectionThread::Hooks hooks;
  hooks.open = [raw](X11Connection& connection) { return raw->openConnection(connection); };
  hooks.event = [raw](const XEvent& event) { raw->handle(event); };
  hooks.beforeWait = [raw] { return raw->beforeWait(); };
  hooks.close = [raw](bool lost) { raw->close(lost); };
  if (!impl->thread.start(displayName, std::move(hooks), impl, limits.commandLimit)) return nullptr;
  lastOpenedBy = ::getpid();
  {
    LiveServers& live = liveServers();
    std::lock_guard lock(live.mutex);
    std::erase_if(live.servers, [](const auto& weak) { return weak.expired(); });
    live.servers.push_back(impl);
  }
  return std::make_unique<SelectionServer>(std::move(impl));
}

SelectionServer::SelectionServer(std::shared_ptr<Impl> impl) : impl_(std::move(impl)) {}

SelectionServer::~SelectionServer() { impl_->thread.stop(); }

bool SelectionServer::own(std::vector<SelectionOffer> offers) {
  auto shared = std::make_shared<std::vector<SelectionOffer>>(std::move(offers));
  const std::shared_ptr<Impl> impl = impl_;
  const bool ran = impl_->thread.run([impl, shared] { impl->takeSelection(std::move(*shared)); },
                                     impl_->limits.commandLimit);
  if (!ran || !impl_->owning) return false;
  // Registered on the first take, not as the library loads: a program that
  // never copies runs nothing at exit.
  static std::once_flag registered;
  std::call_once(registered, [] { std::atexit(handOverAtExit); });
  return true;
}

void SelectionServer::release() {
  const std::shared_ptr<Impl> impl = impl_;
  (void)impl_->thread.run([impl] { impl->giveUpSelection(); }, impl_->limits.commandLimit);
}

bool SelectionServer::handOverToClipboardManager() {
  const std::shared_ptr<Impl> impl = impl_;
  auto handed = std::make_shared<std::atomic<bool>>(false);
  const bool ran = impl_->thread.run(
      [impl, handed] { *handed = impl->handOver(Clock::now() + impl->limits.handOverLimit); },
      impl_->limits.commandLimit + impl_->limits.handOverLimit);
  return ran && *handed;
}

// A forked child's copy still reads the parent's flag: it owns nothing.
bool SelectionServer::owns() const { return impl_->thread.inStartingProcess() && impl_->owning; }

bool SelectionServer::confirmOwnership() {
  const std::shared_ptr<Impl> impl = impl_;
  const bool ran = impl_->thread.run(
      [impl] {
        if (impl->owning && XGetSelectionOwner(impl->display, impl->ids.clipboard) != impl->ids.window) {
          impl->owning = false;
          impl->served.clear();
        }
      },
      impl_->limits.commandLimit);
  return ran && impl_->owning;
}

unsigned long SelectionServer::window() const { return impl_->windowId; }

bool SelectionServer::isConnected() const { return impl_->thread.isConnected(); }

std::size_t SelectionServer::activeTransfers() const { return impl_->transferCount; }

const std::string& SelectionServer::displayName() const { return impl_->displayName; }

#else

ClipboardWindow ClipboardWindow::create(_XDisplay*, const char*) { return {}; }
void ClipboardWindow::destroy(_XDisplay*) const {}

struct SelectionServer::Impl {
  std::string displayName;
};

std::unique_ptr<SelectionServer> SelectionServer::open(const std::string&, Limits) { return nullptr; }
SelectionServer::SelectionServer(std::shared_ptr<Impl> impl) : impl_(std::move(impl)) {}
SelectionServer::~SelectionServer() = default;
bool SelectionServer::own(std::vector<SelectionOffer>) { return false; }
void SelectionServer::release() {}
bool SelectionServer::handOverToClipboardManager() { return false; }
bool SelectionServer::owns() const { return false; }
bool SelectionServer::confirmOwnership() { return false; }
unsigned long SelectionServer::window() const { return 0; }
bool SelectionServer::isConnected() const { return false; }
std::size_t SelectionServer::activeTransfers() const { return 0; }
const std::string& SelectionServer::displayName() const { return impl_->displayName; }

#endif  // VANTREL_WITH_X11

}  // namespace vantrel::desktop_internal
