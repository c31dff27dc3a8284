#include "vantrel/core/fatal.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "vantrel/platform/posix/write_all.h"

namespace vantrel {

void fatal(std::string_view message, SourceLocation loc) {
  std::fflush(stdout);
  std::string text = "Fatal error: ";
  text.append(message);
  text.append(": file ");
  text.append(loc.file_name());
  text.append(", line ");
  text.append(std::to_string(loc.line()));
  text.push_back('\n');
  // Straight to the descriptor: stdio may be in any state when we get here.
  // writeAll retries EINTR, so a signal cannot cost the message.
  (void)posix::writeAll(STDERR_FILENO, text);
  std::abort();
}

}  // namespace vantrel
