#include "vantrel/foundation/logs/event_logger.h"

#include <algorithm>

#include "vantrel/core/console_loggers.h"
#include "vantrel/core/core_values.h"
#include "vantrel/core/date_text.h"
#include "vantrel/core/deadline.h"
#include "vantrel/core/describe.h"
#include "vantrel/foundation/logs/internal/event_line.h"
#include "vantrel/foundation/logs/internal/log_file_factory.h"
#include "vantrel/foundation/logs/internal/log_file_writer.h"
#include "vantrel/json/json.h"
#include "vantrel/platform/foundation/files/file_manager.h"
#include "vantrel/platform/posix/read_file.h"
#include "vantrel/text/escaping.h"
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

// Whether a part must be quoted to read back as written: it holds the
// separator, a quote, or a character the reader splits lines at, or CAN,
// which marks a torn line when it ends one.
bool needsQuoting(std::string_view part) {
  for (std::size_t i = 0; i < part.size(); ++i) {
    const char c = part[i];
    if (c == ',' || c == '"' || c == '\x18' || newlineLength(part, i) != 0) return true;
  }
  return false;
}

// The quoted part at the start of `rest` (which begins with '"'): its text
// and the length it takes, or nullopt when it is not one whole JSON string
// ending at a comma or at the line's end. A line written before parts were
// quoted may begin a part with a quote; such a part is read as it stands.
std::optional<std::pair<std::string, std::size_t>> quotedPart(std::string_view rest) {
  // The closing quote is the first one no backslash escapes; the JSON
  // reader then tells whether what it closes is a string.
  std::size_t close = 1;
  while (close < rest.size() && rest[close] != '"') close += rest[close] == '\\' ? 2 : 1;
  if (close >= rest.size()) return std::nullopt;
  const std::size_t length = close + 1;
  if (length < rest.size() && rest[length] != ',') return std::nullopt;
  // With no escape to decode, a JSON string is its bytes unless one is a
  // control character (the text is valid UTF-8 by now); only escapes need
  // the reader, whose every call builds a document.
  const std::string_view inner = rest.substr(1, close - 1);
  const auto needsReader = [](char c) { return c == '\\' || static_cast<unsigned char>(c) < 0x20; };
  if (std::none_of(inner.begin(), inner.end(), needsReader)) return std::pair{std::string(inner), length};
  try {
    std::optional<std::string> text = Json::fromData(rest.substr(0, length)).string();
    if (!text) return std::nullopt;
    return std::pair{std::move(*text), length};
  } catch (const JsonReadError&) {
    return std::nullopt;
  }
}

// Reads the part that starts at `pos` (just after a comma) into `part`;
// answers where the next part starts, or npos when this was the last.
std::size_t readPart(std::string_view piece, std::size_t pos, std::string& part) {
  if (pos < piece.size() && piece[pos] == '"') {
    if (auto quoted = quotedPart(piece.substr(pos))) {
      part = std::move(quoted->first);
      const std::size_t end = pos + quoted->second;
      return end < piece.size() ? end + 1 : std::string_view::npos;
    }
  }
  const std::size_t comma = piece.find(',', pos);
  part.assign(piece.substr(pos, comma == std::string_view::npos ? std::string_view::npos : comma - pos));
  return comma == std::string_view::npos ? std::string_view::npos : comma + 1;
}

void collectPiece(std::string_view piece, std::string_view category, std::vector<VtEventLoggerEvent>& out) {
  // A line a writer cut short, ended by the next write: whatever it holds,
  // it is not the event that was being written.
  if (!piece.empty() && piece.back() == '\x18') return;
  const std::size_t firstComma = piece.find(',');
  if (firstComma == std::string_view::npos) return;  // fewer than two parts
  std::string second;
  std::size_t next = readPart(piece, firstComma + 1, second);
  if (second != category) return;
  // A first part that is not a date of the line form is no event line (a
  // hand edit, a line of an older writer's broken field): skipped, never
  // read as some date.
  const auto date = parseIsoDateTimeMilliseconds(piece.substr(0, firstComma));
  if (!date) return;
  VtEventLoggerEvent event{*date, std::move(second), {}};
  while (next != std::string_view::npos) {
    std::string field;
    next = readPart(piece, next, field);
    event.fields.push_back(std::move(field));
  }
  out.push_back(std::move(event));
}

}  // namespace

void foundation_internal::appendEventLinePart(std::string& out, std::string_view part) {
  if (!needsQuoting(part)) {
    out += part;
    return;
  }
  out += '"';
  const std::size_t start = out.size();
  appendStringEncodedForJson(out, part);
  // JSON leaves U+0085, U+2028 and U+2029 as they are, but the reader ends
  // lines at them.
  for (std::size_t i = start; i < out.size(); ++i) {
    const std::size_t length = newlineLength(out, i);
    if (length < 2) continue;
    const std::string_view escape = length == 2 ? "\\u0085" : out[i + 2] == '\xA8' ? "\\u2028" : "\\u2029";
    out.replace(i, length, escape);
    i += escape.size() - 1;
  }
  out += '"';
}

std::string VtEventLoggerEvent::description() const {
  return "<VtEventLoggerEvent: category=" + category + ", fields=" + debugDescribe(fields);
}

VtEventLogger::Errur::Errur(Case c)
    : Error(c == Case::cannotCreateFile ? "cannotCreateFile" : "cannotOpenHandle"), kind(c) {}

VtEventLogger::VtEventLogger(const URL& logFileUrl)
    : writer_(foundation_internal::openLogFile<Errur>(
          logFileUrl, std::string(VantrelCommonBundleIdentifier) + ".VtEventLogger", "VtEventLogger", appendEventDate,
          LogFileWriter::Records::lines)) {}

VtEventLogger::~VtEventLogger() = default;

std::shared_ptr<VtEventLogger> VtEventLogger::create(std::string_view name) {
  return foundation_internal::makeLogger<VtEventLogger>(
      foundation_internal::namedLogFile<Errur>("VtEventLogger", name, nullptr));
}

std::shared_ptr<VtEventLogger> VtEventLogger::create(std::string_view name, const URL& baseUrl) {
  return foundation_internal::makeLogger<VtEventLogger>(
      foundation_internal::namedLogFile<Errur>("VtEventLogger", name, &baseUrl));
}

std::shared_ptr<VtEventLogger> VtEventLogger::createWithLogFileUrl(std::string_view, const URL& logFileUrl) {
  return foundation_internal::makeLogger<VtEventLogger>(logFileUrl);
}

const URL& VtEventLogger::logFileUrl() const { return writer_->url(); }

VtEventLoggerEvent VtEventLogger::log(const VtEventLoggerEventConvertible& value) {
  VtEventLoggerEvent event = value.eventLoggerEvent();
  const auto when = std::chrono::system_clock::now();
  std::string line;
  foundation_internal::appendEventLinePart(line, event.category);
  line += ',';
  for (std::size_t i = 0; i < event.fields.size(); ++i) {
    if (i > 0) line += ',';
    foundation_internal::appendEventLinePart(line, event.fields[i]);
  }
  writer_->enqueue(shared_from_this(), when, LogFileWriter::Kind::row, std::move(line));
  return event;
}

void VtEventLogger::log(std::string_view category, std::string_view text,
                        std::optional<std::chrono::system_clock::time_point> date) {
  const auto when = date.value_or(std::chrono::system_clock::now());
  std::string line;
  line.reserve(category.size() + 1 + text.size());
  foundation_internal::appendEventLinePart(line, category);
  line += ',';
  // The text's commas separate its fields; each field is quoted on its own.
  for (std::size_t start = 0;;) {
    const std::size_t comma = text.find(',', start);
    const std::size_t end = comma == std::string_view::npos ? text.size() : comma;
    foundation_internal::appendEventLinePart(line, text.substr(start, end - start));
    if (comma == std::string_view::npos) break;
    line += ',';
    start = comma + 1;
  }
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
  // The category asked for is read as the stored one is, so one logged with
  // bytes that are no UTF-8 is found again.
  std::string repairedCategory;
  if (!isValidUtf8(category)) {
    repairedCategory = repairedUtf8(category);
    category = repairedCategory;
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
