// A child forked from a program that serves the clipboard copies on a
// connection of its own. It used to keep the parent's clipboard server,
// whose thread does not exist in the child: a write waited for that thread
// twice (about 10 s) and was lost, and reads answered the child's copy of
// the model as if the child served the clipboard.
#include "vantrel/platform/desktop/system_pasteboard.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/foundation/files_test_support.h"
#include "tests/foundation_x11/xclip_runner.h"
#include "tests/support/xvfb_server.h"

namespace vantrel {
namespace {

using testing::findXclip;
using testing::runXclip;
using testing::ScopedEnv;
using Clock = std::chrono::steady_clock;

constexpr std::string_view kParentBeforeFork = "the parent's copy from before the fork";
constexpr std::string_view kParentAfterFork = "the parent's copy from after the fork";
constexpr std::string_view kChildText = "the child's copy";

// One direction of lines between the test and its child.
class Channel {
 public:
  Channel() {
    if (::pipe2(fds_, O_CLOEXEC) != 0) fds_[0] = fds_[1] = -1;
  }
  ~Channel() {
    for (int fd : fds_) {
      if (fd >= 0) ::close(fd);
    }
  }
  Channel(const Channel&) = delete;
  Channel& operator=(const Channel&) = delete;

  [[nodiscard]] bool ok() const { return fds_[0] >= 0; }

  void send(std::string_view text) const {
    while (!text.empty()) {
      const ssize_t n = ::write(fds_[1], text.data(), text.size());
      if (n <= 0) return;
      text.remove_prefix(static_cast<std::size_t>(n));
    }
  }

  // The next `count` lines, fewer when `limit` passes first.
  std::vector<std::string> receive(std::size_t count, std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    std::vector<std::string> lines;
    for (;;) {
      for (std::size_t end; lines.size() < count && (end = pending_.find('\n')) != std::string::npos;) {
        lines.push_back(pending_.substr(0, end));
        pending_.erase(0, end + 1);
      }
      if (lines.size() == count) return lines;
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      if (left.count() <= 0) return lines;
      pollfd fd{fds_[0], POLLIN, 0};
      if (::poll(&fd, 1, static_cast<int>(left.count())) <= 0) continue;
      char buffer[512];
      const ssize_t n = ::read(fds_[0], buffer, sizeof buffer);
      if (n <= 0) return lines;
      pending_.append(buffer, static_cast<std::size_t>(n));
    }
  }

 private:
  int fds_[2] = {-1, -1};
  std::string pending_;
};

// The forked child, ended when the test leaves early.
struct Child {
  pid_t pid = -1;
  ~Child() {
    if (pid > 0) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, nullptr, 0);
    }
  }
  // The exit status, or -1 when it did not exit normally within `limit`.
  int wait(std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
      if (Clock::now() > deadline) return -1;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
};

PasteboardItem stringItem(std::string_view text) {
  PasteboardItem item;
  item.setString(std::string(text), PasteboardType::string());
  return item;
}

// In the child: what it reads, whether it owns the clipboard, how long its
// copy takes, and the same after the copy; then it serves the clipboard
// until the test is done with it. Ends with _exit: the process is a copy of
// the test's, whose exit work is not the child's.
[[noreturn]] void runChild(Channel& fromTest, Channel& toTest) {
  int status = 2;
  try {
    if (fromTest.receive(1, std::chrono::seconds(30)) != std::vector<std::string>{"go"}) ::_exit(3);
    auto& general = dynamic_cast<SystemPasteboard&>(Pasteboard::general());
    const std::string readBefore = general.stringForType(PasteboardType::string()).value_or("(none)");
    const bool ownedBefore = general.ownsDesktopClipboard();
    const auto start = Clock::now();
    general.clearContents();
    general.writeItems({stringItem(kChildText)});
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    const bool ownedAfter = general.ownsDesktopClipboard();
    const std::string readAfter = general.stringForType(PasteboardType::string()).value_or("(none)");
    toTest.send(readBefore + "\n" + (ownedBefore ? "owned" : "not owned") + "\n" + std::to_string(took.count()) +
                "\n" + (ownedAfter ? "owned" : "not owned") + "\n" + readAfter + "\n");
    (void)fromTest.receive(1, std::chrono::seconds(30));
    status = 0;
  } catch (...) {
    status = 4;
  }
  ::_exit(status);
}

TEST(SystemPasteboardFork, AForkedChildCopiesOnItsOwnConnectionAtOnce) {
  if (findXclip().empty()) GTEST_SKIP() << "xclip is not installed; X11 clipboard test skipped";
  VANTREL_REQUIRE_XVFB(server);
  ScopedEnv display("DISPLAY", server->displayName());
  auto& general = dynamic_cast<SystemPasteboard&>(Pasteboard::general());
  general.clearContents();
  general.writeItems({stringItem(kParentBeforeFork)});
  ASSERT_TRUE(general.ownsDesktopClipboard());

  Channel toChild;
  Channel fromChild;
  ASSERT_TRUE(toChild.ok() && fromChild.ok());
  Child child;
  child.pid = ::fork();
  ASSERT_GE(child.pid, 0);
  if (child.pid == 0) runChild(toChild, fromChild);

  // The parent copies again: the child's copy of the model is stale now,
  // and only asking the clipboard's owner finds what it holds.
  general.clearContents();
  general.writeItems({stringItem(kParentAfterFork)});
  toChild.send("go\n");
  const std::vector<std::string> answers = fromChild.receive(5, std::chrono::seconds(60));
  ASSERT_EQ(answers.size(), 5u) << "the child did not answer";
  EXPECT_EQ(answers[0], kParentAfterFork);
  EXPECT_EQ(answers[1], "not owned");
  // A wait for the parent's thread took 5 s at a time; a copy of its own takes
  // a few round trips.
  EXPECT_LT(std::stol(answers[2]), 4000);
  EXPECT_EQ(answers[3], "owned");
  EXPECT_EQ(answers[4], kChildText);

  // Another client pastes the child's copy while the child serves it.
  const testing::XclipResult pasted = runXclip(server->displayName(), {"-selection", "clipboard", "-o"});
  EXPECT_EQ(pasted.exitStatus, 0);
  EXPECT_EQ(pasted.output, kChildText);
  // The parent learns that another client took the clipboard.
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  while (general.ownsDesktopClipboard() && Clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_FALSE(general.ownsDesktopClipboard());

  toChild.send("done\n");
  EXPECT_EQ(child.wait(std::chrono::seconds(20)), 0);

  // The general pasteboard's connection closes before the server stops.
  ScopedEnv noDisplay("DISPLAY", std::nullopt);
  general.clearContents();
}

}  // namespace
}  // namespace vantrel
