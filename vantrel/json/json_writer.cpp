#include "vantrel/json/json_writer.h"

#include "vantrel/json/internal/json_walk.h"
#include "vantrel/json/json.h"

namespace vantrel {
namespace {

std::string writerErrorText(JsonWriterError::Case c, const PlatformValue& payload) {
  switch (c) {
    case JsonWriterError::dictionaryWithNoStringKey: return "dictionaryWithNoStringKey";
    case JsonWriterError::invalidValue: return "invalidValue(" + payload.description() + ")";
    case JsonWriterError::invalidRootObject: return "invalidRootObject";
    case JsonWriterError::nestingTooDeep: return "nestingTooDeep";
  }
  return {};
}

// The writer's scalars and texts under the shared walk.
class WriterForm {
 public:
  void text(json_internal::JsonTextBuffer& out, const JsonText& text) { json_internal::writeJsonString(out, text); }
  void scalar(json_internal::JsonTextBuffer& out, const PlatformValue& value) {
    if (const JsonNumber* number = value.number()) {
      // A decimal is JSON as read, whatever its size; a double NaN or
      // infinity has no JSON form.
      if (!json_internal::writeJsonNumber(out, *number)) throw JsonWriterError(JsonWriterError::invalidValue, value);
    } else if (value.kind() == PlatformValue::Kind::null) {
      out.put("null", 4);
    } else {
      throw JsonWriterError(JsonWriterError::invalidValue, value);
    }
  }
  [[noreturn]] void tooDeep() { throw JsonWriterError(JsonWriterError::nestingTooDeep); }
};

}  // namespace

JsonWriterError::JsonWriterError(Case c, PlatformValue payload)
    : Error(writerErrorText(c, payload)), case_(c), payload_(std::move(payload)) {}

JsonWriter::JsonWriter(std::optional<std::string> indentString, bool sortKeys,
                       std::optional<std::vector<std::string>> sortKeyOrder)
    : indentString_(std::move(indentString)), sortKeys_(sortKeys), sortKeyOrder_(std::move(sortKeyOrder)) {
  if (sortKeyOrder_) {
    // A key listed twice keeps its first place.
    CustomOrderDictionary positions;
    for (std::size_t i = 0; i < sortKeyOrder_->size(); ++i) {
      positions.emplace((*sortKeyOrder_)[i], static_cast<std::int64_t>(i));
    }
    sortKeyOrder_customOrderDictionary_ = std::move(positions);
  }
}

std::string JsonWriter::classString(const PlatformValue& root) { return JsonWriter().string(root); }

std::string JsonWriter::string(const PlatformValue& root) & {
  write(root);
  return dest_;
}

std::string JsonWriter::string(const PlatformValue& root) && {
  write(root);
  // Appending doubles the room now and then; what leaves is sized to its text.
  if (dest_.capacity() - dest_.size() > dest_.size() / 8 + 32) dest_.shrink_to_fit();
  return std::move(dest_);
}

void JsonWriter::write(const PlatformValue& root) {
  if (!root.array() && !root.dictionary()) throw Errur(Errur::invalidRootObject);
  // The text is made apart and appended whole, so a failed call leaves no
  // half-written text, and a first text is allocated at its size.
  json_internal::JsonTextBuffer out;
  json_internal::JsonLayout layout;
  if (indentString_) {
    layout.lines = true;
    layout.indent = *indentString_;
    layout.separator = " : ";
  }
  if (sortKeys_) {
    layout.order = sortKeyOrder_customOrderDictionary_ ? json_internal::JsonKeyOrder::listed
                                                       : json_internal::JsonKeyOrder::bytes;
    if (sortKeyOrder_customOrderDictionary_) layout.listed = &*sortKeyOrder_customOrderDictionary_;
  }
  WriterForm form;
  json_internal::JsonWalk<WriterForm>(form, out, layout).value(root);
  out.put('\n');
  if (dest_.empty()) {
    dest_ = std::string(out.text());
  } else {
    dest_ += out.text();
  }
}

std::string JsonView::makeStringJsonWriter(std::string indentString,
                                       std::optional<std::vector<std::string>> sortKeyOrder) const {
  return JsonWriter(std::move(indentString), true, std::move(sortKeyOrder)).string(managedJsonObject());
}

}  // namespace vantrel
