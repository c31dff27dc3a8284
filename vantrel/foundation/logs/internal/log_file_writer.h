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
// Entries stay queued until the writer holds the file's lock, and no wait
// for it is unbounded (another process may hold it as long as it likes): a
// `drain` waits until its deadline and then answers false with the entries
// still queued; the queued block tries for `kBackgroundLockTry` and, when the
// lock stays taken, gives its pool thread back and tries again later (after
// `kFirstRetryDelay`, doubling up to `kLastRetryDelay`), so a locked file
// never holds a thread other loggers need. Entries that do not reach the
// file (a failed write: a full disk, a file-size limit; or no memory to build
// the batch) are lost: the first loss after a write that succeeded prints
// one line on standard error, "<owner>: lines lost writing <path>: <reason>",
// and the next `drain` that covers one of them answers false. At exit, a
// writer whose entries are still queued when the bound runs out prints the
// same line.
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
//   reads only what others appended since (mostly nothing: one fstat and
//   one pread of the last bytes it wrote, which must still be there: a
//   file cut short and written again by others reads afresh).
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
#include <system_error>
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
  static constexpr std::chrono::milliseconds kBackgroundLockTry{10};
  static constexpr std::chrono::milliseconds kFirstRetryDelay{10};
  static constexpr std::chrono::milliseconds kLastRetryDelay{500};
  static constexpr std::string_view kTornLineEnd = "\x18\n";
  static constexpr std::string_view kTornQuotedEnd = "\x18\"\n";
  static constexpr std::string_view kTornAfterQuoteEnd = ",\x18\n";
  static constexpr std::size_t kTailWindow = std::size_t{1} << 20;

  // Creates the file when missing (never truncates it) and opens it for
  // appending. `owner` names the logger in the messages about lost lines.
  [[nodiscard]] static std::shared_ptr<LogFileWriter> open(const URL& url, std::string_view queueLabel,
                                                           std::string_view owner, DateAppender appendDate,
                                                           Records records, OpenResult& result);

  ~LogFileWriter();
  LogFileWriter(const LogFileWriter&) = delete;
  LogFileWriter& operator=(const LogFileWriter&) = delete;

  // Queues one entry. `keepAlive` (the logger) is held until the entries
  // queued with it are written or lost.
  void enqueue(std::shared_ptr<const void> keepAlive, std::chrono::system_clock::time_point date, Kind kind,
               std::string text);

  // Writes what is queued, waiting for the file's lock and for a write in
  // progress at most until `deadline`; answers whether every entry queued
  // before the call is in the file: false when one is still queued at the
  // deadline, or was lost and no earlier `drain` answered false for it.
  bool drain(std::chrono::steady_clock::time_point deadline);

  // `drain` for every live writer of the process, `bound` in all. With
  // `reportLate` (the exit hook), a writer whose entries are still queued
  // at the end prints that they are lost.
  static void flushAll(std::chrono::milliseconds bound, bool reportLate = false);

  [[nodiscard]] const URL& url() const { return url_; }

  // Tests only: a batch whose bytes exceed `bytes` fails as an allocation
  // would (std::bad_alloc); nullopt ends it. For every writer of the process.
  static void setBatchByteLimitForTesting(std::optional<std::size_t> bytes);

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
  enum class DrainResult { written, lost, late };
  // Entry numbers count from 1 in the order `enqueue` took them.
  struct LostRange {
    std::uint64_t first;
    std::uint64_t last;
  };

  DrainResult drainUntil(std::chrono::steady_clock::time_point deadline);
  void finishWrite(bool wrote);
  // The queued block: writes what is queued unless the file stays locked
  // for `kBackgroundLockTry`, then tries again later.
  void drainInBackground();
  void queueBlock(std::chrono::milliseconds delay);
  // With `writing_` set: takes the file's lock (until `deadline`), then the
  // queued entries, and writes them. False when the lock was not had in
  // time; the entries stay queued.
  bool writePending(std::chrono::steady_clock::time_point deadline);
  // Writes `batch` (entries `first`...) under the lock; answers the number
  // of the first entry that did not reach the file (one past the last when
  // all did), with the reason in `error`.
  std::uint64_t writeBatch(const std::vector<Entry>& batch, std::uint64_t first, std::error_code& error);
  void report(std::string_view reason);
  // The bytes that end a torn last record ("" when the tail ends one);
  // `size` is the file's size it looked at.
  [[nodiscard]] std::string_view tornRecordEnd(std::int64_t& size);
  [[nodiscard]] std::optional<CsvScan> csvTail(std::int64_t size);
  // Whether the last bytes the writer wrote are still where it left them.
  [[nodiscard]] bool knownEndHolds();

  URL url_;
  std::string owner_;
  DateAppender appendDate_;
  Records records_;
  posix::UniqueFd fd_;
  bool readable_ = false;  // whether `fd_` can read the file's tail
  // For `csvRows`, only by the writing thread: where the writer's last
  // write ended (-1 when unknown), the reader's state there, and the last
  // bytes of that write, which tell whether the file is still the one it
  // wrote to.
  std::int64_t knownEnd_ = -1;
  CsvScan knownState_ = CsvScan::recordStart;
  static constexpr std::size_t kKnownTailBytes = 32;
  std::string knownTail_;
  std::string tail_;
  std::shared_ptr<DispatchQueue> queue_;
  bool registered_ = false;  // under mutex_

  std::mutex mutex_;
  std::vector<Entry> pending_;
  std::shared_ptr<const void> keepAlive_;  // while entries are queued
  std::uint64_t enqueued_ = 0;             // the number of the last entry queued
  std::uint64_t processed_ = 0;            // the last entry written or lost
  std::uint64_t acknowledged_ = 0;         // entries up to here were answered for by a drain
  std::vector<LostRange> lost_;            // lost entries after `acknowledged_`, in order
  bool drainQueued_ = false;               // a block is queued, or waits to try again
  std::chrono::milliseconds retryDelay_ = kFirstRetryDelay;
  bool lockTimedOut_ = false;  // the last wait for the lock ran out
  // Set (under mutex_) while one thread takes a batch from `pending_` and
  // writes it, so batches reach the file in the order they were taken,
  // whoever writes them. A flag and a condition variable rather than a
  // timed mutex: waiting for it has a deadline at exit.
  bool writing_ = false;
  std::condition_variable writerDone_;
  std::string buffer_;                // only by the writing thread
  std::vector<std::size_t> ends_;     // only by the writing thread: where each entry ends in buffer_
  bool failureReported_ = false;      // only by the writing thread
};

}  // namespace vantrel::foundation_internal
