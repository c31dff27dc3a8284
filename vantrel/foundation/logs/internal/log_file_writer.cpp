#include "vantrel/foundation/logs/internal/log_file_writer.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include <fmt/format.h>

#include "vantrel/core/console.h"
#include "vantrel/core/deadline.h"
#include "vantrel/foundation/logs/internal/log_date.h"
#include "vantrel/platform/dispatch/dispatch_queue.h"
#include "vantrel/platform/foundation/files/file_manager.h"
#include "vantrel/platform/posix/read_full.h"
#include "vantrel/platform/posix/write_all.h"

namespace vantrel::foundation_internal {

namespace {

// Every writer that may hold queued entries, for the exit hook. Never
// destroyed: the hook runs while statics are being torn down.
struct Registry {
  std::mutex mutex;
  std::vector<std::weak_ptr<LogFileWriter>> writers;
};

void drainAtExit() { LogFileWriter::flushAll(LogFileWriter::kExitDrainBound); }

Registry& registry() {
  static Registry* instance = [] {
    auto* created = new Registry();
    // Registered after the statics made so far, so it runs before their
    // destructors; every later static that the drain touches is leaked.
    std::atexit(drainAtExit);
    return created;
  }();
  return *instance;
}

void registerWriter(const std::shared_ptr<LogFileWriter>& writer) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  std::erase_if(r.writers, [](const std::weak_ptr<LogFileWriter>& w) { return w.expired(); });
  r.writers.push_back(writer);
}

}  // namespace

CsvScan scanCsv(std::string_view bytes, CsvScan state) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    switch (state) {
      case CsvScan::recordStart:
      case CsvScan::fieldStart:
      // After a quote in a quoted value: a second one stands for a quote,
      // anything else follows a closing quote (text there joins the field,
      // as lenient readers take it).
      case CsvScan::afterQuote:
        state = c == '"' ? CsvScan::inQuotes
                : c == ',' ? CsvScan::fieldStart
                : c == '\n' ? CsvScan::recordStart
                : CsvScan::inField;
        break;
      case CsvScan::inField:
        // A quote inside an unquoted field is a character like any other.
        if (c == ',') state = CsvScan::fieldStart;
        else if (c == '\n') state = CsvScan::recordStart;
        break;
      case CsvScan::inQuotes: {
        // A long quoted value is passed over at once.
        const std::size_t quote = bytes.find('"', i);
        if (quote == std::string_view::npos) return state;
        i = quote;
        state = CsvScan::afterQuote;
        break;
      }
    }
  }
  return state;
}

std::string_view tornCsvRecordEnd(CsvScan state) {
  switch (state) {
    case CsvScan::recordStart: return {};
    case CsvScan::fieldStart:
    case CsvScan::inField: return LogFileWriter::kTornLineEnd;
    case CsvScan::inQuotes: return LogFileWriter::kTornQuotedEnd;
    case CsvScan::afterQuote: return LogFileWriter::kTornAfterQuoteEnd;
  }
  return {};
}

std::optional<CsvScan> csvTailState(std::string_view window, bool wholeFile) {
  if (wholeFile) return scanCsv(window);
  // The last line that starts with a date: a record starts there, unless a
  // quoted value holds a line feed followed by a date.
  for (std::size_t end = window.size(); end > 0;) {
    const std::size_t feed = window.rfind('\n', end - 1);
    if (feed == std::string_view::npos) break;
    const std::string_view line = window.substr(feed + 1);
    if (startsWithLogDate(line)) return scanCsv(line);
    end = feed;
  }
  return std::nullopt;
}

LogFileWriter::LogFileWriter(Passkey, const URL& url, std::string_view owner, DateAppender appendDate,
                             Records records)
    : url_(url), owner_(owner), appendDate_(appendDate), records_(records) {}

LogFileWriter::~LogFileWriter() = default;

std::shared_ptr<LogFileWriter> LogFileWriter::open(const URL& url, std::string_view queueLabel,
                                                   std::string_view owner, DateAppender appendDate,
                                                   Records records, OpenResult& result) {
  const std::string& path = url.path();
  if (!FileManager::defaultManager().fileExistsAtPath(path)) {
    posix::UniqueFd created(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    if (!created && errno != EEXIST) {
      result = OpenResult::cannotCreateFile;
      return nullptr;
    }
  }
  // O_APPEND: every write lands at the end as it is then, so another
  // logger's or process's lines are never overwritten. Read access only
  // serves the look at the tail; a file we may only write to is still
  // logged to, without that look.
  posix::UniqueFd fd(::open(path.c_str(), O_RDWR | O_APPEND | O_CLOEXEC));
  const bool readable = static_cast<bool>(fd);
  if (!fd && errno == EACCES) fd = posix::UniqueFd(::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC));
  if (!fd) {
    result = OpenResult::cannotOpenHandle;
    return nullptr;
  }
  auto writer = std::make_shared<LogFileWriter>(Passkey{}, url, owner, appendDate, records);
  writer->fd_ = std::move(fd);
  writer->readable_ = readable;
  writer->queue_ = DispatchQueue::create(std::string(queueLabel));
  result = OpenResult::opened;
  return writer;
}

void LogFileWriter::enqueue(std::shared_ptr<const void> keepAlive, std::chrono::system_clock::time_point date,
                            Kind kind, std::string text) {
  bool queueDrain = false;
  bool registerNow = false;
  {
    std::lock_guard lock(mutex_);
    pending_.push_back(Entry{date, kind, std::move(text)});
    if (!drainQueued_) {
      drainQueued_ = true;
      queueDrain = true;
    }
    if (!registered_) registered_ = registerNow = true;
  }
  // Known to the exit hook from its first entry on.
  if (registerNow) registerWriter(shared_from_this());
  // One queued block writes every entry that arrived before it runs: a burst
  // becomes one write. The block holds the logger, so it outlives its caller.
  if (queueDrain) {
    queue_->async([self = shared_from_this(), keepAlive = std::move(keepAlive)] {
      self->drain(std::chrono::steady_clock::time_point::max());
    });
  }
}

bool LogFileWriter::drain(std::chrono::steady_clock::time_point deadline) {
  std::vector<Entry> batch;
  {
    std::unique_lock lock(mutex_);
    const auto idle = [this] { return !writing_; };
    if (deadline == std::chrono::steady_clock::time_point::max()) {
      writerDone_.wait(lock, idle);
    } else if (!writerDone_.wait_until(lock, deadline, idle)) {
      return false;
    }
    batch.swap(pending_);
    drainQueued_ = false;
    if (batch.empty()) return true;
    writing_ = true;
  }
  writeBatch(batch);
  {
    std::lock_guard lock(mutex_);
    writing_ = false;
  }
  writerDone_.notify_all();
  return true;
}

std::optional<CsvScan> LogFileWriter::csvTail(std::int64_t size) {
  // Only what others appended since the writer's own last write, when that
  // is known; else the end of the file.
  const auto window = static_cast<std::int64_t>(kTailWindow);
  const bool fromKnown = knownEnd_ >= 0 && knownEnd_ <= size && size - knownEnd_ <= window;
  const std::int64_t start = fromKnown ? knownEnd_ : std::max<std::int64_t>(0, size - window);
  tail_.resize(static_cast<std::size_t>(size - start));
  // The descriptor's offset serves no write: O_APPEND places every one.
  if (::lseek(fd_.get(), start, SEEK_SET) != start) return std::nullopt;
  const posix::ReadFullResult read = posix::readFull(fd_.get(), tail_.data(), tail_.size());
  if (read.error) return std::nullopt;
  // Appends since the fstat leave these bytes as they were; a file cut
  // shorter since reads short, and is looked at as far as it goes.
  tail_.resize(read.bytesRead);
  if (fromKnown) return scanCsv(tail_, knownState_);
  return csvTailState(tail_, start == 0);
}

std::string_view LogFileWriter::tornRecordEnd(std::int64_t& size) {
  size = -1;
  if (!readable_) return {};
  struct stat status {};
  if (::fstat(fd_.get(), &status) != 0) return {};
  size = status.st_size;
  if (size == 0) return {};
  if (records_ == Records::csvRows) {
    const std::optional<CsvScan> state = size == knownEnd_ ? knownState_ : csvTail(size);
    if (state) return tornCsvRecordEnd(*state);
  }
  // Appends since the fstat leave this byte as it was.
  char last = '\n';
  return ::pread(fd_.get(), &last, 1, size - 1) == 1 && last != '\n' ? kTornLineEnd : std::string_view();
}

void LogFileWriter::writeBatch(const std::vector<Entry>& batch) {
  buffer_.clear();
  // Writers of one file (loggers, processes) take turns for the look and the
  // write, so that none looks at a record another is still writing and ends
  // it as torn. A writer that dies holding its turn gives it up with its
  // descriptor; a file system without locks goes without turns.
  int locked = ::flock(fd_.get(), LOCK_EX);
  while (locked != 0 && errno == EINTR) locked = ::flock(fd_.get(), LOCK_EX);
  const bool turn = locked == 0;
  // Checked for every batch, not once at opening: another process on the
  // same file may have died mid-record since.
  std::int64_t size = -1;
  buffer_ += tornRecordEnd(size);
  for (const Entry& entry : batch) {
    if (entry.kind != Kind::plainLine) appendDate_(buffer_, entry.date);
    if (entry.kind == Kind::row) buffer_ += ',';
    buffer_ += entry.text;
    buffer_ += '\n';
  }
  const std::error_code e = posix::writeAll(fd_.get(), buffer_);
  if (e && !failureReported_) {
    failureReported_ = true;
    consolePrintError(fmt::format("{}: lines lost writing {}: {}", owner_, url_.path(),
                                  FileSystemError(e.value(), url_.path()).description()));
  }
  if (records_ == Records::csvRows) {
    // Where this write ended (O_APPEND leaves the offset there) is where the
    // next batch's look starts, unless another writer's bytes came between
    // the look and the write: then the next look reads the tail again.
    // A line of `logLine` may leave a quote open; the state says so.
    const std::int64_t end = e ? -1 : ::lseek(fd_.get(), 0, SEEK_CUR);
    const bool adjacent = size >= 0 && end == size + static_cast<std::int64_t>(buffer_.size());
    knownEnd_ = adjacent ? end : -1;
    if (adjacent) knownState_ = scanCsv(buffer_);
  }
  if (turn) ::flock(fd_.get(), LOCK_UN);
  if (buffer_.capacity() > (1u << 20)) std::string().swap(buffer_);  // a burst's buffer is not kept
  if (tail_.capacity() > (1u << 16)) std::string().swap(tail_);
}

void LogFileWriter::flushAll(std::chrono::milliseconds bound) {
  const auto deadline = deadlineAfter(bound);
  std::vector<std::shared_ptr<LogFileWriter>> live;
  {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    for (const auto& weak : r.writers) {
      if (auto writer = weak.lock()) live.push_back(std::move(writer));
    }
  }
  for (const auto& writer : live) writer->drain(deadline);
}

}  // namespace vantrel::foundation_internal
