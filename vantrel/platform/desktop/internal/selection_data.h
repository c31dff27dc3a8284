// File: vantrel/platform/desktop/internal/selection_data.h
//
// What other X clients send for the desktop's clipboard, read without any
// X11 type so that it can be checked (and fuzzed) on its own:
// - `selectionTargetAtoms`: the atoms of a `TARGETS` answer;
// - `uriListEntries`: the entries of a "text/uri-list";
// - `IncrAssembly`: the chunks of an incremental (INCR) transfer, put
//   together up to a size cap;
// and the other way round, the targets under which this process offers a
// pasteboard type when it owns the clipboard
// (`selectionTargetsForPasteboardType`).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/core/data.h"

namespace vantrel::desktop_internal {

// The atoms of a `TARGETS` property: with format 32 each item is 4 bytes in
// the host's order (as the reader packs Xlib's longs). Bytes that make no
// whole item are left out, and so is None (0). Any other format holds no
// atoms: an empty list.
[[nodiscard]] std::vector<std::uint32_t> selectionTargetAtoms(int format, std::span<const std::uint8_t> bytes);

// The entries of a "text/uri-list": one per line (LF or CR LF), blank lines
// and comments (a "#" first) left out. Entries are the lines as they are,
// neither checked nor decoded.
[[nodiscard]] std::vector<std::string> uriListEntries(std::string_view text);

// One incremental transfer: chunks arrive one after another, an empty one
// ends the transfer. More than `cap` bytes in all ends it too, with nothing
// kept. Chunks after the end change nothing.
class IncrAssembly {
 public:
  enum class State { receiving, finished, overCap };

  explicit IncrAssembly(std::size_t cap) : cap_(cap) {}

  // Adds a chunk; answers the state after it.
  State append(std::span<const std::uint8_t> chunk);

  [[nodiscard]] State state() const { return state_; }
  // What arrived so far (everything once finished; nothing once over the cap).
  [[nodiscard]] const Data& bytes() const { return bytes_; }
  [[nodiscard]] Data take() { return std::move(bytes_); }

 private:
  std::size_t cap_;
  State state_ = State::receiving;
  Data bytes_;
};

// The targets that carry a pasteboard type when this process serves the
// clipboard: the string type as `UTF8_STRING` and as its MIME type, any
// other MIME type as itself, and nothing for the library's own identifiers
// (readers would not know them). Each target read back through
// `pasteboardTypeForSelectionTarget` names `type` again.
[[nodiscard]] std::vector<std::string> selectionTargetsForPasteboardType(std::string_view type);

// The library's identifier for an X11 selection target, or "" for a target
// that has none: `UTF8_STRING` and "text/plain;charset=utf-8" (any case,
// blanks ignored) are the string type, a MIME type (a type, a slash and a
// subtype, printable ASCII) is itself; atoms such as TARGETS, TIMESTAMP,
// STRING or TEXT describe the selection or are older text forms the UTF-8
// text already covers.
[[nodiscard]] std::string pasteboardTypeForSelectionTarget(std::string_view target);

// The Latin-1 bytes of UTF-8 `text` (the `STRING` form of ICCCM), or none
// when it holds a character beyond U+00FF or is not UTF-8.
[[nodiscard]] std::optional<Data> latin1FromUtf8(std::string_view text);

}  // namespace vantrel::desktop_internal
