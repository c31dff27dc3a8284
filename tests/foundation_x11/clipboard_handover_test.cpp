// What a program copied outlives it on a desktop with a clipboard manager:
// at exit the program asks the manager to keep the clipboard (SAVE_TARGETS
// on CLIPBOARD_MANAGER) and serves it the data meanwhile. The handover is
// bounded, and without a manager the exit costs nothing.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
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

// The program that copies and exits: this test binary, run again for the
// one case below, which does nothing unless the variable names the text.
TEST(ClipboardHandOverChild, CopiesAndExits) {
  const char* text = std::getenv(kChildVariable);
  const char* display = std::getenv(kChildDisplay);
  if (text == nullptr || display == nullptr) GTEST_SKIP() << "runs as the program started by ClipboardHandOver";
  ::setenv("DISPLAY", display, 1);
  auto& general = dynamic_cast<SystemPasteboard&>(Pasteboard::general());
  general.clearContents();
  PasteboardItem item;
  item.setString(text, PasteboardType::string());
  general.writeItems({item});
  std::exit(general.ownsDesktopClipboard() ? 0 : 3);
}

// Runs the copying program; its exit status, or nullopt when it did not end
// within 20 s.
std::optional<int> copyAndExit(const std::string& display, const std::string& text) {
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
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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
    std::chrono::milliseconds longest;  // the exit's whole run, start-up included
  };
  const Case cases[] = {
      {"a manager keeps the text", Manager::keeps, "kept \xE2\x9C\x93", std::chrono::milliseconds(1800)},
      // Starting the program under the sanitizers takes most of this.
      {"no manager costs nothing", Manager::none, std::nullopt, std::chrono::milliseconds(1800)},
      {"a silent manager is given up", Manager::silent, std::nullopt, std::chrono::milliseconds(4500)},
  };
  for (const Case& c : cases) {
    std::optional<testing::ClipboardManager> manager;
    if (c.manager != Manager::none) {
      manager.emplace(server->displayName(), c.manager == Manager::silent);
      ASSERT_TRUE(manager->owning()) << c.name;
    }
    const auto start = Clock::now();
    EXPECT_EQ(copyAndExit(server->displayName(), "kept \xE2\x9C\x93"), std::optional(0)) << c.name;
    const auto took = Clock::now() - start;
    EXPECT_LT(took, c.longest) << c.name;
    if (c.manager == Manager::silent) {
      EXPECT_GE(took, std::chrono::milliseconds(1900)) << c.name;
    }
    if (manager) {
      EXPECT_EQ(manager->saveRequests(), 1) << c.name;
      EXPECT_EQ(manager->saved(), c.saved) << c.name;
    }
  }
}

}  // namespace
}  // namespace vantrel
