#include "vantrel/json/json.h"

#include "vantrel/collections/dictionary_operations.h"
#include "vantrel/core/console.h"
#include "vantrel/core/no_destructor.h"
#include "vantrel/core/number_text.h"
#include "vantrel/json/internal/json_reader.h"
#include "vantrel/text/string_services.h"

namespace vantrel {
namespace {

constexpr std::string_view kErrorNames[] = {"unsupportedType", "indexOutOfBounds", "invalidType", "notExist",
                                            "notUtf8Encoded"};
constexpr std::string_view kTypeNames[] = {"number", "string", "bool", "array", "dictionary", "null", "unknown"};

bool equalsIgnoringAsciiCase(std::string_view text, std::string_view lowerWord) {
  if (text.size() != lowerWord.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != lowerWord[i]) return false;
  }
  return true;
}

PlatformValue unwrapJsonTypes(const PlatformValue& of, int depth) {
  if (depth > kMaxJsonDepth) throw JsonDepthError();
  switch (of.kind()) {
    case PlatformValue::Kind::opaque:
      if (const Json* json = std::any_cast<Json>(&of.opaqueValue()->value)) {
        return unwrapJsonTypes(json->managedJsonObject(), depth + 1);
      }
      return of;
    case PlatformValue::Kind::array: {
      PlatformValue::Array elements;
      elements.reserve(of.array()->size());
      for (const PlatformValue& element : *of.array()) elements.push_back(unwrapJsonTypes(element, depth + 1));
      return PlatformValue(std::move(elements));
    }
    case PlatformValue::Kind::dictionary: {
      JsonDictionary members;
      for (const auto& [key, value] : *of.dictionary()) members.insertOrAssign(key, unwrapJsonTypes(value, depth + 1));
      return PlatformValue(std::move(members));
    }
    default: return of;
  }
}

}  // namespace

// ---- Tags and errors --------------------------------------------------------

std::optional<JsonType> JsonType::fromRawValue(std::int64_t raw) {
  if (raw < 0 || raw > 6) return std::nullopt;
  return JsonType(static_cast<Case>(raw));
}

std::string JsonType::description() const { return std::string(kTypeNames[case_]); }

JsonError::JsonError(Case c) : Error(std::string(kErrorNames[c])), case_(c) {}

JsonReadError::JsonReadError(std::size_t offset, std::string message)
    : Error("Invalid JSON at offset " + unsignedText(offset) + ": " + message),
      offset_(offset),
      message_(std::move(message)) {}

JsonDepthError::JsonDepthError() : Error("JSON nested deeper than 512 levels") {}

// ---- Construction -----------------------------------------------------------

void Json::setManagedJsonObject(std::optional<PlatformValue> jo) {
  if (proxies_) detachProxies();
  value_ = jo ? std::move(*jo) : PlatformValue();
  classify();
}

void Json::classify() {
  // As a view classifies it; an unknown value's platform value is the null
  // object, here as in the view.
  const JsonView view(value_);
  type_ = view.type_;
  error_ = view.error_;
  if (type_ == JsonType::unknown) value_ = PlatformValue();
  target_ = &value_;
}

Json Json::fromData(std::string_view data, JsonReadingOptions options) {
  return Json(json_internal::readJson(data, options.contains(JsonReadingOptions::fragmentsAllowed)));
}

Json Json::fromParseString(std::string_view text) {
  if (!isValidUtf8(text)) throw JsonError(JsonError::notUtf8Encoded);
  return fromData(text, JsonReadingOptions::fragmentsAllowed);
}

Json Json::fromUnwrap(const PlatformValue& value) { return Json(unwrapJsonTypes(value, 0)); }

Json Json::fromArrayLiteral(std::initializer_list<PlatformValue> elements) {
  return Json(PlatformValue(PlatformValue::Array(elements)));
}

Json Json::fromDictionaryLiteral(std::initializer_list<std::pair<std::string, PlatformValue>> pairs) {
  JsonDictionary members;
  for (const auto& [key, value] : pairs) members.insertOrAssign(key, value);
  return Json(PlatformValue(std::move(members)));
}

Json Json::null(JsonError::Case error) {
  Json value;
  value.error_ = error;
  return value;
}

const PlatformValue& JsonView::object() const {
  consolePrint("who uses this");
  return *target_;
}

// ---- Lookups ----------------------------------------------------------------

const PlatformValue& JsonView::nullValue() noexcept {
  // Never destroyed: views of it may be read on any thread until exit. Held
  // in place, so that the first read of a missing member allocates nothing.
  static const NoDestructor<PlatformValue> null;
  return *null;
}

JsonView::JsonView() noexcept : target_(&nullValue()) {}

JsonView JsonView::operator[](std::string_view key) const {
  if (type_ != JsonType::dictionary) return JsonView(&nullValue(), JsonType::null, JsonError::invalidType);
  const PlatformValue* member = target_->dictionary()->find(key);
  if (!member) return JsonView(&nullValue(), JsonType::null, JsonError::notExist);
  return JsonView(*member);
}

JsonView JsonView::operator[](std::int64_t index) const {
  if (type_ != JsonType::array) return JsonView(&nullValue(), JsonType::null, JsonError::invalidType);
  const auto& elements = *target_->array();
  if (index < 0 || static_cast<std::uint64_t>(index) >= elements.size()) {
    return JsonView(&nullValue(), JsonType::null, JsonError::indexOutOfBounds);
  }
  return JsonView(elements.data()[index]);  // checked above
}

// ---- Getters ----------------------------------------------------------------

std::vector<Json> JsonView::arrayValue() const { return array().value_or(std::vector<Json>{}); }

std::optional<std::vector<Json>> JsonView::array() const {
  if (type_ != JsonType::array) return std::nullopt;
  std::vector<Json> elements;
  elements.reserve(target_->array()->size());
  for (const PlatformValue& element : *target_->array()) elements.emplace_back(element);
  return elements;
}

std::optional<PlatformValue::Array> JsonView::arrayObject() const {
  if (type_ != JsonType::array) return std::nullopt;
  return *target_->array();
}

std::optional<JsonDictionaryOfJson> JsonView::dictionary() const {
  if (type_ != JsonType::dictionary) return std::nullopt;
  std::vector<std::pair<std::string, Json>> pairs;
  pairs.reserve(target_->dictionary()->size());
  for (const auto& [key, value] : *target_->dictionary()) pairs.emplace_back(key, Json(value));
  JsonDictionaryOfJson members;
  vantrel::merge(members, std::move(pairs));
  return members;
}

JsonDictionaryOfJson JsonView::dictionaryValue() const { return dictionary().value_or(JsonDictionaryOfJson{}); }

std::optional<JsonDictionary> JsonView::dictionaryObject() const {
  if (type_ != JsonType::dictionary) return std::nullopt;
  return *target_->dictionary();
}

std::optional<bool> JsonView::bool_() const {
  if (type_ != JsonType::bool_) return std::nullopt;
  return target_->number()->boolValue();
}

bool JsonView::boolValue() const {
  switch (type_) {
    case JsonType::number:
    case JsonType::bool_: return target_->number()->boolValue();
    case JsonType::string: {
      const std::string_view text = *target_->text();
      return equalsIgnoringAsciiCase(text, "true") || equalsIgnoringAsciiCase(text, "y") ||
             equalsIgnoringAsciiCase(text, "t");
    }
    default: return false;
  }
}

std::optional<std::string> JsonView::string() const {
  if (type_ != JsonType::string) return std::nullopt;
  return target_->text()->str();
}

std::string JsonView::stringValue() const {
  switch (type_) {
    case JsonType::number: return target_->number()->stringValue();
    case JsonType::bool_: return target_->number()->boolValue() ? "true" : "false";
    case JsonType::string: return target_->text()->str();
    default: return {};
  }
}

std::optional<JsonNumber> JsonView::numberOf(const PlatformValue& target, JsonType type) {
  if (type == JsonType::number) return *target.number();
  if (type == JsonType::bool_) return JsonNumber::fromInt(target.number()->boolValue() ? 1 : 0);
  return std::nullopt;
}

JsonNumber JsonView::numberValueOf(const PlatformValue& target, JsonType type) {
  if (auto n = numberOf(target, type)) return *n;
  if (type == JsonType::string) return JsonNumber::fromDecimalText(*target.text());
  return JsonNumber::fromDouble(0.0);
}

std::optional<JsonNumber> JsonView::number() const { return numberOf(*target_, type_); }

JsonNumber JsonView::numberValue() const { return numberValueOf(*target_, type_); }

std::optional<JsonNull> JsonView::nullObject() const {
  if (type_ != JsonType::null) return std::nullopt;
  return JsonNull{};
}

bool JsonView::exists() const {
  return !(error_ == JsonError::indexOutOfBounds || error_ == JsonError::invalidType || error_ == JsonError::notExist);
}

}  // namespace vantrel
