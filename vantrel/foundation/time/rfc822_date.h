// File: vantrel/foundation/time/rfc822_date.h
//
// Dates of mail headers (RFC 822), read tolerantly.
//
//   dateFromRFC822String("Tue, 10 Jun 2003 04:00:00 GMT")   2003-06-10 04:00:00 +0000
//   dateFromRFC822String("10 jun 2003 04:00")               the same (no zone: GMT)
//   dateFromRFC822String("Tue, 10 Jun 2003 04:00:00 GMT today")   nullopt
//
// The text is upper-cased (case does not matter); with a comma it is tried
// against "EEE, d MMM yyyy HH:mm:ss zzz", "EEE, d MMM yyyy HH:mm zzz",
// "EEE, d MMM yyyy HH:mm:ss", "EEE, d MMM yyyy HH:mm", without one against
// the same four without "EEE, ", in that order, with English names
// ("en_US_POSIX") and GMT where the text names no zone. The first pattern
// that reads the whole text wins. Zones are named ("GMT", "UT", "UTC", "EST",
// "PDT", ...), numeric ("+0200", "-05") or "GMT+02:00"; the weekday is read
// but not checked against the date. A text no pattern reads, or a date
// beyond the `Date`'s range (before 1677 or after 2262), gives nullopt.
//
// Safe on any number of threads at once: each thread keeps its own
// formatter, built once and given each pattern in turn.
#pragma once

#include <optional>
#include <string_view>

#include "vantrel/platform/foundation/time/date.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

[[nodiscard]] std::optional<Date> dateFromRFC822String(std::string_view text);

}  // namespace vantrel
