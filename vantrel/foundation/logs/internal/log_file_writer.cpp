#include "vantrel/foundation/logs/internal/log_file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include <fmt/format.h>

#include "vantrel/core/console.h"
#include "vantrel/core/deadline.h"
#include "vantrel/platform/dispatch/dispatch_queue.h"
#include "vantrel/platform/foundation/files/file_manager.h"
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

LogFileWriter::LogFileWriter(Passkey, const URL& url, std::string_view owner, DateAppender appendDate)
    : url_(url), owner_(owner), appendDate_(appendDate) {}

LogFileWriter::~LogFileWriter() = default;

std::shared_ptr<LogFileWriter> LogFileWriter::open(const URL& url, std::string_view queueLabel,
                                                   std::string_view owner, DateAppender appendDate,
                                                   OpenResult& result) {
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
  // serves the look at the last byte; a file we may only write to is still
  // logged to, without that look.
  posix::UniqueFd fd(::open(path.c_str(), O_RDWR | O_APPEND | O_CLOEXEC));
  const bool readable = static_cast<bool>(fd);
  if (!fd && errno == EACCES) fd = posix::UniqueFd(::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC));
  if (!fd) {
    result = OpenResult::cannotOpenHandle;
    return nullptr;
  }
  auto writer = std::make_shared<LogFileWriter>(Passkey{}, url, owner, appendDate);
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

bool LogFileWriter::endsMidLine() const {
  if (!readable_) return false;
  struct stat status {};
  if (::fstat(fd_.get(), &status) != 0 || status.st_size == 0) return false;
  // Appends since the fstat leave this byte as it was.
  char last = '\n';
  return ::pread(fd_.get(), &last, 1, status.st_size - 1) == 1 && last != '\n';
}

void LogFileWriter::writeBatch(const std::vector<Entry>& batch) {
  buffer_.clear();
  // Checked for every batch, not once at opening: another process on the
  // same file may have died mid-line since.
  if (endsMidLine()) buffer_ += kTornLineEnd;
  for (const Entry& entry : batch) {
    if (entry.kind != Kind::plainLine) appendDate_(buffer_, entry.date);
    if (entry.kind == Kind::row) buffer_ += ',';
    buffer_ += entry.text;
    buffer_ += '\n';
  }
  if (const std::error_code e = posix::writeAll(fd_.get(), buffer_); e && !failureReported_) {
    failureReported_ = true;
    consolePrintError(fmt::format("{}: lines lost writing {}: {}", owner_, url_.path(),
                                  FileSystemError(e.value(), url_.path()).description()));
  }
  if (buffer_.capacity() > (1u << 20)) std::string().swap(buffer_);  // a burst's buffer is not kept
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
