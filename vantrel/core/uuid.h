// File: vantrel/core/uuid.h
//
// `UUID`: sixteen bytes, the stand-in for the platform's UUID value. A new
// one is random (version 4, drawn from the core random source, so tests can
// script it); the text form is 8-4-4-4-12 upper-case hexadecimal digits.
//
//   UUID id;                                        // fresh, random
//   auto parsed = UUID::fromString("a1234567-89ab-cdef-fedc-ba9876543210");
//   parsed->uuidString()        "A1234567-89AB-CDEF-FEDC-BA9876543210"
//   parsed->uuid()[0]           0xA1   (bytes in text order)
//
// The parser is strict: exactly 36 characters, hexadecimal digits of either
// case in groups of 8, 4, 4, 4 and 12, separated by "-"; no braces, blanks,
// signs or "0x". Plain value; thread-safe to read.
#pragma once

#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// The sixteen bytes of a UUID, byte 0 first (the first two digits of its text).
using uuid_t = std::array<std::uint8_t, 16>;

class UUID {
 public:
  // A random version-4 UUID.
  UUID();
  explicit UUID(const uuid_t& bytes) : bytes_(bytes) {}

  [[nodiscard]] static std::optional<UUID> fromString(std::string_view text);

  [[nodiscard]] const uuid_t& uuid() const { return bytes_; }
  [[nodiscard]] std::string uuidString() const;

  friend bool operator==(const UUID&, const UUID&) = default;
  friend std::strong_ordering operator<=>(const UUID&, const UUID&) = default;

 private:
  uuid_t bytes_{};
};

}  // namespace vantrel

template <>
struct std::hash<vantrel::UUID> {
  std::size_t operator()(const vantrel::UUID& id) const noexcept {
    std::size_t h = 0;
    for (std::uint8_t b : id.uuid()) h = h * 131 + b;
    return h;
  }
};
