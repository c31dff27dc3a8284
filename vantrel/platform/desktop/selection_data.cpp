#include "vantrel/platform/desktop/internal/selection_data.h"

#include <cstring>

#include "vantrel/platform/foundation/pasteboard/pasteboard.h"
#include "vantrel/platform/desktop/system_pasteboard.h"

namespace vantrel::foundation_internal {

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

std::vector<std::string> selectionTargetsForPasteboardType(std::string_view type) {
  if (type == pasteboard_identifiers::NSPasteboardTypeString) {
    return {"UTF8_STRING", std::string(pasteboard_identifiers::NSPasteboardTypeString)};
  }
  // Only what the reader maps back to this very type: a MIME type spelled
  // as the reader keeps it.
  if (type.empty() || pasteboardTypeForSelectionTarget(type) != type) return {};
  return {std::string(type)};
}

}  // namespace vantrel::foundation_internal
