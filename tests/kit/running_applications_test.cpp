// The running applications read from /proc, the readers of /proc's texts,
// and opening URLs through xdg-open.
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "tests/foundation/files_test_support.h"
#include "tests/support/fixtures.h"
#include "vantrel/platform/foundation/bundles/main_bundle.h"
#include "vantrel/platform/kit/internal/proc_readers.h"
#include "vantrel/platform/kit/proc_running_applications.h"
#include "vantrel/platform/kit/xdg_url_opener.h"

extern char** environ;

namespace vantrel {
namespace {

using kit_internal::parseProcStat;
using testing::ScopedEnv;
using testing::TemporaryDirectory;

RunningApplication::Ptr findPid(const std::vector<RunningApplication::Ptr>& apps, pid_t pid) {
  for (const auto& app : apps) {
    if (app->processIdentifier() == pid) return app;
  }
  return nullptr;
}

TEST(ProcRunningApplications, ListsThisProcessWithItsExecutableAndLaunchDate) {
  const auto apps = ProcRunningApplications::create()->runningApplications();
  const auto self = findPid(apps, ::getpid());
  ASSERT_NE(self, nullptr);
  const auto executable = std::filesystem::read_symlink("/proc/self/exe");
  EXPECT_EQ(self->localizedName(), executable.filename().string());
  ASSERT_TRUE(self->executableURL().has_value());
  EXPECT_EQ(self->executableURL()->path(), executable.string());
  ASSERT_TRUE(self->bundleURL().has_value());
  EXPECT_EQ(self->bundleURL()->path(), executable.parent_path().string());
  EXPECT_TRUE(self->bundleURL()->hasDirectoryPath());
  EXPECT_EQ(self->bundleIdentifier(), mainBundleIdentifier());
  ASSERT_TRUE(self->launchDate().has_value());
  const auto age = std::chrono::system_clock::now() - *self->launchDate();
  EXPECT_GT(age, -std::chrono::seconds(2));
  EXPECT_LT(age, std::chrono::minutes(1));
  // The current application is the same process.
  EXPECT_EQ(ProcRunningApplications::create()->currentApplication()->processIdentifier(), ::getpid());
  // In process identifier order.
  for (std::size_t i = 1; i < apps.size(); ++i) {
    EXPECT_LT(apps[i - 1]->processIdentifier(), apps[i]->processIdentifier());
  }
}

TEST(ProcRunningApplications, AChildLaunchedFromADesktopFileCarriesItsId) {
  std::vector<std::string> env = {"PATH=/usr/bin:/bin",
                                  "GIO_LAUNCHED_DESKTOP_FILE_PID=1",
                                  "GIO_LAUNCHED_DESKTOP_FILE=/usr/share/applications/org.example.Viewer.desktop"};
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::string program = "/bin/sleep";
  std::string seconds = "30";
  char* argv[] = {program.data(), seconds.data(), nullptr};
  pid_t child = 0;
  ASSERT_EQ(::posix_spawn(&child, program.c_str(), nullptr, nullptr, argv, envp.data()), 0);
  // posix_spawn returns once the program runs, so its environment is read.
  const auto app = findPid(ProcRunningApplications::create()->runningApplications(), child);
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  ASSERT_NE(app, nullptr);
  EXPECT_EQ(app->bundleIdentifier(), "org.example.Viewer");
  EXPECT_EQ(app->localizedName(), "sleep");
}

TEST(ProcRunningApplications, OneProcessByIdentifierAndNoneForAMissingOne) {
  const auto source = ProcRunningApplications::create();
  const auto self = source->applicationWithProcessIdentifier(::getpid());
  ASSERT_NE(self, nullptr);
  EXPECT_EQ(self->processIdentifier(), ::getpid());
  EXPECT_EQ(source->applicationWithProcessIdentifier(0), nullptr);
  EXPECT_EQ(source->applicationWithProcessIdentifier(-5), nullptr);
  EXPECT_EQ(source->menuBarOwningApplication(), nullptr);
  // No display: no frontmost application.
  ScopedEnv noDisplay("DISPLAY", std::nullopt);
  EXPECT_EQ(source->frontmostApplication(), nullptr);
}

// "pid (name) S" and the fields 4 to 21 as 1...18, then field 22.
std::string statLine(std::string_view name, std::string_view startTime) {
  std::string line = "4242 (" + std::string(name) + ") S";
  for (int field = 4; field <= 21; ++field) line += " " + std::to_string(field - 3);
  line += " " + std::string(startTime) + " 99 100\n";
  return line;
}

TEST(ProcReaders, StatNameAndStartTime) {
  struct Case {
    std::string text;
    std::optional<std::string> name;
    std::uint64_t ticks;
  };
  const Case cases[] = {
      {statLine("bash", "777"), "bash", 777},
      {statLine("a) (b c", "12"), "a) (b c", 12},
      {statLine("  ", "5"), "  ", 5},
      {statLine("(x)", "18446744073709551615"), "(x)", 18446744073709551615u},
      {"4242 (short) S 1 2 3\n", std::nullopt, 0},
      {statLine("bad", "-1"), std::nullopt, 0},
      {statLine("bad", "1x"), std::nullopt, 0},
      {"4242 no name S 1", std::nullopt, 0},
      {"4242 )odd( S", std::nullopt, 0},
      {"", std::nullopt, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto stat = parseProcStat(c.text);
    ASSERT_EQ(stat.has_value(), c.name.has_value());
    if (!stat) continue;
    EXPECT_EQ(stat->name, *c.name);
    EXPECT_EQ(stat->startTimeTicks, c.ticks);
  }
}

TEST(ProcReaders, BootTimeAndRealUid) {
  EXPECT_EQ(kit_internal::parseBootTime("cpu  1 2 3\nintr 5\nbtime 1700000000\nprocesses 9\n"), 1700000000);
  EXPECT_EQ(kit_internal::parseBootTime("cpu  1\nbtime\n"), std::nullopt);
  EXPECT_EQ(kit_internal::parseBootTime("cpu  1\n"), std::nullopt);
  EXPECT_EQ(kit_internal::parseBootTime("xbtime 5\n"), std::nullopt);
  EXPECT_EQ(kit_internal::parseRealUid("Name:\tsh\nUid:\t1000\t0\t0\t0\nGid:\t5\n"), 1000u);
  EXPECT_EQ(kit_internal::parseRealUid("Name:\tsh\nUid:\t99999999999\t0\n"), std::nullopt);
  EXPECT_EQ(kit_internal::parseRealUid("Name:\tsh\n"), std::nullopt);
}

TEST(ProcReaders, DesktopFileIdFromTheEnvironmentBlock) {
  using namespace std::string_literals;
  struct Case {
    std::string environ;
    std::optional<std::string> id;
  };
  const Case cases[] = {
      {"A=1\0GIO_LAUNCHED_DESKTOP_FILE=/usr/share/applications/org.gnome.Terminal.desktop\0B=2\0"s,
       "org.gnome.Terminal"},
      {"GIO_LAUNCHED_DESKTOP_FILE=/a/first.desktop\0GIO_LAUNCHED_DESKTOP_FILE=/a/second.desktop\0"s, "first"},
      {"GIO_LAUNCHED_DESKTOP_FILE_PID=12\0"s, std::nullopt},
      {"GIO_LAUNCHED_DESKTOP_FILE=/a/last-without-nul.desktop"s, "last-without-nul"},
      {"GIO_LAUNCHED_DESKTOP_FILE=plain-name\0"s, "plain-name"},
      {"GIO_LAUNCHED_DESKTOP_FILE=/a/.desktop\0"s, std::nullopt},
      {"GIO_LAUNCHED_DESKTOP_FILE=\0"s, std::nullopt},
      {"XGIO_LAUNCHED_DESKTOP_FILE=/a/x.desktop\0"s, std::nullopt},
      {""s, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.environ);
    EXPECT_EQ(kit_internal::launchedDesktopFileId(c.environ), c.id);
  }
}

// A folder holding a fake xdg-open, put first on PATH.
class FakeXdgOpen {
 public:
  explicit FakeXdgOpen(const std::string& body) : path_("PATH", dir_.path().string() + ":/usr/bin:/bin") {
    if (body.empty()) return;
    const auto script = dir_.path() / "xdg-open";
    std::ofstream(script) << "#!/bin/sh\n" << body;
    ::chmod(script.c_str(), 0755);
  }
  [[nodiscard]] std::filesystem::path file(const char* name) const { return dir_.path() / name; }

 private:
  TemporaryDirectory dir_;
  ScopedEnv path_;
};

TEST(XdgOpenUrlOpener, AnswersXdgOpensExitStatus) {
  const auto url = *URL::fromString("https://example.org/a?q=1");
  {
    FakeXdgOpen fake("printf '%s|%s' \"$#\" \"$1\" > \"$(dirname \"$0\")/args\"\nexit 0\n");
    EXPECT_TRUE(XdgOpenUrlOpener().openURL(url));
    EXPECT_EQ(testing::readFile(fake.file("args")), "1|https://example.org/a?q=1");
  }
  {
    FakeXdgOpen fake("exit 1\n");
    EXPECT_FALSE(XdgOpenUrlOpener().openURL(url));
  }
  {
    FakeXdgOpen fake("kill -9 $$\n");
    EXPECT_FALSE(XdgOpenUrlOpener().openURL(url));
  }
}

TEST(XdgOpenUrlOpener, AMissingProgramOpensNothing) {
  TemporaryDirectory empty;
  ScopedEnv path("PATH", empty.path().string());
  EXPECT_EQ(XdgOpenUrlOpener::findProgramOnPath("xdg-open"), std::nullopt);
  EXPECT_FALSE(XdgOpenUrlOpener().openURL(URL::fileURLWithPath("/tmp")));
}

TEST(XdgOpenUrlOpener, RelativePathEntriesAreNotSearched) {
  TemporaryDirectory dir;
  const auto script = dir.path() / "xdg-open";
  std::ofstream(script) << "#!/bin/sh\nexit 0\n";
  ::chmod(script.c_str(), 0755);
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  {
    ScopedEnv path("PATH", ":.:bin");
    EXPECT_EQ(XdgOpenUrlOpener::findProgramOnPath("xdg-open"), std::nullopt);
  }
  std::filesystem::current_path(previous);
}

TEST(XdgOpenUrlOpener, DoesNotWaitForWhatXdgOpenLeavesRunning) {
  // Like a browser started by xdg-open: a child that outlives it and keeps
  // its standard output and error.
  FakeXdgOpen fake("sleep 30 &\necho $! > \"$(dirname \"$0\")/child\"\nexit 0\n");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(XdgOpenUrlOpener().openURL(URL::fileURLWithPath("/tmp")));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  const std::string child = testing::readFile(fake.file("child"));
  ASSERT_FALSE(child.empty());
  EXPECT_EQ(::kill(std::stoi(child), 0), 0) << "the child should still run";
  ::kill(std::stoi(child), SIGKILL);
}

}  // namespace
}  // namespace vantrel
