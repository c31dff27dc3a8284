// Runs one case of this test program in a child process of its own.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

#include <string>
#include <vector>

extern char** environ;

namespace vantrel::testing {

// Starts this test program again running only `test` ("Suite.Case"), with
// `variable` ("NAME=value", which the case reads to know it is the child)
// added to this process's environment; its standard output and error go to
// `outputPath` when one is given. Answers the child's process id, or -1
// when it did not start.
inline pid_t spawnThisProgram(const std::string& test, const std::string& variable,
                              const std::string& outputPath = {}) {
  std::vector<std::string> environment = {variable};
  for (char** entry = environ; *entry != nullptr; ++entry) environment.emplace_back(*entry);
  std::vector<char*> envp;
  for (auto& entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);
  std::string program = "/proc/self/exe";
  std::string filter = "--gtest_filter=" + test;
  char* argv[] = {program.data(), filter.data(), nullptr};
  posix_spawn_file_actions_t actions;
  if (::posix_spawn_file_actions_init(&actions) != 0) return -1;
  if (!outputPath.empty()) {
    ::posix_spawn_file_actions_addopen(&actions, 1, outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::posix_spawn_file_actions_adddup2(&actions, 1, 2);
  }
  pid_t pid = 0;
  const int spawned = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data());
  ::posix_spawn_file_actions_destroy(&actions);
  return spawned == 0 ? pid : -1;
}

}  // namespace vantrel::testing
