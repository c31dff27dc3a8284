#include "vantrel/platform/dispatch/run_loop.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <ctime>

#include "vantrel/core/fatal.h"
#include "vantrel/core/thread.h"
#include "vantrel/core/thread_cache.h"
#include "vantrel/platform/dispatch/dispatch_queue.h"
#include "vantrel/platform/dispatch/internal/main_queue.h"
#include "vantrel/platform/posix/write_all.h"

namespace vantrel {

// ---- timers and sources ---------------------------------------------------

RunLoopTimer::RunLoopTimer(Passkey, Clock::time_point fireTime, Clock::duration interval,
                           Handler handler)
    : fireTime_(fireTime), interval_(interval), handler_(std::move(handler)) {}

std::shared_ptr<RunLoopTimer> RunLoopTimer::create(Clock::time_point fireTime, Clock::duration interval,
                                                   Handler handler) {
  return std::make_shared<RunLoopTimer>(Passkey{}, fireTime, interval, std::move(handler));
}

void RunLoopTimer::invalidate() { valid_.store(false); }

RunLoopSource::RunLoopSource(Passkey, int fd, std::function<void()> handler, std::weak_ptr<RunLoop> loop)
    : fd_(fd), handler_(std::move(handler)), loop_(std::move(loop)) {}

void RunLoopSource::cancel() {
  cancelled_.store(true);
  // A loop asleep in poll() must stop watching the descriptor, which its
  // owner may close next.
  if (auto loop = loop_.lock()) loop->wakeUp();
}

// ---- the loop of each thread ----------------------------------------------

struct RunLoopThreadHolder {
  std::shared_ptr<RunLoop> loop;
  ~RunLoopThreadHolder() {
    // The thread ends: what its loop holds would never run. Drop it here, on
    // the owning thread, so handlers are destroyed where they were used.
    if (loop) loop->dropAll();
  }
};

namespace {
constinit thread_local ThreadCache<RunLoopThreadHolder> tLoop;

void writeWake(int fd) {
  const std::uint64_t one = 1;
  // A full counter (EAGAIN) is still readable, so the wake-up is not lost.
  (void)posix::writeAll(fd, &one, sizeof one);
}

void readWake(int fd) {
  std::uint64_t value = 0;
  while (::read(fd, &value, sizeof value) < 0 && errno == EINTR) {
  }
}

timespec toTimespec(RunLoop::Clock::duration d) {
  if (d < RunLoop::Clock::duration::zero()) d = RunLoop::Clock::duration::zero();
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(d);
  const auto nanos = std::chrono::duration_cast<std::chrono::nanoseconds>(d - seconds);
  timespec ts{};
  ts.tv_sec = static_cast<time_t>(seconds.count());
  ts.tv_nsec = static_cast<long>(nanos.count());
  return ts;
}
}  // namespace

RunLoop::RunLoop(Passkey, bool servesMainQueue)
    : owner_(std::this_thread::get_id()), servesMainQueue_(servesMainQueue) {
  wakeFd_.reset(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
  if (!wakeFd_) fatal("Cannot create a run loop's wake-up descriptor");
}

RunLoop::~RunLoop() = default;

std::shared_ptr<RunLoop> RunLoop::current() {
  if (isMainThread()) {
    // Never destroyed: main-queue work may arrive until the process is gone.
    static auto* mainLoop = new std::shared_ptr<RunLoop>(std::make_shared<RunLoop>(Passkey{}, true));
    return *mainLoop;
  }
  RunLoopThreadHolder& holder = tLoop.get();
  if (!holder.loop) holder.loop = std::make_shared<RunLoop>(Passkey{}, false);
  return holder.loop;
}

void RunLoop::dropAll() {
  std::vector<TimerEntry> timers;
  std::vector<SourceEntry> sources;
  {
    std::lock_guard lock(mutex_);
    timers.swap(timers_);
    sources.swap(sources_);
  }
  for (auto& entry : timers) entry.timer->invalidate();
  for (auto& entry : sources) entry.source->cancelled_.store(true);
}

bool RunLoop::matches(std::string_view registered, std::string_view mode) {
  return registered == commonModes || registered == mode;
}

void RunLoop::stop() {
  stopRequested_.store(true);
  wakeUp();
}

void RunLoop::wakeUp() { writeWake(wakeFd_.get()); }

void RunLoop::addTimer(const std::shared_ptr<RunLoopTimer>& timer, std::string_view mode) {
  if (!timer) return;
  if (timer->scheduled_.exchange(true)) fatal("A RunLoopTimer can be added to one run loop only, once");
  {
    std::lock_guard lock(mutex_);
    timers_.push_back(TimerEntry{timer, std::string(mode)});
  }
  wakeUp();
}

std::shared_ptr<RunLoopSource> RunLoop::addReadSource(int fd, std::function<void()> handler,
                                                      std::string_view mode) {
  auto source = std::make_shared<RunLoopSource>(RunLoopSource::Passkey{}, fd, std::move(handler),
                                                weak_from_this());
  {
    std::lock_guard lock(mutex_);
    sources_.push_back(SourceEntry{source, std::string(mode)});
  }
  wakeUp();
  return source;
}

void RunLoop::fireDueTimers(std::string_view mode) {
  std::vector<std::shared_ptr<RunLoopTimer>> due;
  std::vector<TimerEntry> finished;  // released outside the lock
  const auto now = Clock::now();
  {
    std::lock_guard lock(mutex_);
    auto done = std::stable_partition(timers_.begin(), timers_.end(),
                                      [](const TimerEntry& e) { return e.timer->isValid(); });
    std::move(done, timers_.end(), std::back_inserter(finished));
    timers_.erase(done, timers_.end());
    for (const auto& entry : timers_) {
      if (matches(entry.mode, mode) && entry.timer->fireTime_ <= now) due.push_back(entry.timer);
    }
  }
  for (const auto& timer : due) {
    if (!timer->isValid() || timer->fireTime_ > now) continue;  // a nested run got it first
    const auto interval = timer->interval_;
    if (interval > Clock::duration::zero()) {
      // Skip the firings that were missed, as a busy loop would.
      const auto behind = now - timer->fireTime_;
      const auto missed = behind / interval + 1;
      // Saturate: an interval of centuries must not wrap the clock around.
      if (interval > (Clock::time_point::max() - timer->fireTime_) / missed) {
        timer->fireTime_ = Clock::time_point::max();
      } else {
        timer->fireTime_ += missed * interval;
      }
    } else {
      timer->fireTime_ = Clock::time_point::max();
    }
    if (timer->handler_) timer->handler_(timer);
    if (interval <= Clock::duration::zero()) timer->invalidate();
  }
}

RunLoop::Clock::time_point RunLoop::nextFireTime(std::string_view mode) {
  std::lock_guard lock(mutex_);
  auto next = Clock::time_point::max();
  for (const auto& entry : timers_) {
    if (entry.timer->isValid() && matches(entry.mode, mode)) next = std::min(next, entry.timer->fireTime_);
  }
  return next;
}

RunLoop::RunResult RunLoop::run(Clock::time_point until, std::string_view mode) {
  if (std::this_thread::get_id() != owner_) fatal("RunLoop::run() must be called on the loop's own thread");
  const int mainFd = servesMainQueue_ ? runtime_internal::mainQueueWakeDescriptor() : -1;
  std::vector<pollfd> fds;
  std::vector<std::shared_ptr<RunLoopSource>> watched;
  for (;;) {
    fireDueTimers(mode);
    if (servesMainQueue_) DispatchQueue::drainMain();
    if (stopRequested_.exchange(false)) return RunResult::stopped;
    const auto now = Clock::now();
    if (now >= until) return RunResult::timedOut;

    fds.clear();
    watched.clear();
    fds.push_back(pollfd{wakeFd_.get(), POLLIN, 0});
    if (mainFd >= 0) fds.push_back(pollfd{mainFd, POLLIN, 0});
    const std::size_t firstSource = fds.size();
    {
      std::lock_guard lock(mutex_);
      std::erase_if(sources_, [](const SourceEntry& e) { return e.source->isCancelled(); });
      for (const auto& entry : sources_) {
        if (!matches(entry.mode, mode)) continue;
        fds.push_back(pollfd{entry.source->fd_, POLLIN, 0});
        watched.push_back(entry.source);
      }
    }
    const timespec timeout = toTimespec(std::min(until, nextFireTime(mode)) - now);
    const int ready = ::ppoll(fds.data(), fds.size(), &timeout, nullptr);
    if (ready < 0 && errno != EINTR) fatal("RunLoop: poll failed");
    if (ready <= 0) continue;
    if (fds[0].revents & POLLIN) readWake(wakeFd_.get());
    for (std::size_t i = firstSource; i < fds.size(); ++i) {
      const short revents = fds[i].revents;
      if (revents == 0) continue;
      const auto& source = watched[i - firstSource];
      if (revents & POLLNVAL) {
        source->cancelled_.store(true);  // closed under us: watching it would spin
        continue;
      }
      if (!source->isCancelled() && source->handler_) source->handler_();
      if (stopRequested_.load()) break;
    }
    watched.clear();
  }
}

}  // namespace vantrel
