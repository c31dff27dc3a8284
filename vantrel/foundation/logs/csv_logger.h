// File: vantrel/foundation/logs/csv_logger.h
//
// `CsvLogger`: an append-only log file, one dated line per call, written in
// call order on a serial queue of its own ("VantrelCsvLogger"); the caller
// never waits for the disk.
//
//   auto log = CsvLogger::create("tool");     // <library>/Private Documents/logs/tool.log
//   log->log({"a", "b", "c"});                // "2017-03-05 14:07:09.042,a,b,c\n"
//   log->logLine("started");                  // "2017-03-05 14:07:09.042started\n"
//   log->logLine("plain", false);             // "plain\n"
//
// The date is taken on the caller's thread at the call and written as
// "yyyy-MM-dd HH:mm:ss.SSS" in the system time zone, Gregorian calendar,
// ASCII digits whatever the user's locale. A value of `log` that holds a
// comma, a double quote, CR or LF is quoted as RFC 4180 asks: wrapped in
// double quotes, its own double quotes doubled (`a, "b"` is written
// `"a, ""b"""`); any other value, and the line of `logLine`, is written as
// given. The file is opened with O_APPEND, so two loggers on one file (or
// two processes) never overwrite each other's lines, and existing content is
// never truncated. When the file's tail ends no record as an RFC 4180
// reader reads it (a writer stopped mid-record: no line feed at the end, or
// the last one inside a quoted value), the next write first ends that torn
// record, so the next one stands on its own: CAN (U+0018) and a line feed
// inside a field, CAN, a quote and a line feed inside a quoted value, a
// comma, CAN and a line feed right after a quote. The torn bytes stay as
// they are; the torn record's last field ends in CAN. A `logLine` whose
// text leaves a quoted value open is ended the same way at the next write.
// A logger reads what others appended since its own last write; on its
// first write it reads the file's last MiB at most (see
// internal/log_file_writer.h). The creators throw `CsvLogger::Errur`; a
// name that is no file name ("", ".", "..", one holding "/") is printed on
// standard error and refused with cannotCreateFile.
//
// Writers of one file take turns under an exclusive `flock`, and lines wait
// in the queue while another program holds it; no wait for it is unbounded.
// Lines still queued when the process exits (`main` returns or `exit` is
// called) are written by an exit hook, waiting at most `kExitDrainBound` in
// all; what is still queued then is lost, and said so on standard error
// ("CsvLogger: lines lost writing <path>: the file stayed locked by another
// writer"). `flush` waits for them on demand. A write that fails (a full
// disk) loses its lines: the first loss after a write that succeeded is
// printed on standard error ("CsvLogger: lines lost writing <path>: No
// space left on device"), and the next `flush` that covers a lost line
// answers false; later lines are written once there is room again.
//
// Thread safety: any thread may call `log`, `logLine` and `flush`.
// Lifetime: every queued write keeps its logger alive; the file is closed
// when the last reference and the last queued write are gone.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/core/error.h"
#include "vantrel/platform/foundation/files/url.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class DispatchQueue;

class CsvLogger : public std::enable_shared_from_this<CsvLogger> {
 public:
  struct Errur : Error {
    enum class Case { cannotCreateFile, cannotOpenHandle };
    explicit Errur(Case c);
    Case kind;
    friend bool operator==(const Errur& a, const Errur& b) { return a.kind == b.kind; }
  };

  // How long the exit hook may wait, in all, for queued lines.
  static constexpr std::chrono::milliseconds kExitDrainBound{3000};

  // `name`.log in the user's Library folder / "Private Documents" / "logs"
  // (the folder is created first; a failure there is printed and the file
  // creation then fails with cannotCreateFile). A name that is no file name
  // ("", ".", "..", one holding "/") is printed and refused with
  // cannotCreateFile, before any folder is made.
  [[nodiscard]] static std::shared_ptr<CsvLogger> create(std::string_view name);
  // `name`.log in `baseUrl`, which is created first (with its parents).
  [[nodiscard]] static std::shared_ptr<CsvLogger> create(std::string_view name, const URL& baseUrl);
  // Exactly `logFileUrl`; no folder is created. `name` plays no part.
  [[nodiscard]] static std::shared_ptr<CsvLogger> createWithLogFileUrl(std::string_view name, const URL& logFileUrl);

  virtual ~CsvLogger();
  CsvLogger(const CsvLogger&) = delete;  // owns a file descriptor and a queue
  CsvLogger& operator=(const CsvLogger&) = delete;

  // Appends date + "," + the values (quoted where needed) joined with "," +
  // "\n". Returns at once.
  virtual void log(const std::vector<std::string>& values);
  // Appends date + line + "\n" (line + "\n" without the date). Returns at once.
  virtual void logLine(std::string_view line, bool prependDate = true);

  // Waits until every line queued before the call is in the file, at most
  // `timeout` (for a write in progress and for the file's lock); answers
  // whether they all are: false when one is still queued (it is written
  // later), or was lost and no earlier flush answered false for it.
  bool flush(std::chrono::milliseconds timeout = std::chrono::milliseconds(3000));

  // Writes the queued lines of every live log file (CSV and event logs),
  // waiting at most `bound` in all (the exit hook and the error manager's
  // stop use it); lines it could not write stay queued.
  static void flushAll(std::chrono::milliseconds bound);

  struct Impl;

 protected:
  // Opens (creating when missing) the file; throws `Errur`. Use through a
  // `shared_ptr` only: queued writes hold the logger by `shared_from_this`.
  explicit CsvLogger(const URL& logFileUrl);

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace vantrel

template <>
struct std::hash<vantrel::CsvLogger::Errur> {
  std::size_t operator()(const vantrel::CsvLogger::Errur& e) const noexcept {
    return std::hash<int>()(static_cast<int>(e.kind));
  }
};
