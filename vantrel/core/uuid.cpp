#include "vantrel/core/uuid.h"

#include "vantrel/core/number_text.h"
#include "vantrel/core/random.h"

namespace vantrel {
namespace {

constexpr char upperDigits[] = "0123456789ABCDEF";

bool isDashPosition(std::size_t i) { return i == 8 || i == 13 || i == 18 || i == 23; }

}  // namespace

UUID::UUID() {
  randomBytes(bytes_.data(), bytes_.size());
  bytes_[6] = static_cast<std::uint8_t>((bytes_[6] & 0x0F) | 0x40);  // version 4
  bytes_[8] = static_cast<std::uint8_t>((bytes_[8] & 0x3F) | 0x80);  // RFC 4122 variant
}

std::optional<UUID> UUID::fromString(std::string_view text) {
  if (text.size() != 36) return std::nullopt;
  uuid_t bytes{};
  std::size_t byte = 0;
  int high = -1;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (isDashPosition(i)) {
      if (text[i] != '-') return std::nullopt;
      continue;
    }
    const int digit = hexDigitValue(text[i]);
    if (digit < 0) return std::nullopt;
    if (high < 0) {
      high = digit;
    } else {
      bytes[byte++] = static_cast<std::uint8_t>(high * 16 + digit);
      high = -1;
    }
  }
  return UUID(bytes);
}

std::string UUID::uuidString() const {
  std::string text;
  text.reserve(36);
  for (std::size_t i = 0; i < bytes_.size(); ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
    text += upperDigits[bytes_[i] >> 4];
    text += upperDigits[bytes_[i] & 0x0F];
  }
  return text;
}

}  // namespace vantrel
