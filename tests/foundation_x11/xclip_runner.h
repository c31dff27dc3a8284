// Runs Debian's xclip as another X client of a test display: it pastes
// (`-o`) or copies (`-i`) the clipboard the way desktop programs do.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace vantrel::testing {

struct XclipResult {
  int exitStatus = -1;
  std::string output;
};

inline std::string findXclip() {
  for (const char* candidate : {"/usr/bin/xclip", "/usr/local/bin/xclip", "/bin/xclip"}) {
    if (::access(candidate, X_OK) == 0) return candidate;
  }
  return "";
}

// Runs xclip on `display` with `args`. With `input`, it is xclip's standard
// input (xclip then keeps serving it in the background, its output going
// nowhere); without, xclip's standard output is answered. At most 20 s.
inline XclipResult runXclip(const std::string& display, std::vector<std::string> args,
                            const std::optional<std::string>& input = std::nullopt) {
  XclipResult result;
  std::vector<std::string> all = {findXclip(), "-display", display};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return result;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (input) {
    posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  } else {
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  }
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    ::close(fds[0]);
    ::close(fds[1]);
    return result;
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  if (input) {
    ::close(fds[0]);
    std::size_t done = 0;
    while (done < input->size()) {
      const ssize_t n = ::write(fds[1], input->data() + done, input->size() - done);
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    ::close(fds[1]);
  } else {
    ::close(fds[1]);
    char buffer[65536];
    for (;;) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) break;
      pollfd fd{fds[0], POLLIN, 0};
      if (::poll(&fd, 1, static_cast<int>(left.count())) <= 0) break;
      const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
      if (n <= 0) break;
      result.output.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);
  }
  int status = 0;
  while (::waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      return result;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
  return result;
}

}  // namespace vantrel::testing
