// File: vantrel/foundation/json/json_dates_urls.h
//
// Dates and URLs carried by a `Json` as texts. JSON has neither, so dates are
// written in one fixed form, UTC with milliseconds and a literal Z
// ("yyyy-MM-dd'T'HH:mm:ss.SSS'Z'"), and URLs as their absolute strings.
//
//   jsonFromJoWithAdditions(dateWithTimeIntervalSince1970(1520164800.5))
//                                       the text "2018-03-04T12:00:00.500Z"
//   jsonFromJoWithAdditions(PlatformValue(JsonDictionary({{"a", PlatformValue(*URL::fromString("https://x.org/"))}})))
//                                       {"a": "https://x.org/"}
//   date(Json("2018-03-04T12:00:00.500Z"))   that instant
//   date(Json("2018-03-04T12:00:00Z"))       nullopt: not the fixed form
//   dateValue(Json(5))                       1970-01-01T00:00:00.000Z
//   url(Json("https://x.org/a b"))           https://x.org/a%20b
//
// Dates are written from the clock's nanoseconds cut to the millisecond
// toward the past (also before 1970), so a date with whole milliseconds
// reads back exactly. A text is read only when it has exactly the fixed
// form, with every field in its range (no 30 February, no hour 24), and
// names an instant the clock can hold (about 1677 to 2262); otherwise
// `date` is nullopt and `dateValue` the 1970 date: never a date rolled over
// or wrapped. A number is never taken as a time stamp.
//
// `url`: a text holding a percent escape ("%" and two hexadecimal digits)
// is taken as encoded and used unchanged; any other text is first
// percent-encoded with the URL query set. The result is what
// `URL::fromString` makes of it: nullopt for the empty text, a relative
// reference or a text that is no URL.
//
// These live in foundation because the json module cannot use `Date` and
// `URL`. No state: the fixed form comes from core's date_text.h. Safe to
// call from any thread.
#pragma once

#include <optional>

#include "vantrel/json/json.h"
#include "vantrel/platform/foundation/files/url.h"
#include "vantrel/platform/foundation/time/date.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// The value classified as by `Json(jo)`, after every `Date` in it (also in
// nested arrays, dictionaries and `Json` values) became its fixed-form text,
// every `URL` its absolute string and every `Json` its platform value.
// Throws `JsonDepthError` for a value nested deeper than `kMaxJsonDepth`.
[[nodiscard]] Json jsonFromJoWithAdditions(const PlatformValue& jo);

// The URL a string value names; nullopt for other tags and non-URLs.
[[nodiscard]] std::optional<URL> url(const Json& json);
// The date of a string value in the fixed form; nullopt otherwise.
[[nodiscard]] std::optional<Date> date(const Json& json);
// `date`, or 1970-01-01T00:00:00Z when it is nullopt.
[[nodiscard]] Date dateValue(const Json& json);

}  // namespace vantrel
