#include "vantrel/text/internal/canonical.h"

#include <algorithm>

#include <unicode/bytestream.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include "vantrel/core/fatal.h"
#include "vantrel/text/internal/utf8.h"

namespace vantrel::text_internal {
namespace {

const icu::Normalizer2& nfdNormalizer() {
  static const icu::Normalizer2* normalizer = [] {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* n = icu::Normalizer2::getNFDInstance(status);
    if (U_FAILURE(status) || n == nullptr) fatal("ICU NFD normalizer unavailable");
    return n;
  }();
  return *normalizer;
}

char asciiFold(char c, FoldOptions options) {
  if (options.caseInsensitive && c >= 'A' && c <= 'Z') return static_cast<char>(c - 'A' + 'a');
  return c;
}

// Folds one segment (or any text) that holds non-ASCII scalars.
void appendFoldedSlow(std::string& out, std::string_view segment, FoldOptions options) {
  const icu::Normalizer2& n = nfdNormalizer();
  UErrorCode status = U_ZERO_ERROR;
  // Invalid bytes become U+FFFD here, as everywhere ICU reads the text.
  icu::UnicodeString s =
      icu::UnicodeString::fromUTF8(icu::StringPiece(segment.data(), icuLength(segment)));
  icu::UnicodeString d = n.normalize(s, status);
  if (U_FAILURE(status)) fatal("ICU could not normalise text");
  if (options.caseInsensitive) {
    d.foldCase();
    status = U_ZERO_ERROR;
    d = n.normalize(d, status);
    if (U_FAILURE(status)) fatal("ICU could not normalise text");
  }
  if (options.diacriticInsensitive) {
    icu::UnicodeString kept;
    for (int32_t i = 0; i < d.length();) {
      const UChar32 c = d.char32At(i);
      if (u_charType(c) != U_NON_SPACING_MARK) kept.append(c);
      i += U16_LENGTH(c);
    }
    d = kept;
  }
  d.toUTF8String(out);
}

}  // namespace

FoldedText::FoldedText(std::string_view text, FoldOptions options) {
  folded_.reserve(text.size());
  const icu::Normalizer2& n = nfdNormalizer();
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t segStart = pos;
    const Decoded first = decodeScalar(text, pos);
    pos += first.length;
    // The segment runs until NFD could not reorder or join anything across
    // the cut: after a scalar that ends in a starter, or before one that
    // starts with a starter. ASCII scalars are starters on both sides.
    char32_t previous = first.scalar;
    while (pos < text.size() && previous >= 0x80 && !n.hasBoundaryAfter(static_cast<UChar32>(previous))) {
      if (static_cast<unsigned char>(text[pos]) < 0x80) break;
      const Decoded next = decodeScalar(text, pos);
      if (n.hasBoundaryBefore(static_cast<UChar32>(next.scalar))) break;
      pos += next.length;
      previous = next.scalar;
    }
    foldedStarts_.push_back(folded_.size());
    originalStarts_.push_back(segStart);
    const std::string_view segment = text.substr(segStart, pos - segStart);
    if (segment.size() == 1 && static_cast<unsigned char>(segment[0]) < 0x80) {
      folded_.push_back(asciiFold(segment[0], options));
    } else {
      appendFoldedSlow(folded_, segment, options);
    }
  }
  foldedStarts_.push_back(folded_.size());
  originalStarts_.push_back(text.size());
}

bool FoldedText::isSegmentStart(std::size_t foldedOffset) const {
  return std::binary_search(foldedStarts_.begin(), foldedStarts_.end(), foldedOffset);
}

std::size_t FoldedText::originalOffset(std::size_t foldedOffset) const {
  // Several segments may fold to nothing (marks removed); the first of them
  // is the earliest original position that maps here.
  const auto it = std::lower_bound(foldedStarts_.begin(), foldedStarts_.end(), foldedOffset);
  if (it == foldedStarts_.end() || *it != foldedOffset) fatal("Not a segment start of the folded text");
  return originalStarts_[static_cast<std::size_t>(it - foldedStarts_.begin())];
}

std::string foldForSearch(std::string_view text, FoldOptions options) {
  if (isAscii(text)) {
    std::string out(text);
    for (char& c : out) c = asciiFold(c, options);
    return out;
  }
  std::string out;
  appendFoldedSlow(out, text, options);
  return out;
}

std::optional<std::size_t> findFolded(const FoldedText& haystack, std::string_view needle, std::size_t from) {
  if (needle.empty()) return std::nullopt;
  const std::string_view h = haystack.folded();
  for (std::size_t pos = h.find(needle, from); pos != std::string_view::npos; pos = h.find(needle, pos + 1)) {
    if (haystack.isSegmentStart(pos) && haystack.isSegmentStart(pos + needle.size())) return pos;
  }
  return std::nullopt;
}

std::string nfdForm(std::string_view text) {
  if (isAscii(text)) return std::string(text);
  std::string out;
  appendFoldedSlow(out, text, FoldOptions{});
  return out;
}

}  // namespace vantrel::text_internal
