#include "vantrel/text/random_strings.h"

#include <fmt/format.h>

#include "vantrel/core/checked.h"
#include "vantrel/core/fatal.h"
#include "vantrel/core/random.h"
#include "vantrel/text/characters.h"
#include "vantrel/text/internal/utf8.h"
#include "vantrel/text/string_services.h"

namespace vantrel {

std::string vtRandomAlphanumericString(std::string_view letterPool, std::int64_t length) {
  if (length < 0) fatal(fmt::format("Random string length {} is negative", length));
  if (length == 0) return {};
  const std::vector<std::string_view> pool = characters(letterPool);
  if (pool.empty()) fatal("Random string pool is empty");
  const auto bound = checkedCast<std::uint32_t>(static_cast<std::int64_t>(pool.size()));
  std::string out;
  out.reserve(static_cast<std::size_t>(length));
  for (std::int64_t i = 0; i < length; ++i) out.append(pool[randomUniform(bound)]);
  return out;
}

std::string vtRandomAlphanumericStringOfLetters(std::u16string_view letters, std::int64_t withLength) {
  return vtRandomAlphanumericString(utf8FromUtf16(letters), withLength);
}

std::string vtRandomAlphanumericStringWithLength(std::int64_t length) {
  return vtRandomAlphanumericString(kAlphanumericPool, length);
}

std::string vtRandomAlphanumericString(std::int64_t length) {
  return vtRandomAlphanumericString(kAlphanumericPool, length);
}

std::string randomBase32WithLength(std::int64_t length) { return vtRandomAlphanumericString(kBase32Pool, length); }

std::string randomBase32(std::int64_t length) { return vtRandomAlphanumericString(kBase32Pool, length); }

std::uint32_t fourCharCode(std::string_view text) {
  // Padding by characters rather than scalars also settles a text of four
  // scalars but fewer characters (e + combining accent + "ab"): it is padded
  // too, so four characters always exist.
  std::string padded(text);
  if (characterCount(text) < 4) padded.append("    ");
  const std::size_t end = byteOffsetOfCharacter(padded, 4).value_or(padded.size());
  std::uint32_t code = 0;
  for (std::size_t pos = 0; pos < end;) {
    const auto d = text_internal::decodeScalar(padded, pos);
    code = (code << 8) | (static_cast<std::uint32_t>(d.scalar) & 0xFFu);
    pos += d.length;
  }
  return code;
}

std::string string(std::uint32_t code) {
  std::string out;
  for (int shift = 24; shift >= 0; shift -= 8) text_internal::appendScalar(out, (code >> shift) & 0xFFu);
  return out;
}

}  // namespace vantrel
