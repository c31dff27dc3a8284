// RFC 822 dates from outside text: never a crash, and every date read back
// is one the clock holds and that its own header form reads back as.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "vantrel/foundation/time/rfc822_date.h"
#include "vantrel/platform/foundation/time/date_formatter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 200) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto date = vantrel::dateFromRFC822String(text);
  if (!date) return 0;
  static const vantrel::DateFormatter header = [] {
    vantrel::DateFormatter f("EEE, d MMM yyyy HH:mm:ss 'GMT'");
    f.setLocale(vantrel::Locale("en_US_POSIX"));
    f.setTimeZone(*vantrel::TimeZone::forSecondsFromGMT(0));
    return f;
  }();
  const auto again = vantrel::dateFromRFC822String(header.string(*date));
  if (!again || *again != *date) std::abort();
  return 0;
}
