// File: vantrel/platform/desktop/internal/thread_commands.h
//
// `ThreadCommands`: the command queue of a thread that owns an X connection
// (see x11_connection_thread.h). An X connection is used only on the thread
// that opened it, so other threads queue commands and wait for them. A
// command that did not run in time may still run later, so it must own (or
// outlive) what it touches. After the thread has finished nothing runs
// again, and each caller still waiting answers false. Thread-safe.
//
// Nothing a command throws leaves the thread, which would end the process:
// it is reported on standard error ("Uncaught exception in a command on the
// X thread of \":0\": <description>"), the command's caller is answered
// false, and the thread goes on serving.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>

#include "vantrel/api.h"

namespace vantrel VANTREL_API {
namespace desktop_internal {

// Reports `error`, thrown by `what` ("a command") on `where` ("the X thread
// of \":0\""), on standard error; never throws.
void reportUncaughtOnThread(const std::exception_ptr& error, std::string_view what, std::string_view where) noexcept;

class ThreadCommands {
 public:
  // Makes the wake pipe; `valid()` is false when none could be made.
  ThreadCommands();
  ~ThreadCommands();
  ThreadCommands(const ThreadCommands&) = delete;
  ThreadCommands& operator=(const ThreadCommands&) = delete;

  [[nodiscard]] bool valid() const { return wakeRead_ >= 0; }
  // Readable when the thread should come out of poll().
  [[nodiscard]] int wakeFd() const { return wakeRead_; }
  void wake() const;
  // The thread, after poll(): empties the wake pipe.
  void drainWakeups() const;

  // Queues `work` for the thread and waits until it ran, the thread
  // finished, or `limit` passed (none: no limit). False when it did not run
  // or threw, and at once when a stop was asked or the thread has finished.
  bool run(std::function<void()> work, std::optional<std::chrono::milliseconds> limit = std::nullopt);
  // The thread: runs what is queued, in order. What a command throws is
  // reported as thrown on `thread` ("the X thread of \":0\"") and fails
  // only that command.
  void runPending(std::string_view thread = "an X connection's thread");
  // Whether commands wait to run (their wake-up may have been drained by a
  // wait inside another command).
  [[nodiscard]] bool hasPending() const;

  // Any thread: asks the thread to leave its loop; no command is taken after.
  void requestStop();
  [[nodiscard]] bool stopRequested() const;
  // The thread, after its loop: drops what is queued and answers the waiting.
  void finish();
  // False once the thread has finished.
  [[nodiscard]] bool running() const;
  // Waits at most `limit` for the thread to finish; whether it has.
  bool waitUntilFinished(std::chrono::milliseconds limit);

 private:
  struct Command {
    std::function<void()> work;
    bool finished = false;
    bool threw = false;
  };

  int wakeRead_ = -1;
  int wakeWrite_ = -1;
  mutable std::mutex mutex_;
  std::condition_variable commandFinished_;
  std::deque<std::shared_ptr<Command>> commands_;
  bool stopping_ = false;
  bool running_ = true;
};

}  // namespace desktop_internal
}  // namespace vantrel
