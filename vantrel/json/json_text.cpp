// The value as system text, as compact display text, its descriptions and
// its key paths.
#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/core/number_text.h"
#include "vantrel/json/internal/json_walk.h"
#include "vantrel/json/json.h"

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

// JSON escapes, and "/" as "\/" as the platform writes it.
class SystemForm {
 public:
  void text(json_internal::JsonTextBuffer& out, const JsonText& text) {
    const std::string_view view = text.view();
    const auto slashes = static_cast<std::size_t>(std::count(view.begin(), view.end(), '/'));
    json_internal::writeJsonString(out, text);
    if (slashes != 0) markSlashes(out, slashes);
  }

  void scalar(json_internal::JsonTextBuffer& out, const PlatformValue& value) {
    if (const JsonNumber* number = value.number()) {
      if (!json_internal::writeJsonNumber(out, *number)) {
        throw JsonSerializationError(JsonSerializationError::invalidNumber, value);
      }
    } else if (value.kind() == PlatformValue::Kind::null) {
      out.put("null", 4);
    } else {
      throw JsonSerializationError(JsonSerializationError::invalidType, value);
    }
  }

  [[noreturn]] void tooDeep() { throw JsonSerializationError(JsonSerializationError::nestingTooDeep); }

 private:
  // No escape holds a "/", and ill-formed bytes become no "/": the text's
  // own slashes are the escaped text's, marked in place from its end.
  static void markSlashes(json_internal::JsonTextBuffer& out, std::size_t slashes) {
    const std::size_t length = out.size();
    const std::size_t end = length + slashes;
    out.room(slashes);
    char* text = out.data();
    std::size_t from = length;
    std::size_t to = end;
    while (slashes != 0) {
      const char c = text[--from];
      text[--to] = c;
      if (c == '/') {
        text[--to] = '\\';
        --slashes;
      }
    }
    out.advance(text + end);
  }
};

// ---- Compact text -----------------------------------------------------------

// Raised by the compact form for a value it cannot show.
struct NoCompactText {};

// Texts and keys quoted with only the backslash and the double quote escaped.
class CompactForm {
 public:
  void text(json_internal::JsonTextBuffer& out, const JsonText& text) {
    out.put('"');
    for (const char c : text.view()) {
      if (c == '\\' || c == '"') out.put('\\');
      out.put(c);
    }
    out.put('"');
  }

  void scalar(json_internal::JsonTextBuffer& out, const PlatformValue& value) {
    if (const JsonNumber* number = value.number()) {
      if (number->isBool()) {
        out.put(number->boolValue() ? "true" : "false", number->boolValue() ? 4 : 5);
      } else {
        std::string digits;
        number->appendStringValue(digits);
        out.put(digits.data(), digits.size());
      }
    } else if (value.kind() == PlatformValue::Kind::null) {
      out.put("null", 4);
    } else {
      throw NoCompactText();
    }
  }

  [[noreturn]] void tooDeep() { throw NoCompactText(); }
};

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
  json_internal::JsonTextBuffer out;
  json_internal::JsonLayout layout;
  if (options.contains(JsonWritingOptions::prettyPrinted)) {
    layout.lines = true;
    layout.indent = "  ";
    layout.emptyLine = true;
    layout.separator = " : ";
  }
  if (options.contains(JsonWritingOptions::sortedKeys)) layout.order = json_internal::JsonKeyOrder::canonical;
  SystemForm form;
  json_internal::JsonWalk<SystemForm>(form, out, layout).value(*target_);
  return std::string(out.text());
}

std::string JsonView::makeStringSystem(std::optional<JsonWritingOptions> options) const {
  return makeData(options.value_or(JsonWritingOptions::sortedKeys.union_(JsonWritingOptions::prettyPrinted)));
}

std::optional<std::string> JsonView::makeStringCompact() const {
  switch (type_) {
    case JsonType::bool_: return std::string(target_->number()->boolValue() ? "true" : "false");
    case JsonType::unknown: return std::nullopt;
    case JsonType::string: return target_->text()->str();
    default: {
      json_internal::JsonTextBuffer out;
      json_internal::JsonLayout layout;
      layout.separator = ": ";
      CompactForm form;
      try {
        json_internal::JsonWalk<CompactForm>(form, out, layout).value(*target_);
      } catch (const NoCompactText&) {
        return std::nullopt;
      }
      return std::string(out.text());
    }
  }
}

std::string JsonView::description() const {
  // Sized once: appending a large content to the short head would leave up
  // to twice its size in capacity.
  std::optional<std::string> text = makeStringCompact();
  const std::string type = type_.description();
  const std::string content = text ? std::move(*text) : "Cannot makeString() of " + target_->description();
  constexpr std::string_view head = "Json(type=", middle = ", content=";
  std::string out;
  out.reserve(head.size() + type.size() + middle.size() + content.size() + 1);
  out.append(head).append(type).append(middle).append(content).push_back(')');
  return out;
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
