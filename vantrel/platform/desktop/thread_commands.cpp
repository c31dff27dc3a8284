#include "vantrel/platform/desktop/thread_commands.h"

#include <future>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <exception>
#include <utility>
#include <vector>

#include "vantrel/core/console.h"
#include "vantrel/core/error.h"
#include "vantrel/core/no_destructor.h"
#include "vantrel/platform/desktop/x11_connection.h"
#include "vantrel/platform/posix/write_all.h"

#if VANTREL_WITH_X11
#include <poll.h>

#include <X11/Xlib.h>
#endif

namespace vantrel {

namespace {

// A throw must not leave the thread: it would end the process, and with it
// the service's other handlers and callers. It is reported in the words a
// queue uses for a throwing block, on standard error, and the thread serves on.
void reportUncaught(const std::exception_ptr& error, std::string_view what, std::string_view where) noexcept {
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

}  // namespace

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
      reportUncaught(std::current_exception(), "a command", thread);
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

X11ConnectionThread::~X11ConnectionThread() { stop(); }

bool X11ConnectionThread::inStartingProcess() const {
  return startedIn_ != 0 && startedIn_ == static_cast<long>(::getpid());
}

void X11ConnectionThread::reportThrow(std::string_view what) const noexcept {
  reportUncaught(std::current_exception(), what, where_);
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

bool X11ConnectionThread::start(const std::string& displayName, Hooks hooks, std::shared_ptr<const void> keepAlive) {
  if (!commands_.valid()) return false;
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
    if (!connection_->isOpen() || !setUp() || lost()) {
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
  if (isOpen.get()) return true;
  thread_.join();
  return false;
}

#else

_XDisplay* X11ConnectionThread::display() const { return nullptr; }
bool X11ConnectionThread::lost() { return true; }
bool X11ConnectionThread::waitForInput(std::optional<Clock::time_point>) { return false; }
void X11ConnectionThread::loop() {}
bool X11ConnectionThread::start(const std::string&, Hooks, std::shared_ptr<const void>) {
  connected_ = false;
  commands_.finish();
  return false;
}

#endif  // VANTREL_WITH_X11

}  // namespace vantrel
