#include "vantrel/text/comparison.h"

#include <functional>

#include <unicode/bytestream.h>
#include <unicode/normalizer2.h>

#include "vantrel/core/fatal.h"
#include "vantrel/text/internal/utf8.h"

namespace vantrel {
namespace {

using text_internal::isAscii;

const icu::Normalizer2& nfcNormalizer() {
  static const icu::Normalizer2* normalizer = [] {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* n = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status) || n == nullptr) fatal("ICU NFC normalizer unavailable");
    return n;
  }();
  return *normalizer;
}

}  // namespace

std::string nfc(std::string_view text) {
  if (isAscii(text)) return std::string(text);
  const icu::Normalizer2& n = nfcNormalizer();
  UErrorCode status = U_ZERO_ERROR;
  const icu::StringPiece piece(text.data(), text_internal::icuLength(text));
  if (n.isNormalizedUTF8(piece, status) && U_SUCCESS(status)) return std::string(text);
  status = U_ZERO_ERROR;
  std::string out;
  icu::StringByteSink<std::string> sink(&out, static_cast<int32_t>(text.size()));
  n.normalizeUTF8(0, piece, sink, nullptr, status);
  if (U_FAILURE(status)) return std::string(text);
  return out;
}

int compareText(std::string_view a, std::string_view b) {
  if (isAscii(a) && isAscii(b)) return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
  const std::string na = nfc(a);
  const std::string nb = nfc(b);
  const int c = na.compare(nb);
  return c < 0 ? -1 : (c == 0 ? 0 : 1);
}

bool textEqual(std::string_view a, std::string_view b) {
  if (a == b) return true;
  if (isAscii(a) && isAscii(b)) return false;
  return nfc(a) == nfc(b);
}

bool textLess(std::string_view a, std::string_view b) { return compareText(a, b) < 0; }

std::size_t textHash(std::string_view text) {
  if (isAscii(text)) return std::hash<std::string_view>()(text);
  return std::hash<std::string>()(nfc(text));
}

}  // namespace vantrel
