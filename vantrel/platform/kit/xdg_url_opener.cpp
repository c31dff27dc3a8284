#include "vantrel/platform/kit/xdg_url_opener.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

extern char** environ;

namespace vantrel {

std::optional<std::string> XdgOpenUrlOpener::findProgramOnPath(std::string_view name) {
  const char* variable = std::getenv("PATH");
  if (variable == nullptr || name.empty() || name.find('/') != std::string_view::npos) return std::nullopt;
  const std::string_view folders(variable);
  std::size_t start = 0;
  while (start <= folders.size()) {
    std::size_t end = folders.find(':', start);
    if (end == std::string_view::npos) end = folders.size();
    const std::string_view folder = folders.substr(start, end - start);
    // A relative entry (also the empty one, the current folder) would run
    // whatever the current folder holds under that name.
    if (!folder.empty() && folder.front() == '/') {
      std::string candidate(folder);
      if (candidate.back() != '/') candidate += '/';
      candidate += name;
      struct stat info {};
      if (::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(candidate.c_str(), X_OK) == 0) {
        return candidate;
      }
    }
    start = end + 1;
  }
  return std::nullopt;
}

bool XdgOpenUrlOpener::openURL(const URL& url) {
  const auto program = findProgramOnPath("xdg-open");
  if (!program) return false;
  const std::string text = url.absoluteString();
  std::vector<char*> argv{const_cast<char*>(program->c_str()), const_cast<char*>(text.c_str()), nullptr};

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  // Nothing of ours to inherit: a browser that xdg-open leaves running
  // holds no descriptor that anyone waits on.
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawnError = ::posix_spawn(&pid, program->c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawnError != 0) return false;

  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace vantrel
