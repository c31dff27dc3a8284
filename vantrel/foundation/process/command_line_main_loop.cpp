#include "vantrel/foundation/process/command_line_main_loop.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <memory>
#include <mutex>

#include "vantrel/core/console.h"
#include "vantrel/core/fatal.h"
#include "vantrel/platform/dispatch/run_loop.h"
#include "vantrel/platform/posix/write_all.h"

namespace vantrel {

namespace {

// Set from the start of the process; only ever cleared. Atomic because the
// loop may run on one thread while another asks it to stop.
std::atomic<bool> keepRunning{true};

// The write end of the interrupt pipe, read by the signal handler.
std::atomic<int> interruptWriteFd{-1};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs a lock-free load");

struct LoopState {
  std::mutex mutex;
  std::function<void()> onEnding;
  std::vector<std::any> retainedObjects;
  std::shared_ptr<RunLoop> running;  // the loop inside runAndWait, if any
  int interruptReadFd = -1;
  std::shared_ptr<RunLoopSource> interruptSource;
  std::weak_ptr<RunLoop> interruptLoop;
};

LoopState& state() {
  static LoopState* instance = new LoopState;  // the signal pipe outlives static destructors
  return *instance;
}

// Async-signal-safe: a write to a non-blocking pipe and nothing else. A full
// pipe drops the byte, but the reader already has interrupts to report.
extern "C" void onInterruptSignal(int) {
  const int savedErrno = errno;
  const int fd = interruptWriteFd.load(std::memory_order_relaxed);
  if (fd >= 0) {
    const char byte = 1;
    (void)posix::writeAll(fd, &byte, 1);  // signal-safe, retries EINTR
  }
  errno = savedErrno;
}

void requestStop() {
  keepRunning.store(false);
  LoopState& s = state();
  std::lock_guard lock(s.mutex);
  if (s.running) s.running->stop();
}

void readInterrupts(int fd) {
  char bytes[64];
  for (;;) {
    const ssize_t n = ::read(fd, bytes, sizeof bytes);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    for (ssize_t i = 0; i < n; ++i) {
      consolePrint("Caught interrupt, stopping...");
      requestStop();
    }
  }
}

// Installs the handler (idempotent) and makes the calling thread's loop the
// one that reports interrupts.
void installInterruptHandler(const std::shared_ptr<RunLoop>& loop) {
  LoopState& s = state();
  std::lock_guard lock(s.mutex);
  if (s.interruptReadFd < 0) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) fatal("Cannot create the interrupt pipe");
    s.interruptReadFd = fds[0];
    interruptWriteFd.store(fds[1]);
  }
  struct sigaction action {};
  action.sa_handler = onInterruptSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGINT, &action, nullptr);

  if (s.interruptLoop.lock() == loop && s.interruptSource && !s.interruptSource->isCancelled()) return;
  if (s.interruptSource) s.interruptSource->cancel();
  const int fd = s.interruptReadFd;
  s.interruptSource = loop->addReadSource(fd, [fd] { readInterrupts(fd); }, RunLoop::commonModes);
  s.interruptLoop = loop;
}

}  // namespace

void CommandLineMainLoop::runAndWait(bool suppressMessage, std::vector<std::any> objectsToRetain) {
  LoopState& s = state();
  std::vector<std::any> released;
  {
    std::lock_guard lock(s.mutex);
    released.swap(s.retainedObjects);
    s.retainedObjects = std::move(objectsToRetain);
  }
  released.clear();  // the earlier call's objects go now, outside the lock

  if (!suppressMessage) consolePrint("Running RunLoop and waiting for SIGINT (ctrl-c) ...");

  auto loop = RunLoop::current();
  installInterruptHandler(loop);
  {
    std::lock_guard lock(s.mutex);
    s.running = loop;
  }
  // `running` is published before the flag is read, so a stop request
  // either sees the loop to wake or is seen here.
  while (keepRunning.load()) {
    loop->run(RunLoop::Clock::now() + std::chrono::seconds(2), RunLoop::defaultMode);
  }
  std::function<void()> ending;
  {
    std::lock_guard lock(s.mutex);
    s.running.reset();
    ending = s.onEnding;
  }
  if (ending) ending();
}

void CommandLineMainLoop::stop() { requestStop(); }

std::function<void()> CommandLineMainLoop::onEnding() {
  LoopState& s = state();
  std::lock_guard lock(s.mutex);
  return s.onEnding;
}

void CommandLineMainLoop::setOnEnding(std::function<void()> closure) {
  LoopState& s = state();
  std::lock_guard lock(s.mutex);
  s.onEnding = std::move(closure);
}

}  // namespace vantrel
