// The event log's reader over any file bytes: every event it reads has the
// category asked for, a date that writes back as the line's first part, and
// reads back the same when its line is written again. And the writer's
// parts: any bytes, cut into fields at U+001E, read back exactly (bytes that
// are no UTF-8 aside, which read as U+FFFD). And the CSV log's look at a
// file's tail: whatever state any bytes leave an RFC 4180 reader in, read
// from their start or from their last dated line, the end the writer puts
// after them brings the reader back to the start of a record.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/core/date_text.h"
#include "vantrel/foundation/logs/event_logger.h"
#include "vantrel/foundation/logs/internal/event_line.h"
#include "vantrel/foundation/logs/internal/log_file_writer.h"
#include "vantrel/text/string_services.h"

namespace {

std::string lineOf(const vantrel::VtEventLoggerEvent& event) {
  std::string line = vantrel::isoDateTimeText(event.date, true) + ",";
  vantrel::foundation_internal::appendEventLinePart(line, event.category);
  // A line without a third part reads as no fields; the logger never writes
  // one, but the reader reads it.
  for (const auto& field : event.fields) {
    line += ",";
    vantrel::foundation_internal::appendEventLinePart(line, field);
  }
  return line + "\n";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 8000) return 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  {
    using vantrel::foundation_internal::CsvScan;
    const CsvScan state = vantrel::foundation_internal::scanCsv(bytes);
    const auto ends = [](CsvScan at) {
      return vantrel::foundation_internal::scanCsv(vantrel::foundation_internal::tornCsvRecordEnd(at), at) ==
             CsvScan::recordStart;
    };
    if (!ends(state) || vantrel::foundation_internal::csvTailState(bytes, true) != state) std::abort();
    const auto fromDate = vantrel::foundation_internal::csvTailState(bytes, false);
    if (fromDate && !ends(*fromDate)) std::abort();
  }
  for (const std::string_view category : {"c", ""}) {
    for (const auto& event : vantrel::VtEventLogger::parseEvents(bytes, category)) {
      if (event.category != category) std::abort();
      const auto again = vantrel::VtEventLogger::parseEvents(lineOf(event), category);
      if (again.size() != 1 || !(again[0] == event)) std::abort();
    }
  }

  if (!vantrel::isValidUtf8(bytes)) return 0;
  vantrel::VtEventLoggerEvent written{vantrel::parseIsoDateTime("2017-03-05T14:07:09.042Z").value(), "c", {}};
  for (std::size_t start = 0;;) {
    const std::size_t cut = bytes.find('\x1E', start);
    written.fields.emplace_back(bytes.substr(start, cut == std::string_view::npos ? cut : cut - start));
    if (cut == std::string_view::npos) break;
    start = cut + 1;
  }
  const auto read = vantrel::VtEventLogger::parseEvents(lineOf(written), "c");
  if (read.size() != 1 || !(read[0] == written)) std::abort();
  return 0;
}
