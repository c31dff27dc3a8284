#include "vantrel/foundation/logs/event_logger.h"

#include "vantrel/core/console_loggers.h"
#include "vantrel/core/core_values.h"
#include "vantrel/core/date_text.h"
#include "vantrel/core/deadline.h"
#include "vantrel/core/describe.h"
#include "vantrel/foundation/files/file_operations.h"
#include "vantrel/foundation/logs/internal/log_file_writer.h"
#include "vantrel/platform/foundation/files/file_manager.h"
#include "vantrel/platform/foundation/files/folders.h"
#include "vantrel/platform/posix/read_file.h"
#include "vantrel/text/string_services.h"

namespace vantrel {

using foundation_internal::LogFileWriter;

namespace {

void appendEventDate(std::string& out, std::chrono::system_clock::time_point date) {
  appendIsoDateTimeText(out, date, true);
}

// The length of the newline character at `pos` (U+000A...U+000D, U+0085,
// U+2028, U+2029 in UTF-8), 0 when there is none.
std::size_t newlineLength(std::string_view text, std::size_t pos) {
  const auto c = static_cast<unsigned char>(text[pos]);
  if (c >= 0x0A && c <= 0x0D) return 1;
  if (c == 0xC2 && pos + 1 < text.size() && static_cast<unsigned char>(text[pos + 1]) == 0x85) return 2;
  if (c == 0xE2 && pos + 2 < text.size() && static_cast<unsigned char>(text[pos + 1]) == 0x80) {
    const auto last = static_cast<unsigned char>(text[pos + 2]);
    if (last == 0xA8 || last == 0xA9) return 3;
  }
  return 0;
}

void collectPiece(std::string_view piece, std::string_view category, std::vector<VtEventLoggerEvent>& out) {
  const std::size_t firstComma = piece.find(',');
  if (firstComma == std::string_view::npos) return;  // fewer than two parts
  const std::size_t secondComma = piece.find(',', firstComma + 1);
  const std::string_view second = piece.substr(
      firstComma + 1, secondComma == std::string_view::npos ? std::string_view::npos : secondComma - firstComma - 1);
  if (second != category) return;
  // A first part that is not a date of the line form is no event line (a
  // field's line break, a hand edit): skipped, never read as some date.
  const auto date = parseIsoDateTimeMilliseconds(piece.substr(0, firstComma));
  if (!date) return;
  VtEventLoggerEvent event{*date, std::string(category), {}};
  if (secondComma != std::string_view::npos) {
    std::size_t start = secondComma + 1;
    for (;;) {
      const std::size_t comma = piece.find(',', start);
      if (comma == std::string_view::npos) {
        event.fields.emplace_back(piece.substr(start));
        break;
      }
      event.fields.emplace_back(piece.substr(start, comma - start));
      start = comma + 1;
    }
  }
  out.push_back(std::move(event));
}

}  // namespace

std::string VtEventLoggerEvent::description() const {
  return "<VtEventLoggerEvent: category=" + category + ", fields=" + debugDescribe(fields);
}

VtEventLogger::Errur::Errur(Case c)
    : Error(c == Case::cannotCreateFile ? "cannotCreateFile" : "cannotOpenHandle"), kind(c) {}

VtEventLogger::VtEventLogger(const URL& logFileUrl) {
  LogFileWriter::OpenResult result{};
  writer_ = LogFileWriter::open(logFileUrl, std::string(VantrelCommonBundleIdentifier) + ".VtEventLogger",
                                "VtEventLogger", appendEventDate, result);
  if (result == LogFileWriter::OpenResult::cannotCreateFile) throw Errur(Errur::Case::cannotCreateFile);
  if (result == LogFileWriter::OpenResult::cannotOpenHandle) throw Errur(Errur::Case::cannotOpenHandle);
}

VtEventLogger::~VtEventLogger() = default;

namespace {
std::shared_ptr<VtEventLogger> makeLogger(const URL& url) {
  struct Made : VtEventLogger {
    explicit Made(const URL& u) : VtEventLogger(u) {}
  };
  return std::make_shared<Made>(url);
}
}  // namespace

std::shared_ptr<VtEventLogger> VtEventLogger::create(std::string_view name) {
  const URL folder = URL::fileURLWithPath(standardFolderPath(StandardFolder::library), true)
                         .appendingPathComponent("Private Documents", true)
                         .appendingPathComponent("logs", true);
  (void)ensureDirExists(FileManager::defaultManager(), folder);  // a failure shows as cannotCreateFile
  return makeLogger(folder.appendingPathComponent(std::string(name)).appendingPathExtension("log"));
}

std::shared_ptr<VtEventLogger> VtEventLogger::create(std::string_view name, const URL& baseUrl) {
  (void)ensureDirExists(FileManager::defaultManager(), baseUrl);
  return makeLogger(baseUrl.appendingPathComponent(std::string(name) + ".log"));
}

std::shared_ptr<VtEventLogger> VtEventLogger::createWithLogFileUrl(std::string_view, const URL& logFileUrl) {
  return makeLogger(logFileUrl);
}

const URL& VtEventLogger::logFileUrl() const { return writer_->url(); }

VtEventLoggerEvent VtEventLogger::log(const VtEventLoggerEventConvertible& value) {
  VtEventLoggerEvent event = value.eventLoggerEvent();
  std::string text;
  for (std::size_t i = 0; i < event.fields.size(); ++i) {
    if (i > 0) text += ',';
    text += event.fields[i];
  }
  log(event.category, text, std::chrono::system_clock::now());
  return event;
}

void VtEventLogger::log(std::string_view category, std::string_view text,
                        std::optional<std::chrono::system_clock::time_point> date) {
  const auto when = date.value_or(std::chrono::system_clock::now());
  std::string line;
  line.reserve(category.size() + 1 + text.size());
  line.append(category).append(",").append(text);
  writer_->enqueue(shared_from_this(), when, LogFileWriter::Kind::row, std::move(line));
}

std::vector<VtEventLoggerEvent> VtEventLogger::parseEvents(std::string_view contents, std::string_view category) {
  // What follows the last line feed is a line still being written: not yet
  // an event.
  const std::size_t lastFeed = contents.rfind('\n');
  contents = lastFeed == std::string_view::npos ? std::string_view() : contents.substr(0, lastFeed + 1);
  // A torn or damaged line must not cost the others: bad bytes read as U+FFFD.
  std::string repaired;
  if (!isValidUtf8(contents)) {
    repaired = repairedUtf8(contents);
    contents = repaired;
  }
  std::vector<VtEventLoggerEvent> out;
  std::size_t start = 0;
  for (std::size_t pos = 0; pos < contents.size();) {
    const std::size_t length = newlineLength(contents, pos);
    if (length == 0) {
      ++pos;
      continue;
    }
    collectPiece(contents.substr(start, pos - start), category, out);
    pos += length;
    start = pos;
  }
  return out;
}

std::vector<VtEventLoggerEvent> VtEventLogger::events(std::string_view category) const {
  const std::string& path = writer_->url().path();
  std::string contents;
  if (const std::error_code e = posix::readFile(path, contents)) {
    qlog.error("Can't open log file", FileSystemError(e.value(), path));
    return {};
  }
  return parseEvents(contents, category);
}

bool VtEventLogger::flush(std::chrono::milliseconds timeout) { return writer_->drain(deadlineAfter(timeout)); }

}  // namespace vantrel
