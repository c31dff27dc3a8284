#include "vantrel/platform/kit/attributed_string.h"

namespace vantrel {

const AttributedString::Attributes& AttributedString::attributesAt(std::size_t offset) const {
  std::size_t end = 0;
  for (const Run& run : runs_) {
    end += run.length;
    if (offset < end) return run.attributes;
  }
  return runs_.back().attributes;
}

void AttributedString::append(const AttributedString& other) {
  if (other.string_.empty()) return;
  if (string_.empty()) {
    *this = other;
    return;
  }
  string_ += other.string_;
  auto next = other.runs_.begin();
  if (runs_.back().attributes == next->attributes) {
    runs_.back().length += next->length;
    ++next;
  }
  runs_.insert(runs_.end(), next, other.runs_.end());
}

AttributedString vtAttributedStringWithAttributes(std::string text,
                                                  std::optional<AttributedString::Attributes> attributes) {
  return AttributedString(std::move(text), std::move(attributes).value_or(AttributedString::Attributes{}));
}

AttributedString vtMutableAttributedStringWithAttributes(std::string text,
                                                         std::optional<AttributedString::Attributes> attributes) {
  return vtAttributedStringWithAttributes(std::move(text), std::move(attributes));
}

AttributedString vtAttributedStringAppendedBy(std::string text, const AttributedString& other) {
  AttributedString result(std::move(text));
  result.append(other);
  return result;
}

}  // namespace vantrel
