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

#include <algorithm>
#include <any>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <iosfwd>
#include <iterator>
#include <optional>
#include <ranges>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "vantrel/core/describe.h"
#include "vantrel/json/internal/json_storage.h"
#include "vantrel/json/json_number.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// The null object.
struct JsonNull {
  friend bool operator==(JsonNull, JsonNull) = default;
};

class PlatformValue;
class JsonDictionary;
class JsonView;

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

// A text as a value holds it: up to 15 bytes in place, longer ones in a
// shared block (so copies of a long text are O(1)). Reads as a
// `std::string_view`.
class JsonText {
 public:
  static constexpr std::size_t kInlineCapacity = 15;

  JsonText() noexcept { std::memset(bytes_, 0, sizeof bytes_); }
  JsonText(std::string_view text) {  // NOLINT: implicit on purpose
    if (text.size() <= kInlineCapacity) {
      assignInline(text.data(), text.size());
    } else {
      adopt(json_internal::makeTextBlock(text.data(), text.size()));
    }
  }
  // A text held in `block`, taken over as it is.
  JsonText(json_internal::AdoptBlock, const json_internal::TextBlock* block) noexcept {
    std::memset(bytes_, 0, sizeof bytes_);
    adopt(block);
  }
  JsonText(const std::string& text) : JsonText(std::string_view(text)) {}  // NOLINT
  JsonText(const char* text) : JsonText(std::string_view(text)) {}  // NOLINT
  JsonText(const JsonText& other) noexcept {
    std::memcpy(bytes_, other.bytes_, sizeof bytes_);
    if (const auto* b = block()) json_internal::retain(&b->header);
  }
  JsonText(JsonText&& other) noexcept {
    std::memcpy(bytes_, other.bytes_, sizeof bytes_);
    std::memset(other.bytes_, 0, sizeof other.bytes_);
  }
  JsonText& operator=(const JsonText& other) noexcept {
    JsonText copy(other);
    swap(copy);
    return *this;
  }
  JsonText& operator=(JsonText&& other) noexcept {
    JsonText taken(std::move(other));
    swap(taken);
    return *this;
  }
  ~JsonText() {
    if (const auto* b = block()) json_internal::release(&b->header);
  }
  void swap(JsonText& other) noexcept {
    char held[sizeof bytes_];
    std::memcpy(held, bytes_, sizeof bytes_);
    std::memcpy(bytes_, other.bytes_, sizeof bytes_);
    std::memcpy(other.bytes_, held, sizeof bytes_);
  }

  [[nodiscard]] const char* data() const { return inlined() ? bytes_ : block()->data(); }
  [[nodiscard]] std::size_t size() const {
    return inlined() ? static_cast<unsigned char>(bytes_[kInlineCapacity]) : block()->length;
  }
  [[nodiscard]] bool empty() const { return size() == 0; }
  // Whether the text is held in place: then `data()` has 16 readable bytes.
  [[nodiscard]] bool isInline() const { return inlined(); }
  [[nodiscard]] std::string_view view() const { return {data(), size()}; }
  operator std::string_view() const { return view(); }  // NOLINT: implicit on purpose
  [[nodiscard]] std::string str() const { return std::string(view()); }

  friend bool operator==(const JsonText& a, const JsonText& b) {
    // Texts in place keep their unused bytes zero, so their bytes compare.
    if (a.inlined() && b.inlined()) return std::memcmp(a.bytes_, b.bytes_, sizeof a.bytes_) == 0;
    return a.view() == b.view();
  }
  friend bool operator==(const JsonText& a, std::string_view b) { return a.equals(b); }
  // `== text`, the length first and in place without a call for the length.
  [[nodiscard]] bool equals(std::string_view text) const {
    if (inlined()) {
      const auto length = static_cast<unsigned char>(bytes_[kInlineCapacity]);
      return length == text.size() && (length == 0 || std::memcmp(bytes_, text.data(), length) == 0);
    }
    return view() == text;
  }
  friend bool operator==(const JsonText& a, const std::string& b) { return a.view() == b; }
  friend bool operator==(const JsonText& a, const char* b) { return a.view() == b; }
  friend auto operator<=>(const JsonText& a, const JsonText& b) { return a.view() <=> b.view(); }

 private:
  friend class PlatformValue;
  friend void json_internal::destroyBlock(json_internal::BlockHeader*) noexcept;
  static constexpr unsigned char kInBlock = 0x80;
  [[nodiscard]] bool inlined() const { return static_cast<unsigned char>(bytes_[kInlineCapacity]) != kInBlock; }
  [[nodiscard]] const json_internal::TextBlock* block() const {
    if (inlined()) return nullptr;
    const json_internal::TextBlock* b;
    std::memcpy(&b, bytes_, sizeof b);
    return b;
  }
  // Takes over `block`'s count (or, in an arena, holds none).
  void adopt(const json_internal::TextBlock* b) noexcept {
    std::memcpy(bytes_, &b, sizeof b);
    bytes_[kInlineCapacity] = static_cast<char>(kInBlock);
  }
  void assignInline(const char* text, std::size_t length) noexcept {
    std::memset(bytes_, 0, sizeof bytes_);
    std::memcpy(bytes_, text, length);
    bytes_[kInlineCapacity] = static_cast<char>(length);
  }

  alignas(8) char bytes_[kInlineCapacity + 1];
};

std::ostream& operator<<(std::ostream& out, const JsonText& text);

// The elements of an array value: a contiguous sequence of values, shared
// by copies until one of them changes (copy on write). Reading never
// copies; the non-const `operator[]`, `back()` and the changes below make
// the elements this array's own first. Pointers and iterators into it stay
// valid while the array is neither changed nor destroyed. A position at or
// after the end given to `operator[]`, `front()`, `back()` or `pop_back()`
// stops the program ("JsonArray index <i> outside its <n> elements"), in
// every build; the iterators are plain pointers, unchecked.
class JsonArray : private json_internal::SharedBlock<json_internal::ArrayBlock> {
 public:
  using value_type = PlatformValue;
  using size_type = std::size_t;
  using difference_type = std::ptrdiff_t;
  using reference = PlatformValue&;
  using const_reference = const PlatformValue&;
  using const_iterator = const PlatformValue*;
  using iterator = const_iterator;

  JsonArray() noexcept = default;
  // The elements of `block`, taken over as it is.
  JsonArray(json_internal::AdoptBlock, json_internal::ArrayBlock* block) noexcept { block_ = block; }
  JsonArray(std::initializer_list<PlatformValue> elements);
  template <std::input_iterator It, std::sentinel_for<It> S>
  JsonArray(It first, S last) {
    if constexpr (std::random_access_iterator<It>) reserve(static_cast<std::size_t>(last - first));
    for (; first != last; ++first) emplace_back(*first);
  }

  [[nodiscard]] std::size_t size() const { return block_ ? block_->size : 0; }
  [[nodiscard]] bool empty() const { return size() == 0; }
  [[nodiscard]] const PlatformValue* data() const { return block_ ? block_->elements() : nullptr; }
  [[nodiscard]] const_iterator begin() const { return data(); }
  [[nodiscard]] const_iterator end() const;
  [[nodiscard]] const PlatformValue& operator[](std::size_t i) const;
  [[nodiscard]] const PlatformValue& front() const;
  [[nodiscard]] const PlatformValue& back() const;

  [[nodiscard]] PlatformValue& operator[](std::size_t i);
  [[nodiscard]] PlatformValue& back();
  void reserve(std::size_t capacity);
  void push_back(const PlatformValue& value);
  void push_back(PlatformValue&& value);
  template <class... Args>
  PlatformValue& emplace_back(Args&&... args);
  void pop_back();
  void clear() noexcept { *this = JsonArray(); }

  friend bool operator==(const JsonArray& a, const JsonArray& b);

 private:
  friend class PlatformValue;
  // Room for `extra` more elements in a block held by this array alone.
  PlatformValue* makeRoom(std::size_t extra);
  void checkIndex(std::size_t i) const {
    if (i >= size()) [[unlikely]] indexOutOfRange(i, size());
  }
  [[noreturn]] static void indexOutOfRange(std::size_t i, std::size_t count);
};

// An insertion-ordered dictionary from text to `PlatformValue`, shared by
// copies until one of them changes (copy on write).
class JsonDictionary : private json_internal::SharedBlock<json_internal::DictionaryBlock> {
 public:
  using Entry = JsonDictionaryEntry;

  JsonDictionary() noexcept = default;
  // The entries of `block`, indexed already, taken over as it is.
  JsonDictionary(json_internal::AdoptBlock, json_internal::DictionaryBlock* block) noexcept { block_ = block; }
  // Pairs in order; of two pairs with one key the later value wins, at the
  // place of the first.
  explicit JsonDictionary(std::vector<Entry> pairs);

  [[nodiscard]] std::size_t size() const { return block_ ? block_->size : 0; }
  [[nodiscard]] bool empty() const { return size() == 0; }
  [[nodiscard]] std::span<const Entry> entries() const;
  [[nodiscard]] const Entry* begin() const;
  [[nodiscard]] const Entry* end() const;

  [[nodiscard]] const PlatformValue* find(std::string_view key) const;
  // The key's place in `entries()`.
  [[nodiscard]] std::optional<std::size_t> indexOf(std::string_view key) const;
  // Adds the key at the end, or replaces the value where the key is.
  void insertOrAssign(JsonText key, PlatformValue value);
  bool erase(std::string_view key);

  friend bool operator==(const JsonDictionary& a, const JsonDictionary& b) { return a.equals(b); }
  [[nodiscard]] bool equals(const JsonDictionary& other) const;

 private:
  friend class PlatformValue;
  json_internal::DictionaryBlock* makeRoom(std::size_t extra);
};

class PlatformValue {
 public:
  enum class Kind : std::uint8_t { number, text, null, array, dictionary, opaque };
  using Array = JsonArray;

  PlatformValue() noexcept : kind_(Kind::null) {}
  PlatformValue(const PlatformValue& other) noexcept : kind_(other.kind_) { copyFrom(other); }
  PlatformValue(PlatformValue&& other) noexcept : kind_(other.kind_) {
    std::memcpy(static_cast<void*>(this), static_cast<const void*>(&other), sizeof(PlatformValue));
    other.kind_ = Kind::null;
  }
  PlatformValue& operator=(const PlatformValue& other) noexcept {
    if (this != &other) {
      PlatformValue copy(other);
      *this = std::move(copy);
    }
    return *this;
  }
  PlatformValue& operator=(PlatformValue&& other) noexcept {
    if (this != &other) {
      PlatformValue old(std::move(*this));
      std::memcpy(static_cast<void*>(this), static_cast<const void*>(&other), sizeof(PlatformValue));
      other.kind_ = Kind::null;
    }
    return *this;
  }
  // Containers nested in containers are taken apart in a loop: a value
  // nested a million deep, however it was built, needs no deep stack.
  ~PlatformValue() {
    if (kind_ != Kind::null) destroy();
  }
  PlatformValue(JsonNull) noexcept : kind_(Kind::null) {}        // NOLINT: implicit on purpose
  PlatformValue(std::nullptr_t) noexcept : kind_(Kind::null) {}  // NOLINT
  PlatformValue(JsonNumber number) noexcept : number_(std::move(number)), kind_(Kind::number) {}  // NOLINT
  PlatformValue(JsonText text) noexcept : text_(std::move(text)), kind_(Kind::text) {}            // NOLINT
  PlatformValue(const std::string& text) : text_(text), kind_(Kind::text) {}                      // NOLINT
  PlatformValue(std::string_view text) : text_(text), kind_(Kind::text) {}                        // NOLINT
  PlatformValue(const char* text) : text_(text), kind_(Kind::text) {}                             // NOLINT
  PlatformValue(bool flag) noexcept : number_(JsonNumber::fromBool(flag)), kind_(Kind::number) {}  // NOLINT
  PlatformValue(Array array) noexcept : array_(std::move(array)), kind_(Kind::array) {}           // NOLINT
  PlatformValue(JsonDictionary dictionary) noexcept                                               // NOLINT
      : dictionary_(std::move(dictionary)), kind_(Kind::dictionary) {}
  // An array or dictionary of `block`, taken over as it is; made in place by
  // the reader, which reads a value back at once: one built elsewhere and
  // copied in would be read before its bytes have settled.
  PlatformValue(json_internal::AdoptBlock tag, json_internal::ArrayBlock* block) noexcept
      : array_(tag, block), kind_(Kind::array) {}
  PlatformValue(json_internal::AdoptBlock tag, json_internal::DictionaryBlock* block) noexcept
      : dictionary_(tag, block), kind_(Kind::dictionary) {}

  template <class I>
    requires(std::is_integral_v<I> && !std::is_same_v<I, bool>)
  PlatformValue(I number)  // NOLINT
      : number_(std::is_signed_v<I> ? JsonNumber::fromInt(static_cast<std::int64_t>(number))
                                    : JsonNumber::fromUInt(static_cast<std::uint64_t>(number))),
        kind_(Kind::number) {}

  template <class F>
    requires std::is_floating_point_v<F>
  PlatformValue(F number) : number_(JsonNumber::fromDouble(static_cast<double>(number))), kind_(Kind::number) {}  // NOLINT

  // Host containers and anything else (see the file comment).
  template <class T>
    requires(!std::is_arithmetic_v<std::remove_cvref_t<T>> && !json_internal::TextLike<T> &&
             !std::is_same_v<std::remove_cvref_t<T>, PlatformValue> &&
             !std::is_same_v<std::remove_cvref_t<T>, JsonDictionary> &&
             !std::is_same_v<std::remove_cvref_t<T>, JsonNull> &&
             !std::is_same_v<std::remove_cvref_t<T>, JsonNumber> &&
             !std::is_same_v<std::remove_cvref_t<T>, JsonText> &&
             !std::is_same_v<std::remove_cvref_t<T>, Array> &&
             !std::is_same_v<std::remove_cvref_t<T>, std::nullptr_t>)
  PlatformValue(const T& host);  // NOLINT

  // An opaque value holding `value` as it is.
  template <class T>
  [[nodiscard]] static PlatformValue opaque(T value) {
    return makeOpaque(JsonOpaque{std::any(std::move(value)), typeName<T>()});
  }

  [[nodiscard]] Kind kind() const { return kind_; }
  [[nodiscard]] bool isNull() const { return kind_ == Kind::null; }
  [[nodiscard]] const JsonNumber* number() const { return kind_ == Kind::number ? &number_ : nullptr; }
  [[nodiscard]] const JsonText* text() const { return kind_ == Kind::text ? &text_ : nullptr; }
  [[nodiscard]] const Array* array() const { return kind_ == Kind::array ? &array_ : nullptr; }
  [[nodiscard]] const JsonDictionary* dictionary() const {
    return kind_ == Kind::dictionary ? &dictionary_ : nullptr;
  }
  [[nodiscard]] const JsonOpaque* opaqueValue() const;

  // The array or dictionary for changing; copies it first when shared.
  // Nothing for other kinds.
  [[nodiscard]] Array* mutableArray();
  [[nodiscard]] JsonDictionary* mutableDictionary();

  // How many holders share this value's array or dictionary (tests; 0 for
  // other kinds, and for empty containers, which share nothing).
  [[nodiscard]] long shareCount() const;

  // Deep equality; numbers compare by value (a boolean only with a
  // boolean), dictionaries regardless of order, opaque values never equal.
  friend bool operator==(const PlatformValue& a, const PlatformValue& b) { return a.equals(b); }
  [[nodiscard]] bool equals(const PlatformValue& other) const;

  // A short form for messages: the text of a text, the digits of a number,
  // "null", "<array of n>", "<dictionary of n>", or the opaque type name.
  [[nodiscard]] std::string description() const;

 private:
  // Views read a number they have classified without checking the kind again.
  friend class JsonView;
  friend void json_internal::destroyBlock(json_internal::BlockHeader*) noexcept;
  struct OpaqueBlock;
  [[nodiscard]] static PlatformValue makeOpaque(JsonOpaque value);
  // The shared block this value refers to, if any.
  [[nodiscard]] const json_internal::BlockHeader* blockRef() const noexcept;
  void copyFrom(const PlatformValue& other) noexcept;
  void destroy() noexcept;

  union {
    JsonNumber number_;
    JsonText text_;
    Array array_;
    JsonDictionary dictionary_;
    const OpaqueBlock* opaque_;
  };
  Kind kind_;
};

// A member of a dictionary: its key (`first`) and value (`second`).
struct JsonDictionaryEntry {
  JsonDictionaryEntry(JsonText key, PlatformValue value) noexcept : first(std::move(key)), second(std::move(value)) {}

  JsonText first;
  PlatformValue second;
};

// A value moves by copying its bytes and leaving a null behind. That holds
// while every kind's state is its bytes: counted pointers and numbers, no
// pointer into the value itself, no virtual table.
static_assert(std::is_standard_layout_v<PlatformValue> && std::is_standard_layout_v<JsonNumber> &&
                  std::is_standard_layout_v<JsonText> && std::is_standard_layout_v<JsonArray> &&
                  std::is_standard_layout_v<JsonDictionary>,
              "PlatformValue moves by copying its bytes");

// ---- inline definitions (need the types complete) ----

inline std::span<const JsonDictionary::Entry> JsonDictionary::entries() const {
  return block_ ? std::span<const Entry>(block_->entries(), block_->size) : std::span<const Entry>();
}
inline const JsonDictionary::Entry* JsonDictionary::begin() const { return block_ ? block_->entries() : nullptr; }
inline const JsonDictionary::Entry* JsonDictionary::end() const { return begin() + size(); }

inline JsonArray::const_iterator JsonArray::end() const { return data() + size(); }
inline const PlatformValue& JsonArray::operator[](std::size_t i) const {
  checkIndex(i);
  return data()[i];
}
inline const PlatformValue& JsonArray::front() const { return (*this)[0]; }
inline const PlatformValue& JsonArray::back() const { return (*this)[size() - 1]; }

inline PlatformValue* JsonArray::makeRoom(std::size_t extra) {
  const std::size_t count = size();
  if (!block_ || !json_internal::soleHeapHolder(&block_->header) || block_->capacity - count < extra) {
    if (!block_ && extra == 0) return nullptr;
    const bool growing = !block_ || block_->capacity - count < extra;
    reserve(growing ? std::max(count + extra, 2 * count) : count);
  }
  return block_->elements() + count;
}

template <class... Args>
PlatformValue& JsonArray::emplace_back(Args&&... args) {
  PlatformValue value(std::forward<Args>(args)...);  // may refer to an element here
  PlatformValue* slot = makeRoom(1);
  new (slot) PlatformValue(std::move(value));
  ++block_->size;
  return *slot;
}

inline void JsonArray::push_back(const PlatformValue& value) { emplace_back(value); }
inline void JsonArray::push_back(PlatformValue&& value) { emplace_back(std::move(value)); }

template <class T>
  requires(!std::is_arithmetic_v<std::remove_cvref_t<T>> && !json_internal::TextLike<T> &&
           !std::is_same_v<std::remove_cvref_t<T>, PlatformValue> &&
           !std::is_same_v<std::remove_cvref_t<T>, JsonDictionary> &&
           !std::is_same_v<std::remove_cvref_t<T>, JsonNull> &&
           !std::is_same_v<std::remove_cvref_t<T>, JsonNumber> &&
           !std::is_same_v<std::remove_cvref_t<T>, JsonText> &&
           !std::is_same_v<std::remove_cvref_t<T>, PlatformValue::Array> &&
           !std::is_same_v<std::remove_cvref_t<T>, std::nullptr_t>)
PlatformValue::PlatformValue(const T& host) : kind_(Kind::null) {
  if constexpr (json_internal::JsonLike<T>) {
    // A `Json` (also a subscript's result, which is one) stays one value,
    // though it can be walked as a collection of pairs.
    *this = opaque(typename T::JsonValueTag(host));
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
