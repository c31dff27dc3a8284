#include "vantrel/core/fatal.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

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
  std::size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(STDERR_FILENO, text.data() + done, text.size() - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  std::abort();
}

}  // namespace vantrel
