// File: vantrel/foundation/logs/event_logger.h
//
// `VtEventLogger`: categorised events, one UTF-8 line each, appended to a log
// file of its own and read back by category.
//
//   auto events = VtEventLogger::create("app");   // <library>/Private Documents/logs/app.log
//   events->log("login", "alice,ok");             // "2017-03-05T14:07:09.042Z,login,alice,ok\n"
//   events->events("login");                      // [{date, "login", ["alice", "ok"]}]
//
// A line is the date in UTC as "yyyy-MM-ddTHH:mm:ss.SSSZ" (milliseconds cut
// toward the past, also before 1970), ",", the category, ",", the fields
// joined with ",", "\n"; the text of `log(category, text)` is fields joined
// with ",". A category or field that holds a comma, a double quote, CAN or a
// line break is written as a JSON string, so it reads back exactly and a
// line never spans two:
//
//   events->log("note", "say \"hi\"");   // ...Z,note,"say \"hi\""
//   events->log("note", "two\nlines");   // ...Z,note,"two\nlines"
//
// Any other part is written as it is, as older files hold every part (see
// internal/event_line.h). The date is taken on the caller's thread at the
// call; the line is built and written on the logger's own serial queue, with
// the CSV logger's machinery: O_APPEND, lines queued meanwhile written
// together, turns under an exclusive `flock` that no wait holds without a
// bound, written at exit within `CsvLogger::kExitDrainBound` (what is still
// queued then is lost and said so on standard error), `flush` on demand. A
// failed write (a full disk) loses its lines: the first loss after a write
// that succeeded is printed on standard error ("VtEventLogger: lines lost
// writing <path>: <reason>"), and the next `flush` that covers a lost line
// answers false. When the file does not end in a line feed (a writer stopped
// mid-line), the next write first ends that torn line with CAN (U+0018) and
// a line feed.
//
// `events(category)` reads the file on the calling thread (lines still
// queued are not seen) and splits it at every newline character (U+000A to
// U+000D, U+0085, U+2028, U+2029). A piece counts only when its first part
// is a date of exactly the line form that the clock can hold and its second
// equals the category byte for byte (after unquoting); anything else (a
// line of an older writer's field that held a line break, a hand edit) is
// skipped, and so is a piece that ends in CAN (a torn write) and a last
// piece without its line feed (a write in progress). A part that starts with
// a double quote but is no whole JSON string followed by "," or the line's
// end is read as it stands. Bytes that are no UTF-8 are read as U+FFFD, in
// the file and in the category asked for alike, so `events("caf\xC3")`
// finds what `log("caf\xC3", ...)` wrote (its category reads "caf\uFFFD").
// A file that cannot be read is reported through `qlog.error` ("Can't open
// log file") and gives no events.
//
// Thread safety: any thread may log, flush and read. Lifetime: every queued
// write keeps its logger alive; the file closes with the last of them.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/core/error.h"
#include "vantrel/platform/foundation/files/url.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

namespace foundation_internal {
class LogFileWriter;
}

struct VtEventLoggerEvent {
  std::chrono::system_clock::time_point date;
  std::string category;
  std::vector<std::string> fields;

  // "<VtEventLoggerEvent: category=" + category + ", fields=" + ["a", "b"]
  // (no closing bracket; the date is not part of it).
  [[nodiscard]] std::string description() const;
  // Category first, then date, then fields.
  friend bool operator==(const VtEventLoggerEvent& a, const VtEventLoggerEvent& b) {
    return a.category == b.category && a.date == b.date && a.fields == b.fields;
  }
};

// Host values that can be logged as events.
class VtEventLoggerEventConvertible {
 public:
  virtual ~VtEventLoggerEventConvertible() = default;
  [[nodiscard]] virtual VtEventLoggerEvent eventLoggerEvent() const = 0;
};

class VtEventLogger : public std::enable_shared_from_this<VtEventLogger> {
 public:
  struct Errur : Error {
    enum class Case { cannotCreateFile, cannotOpenHandle };
    explicit Errur(Case c);
    Case kind;
    friend bool operator==(const Errur& a, const Errur& b) { return a.kind == b.kind; }
  };

  // `name`.log in the user's Library folder / "Private Documents" / "logs"
  // (created first; a failure there is printed and the file creation then
  // fails with cannotCreateFile). A name that is no file name ("", ".",
  // "..", one holding "/") is printed and refused with cannotCreateFile.
  [[nodiscard]] static std::shared_ptr<VtEventLogger> create(std::string_view name);
  // `name`.log in `baseUrl`, which is created first (with its parents).
  [[nodiscard]] static std::shared_ptr<VtEventLogger> create(std::string_view name, const URL& baseUrl);
  // Exactly `logFileUrl`; no folder is created. `name` plays no part.
  [[nodiscard]] static std::shared_ptr<VtEventLogger> createWithLogFileUrl(std::string_view name,
                                                                         const URL& logFileUrl);

  virtual ~VtEventLogger();
  VtEventLogger(const VtEventLogger&) = delete;  // owns a file and a queue
  VtEventLogger& operator=(const VtEventLogger&) = delete;

  // Appends the value's event dated now (not with the event's own date) and
  // answers the event as the value gave it.
  virtual VtEventLoggerEvent log(const VtEventLoggerEventConvertible& value);
  // Appends one line; no date means now. Returns at once.
  virtual void log(std::string_view category, std::string_view text,
                   std::optional<std::chrono::system_clock::time_point> date = std::nullopt);
  // The events of `category` in the file, in file order.
  [[nodiscard]] virtual std::vector<VtEventLoggerEvent> events(std::string_view category) const;

  // Waits until every line queued before the call is in the file, at most
  // `timeout` (for a write in progress and for the file's lock); answers
  // whether they all are: false when one is still queued (it is written
  // later), or was lost and no earlier flush answered false for it.
  bool flush(std::chrono::milliseconds timeout = std::chrono::milliseconds(3000));

  [[nodiscard]] const URL& logFileUrl() const;

  // The events of `category` in log-file bytes (the reader of `events`).
  [[nodiscard]] static std::vector<VtEventLoggerEvent> parseEvents(std::string_view contents,
                                                                   std::string_view category);

 protected:
  // Opens (creating when missing) the file; throws `Errur`. Use through a
  // `shared_ptr` only: queued writes hold the logger by `shared_from_this`.
  explicit VtEventLogger(const URL& logFileUrl);

 private:
  std::shared_ptr<foundation_internal::LogFileWriter> writer_;
};

}  // namespace vantrel

template <>
struct std::hash<vantrel::VtEventLogger::Errur> {
  std::size_t operator()(const vantrel::VtEventLogger::Errur& e) const noexcept {
    return std::hash<int>()(static_cast<int>(e.kind));
  }
};
