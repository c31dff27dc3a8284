#include "vantrel/platform/desktop/internal/selection_data.h"

#include <cstring>

#include "vantrel/platform/foundation/pasteboard/pasteboard.h"

namespace vantrel::desktop_internal {

std::vector<std::uint32_t> selectionTargetAtoms(int format, std::span<const std::uint8_t> bytes) {
  std::vector<std::uint32_t> atoms;
  if (format != 32) return atoms;
  atoms.reserve(bytes.size() / 4);
  for (std::size_t offset = 0; offset + 4 <= bytes.size(); offset += 4) {
    std::uint32_t atom = 0;
    std::memcpy(&atom, bytes.data() + offset, 4);
    if (atom != 0) atoms.push_back(atom);
  }
  return atoms;
}

std::vector<std::string> uriListEntries(std::string_view text) {
  std::vector<std::string> entries;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    entries.emplace_back(line);
  }
  return entries;
}

IncrAssembly::State IncrAssembly::append(std::span<const std::uint8_t> chunk) {
  if (state_ != State::receiving) return state_;
  if (chunk.empty()) {
    state_ = State::finished;
    return state_;
  }
  if (chunk.size() > cap_ - bytes_.size()) {
    state_ = State::overCap;
    Data().swap(bytes_);
    return state_;
  }
  bytes_.insert(bytes_.end(), chunk.begin(), chunk.end());
  return state_;
}

std::string pasteboardTypeForSelectionTarget(std::string_view target) {
  if (target == "UTF8_STRING") return std::string(pasteboard_identifiers::NSPasteboardTypeString);
  std::string lower(target);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  // "text/plain; charset=UTF-8" names the same type as the string type.
  std::string compact;
  for (char c : lower) {
    if (c != ' ') compact.push_back(c);
  }
  if (compact == pasteboard_identifiers::NSPasteboardTypeString) {
    return std::string(pasteboard_identifiers::NSPasteboardTypeString);
  }
  // A MIME type: a type, a slash and a subtype, none of them empty. Atoms
  // such as TARGETS, TIMESTAMP or STRING describe the selection or are
  // older text forms the UTF-8 text already covers.
  const std::size_t slash = target.find('/');
  if (slash == std::string_view::npos || slash == 0 || slash + 1 == target.size()) return {};
  for (unsigned char c : target) {
    if (c < 0x20 || c >= 0x7F) return {};
  }
  return std::string(target);
}

std::vector<std::string> selectionTargetsForPasteboardType(std::string_view type) {
  if (type == pasteboard_identifiers::NSPasteboardTypeString) {
    return {"UTF8_STRING", std::string(pasteboard_identifiers::NSPasteboardTypeString)};
  }
  // Only what the reader maps back to this very type: a MIME type spelled
  // as the reader keeps it.
  if (type.empty() || pasteboardTypeForSelectionTarget(type) != type) return {};
  return {std::string(type)};
}

std::optional<Data> latin1FromUtf8(std::string_view text) {
  Data out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x80) {
      out.push_back(byte);
      continue;
    }
    // U+0080...U+00FF are the two-byte forms led by C2 or C3; every other
    // lead, and a malformed sequence, has no Latin-1 form.
    if ((byte != 0xC2 && byte != 0xC3) || i + 1 == text.size()) return std::nullopt;
    const auto next = static_cast<unsigned char>(text[i + 1]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    out.push_back(static_cast<std::uint8_t>(((byte & 0x03) << 6) | (next & 0x3F)));
    ++i;
  }
  return out;
}

}  // namespace vantrel::desktop_internal
