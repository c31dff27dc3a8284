#include "vantrel/platform/desktop/system_pasteboard.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "vantrel/core/no_destructor.h"
#include "vantrel/platform/foundation/files/url.h"
#include "vantrel/platform/desktop/internal/selection_data.h"
#include "vantrel/platform/desktop/internal/selection_server.h"
#include "vantrel/platform/desktop/internal/server_calls.h"
#include "vantrel/platform/desktop/internal/x11_connection.h"

#if VANTREL_WITH_X11
#include <poll.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#endif

namespace vantrel {

namespace {

bool isTextType(const PasteboardType& type) { return std::string_view(type.rawValue()).starts_with("text/"); }

// The URL objects of a "text/uri-list": one per line, comments left out.
std::vector<PasteboardObject> uriListObjects(const Data& data) {
  std::vector<PasteboardObject> out;
  const std::string_view text(reinterpret_cast<const char*>(data.data()), data.size());
  for (std::string& line : desktop_internal::uriListEntries(text)) {
    if (auto url = URL::fromString(line)) {
      out.emplace_back(*std::move(url));
    } else {
      out.emplace_back(std::move(line));
    }
  }
  return out;
}

using desktop_internal::AnswerClock;

#if VANTREL_WITH_X11

constexpr std::size_t kMaxSelectionBytes = std::size_t{64} << 20;

enum class Outcome { data, refused, silent, failed };

struct Converted {
  Outcome outcome = Outcome::failed;
  Atom type = 0;
  int format = 0;
  Data bytes;  // format 32: 4 bytes per item, in the host's order
};

// One connection for one read: a window of our own receives the converted
// data in a property. Errors on it answer our requests (a bad atom in an
// owner's TARGETS); a lost server ends the read, which answers no data.
class SelectionConnection {
 public:
  SelectionConnection(const std::string& displayName, AnswerClock& clock)
      : connection_(displayName), display_(connection_.display()), clock_(clock) {
    clock_.answered();
    if (connection_.isOpen()) ids_ = desktop_internal::ClipboardWindow::create(display_, "VANTREL_SELECTION");
    clock_.answered();
  }

  ~SelectionConnection() {
    if (connection_.isOpen()) ids_.destroy(display_);
  }

  SelectionConnection(const SelectionConnection&) = delete;  // owns the connection
  SelectionConnection& operator=(const SelectionConnection&) = delete;

  [[nodiscard]] bool isOpen() const { return connection_.isOpen(); }

  [[nodiscard]] unsigned long owner() {
    const unsigned long owner = XGetSelectionOwner(display_, ids_.clipboard);
    clock_.answered();
    return owner;
  }

  Converted convertTargets(std::chrono::milliseconds limit) { return convert(ids_.targets, limit); }

  // The names of `atoms`; "" for an atom the server does not know.
  std::vector<std::string> atomNames(const std::vector<std::uint32_t>& atoms) {
    std::vector<std::string> out(atoms.size());
    if (atoms.empty()) return out;
    std::vector<Atom> list(atoms.begin(), atoms.end());
    std::vector<char*> names(atoms.size(), nullptr);
    XGetAtomNames(display_, list.data(), static_cast<int>(list.size()), names.data());
    clock_.answered();
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (names[i] != nullptr) {
        out[i] = names[i];
        XFree(names[i]);
      }
    }
    return out;
  }

  Atom atom(const std::string& name) {
    const Atom atom = XInternAtom(display_, name.c_str(), False);
    clock_.answered();
    return atom;
  }

  // Asks the owner to convert the selection to `target`; waits at most
  // `limit` for each answer and ten times that in all.
  Converted convert(Atom target, std::chrono::milliseconds limit) {
    Converted result;
    const auto overall = std::chrono::steady_clock::now() + 10 * limit;
    XDeleteProperty(display_, ids_.window, ids_.property);
    XConvertSelection(display_, ids_.clipboard, target, ids_.property, ids_.window, CurrentTime);
    XEvent event;
    const auto isNotify = [&](const XEvent& e) {
      return e.type == SelectionNotify && e.xselection.requestor == ids_.window && e.xselection.selection == ids_.clipboard;
    };
    if (!waitFor(event, isNotify, std::min(overall, std::chrono::steady_clock::now() + limit))) {
      result.outcome = connection_.isLost() ? Outcome::failed : Outcome::silent;
      return result;
    }
    if (event.xselection.property == None) {
      result.outcome = Outcome::refused;
      return result;
    }
    if (!readProperty(result)) return result;
    if (result.type != ids_.incr) {
      result.outcome = Outcome::data;
      return result;
    }
    // Incremental transfer: deleting the property (done by the read) asks
    // for the next chunk; an empty chunk ends it.
    result.bytes.clear();
    desktop_internal::IncrAssembly assembly(kMaxSelectionBytes);
    const auto isNewChunk = [&](const XEvent& e) {
      return e.type == PropertyNotify && e.xproperty.window == ids_.window && e.xproperty.atom == ids_.property &&
             e.xproperty.state == PropertyNewValue;
    };
    for (;;) {
      if (!waitFor(event, isNewChunk, std::min(overall, std::chrono::steady_clock::now() + limit))) {
        result.outcome = connection_.isLost() ? Outcome::failed : Outcome::silent;
        result.bytes.clear();
        return result;
      }
      Converted chunk;
      if (!readProperty(chunk)) return result;
      const auto state = assembly.append(chunk.bytes);
      if (state == desktop_internal::IncrAssembly::State::overCap) return result;
      if (state == desktop_internal::IncrAssembly::State::finished) break;
      result.type = chunk.type;
    }
    result.bytes = assembly.take();
    result.outcome = Outcome::data;
    return result;
  }

 private:
  template <typename Predicate>
  bool waitFor(XEvent& event, Predicate matches, std::chrono::steady_clock::time_point deadline) {
    for (;;) {
      while (!connection_.isLost() && XPending(display_) > 0) {
        XNextEvent(display_, &event);
        clock_.answered();
        if (matches(event)) return true;
      }
      if (connection_.isLost()) return false;
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return false;
      pollfd fd{ConnectionNumber(display_), POLLIN, 0};
      ::poll(&fd, 1, static_cast<int>(std::min<std::int64_t>(left.count() + 1, 60'000)));
    }
  }

  // Reads and deletes the property; false (outcome failed) when it is too
  // large or cannot be read.
  bool readProperty(Converted& into) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const long maxLongs = static_cast<long>(kMaxSelectionBytes / 4 + 1);
    const int status = XGetWindowProperty(display_, ids_.window, ids_.property, 0, maxLongs, True, AnyPropertyType, &type,
                                          &format, &count, &after, &data);
    clock_.answered();
    if (status != Success || connection_.isLost()) {
      if (data != nullptr) XFree(data);
      into.outcome = Outcome::failed;
      return false;
    }
    into.type = type;
    into.format = format;
    if (after != 0) {
      if (data != nullptr) XFree(data);
      into.outcome = Outcome::failed;
      return false;
    }
    if (data != nullptr) {
      if (format == 8) {
        into.bytes.assign(data, data + count);
      } else if (format == 16) {
        const auto* values = reinterpret_cast<const unsigned short*>(data);
        for (unsigned long i = 0; i < count; ++i) {
          const std::uint16_t v = values[i];
          const auto* b = reinterpret_cast<const std::uint8_t*>(&v);
          into.bytes.insert(into.bytes.end(), b, b + 2);
        }
      } else if (format == 32) {
        // Xlib hands out 32-bit items as longs.
        const auto* values = reinterpret_cast<const unsigned long*>(data);
        for (unsigned long i = 0; i < count; ++i) {
          const auto v = static_cast<std::uint32_t>(values[i]);
          const auto* b = reinterpret_cast<const std::uint8_t*>(&v);
          into.bytes.insert(into.bytes.end(), b, b + 4);
        }
      }
      XFree(data);
    }
    return true;
  }

  desktop_internal::X11Connection connection_;
  Display* display_ = nullptr;
  AnswerClock& clock_;
  desktop_internal::ClipboardWindow ids_;
};

#endif  // VANTREL_WITH_X11

// What the desktop's clipboard offers: its types and, per type, the target
// to convert.
struct ClipboardOffer {
  PasteboardType type;
  std::string target;
};
struct ClipboardSnapshot {
  std::vector<ClipboardOffer> offers;
  std::vector<std::optional<Data>> data;  // per offer, when asked for
};

// The owner that last stayed silent, and when: it is not asked again for a
// while. Shared with the reads' threads.
struct SilentOwner {
  std::mutex mutex;
  unsigned long owner = 0;
  std::chrono::steady_clock::time_point since;
};

// One read of the desktop's clipboard, done on a thread of its own (see
// internal/server_calls.h): what it is asked and what it found, kept by
// that thread as long as it runs.
struct ClipboardRead {
  // Asked for.
  std::string displayName;
  std::chrono::milliseconds answerLimit{};
  bool withData = false;
  std::optional<PasteboardType> onlyType;
  unsigned long ownWindow = 0;  // this pasteboard's server's window, when it serves
  std::shared_ptr<SilentOwner> silent;

  // Found.
  enum class Found { noDisplay, noOwner, owner };
  Found found = Found::noDisplay;
  unsigned long owner = 0;
  ClipboardSnapshot snapshot;

  bool ownerIsSilent(unsigned long candidate) const {
    std::lock_guard lock(silent->mutex);
    return candidate == silent->owner && std::chrono::steady_clock::now() - silent->since < 5 * answerLimit;
  }

  void markSilent(unsigned long candidate) const {
    std::lock_guard lock(silent->mutex);
    silent->owner = candidate;
    silent->since = std::chrono::steady_clock::now();
  }

  // The reading thread.
  void run(AnswerClock& clock) {
#if VANTREL_WITH_X11
    SelectionConnection connection(displayName, clock);
    if (!connection.isOpen()) return;
    owner = connection.owner();
    if (!connection.isOpen()) return;
    if (owner == None) {
      found = Found::noOwner;
      return;
    }
    found = Found::owner;
    // Our own data is answered from memory, not through the server.
    if (owner == ownWindow || ownerIsSilent(owner)) return;
    const Converted targets = connection.convertTargets(answerLimit);
    if (targets.outcome == Outcome::silent) {
      markSilent(owner);
      return;
    }
    if (targets.outcome != Outcome::data) return;
    const std::vector<std::string> names =
        connection.atomNames(desktop_internal::selectionTargetAtoms(targets.format, targets.bytes));
    for (const std::string& name : names) {
      std::string id = desktop_internal::pasteboardTypeForSelectionTarget(name);
      if (id.empty()) continue;
      PasteboardType type(std::move(id));
      const bool seen = std::any_of(snapshot.offers.begin(), snapshot.offers.end(),
                                    [&](const ClipboardOffer& o) { return o.type == type; });
      if (!seen) snapshot.offers.push_back(ClipboardOffer{std::move(type), name});
    }
    snapshot.data.resize(snapshot.offers.size());
    if (!withData) return;
    for (std::size_t i = 0; i < snapshot.offers.size(); ++i) {
      if (onlyType && !(snapshot.offers[i].type == *onlyType)) continue;
      const Converted converted = connection.convert(connection.atom(snapshot.offers[i].target), answerLimit);
      if (converted.outcome == Outcome::data) {
        snapshot.data[i] = converted.bytes;
      } else if (converted.outcome == Outcome::silent) {
        markSilent(owner);
        break;
      }
    }
#else
    (void)clock;
#endif
  }
};

}  // namespace

struct SystemPasteboard::Impl {
  std::string displayName;
  std::chrono::milliseconds answerLimit;

  // Orders writes and what they hand to the server, so the desktop sees the
  // model of the last write. The server is replaced when the display changes
  // or has gone away.
  mutable std::mutex serveMutex;
  std::unique_ptr<desktop_internal::SelectionServer> server;
  bool published = false;  // the model went to the desktop with the last write

  // The display named now ("" for none).
  std::string currentDisplay() const {
    if (!displayName.empty()) return displayName;
    const char* env = std::getenv("DISPLAY");
    return env != nullptr ? std::string(env) : std::string();
  }

  // The server for the display named now, opened when needed; null without
  // a display. Under `serveMutex`.
  desktop_internal::SelectionServer* serverForCurrentDisplay() {
    const std::string name = currentDisplay();
    if (server && (server->displayName() != name || !server->isConnected())) server.reset();
    if (!server && !name.empty()) server = desktop_internal::SelectionServer::open(name);
    return server.get();
  }

  // Serves the in-memory model of `board` (the first item offering a type
  // gives its bytes). Under `serveMutex`.
  void publish(const SystemPasteboard& board) {
    published = false;
    desktop_internal::SelectionServer* serving = serverForCurrentDisplay();
    if (serving == nullptr) return;
    std::vector<desktop_internal::SelectionOffer> offers;
    for (const PasteboardType& type : board.Pasteboard::types().value_or(std::vector<PasteboardType>{})) {
      std::optional<Data> bytes = board.Pasteboard::dataForType(type);
      if (!bytes) {
        if (auto string = board.Pasteboard::stringForType(type)) bytes = Data(string->begin(), string->end());
      }
      if (!bytes) continue;
      auto shared = std::make_shared<const Data>(*std::move(bytes));
      for (std::string& target : desktop_internal::selectionTargetsForPasteboardType(type.rawValue())) {
        offers.push_back(desktop_internal::SelectionOffer{std::move(target), shared});
      }
      if (type == PasteboardType::string()) addLegacyTextOffers(*shared, offers);
    }
    published = serving->own(std::move(offers));
  }

  // ICCCM's older text targets, which some programs ask for alone: STRING
  // (Latin-1) when the text has a Latin-1 form, and TEXT, sent as STRING
  // then and as UTF8_STRING otherwise.
  static void addLegacyTextOffers(const Data& utf8, std::vector<desktop_internal::SelectionOffer>& offers) {
    const std::string_view text(reinterpret_cast<const char*>(utf8.data()), utf8.size());
    if (std::optional<Data> latin1 = desktop_internal::latin1FromUtf8(text)) {
      auto shared = std::make_shared<const Data>(*std::move(latin1));
      offers.push_back(desktop_internal::SelectionOffer{"STRING", shared});
      offers.push_back(desktop_internal::SelectionOffer{"TEXT", shared, "STRING"});
    } else {
      offers.push_back(desktop_internal::SelectionOffer{"TEXT", std::make_shared<const Data>(utf8), "UTF8_STRING"});
    }
  }

  // Whether another client has taken the clipboard since the model was
  // last served: then the model is data that client replaced, and neither
  // reads nor a later write may serve it again. Under `serveMutex`.
  bool modelReplaced() const {
    return published && server && server->isConnected() && server->displayName() == currentDisplay() &&
           !server->owns();
  }

  // Gives the selection up; a server for a display no longer named is
  // closed instead.
  void withdraw() {
    published = false;
    if (!server) return;
    if (server->displayName() == currentDisplay()) {
      server->release();
    } else {
      server.reset();
    }
  }

  // The window of this pasteboard's server when it serves the display named
  // now, else 0: the selection owner that means the in-memory model is what
  // the desktop sees.
  unsigned long ownWindow() const {
    std::lock_guard lock(serveMutex);
    // A server that lost its connection no longer has its window, whose id
    // the X server may have handed to another client since.
    if (server && server->isConnected() && server->displayName() == currentDisplay()) return server->window();
    return 0;
  }

  std::shared_ptr<SilentOwner> silent = std::make_shared<SilentOwner>();
  // While a read waits for a server that stopped answering, the next ones
  // answer at once.
  mutable desktop_internal::ServerCalls reads;

  using Offer = ClipboardOffer;
  using Snapshot = ClipboardSnapshot;

  // The selection's offers (and their data when `withData`, or only for
  // `onlyType`), or nullopt when the in-memory model answers.
  std::optional<Snapshot> read(bool withData, const PasteboardType* onlyType) const {
#if VANTREL_WITH_X11
    if (currentDisplay().empty()) return std::nullopt;  // never a guessed display
    auto wait = std::make_shared<ClipboardRead>();
    wait->displayName = currentDisplay();
    wait->answerLimit = answerLimit;
    wait->withData = withData;
    if (onlyType != nullptr) wait->onlyType = *onlyType;
    wait->ownWindow = ownWindow();
    wait->silent = silent;
    // A server that leaves an answer waiting gives no data.
    if (!reads.run([wait](AnswerClock& clock) { wait->run(clock); }, answerLimit)) return Snapshot{};
    switch (wait->found) {
      case ClipboardRead::Found::noDisplay:
        return std::nullopt;
      case ClipboardRead::Found::noOwner: {
        // Nobody serves the clipboard: the model answers, unless another
        // client had replaced it before it went.
        std::lock_guard lock(serveMutex);
        if (modelReplaced()) return Snapshot{};
        return std::nullopt;
      }
      case ClipboardRead::Found::owner:
        // Our own server, asked before the read knew it was ours: the model
        // it serves answers.
        if (wait->owner == ownWindow()) return std::nullopt;
        return std::move(wait->snapshot);
    }
    return std::nullopt;
#else
    (void)withData;
    (void)onlyType;
    return std::nullopt;
#endif
  }

  static std::optional<Data> dataOf(const Snapshot& snapshot, const PasteboardType& type) {
    for (std::size_t i = 0; i < snapshot.offers.size(); ++i) {
      if (snapshot.offers[i].type == type) return snapshot.data[i];
    }
    return std::nullopt;
  }
};

SystemPasteboard::SystemPasteboard(std::string displayName, std::chrono::milliseconds answerLimit)
    : impl_(std::make_unique<Impl>()) {
  impl_->displayName = std::move(displayName);
  impl_->answerLimit = answerLimit;
}

SystemPasteboard::~SystemPasteboard() = default;

std::optional<std::vector<PasteboardType>> SystemPasteboard::types() const {
  const auto snapshot = impl_->read(false, nullptr);
  if (!snapshot) return Pasteboard::types();
  std::vector<PasteboardType> out;
  for (const auto& offer : snapshot->offers) out.push_back(offer.type);
  return out;
}

std::optional<std::vector<PasteboardItem>> SystemPasteboard::pasteboardItems() const {
  const auto snapshot = impl_->read(true, nullptr);
  if (!snapshot) return Pasteboard::pasteboardItems();
  std::vector<PasteboardItem> out;
  if (snapshot->offers.empty()) return out;
  PasteboardItem item;
  for (std::size_t i = 0; i < snapshot->offers.size(); ++i) {
    const PasteboardType& type = snapshot->offers[i].type;
    const std::optional<Data>& data = snapshot->data[i];
    if (!data) {
      // Offered but not delivered: the type stays listed, without values.
      item.addType(type);
      continue;
    }
    item.setData(*data, type);
    if (isTextType(type)) item.setString(std::string(data->begin(), data->end()), type);
  }
  out.push_back(std::move(item));
  return out;
}

std::optional<Data> SystemPasteboard::dataForType(const PasteboardType& type) const {
  const auto snapshot = impl_->read(true, &type);
  if (!snapshot) return Pasteboard::dataForType(type);
  return Impl::dataOf(*snapshot, type);
}

std::optional<PropertyList> SystemPasteboard::propertyListForType(const PasteboardType& type) const {
  const auto snapshot = impl_->read(false, nullptr);
  if (!snapshot) return Pasteboard::propertyListForType(type);
  return std::nullopt;
}

std::optional<std::string> SystemPasteboard::stringForType(const PasteboardType& type) const {
  if (!isTextType(type)) {
    const auto snapshot = impl_->read(false, nullptr);
    if (!snapshot) return Pasteboard::stringForType(type);
    return std::nullopt;
  }
  const auto snapshot = impl_->read(true, &type);
  if (!snapshot) return Pasteboard::stringForType(type);
  const auto data = Impl::dataOf(*snapshot, type);
  if (!data) return std::nullopt;
  return std::string(data->begin(), data->end());
}

std::optional<std::vector<PasteboardObject>> SystemPasteboard::readObjectsForClasses(
    const std::vector<PasteboardReadableClass>& classes) const {
  const auto wants = [&](PasteboardReadableClass c) {
    return std::find(classes.begin(), classes.end(), c) != classes.end();
  };
  const PasteboardType uriList = PasteboardType::fileURL();
  const PasteboardType text = PasteboardType::string();
  auto snapshot = impl_->read(false, nullptr);
  if (!snapshot) return Pasteboard::readObjectsForClasses(classes);
  const auto offers = [&](const PasteboardType& t) {
    return std::any_of(snapshot->offers.begin(), snapshot->offers.end(),
                       [&](const Impl::Offer& o) { return o.type == t; });
  };
  // As with the in-memory items: URLs when asked for and offered, else the
  // plain string.
  std::vector<PasteboardObject> out;
  if (wants(PasteboardReadableClass::url) && offers(uriList)) {
    snapshot = impl_->read(true, &uriList);
    if (!snapshot) return Pasteboard::readObjectsForClasses(classes);
    if (auto data = Impl::dataOf(*snapshot, uriList)) return uriListObjects(*data);
    return out;
  }
  if (wants(PasteboardReadableClass::string) && offers(text)) {
    snapshot = impl_->read(true, &text);
    if (!snapshot) return Pasteboard::readObjectsForClasses(classes);
    if (auto data = Impl::dataOf(*snapshot, text)) out.emplace_back(std::string(data->begin(), data->end()));
  }
  return out;
}

void SystemPasteboard::clearContents() {
  std::lock_guard lock(impl_->serveMutex);
  Pasteboard::clearContents();
  impl_->withdraw();
}

void SystemPasteboard::writeItems(std::vector<PasteboardItem> items) {
  std::lock_guard lock(impl_->serveMutex);
  // Writing appends to what this process copied; once another client has
  // taken the clipboard, that is no longer the clipboard's contents, so the
  // write starts from empty (as after `clearContents`). The server is asked
  // now, so a take it has not yet heard of counts too.
  if (impl_->modelReplaced() || (impl_->published && impl_->server && impl_->server->isConnected() &&
                                  !impl_->server->confirmOwnership())) {
    Pasteboard::clearContents();
  }
  Pasteboard::writeItems(std::move(items));
  impl_->publish(*this);
}

bool SystemPasteboard::ownsDesktopClipboard() const {
  std::lock_guard lock(impl_->serveMutex);
  return impl_->server && impl_->server->owns() && impl_->server->displayName() == impl_->currentDisplay();
}

// Found by `Pasteboard::general()` when the program links this library (see
// pasteboard.h): nothing is set up as the library loads.
extern "C" Pasteboard* vantrel_desktop_general_pasteboard() {
  // Never destroyed: a thread may read it while the process exits.
  static NoDestructor<SystemPasteboard> general;
  return &*general;
}

}  // namespace vantrel
