// File: vantrel/platform/desktop/internal/selection_server.h
//
// `SelectionServer`: this process as the owner of the desktop's clipboard
// (the X11 `CLIPBOARD` selection) on one display. It has its own connection
// and its own thread, the only one that talks to that connection; the
// thread answers other clients' requests while the rest of the process goes
// on:
// - `TARGETS` lists `TARGETS`, `TIMESTAMP` and the offered targets;
// - `TIMESTAMP` is the time the selection was taken;
// - an offered target gets its bytes in one property, or, above
//   `Limits::chunkSize`, by incremental transfer (INCR): one chunk of at
//   most that size each time the reader deletes the property, then an empty
//   one. A reader that stops deleting for `Limits::transferStall` is given
//   up, so a reader that vanished leaves nothing behind;
// - anything else is refused.
// When another client takes the selection the server learns it
// (SelectionClear), drops its offers and `owns()` turns false. Whenever
// `owns()` is true the offers of the last `own` are served.
//
// Handing over: a clipboard manager (the owner of `CLIPBOARD_MANAGER`)
// keeps the clipboard's contents when its owner goes. The server asks it to
// (converting `SAVE_TARGETS`, ICCCM) when it is destroyed while it owns the
// selection, and, for servers alive then, at the process's exit, once the
// process has taken the selection; each handover waits at most
// `Limits::handOverLimit` (nothing when no manager runs).
//
//   auto server = SelectionServer::open(":0");
//   server->own({{"UTF8_STRING", bytes}});   // other programs paste `bytes`
//
// Calls wait for the thread at most `Limits::commandLimit`. Destroying the
// server gives up the selection and ends the thread. If the display goes
// away the thread ends and `isConnected()` turns false. In a child forked
// from the process that opened it the server is not connected and owns
// nothing: its calls answer false at once, and destroying it leaves the
// parent's thread and connection alone; the child opens a server of its
// own. Thread-safe.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "vantrel/core/data.h"

struct _XDisplay;

namespace vantrel::desktop_internal {

// The bytes served under one target (an atom's name), and the type the
// property names ("" for the target itself; TEXT is sent as STRING or
// UTF8_STRING).
struct SelectionOffer {
  std::string target;
  std::shared_ptr<const Data> bytes;
  std::string type = {};
};

// A client's window for the clipboard, on a connection of its own: it
// receives converted data (in `property`) and property changes, and the
// atoms both the reader and the server name. One set-up for both.
struct ClipboardWindow {
  unsigned long window = 0;  // X ids (Window, Atom), kept free of X11's headers
  unsigned long clipboard = 0;
  unsigned long targets = 0;
  unsigned long timestamp = 0;
  unsigned long incr = 0;
  unsigned long property = 0;

  // Creates the window (1x1, never mapped, PropertyChangeMask) and interns
  // the atoms; `propertyName` names the window's own property.
  [[nodiscard]] static ClipboardWindow create(_XDisplay* display, const char* propertyName);
  void destroy(_XDisplay* display) const;
};

class SelectionServer {
 public:
  struct Limits {
    std::size_t chunkSize = std::size_t{256} << 10;
    std::chrono::milliseconds transferStall = std::chrono::seconds(5);
    std::chrono::milliseconds commandLimit = std::chrono::seconds(5);
    std::chrono::milliseconds handOverLimit = std::chrono::seconds(2);
  };

  // Connects to `displayName` (not empty); nullptr when it does not open,
  // or in a build without X11.
  [[nodiscard]] static std::unique_ptr<SelectionServer> open(const std::string& displayName, Limits limits);
  [[nodiscard]] static std::unique_ptr<SelectionServer> open(const std::string& displayName) {
    return open(displayName, Limits{});
  }

  ~SelectionServer();
  SelectionServer(const SelectionServer&) = delete;  // owns a connection and a thread
  SelectionServer& operator=(const SelectionServer&) = delete;

  // Takes the selection and serves `offers` (each target once, the first
  // wins); false when the server did not hand it over or the display is gone.
  bool own(std::vector<SelectionOffer> offers);
  // Gives the selection up when it is still ours; drops the offers.
  void release();
  // Asks the clipboard manager to keep what is served, and waits for its
  // answer at most `Limits::handOverLimit` (after the command limit for the
  // thread); true when it said it did. False at once when the selection is
  // not ours or no manager runs.
  bool handOverToClipboardManager();

  // Whether the selection is ours as far as the server told us.
  [[nodiscard]] bool owns() const;
  // Whether the selection is still ours, asked of the X server now (a take
  // by another client whose SelectionClear is still on its way counts);
  // false when the server cannot tell.
  bool confirmOwnership();
  // The window that owns the selection when it is ours (an X window id).
  [[nodiscard]] unsigned long window() const;
  [[nodiscard]] const std::string& displayName() const;
  [[nodiscard]] bool isConnected() const;
  // Incremental transfers under way.
  [[nodiscard]] std::size_t activeTransfers() const;

  struct Impl;
  explicit SelectionServer(std::shared_ptr<Impl> impl);

 private:
  std::shared_ptr<Impl> impl_;  // shared with the thread
};

}  // namespace vantrel::desktop_internal
