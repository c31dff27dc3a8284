#include "vantrel/platform/desktop/thread_commands.h"

#include <future>

#include <fcntl.h>
#include <unistd.h>

#include <utility>

#include "vantrel/platform/posix/write_all.h"

namespace vantrel {

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
  return command->finished;
}

void ThreadCommands::runPending() {
  std::deque<std::shared_ptr<Command>> pending;
  {
    std::lock_guard lock(mutex_);
    pending.swap(commands_);
  }
  for (const auto& command : pending) {
    command->work();
    std::lock_guard lock(mutex_);
    command->finished = true;
  }
  if (!pending.empty()) commandFinished_.notify_all();
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

bool startConnectionThread(std::thread& thread, std::function<bool()> open, std::function<void()> loop) {
  std::promise<bool> opened;
  std::future<bool> isOpen = opened.get_future();
  thread = std::thread([open = std::move(open), loop = std::move(loop), opened = std::move(opened)]() mutable {
    if (!open()) {
      opened.set_value(false);
      return;
    }
    opened.set_value(true);
    loop();
  });
  if (isOpen.get()) return true;
  thread.join();
  return false;
}

}  // namespace vantrel
