// File: vantrel/collections/qint128.h
//
// `QInt128`: one unsigned 128-bit number as two 64-bit halves, used as a
// compact identifier that converts losslessly to and from UUIDs, UUID text,
// 32-digit hexadecimal text, 16-byte data and byte lists. Every byte form is
// big-endian, the byte order of a UUID: byte 0 is the top byte of `high`.
//
//   QInt128 id{.low = 0xFEDCBA9876543210, .high = 0xA123456789ABCDEF};
//   id.asString()       "a123456789abcdeffedcba9876543210"
//   id.asUuidString()   "A1234567-89AB-CDEF-FEDC-BA9876543210"
//   QInt128::fromString("A123456789ABCDEFfedcba9876543210")      // == id
//   QInt128::fromUuidString("a1234567-89ab-cdef-fedc-ba9876543210") // == id
//
// The failable readers (`from…`) answer nullopt for any text or byte count
// they do not take. `forced` and `fromUuidStringForced` are for texts the
// caller vouches for (identifiers written into code) and stop the program
// when the vouching fails. Hexadecimal reading is strict ASCII: digits and
// letters a-f in either case, no sign, prefix or blank. Plain value.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>
#include <ranges>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/core/data.h"
#include "vantrel/core/uuid.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

struct QInt128 {
  std::uint64_t low = 0;
  std::uint64_t high = 0;

  [[nodiscard]] static QInt128 fromUuid(const UUID& uuid);
  [[nodiscard]] static QInt128 fromNsUuid(const UUID& uuid) { return fromUuid(uuid); }
  // A fresh random (version 4) UUID.
  [[nodiscard]] static QInt128 createNewUuid();
  // 36 characters in the 8-4-4-4-12 layout, either case.
  [[nodiscard]] static std::optional<QInt128> fromUuidString(std::string_view text);
  // Stops with "Invalid uuid string: <text>" when the text does not read.
  [[nodiscard]] static QInt128 fromUuidStringForced(std::string_view text);
  // Exactly 16 bytes.
  [[nodiscard]] static std::optional<QInt128> fromData(const Data& data);
  [[nodiscard]] static std::optional<QInt128> fromBytes(const std::vector<std::uint8_t>& bytes);
  // Exactly 32 hexadecimal digits: `high` then `low`.
  [[nodiscard]] static std::optional<QInt128> fromString(std::string_view text);
  // As `fromString`; stops with "<text> is not a uuid! Length is not 32." or
  // "<text> is not a uuid! Could not UInt64(<first 16>) or UInt64(<last 16>)".
  [[nodiscard]] static QInt128 forced(std::string_view text);

  // 32 lower-case digits.
  [[nodiscard]] std::string asString() const;
  [[nodiscard]] std::string description() const { return asString(); }
  // 36 characters, upper-case, 8-4-4-4-12.
  [[nodiscard]] std::string asUuidString() const;
  // The first 8 upper-case digits (the top 32 bits of `high`).
  [[nodiscard]] std::string asCompactString() const;
  [[nodiscard]] std::string asUuidShortstring() const { return asCompactString(); }
  [[nodiscard]] std::string asUuidSubstring() const { return asCompactString(); }
  [[nodiscard]] Data asData() const;
  [[nodiscard]] std::vector<std::uint8_t> asBytes() const;
  [[nodiscard]] UUID asUuid() const;
  [[nodiscard]] uuid_t asUuid_t() const;

  // `low` OR `high`, as a signed 64-bit pattern.
  [[nodiscard]] std::int64_t hashValue() const { return static_cast<std::int64_t>(low | high); }

  friend bool operator==(const QInt128& a, const QInt128& b) {
    return a.low == b.low && a.high == b.high;
  }
  // Unsigned 128-bit order.
  friend std::strong_ordering operator<=>(const QInt128& a, const QInt128& b) {
    if (a.high != b.high) return a.high <=> b.high;
    return a.low <=> b.low;
  }
  friend std::ostream& operator<<(std::ostream& os, const QInt128& v) {
    return os << v.asString();
  }
};

namespace collections_internal {

// `textOf` of each value, joined by ",".
template <class R, class TextOf>
[[nodiscard]] std::string joinedByComma(R&& values, TextOf textOf) {
  std::string text;
  bool first = true;
  for (const QInt128& v : values) {
    if (!first) text += ',';
    text += textOf(v);
    first = false;
  }
  return text;
}

}  // namespace collections_internal

// The `asUuidString()` / `asUuidShortstring()` texts of a sequence's
// elements, joined by "," ("" for an empty sequence).
template <std::ranges::input_range R>
  requires std::same_as<std::ranges::range_value_t<R>, QInt128>
[[nodiscard]] std::string joinedUuidStrings(R&& values) {
  return collections_internal::joinedByComma(values, [](const QInt128& v) { return v.asUuidString(); });
}

template <std::ranges::input_range R>
  requires std::same_as<std::ranges::range_value_t<R>, QInt128>
[[nodiscard]] std::string joinedUuidSubstrings(R&& values) {
  return collections_internal::joinedByComma(values, [](const QInt128& v) { return v.asUuidShortstring(); });
}

}  // namespace vantrel

template <>
struct std::hash<vantrel::QInt128> {
  std::size_t operator()(const vantrel::QInt128& v) const noexcept {
    return static_cast<std::size_t>(v.hashValue());
  }
};
