// Internal: how the event log writes one part of a line (the category or a
// field), for the logger and the fuzz target; include event_logger.h
// instead.
//
// A part is written as it is unless it holds a comma, a double quote, CAN
// (U+0018) or a character the reader ends lines at (U+000A to U+000D,
// U+0085, U+2028, U+2029). Such a part is written as a JSON string (text's
// `appendStringEncodedForJson` in double quotes), with U+0085, U+2028 and
// U+2029 as "\u" escapes too. A line so written never holds a line break of
// its own, so a write cut short costs only its own line. Plain parts never
// hold a quote; a part of an older writer's line that starts with one is
// read as it stands unless it is a whole JSON string.
#pragma once

#include <string>
#include <string_view>

namespace vantrel::foundation_internal {

void appendEventLinePart(std::string& line, std::string_view part);

}  // namespace vantrel::foundation_internal
