#include "vantrel/collections/qint128.h"

#include "vantrel/core/fatal.h"
#include "vantrel/text/characters.h"
#include "vantrel/text/string_services.h"

namespace vantrel {
namespace {

std::uint64_t loadBigEndian(const std::uint8_t* bytes) {
  std::uint64_t value = 0;
  for (int i = 0; i < 8; ++i) value = (value << 8) | bytes[i];
  return value;
}

void storeBigEndian(std::uint64_t value, std::uint8_t* bytes) {
  for (int i = 7; i >= 0; --i) {
    bytes[i] = static_cast<std::uint8_t>(value & 0xFF);
    value >>= 8;
  }
}

QInt128 fromSixteen(const std::uint8_t* bytes) {
  return QInt128{.low = loadBigEndian(bytes + 8), .high = loadBigEndian(bytes)};
}

std::string padded16(std::uint64_t value, bool uppercase) {
  std::string digits = hexString(value, uppercase);
  return std::string(16 - digits.size(), '0') + digits;
}

}  // namespace

QInt128 QInt128::fromUuid(const UUID& uuid) { return fromSixteen(uuid.uuid().data()); }

QInt128 QInt128::createNewUuid() { return fromUuid(UUID()); }

std::optional<QInt128> QInt128::fromUuidString(std::string_view text) {
  const auto uuid = UUID::fromString(text);
  if (!uuid) return std::nullopt;
  return fromUuid(*uuid);
}

QInt128 QInt128::fromUuidStringForced(std::string_view text) {
  const auto value = fromUuidString(text);
  if (!value) fatal("Invalid uuid string: " + std::string(text));
  return *value;
}

std::optional<QInt128> QInt128::fromData(const Data& data) {
  if (data.size() != 16) return std::nullopt;
  return fromSixteen(data.data());
}

std::optional<QInt128> QInt128::fromBytes(const std::vector<std::uint8_t>& bytes) {
  return fromData(bytes);
}

std::optional<QInt128> QInt128::fromString(std::string_view text) {
  // Any non-ASCII character fails the digit test, so counting bytes decides
  // the same as counting characters.
  if (text.size() != 32) return std::nullopt;
  const auto high = parseHex(text.substr(0, 16));
  if (!high) return std::nullopt;
  const auto low = parseHex(text.substr(16));
  if (!low) return std::nullopt;
  return QInt128{.low = *low, .high = *high};
}

QInt128 QInt128::forced(std::string_view text) {
  if (characterCount(text) != 32) {
    fatal(std::string(text) + " is not a uuid! Length is not 32.");
  }
  if (const auto value = fromString(text)) return *value;
  // The message names the halves as characters, also for non-ASCII text.
  const std::size_t middle = byteOffsetOfCharacter(text, 16).value_or(text.size());
  fatal(std::string(text) + " is not a uuid! Could not UInt64(" +
        std::string(text.substr(0, middle)) + ") or UInt64(" + std::string(text.substr(middle)) +
        ")");
}

std::string QInt128::asString() const { return padded16(high, false) + padded16(low, false); }

std::string QInt128::asUuidString() const {
  std::string text = padded16(high, true) + padded16(low, true);
  for (std::size_t offset : {8, 13, 18, 23}) text.insert(offset, 1, '-');
  return text;
}

std::string QInt128::asCompactString() const { return padded16(high, true).substr(0, 8); }

Data QInt128::asData() const {
  Data data(16);
  storeBigEndian(high, data.data());
  storeBigEndian(low, data.data() + 8);
  return data;
}

std::vector<std::uint8_t> QInt128::asBytes() const { return asData(); }

UUID QInt128::asUuid() const { return UUID(asUuid_t()); }

uuid_t QInt128::asUuid_t() const {
  uuid_t bytes{};
  storeBigEndian(high, bytes.data());
  storeBigEndian(low, bytes.data() + 8);
  return bytes;
}

}  // namespace vantrel
