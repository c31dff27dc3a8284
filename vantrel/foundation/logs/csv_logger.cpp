#include "vantrel/foundation/logs/csv_logger.h"

#include "vantrel/core/deadline.h"
#include "vantrel/foundation/logs/internal/log_date.h"
#include "vantrel/foundation/logs/internal/log_file_factory.h"
#include "vantrel/foundation/logs/internal/log_file_writer.h"

namespace vantrel {

using foundation_internal::LogFileWriter;

namespace {

// RFC 4180: a value with a separator, a quote or a line break in it goes in
// double quotes with its quotes doubled; any other value stays as it is.
void appendCsvValue(std::string& out, std::string_view value) {
  if (value.find_first_of(",\"\r\n") == std::string_view::npos) {
    out += value;
    return;
  }
  out += '"';
  for (const char c : value) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

}  // namespace

struct CsvLogger::Impl {
  std::shared_ptr<LogFileWriter> writer;
};

CsvLogger::Errur::Errur(Case c)
    : Error(c == Case::cannotCreateFile ? "cannotCreateFile" : "cannotOpenHandle"), kind(c) {}

CsvLogger::CsvLogger(const URL& logFileUrl)
    : impl_(std::make_unique<Impl>(Impl{foundation_internal::openLogFile<Errur>(
          logFileUrl, "VantrelCsvLogger", "CsvLogger", foundation_internal::appendLogDate,
          LogFileWriter::Records::csvRows)})) {}

CsvLogger::~CsvLogger() = default;

std::shared_ptr<CsvLogger> CsvLogger::create(std::string_view name) {
  return foundation_internal::makeLogger<CsvLogger>(
      foundation_internal::namedLogFile<Errur>("CsvLogger", name, nullptr));
}

std::shared_ptr<CsvLogger> CsvLogger::create(std::string_view name, const URL& baseUrl) {
  return foundation_internal::makeLogger<CsvLogger>(
      foundation_internal::namedLogFile<Errur>("CsvLogger", name, &baseUrl));
}

std::shared_ptr<CsvLogger> CsvLogger::createWithLogFileUrl(std::string_view, const URL& logFileUrl) {
  return foundation_internal::makeLogger<CsvLogger>(logFileUrl);
}

void CsvLogger::log(const std::vector<std::string>& values) {
  const auto date = std::chrono::system_clock::now();
  std::size_t size = values.size();
  for (const auto& v : values) size += v.size();
  std::string joined;
  joined.reserve(size);
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) joined += ',';
    appendCsvValue(joined, values[i]);
  }
  impl_->writer->enqueue(shared_from_this(), date, LogFileWriter::Kind::row, std::move(joined));
}

void CsvLogger::logLine(std::string_view line, bool prependDate) {
  const auto date = std::chrono::system_clock::now();
  impl_->writer->enqueue(shared_from_this(), date,
                         prependDate ? LogFileWriter::Kind::datedLine : LogFileWriter::Kind::plainLine,
                         std::string(line));
}

bool CsvLogger::flush(std::chrono::milliseconds timeout) {
  // Saturating: flush(milliseconds::max()) waits instead of overflowing.
  return impl_->writer->drain(deadlineAfter(timeout));
}

void CsvLogger::flushAll(std::chrono::milliseconds bound) { LogFileWriter::flushAll(bound); }

}  // namespace vantrel
