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

#include <compare>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <limits>
#include <map>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "vantrel/collections/element_hash.h"
#include "vantrel/core/checked.h"
#include "vantrel/core/error.h"
#include "vantrel/core/indexed_iterator.h"
#include "vantrel/core/option_set.h"
#include "vantrel/json/json_number.h"
#include "vantrel/json/platform_value.h"

#include "vantrel/api.h"
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

// How `makeData` and `makeStringSystem` lay out their text.
struct JsonWritingOptions : OptionSet<JsonWritingOptions, std::uint64_t> {
  using OptionSet::OptionSet;
  static const JsonWritingOptions prettyPrinted;
  static const JsonWritingOptions sortedKeys;
  // A top-level number, text, boolean or null is written too.
  static const JsonWritingOptions fragmentsAllowed;
};
inline constexpr JsonWritingOptions JsonWritingOptions::prettyPrinted{1};
inline constexpr JsonWritingOptions JsonWritingOptions::sortedKeys{2};
inline constexpr JsonWritingOptions JsonWritingOptions::fragmentsAllowed{4};

// A value the system text cannot hold. Descriptions: "Invalid top-level type
// in JSON write", "Invalid type in JSON write (<type>)", "Invalid number value
// (<number>) in JSON write", "JSON write nested deeper than 512 levels".
class JsonSerializationError : public Error {
 public:
  enum Case { invalidTopLevelType, invalidType, invalidNumber, nestingTooDeep };
  JsonSerializationError(Case c, const PlatformValue& value = {});
  [[nodiscard]] Case kind() const { return case_; }

 private:
  Case case_;
};

// One step of a path: a position in an array or a key of a dictionary.
// Integers and texts convert to it, so a path may mix both:
//   JsonPath path{"statuses", 0, "user"};
class JsonKey {
 public:
  enum class Kind { index, key };

  template <class I>
    requires(std::is_integral_v<I> && !std::is_same_v<I, bool> && !std::is_same_v<I, char>)
  JsonKey(I index)  // NOLINT: implicit on purpose
      : kind_(Kind::index), index_(checkedCast<std::int64_t>(index)) {}
  JsonKey(std::string key) : kind_(Kind::key), key_(std::move(key)) {}       // NOLINT
  JsonKey(std::string_view key) : kind_(Kind::key), key_(key) {}             // NOLINT
  JsonKey(const char* key) : kind_(Kind::key), key_(key) {}                  // NOLINT

  [[nodiscard]] Kind kind() const { return kind_; }
  // The position of an `index` step (0 for a key).
  [[nodiscard]] std::int64_t index() const { return index_; }
  // The text of a `key` step (empty for an index).
  [[nodiscard]] const std::string& key() const { return key_; }
  friend bool operator==(const JsonKey&, const JsonKey&) = default;

 private:
  Kind kind_;
  std::int64_t index_ = 0;
  std::string key_;
};

// The step an integer or a text stands for.
[[nodiscard]] inline JsonKey jsonKey(std::int64_t index) { return JsonKey(index); }
[[nodiscard]] inline JsonKey jsonKey(std::string_view key) { return JsonKey(key); }

// What may stand as one step of a path.
template <class T>
concept JsonSubscriptType = std::constructible_from<JsonKey, const T&>;

using JsonPath = std::vector<JsonKey>;

class Json;
class JsonView;
class JsonMember;
class JsonSubscript;
using JsonDictionaryOfJson = ElementDictionary<std::string, Json>;

// A read-only view of a JSON value held elsewhere: what subscripts and
// iteration of a `Json` answer, and the reading half of `Json` itself. It
// refers to the value it reads, without a copy: it stays valid while that
// value lives and is neither assigned nor changed. Convert it to `Json` to
// keep the value.
class JsonView {
 public:
  // Marks `Json` and its views for `PlatformValue`, which keeps them as one
  // opaque `Json` value.
  using JsonValueTag = Json;

  // A view of null.
  JsonView() noexcept;
  // A view sliced from a `Json` about to go would read freed memory: such a
  // value is kept as `Json`, never as a view.
  JsonView(const Json&&) = delete;
  JsonView& operator=(const Json&&) = delete;
  JsonView(const JsonView&) noexcept = default;
  JsonView& operator=(const JsonView&) noexcept = default;
  // A view of `value` as `Json(value)` would classify it.
  explicit JsonView(const PlatformValue& value) noexcept : target_(&value) {
    // The tag of each kind, by table: views are made once per member met.
    // Nothing here passes `this` on, so a view made in a loop stays in
    // registers.
    static constexpr JsonType::Case kTags[] = {JsonType::number, JsonType::string,     JsonType::null,
                                               JsonType::array,  JsonType::dictionary, JsonType::unknown};
    const PlatformValue::Kind kind = value.kind();
    if (kind == PlatformValue::Kind::number) {
      // Spelled out, so that a getter inlined after this knows the tag.
      type_ = value.number_.isBool() ? JsonType::bool_ : JsonType::number;
      return;
    }
    type_ = kTags[static_cast<int>(kind)];
    if (kind == PlatformValue::Kind::opaque) {
      // As `Json` classifies it: an unknown value whose platform value is null.
      target_ = &nullValue();
      error_ = JsonError::unsupportedType;
    }
  }

  [[nodiscard]] const PlatformValue& managedJsonObject() const { return *target_; }
  [[nodiscard]] JsonType type() const { return type_; }
  [[nodiscard]] std::optional<JsonError::Case> error() const { return error_.get(); }
  // Retired: prints "who uses this" and answers `managedJsonObject()`.
  [[nodiscard]] const PlatformValue& object() const;

  // ---- subscripts ----
  // Reads never fail: a member or element, or a null value carrying
  // `notExist` (no such key), `indexOutOfBounds` or `invalidType` (the value
  // is no dictionary or array). O(1), no deep copy. Along a path each step
  // reads from the one before, so the error is the last step's: a missing
  // key followed by one more step reports `invalidType`. The empty path reads
  // the value itself, its error included.
  //   j["a"][0]    j[JsonPath{"a", 0}]    j("a", 0)      the same value
  // A read answers a view into this value: no copy, no allocation. Store it
  // as `Json` to keep it beyond the value it reads, or past a change to it.
  [[nodiscard]] JsonView operator[](std::string_view key) const;
  [[nodiscard]] JsonView operator[](std::int64_t index) const;
  [[nodiscard]] JsonView operator[](int index) const { return (*this)[static_cast<std::int64_t>(index)]; }
  [[nodiscard]] JsonView operator[](const char* key) const { return (*this)[std::string_view(key)]; }
  [[nodiscard]] JsonView operator[](const JsonPath& path) const;
  template <JsonSubscriptType... Steps>
  [[nodiscard]] JsonView operator()(const Steps&... steps) const {
    JsonView at = *this;
    ((at = at.readStep(steps)), ...);
    return at;
  }

  // ---- the value as a collection of (name, member) pairs ----
  // Read by position: an array's elements named "0", "1", ...; a
  // dictionary's members in its order; any other value is empty.
  class Index {
   public:
    enum class Case { array, dictionary, null };
    [[nodiscard]] static Index array(std::int64_t position) { return Index(Case::array, position); }
    [[nodiscard]] static Index dictionary(std::int64_t position) { return Index(Case::dictionary, position); }
    [[nodiscard]] static Index null() { return Index(Case::null, 0); }
    [[nodiscard]] Case kind() const { return case_; }
    // The position in the array or in the dictionary's order (0 for null).
    [[nodiscard]] std::int64_t position() const { return position_; }
    // Positions of one case compare by position; positions of different
    // cases are unequal and none is less than the other.
    friend bool operator==(const Index&, const Index&) = default;
    friend bool operator<(const Index& a, const Index& b) {
      return a.case_ == b.case_ && a.case_ != Case::null && a.position_ < b.position_;
    }
    friend bool operator>(const Index& a, const Index& b) { return b < a; }
    friend bool operator<=(const Index& a, const Index& b) { return !(b < a); }
    friend bool operator>=(const Index& a, const Index& b) { return !(a < b); }

   private:
    Index(Case c, std::int64_t position) : case_(c), position_(position) {}
    Case case_;
    std::int64_t position_;
  };
  using Element = std::pair<std::string, Json>;

  [[nodiscard]] Index startIndex() const;
  [[nodiscard]] Index endIndex() const;
  [[nodiscard]] Index indexAfter(const Index& i) const;
  // A position at or after the end, or of another case, stops through `fatal`.
  [[nodiscard]] Element operator[](const Index& i) const;
  [[nodiscard]] std::int64_t count() const {
    if (type_ == JsonType::array) return static_cast<std::int64_t>(target_->array()->size());
    if (type_ == JsonType::dictionary) return static_cast<std::int64_t>(target_->dictionary()->size());
    return 0;
  }
  [[nodiscard]] bool isEmpty() const { return count() == 0; }

  // `count()` and `isEmpty()` under the standard names, so the value is a
  // sized range.
  [[nodiscard]] std::size_t size() const { return static_cast<std::size_t>(count()); }
  [[nodiscard]] bool empty() const { return count() == 0; }

  // A random-access iterator over the members, read in place: an array's
  // elements, a dictionary's values with their keys (`JsonMember`, which
  // also splits as `auto [key, value]`; an element's key is empty). It
  // stays valid while the value it came from lives and is neither assigned
  // nor changed. Checked as every iterator of the library is
  // (vantrel/core/indexed_iterator.h): a read outside the members, the end
  // included, stops the program ("Json iterator read at <i> outside the <n>
  // members"), and so does comparing iterators of two different values. A
  // read after the value was assigned or changed is not detected: a value
  // keeps no count of its changes.
  class const_iterator : public IndexedIterator<const_iterator, JsonMember, JsonMember> {
   public:
    const_iterator() = default;

   private:
    friend class JsonView;
    friend IndexedIterator;
    // Values are found by a stride from the first one, the same arithmetic
    // for elements and for entries; keys are read from `entries_`, so a loop
    // that takes no key never tests which kind it walks. `value` is the
    // value walked, which names the sequence: an empty container has no
    // first member to tell two of them apart.
    const_iterator(const PlatformValue* value, const PlatformValue* first, std::ptrdiff_t stride,
                   const JsonDictionaryEntry* entries, std::ptrdiff_t count, std::ptrdiff_t position)
        : IndexedIterator(value, position),
          first_(reinterpret_cast<const unsigned char*>(first)),
          stride_(stride),
          entries_(entries),
          count_(count) {}
    [[nodiscard]] JsonMember readAt(std::ptrdiff_t position) const;  // after JsonMember
    [[noreturn]] static void readOutside(std::ptrdiff_t position, std::ptrdiff_t count);
    const unsigned char* first_ = nullptr;
    std::ptrdiff_t stride_ = 0;
    const JsonDictionaryEntry* entries_ = nullptr;
    std::ptrdiff_t count_ = 0;
  };
  [[nodiscard]] const_iterator begin() const;
  [[nodiscard]] const_iterator end() const;

  // By contents: values that are equal (`==`) hash equally.
  [[nodiscard]] std::size_t contentHash() const;

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

  [[nodiscard]] Json merged(const Json& other) const;

  // ---- text ----
  // The platform value as JSON text: compact, or with `prettyPrinted` one
  // member per line, indented by two blanks, " : " after each key (and an
  // empty array as "[", an empty line and "]"); keys in insertion order, or
  // with `sortedKeys` by `compareText`. "/" is written "\/", numbers as
  // `JsonNumber::stringValue` gives them (shortest round trip: "1.0",
  // "1e-05"). Throws `JsonSerializationError` for a top-level value that is
  // no array or dictionary (unless `fragmentsAllowed`), a value of no JSON
  // kind, a NaN or infinite number and nesting deeper than 512.
  [[nodiscard]] std::string makeData(JsonWritingOptions options = {}) const;
  // The same; without options sorted and pretty printed.
  [[nodiscard]] std::string makeStringSystem(std::optional<JsonWritingOptions> options = std::nullopt) const;
  // A one-line display form, not JSON: a top-level text is written as it
  // is; nested texts and keys are quoted with only "\" and "\"" escaped
  // (line feeds and other control characters stay); one blank after each
  // colon; members in the dictionary's order; numbers as their
  // `stringValue`. Absent when the value holds an unknown value anywhere or
  // is nested deeper than `kMaxJsonDepth`.
  //   {"a": [1,"x\"y",true,null]}
  [[nodiscard]] std::optional<std::string> makeStringCompact() const;
  // "Json(type=<tag>, content=<compact text>)"; without a compact text
  // "Json(type=<tag>, content=Cannot makeString() of <platform value>)".
  [[nodiscard]] std::string description() const;
  // "Json(type=<tag>)".
  [[nodiscard]] std::string debugDescription() const;
  // The shape of the value: one text per leaf, the member names from the top
  // each after a ".", then the leaf's kind: ".number", ".string", ".bool",
  // ".null", ".unknown", or ".array#" and the element count (arrays are
  // not entered). An empty dictionary has no key paths.
  //   {"a": {"b": 1}, "c": [1, 2]}     {".a.b.number", ".c.array#2"}
  // Throws `JsonDepthError` for dictionaries nested deeper than `kMaxJsonDepth`.
  [[nodiscard]] ElementSet<std::string> collectKeyPaths() const;

  // ---- comparison ----
  // By the tags: values of different tags are unequal and unordered. Numbers
  // by value (1 == 1.0), texts by canonical equivalence and `compareText`
  // order, booleans, arrays and dictionaries only by equality (member by
  // member; `<` is false and `<=` means equal), two nulls equal, two
  // unknown values never equal. Errors are not compared.
  // (Hidden friends over exported members: declared at namespace scope they
  // would turn any value of the namespace into a `Json` for comparing.)
  // A `Json` compares as the view of itself.
  friend bool operator==(const JsonView& a, const JsonView& b) { return a.isEqual(b); }
  friend bool operator<(const JsonView& a, const JsonView& b) { return a.order(b) < 0; }
  friend bool operator<=(const JsonView& a, const JsonView& b) { return a.order(b) <= 0; }
  friend bool operator>(const JsonView& a, const JsonView& b) { return a.order(b) > 0; }
  friend bool operator>=(const JsonView& a, const JsonView& b) { return a.order(b) >= 0; }

 protected:
  // An optional error case in one byte: views are copied in tight loops,
  // where an optional's separate flag costs a stall on every copy.
  class ErrorSlot {
   public:
    constexpr ErrorSlot() = default;
    constexpr ErrorSlot(std::nullopt_t) {}                                                     // NOLINT
    constexpr ErrorSlot(JsonError::Case c) : code_(static_cast<std::uint8_t>(c + 1)) {}        // NOLINT
    constexpr ErrorSlot(std::optional<JsonError::Case> c) : code_(c ? static_cast<std::uint8_t>(*c + 1) : 0) {}  // NOLINT
    explicit constexpr operator bool() const { return code_ != 0; }
    [[nodiscard]] constexpr std::optional<JsonError::Case> get() const {
      if (code_ == 0) return std::nullopt;
      return static_cast<JsonError::Case>(code_ - 1);
    }
    constexpr void reset() { code_ = 0; }
    friend constexpr bool operator==(ErrorSlot a, JsonError::Case c) { return a.code_ == c + 1; }

   private:
    std::uint8_t code_ = 0;
  };

  JsonView(const PlatformValue* target, JsonType type, ErrorSlot error) noexcept
      : target_(target), type_(type), error_(error) {}
  // The platform value of an unknown value.
  [[nodiscard]] static const PlatformValue& nullValue() noexcept;

  const PlatformValue* target_;
  JsonType type_ = JsonType::null;
  ErrorSlot error_;

 private:
  friend class Json;
  friend class JsonSubscript;
  [[nodiscard]] bool isEqual(const JsonView& other) const;
  [[nodiscard]] std::partial_ordering order(const JsonView& other) const;
  [[nodiscard]] JsonView readStep(const JsonKey& step) const;
  [[nodiscard]] JsonView readStep(std::string_view key) const { return (*this)[key]; }
  [[nodiscard]] JsonView readStep(const char* key) const { return (*this)[std::string_view(key)]; }
  [[nodiscard]] JsonView readStep(const std::string& key) const { return (*this)[std::string_view(key)]; }
  template <class I>
    requires(std::is_integral_v<I> && !std::is_same_v<I, bool> && !std::is_same_v<I, char>)
  [[nodiscard]] JsonView readStep(I index) const {
    return (*this)[checkedCast<std::int64_t>(index)];
  }
  // `number()` and `numberValue()` of a view's parts. The typed getters,
  // inlined in loops, call these rather than pass `this` on, which would
  // keep the view out of registers.
  [[nodiscard]] static std::optional<JsonNumber> numberOf(const PlatformValue& target, JsonType type);
  [[nodiscard]] static JsonNumber numberValueOf(const PlatformValue& target, JsonType type);
  template <class T>
  [[nodiscard]] std::optional<T> numeric() const {
    if (type_ == JsonType::number) return target_->number_.exactly<T>();
    const auto n = numberOf(*target_, type_);
    if (!n) return std::nullopt;
    return n->exactly<T>();
  }
  template <class T>
  [[nodiscard]] T numericValue() const {
    if (type_ == JsonType::number) {
      const JsonNumber& n = target_->number_;
      if constexpr (std::is_integral_v<T>) {
        // The common case, kept free of optionals, which compilers spill.
        if (n.kind_ == JsonNumber::Kind::signedInteger) {
          const std::int64_t v = n.i_;
          if constexpr (std::is_signed_v<T>) {
            return v >= std::numeric_limits<T>::min() && v <= std::numeric_limits<T>::max() ? static_cast<T>(v) : T{};
          } else {
            return v >= 0 && static_cast<std::uint64_t>(v) <= std::numeric_limits<T>::max() ? static_cast<T>(v) : T{};
          }
        }
      } else if constexpr (std::is_same_v<T, double>) {
        if (n.kind_ == JsonNumber::Kind::floating) return n.d_;
      }
      return n.exactly<T>().value_or(T{});
    }
    return numberValueOf(*target_, type_).exactly<T>().value_or(T{});
  }
};

// One member met by iterating a value: the member (this view) and its key,
// empty for an array's element.
class JsonMember : public JsonView {
 public:
  JsonMember(std::string_view key, const JsonView& value) noexcept : JsonView(value), key_(key) {}
  [[nodiscard]] std::string_view key() const { return key_; }
  [[nodiscard]] const JsonView& value() const { return *this; }
  template <std::size_t I>
  [[nodiscard]] decltype(auto) get() const {
    if constexpr (I == 0) {
      return key_;
    } else {
      return static_cast<const JsonView&>(*this);
    }
  }

 private:
  std::string_view key_;
};

// A dynamically typed JSON value that holds its value (see the file
// comment); everything that reads it is `JsonView`'s.
class Json : public JsonView {
 public:
  // The null value (also the nil literal).
  Json() noexcept : JsonView(&value_, JsonType::null, std::nullopt) {}
  // init(jo:): classifies `jo`.
  Json(PlatformValue jo) : JsonView(&value_, JsonType::null, std::nullopt), value_(std::move(jo)) {  // NOLINT
    classify();
  }
  // A copy of the value a view reads, its error included.
  Json(const JsonView& view)  // NOLINT: implicit on purpose
      : JsonView(&value_, view.type_, view.error_), value_(*view.target_) {}
  // Copies take the value read (a subscript reads a member of the value it
  // holds).
  Json(const Json& other) : JsonView(&value_, other.type_, other.error_), value_(*other.target_) {}
  Json(Json&& other) noexcept : JsonView(&value_, other.type_, other.error_), value_(other.takeValue()) {}
  Json& operator=(const Json& other) {
    if (this != &other) {
      if (proxies_) detachProxies();
      value_ = *other.target_;  // copies before letting go: `other` may read inside this value
      type_ = other.type_;
      error_ = other.error_;
      target_ = &value_;
    }
    return *this;
  }
  Json& operator=(Json&& other) noexcept {
    if (this != &other) {
      if (proxies_) detachProxies();
      type_ = other.type_;
      error_ = other.error_;
      value_ = other.takeValue();
      target_ = &value_;
    }
    return *this;
  }
  ~Json() {
    if (proxies_) detachProxies();
  }
  // Literals and host values: texts, integers, doubles, booleans, nullptr,
  // vectors and text-keyed maps (classified as by init(jo:)).
  template <class T>
    requires(!std::is_base_of_v<JsonView, std::remove_cvref_t<T>> &&
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

  // Reads, as `JsonView`'s subscripts: a view while this value stays, a
  // value of its own from a value about to go (also a `const` one), so that
  // neither `auto` nor a loop over it keeps a view of a value gone.
  [[nodiscard]] JsonView operator[](std::string_view key) const& { return JsonView::operator[](key); }
  [[nodiscard]] JsonView operator[](std::int64_t index) const& { return JsonView::operator[](index); }
  [[nodiscard]] JsonView operator[](int index) const& { return JsonView::operator[](index); }
  [[nodiscard]] JsonView operator[](const char* key) const& { return JsonView::operator[](key); }
  [[nodiscard]] JsonView operator[](const JsonPath& path) const& { return JsonView::operator[](path); }
  [[nodiscard]] Json operator[](std::string_view key) const&& { return Json(JsonView::operator[](key)); }
  [[nodiscard]] Json operator[](std::int64_t index) const&& { return Json(JsonView::operator[](index)); }
  [[nodiscard]] Json operator[](int index) const&& { return Json(JsonView::operator[](index)); }
  [[nodiscard]] Json operator[](const char* key) const&& { return Json(JsonView::operator[](key)); }
  [[nodiscard]] Json operator[](const JsonPath& path) const&& { return Json(JsonView::operator[](path)); }
  [[nodiscard]] Element operator[](const Index& i) const { return JsonView::operator[](i); }
  template <JsonSubscriptType... Steps>
  [[nodiscard]] JsonView operator()(const Steps&... steps) const& {
    return JsonView::operator()(steps...);
  }
  template <JsonSubscriptType... Steps>
  [[nodiscard]] Json operator()(const Steps&... steps) const&& {
    return Json(JsonView::operator()(steps...));
  }

  // Writes go through the same subscripts on a value that is not const:
  //   j["a"]["b"] = 5;        j("list", 0) = "x";
  // A write changes only containers that exist: a key is added to or
  // replaced in a dictionary, an element of an array replaced (arrays never
  // grow through a subscript). The value stored is the new value's platform
  // value, so an unknown value stores null. A write whose step finds no
  // dictionary (or no array, or an index outside it) prints that step's
  // message on standard output and changes nothing:
  //   Json.subscript(key:"y") on type null
  //   Json.subscript(index:0 set on type string
  //   Json.subscript(index:2 set out of bounds: 2
  // The result of a subscript on a value that is not const refers to that
  // value; store it as `Json` to keep a copy. Reading through it allocates
  // nothing for paths of up to `JsonSubscript::kStepsInPlace` steps and
  // keys that are short or found.
  [[nodiscard]] JsonSubscript operator[](std::string_view key) &;
  [[nodiscard]] JsonSubscript operator[](std::int64_t index) &;
  [[nodiscard]] JsonSubscript operator[](int index) &;
  [[nodiscard]] JsonSubscript operator[](const char* key) &;
  [[nodiscard]] JsonSubscript operator[](const JsonPath& path) &;
  template <JsonSubscriptType... Steps>
  [[nodiscard]] JsonSubscript operator()(const Steps&... steps) &;
  // The write of a subscript: stores `newValue` at `path` as described
  // above; the empty path changes nothing. True when it was stored.
  bool set(const JsonPath& path, const Json& newValue);
  // Reads the value at `path`, lets `change` alter it, and writes it back.
  template <class F>
    requires std::invocable<F&, Json&>
  void modify(const JsonPath& path, F&& change) {
    Json child = std::as_const(*this)[path];
    change(child);
    set(path, child);
  }


  // ---- merging ----
  // Merges `other` into this value: two dictionaries member by member (a
  // member of both is merged again, one of another kind replaced), two
  // arrays by appending `other`'s elements, two values of another kind by
  // taking `other`. Throws `JsonError(invalidType)` when the two tags
  // differ, and `JsonDepthError` for dictionaries nested deeper than
  // `kMaxJsonDepth` in both; a throw leaves the value as it was.
  void merge(const Json& other);


 protected:
  // A subscript's: `pin` holds the value `target` reads inside.
  struct Pinned {};
  Json(Pinned, PlatformValue&& pin, const PlatformValue* target, JsonType type, ErrorSlot error) noexcept
      : JsonView(target, type, error), value_(std::move(pin)) {}
  Json(Pinned, const PlatformValue& pin, const PlatformValue* target, JsonType type, ErrorSlot error) noexcept
      : JsonView(target, type, error), value_(pin) {}
  Json(Pinned, const PlatformValue* target, JsonType type, ErrorSlot error) noexcept : JsonView(target, type, error) {}

 private:
  friend class JsonSubscript;
  void classify();
  bool writeStep(const JsonKey& step, const Json& newValue);
  // The value read, for a move: taken from a value that holds it, copied
  // from a subscript, which reads inside the value it holds.
  [[nodiscard]] PlatformValue takeValue() noexcept {
    if (target_ != &value_) return *target_;
    if (proxies_) detachProxies();
    type_ = JsonType::null;
    error_.reset();
    return std::move(value_);
  }

  // Before this value changes or goes, the subscripts still reading inside
  // it take a count of it, so what they read stays.
  void detachProxies() noexcept;

  PlatformValue value_;
  // The subscripts reading inside this value, linked through them: they
  // hold no count of it while it stays (see `JsonSubscript`).
  JsonSubscript* proxies_ = nullptr;


};

// The union of the elements' key paths.
[[nodiscard]] ElementSet<std::string> collectKeyPaths(const std::vector<Json>& values);

namespace json_internal {

// One step of a subscript's path. A key found in the dictionary read is
// that entry's key, referred to: the subscript reads inside that
// dictionary, or holds a count of it. Any other key is held (in place up to
// 15 bytes).
struct SubscriptStep {
  JsonText key;
  const JsonText* found = nullptr;
  std::int64_t index = 0;
  bool isKey = false;
  [[nodiscard]] std::string_view keyText() const { return found ? found->view() : key.view(); }
};

// A subscript's path: the first steps in place, so that a chain of reads
// allocates nothing; more go to the heap. Only the steps taken are made and
// copied; a move copies the bytes (a step's state is its bytes, as a
// `PlatformValue`'s is), and only a path holding a text of its own (a long
// key not found, a key held for a value gone) destroys its steps one by one:
// a chain of reads moves and drops a path at every step.
class SubscriptSteps {
 public:
  static constexpr std::size_t kInPlace = 4;

  SubscriptSteps() noexcept = default;
  SubscriptSteps(const SubscriptSteps& other)
      : more_(other.more_ ? new std::vector<SubscriptStep>(*other.more_) : nullptr),
        size_(other.size_),
        holdsText_(other.holdsText_) {
    for (std::size_t i = 0; i < inPlace(); ++i) new (slot(i)) SubscriptStep(other[i]);
  }
  SubscriptSteps(SubscriptSteps&& other) noexcept {
    // All the bytes, used or not: a copy of a known size is a few moves.
    std::memcpy(static_cast<void*>(this), static_cast<const void*>(&other), sizeof *this);
    other.more_ = nullptr;
    other.size_ = 0;
    other.holdsText_ = false;
  }
  SubscriptSteps& operator=(const SubscriptSteps&) = delete;
  ~SubscriptSteps() { clear(); }

  [[nodiscard]] std::size_t size() const { return size_; }
  [[nodiscard]] const SubscriptStep& operator[](std::size_t i) const {
    return i < kInPlace ? *slot(i) : (*more_)[i - kInPlace];
  }
  // Adds a key step, the key made in its place.
  void pushKey(std::string_view key) {
    if (key.size() > JsonText::kInlineCapacity) holdsText_ = true;
    push(SubscriptStep{JsonText(key), nullptr, 0, true});
  }
  // Adds a key step referring to `key`, an entry's.
  void pushFoundKey(const JsonText* key) { push(SubscriptStep{JsonText(), key, 0, true}); }
  void pushIndex(std::int64_t index) { push(SubscriptStep{JsonText(), nullptr, index, false}); }
  // Holds the keys referred to, before what they are in may go.
  void holdKeys() {
    for (std::size_t i = 0; i < size_; ++i) {
      SubscriptStep& step = i < kInPlace ? *slot(i) : (*more_)[i - kInPlace];
      if (step.found) {
        step.key = *std::exchange(step.found, nullptr);
        holdsText_ = true;
      }
    }
  }
  void clear() noexcept {
    if (holdsText_) [[unlikely]] {
      for (std::size_t i = 0; i < inPlace(); ++i) slot(i)->~SubscriptStep();
    }
    if (more_) [[unlikely]] delete std::exchange(more_, nullptr);
    size_ = 0;
    holdsText_ = false;
  }

 private:
  void push(SubscriptStep&& step) {
    if (size_ < kInPlace) [[likely]] {
      new (slot(size_)) SubscriptStep(std::move(step));
    } else {
      if (!more_) more_ = new std::vector<SubscriptStep>();
      more_->push_back(std::move(step));
    }
    ++size_;
  }
  [[nodiscard]] std::size_t inPlace() const { return size_ < kInPlace ? size_ : kInPlace; }
  [[nodiscard]] SubscriptStep* slot(std::size_t i) { return reinterpret_cast<SubscriptStep*>(storage_) + i; }
  [[nodiscard]] const SubscriptStep* slot(std::size_t i) const {
    return reinterpret_cast<const SubscriptStep*>(storage_) + i;
  }

  alignas(SubscriptStep) unsigned char storage_[kInPlace * sizeof(SubscriptStep)];
  std::vector<SubscriptStep>* more_ = nullptr;
  std::size_t size_ = 0;
  // Whether a step in place holds a text block, so that dropping the path
  // must destroy its steps.
  bool holdsText_ = false;
};

static_assert(std::is_standard_layout_v<SubscriptStep>, "subscript steps move by copying their bytes");

}  // namespace json_internal

// What a subscript of a value that is not const answers: the value read
// there, which also writes through to the value it came from. Assigning
// stores at the path (`Json::set`); `merge` and `modify` change the member
// and store it back. Other changes stay in this copy, and it does not see
// writes made through other subscripts. It reads inside the value it came
// from, without a copy or a count; before that value changes or goes it
// hands each of its subscripts a count of what they read, so a read of a
// subscript stays valid and unchanged afterwards. A write needs the value
// it came from: store the subscript as `Json` if that value may go first.
class JsonSubscript : public Json {
 public:
  // Paths of up to this many steps are held without allocating.
  static constexpr std::size_t kStepsInPlace = json_internal::SubscriptSteps::kInPlace;

  JsonSubscript(const JsonSubscript& other);
  // The value held moves over, and what this one reads inside it stays where
  // it is.
  JsonSubscript(JsonSubscript&& other) noexcept
      : Json(Pinned{}, std::move(other.value_), other.target_, other.type_, other.error_),
        root_(other.root_),
        steps_(std::move(other.steps_)) {
    if (other.target_ == &other.value_) target_ = &value_;
    if (other.attached_) {
      // Takes the other's place among the root's subscripts.
      previous_ = other.previous_;
      next_ = other.next_;
      (previous_ ? previous_->next_ : root_->proxies_) = this;
      if (next_) next_->previous_ = this;
      attached_ = true;
      other.attached_ = false;
    }
    other.target_ = &other.value_;
    other.type_ = JsonType::null;
    other.error_.reset();
  }
  ~JsonSubscript() {
    if (attached_) detach();
  }
  JsonSubscript& operator=(const Json& newValue);
  JsonSubscript& operator=(const JsonSubscript& newValue) { return *this = static_cast<const Json&>(newValue); }
  template <class T>
    requires(!std::is_base_of_v<Json, std::remove_cvref_t<T>> && std::constructible_from<Json, const T&>)
  JsonSubscript& operator=(const T& newValue) {
    return *this = Json(newValue);
  }

  // On a subscript that is not const, subscripts extend the path and still
  // write through; on a const one they read, as `Json`'s do.
  [[nodiscard]] JsonSubscript operator[](std::string_view key) & { return JsonSubscript(*this).advanced(key); }
  [[nodiscard]] JsonSubscript operator[](std::int64_t index) & { return JsonSubscript(*this).advanced(index); }
  [[nodiscard]] JsonSubscript operator[](int index) & { return (*this)[static_cast<std::int64_t>(index)]; }
  [[nodiscard]] JsonSubscript operator[](const char* key) & { return (*this)[std::string_view(key)]; }
  [[nodiscard]] JsonSubscript operator[](const JsonPath& path) & { return JsonSubscript(*this).advanced(path); }
  [[nodiscard]] JsonSubscript operator[](std::string_view key) && { return std::move(*this).advanced(key); }
  [[nodiscard]] JsonSubscript operator[](std::int64_t index) && { return std::move(*this).advanced(index); }
  [[nodiscard]] JsonSubscript operator[](int index) && {
    return std::move(*this).advanced(static_cast<std::int64_t>(index));
  }
  [[nodiscard]] JsonSubscript operator[](const char* key) && { return std::move(*this).advanced(std::string_view(key)); }
  [[nodiscard]] JsonSubscript operator[](const JsonPath& path) && { return std::move(*this).advanced(path); }
  [[nodiscard]] JsonView operator[](std::string_view key) const& { return JsonView::operator[](key); }
  [[nodiscard]] JsonView operator[](std::int64_t index) const& { return JsonView::operator[](index); }
  [[nodiscard]] JsonView operator[](int index) const& { return JsonView::operator[](index); }
  [[nodiscard]] JsonView operator[](const char* key) const& { return JsonView::operator[](key); }
  [[nodiscard]] JsonView operator[](const JsonPath& path) const& { return JsonView::operator[](path); }
  [[nodiscard]] Json operator[](std::string_view key) const&& { return Json(JsonView::operator[](key)); }
  [[nodiscard]] Json operator[](std::int64_t index) const&& { return Json(JsonView::operator[](index)); }
  [[nodiscard]] Json operator[](int index) const&& { return Json(JsonView::operator[](index)); }
  [[nodiscard]] Json operator[](const char* key) const&& { return Json(JsonView::operator[](key)); }
  [[nodiscard]] Json operator[](const JsonPath& path) const&& { return Json(JsonView::operator[](path)); }
  [[nodiscard]] Element operator[](const Index& i) const { return JsonView::operator[](i); }
  template <JsonSubscriptType... Steps>
  [[nodiscard]] JsonSubscript operator()(const Steps&... steps) & {
    JsonSubscript at(*this);
    (at.advance(steps), ...);
    return at;
  }
  template <JsonSubscriptType... Steps>
  [[nodiscard]] JsonSubscript operator()(const Steps&... steps) && {
    JsonSubscript at(std::move(*this));
    (at.advance(steps), ...);
    return at;
  }
  template <JsonSubscriptType... Steps>
  [[nodiscard]] JsonView operator()(const Steps&... steps) const& {
    return JsonView::operator()(steps...);
  }
  template <JsonSubscriptType... Steps>
  [[nodiscard]] Json operator()(const Steps&... steps) const&& {
    return Json(JsonView::operator()(steps...));
  }

  void merge(const Json& other);
  template <class F>
    requires std::invocable<F&, Json&>
  void modify(F&& change) {
    Json child = *this;
    change(child);
    *this = child;
  }

  // The path from the value it came from.
  [[nodiscard]] JsonPath path() const;

 private:
  friend class Json;
  // The empty path of `root`: the value itself.
  explicit JsonSubscript(Json* root) noexcept;
  void advance(std::string_view key);
  void advance(std::int64_t index);
  void advance(const JsonKey& step);
  void advance(const char* key) { advance(std::string_view(key)); }
  void advance(const std::string& key) { advance(std::string_view(key)); }
  template <class I>
    requires(std::is_integral_v<I> && !std::is_same_v<I, bool> && !std::is_same_v<I, char> &&
             !std::is_same_v<I, std::int64_t>)
  void advance(I index) {
    advance(checkedCast<std::int64_t>(index));
  }
  // Reads `path` afresh from the root.
  void readFromRoot(const JsonPath& path);
  template <class Step>
  [[nodiscard]] JsonSubscript advanced(const Step& step) && {
    advance(step);
    return std::move(*this);
  }
  [[nodiscard]] JsonSubscript advanced(const JsonPath& path) && {
    for (const JsonKey& step : path) advance(step);
    return std::move(*this);
  }

  // Joins the root's subscripts (with no count of its own).
  void attach() noexcept {
    previous_ = nullptr;
    next_ = root_->proxies_;
    if (next_) next_->previous_ = this;
    root_->proxies_ = this;
    attached_ = true;
  }
  void detach() noexcept {
    (previous_ ? previous_->next_ : root_->proxies_) = next_;
    if (next_) next_->previous_ = previous_;
    attached_ = false;
  }

  Json* root_;
  json_internal::SubscriptSteps steps_;
  // While attached, `value_` is null and the root's value is read in place.
  JsonSubscript* previous_ = nullptr;
  JsonSubscript* next_ = nullptr;
  bool attached_ = false;
};

// The steps of a chain of reads, inline: each is a lookup, a step recorded
// and a move of the subscript, which costs little only where the compiler
// sees all three.

inline JsonSubscript::JsonSubscript(Json* root) noexcept
    : Json(Pinned{}, root->target_, root->type_, root->error_), root_(root) {
  if (root->target_ == &root->value_) {
    attach();
  } else {
    // A root that is itself a subscript reads inside a value it holds: its
    // own subscripts take a count at once.
    value_ = *root->target_;
    target_ = &value_;
  }
}

inline void JsonSubscript::advance(std::string_view key) {
  const JsonView next = JsonView::operator[](key);
  if (!next.error_) [[likely]] {
    // A member found, so `next` reads the value of an entry, beside its key.
    const auto* entry = reinterpret_cast<const JsonDictionaryEntry*>(reinterpret_cast<const char*>(next.target_) -
                                                                     offsetof(JsonDictionaryEntry, second));
    steps_.pushFoundKey(&entry->first);
  } else {
    steps_.pushKey(key);
  }
  target_ = next.target_;
  type_ = next.type_;
  error_ = next.error_;
}

inline void JsonSubscript::advance(std::int64_t index) {
  const JsonView next = JsonView::operator[](index);
  steps_.pushIndex(index);
  target_ = next.target_;
  type_ = next.type_;
  error_ = next.error_;
}

inline JsonSubscript Json::operator[](std::string_view key) & {
  JsonSubscript at(this);
  at.advance(key);
  return at;
}

inline JsonSubscript Json::operator[](std::int64_t index) & {
  JsonSubscript at(this);
  at.advance(index);
  return at;
}

inline JsonSubscript Json::operator[](int index) & { return (*this)[static_cast<std::int64_t>(index)]; }

inline JsonSubscript Json::operator[](const char* key) & { return (*this)[std::string_view(key)]; }

template <JsonSubscriptType... Steps>
JsonSubscript Json::operator()(const Steps&... steps) & {
  JsonSubscript at(this);
  (at.advance(steps), ...);
  return at;
}

}  // namespace vantrel

namespace vantrel VANTREL_API {
inline JsonMember JsonView::const_iterator::readAt(std::ptrdiff_t position) const {
  // One unsigned compare covers both ends.
  if (static_cast<std::size_t>(position) >= static_cast<std::size_t>(count_)) [[unlikely]] {
    readOutside(position, count_);
  }
  const auto* value = reinterpret_cast<const PlatformValue*>(first_ + position * stride_);
  return JsonMember(entries_ ? entries_[position].first.view() : std::string_view(), JsonView(*value));
}
}  // namespace vantrel

// `auto [key, value] = member`.
template <>
struct std::tuple_size<vantrel::JsonMember> : std::integral_constant<std::size_t, 2> {};
template <>
struct std::tuple_element<0, vantrel::JsonMember> {
  using type = std::string_view;
};
template <>
struct std::tuple_element<1, vantrel::JsonMember> {
  using type = const vantrel::JsonView;
};

template <>
struct std::hash<vantrel::JsonView> {
  std::size_t operator()(const vantrel::JsonView& value) const { return value.contentHash(); }
};

template <>
struct std::hash<vantrel::Json> {
  std::size_t operator()(const vantrel::Json& value) const { return value.contentHash(); }
};
