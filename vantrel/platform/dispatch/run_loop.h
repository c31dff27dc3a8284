// File: vantrel/platform/dispatch/run_loop.h
//
// `RunLoop`: one event loop per thread, made on first use by `current()`.
// While the owning thread runs it, it fires the timers and file-descriptor
// sources registered for the mode it runs in (a registration in
// `RunLoop::commonModes` matches every mode), and on the main thread it
// also serves the main queue (in every mode).
//
//   auto loop = RunLoop::current();
//   auto timer = RunLoopTimer::create(RunLoopTimer::Clock::now() + std::chrono::seconds(1),
//                                     {}, [](const std::shared_ptr<RunLoopTimer>&) { tick(); });
//   loop->addTimer(timer);
//   loop->run(RunLoopTimer::Clock::now() + std::chrono::seconds(2));   // run(until:)
//   // from another thread: loop->stop();   or   timer->invalidate();
//
// Thread safety: `run` only on the owning thread (else `fatal`); every other
// member of the three classes may be called from any thread. A timer or
// source added from another thread is seen at the loop's next pass (adding
// wakes it).
// Lifetime: the loop holds its timers and sources until they are invalidated
// or cancelled (a one-shot timer: until it has fired). When a thread other
// than the main thread ends, its loop drops every timer and source without
// running them. The main thread's loop lives for the whole process. Handlers
// must not hold the loop that holds them (a cycle); they receive what they
// need as arguments. Sources never own or close their descriptor.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "vantrel/platform/posix/unique_fd.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class RunLoop;

// A timer that fires on the run loop it was added to. `interval` zero (or
// less) fires once; otherwise it repeats every `interval` until invalidated,
// skipping firings the loop was too busy to make.
class RunLoopTimer : public std::enable_shared_from_this<RunLoopTimer> {
 public:
  using Clock = std::chrono::steady_clock;
  using Handler = std::function<void(const std::shared_ptr<RunLoopTimer>&)>;

  [[nodiscard]] static std::shared_ptr<RunLoopTimer> create(Clock::time_point fireTime,
                                                            Clock::duration interval, Handler handler);

  // Stops every later firing, also from inside the handler or another thread.
  void invalidate();
  [[nodiscard]] bool isValid() const { return valid_.load(); }
  [[nodiscard]] Clock::duration interval() const { return interval_; }

 private:
  friend class RunLoop;
  struct Passkey {};

 public:
  RunLoopTimer(Passkey, Clock::time_point fireTime, Clock::duration interval, Handler handler);

 private:
  Clock::time_point fireTime_;  // touched by the owning loop only
  Clock::duration interval_;
  Handler handler_;             // released by the loop when the timer is done
  std::atomic<bool> valid_{true};
  std::atomic<bool> scheduled_{false};
};

// A handler for a readable file descriptor (also called on end of file or an
// error, so it can read and see them). It must consume what is readable, or
// it is called again at once; on end of file it should `cancel()` itself.
class RunLoopSource {
 public:
  // After `cancel()` returns on the loop's own thread the handler is not
  // called again; from another thread a call in progress may still finish.
  void cancel();
  [[nodiscard]] bool isCancelled() const { return cancelled_.load(); }
  [[nodiscard]] int descriptor() const { return fd_; }

 private:
  friend class RunLoop;
  struct Passkey {};

 public:
  RunLoopSource(Passkey, int fd, std::function<void()> handler, std::weak_ptr<RunLoop> loop);

 private:
  int fd_;
  std::function<void()> handler_;
  std::atomic<bool> cancelled_{false};
  std::weak_ptr<RunLoop> loop_;  // to wake it; fixed at creation
};

class RunLoop : public std::enable_shared_from_this<RunLoop> {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::string_view defaultMode = "default";
  static constexpr std::string_view commonModes = "common";

  enum class RunResult { timedOut, stopped };

  // The calling thread's loop.
  [[nodiscard]] static std::shared_ptr<RunLoop> current();

  // Runs until `until` has passed or `stop()` is called, serving what is
  // registered for `mode`. Always makes at least one pass, so a past `until`
  // fires what is already due and returns. Calls may nest (a handler may run
  // the loop again, in another mode for instance).
  RunResult run(Clock::time_point until, std::string_view mode = defaultMode);

  // Makes the running `run` return as soon as its current handler returns;
  // when none is running, the next `run` returns after its first pass.
  void stop();
  // Wakes a waiting `run` to look at its timers, sources and queue again.
  void wakeUp();

  // Adds a timer (fatal when it was already added to a loop).
  void addTimer(const std::shared_ptr<RunLoopTimer>& timer, std::string_view mode = commonModes);
  // Adds a readable-descriptor handler.
  std::shared_ptr<RunLoopSource> addReadSource(int fd, std::function<void()> handler,
                                               std::string_view mode = commonModes);

  [[nodiscard]] std::thread::id ownerThread() const { return owner_; }

  ~RunLoop();
  RunLoop(const RunLoop&) = delete;  // bound to one thread
  RunLoop& operator=(const RunLoop&) = delete;

 private:
  struct Passkey {};

 public:
  RunLoop(Passkey, bool servesMainQueue);

 private:
  struct TimerEntry {
    std::shared_ptr<RunLoopTimer> timer;
    std::string mode;
  };
  struct SourceEntry {
    std::shared_ptr<RunLoopSource> source;
    std::string mode;
  };

  friend struct RunLoopThreadHolder;
  void dropAll();
  static bool matches(std::string_view registered, std::string_view mode);
  void fireDueTimers(std::string_view mode);
  // The earliest firing time among valid timers of `mode`.
  [[nodiscard]] Clock::time_point nextFireTime(std::string_view mode);

  std::thread::id owner_;
  bool servesMainQueue_;
  posix::UniqueFd wakeFd_;
  std::atomic<bool> stopRequested_{false};
  std::mutex mutex_;  // guards the two lists
  std::vector<TimerEntry> timers_;
  std::vector<SourceEntry> sources_;
};

}  // namespace vantrel
