#include "vantrel/platform/kit/text_storage.h"

#include <fmt/format.h>

#include "vantrel/core/fatal.h"

namespace vantrel {

std::string_view description(AttributedStringKey key) {
  switch (key) {
    case AttributedStringKey::font: return "NSFont";
    case AttributedStringKey::foregroundColor: return "NSColor";
    case AttributedStringKey::paragraphStyle: return "NSParagraphStyle";
    case AttributedStringKey::link: return "NSLink";
  }
  return "unknown";
}

void TextStorage::setString(std::string_view text) {
  string_ = repairedUtf8(text);
  length_ = utf16Length(string_);
  spans_.clear();
  if (length_ > 0) spans_.push_back(Span{length_, {}});
}

void TextStorage::appendAttributedString(std::string_view text, const TextAttributes& attributes) {
  const std::string added = repairedUtf8(text);
  const std::int64_t addedLength = utf16Length(added);
  if (addedLength == 0) return;
  string_ += added;
  length_ += addedLength;
  spans_.push_back(Span{addedLength, attributes});
  mergeEqualNeighbours();
}

void TextStorage::checkRange(Utf16Range range, std::string_view operation) const {
  if (range.location < 0 || range.length < 0 || range.location > length_ || range.length > length_ - range.location) {
    fatal(fmt::format("TextStorage.{}: range {{{}, {}}} outside the text of length {}", operation, range.location,
                      range.length, length_));
  }
  // Stops for an end inside a surrogate pair.
  (void)byteRange(string_, range);
}

std::size_t TextStorage::splitAt(std::int64_t offset) {
  std::int64_t start = 0;
  for (std::size_t i = 0; i < spans_.size(); ++i) {
    if (offset == start) return i;
    const std::int64_t end = start + spans_[i].length;
    if (offset < end) {
      Span tail{end - offset, spans_[i].attributes};
      spans_[i].length = offset - start;
      spans_.insert(spans_.begin() + static_cast<std::ptrdiff_t>(i) + 1, std::move(tail));
      return i + 1;
    }
    start = end;
  }
  return spans_.size();
}

void TextStorage::mergeEqualNeighbours() {
  std::vector<Span> merged;
  for (auto& span : spans_) {
    if (!merged.empty() && merged.back().attributes == span.attributes) {
      merged.back().length += span.length;
    } else {
      merged.push_back(std::move(span));
    }
  }
  spans_ = std::move(merged);
}

void TextStorage::addAttribute(AttributedStringKey key, TextAttributeValue value, Utf16Range range) {
  addAttributes(TextAttributes{{key, std::move(value)}}, range);
}

void TextStorage::addAttributes(const TextAttributes& attributes, Utf16Range range) {
  checkRange(range, "addAttributes");
  if (range.length == 0 || attributes.empty()) return;
  const std::size_t first = splitAt(range.location);
  const std::size_t last = splitAt(range.upperBound());
  for (std::size_t i = first; i < last; ++i) {
    for (const auto& [key, value] : attributes) spans_[i].attributes.insert_or_assign(key, value);
  }
  mergeEqualNeighbours();
}

const TextAttributes& TextStorage::attributesAt(std::int64_t index) const {
  if (index < 0 || index >= length_) {
    fatal(fmt::format("TextStorage.attributesAt: index {} outside the text of length {}", index, length_));
  }
  std::int64_t start = 0;
  for (const auto& span : spans_) {
    if (index < start + span.length) return span.attributes;
    start += span.length;
  }
  return spans_.back().attributes;  // not reached: the spans cover the text
}

std::vector<TextStorage::Run> TextStorage::runs() const {
  std::vector<Run> runs;
  std::int64_t start = 0;
  for (const auto& span : spans_) {
    runs.push_back(Run{Utf16Range{start, span.length}, span.attributes});
    start += span.length;
  }
  return runs;
}

void TextStorage::beginEditing() {
  ++editingDepth_;
  ++beginEditingCount_;
}

void TextStorage::endEditing() {
  if (editingDepth_ == 0) fatal("TextStorage.endEditing: no editing batch was begun");
  --editingDepth_;
  ++endEditingCount_;
}

}  // namespace vantrel
