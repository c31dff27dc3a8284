// File: vantrel/json/json_number.h
//
// `JsonNumber`: the number object of a JSON value. It keeps the kind it was
// made with, so true, 1 and 1.0 stay three different things:
//
//   JsonNumber::fromBool(true).isBool()            true
//   JsonNumber::fromInt(1).isBool()                false
//   JsonNumber::fromDouble(1.0).stringValue()      "1.0"
//   JsonNumber::fromDecimal("18446744073709551616")  kept as written
//   JsonNumber::fromInt(300).exactly<std::int8_t>()  nullopt (out of range)
//   JsonNumber::fromChar('a').stringValue()        "97"
//
// A character is an 8-bit signed integer that remembers it was made from a
// `char`: it counts, compares and is written as the integer it holds and is
// no Boolean; only `kind()` tells it apart (JSON text never makes one).
// A decimal holds a JSON number token that fits neither 64-bit integer nor a
// finite double; it is written back exactly as read. Conversions never
// narrow with undefined behaviour: a value outside the target's range gives
// nullopt, a fraction is cut toward zero. Texts are locale-free.
#pragma once

#include <compare>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "vantrel/json/internal/json_storage.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class JsonNumber {
 public:
  enum class Kind { boolean, signedInteger, unsignedInteger, floating, decimal, character };

  JsonNumber() = default;  // the integer 0
  JsonNumber(const JsonNumber& other) noexcept : kind_(other.kind_), i_(other.i_) {
    if (kind_ == Kind::decimal) json_internal::retain(&decimal_->header);
  }
  JsonNumber(JsonNumber&& other) noexcept : kind_(other.kind_), i_(other.i_) { other.kind_ = Kind::signedInteger; }
  JsonNumber& operator=(const JsonNumber& other) noexcept {
    JsonNumber copy(other);
    swap(copy);
    return *this;
  }
  JsonNumber& operator=(JsonNumber&& other) noexcept {
    JsonNumber taken(std::move(other));
    swap(taken);
    return *this;
  }
  ~JsonNumber() {
    if (kind_ == Kind::decimal) json_internal::release(&decimal_->header);
  }
  void swap(JsonNumber& other) noexcept {
    std::swap(kind_, other.kind_);
    std::swap(i_, other.i_);
  }
  // A decimal whose token is `digits`, a block taken over as it is.
  JsonNumber(json_internal::AdoptBlock, const json_internal::TextBlock* digits) noexcept
      : kind_(Kind::decimal), decimal_(digits) {}
  [[nodiscard]] static JsonNumber fromBool(bool value);
  // Inline: the reader makes one per integer it meets.
  [[nodiscard]] static JsonNumber fromInt(std::int64_t value) {
    JsonNumber n;
    n.i_ = value;
    return n;
  }
  // The value of `value` read as signed, -128...127, whatever the signedness
  // of `char` on the machine.
  [[nodiscard]] static JsonNumber fromChar(char value);
  [[nodiscard]] static JsonNumber fromUInt(std::uint64_t value);
  [[nodiscard]] static JsonNumber fromDouble(double value) {
    JsonNumber n;
    n.kind_ = Kind::floating;
    n.d_ = value;
    return n;
  }
  // `token` must be JSON number syntax; nothing otherwise. Tokens that fit a
  // 64-bit integer or a finite double become those kinds.
  [[nodiscard]] static std::optional<JsonNumber> fromToken(std::string_view token);
  // The same for a token already known to be JSON number syntax.
  [[nodiscard]] static JsonNumber fromValidToken(std::string_view token, bool integral);
  // A decimal parse of a text (a JSON number, optionally with a leading "+");
  // the decimal zero when the text is no number.
  [[nodiscard]] static JsonNumber fromDecimalText(std::string_view text);

  [[nodiscard]] Kind kind() const { return kind_; }
  [[nodiscard]] bool isBool() const { return kind_ == Kind::boolean; }
  // Nonzero.
  [[nodiscard]] bool boolValue() const;
  // Integers as digits, doubles shortest round trip ("1.0", "1e-05"), a
  // decimal as written, a boolean as 1 or 0. Non-finite doubles as
  // `doubleText` writes them.
  [[nodiscard]] std::string stringValue() const;
  // `stringValue` appended to `out`.
  void appendStringValue(std::string& out) const;
  [[nodiscard]] double doubleValue() const;
  [[nodiscard]] bool isFinite() const;

  // The value as T when it fits (fractions cut toward zero); else nullopt.
  template <class T>
    requires(std::is_arithmetic_v<T> && !std::is_same_v<T, bool>)
  [[nodiscard]] std::optional<T> exactly() const;

  // Numeric equality across kinds; a boolean equals only a boolean.
  // (A hidden friend over an exported member: declared at namespace scope,
  // it would turn any value of the namespace into a number for `==`.)
  friend bool operator==(const JsonNumber& a, const JsonNumber& b) { return a.equals(b); }
  [[nodiscard]] bool equals(const JsonNumber& other) const;
  // The order that goes with `==`: integers exactly, other kinds as doubles;
  // unordered for a NaN, between a boolean and another kind, and between two
  // different decimals too large for a double.
  [[nodiscard]] std::partial_ordering compare(const JsonNumber& other) const;

 private:
  [[nodiscard]] std::optional<std::int64_t> asInt64() const {
    if (kind_ == Kind::signedInteger) return i_;
    return asInt64OfOtherKinds();
  }
  [[nodiscard]] std::optional<std::int64_t> asInt64OfOtherKinds() const;
  [[nodiscard]] std::optional<std::uint64_t> asUInt64() const;

  friend class PlatformValue;
  friend class JsonView;  // reads integers without an optional on its hot path
  [[nodiscard]] std::string_view decimalText() const { return {decimal_->data(), decimal_->length}; }

  Kind kind_ = Kind::signedInteger;
  union {
    std::int64_t i_ = 0;
    std::uint64_t u_;
    double d_;
    const json_internal::TextBlock* decimal_;  // Kind::decimal: the token, shared
  };
};

template <class T>
  requires(std::is_arithmetic_v<T> && !std::is_same_v<T, bool>)
std::optional<T> JsonNumber::exactly() const {
  if constexpr (std::is_floating_point_v<T>) {
    const double d = doubleValue();
    if (d != d) return static_cast<T>(d);  // NaN converts to NaN
    if constexpr (std::is_same_v<T, float>) {
      if (d > std::numeric_limits<float>::max() || d < -std::numeric_limits<float>::max()) {
        if (d == std::numeric_limits<double>::infinity() || d == -std::numeric_limits<double>::infinity()) {
          return static_cast<float>(d);
        }
        return std::nullopt;
      }
    }
    if (kind_ == Kind::decimal && !isFinite()) return std::nullopt;
    return static_cast<T>(d);
  } else if constexpr (std::is_signed_v<T>) {
    const auto v = asInt64();
    if (!v || *v < std::numeric_limits<T>::min() || *v > std::numeric_limits<T>::max()) return std::nullopt;
    return static_cast<T>(*v);
  } else {
    const auto v = asUInt64();
    if (!v || *v > std::numeric_limits<T>::max()) return std::nullopt;
    return static_cast<T>(*v);
  }
}

}  // namespace vantrel
