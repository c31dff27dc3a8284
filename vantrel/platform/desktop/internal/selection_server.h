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
// (SelectionClear), drops its offers and `owns()` turns false.
//
//   auto server = SelectionServer::open(":0");
//   server->own({{"UTF8_STRING", bytes}});   // other programs paste `bytes`
//
// Calls wait for the thread at most `Limits::commandLimit`. Destroying the
// server gives up the selection and ends the thread. If the display goes
// away the thread ends and `isConnected()` turns false. Thread-safe.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "vantrel/core/data.h"

namespace vantrel::foundation_internal {

// The bytes served under one target (an atom's name).
struct SelectionOffer {
  std::string target;
  std::shared_ptr<const Data> bytes;
};

class SelectionServer {
 public:
  struct Limits {
    std::size_t chunkSize = std::size_t{256} << 10;
    std::chrono::milliseconds transferStall = std::chrono::seconds(5);
    std::chrono::milliseconds commandLimit = std::chrono::seconds(5);
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

  // Whether the selection is ours as far as the server told us.
  [[nodiscard]] bool owns() const;
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

}  // namespace vantrel::foundation_internal
