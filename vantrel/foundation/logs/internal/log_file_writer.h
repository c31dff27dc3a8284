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
// A file that does not end in a line feed when a batch is written holds a
// line cut short (a writer stopped mid-line). The batch then first ends that
// line with `kTornLineEnd`, so the next entry starts a line of its own; the
// torn bytes stay as they are, and the CAN ("cancel") before the line feed
// tells a reader the line never finished.
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/platform/foundation/files/url.h"
#include "vantrel/platform/posix/unique_fd.h"

namespace vantrel {
class DispatchQueue;
}

namespace vantrel::foundation_internal {

class LogFileWriter : public std::enable_shared_from_this<LogFileWriter> {
 public:
  enum class Kind { row, datedLine, plainLine };
  enum class OpenResult { opened, cannotCreateFile, cannotOpenHandle };
  using DateAppender = void (*)(std::string& out, std::chrono::system_clock::time_point date);

  static constexpr std::chrono::milliseconds kExitDrainBound{3000};
  static constexpr std::string_view kTornLineEnd = "\x18\n";

  // Creates the file when missing (never truncates it) and opens it for
  // appending. `owner` names the logger in the one message about lost lines.
  [[nodiscard]] static std::shared_ptr<LogFileWriter> open(const URL& url, std::string_view queueLabel,
                                                           std::string_view owner, DateAppender appendDate,
                                                           OpenResult& result);

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
  LogFileWriter(Passkey, const URL& url, std::string_view owner, DateAppender appendDate);

 private:
  void writeBatch(const std::vector<Entry>& batch);
  [[nodiscard]] bool endsMidLine() const;

  URL url_;
  std::string owner_;
  DateAppender appendDate_;
  posix::UniqueFd fd_;
  bool readable_ = false;  // whether `fd_` can read the file's last byte
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
