// What a program copied outlives it on a desktop with a clipboard manager:
// at exit the program asks the manager to keep the clipboard (SAVE_TARGETS
// on CLIPBOARD_MANAGER) and serves it the data meanwhile. The handover is
// bounded, and without a manager the exit costs nothing.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/foundation/files_test_support.h"
#include "tests/support/xvfb_server.h"
#include "vantrel/platform/desktop/system_pasteboard.h"
#include "clipboard_manager.h"  // last: the X headers define None, Bool, Status...

extern char** environ;

namespace vantrel {
namespace {

using Clock = std::chrono::steady_clock;
constexpr const char* kChildVariable = "VANTREL_TEST_COPY_AND_EXIT";
constexpr const char* kChildDisplay = "VANTREL_TEST_COPY_DISPLAY";  // the test runner unsets DISPLAY

// When the copying program called exit.
Clock::time_point exitCalled;

// The program that copies and exits: this test binary, run again for the
// one case below, which does nothing unless the variable names the text.
// Its exit status is the time its exit took, in 20 ms steps (so the start-up
// of a process under the sanitizers is not counted), or 255 when it did not
// own the clipboard after the write.
TEST(ClipboardHandOverChild, CopiesAndExits) {
  const char* text = std::getenv(kChildVariable);
  const char* display = std::getenv(kChildDisplay);
  if (text == nullptr || display == nullptr) GTEST_SKIP() << "runs as the program started by ClipboardHandOver";
  ::setenv("DISPLAY", display, 1);
  // Registered before the first take, so it runs after the handover.
  std::atexit([] {
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - exitCalled);
    std::_Exit(static_cast<int>(std::min<std::int64_t>(took.count() / 20, 250)));
  });
  auto& general = dynamic_cast<SystemPasteboard&>(Pasteboard::general());
  general.clearContents();
  PasteboardItem item;
  item.setString(text, PasteboardType::string());
  general.writeItems({item});
  if (!general.ownsDesktopClipboard()) std::_Exit(255);
  exitCalled = Clock::now();
  std::exit(0);
}

// Runs the copying program; how long its exit took, or nullopt when it did
// not copy or not end within 20 s.
std::optional<std::chrono::milliseconds> copyAndExit(const std::string& display, const std::string& text) {
  testing::ScopedEnv child(kChildVariable, text);
  testing::ScopedEnv childDisplay(kChildDisplay, display);
  std::string self = "/proc/self/exe";
  std::string filter = "--gtest_filter=ClipboardHandOverChild.CopiesAndExits";
  char* argv[] = {self.data(), filter.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv, environ) != 0) return std::nullopt;
  const auto deadline = Clock::now() + std::chrono::seconds(20);
  int status = 0;
  while (::waitpid(pid, &status, WNOHANG) == 0) {
    if (Clock::now() > deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      return std::nullopt;
    }
    ::usleep(5000);
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) == 255) return std::nullopt;
  return std::chrono::milliseconds(20 * WEXITSTATUS(status));
}

TEST(ClipboardHandOver, AtExitTheClipboardManagerKeepsWhatWasCopied) {
  std::string whyNot;
  auto server = testing::XvfbServer::start(whyNot);
  if (!server) GTEST_SKIP() << whyNot << "; X11 clipboard test skipped";

  enum class Manager { keeps, none, silent };
  struct Case {
    const char* name;
    Manager manager;
    std::optional<std::string> saved;
    std::chrono::milliseconds shortest;  // the exit's handover
    std::chrono::milliseconds longest;
  };
  const Case cases[] = {
      {"a manager keeps the text", Manager::keeps, "kept \xE2\x9C\x93", std::chrono::milliseconds(0),
       std::chrono::milliseconds(1900)},
      {"no manager costs nothing", Manager::none, std::nullopt, std::chrono::milliseconds(0),
       std::chrono::milliseconds(500)},
      {"a silent manager is given up", Manager::silent, std::nullopt, std::chrono::milliseconds(1900),
       std::chrono::milliseconds(3500)},
  };
  for (const Case& c : cases) {
    std::optional<testing::ClipboardManager> manager;
    if (c.manager != Manager::none) {
      manager.emplace(server->displayName(), c.manager == Manager::silent);
      ASSERT_TRUE(manager->owning()) << c.name;
    }
    const auto took = copyAndExit(server->displayName(), "kept \xE2\x9C\x93");
    ASSERT_TRUE(took) << c.name;
    EXPECT_GE(*took, c.shortest) << c.name;
    EXPECT_LT(*took, c.longest) << c.name;
    if (manager) {
      EXPECT_EQ(manager->saveRequests(), 1) << c.name;
      EXPECT_EQ(manager->saved(), c.saved) << c.name;
    }
  }
}

}  // namespace
}  // namespace vantrel
