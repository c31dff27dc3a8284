// Internal: include "vantrel/foundation/logs/csv_logger.h" or
// "vantrel/foundation/logs/event_logger.h" instead.
//
// What the log files' creators share: the default folder, the folder a
// caller names made first, the opening that throws the logger's own
// `Errur`, and the one way a logger comes to exist (in a `shared_ptr`,
// since its queued writes hold it by `shared_from_this`).
#pragma once

#include <memory>
#include <string_view>

#include "vantrel/foundation/files/internal/beneath.h"
#include "vantrel/foundation/logs/internal/log_file_writer.h"
#include "vantrel/platform/foundation/files/url.h"

namespace vantrel::foundation_internal {

// The user's Library folder / "Private Documents" / "logs", made first when
// missing; a failure there is printed, and shows as the file's
// cannotCreateFile.
[[nodiscard]] URL defaultLogFolder();

// The one spelling of a named log: `folder` / `name` + ".log".
[[nodiscard]] URL logFileInFolder(std::string_view name, const URL& folder);

// For `namedLogFile`: `folder`, made when missing (a failure printed); the
// line about a refused name.
const URL& makeLogFolder(const URL& folder);
void printBadLogFileName(std::string_view owner, std::string_view name);

// The log `name` in `folder` (the default folder when none is given), made
// first (with its parents, a failure printed). A name that is no file name
// is printed ("<owner>: cannot create a log named …") and thrown as the
// logger's cannotCreateFile before any folder is made.
template <class Errur>
[[nodiscard]] URL namedLogFile(std::string_view owner, std::string_view name, const URL* folder) {
  // `name` + ".log" must name a file of its own inside the folder.
  if (!isSafePathComponent(name)) {
    printBadLogFileName(owner, name);
    throw Errur(Errur::Case::cannotCreateFile);
  }
  return logFileInFolder(name, folder ? makeLogFolder(*folder) : defaultLogFolder());
}

// Opens the file for a logger whose `Errur` has the cases cannotCreateFile
// and cannotOpenHandle, throwing it when that fails.
template <class Errur>
[[nodiscard]] std::shared_ptr<LogFileWriter> openLogFile(const URL& url, std::string_view queueLabel,
                                                         std::string_view owner,
                                                         LogFileWriter::DateAppender appendDate,
                                                         LogFileWriter::Records records) {
  LogFileWriter::OpenResult result{};
  auto writer = LogFileWriter::open(url, queueLabel, owner, appendDate, records, result);
  if (result == LogFileWriter::OpenResult::cannotCreateFile) throw Errur(Errur::Case::cannotCreateFile);
  if (result == LogFileWriter::OpenResult::cannotOpenHandle) throw Errur(Errur::Case::cannotOpenHandle);
  return writer;
}

// A `Logger` on `logFileUrl`, through its protected constructor.
template <class Logger>
[[nodiscard]] std::shared_ptr<Logger> makeLogger(const URL& logFileUrl) {
  struct Made : Logger {
    explicit Made(const URL& url) : Logger(url) {}
  };
  return std::make_shared<Made>(logFileUrl);
}

}  // namespace vantrel::foundation_internal
