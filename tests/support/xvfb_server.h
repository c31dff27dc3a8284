// A private X display for tests: an Xvfb server on a free display number,
// started by the test and stopped with it. No X headers here: the tests that
// talk to the display include them themselves (they define macros such as
// None, Bool and Status).
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

extern char** environ;

namespace vantrel::testing {

inline bool fileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

// The Xvfb program on $PATH, or "" when it is not installed.
inline std::string findXvfb() {
  const char* path = std::getenv("PATH");
  std::string folders = path != nullptr ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= folders.size()) {
    const size_t end = folders.find(':', start);
    const std::string folder = folders.substr(start, end == std::string::npos ? std::string::npos : end - start);
    const std::string candidate = (folder.empty() ? "." : folder) + "/Xvfb";
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return "";
}

// An Xvfb server on a free display number, stopped when the object goes.
class XvfbServer {
 public:
  // Nullptr (with the reason in `whyNot`) when Xvfb is missing or would not
  // start.
  static std::unique_ptr<XvfbServer> start(std::string& whyNot) {
    const std::string program = findXvfb();
    if (program.empty()) {
      whyNot = "Xvfb is not installed";
      return nullptr;
    }
    for (int number = 91; number < 160; ++number) {
      const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
      if (fileExists(socket) || fileExists("/tmp/.X" + std::to_string(number) + "-lock")) continue;
      const std::string name = ":" + std::to_string(number);
      std::vector<std::string> args = {program, name, "-screen", "0", "1024x768x24", "-nolisten", "tcp"};
      std::vector<char*> argv;
      for (std::string& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      posix_spawn_file_actions_t actions;
      posix_spawn_file_actions_init(&actions);
      posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
      posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
      pid_t pid = 0;
      const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
      posix_spawn_file_actions_destroy(&actions);
      if (rc != 0) {
        whyNot = "Xvfb could not be started";
        return nullptr;
      }
      // Ready once its socket exists; another server may have taken the
      // number in between, in which case this one exits and we move on.
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
      bool exited = false;
      while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) {
          exited = true;
          break;
        }
        if (fileExists(socket)) return std::unique_ptr<XvfbServer>(new XvfbServer(pid, name));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
      if (!exited) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
      }
    }
    whyNot = "no free display number for Xvfb";
    return nullptr;
  }

  ~XvfbServer() { stop(); }
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  [[nodiscard]] const std::string& displayName() const { return name_; }

  // Stops the server's process (SIGSTOP): its clients' requests then wait
  // for answers that do not come, as with a server that hangs.
  void pause() const {
    if (pid_ > 0) ::kill(pid_, SIGSTOP);
  }
  void resume() const {
    if (pid_ > 0) ::kill(pid_, SIGCONT);
  }

  void stop() {
    if (pid_ <= 0) return;
    resume();  // a stopped process would not take SIGTERM
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
    pid_ = 0;
  }

 private:
  XvfbServer(pid_t pid, std::string name) : pid_(pid), name_(std::move(name)) {}
  pid_t pid_;
  std::string name_;
};

// Skips the test when no private display can be started; else yields the
// server into `var`.
#define VANTREL_REQUIRE_XVFB(var)                                           \
  std::string var##_whyNot;                                                 \
  auto var = ::vantrel::testing::XvfbServer::start(var##_whyNot);           \
  if (!var) GTEST_SKIP() << var##_whyNot << "; X11 test skipped"

}  // namespace vantrel::testing
