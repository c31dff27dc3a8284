#include "vantrel/platform/desktop/thread_commands.h"

#include <future>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <utility>

#include "vantrel/platform/desktop/x11_connection.h"
#include "vantrel/platform/posix/write_all.h"

#if VANTREL_WITH_X11
#include <poll.h>

#include <X11/Xlib.h>
#endif

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

void X11ConnectionThread::stop() {
  commands_.requestStop();
  if (!thread_.joinable()) return;
  if (onThread()) {
    thread_.detach();  // a hook released the last owner: the loop ends on its own
  } else {
    thread_.join();
  }
}

bool X11ConnectionThread::run(std::function<void()> work, std::optional<std::chrono::milliseconds> limit) {
  if (onThread()) {
    if (!connected_ || commands_.stopRequested()) return false;
    work();
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
    commands_.runPending();
    if (commands_.stopRequested()) break;
    while (!lost() && XPending(xDisplay) > 0) {
      XEvent event;
      XNextEvent(xDisplay, &event);
      hooks_.event(event);
    }
    if (lost()) break;
    const std::optional<Clock::time_point> until = hooks_.beforeWait ? hooks_.beforeWait() : std::nullopt;
    if (lost()) break;
    XFlush(xDisplay);
    // A command may have queued while another one waited for the server
    // (taking the selection, a handover), which took its wake-up.
    if (commands_.hasPending()) continue;
    (void)waitForInput(until);
    if (lost()) break;
  }
  if (hooks_.close) hooks_.close(lost());
  connection_.reset();
  connected_ = false;
  commands_.finish();
}

bool X11ConnectionThread::start(const std::string& displayName, Hooks hooks, std::shared_ptr<const void> keepAlive) {
  if (!commands_.valid()) return false;
  hooks_ = std::move(hooks);
  std::promise<bool> opened;
  std::future<bool> isOpen = opened.get_future();
  thread_ = std::thread([this, displayName, keepAlive = std::move(keepAlive), opened = std::move(opened)]() mutable {
    threadId_ = std::this_thread::get_id();
    connection_ = std::make_unique<X11Connection>(displayName);
    if (!connection_->isOpen() || !hooks_.open(*connection_) || lost()) {
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
