// The value as system text, as compact display text, its descriptions and
// its key paths.
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/core/no_destructor.h"
#include "vantrel/core/number_text.h"
#include "vantrel/core/sort.h"
#include "vantrel/json/json.h"
#include "vantrel/text/comparison.h"
#include "vantrel/text/escaping.h"

namespace vantrel {
namespace {

std::string serializationErrorText(JsonSerializationError::Case c, const PlatformValue& value) {
  switch (c) {
    case JsonSerializationError::invalidTopLevelType: return "Invalid top-level type in JSON write";
    case JsonSerializationError::invalidType:
      return "Invalid type in JSON write (" + (value.opaqueValue() ? value.opaqueValue()->typeName : "unknown") + ")";
    case JsonSerializationError::invalidNumber:
      return "Invalid number value (" + (value.number() ? value.number()->stringValue() : "") + ") in JSON write";
    case JsonSerializationError::nestingTooDeep: return "JSON write nested deeper than 512 levels";
  }
  return {};
}

// ---- System text ------------------------------------------------------------

// Keys of one dictionary are distinct, so `less` is a strict total order
// here. Most dictionaries are small: an insertion sort spares the merge
// sort's buffer for them.
template <class Less>
void sortKeys(std::vector<const JsonDictionary::Entry*>& order, Less less) {
  if (order.size() > 24) {
    stableSort(order, less);
    return;
  }
  for (std::size_t i = 1; i < order.size(); ++i) {
    const JsonDictionary::Entry* entry = order[i];
    std::size_t j = i;
    for (; j > 0 && less(entry, order[j - 1]); --j) order[j] = order[j - 1];
    order[j] = entry;
  }
}

class SystemWriter {
 public:
  SystemWriter(std::string& out, JsonWritingOptions options)
      : out_(out),
        pretty_(options.contains(JsonWritingOptions::prettyPrinted)),
        sorted_(options.contains(JsonWritingOptions::sortedKeys)) {}

  void write(const PlatformValue& value, int depth) {
    switch (value.kind()) {
      case PlatformValue::Kind::number: writeNumber(value); return;
      case PlatformValue::Kind::text: writeText(*value.text()); return;
      case PlatformValue::Kind::null: out_ += "null"; return;
      case PlatformValue::Kind::array: writeArray(*value.array(), depth + 1); return;
      case PlatformValue::Kind::dictionary: writeDictionary(*value.dictionary(), depth + 1); return;
      case PlatformValue::Kind::opaque: throw JsonSerializationError(JsonSerializationError::invalidType, value);
    }
  }

 private:
  void writeNumber(const PlatformValue& value) {
    const JsonNumber& number = *value.number();
    if (number.kind() == JsonNumber::Kind::floating) {
      const double d = number.doubleValue();
      if (!std::isfinite(d)) throw JsonSerializationError(JsonSerializationError::invalidNumber, value);
      appendDoubleText(out_, d);
    } else if (number.isBool()) {
      out_ += number.boolValue() ? "true" : "false";
    } else {
      number.appendStringValue(out_);
    }
  }

  // JSON escapes, and "/" as "\/" as the platform writes it. No escape
  // holds a "/", so the slashes are marked in the escaped text, in place.
  void writeText(std::string_view text) {
    out_ += '"';
    const std::size_t start = out_.size();
    appendStringEncodedForJson(out_, text);
    std::size_t slashes = 0;
    for (std::size_t i = start; i < out_.size(); ++i) slashes += out_[i] == '/';
    if (slashes != 0) {
      std::size_t from = out_.size();
      out_.resize(out_.size() + slashes);
      std::size_t to = out_.size();
      while (slashes != 0) {
        const char c = out_[--from];
        out_[--to] = c;
        if (c == '/') {
          out_[--to] = '\\';
          --slashes;
        }
      }
    }
    out_ += '"';
  }

  void newLine(int depth) {
    // A line feed and two blanks per level, copied from one prepared text.
    static const NoDestructor<std::string> lines("\n" + std::string(2 * kMaxJsonDepth, ' '));
    out_.append(*lines, 0, 1 + static_cast<std::size_t>(depth) * 2);
  }

  void enter(int depth) {
    if (depth > kMaxJsonDepth) throw JsonSerializationError(JsonSerializationError::nestingTooDeep);
  }

  void writeArray(const PlatformValue::Array& array, int depth) {
    enter(depth);
    out_ += '[';
    if (pretty_ && array.empty()) out_ += '\n';
    for (std::size_t i = 0; i < array.size(); ++i) {
      if (i != 0) out_ += ',';
      if (pretty_) newLine(depth);
      write(array[i], depth);
    }
    if (pretty_) newLine(depth - 1);
    out_ += ']';
  }

  void writeDictionary(const JsonDictionary& dictionary, int depth) {
    enter(depth);
    out_ += '{';
    if (pretty_ && dictionary.empty()) out_ += '\n';
    // One buffer per depth, reused by every dictionary of the document; sized
    // once, so this reference stays valid while deeper levels work.
    if (orders_.empty()) orders_.resize(kMaxJsonDepth);
    std::vector<const JsonDictionary::Entry*>& order = orders_[static_cast<std::size_t>(depth - 1)];
    order.clear();
    for (const auto& entry : dictionary) order.push_back(&entry);
    if (sorted_) {
      bool ascii = true;
      for (const auto* entry : order) {
        for (const char c : entry->first.view()) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
      }
      if (ascii) {
        // `compareText`'s order for ASCII texts, without testing them again.
        sortKeys(order, [](const JsonDictionary::Entry* a, const JsonDictionary::Entry* b) {
          return a->first < b->first;
        });
      } else {
        // Canonically equal keys are still two keys: their bytes decide.
        sortKeys(order, [](const JsonDictionary::Entry* a, const JsonDictionary::Entry* b) {
          const int c = compareText(a->first, b->first);
          return c != 0 ? c < 0 : a->first < b->first;
        });
      }
    }
    for (std::size_t i = 0; i < order.size(); ++i) {
      if (i != 0) out_ += ',';
      if (pretty_) newLine(depth);
      writeText(order[i]->first);
      out_ += pretty_ ? " : " : ":";
      write(order[i]->second, depth);
    }
    if (pretty_) newLine(depth - 1);
    out_ += '}';
  }

  std::string& out_;
  bool pretty_;
  bool sorted_;
  std::vector<std::vector<const JsonDictionary::Entry*>> orders_;
};

// ---- Compact text -----------------------------------------------------------

// Only the backslash and the double quote.
void appendCompactEscaped(std::string& out, std::string_view text) {
  for (const char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
}

bool appendCompact(std::string& out, const PlatformValue& value, int depth);

bool appendCompactMember(std::string& out, const PlatformValue& value, int depth) {
  if (const JsonText* text = value.text()) {
    out += '"';
    appendCompactEscaped(out, *text);
    out += '"';
    return true;
  }
  return appendCompact(out, value, depth);
}

// A nested value (an array or dictionary at `depth` - 1 holds it).
bool appendCompact(std::string& out, const PlatformValue& value, int depth) {
  switch (value.kind()) {
    case PlatformValue::Kind::number:
      if (value.number()->isBool()) {
        out += value.number()->boolValue() ? "true" : "false";
      } else {
        value.number()->appendStringValue(out);
      }
      return true;
    case PlatformValue::Kind::text: out += *value.text(); return true;
    case PlatformValue::Kind::null: out += "null"; return true;
    case PlatformValue::Kind::opaque: return false;
    case PlatformValue::Kind::array: {
      if (depth >= kMaxJsonDepth) return false;
      out += '[';
      bool first = true;
      for (const PlatformValue& element : *value.array()) {
        if (!first) out += ',';
        first = false;
        if (!appendCompactMember(out, element, depth + 1)) return false;
      }
      out += ']';
      return true;
    }
    case PlatformValue::Kind::dictionary: {
      if (depth >= kMaxJsonDepth) return false;
      out += '{';
      bool first = true;
      for (const auto& [key, member] : *value.dictionary()) {
        if (!first) out += ',';
        first = false;
        out += '"';
        appendCompactEscaped(out, key);
        out += "\": ";
        if (!appendCompactMember(out, member, depth + 1)) return false;
      }
      out += '}';
      return true;
    }
  }
  return false;
}

// ---- Key paths --------------------------------------------------------------

void collectPaths(const PlatformValue& value, std::string& prefix, ElementSet<std::string>& paths, int depth) {
  const std::size_t length = prefix.size();
  switch (value.kind()) {
    case PlatformValue::Kind::number: prefix += value.number()->isBool() ? ".bool" : ".number"; break;
    case PlatformValue::Kind::text: prefix += ".string"; break;
    case PlatformValue::Kind::null: prefix += ".null"; break;
    case PlatformValue::Kind::opaque: prefix += ".unknown"; break;
    case PlatformValue::Kind::array:
      prefix += ".array#";
      prefix += integerText(static_cast<std::int64_t>(value.array()->size()));
      break;
    case PlatformValue::Kind::dictionary:
      if (depth >= kMaxJsonDepth) throw JsonDepthError();
      for (const auto& [key, member] : *value.dictionary()) {
        prefix += '.';
        prefix += key;
        collectPaths(member, prefix, paths, depth + 1);
        prefix.resize(length);
      }
      return;
  }
  paths.insert(prefix);
  prefix.resize(length);
}

void collectPathsOf(const Json& json, ElementSet<std::string>& paths) {
  std::string prefix;
  if (json.type() == JsonType::unknown) {
    paths.insert(".unknown");
  } else {
    collectPaths(json.managedJsonObject(), prefix, paths, 0);
  }
}

}  // namespace

JsonSerializationError::JsonSerializationError(Case c, const PlatformValue& value)
    : Error(serializationErrorText(c, value)), case_(c) {}

std::string JsonView::makeData(JsonWritingOptions options) const {
  if (type_ == JsonType::unknown) throw JsonSerializationError(JsonSerializationError::invalidType);
  if (type_ != JsonType::array && type_ != JsonType::dictionary &&
      !options.contains(JsonWritingOptions::fragmentsAllowed)) {
    throw JsonSerializationError(JsonSerializationError::invalidTopLevelType);
  }
  // Written into a buffer kept by the thread and copied out once: a long
  // text grown in place pays a new allocation, a copy and fresh pages at
  // each doubling. A buffer that grew beyond 16 MB is not kept.
  constexpr std::size_t kKeptCapacity = std::size_t{16} << 20;
  thread_local std::string buffer;
  buffer.clear();
  try {
    SystemWriter(buffer, options).write(*target_, 0);
  } catch (...) {
    if (buffer.capacity() > kKeptCapacity) std::string().swap(buffer);
    throw;
  }
  std::string out(buffer);
  if (buffer.capacity() > kKeptCapacity) std::string().swap(buffer);
  return out;
}

std::string JsonView::makeStringSystem(std::optional<JsonWritingOptions> options) const {
  return makeData(options.value_or(JsonWritingOptions::sortedKeys.union_(JsonWritingOptions::prettyPrinted)));
}

std::optional<std::string> JsonView::makeStringCompact() const {
  switch (type_) {
    case JsonType::bool_: return std::string(target_->number()->boolValue() ? "true" : "false");
    case JsonType::unknown: return std::nullopt;
    default: {
      std::string out;
      if (!appendCompact(out, *target_, 0)) return std::nullopt;
      return out;
    }
  }
}

std::string JsonView::description() const {
  if (auto text = makeStringCompact()) return "Json(type=" + type_.description() + ", content=" + *text + ")";
  return "Json(type=" + type_.description() + ", content=Cannot makeString() of " + target_->description() + ")";
}

std::string JsonView::debugDescription() const { return "Json(type=" + type_.description() + ")"; }

ElementSet<std::string> JsonView::collectKeyPaths() const {
  ElementSet<std::string> paths;
  collectPathsOf(*this, paths);
  return paths;
}

ElementSet<std::string> collectKeyPaths(const std::vector<Json>& values) {
  ElementSet<std::string> paths;
  for (const Json& value : values) collectPathsOf(value, paths);
  return paths;
}

}  // namespace vantrel
