#include "vantrel/platform/desktop/internal/thread_commands.h"

#include <fcntl.h>
#include <unistd.h>

#include <string>
#include <utility>

#include "vantrel/core/console.h"
#include "vantrel/core/error.h"
#include "vantrel/platform/posix/write_all.h"

namespace vantrel::desktop_internal {

// A throw must not leave the thread: it would end the process, and with it
// the service's other handlers and callers. It is reported in the words a
// queue uses for a throwing block, on standard error, and the thread serves on.
void reportUncaughtOnThread(const std::exception_ptr& error, std::string_view what, std::string_view where) noexcept {
  try {
    std::string line = "Uncaught exception in ";
    line.append(what).append(" on ").append(where);
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& e) {
      line.append(": ").append(errorDescription(e));
    } catch (...) {
    }
    consolePrintError(line);
  } catch (...) {
    // No memory even for the line: the thread goes on all the same.
  }
}

ThreadCommands::ThreadCommands() {
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) == 0) {
    wakeRead_ = pipeFds[0];
    wakeWrite_ = pipeFds[1];
  }
}

ThreadCommands::~ThreadCommands() {
  if (wakeRead_ >= 0) ::close(wakeRead_);
  if (wakeWrite_ >= 0) ::close(wakeWrite_);
}

void ThreadCommands::wake() const {
  const char byte = 1;
  // A full pipe already holds a wake-up; nothing is lost by dropping this one.
  (void)posix::writeAll(wakeWrite_, &byte, 1);
}

void ThreadCommands::drainWakeups() const {
  char buffer[64];
  while (::read(wakeRead_, buffer, sizeof buffer) > 0) {
  }
}

bool ThreadCommands::run(std::function<void()> work, std::optional<std::chrono::milliseconds> limit) {
  auto command = std::make_shared<Command>();
  command->work = std::move(work);
  std::unique_lock lock(mutex_);
  if (!running_ || stopping_) return false;
  commands_.push_back(command);
  wake();
  const auto done = [&] { return command->finished || !running_; };
  if (limit) {
    commandFinished_.wait_for(lock, *limit, done);
  } else {
    commandFinished_.wait(lock, done);
  }
  return command->finished && !command->threw;
}

void ThreadCommands::runPending(std::string_view thread) {
  std::deque<std::shared_ptr<Command>> pending;
  {
    std::lock_guard lock(mutex_);
    pending.swap(commands_);
  }
  for (const auto& command : pending) {
    bool threw = false;
    try {
      command->work();
    } catch (...) {
      threw = true;
      reportUncaughtOnThread(std::current_exception(), "a command", thread);
    }
    std::lock_guard lock(mutex_);
    command->finished = true;
    command->threw = threw;
  }
  if (!pending.empty()) commandFinished_.notify_all();
}

bool ThreadCommands::hasPending() const {
  std::lock_guard lock(mutex_);
  return !commands_.empty();
}

void ThreadCommands::requestStop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake();
}

bool ThreadCommands::stopRequested() const {
  std::lock_guard lock(mutex_);
  return stopping_;
}

void ThreadCommands::finish() {
  {
    std::lock_guard lock(mutex_);
    running_ = false;
    commands_.clear();
  }
  commandFinished_.notify_all();
}

bool ThreadCommands::running() const {
  std::lock_guard lock(mutex_);
  return running_;
}

bool ThreadCommands::waitUntilFinished(std::chrono::milliseconds limit) {
  std::unique_lock lock(mutex_);
  return commandFinished_.wait_for(lock, limit, [&] { return !running_; });
}

}  // namespace vantrel::desktop_internal
