#include "vantrel/foundation/logs/internal/log_file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <limits>
#include <new>

#include <fmt/format.h>

#include "vantrel/core/console.h"
#include "vantrel/core/deadline.h"
#include "vantrel/foundation/logs/internal/log_date.h"
#include "vantrel/platform/dispatch/dispatch_queue.h"
#include "vantrel/platform/foundation/files/file_manager.h"
#include "vantrel/platform/posix/lock_file.h"
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

void drainAtExit() { LogFileWriter::flushAll(LogFileWriter::kExitDrainBound, true); }

// The bytes of a date as the loggers write them (23 or 24), with room.
constexpr std::size_t kDateBytes = 32;
// Ranges of lost entries a writer keeps for the drains still to answer.
constexpr std::size_t kLostRangesKept = 64;

std::atomic<std::size_t> batchByteLimit{std::numeric_limits<std::size_t>::max()};

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
    : url_(url), owner_(owner), appendDate_(appendDate), records_(records) {
  // Kept at this size, so noting it after a write never allocates.
  knownTail_.reserve(kKnownTailBytes);
}

LogFileWriter::~LogFileWriter() = default;

void LogFileWriter::setBatchByteLimitForTesting(std::optional<std::size_t> bytes) {
  batchByteLimit.store(bytes.value_or(std::numeric_limits<std::size_t>::max()));
}

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
  bool queueNow = false;
  bool registerNow = false;
  {
    std::lock_guard lock(mutex_);
    pending_.push_back(Entry{date, kind, std::move(text)});
    ++enqueued_;
    // The entries outlive their caller: they hold the logger.
    if (!keepAlive_) keepAlive_ = std::move(keepAlive);
    // A writer at work queues the block itself when it is done.
    if (!drainQueued_ && !writing_) drainQueued_ = queueNow = true;
    if (!registered_) registered_ = registerNow = true;
  }
  // Known to the exit hook from its first entry on.
  if (registerNow) registerWriter(shared_from_this());
  // One queued block writes every entry that arrived before it runs: a burst
  // becomes one write.
  if (queueNow) queueBlock(std::chrono::milliseconds(0));
}

void LogFileWriter::queueBlock(std::chrono::milliseconds delay) {
  try {
    auto block = [self = shared_from_this()] { self->drainInBackground(); };
    if (delay.count() == 0) queue_->async(std::move(block));
    else queue_->asyncAfter(delay, std::move(block));
  } catch (const std::bad_alloc&) {
    // The next entry, flush or the exit hook tries again.
    std::lock_guard lock(mutex_);
    drainQueued_ = false;
  }
}

void LogFileWriter::drainInBackground() {
  {
    std::lock_guard lock(mutex_);
    drainQueued_ = false;
    // A writer at work (a flush) queues the block again when it is done.
    if (writing_ || pending_.empty()) return;
    writing_ = true;
  }
  // A pool thread is not kept waiting for a lock another process holds: it
  // is given back, and the block comes again later.
  finishWrite(writePending(deadlineAfter(kBackgroundLockTry)));
}

void LogFileWriter::finishWrite(bool wrote) {
  std::shared_ptr<const void> released;
  std::optional<std::chrono::milliseconds> delay;
  {
    std::lock_guard lock(mutex_);
    writing_ = false;
    if (wrote) retryDelay_ = kFirstRetryDelay;
    if (pending_.empty()) {
      released = std::move(keepAlive_);
    } else if (!drainQueued_) {
      drainQueued_ = true;
      delay = wrote ? std::chrono::milliseconds(0) : retryDelay_;
      if (!wrote) retryDelay_ = std::min(retryDelay_ * 2, kLastRetryDelay);
    }
  }
  writerDone_.notify_all();
  if (delay) queueBlock(*delay);
}

LogFileWriter::DrainResult LogFileWriter::drainUntil(std::chrono::steady_clock::time_point deadline) {
  std::unique_lock lock(mutex_);
  const std::uint64_t target = enqueued_;
  const std::uint64_t from = acknowledged_;
  while (processed_ < target) {
    if (writing_) {
      const auto done = [&] { return !writing_ || processed_ >= target; };
      if (deadline == std::chrono::steady_clock::time_point::max()) {
        writerDone_.wait(lock, done);
      } else if (!writerDone_.wait_until(lock, deadline, done)) {
        return DrainResult::late;
      }
      continue;
    }
    writing_ = true;
    lock.unlock();
    const bool wrote = writePending(deadline);
    finishWrite(wrote);
    lock.lock();
    if (!wrote) return DrainResult::late;
  }
  const bool lost = std::any_of(lost_.begin(), lost_.end(),
                                [&](const LostRange& r) { return r.last > from && r.first <= target; });
  acknowledged_ = std::max(acknowledged_, target);
  return lost ? DrainResult::lost : DrainResult::written;
}

bool LogFileWriter::drain(std::chrono::steady_clock::time_point deadline) {
  return drainUntil(deadline) == DrainResult::written;
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

bool LogFileWriter::knownEndHolds() {
  // A file cut short and written again by others may have grown past the
  // writer's end; its own last bytes are then no longer there.
  const std::size_t n = knownTail_.size();
  if (knownEnd_ < static_cast<std::int64_t>(n)) return false;
  char bytes[kKnownTailBytes];
  return ::pread(fd_.get(), bytes, n, knownEnd_ - static_cast<std::int64_t>(n)) == static_cast<ssize_t>(n) &&
         std::string_view(bytes, n) == knownTail_;
}

std::string_view LogFileWriter::tornRecordEnd(std::int64_t& size) {
  size = -1;
  if (!readable_) return {};
  struct stat status {};
  if (::fstat(fd_.get(), &status) != 0) return {};
  size = status.st_size;
  if (size == 0) return {};
  if (records_ == Records::csvRows) {
    if (knownEnd_ >= 0 && (knownEnd_ > size || !knownEndHolds())) knownEnd_ = -1;
    const std::optional<CsvScan> state = size == knownEnd_ ? knownState_ : csvTail(size);
    if (state) return tornCsvRecordEnd(*state);
  }
  // Appends since the fstat leave this byte as it was.
  char last = '\n';
  return ::pread(fd_.get(), &last, 1, size - 1) == 1 && last != '\n' ? kTornLineEnd : std::string_view();
}

bool LogFileWriter::writePending(std::chrono::steady_clock::time_point deadline) {
  // Writers of one file (loggers, processes) take turns for the look and the
  // write, so that none looks at a record another is still writing and ends
  // it as torn. The entries stay queued until the turn is had. A writer
  // that dies holding its turn gives it up with its descriptor; a file
  // system without locks goes without turns.
  const std::error_code locked = posix::lockExclusiveUntil(fd_.get(), deadline);
  if (locked == std::errc::timed_out) {
    std::lock_guard lock(mutex_);
    lockTimedOut_ = true;
    return false;
  }
  std::vector<Entry> batch;
  std::uint64_t first = 0;
  {
    std::lock_guard lock(mutex_);
    lockTimedOut_ = false;
    batch.swap(pending_);
    first = processed_ + 1;
  }
  std::error_code error;
  const std::uint64_t firstLost = batch.empty() ? first : writeBatch(batch, first, error);
  if (!locked) posix::unlockFile(fd_.get());
  const std::uint64_t last = first + batch.size() - 1;
  {
    std::lock_guard lock(mutex_);
    processed_ = last;
    if (firstLost <= last) {
      // Lost entries no drain can still ask about are forgotten; a writer
      // that only ever loses some keeps few ranges all the same (merged
      // oldest first, which can only make a drain answer false).
      if (!lost_.empty() && lost_.back().last + 1 == firstLost) {
        lost_.back().last = last;
      } else {
        std::erase_if(lost_, [&](const LostRange& r) { return r.last <= acknowledged_; });
        if (lost_.size() >= kLostRangesKept) {
          lost_[1].first = lost_[0].first;
          lost_.erase(lost_.begin());
        }
        lost_.push_back({firstLost, last});
      }
    }
  }
  if (!error) {
    failureReported_ = false;
  } else if (!failureReported_) {
    // Once per run of failing writes: a full disk fails every batch.
    failureReported_ = true;
    report(FileSystemError(error.value(), url_.path()).description());
  }
  return true;
}

void LogFileWriter::report(std::string_view reason) {
  try {
    consolePrintError(fmt::format("{}: lines lost writing {}: {}", owner_, url_.path(), reason));
  } catch (const std::bad_alloc&) {
    // No memory left even for the message.
  }
}

std::uint64_t LogFileWriter::writeBatch(const std::vector<Entry>& batch, std::uint64_t first,
                                        std::error_code& error) {
  buffer_.clear();
  ends_.clear();
  // Checked for every batch, not once at opening: another process on the
  // same file may have died mid-record since.
  std::int64_t size = -1;
  try {
    std::size_t bytes = kTornQuotedEnd.size();
    for (const Entry& entry : batch) bytes += kDateBytes + entry.text.size() + 2;
    if (bytes > batchByteLimit.load(std::memory_order_relaxed)) throw std::bad_alloc();
    buffer_.reserve(bytes);
    ends_.reserve(batch.size());
    buffer_ += tornRecordEnd(size);
    for (const Entry& entry : batch) {
      if (entry.kind != Kind::plainLine) appendDate_(buffer_, entry.date);
      if (entry.kind == Kind::row) buffer_ += ',';
      buffer_ += entry.text;
      buffer_ += '\n';
      ends_.push_back(buffer_.size());
    }
  } catch (const std::bad_alloc&) {
    // Nothing was written: the batch is lost, and the writer goes on.
    std::string().swap(buffer_);
    std::vector<std::size_t>().swap(ends_);
    std::string().swap(tail_);
    error = std::make_error_code(std::errc::not_enough_memory);
    return first;
  }
  std::size_t written = 0;
  error = posix::writeAll(fd_.get(), buffer_.data(), buffer_.size(), written);
  // The entries whose every byte reached the file are in it; a cut one
  // is ended as torn by the next batch.
  const auto whole = static_cast<std::size_t>(std::upper_bound(ends_.begin(), ends_.end(), written) - ends_.begin());
  if (records_ == Records::csvRows) {
    // Where this write ended (O_APPEND leaves the offset there) is where the
    // next batch's look starts, unless another writer's bytes came between
    // the look and the write: then the next look reads the tail again.
    // A line of `logLine` may leave a quote open; the state says so.
    const std::int64_t end = error ? -1 : ::lseek(fd_.get(), 0, SEEK_CUR);
    const bool adjacent = size >= 0 && end == size + static_cast<std::int64_t>(buffer_.size());
    knownEnd_ = adjacent ? end : -1;
    if (adjacent) {
      knownState_ = scanCsv(buffer_);
      knownTail_.assign(std::string_view(buffer_).substr(buffer_.size() - std::min(buffer_.size(), kKnownTailBytes)));
    }
  }
  if (buffer_.capacity() > (1u << 20)) std::string().swap(buffer_);  // a burst's buffer is not kept
  if (ends_.capacity() > (1u << 14)) std::vector<std::size_t>().swap(ends_);
  if (tail_.capacity() > (1u << 16)) std::string().swap(tail_);
  return first + whole;
}

void LogFileWriter::flushAll(std::chrono::milliseconds bound, bool reportLate) {
  const auto deadline = deadlineAfter(bound);
  std::vector<std::shared_ptr<LogFileWriter>> live;
  {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    for (const auto& weak : r.writers) {
      if (auto writer = weak.lock()) live.push_back(std::move(writer));
    }
  }
  for (const auto& writer : live) {
    if (writer->drainUntil(deadline) != DrainResult::late || !reportLate) continue;
    bool locked = false;
    {
      std::lock_guard lock(writer->mutex_);
      locked = writer->lockTimedOut_;
    }
    writer->report(locked ? "the file stayed locked by another writer" : "the write did not finish in time");
  }
}

}  // namespace vantrel::foundation_internal
