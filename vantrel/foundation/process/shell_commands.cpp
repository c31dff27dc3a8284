#include "vantrel/foundation/process/shell_commands.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "vantrel/core/console.h"
#include "vantrel/text/string_services.h"

extern char** environ;

namespace vantrel {

namespace {

constexpr std::int64_t kCannotStart = 127;

enum class StandardError { merged, discarded };

struct Spawned {
  std::string bytes;
  std::int64_t status = kCannotStart;
  bool started = false;
};

Spawned run(std::string_view launchPath, const std::vector<std::string>& arguments, StandardError errors) {
  Spawned result;
  // Close-on-exec: a program started by another thread at the same moment
  // must not inherit our write end, or our read would wait for it to exit.
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return result;

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
  if (errors == StandardError::merged) {
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDERR_FILENO);
  } else {
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  }

  const std::string path(launchPath);
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(path.c_str()));
  for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  pid_t pid = 0;
  // glibc reports a failed exec (missing file, no permission) here.
  const int spawnError = ::posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(fds[1]);
  if (spawnError != 0) {
    ::close(fds[0]);
    return result;
  }
  result.started = true;

  // Everything first, then the exit: a large output cannot fill the pipe and
  // stall the program while we wait for it.
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
    if (n > 0) {
      result.bytes.append(buffer, static_cast<std::size_t>(n));
    } else if (n == 0 || errno != EINTR) {
      break;
    }
  }
  ::close(fds[0]);

  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return result;
  }
  if (WIFEXITED(status)) {
    result.status = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    result.status = WTERMSIG(status);
  }
  return result;
}

}  // namespace

ShellResult VantrelMacOs::shell(std::string_view launchPath, const std::vector<std::string>& arguments) {
  Spawned spawned = run(launchPath, arguments, StandardError::merged);
  ShellResult result;
  result.exitStatus = spawned.status;
  if (!spawned.bytes.empty() && isValidUtf8(spawned.bytes)) {
    result.output = std::move(spawned.bytes);
  }
  return result;
}

ShellResult VantrelMacOs::bash(std::string_view command, const std::vector<std::string>& arguments) {
  // The name reaches the shell as "$1", never as part of the script, so no
  // quoting, expansion or injection can happen. `type -P` searches the path
  // only, as `which` does: a builtin such as echo still resolves to its
  // program file, which can then be started directly.
  const Spawned lookup = run("/bin/bash", {"-l", "-c", "type -P -- \"$1\"", "bash", std::string(command)},
                             StandardError::discarded);
  std::string path = lookup.bytes;
  if (!path.empty() && path.back() == '\n') path.pop_back();
  // Start-up files of the login shell may print lines of their own first.
  if (const auto lastBreak = path.rfind('\n'); lastBreak != std::string::npos) path.erase(0, lastBreak + 1);
  if (!lookup.started || lookup.status != 0 || path.empty() || !isValidUtf8(path)) {
    consolePrint("Error: Command \"" + std::string(command) + "\" not found!");
    return ShellResult{std::nullopt, -1};
  }
  return shell(path, arguments);
}

}  // namespace vantrel
