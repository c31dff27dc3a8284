// File: vantrel/foundation/process/shell_commands.h
//
// `VantrelMacOs::shell` runs a program directly (no shell) and collects its
// output; `VantrelMacOs::bash` first finds a program by name on the search
// path of a bash login shell, then runs it the same way.
//
//   auto [output, status] = VantrelMacOs::shell("/bin/echo", {"hi"});   // "hi\n", 0
//   auto listing = VantrelMacOs::bash("ls", {"-l", "/tmp"});
//
// Output is standard output and standard error together, in the order the
// bytes arrived, whole (final line feed included); absent when the program
// wrote nothing or wrote bytes that are not UTF-8. The status is the exit
// code, or the signal number for a program killed by a signal; 127 (with no
// output) for a program that cannot be started. `bash` prints
// "Error: Command "<name>" not found!" and answers (absent, -1) when the
// lookup fails. Arguments and the command name are passed as separate
// arguments, never spliced into shell text, so they are taken literally.
// Both block the calling thread until the program has exited and closed its
// output; concurrent calls from several threads are safe and independent.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

struct ShellResult {
  std::optional<std::string> output;
  std::int64_t exitStatus = 0;

  bool operator==(const ShellResult&) const = default;
};

namespace VantrelMacOs {

[[nodiscard]] ShellResult shell(std::string_view launchPath, const std::vector<std::string>& arguments = {});
[[nodiscard]] ShellResult bash(std::string_view command, const std::vector<std::string>& arguments = {});

}  // namespace VantrelMacOs

}  // namespace vantrel
