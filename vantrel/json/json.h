// File: vantrel/json/json.h
//
// `Json`: a dynamically typed JSON value. It wraps one `PlatformValue`,
// classified once by a type tag, and an optional `JsonError` telling why a
// lookup produced nothing. A value type: copies are O(1) (arrays and
// dictionaries are shared and copied on write) and independent.
//
//   Json j = Json::fromParseString(R"({"a": [1, 2.5, true], "b": "x"})");
//   j["a"][0].int_()              1
//   j["a"][1].intValue()          2          (cut toward zero)
//   j["a"][2].type()              JsonType::bool_
//   j["b"].string()               "x"
//   j["missing"].exists()         false      (error notExist)
//   Json(1).type()                number;   Json(true).type()   bool_
//   Json::fromDictionaryLiteral({{"a", 1}, {"a", 2}})["a"].intValue()   2
//
// Reading (`fromData`, `fromParseString`) is strict RFC 8259: invalid UTF-8,
// nesting deeper than `kMaxJsonDepth`, trailing text and non-JSON literals
// are refused with `JsonReadError`, which carries the byte offset. A top-level
// scalar is accepted while `JsonReadingOptions::fragmentsAllowed` is set (the
// default). Integers keep their kind (signed, unsigned); numbers that fit
// neither 64-bit integer nor a finite double are kept as decimals, exactly.
// Duplicate keys: the last wins. `fromUnwrap` of values nested deeper than
// `kMaxJsonDepth` throws `JsonDepthError`.
//
// Getters: `array()`, `string()`, `int_()`, ... answer only for the matching
// tag (a bool reads as 1 or 0 through the numeric ones); the `…Value` forms
// convert what they can and fall back to false, "", 0. A number outside the
// target's range gives nullopt (or the `…Value` default), never a wrapped
// or undefined value. Getters whose design names are C++ keywords carry a
// trailing underscore (`bool_`, `int_`, `double_`, `float_`); the null-object
// getter is `nullObject()` beside the static maker `Json::null()`.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "vantrel/collections/element_hash.h"
#include "vantrel/core/error.h"
#include "vantrel/core/option_set.h"
#include "vantrel/json/json_number.h"
#include "vantrel/json/platform_value.h"

#include "vantrel/core/api.h"
namespace vantrel VANTREL_API {

// The deepest nesting the reader, `Json::fromUnwrap` and the writer accept.
inline constexpr int kMaxJsonDepth = 512;

class JsonType {
 public:
  enum Case { number = 0, string = 1, bool_ = 2, array = 3, dictionary = 4, null = 5, unknown = 6 };
  constexpr JsonType(Case c) : case_(c) {}  // NOLINT: implicit on purpose
  constexpr operator Case() const { return case_; }
  [[nodiscard]] constexpr std::int64_t rawValue() const { return case_; }
  [[nodiscard]] static std::optional<JsonType> fromRawValue(std::int64_t raw);
  [[nodiscard]] std::size_t hashValue() const { return static_cast<std::size_t>(case_); }
  // The case name: "number", "string", "bool", ...
  [[nodiscard]] std::string description() const;

 private:
  Case case_;
};

// Why a lookup produced nothing; also thrown (`notUtf8Encoded`).
class JsonError : public Error {
 public:
  enum Case { unsupportedType, indexOutOfBounds, invalidType, notExist, notUtf8Encoded };
  explicit JsonError(Case c);
  [[nodiscard]] Case kind() const { return case_; }
  [[nodiscard]] std::size_t hashValue() const { return static_cast<std::size_t>(case_); }
  friend bool operator==(const JsonError& a, const JsonError& b) { return a.case_ == b.case_; }

 private:
  Case case_;
};

// Text that is no JSON: the reader's message and the byte offset where
// reading stopped. Description: "Invalid JSON at offset <n>: <message>".
class JsonReadError : public Error {
 public:
  JsonReadError(std::size_t offset, std::string message);
  [[nodiscard]] std::size_t offset() const { return offset_; }
  [[nodiscard]] const std::string& message() const { return message_; }

 private:
  std::size_t offset_;
  std::string message_;
};

// A value nested deeper than `kMaxJsonDepth` handed to unwrapping.
class JsonDepthError : public Error {
 public:
  JsonDepthError();
};

struct JsonReadingOptions : OptionSet<JsonReadingOptions, std::uint64_t> {
  using OptionSet::OptionSet;
  static const JsonReadingOptions fragmentsAllowed;
};
inline constexpr JsonReadingOptions JsonReadingOptions::fragmentsAllowed{4};

class Json;
using JsonDictionaryOfJson = ElementDictionary<std::string, Json>;

class Json {
 public:
  // The null value (also the nil literal).
  Json() = default;
  // init(jo:): classifies `jo`.
  Json(PlatformValue jo) : value_(std::move(jo)) { classify(); }  // NOLINT: implicit on purpose
  // Literals and host values: texts, integers, doubles, booleans, nullptr,
  // vectors and text-keyed maps (classified as by init(jo:)).
  template <class T>
    requires(!std::is_same_v<std::remove_cvref_t<T>, Json> &&
             !std::is_same_v<std::remove_cvref_t<T>, PlatformValue> &&
             std::constructible_from<PlatformValue, const T&>)
  Json(const T& host) : Json(PlatformValue(host)) {}  // NOLINT

  // init(data:options:) and init(parseString:); throw `JsonReadError`
  // (`fromParseString` first `JsonError(notUtf8Encoded)` for text that is
  // not UTF-8).
  [[nodiscard]] static Json fromData(std::string_view data,
                                     JsonReadingOptions options = JsonReadingOptions::fragmentsAllowed);
  [[nodiscard]] static Json fromParseString(std::string_view text);
  // init(unwrap:): `Json` values held anywhere in arrays and dictionaries
  // are replaced by their platform values.
  [[nodiscard]] static Json fromUnwrap(const PlatformValue& value);
  // Array and dictionary literals: the elements and values stay platform
  // values, classified when read; of two pairs with one key the later wins.
  [[nodiscard]] static Json fromArrayLiteral(std::initializer_list<PlatformValue> elements);
  [[nodiscard]] static Json fromDictionaryLiteral(std::initializer_list<std::pair<std::string, PlatformValue>> pairs);

  [[nodiscard]] static Json null() { return Json(); }
  [[nodiscard]] static Json null(JsonError::Case error);

  void setManagedJsonObject(std::optional<PlatformValue> jo);
  [[nodiscard]] const PlatformValue& managedJsonObject() const { return value_; }
  [[nodiscard]] JsonType type() const { return type_; }
  [[nodiscard]] std::optional<JsonError::Case> error() const { return error_; }
  // Retired: prints "who uses this" and answers `managedJsonObject()`.
  [[nodiscard]] const PlatformValue& object() const;

  // Lookups: a member or element, or a null value carrying `notExist`,
  // `indexOutOfBounds` or `invalidType`. O(1), no deep copy.
  [[nodiscard]] Json operator[](std::string_view key) const;
  [[nodiscard]] Json operator[](std::int64_t index) const;
  [[nodiscard]] Json operator[](int index) const { return (*this)[static_cast<std::int64_t>(index)]; }
  [[nodiscard]] Json operator[](const char* key) const { return (*this)[std::string_view(key)]; }

  // ---- typed getters ----
  [[nodiscard]] std::vector<Json> arrayValue() const;
  [[nodiscard]] std::optional<std::vector<Json>> array() const;
  [[nodiscard]] std::optional<PlatformValue::Array> arrayObject() const;
  [[nodiscard]] std::optional<JsonDictionaryOfJson> dictionary() const;
  [[nodiscard]] JsonDictionaryOfJson dictionaryValue() const;
  [[nodiscard]] std::optional<JsonDictionary> dictionaryObject() const;
  [[nodiscard]] std::optional<bool> bool_() const;
  [[nodiscard]] bool boolValue() const;
  [[nodiscard]] std::optional<std::string> string() const;
  [[nodiscard]] std::string stringValue() const;
  [[nodiscard]] std::optional<JsonNumber> number() const;
  [[nodiscard]] JsonNumber numberValue() const;
  [[nodiscard]] std::optional<JsonNull> nullObject() const;
  [[nodiscard]] bool exists() const;

  [[nodiscard]] std::optional<double> double_() const { return numeric<double>(); }
  [[nodiscard]] double doubleValue() const { return numericValue<double>(); }
  [[nodiscard]] std::optional<float> float_() const { return numeric<float>(); }
  [[nodiscard]] float floatValue() const { return numericValue<float>(); }
  [[nodiscard]] std::optional<std::int64_t> int_() const { return numeric<std::int64_t>(); }
  [[nodiscard]] std::int64_t intValue() const { return numericValue<std::int64_t>(); }
  [[nodiscard]] std::optional<std::uint64_t> uInt() const { return numeric<std::uint64_t>(); }
  [[nodiscard]] std::uint64_t uIntValue() const { return numericValue<std::uint64_t>(); }
  [[nodiscard]] std::optional<std::int8_t> int8() const { return numeric<std::int8_t>(); }
  [[nodiscard]] std::int8_t int8Value() const { return numericValue<std::int8_t>(); }
  [[nodiscard]] std::optional<std::uint8_t> uInt8() const { return numeric<std::uint8_t>(); }
  [[nodiscard]] std::uint8_t uInt8Value() const { return numericValue<std::uint8_t>(); }
  [[nodiscard]] std::optional<std::int16_t> int16() const { return numeric<std::int16_t>(); }
  [[nodiscard]] std::int16_t int16Value() const { return numericValue<std::int16_t>(); }
  [[nodiscard]] std::optional<std::uint16_t> uInt16() const { return numeric<std::uint16_t>(); }
  [[nodiscard]] std::uint16_t uInt16Value() const { return numericValue<std::uint16_t>(); }
  [[nodiscard]] std::optional<std::int32_t> int32() const { return numeric<std::int32_t>(); }
  [[nodiscard]] std::int32_t int32Value() const { return numericValue<std::int32_t>(); }
  [[nodiscard]] std::optional<std::uint32_t> uInt32() const { return numeric<std::uint32_t>(); }
  [[nodiscard]] std::uint32_t uInt32Value() const { return numericValue<std::uint32_t>(); }
  [[nodiscard]] std::optional<std::int64_t> int64() const { return numeric<std::int64_t>(); }
  [[nodiscard]] std::int64_t int64Value() const { return numericValue<std::int64_t>(); }
  [[nodiscard]] std::optional<std::uint64_t> uInt64() const { return numeric<std::uint64_t>(); }
  [[nodiscard]] std::uint64_t uInt64Value() const { return numericValue<std::uint64_t>(); }

  // The platform value through a `JsonWriter` with `indentString`, sorted
  // keys and `sortKeyOrder`; throws `JsonWriterError` (`invalidRootObject`
  // unless the tag is array or dictionary).
  [[nodiscard]] std::string makeStringJsonWriter(
      std::string indentString = "\t", std::optional<std::vector<std::string>> sortKeyOrder = std::nullopt) const;

  // Same tag and equal platform values (errors are not compared).
  friend VANTREL_API bool operator==(const Json& a, const Json& b);

 private:
  void classify();

  template <class T>
  [[nodiscard]] std::optional<T> numeric() const {
    const auto n = number();
    if (!n) return std::nullopt;
    return n->exactly<T>();
  }
  template <class T>
  [[nodiscard]] T numericValue() const {
    return numberValue().exactly<T>().value_or(T{});
  }

  JsonType type_ = JsonType::null;
  PlatformValue value_;
  std::optional<JsonError::Case> error_;
};

}  // namespace vantrel
