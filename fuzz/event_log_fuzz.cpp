// The event log's reader over any file bytes: every event it reads has the
// category asked for, a date that writes back as the line's first part, and
// reads back the same when its line is written again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "vantrel/core/date_text.h"
#include "vantrel/foundation/logs/event_logger.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 8000) return 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (const std::string_view category : {"c", ""}) {
    for (const auto& event : vantrel::VtEventLogger::parseEvents(bytes, category)) {
      if (event.category != category) std::abort();
      std::string line = vantrel::isoDateTimeText(event.date, true) + "," + std::string(category);
      for (const auto& field : event.fields) line += "," + field;
      line += "\n";
      const auto again = vantrel::VtEventLogger::parseEvents(line, category);
      // A field may hold a newline character of another kind only if the
      // reader split there, so one line gives back exactly this event.
      if (again.size() != 1 || !(again[0] == event)) std::abort();
    }
  }
  return 0;
}
