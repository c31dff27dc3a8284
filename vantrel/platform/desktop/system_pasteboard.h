// File: vantrel/platform/desktop/system_pasteboard.h
//
// `SystemPasteboard`: a pasteboard that is the desktop's clipboard (the X11
// `CLIPBOARD` selection) when a display opens, and the in-memory model of
// pasteboard.h otherwise (no display, or a build without X11).
// `Pasteboard::general()` is the process's one general pasteboard, a
// `SystemPasteboard` on $DISPLAY.
//
//   printDebugInfoAboutTypes(Pasteboard::general());   // what was copied
//   Pasteboard::general().writeItems({item});          // other programs paste it
//
// Writing: `writeItems` adds to the in-memory model and then takes the
// selection, serving the model to other programs (see
// internal/selection_server.h) until another client takes it. Each type is
// offered under the targets a reader maps back to it: the string type as
// `UTF8_STRING` and "text/plain;charset=utf-8", and for programs that know
// only ICCCM's older targets as `STRING` (Latin-1, when the text has a
// Latin-1 form) and `TEXT`; other MIME types as themselves; the library's
// own identifiers stay in this process. A type's bytes are its data, else
// its string. Once another client has taken the clipboard, the model is
// what that client replaced: a later write starts from empty, and while no
// client serves the clipboard reads find it empty, so this process never
// serves, nor reads back, data another program has replaced. `clearContents`
// empties the model and gives the selection up when it is ours (after
// $DISPLAY changed, it closes the connection to the display named before).
// While the selection is ours, reads answer from the in-memory model; when
// someone else owns it, from them; with no owner, from the in-memory model.
// What the process still serves at exit goes to the desktop's clipboard
// manager when one runs (at most about 2 s). A child forked from a process
// that serves the clipboard keeps a copy of the model but not the serving:
// its reads ask the owner (the parent, until the child writes), and its
// first write takes the clipboard on a connection of its own.
//
// What the desktop's clipboard answers:
// - types: the owner's `TARGETS`, mapped to the library's identifiers:
//   `UTF8_STRING` and "text/plain;charset=utf-8" are the string type, other
//   MIME types ("text/uri-list", "image/png", "text/html") are their own
//   identifiers; targets that are not MIME types (TARGETS, TIMESTAMP,
//   MULTIPLE, SAVE_TARGETS, STRING, TEXT, COMPOUND_TEXT, ...) are left out.
//   Each identifier once, in the owner's order.
// - items: one item offering every type with the data converted for it
//   (absent when the owner refused that target); types starting with
//   "text/" also as a string (the bytes as UTF-8 text).
// - URL objects: the lines of "text/uri-list" (comments and blank lines
//   left out), each a URL when it parses as one, else its text.
// - property lists: none.
//
// Every read asks the owner afresh (large data comes incrementally, INCR),
// on its own connection, and waits at most `answerLimit` (1 s) for each
// answer (each chunk of an incremental transfer too) and ten times that for
// a whole transfer: an owner that stays silent gives no data, and types and
// items answer empty lists. An owner that stayed silent is not asked again for
// `answerLimit` × 5, so a dump of a stuck clipboard ends in about a second.
// The X server's own answers are waited for the same way: a read runs on a
// thread of its own, so a server that stops answering (a stopped process, a
// network gone quiet) holds that thread and the caller gets no data after
// about `answerLimit`; until that server answers the waiting read, every
// read gives no data at once. A write waits at most 5 s for each step on
// the server (opening the connection, taking the selection); one that was
// not answered stays in the in-memory model. Data beyond 64 MiB for one type is refused (no data). Thread-safe.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "vantrel/platform/foundation/pasteboard/pasteboard.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class SystemPasteboard : public Pasteboard {
 public:
  // `displayName` "" means $DISPLAY, read at each access.
  explicit SystemPasteboard(std::string displayName = {},
                            std::chrono::milliseconds answerLimit = std::chrono::seconds(1));
  ~SystemPasteboard() override;

  [[nodiscard]] std::optional<std::vector<PasteboardType>> types() const override;
  [[nodiscard]] std::optional<std::vector<PasteboardItem>> pasteboardItems() const override;
  [[nodiscard]] std::optional<Data> dataForType(const PasteboardType& type) const override;
  [[nodiscard]] std::optional<PropertyList> propertyListForType(const PasteboardType& type) const override;
  [[nodiscard]] std::optional<std::string> stringForType(const PasteboardType& type) const override;
  [[nodiscard]] std::optional<std::vector<PasteboardObject>> readObjectsForClasses(
      const std::vector<PasteboardReadableClass>& classes) const override;

  void clearContents() override;
  void writeItems(std::vector<PasteboardItem> items) override;

  // Whether this process owns the desktop's clipboard (taken by a write, not
  // yet taken by another client since).
  [[nodiscard]] bool ownsDesktopClipboard() const;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace vantrel
