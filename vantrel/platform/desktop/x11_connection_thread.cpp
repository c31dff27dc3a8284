#include "vantrel/platform/desktop/internal/x11_connection_thread.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <exception>
#include <future>
#include <mutex>
#include <utility>
#include <vector>

#include "vantrel/core/no_destructor.h"
#include "vantrel/platform/desktop/internal/x11_connection.h"

#if VANTREL_WITH_X11
#include <poll.h>

#include <X11/Xlib.h>
#endif

namespace vantrel::desktop_internal {

X11ConnectionThread::~X11ConnectionThread() { stop(); }

bool X11ConnectionThread::inStartingProcess() const {
  return startedIn_ != 0 && startedIn_ == static_cast<long>(::getpid());
}

void X11ConnectionThread::reportThrow(std::string_view what) const noexcept {
  reportUncaughtOnThread(std::current_exception(), what, where_);
}

void X11ConnectionThread::abandonForkedCopy() {
  // Joining would wait forever for a thread this process never had, and
  // closing the display would write on the parent's socket. Both handles
  // are kept where they stay reachable, and never released.
  struct Abandoned {
    std::mutex mutex;
    std::vector<std::thread> threads;
    std::vector<std::unique_ptr<X11Connection>> connections;
  };
  if (!thread_.joinable() && !connection_) return;
  static NoDestructor<Abandoned> abandoned;
  std::lock_guard lock(abandoned->mutex);
  if (thread_.joinable()) abandoned->threads.push_back(std::move(thread_));
  if (connection_) abandoned->connections.push_back(std::move(connection_));
}

void X11ConnectionThread::stop() {
  if (!inStartingProcess()) {
    // A forked child (or a thread never started): the mutexes may have been
    // held by the parent's threads at the fork, so none is touched.
    abandonForkedCopy();
    return;
  }
  commands_.requestStop();
  if (!thread_.joinable()) return;
  if (onThread()) {
    thread_.detach();  // a hook released the last owner: the loop ends on its own
  } else if (limit_ && !commands_.waitUntilFinished(*limit_)) {
    // Held by a server that does not answer: `keepAlive` owns this object,
    // so the thread may end whenever it can.
    thread_.detach();
  } else {
    thread_.join();
  }
}

bool X11ConnectionThread::run(std::function<void()> work, std::optional<std::chrono::milliseconds> limit) {
  if (!inStartingProcess()) return false;
  if (onThread()) {
    if (!connected_ || commands_.stopRequested()) return false;
    try {
      work();
    } catch (...) {
      reportThrow("a command");
      return false;
    }
    return true;
  }
  return commands_.run(std::move(work), limit);
}

#if VANTREL_WITH_X11

_XDisplay* X11ConnectionThread::display() const { return connection_->display(); }

bool X11ConnectionThread::lost() {
  if (connection_->isLost()) connected_ = false;
  return !connected_;
}

bool X11ConnectionThread::waitForInput(std::optional<Clock::time_point> deadline) {
  // Sending what is buffered may read the server's answers into Xlib's
  // queue, where poll() would never see them: the wait is over then.
  if (XEventsQueued(display(), QueuedAfterFlush) > 0) return true;
  int timeout = -1;
  if (deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - Clock::now());
    if (left.count() <= 0) return false;
    timeout = static_cast<int>(std::min<std::int64_t>(left.count() + 1, 60'000));
  }
  pollfd fds[2] = {{ConnectionNumber(display()), POLLIN, 0}, {commands_.wakeFd(), POLLIN, 0}};
  const int ready = ::poll(fds, 2, timeout);
  if (ready < 0 && errno != EINTR) connected_ = false;
  if ((fds[1].revents & POLLIN) != 0) commands_.drainWakeups();
  // A hung-up connection is read (and reported) by XPending on the next pass.
  return true;
}

void X11ConnectionThread::loop() {
  Display* const xDisplay = display();
  for (;;) {
    commands_.runPending(where_);
    if (commands_.stopRequested()) break;
    while (!lost() && XPending(xDisplay) > 0) {
      XEvent event;
      XNextEvent(xDisplay, &event);
      try {
        hooks_.event(event);
      } catch (...) {
        reportThrow("an event handler");
      }
    }
    if (lost()) break;
    std::optional<Clock::time_point> until;
    try {
      if (hooks_.beforeWait) until = hooks_.beforeWait();
    } catch (...) {
      reportThrow("the wait's set-up");
    }
    if (lost()) break;
    XFlush(xDisplay);
    // A command may have queued while another one waited for the server
    // (taking the selection, a handover), which took its wake-up.
    if (commands_.hasPending()) continue;
    (void)waitForInput(until);
    if (lost()) break;
  }
  if (hooks_.close) {
    try {
      hooks_.close(lost());
    } catch (...) {
      reportThrow("the closing");
    }
  }
  connection_.reset();
  connected_ = false;
  commands_.finish();
}

bool X11ConnectionThread::start(const std::string& displayName, Hooks hooks, std::shared_ptr<const void> keepAlive,
                                std::optional<std::chrono::milliseconds> limit) {
  if (!commands_.valid()) return false;
  limit_ = limit;
  hooks_ = std::move(hooks);
  where_ = "the X thread of \"" + (displayName.empty() ? std::string("$DISPLAY") : displayName) + "\"";
  startedIn_ = static_cast<long>(::getpid());
  std::promise<bool> opened;
  std::future<bool> isOpen = opened.get_future();
  thread_ = std::thread([this, displayName, keepAlive = std::move(keepAlive), opened = std::move(opened)]() mutable {
    threadId_ = std::this_thread::get_id();
    connection_ = std::make_unique<X11Connection>(displayName);
    const auto setUp = [&] {
      try {
        return hooks_.open(*connection_);
      } catch (...) {
        reportThrow("the set-up");
        return false;
      }
    };
    // A caller that stopped waiting for the open has asked for a stop.
    if (!connection_->isOpen() || commands_.stopRequested() || !setUp() || lost()) {
      connection_.reset();
      connected_ = false;
      commands_.finish();
      opened.set_value(false);
      return;
    }
    opened.set_value(true);
    loop();
    // The hooks may hold what `keepAlive` keeps; both go on this thread.
    hooks_ = Hooks{};
    keepAlive.reset();
  });
  if (limit && isOpen.wait_for(*limit) != std::future_status::ready) {
    connected_ = false;
    commands_.requestStop();
    thread_.detach();  // `keepAlive` owns this object: the thread ends on its own
    return false;
  }
  if (isOpen.get()) return true;
  thread_.join();
  return false;
}

#else

_XDisplay* X11ConnectionThread::display() const { return nullptr; }
bool X11ConnectionThread::lost() { return true; }
bool X11ConnectionThread::waitForInput(std::optional<Clock::time_point>) { return false; }
void X11ConnectionThread::loop() {}
bool X11ConnectionThread::start(const std::string&, Hooks, std::shared_ptr<const void>,
                                std::optional<std::chrono::milliseconds>) {
  connected_ = false;
  commands_.finish();
  return false;
}

#endif  // VANTREL_WITH_X11

}  // namespace vantrel::desktop_internal
