#include "vantrel/platform/foundation/formatters/byte_count_formatter.h"

#include <array>


namespace vantrel {

namespace {

using Wide = unsigned __int128;

constexpr std::array<const char*, 9> kUnitNames = {"bytes", "KB", "MB", "GB", "TB", "PB", "EB", "ZB", "YB"};

bool allowed(const ByteCountFormatter::Units& units, std::size_t unit) {
  using U = ByteCountFormatter::Units;
  if (units.isEmpty()) return true;
  static const std::array<U, 9> kFlags = {U::useBytes, U::useKB, U::useMB, U::useGB, U::useTB,
                                          U::usePB,    U::useEB, U::useZB, U::useYBOrHigher};
  return (units.rawValue() & kFlags[unit].rawValue()) != 0;
}

Wide power(Wide base, std::size_t exponent) {
  Wide out = 1;
  for (std::size_t i = 0; i < exponent; ++i) out *= base;
  return out;
}

// The magnitude in `unit`, in tenths: whole numbers for bytes and KB, one
// decimal above; halves rounded up, once.
Wide shownTenths(Wide magnitude, Wide base, std::size_t unit) {
  const Wide divisor = power(base, unit);
  if (unit <= 1) return (magnitude + divisor / 2) / divisor * 10;
  return (magnitude * 10 + divisor / 2) / divisor;
}

std::string wideText(Wide value) {
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(value % 10)));
    value /= 10;
  } while (value != 0);
  return digits;
}

}  // namespace

std::string ByteCountFormatter::string(std::int64_t byteCount) const {
  const Wide base = countStyle == CountStyle::file || countStyle == CountStyle::decimal ? 1000 : 1024;
  const Wide magnitude =
      byteCount < 0 ? static_cast<Wide>(-(byteCount + 1)) + 1 : static_cast<Wide>(byteCount);
  std::size_t unit = kUnitNames.size();
  for (std::size_t u = 0; u < kUnitNames.size(); ++u) {
    if (!allowed(allowedUnits, u)) continue;
    if (unit == kUnitNames.size() || magnitude >= power(base, u)) unit = u;
  }
  if (unit == kUnitNames.size()) unit = 0;  // no unit allowed at all: bytes
  const auto shown = [&](std::size_t u) { return shownTenths(magnitude, base, u); };
  Wide tenths = shown(unit);
  for (std::size_t next = unit + 1; next < kUnitNames.size() && tenths >= base * 10; ++next) {
    if (!allowed(allowedUnits, next)) continue;
    unit = next;
    tenths = shown(unit);
    break;
  }
  std::string text = byteCount < 0 ? "-" : "";
  text += wideText(tenths / 10);
  if (tenths % 10 != 0) text += "." + wideText(tenths % 10);
  text += ' ';
  text += unit == 0 && magnitude == 1 ? "byte" : kUnitNames[unit];
  return text;
}

}  // namespace vantrel
