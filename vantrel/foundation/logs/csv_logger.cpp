#include "vantrel/foundation/logs/csv_logger.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

#include <fmt/format.h>

#include "vantrel/core/console.h"
#include "vantrel/core/deadline.h"
#include "vantrel/foundation/files/file_operations.h"
#include "vantrel/foundation/logs/internal/log_date.h"
#include "vantrel/platform/dispatch/dispatch_queue.h"
#include "vantrel/platform/foundation/files/file_manager.h"
#include "vantrel/platform/foundation/files/folders.h"

namespace vantrel {
namespace foundation_internal {

namespace {

void appendDigits(char* out, long value, int width) {
  for (int i = width - 1; i >= 0; --i) {
    out[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
}

// Seconds and milliseconds of `date`, rounding toward the past also before 1970.
std::pair<std::time_t, int> split(std::chrono::system_clock::time_point date) {
  const auto ms = std::chrono::floor<std::chrono::milliseconds>(date.time_since_epoch()).count();
  std::int64_t seconds = ms / 1000;
  std::int64_t millis = ms % 1000;
  if (millis < 0) {
    millis += 1000;
    seconds -= 1;
  }
  return {static_cast<std::time_t>(seconds), static_cast<int>(millis)};
}

void formatPrefix(std::time_t second, char* prefix) {
  std::tm fields{};
  ::localtime_r(&second, &fields);  // proleptic Gregorian fields, whatever the locale
  long year = static_cast<long>(fields.tm_year) + 1900;
  if (year < 0) year = 0;
  if (year > 9999) year = 9999;
  appendDigits(prefix, year, 4);
  prefix[4] = '-';
  appendDigits(prefix + 5, fields.tm_mon + 1, 2);
  prefix[7] = '-';
  appendDigits(prefix + 8, fields.tm_mday, 2);
  prefix[10] = ' ';
  appendDigits(prefix + 11, fields.tm_hour, 2);
  prefix[13] = ':';
  appendDigits(prefix + 14, fields.tm_min, 2);
  prefix[16] = ':';
  appendDigits(prefix + 17, fields.tm_sec, 2);
  prefix[19] = '\0';
}

}  // namespace

void LogDateFormatter::append(std::string& out, std::chrono::system_clock::time_point date) {
  const auto [second, millis] = split(date);
  if (!valid_ || second != second_) {
    formatPrefix(second, prefix_);
    second_ = second;
    valid_ = true;
  }
  char tail[4] = {'.', 0, 0, 0};
  appendDigits(tail + 1, millis, 3);
  out.append(prefix_, 19);
  out.append(tail, 4);
}

void appendLogDate(std::string& out, std::chrono::system_clock::time_point date) {
  LogDateFormatter formatter;
  formatter.append(out, date);
}

}  // namespace foundation_internal

namespace {

enum EntryKind { kRow = 0, kDatedLine = 1, kPlainLine = 2 };

// Every logger that may hold queued lines, for the exit hook. Never
// destroyed: the hook runs while statics are being torn down.
struct Registry {
  std::mutex mutex;
  std::vector<std::weak_ptr<CsvLogger>> loggers;
};

void drainAtExit() { CsvLogger::flushAll(CsvLogger::kExitDrainBound); }

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

void registerLogger(const std::shared_ptr<CsvLogger>& logger) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  std::erase_if(r.loggers, [](const std::weak_ptr<CsvLogger>& w) { return w.expired(); });
  r.loggers.push_back(logger);
}

std::string logFileName(std::string_view name) { return std::string(name) + ".log"; }

}  // namespace

struct CsvLogger::Entry {
  std::chrono::system_clock::time_point date;
  int kind;
  std::string text;
};

struct CsvLogger::Impl {
  URL url;
  int fd = -1;
  std::shared_ptr<DispatchQueue> writeQueue;
  std::atomic<bool> registered{false};

  std::mutex pendingMutex;
  std::vector<Entry> pending;
  bool drainQueued = false;

  // Set (under pendingMutex) while one thread takes a batch from `pending`
  // and writes it, so batches reach the file in the order they were taken,
  // whoever writes them. A flag and a condition variable rather than a
  // timed mutex: waiting for it has a deadline at exit.
  bool writing = false;
  std::condition_variable writerDone;
  foundation_internal::LogDateFormatter dates;  // only by the writing thread
  std::string buffer;                           // only by the writing thread
  bool failureReported = false;                 // only by the writing thread
};

CsvLogger::Errur::Errur(Case c)
    : Error(c == Case::cannotCreateFile ? "cannotCreateFile" : "cannotOpenHandle"), kind(c) {}

CsvLogger::CsvLogger(const URL& logFileUrl) : impl_(std::make_unique<Impl>()) {
  impl_->url = logFileUrl;
  impl_->writeQueue = DispatchQueue::create("VantrelCsvLogger");
  const std::string& path = logFileUrl.path();
  if (!FileManager::defaultManager().fileExistsAtPath(path)) {
    const int created = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (created < 0 && errno != EEXIST) throw Errur(Errur::Case::cannotCreateFile);
    if (created >= 0) ::close(created);
  }
  // O_APPEND: every write lands at the end as it is then, so another
  // logger's or process's lines are never overwritten.
  impl_->fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (impl_->fd < 0) throw Errur(Errur::Case::cannotOpenHandle);
}

CsvLogger::~CsvLogger() {
  if (impl_ && impl_->fd >= 0) ::close(impl_->fd);
}

namespace {
std::shared_ptr<CsvLogger> makeLogger(const URL& url) {
  struct Made : CsvLogger {
    explicit Made(const URL& u) : CsvLogger(u) {}
  };
  return std::make_shared<Made>(url);
}
}  // namespace

std::shared_ptr<CsvLogger> CsvLogger::create(std::string_view name) {
  const URL folder = URL::fileURLWithPath(standardFolderPath(StandardFolder::library), true)
                         .appendingPathComponent("Private Documents", true)
                         .appendingPathComponent("logs", true);
  (void)ensureDirExists(FileManager::defaultManager(), folder);  // a failure shows as cannotCreateFile
  return makeLogger(folder.appendingPathComponent(logFileName(name)));
}

std::shared_ptr<CsvLogger> CsvLogger::create(std::string_view name, const URL& baseUrl) {
  (void)ensureDirExists(FileManager::defaultManager(), baseUrl);
  return makeLogger(baseUrl.appendingPathComponent(logFileName(name)));
}

std::shared_ptr<CsvLogger> CsvLogger::createWithLogFileUrl(std::string_view, const URL& logFileUrl) {
  return makeLogger(logFileUrl);
}

void CsvLogger::log(const std::vector<std::string>& values) {
  const auto date = std::chrono::system_clock::now();
  std::size_t size = values.size();
  for (const auto& v : values) size += v.size();
  std::string joined;
  joined.reserve(size);
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) joined += ',';
    joined += values[i];
  }
  enqueue(date, kRow, std::move(joined));
}

void CsvLogger::logLine(std::string_view line, bool prependDate) {
  const auto date = std::chrono::system_clock::now();
  enqueue(date, prependDate ? kDatedLine : kPlainLine, std::string(line));
}

void CsvLogger::enqueue(std::chrono::system_clock::time_point date, int kind, std::string text) {
  // Known to the exit hook from its first line on (subclasses included,
  // which is why this is not done by the creators).
  if (!impl_->registered.load(std::memory_order_acquire) && !impl_->registered.exchange(true)) {
    registerLogger(shared_from_this());
  }
  bool queueDrain = false;
  {
    std::lock_guard lock(impl_->pendingMutex);
    impl_->pending.push_back(Entry{date, kind, std::move(text)});
    if (!impl_->drainQueued) {
      impl_->drainQueued = true;
      queueDrain = true;
    }
  }
  // One queued block writes every line that arrived before it runs: a burst
  // becomes one write. The block holds the logger, so it outlives its caller.
  if (queueDrain) {
    impl_->writeQueue->async([self = shared_from_this()] {
      self->drain(std::chrono::steady_clock::time_point::max());
    });
  }
}

bool CsvLogger::drain(std::chrono::steady_clock::time_point deadline) {
  Impl& m = *impl_;
  std::vector<Entry> batch;
  {
    std::unique_lock lock(m.pendingMutex);
    const auto idle = [&m] { return !m.writing; };
    if (deadline == std::chrono::steady_clock::time_point::max()) {
      m.writerDone.wait(lock, idle);
    } else if (!m.writerDone.wait_until(lock, deadline, idle)) {
      return false;
    }
    batch.swap(m.pending);
    m.drainQueued = false;
    if (batch.empty()) return true;
    m.writing = true;
  }
  writeBatch(batch);
  {
    std::lock_guard lock(m.pendingMutex);
    m.writing = false;
  }
  m.writerDone.notify_all();
  return true;
}

void CsvLogger::writeBatch(const std::vector<Entry>& batch) {
  Impl& m = *impl_;
  m.buffer.clear();
  for (const Entry& entry : batch) {
    if (entry.kind != kPlainLine) m.dates.append(m.buffer, entry.date);
    if (entry.kind == kRow) m.buffer += ',';
    m.buffer += entry.text;
    m.buffer += '\n';
  }
  const char* data = m.buffer.data();
  std::size_t left = m.buffer.size();
  while (left > 0) {
    const ssize_t n = ::write(m.fd, data, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (!m.failureReported) {
        m.failureReported = true;
        consolePrintError(fmt::format("CsvLogger: lines lost writing {}: {}", m.url.path(),
                                      n < 0 ? FileSystemError(errno, m.url.path()).description() : "nothing written"));
      }
      break;
    }
    data += n;
    left -= static_cast<std::size_t>(n);
  }
  if (m.buffer.capacity() > (1u << 20)) std::string().swap(m.buffer);  // a burst's buffer is not kept
}

bool CsvLogger::flush(std::chrono::milliseconds timeout) {
  return drain(deadlineAfter(timeout));
}

void CsvLogger::flushAll(std::chrono::milliseconds bound) {
  const auto deadline = deadlineAfter(bound);
  std::vector<std::shared_ptr<CsvLogger>> live;
  {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    for (const auto& weak : r.loggers) {
      if (auto logger = weak.lock()) live.push_back(std::move(logger));
    }
  }
  for (const auto& logger : live) logger->drain(deadline);
}

}  // namespace vantrel
