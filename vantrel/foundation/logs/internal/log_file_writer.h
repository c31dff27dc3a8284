// Internal: the machinery shared by the log files (`CsvLogger`,
// `VtEventLogger`); include their headers instead.
//
// `LogFileWriter` owns one log file opened with O_APPEND and a serial queue
// of its own. Callers hand it dated entries on their own thread; one queued
// block writes every entry that arrived before it runs as one `write()`, so a
// burst costs one system call. Every writer with entries is known to an
// `atexit` hook that writes what is still queued within
// `kExitDrainBound` in all; `flush` does the same on demand and `flushAll`
// for every writer of the process.
//
// The line form is the owner's: a function that appends an entry's date.
// An entry is date + "," + text (row), date + text (dated line) or text
// alone (plain line), always followed by "\n".
//
// Before each batch the writer looks at the file's tail for a record cut
// short (a writer stopped mid-record), and first ends it so that the next
// entry starts a record of its own; the torn bytes stay as they are, and a
// CAN ("cancel") as the torn record's last character tells a reader it
// never finished. Writers of one file (loggers, processes) take turns for
// the look and the write (an exclusive `flock`), so none takes a record
// another is still writing for a torn one. How a record ends is the
// owner's `Records`:
//
// - `lines` (the event log, whose parts never hold a line break): a file
//   that does not end in a line feed gets `kTornLineEnd`.
// - `csvRows` (the CSV log): a value quoted per RFC 4180 may hold line
//   feeds, so the tail ends a record only at a line feed outside quotes.
//   The writer reads the tail as an RFC 4180 reader would (a quote opens a
//   quoted value only at the start of a field, as lenient readers take it)
//   and ends a torn record by the state it stopped in: inside a field (or
//   right after a comma) `kTornLineEnd`, inside a quoted value
//   `kTornQuotedEnd` (which closes the quote), right after a quote that may
//   have closed the value `kTornAfterQuoteEnd` (a last field of its own).
//   The writer knows the state at the end of what it wrote last, so it
//   reads only what others appended since (mostly nothing: one fstat).
//   Otherwise (its first batch, a file changed under it) it reads at most
//   `kTailWindow` bytes from the end: the whole file when it is no longer,
//   else from the last line in that window that starts with a log date,
//   where a record starts. With no such line in the window (undated lines
//   only, or one record longer than the window) it falls back to the look
//   at the last byte. Reading from its own end or from the file's start is
//   exact; the search for a dated line can be misled only by a quoted value
//   holding a line feed directly followed by a log date.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/platform/foundation/files/url.h"
#include "vantrel/platform/posix/unique_fd.h"

namespace vantrel {
class DispatchQueue;
}

namespace vantrel::foundation_internal {

// Where an RFC 4180 reader stands after some bytes of a CSV file: at the
// start of a record, at the start of a field after a comma, inside an
// unquoted field, inside a quoted value, or right after a quote inside a
// quoted value (which closes it unless another quote follows).
enum class CsvScan { recordStart, fieldStart, inField, inQuotes, afterQuote };

// The state after `bytes`, read from `state`.
[[nodiscard]] CsvScan scanCsv(std::string_view bytes, CsvScan state = CsvScan::recordStart);

// What ends a record a writer stopped in `state`, so that the next record
// starts its own: "" at a record's start, else the torn-record ends of
// `LogFileWriter`.
[[nodiscard]] std::string_view tornCsvRecordEnd(CsvScan state);

// The state at the end of `window`, the last bytes of a file (all of it
// when `wholeFile`): read from its start, or else from the last line in it
// that starts with a log date. nullopt when the window holds no such line.
[[nodiscard]] std::optional<CsvScan> csvTailState(std::string_view window, bool wholeFile);

class LogFileWriter : public std::enable_shared_from_this<LogFileWriter> {
 public:
  enum class Kind { row, datedLine, plainLine };
  enum class Records { lines, csvRows };
  enum class OpenResult { opened, cannotCreateFile, cannotOpenHandle };
  using DateAppender = void (*)(std::string& out, std::chrono::system_clock::time_point date);

  static constexpr std::chrono::milliseconds kExitDrainBound{3000};
  static constexpr std::string_view kTornLineEnd = "\x18\n";
  static constexpr std::string_view kTornQuotedEnd = "\x18\"\n";
  static constexpr std::string_view kTornAfterQuoteEnd = ",\x18\n";
  static constexpr std::size_t kTailWindow = std::size_t{1} << 20;

  // Creates the file when missing (never truncates it) and opens it for
  // appending. `owner` names the logger in the one message about lost lines.
  [[nodiscard]] static std::shared_ptr<LogFileWriter> open(const URL& url, std::string_view queueLabel,
                                                           std::string_view owner, DateAppender appendDate,
                                                           Records records, OpenResult& result);

  ~LogFileWriter();
  LogFileWriter(const LogFileWriter&) = delete;
  LogFileWriter& operator=(const LogFileWriter&) = delete;

  // Queues one entry. `keepAlive` (the logger) is held by the queued block
  // until the entry is written.
  void enqueue(std::shared_ptr<const void> keepAlive, std::chrono::system_clock::time_point date, Kind kind,
               std::string text);

  // Writes what is queued, waiting for a write in progress at most until
  // `deadline`; answers whether everything queued before the call is written.
  bool drain(std::chrono::steady_clock::time_point deadline);

  // `drain` for every live writer of the process, `bound` in all.
  static void flushAll(std::chrono::milliseconds bound);

  [[nodiscard]] const URL& url() const { return url_; }

  struct Entry {
    std::chrono::system_clock::time_point date;
    Kind kind;
    std::string text;
  };

 private:
  struct Passkey {};

 public:
  LogFileWriter(Passkey, const URL& url, std::string_view owner, DateAppender appendDate, Records records);

 private:
  void writeBatch(const std::vector<Entry>& batch);
  // The bytes that end a torn last record ("" when the tail ends one);
  // `size` is the file's size it looked at.
  [[nodiscard]] std::string_view tornRecordEnd(std::int64_t& size);
  [[nodiscard]] std::optional<CsvScan> csvTail(std::int64_t size);

  URL url_;
  std::string owner_;
  DateAppender appendDate_;
  Records records_;
  posix::UniqueFd fd_;
  bool readable_ = false;  // whether `fd_` can read the file's tail
  // For `csvRows`, only by the writing thread: where the writer's last
  // write ended (-1 when unknown) and the reader's state there.
  std::int64_t knownEnd_ = -1;
  CsvScan knownState_ = CsvScan::recordStart;
  std::string tail_;
  std::shared_ptr<DispatchQueue> queue_;
  bool registered_ = false;  // under mutex_

  std::mutex mutex_;
  std::vector<Entry> pending_;
  bool drainQueued_ = false;
  // Set (under mutex_) while one thread takes a batch from `pending_` and
  // writes it, so batches reach the file in the order they were taken,
  // whoever writes them. A flag and a condition variable rather than a
  // timed mutex: waiting for it has a deadline at exit.
  bool writing_ = false;
  std::condition_variable writerDone_;
  std::string buffer_;            // only by the writing thread
  bool failureReported_ = false;  // only by the writing thread
};

}  // namespace vantrel::foundation_internal
