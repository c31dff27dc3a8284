// File: vantrel/text/internal/canonical.h
//
// The folded form that canonical search works on. Include
// vantrel/text/string_services.h instead.
//
// A text is cut into canonical segments wherever NFD cannot reorder anything
// across the cut (after a scalar that decomposes to a trailing starter, or
// before a starter), so the NFD of the whole text is the concatenation of the
// NFDs of its segments. Each segment is folded (NFD, then case folding and
// mark removal when asked) and the offsets of segment starts are kept in both
// forms. A match in the folded form counts only when it starts and ends on
// segment starts, so it maps back to whole original bytes; the callers then
// also require character boundaries there.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel::text_internal {

struct FoldOptions {
  bool caseInsensitive = false;
  bool diacriticInsensitive = false;
};

class FoldedText {
 public:
  FoldedText(std::string_view text, FoldOptions options);

  [[nodiscard]] const std::string& folded() const { return folded_; }
  // Whether `foldedOffset` is a segment start (or the end of the folded text).
  [[nodiscard]] bool isSegmentStart(std::size_t foldedOffset) const;
  // Byte offset in the original text of a segment start of the folded text.
  [[nodiscard]] std::size_t originalOffset(std::size_t foldedOffset) const;

 private:
  std::string folded_;
  std::vector<std::size_t> foldedStarts_;    // ascending, ends with folded_.size()
  std::vector<std::size_t> originalStarts_;  // same length, ends with text.size()
};

// The folded form of a search text (no segment table needed).
[[nodiscard]] std::string foldForSearch(std::string_view text, FoldOptions options);

// First match of `needle` (already folded, not empty) in `haystack` whose
// ends are segment starts, searching from folded offset `from`.
// Returns the folded start offset.
[[nodiscard]] std::optional<std::size_t> findFolded(const FoldedText& haystack, std::string_view needle,
                                                    std::size_t from = 0);

// The NFD of text (ASCII comes back unchanged).
[[nodiscard]] std::string nfdForm(std::string_view text);

}  // namespace vantrel::text_internal
