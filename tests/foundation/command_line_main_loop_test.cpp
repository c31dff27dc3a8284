// The loop's stop flag is cleared once per process, for good, so each
// scenario runs in a child process: this test program started again with a
// filter naming one child test and VANTREL_MAIN_LOOP_CHILD set.
#include "vantrel/foundation/process/command_line_main_loop.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/core/console.h"
#include "vantrel/core/thread.h"
#include "vantrel/foundation/time/timers_stopwatches.h"
#include "vantrel/platform/dispatch/run_loop.h"

extern char** environ;

namespace vantrel {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr const char* kChildVariable = "VANTREL_MAIN_LOOP_CHILD";
constexpr std::string_view kStartLine = "Running RunLoop and waiting for SIGINT (ctrl-c) ...\n";

// ---- the parent side ------------------------------------------------------

class Child {
 public:
  explicit Child(const std::string& testName) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    std::string filter = "--gtest_filter=CommandLineMainLoopChild." + testName;
    std::string self = "/proc/self/exe";
    std::vector<char*> argv{self.data(), filter.data(), nullptr};
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) env.emplace_back(*e);
    env.push_back(std::string(kChildVariable) + "=1");
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    if (::posix_spawn(&pid_, self.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    fd_ = fds[0];
  }
  ~Child() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      int status;
      ::waitpid(pid_, &status, 0);
    }
    if (fd_ >= 0) ::close(fd_);
  }

  bool started() const { return pid_ > 0; }
  const std::string& output() const { return output_; }

  // Reads until `text` has appeared (true) or end of output or the limit.
  bool readUntil(std::string_view text, Clock::duration limit = 20s) {
    const auto deadline = Clock::now() + limit;
    while (output_.find(text) == std::string::npos) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0) return false;
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(left)) <= 0) continue;
      char buffer[4096];
      const ssize_t n = ::read(fd_, buffer, sizeof buffer);
      if (n <= 0) return false;
      output_.append(buffer, static_cast<std::size_t>(n));
    }
    return true;
  }

  void interrupt() { ::kill(pid_, SIGINT); }

  // Reads the rest and answers the exit status (-1 when it did not exit
  // normally within the limit).
  int finish() {
    readUntil("\x01never\x01", 30s);
    int status = 0;
    const pid_t pid = pid_;
    pid_ = -1;
    const auto deadline = Clock::now() + 20s;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
      if (Clock::now() > deadline) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        return -1;
      }
      std::this_thread::sleep_for(5ms);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  pid_t pid_ = -1;
  int fd_ = -1;
  std::string output_;
};

TEST(CommandLineMainLoop, InterruptStopsTheLoopPrintsTheLinesRunsOnEndingAndReturns) {
  Child child("Interrupt");
  ASSERT_TRUE(child.started());
  ASSERT_TRUE(child.readUntil(kStartLine)) << child.output();
  std::this_thread::sleep_for(100ms);  // inside the loop's first slice
  const auto sent = Clock::now();
  child.interrupt();
  ASSERT_TRUE(child.readUntil("runAndWait returned\n")) << child.output();
  EXPECT_LT(Clock::now() - sent, 1500ms);  // woken at once, not at the end of the slice
  EXPECT_EQ(child.finish(), 0) << child.output();
  EXPECT_NE(child.output().find(std::string(kStartLine) +
                                "Caught interrupt, stopping...\n"
                                "onEnding ran\n"
                                "runAndWait returned\n"
                                "Caught interrupt, stopping...\n"
                                "still alive\n"
                                "onEnding ran\n"
                                "second call returned\n"),
            std::string::npos)
      << child.output();
}

TEST(CommandLineMainLoop, StopFromAnotherThreadEndsALoopRunningOffTheMainThread) {
  Child child("StopFromAnotherThread");
  ASSERT_TRUE(child.started());
  EXPECT_EQ(child.finish(), 0) << child.output();
  EXPECT_NE(child.output().find("onEnding ran on the loop's thread\nreturned promptly\n"), std::string::npos)
      << child.output();
}

TEST(CommandLineMainLoop, AStopBeforeTheLoopRunsNoSliceAndSuppressMessagePrintsNothing) {
  Child child("StopBefore");
  ASSERT_TRUE(child.started());
  EXPECT_EQ(child.finish(), 0) << child.output();
  EXPECT_NE(child.output().find("[ RUN      ] CommandLineMainLoopChild.StopBefore\n"
                                "onEnding ran\n"
                                "returned promptly\n"),
            std::string::npos)
      << child.output();
}

// ---- the child side -------------------------------------------------------

bool inChild() { return std::getenv(kChildVariable) != nullptr; }

// The parent reads a pipe, and standard output was already in use (fully
// buffered) when the test began: flush it often from the loop itself.
std::shared_ptr<RunLoopTimer> flushOften() {
  return scheduleRepeatInterval(0.01, [](const std::shared_ptr<RunLoopTimer>&) { std::fflush(stdout); });
}

TEST(CommandLineMainLoopChild, Interrupt) {
  if (!inChild()) GTEST_SKIP() << "runs only as a child of CommandLineMainLoop tests";
  auto flusher = flushOften();
  ASSERT_TRUE(isMainThread());
  CommandLineMainLoop::setOnEnding([] { consolePrint("onEnding ran"); });
  auto retained = std::make_shared<int>(1);
  std::weak_ptr<int> weak = retained;
  CommandLineMainLoop::runAndWait(false, {std::any(retained)});
  retained.reset();
  consolePrint("runAndWait returned");
  EXPECT_FALSE(weak.expired());  // kept until the next call

  // A later interrupt is reported by the loop and does not end the process.
  ASSERT_EQ(::raise(SIGINT), 0);
  for (int i = 0; i < 5; ++i) RunLoop::current()->run(Clock::now() + 20ms);
  consolePrint("still alive");

  CommandLineMainLoop::runAndWait(true);
  consolePrint("second call returned");
  EXPECT_TRUE(weak.expired());
}

TEST(CommandLineMainLoopChild, StopFromAnotherThread) {
  if (!inChild()) GTEST_SKIP() << "runs only as a child of CommandLineMainLoop tests";
  std::thread::id loopThread;
  std::thread::id endedOn;
  CommandLineMainLoop::setOnEnding([&] { endedOn = std::this_thread::get_id(); });
  Clock::time_point stopped;
  std::thread loop([&] {
    loopThread = std::this_thread::get_id();
    CommandLineMainLoop::runAndWait(true);
  });
  std::this_thread::sleep_for(200ms);  // the loop is waiting in a slice
  stopped = Clock::now();
  CommandLineMainLoop::stop();
  loop.join();
  const auto took = Clock::now() - stopped;
  if (endedOn == loopThread) consolePrint("onEnding ran on the loop's thread");
  if (took < 1s) consolePrint("returned promptly");
}

TEST(CommandLineMainLoopChild, StopBefore) {
  if (!inChild()) GTEST_SKIP() << "runs only as a child of CommandLineMainLoop tests";
  CommandLineMainLoop::setOnEnding([] { consolePrint("onEnding ran"); });
  CommandLineMainLoop::stop();
  const auto start = Clock::now();
  CommandLineMainLoop::runAndWait(true);
  if (Clock::now() - start < 1s) consolePrint("returned promptly");
}

}  // namespace
}  // namespace vantrel
