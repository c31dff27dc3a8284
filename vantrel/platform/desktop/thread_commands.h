// File: vantrel/platform/desktop/thread_commands.h
//
// Work handed to a thread that waits in poll() on its X connection, as the
// clipboard's selection server and the hot-key service do: an X connection
// is used only on the thread that opened it, so other threads queue
// commands and wait for them.
//
//   // the thread's loop
//   for (;;) {
//     commands.runPending();
//     if (commands.stopRequested()) break;
//     ... handle events, then poll() the connection and commands.wakeFd() ...
//     commands.drainWakeups();
//   }
//   commands.finish();
//
//   // any other thread
//   bool ran = commands.run([&] { ... uses the connection ... });
//
// A command that did not run in time may still run later, so it must own
// (or outlive) what it touches. After `finish` nothing runs again, and each
// caller still waiting answers false. Thread-safe.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

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
  // finished, or `limit` passed (none: no limit). False when it did not run,
  // and at once when a stop was asked or the thread has finished.
  bool run(std::function<void()> work, std::optional<std::chrono::milliseconds> limit = std::nullopt);
  // The thread: runs what is queued, in order.
  void runPending();

  // Any thread: asks the thread to leave its loop; no command is taken after.
  void requestStop();
  [[nodiscard]] bool stopRequested() const;
  // The thread, after its loop: drops what is queued and answers the waiting.
  void finish();
  // False once the thread has finished.
  [[nodiscard]] bool running() const;

 private:
  struct Command {
    std::function<void()> work;
    bool finished = false;
  };

  int wakeRead_ = -1;
  int wakeWrite_ = -1;
  mutable std::mutex mutex_;
  std::condition_variable commandFinished_;
  std::deque<std::shared_ptr<Command>> commands_;
  bool stopping_ = false;
  bool running_ = true;
};

// Starts `thread`, which runs `open` and, when that answered true, `loop`;
// waits for `open` and answers it, joining the thread when it failed. Both
// X services start this way: a connection is used only on the thread that
// opened it.
[[nodiscard]] bool startConnectionThread(std::thread& thread, std::function<bool()> open,
                                         std::function<void()> loop);

}  // namespace vantrel
