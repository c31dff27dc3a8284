#include "vantrel/platform/desktop/internal/server_calls.h"

#include <unistd.h>

#include <condition_variable>
#include <exception>
#include <system_error>
#include <thread>

#include "vantrel/platform/desktop/internal/thread_commands.h"

namespace vantrel::desktop_internal {

// What the caller and the work's thread share; the thread keeps it as long
// as it runs.
struct ServerCalls::Call final : AnswerClock {
  std::mutex mutex;
  std::condition_variable changed;
  std::chrono::steady_clock::time_point lastAnswer = std::chrono::steady_clock::now();
  bool finished = false;
  bool threw = false;

  void answered() override {
    std::lock_guard lock(mutex);
    lastAnswer = std::chrono::steady_clock::now();
  }

  void finish(bool withThrow) {
    {
      std::lock_guard lock(mutex);
      finished = true;
      threw = withThrow;
    }
    changed.notify_all();
  }

  bool isFinished() {
    std::lock_guard lock(mutex);
    return finished;
  }
};

bool ServerCalls::run(std::function<void(AnswerClock&)> work, std::chrono::milliseconds limit) {
  {
    std::lock_guard lock(mutex_);
    if (unanswered_ && process_ == static_cast<long>(::getpid()) && !unanswered_->isFinished()) return false;
    unanswered_.reset();  // ended since, or a forked child's copy of the parent's
  }
  auto call = std::make_shared<Call>();
  try {
    std::thread([call, work = std::move(work)] {
      bool threw = false;
      try {
        work(*call);
      } catch (...) {
        threw = true;
        reportUncaughtOnThread(std::current_exception(), "a request", "a thread waiting for the X server");
      }
      call->finish(threw);
    }).detach();
  } catch (const std::system_error&) {
    return false;  // no thread to wait with
  }
  std::unique_lock lock(call->mutex);
  for (;;) {
    if (call->finished) return !call->threw;
    // A little over the limit: where the work has a limit of its own for
    // an answer, its verdict comes first.
    const auto deadline = call->lastAnswer + limit + limit / 4 + std::chrono::milliseconds(50);
    if (std::chrono::steady_clock::now() >= deadline) break;
    call->changed.wait_until(lock, deadline);
  }
  lock.unlock();
  std::lock_guard guard(mutex_);
  unanswered_ = std::move(call);
  process_ = static_cast<long>(::getpid());
  return false;
}

}  // namespace vantrel::desktop_internal
