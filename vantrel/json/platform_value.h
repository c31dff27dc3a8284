// File: vantrel/json/platform_value.h
//
// `PlatformValue`: the loosely typed value a `Json` wraps and a `JsonWriter`
// writes. It is one of a number object (`JsonNumber`, which keeps booleans,
// signed, unsigned, double and decimal apart), a text, the null object, an
// array, an insertion-ordered dictionary with text keys, or an opaque value
// of any other type (a date, a `Json` placed in a container, ...).
//
//   PlatformValue(1)                          number (signed)
//   PlatformValue(true)                       number (boolean)
//   PlatformValue("x")                        text
//   PlatformValue(nullptr)                    null
//   PlatformValue(std::vector<int>{1, 2})     array of two numbers
//   PlatformValue(std::map<std::string, double>{...})   dictionary
//   PlatformValue(std::map<int, int>{...})    opaque: keys are not texts
//
// Arrays and dictionaries are shared and copied on write: copying a value is
// O(1) and a change through one copy never shows in another. Dictionary keys
// compare byte for byte (JSON's rule, no Unicode normalisation); storing a
// key that is there already replaces its value in place, so of two pairs
// with one key the later wins. Lookups by key are O(1).
//
// Values are plain data: a value belongs to the thread that holds it; copies
// may be used on different threads.
#pragma once

#include <any>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <ranges>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "vantrel/core/describe.h"
#include "vantrel/json/json_number.h"

#include "vantrel/core/api.h"
namespace vantrel VANTREL_API {

// The null object.
struct JsonNull {
  friend bool operator==(JsonNull, JsonNull) = default;
};

class PlatformValue;
class JsonDictionary;

// A value of no JSON kind, with the name of its type for messages.
struct JsonOpaque {
  std::any value;
  std::string typeName;
};

namespace json_internal {

template <class T>
concept TextLike = std::convertible_to<const T&, std::string_view>;

template <class P>
concept PairLike = requires { typename std::tuple_size<std::remove_cvref_t<P>>::type; } &&
                   std::tuple_size_v<std::remove_cvref_t<P>> == 2;

template <class R>
concept PairRange = std::ranges::input_range<const R> && PairLike<std::ranges::range_value_t<const R>>;

template <class R>
concept TextKeyedRange =
    PairRange<R> && TextLike<std::remove_cvref_t<std::tuple_element_t<0, std::ranges::range_value_t<const R>>>>;

// `Json` and the types derived from it (tested without needing `Json`
// complete here).
template <class T>
concept JsonLike = requires { typename T::JsonValueTag; };

template <class T>
struct IsOptional : std::false_type {};
template <class T>
struct IsOptional<std::optional<T>> : std::true_type {};

}  // namespace json_internal

class PlatformValue {
 public:
  enum class Kind { number, text, null, array, dictionary, opaque };
  using Array = std::vector<PlatformValue>;

  PlatformValue() : storage_(JsonNull{}) {}
  PlatformValue(const PlatformValue&) = default;
  PlatformValue(PlatformValue&&) noexcept = default;
  PlatformValue& operator=(const PlatformValue&) = default;
  PlatformValue& operator=(PlatformValue&&) noexcept = default;
  // Containers nested in containers are taken apart in a loop: a value
  // nested a million deep, however it was built, needs no deep stack.
  ~PlatformValue() {
    if (soleHolderOfShared()) releaseNested();
  }
  PlatformValue(JsonNull) : storage_(JsonNull{}) {}                          // NOLINT: implicit on purpose
  PlatformValue(std::nullptr_t) : storage_(JsonNull{}) {}                    // NOLINT
  PlatformValue(JsonNumber number) : storage_(std::move(number)) {}          // NOLINT
  PlatformValue(std::string text) : storage_(std::move(text)) {}             // NOLINT
  PlatformValue(std::string_view text) : storage_(std::string(text)) {}      // NOLINT
  PlatformValue(const char* text) : storage_(std::string(text)) {}           // NOLINT
  PlatformValue(bool flag) : storage_(JsonNumber::fromBool(flag)) {}         // NOLINT
  PlatformValue(Array array) : storage_(std::make_shared<const Array>(std::move(array))) {}  // NOLINT
  PlatformValue(JsonDictionary dictionary);                                  // NOLINT

  template <class I>
    requires(std::is_integral_v<I> && !std::is_same_v<I, bool>)
  PlatformValue(I number)  // NOLINT
      : storage_(std::is_signed_v<I> ? JsonNumber::fromInt(static_cast<std::int64_t>(number))
                                     : JsonNumber::fromUInt(static_cast<std::uint64_t>(number))) {}

  template <class F>
    requires std::is_floating_point_v<F>
  PlatformValue(F number) : storage_(JsonNumber::fromDouble(static_cast<double>(number))) {}  // NOLINT

  // Host containers and anything else (see the file comment).
  template <class T>
    requires(!std::is_arithmetic_v<std::remove_cvref_t<T>> && !json_internal::TextLike<T> &&
             !std::is_same_v<std::remove_cvref_t<T>, PlatformValue> &&
             !std::is_same_v<std::remove_cvref_t<T>, JsonDictionary> &&
             !std::is_same_v<std::remove_cvref_t<T>, JsonNull> &&
             !std::is_same_v<std::remove_cvref_t<T>, JsonNumber> &&
             !std::is_same_v<std::remove_cvref_t<T>, Array> &&
             !std::is_same_v<std::remove_cvref_t<T>, std::nullptr_t>)
  PlatformValue(const T& host);  // NOLINT

  // An opaque value holding `value` as it is.
  template <class T>
  [[nodiscard]] static PlatformValue opaque(T value) {
    PlatformValue v;
    v.storage_ = std::make_shared<const JsonOpaque>(JsonOpaque{std::any(std::move(value)), typeName<T>()});
    return v;
  }

  [[nodiscard]] Kind kind() const { return static_cast<Kind>(storage_.index()); }
  [[nodiscard]] bool isNull() const { return kind() == Kind::null; }
  [[nodiscard]] const JsonNumber* number() const { return std::get_if<JsonNumber>(&storage_); }
  [[nodiscard]] const std::string* text() const { return std::get_if<std::string>(&storage_); }
  [[nodiscard]] const Array* array() const;
  [[nodiscard]] const JsonDictionary* dictionary() const;
  [[nodiscard]] const JsonOpaque* opaqueValue() const;

  // The array or dictionary for changing; copies it first when shared.
  // Nothing for other kinds.
  [[nodiscard]] Array* mutableArray();
  [[nodiscard]] JsonDictionary* mutableDictionary();

  // How many holders share this value's array or dictionary (tests; 0 for
  // other kinds).
  [[nodiscard]] long shareCount() const;

  // Deep equality; numbers compare by value (a boolean only with a
  // boolean), dictionaries regardless of order, opaque values never equal.
  friend bool operator==(const PlatformValue& a, const PlatformValue& b) { return a.equals(b); }
  [[nodiscard]] bool equals(const PlatformValue& other) const;

  // A short form for messages: the text of a text, the digits of a number,
  // "null", "<array of n>", "<dictionary of n>", or the opaque type name.
  [[nodiscard]] std::string description() const;

 private:
  static constexpr std::size_t kFirstSharedIndex = 3;
  // Whether this value alone holds an array, dictionary or opaque value:
  // only then may destroying it reach nested values.
  [[nodiscard]] bool soleHolderOfShared() const noexcept {
    switch (storage_.index()) {
      case 3: return std::get_if<3>(&storage_)->use_count() == 1;
      case 4: return std::get_if<4>(&storage_)->use_count() == 1;
      case 5: return std::get_if<5>(&storage_)->use_count() == 1;
      default: return false;
    }
  }
  void releaseNested() noexcept;
  // The containers and opaque `Json` values this value alone holds, moved
  // to `pending` (whose entries are taken apart in turn).
  void detachNested(std::vector<PlatformValue>& pending) noexcept;

  std::variant<JsonNumber, std::string, JsonNull, std::shared_ptr<const Array>,
               std::shared_ptr<const JsonDictionary>, std::shared_ptr<const JsonOpaque>>
      storage_;
};

// An insertion-ordered dictionary from text to `PlatformValue`.
class JsonDictionary {
 public:
  friend class PlatformValue;
  using Entry = std::pair<std::string, PlatformValue>;

  JsonDictionary() = default;
  // Pairs in order; of two pairs with one key the later value wins, at the
  // place of the first.
  explicit JsonDictionary(std::vector<Entry> pairs);

  [[nodiscard]] std::size_t size() const { return entries_.size(); }
  [[nodiscard]] bool empty() const { return entries_.empty(); }
  [[nodiscard]] const std::vector<Entry>& entries() const { return entries_; }
  [[nodiscard]] auto begin() const { return entries_.begin(); }
  [[nodiscard]] auto end() const { return entries_.end(); }

  [[nodiscard]] const PlatformValue* find(std::string_view key) const;
  // The key's place in `entries()`.
  [[nodiscard]] std::optional<std::size_t> indexOf(std::string_view key) const;
  // Adds the key at the end, or replaces the value where the key is.
  void insertOrAssign(std::string key, PlatformValue value);
  bool erase(std::string_view key);

  friend bool operator==(const JsonDictionary& a, const JsonDictionary& b) { return a.equals(b); }
  [[nodiscard]] bool equals(const JsonDictionary& other) const;

 private:
  [[nodiscard]] std::size_t slotOf(std::string_view key) const;  // index into slots_
  void rebuildIndex();

  std::vector<Entry> entries_;
  // Open addressing over entry positions, for larger dictionaries only.
  std::vector<std::uint32_t> slots_;
};

// Inline: the writer and the subscripts ask once per node.
inline const PlatformValue::Array* PlatformValue::array() const {
  const auto* shared = std::get_if<std::shared_ptr<const Array>>(&storage_);
  return shared ? shared->get() : nullptr;
}

inline const JsonDictionary* PlatformValue::dictionary() const {
  const auto* shared = std::get_if<std::shared_ptr<const JsonDictionary>>(&storage_);
  return shared ? shared->get() : nullptr;
}

inline PlatformValue::PlatformValue(JsonDictionary dictionary)
    : storage_(std::make_shared<const JsonDictionary>(std::move(dictionary))) {}

template <class T>
  requires(!std::is_arithmetic_v<std::remove_cvref_t<T>> && !json_internal::TextLike<T> &&
           !std::is_same_v<std::remove_cvref_t<T>, PlatformValue> &&
           !std::is_same_v<std::remove_cvref_t<T>, JsonDictionary> &&
           !std::is_same_v<std::remove_cvref_t<T>, JsonNull> &&
           !std::is_same_v<std::remove_cvref_t<T>, JsonNumber> &&
           !std::is_same_v<std::remove_cvref_t<T>, PlatformValue::Array> &&
           !std::is_same_v<std::remove_cvref_t<T>, std::nullptr_t>)
PlatformValue::PlatformValue(const T& host) : storage_(JsonNull{}) {
  if constexpr (json_internal::JsonLike<T>) {
    // A `Json` (also a subscript's result, which is one) stays one value,
    // though it can be walked as a collection of pairs.
    *this = opaque(static_cast<const typename T::JsonValueTag&>(host));
  } else if constexpr (json_internal::IsOptional<T>::value) {
    if (host) *this = PlatformValue(*host);
  } else if constexpr (json_internal::TextKeyedRange<T>) {
    std::vector<JsonDictionary::Entry> pairs;
    for (const auto& pair : host) {
      pairs.emplace_back(std::string(std::string_view(std::get<0>(pair))), PlatformValue(std::get<1>(pair)));
    }
    *this = PlatformValue(JsonDictionary(std::move(pairs)));
  } else if constexpr (json_internal::PairRange<T>) {
    *this = opaque(host);  // a dictionary whose keys are not texts
  } else if constexpr (std::ranges::input_range<const T>) {
    Array array;
    for (const auto& element : host) array.emplace_back(element);
    *this = PlatformValue(std::move(array));
  } else {
    *this = opaque(host);
  }
}

}  // namespace vantrel
