#include "vantrel/json/json_writer.h"

#include <cmath>

#include "vantrel/core/sort.h"
#include "vantrel/json/json.h"
#include "vantrel/text/escaping.h"

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
  dest_.reserve(1'000'000);
}

std::string JsonWriter::classString(const PlatformValue& root) { return JsonWriter().string(root); }

std::string JsonWriter::string(const PlatformValue& root) & {
  write(root);
  return dest_;
}

std::string JsonWriter::string(const PlatformValue& root) && {
  write(root);
  return std::move(dest_);
}

void JsonWriter::write(const PlatformValue& root) {
  const PlatformValue::Array* array = root.array();
  const JsonDictionary* dictionary = root.dictionary();
  if (!array && !dictionary) throw Errur(Errur::invalidRootObject);
  // Every call starts outside any container, and a failed call takes back
  // what it appended, so the text stays valid JSON.
  const std::size_t start = dest_.size();
  depth_ = 0;
  linePrefix_.clear();
  try {
    if (array) {
      writeArray(*array);
    } else {
      writeDictionary(*dictionary);
    }
  } catch (...) {
    dest_.resize(start);
    depth_ = 0;
    linePrefix_.clear();
    throw;
  }
  dest_ += '\n';
}

void JsonWriter::setLinePrefix() {
  if (!indentString_) return;
  linePrefix_.clear();
  for (int i = 0; i < depth_; ++i) linePrefix_ += *indentString_;
}

void JsonWriter::enter() {
  if (depth_ >= kMaxJsonDepth) throw Errur(Errur::nestingTooDeep);
  ++depth_;
  setLinePrefix();
}

void JsonWriter::leave() {
  --depth_;
  setLinePrefix();
}

void JsonWriter::indentIfNeeded() {
  if (indentString_) dest_ += linePrefix_;
}

void JsonWriter::writeArray(const PlatformValue::Array& array) {
  const bool lines = indentString_.has_value();
  dest_ += '[';
  if (lines) dest_ += '\n';
  enter();
  for (std::size_t i = 0; i < array.size(); ++i) {
    if (lines) dest_ += linePrefix_;
    writeElement(array[i]);
    if (i + 1 != array.size()) dest_ += ',';
    if (lines) dest_ += '\n';
  }
  leave();
  indentIfNeeded();
  dest_ += ']';
}

void JsonWriter::writeDictionary(const JsonDictionary& dictionary) {
  const bool lines = indentString_.has_value();
  dest_ += '{';
  if (lines) dest_ += '\n';
  enter();
  // One buffer per depth, reused across the dictionaries of the document;
  // sized once, so a reference to one stays valid while deeper ones work.
  if (orderBuffers_.empty()) orderBuffers_.resize(kMaxJsonDepth);
  std::vector<const JsonDictionary::Entry*>& order = orderBuffers_[static_cast<std::size_t>(depth_ - 1)];
  order.clear();
  if (sortKeys_ && sortKeyOrder_customOrderDictionary_) {
    std::vector<std::string> keys;
    keys.reserve(dictionary.size());
    for (const auto& entry : dictionary) keys.push_back(entry.first);
    keys = sortWithCustomOrderAndAlphabetical(keys, *sortKeyOrder_customOrderDictionary_);
    const auto& entries = dictionary.entries();
    for (const std::string& key : keys) order.push_back(&entries[*dictionary.indexOf(key)]);
  } else {
    for (const auto& entry : dictionary) order.push_back(&entry);
    if (sortKeys_) {
      // Byte order of UTF-8 is the order of Unicode scalars; keys are
      // distinct as bytes, so the order is total.
      stableSort(order, [](const JsonDictionary::Entry* a, const JsonDictionary::Entry* b) {
        return a->first < b->first;
      });
    }
  }
  for (std::size_t i = 0; i < order.size(); ++i) {
    if (lines) dest_ += linePrefix_;
    dest_ += '"';
    appendStringEncodedForJson(dest_, order[i]->first);
    dest_ += lines ? "\" : " : "\":";
    writeElement(order[i]->second);
    if (i + 1 != order.size()) dest_ += ',';
    if (lines) dest_ += '\n';
  }
  leave();
  indentIfNeeded();
  dest_ += '}';
}

void JsonWriter::writeElement(const PlatformValue& value) {
  switch (value.kind()) {
    case PlatformValue::Kind::number: {
      const JsonNumber& number = *value.number();
      if (number.isBool()) {
        dest_ += number.boolValue() ? "true" : "false";
      } else if (number.kind() == JsonNumber::Kind::floating && !number.isFinite()) {
        // A decimal is JSON as read, whatever its size; a double NaN or
        // infinity has no JSON form.
        throw Errur(Errur::invalidValue, value);
      } else {
        number.appendStringValue(dest_);
      }
      return;
    }
    case PlatformValue::Kind::text:
      dest_ += '"';
      appendStringEncodedForJson(dest_, *value.text());
      dest_ += '"';
      return;
    case PlatformValue::Kind::null: dest_ += "null"; return;
    case PlatformValue::Kind::dictionary: writeDictionary(*value.dictionary()); return;
    case PlatformValue::Kind::array: writeArray(*value.array()); return;
    case PlatformValue::Kind::opaque: throw Errur(Errur::invalidValue, value);
  }
}

std::string Json::makeStringJsonWriter(std::string indentString,
                                       std::optional<std::vector<std::string>> sortKeyOrder) const {
  return JsonWriter(std::move(indentString), true, std::move(sortKeyOrder)).string(managedJsonObject());
}

}  // namespace vantrel
