#include "vantrel/drawing/internal/image_file.h"

#include <system_error>

#include "vantrel/platform/posix/replace_file.h"
#include "vantrel/platform/posix/write_all.h"

namespace vantrel::drawing_internal {

ImageFileOutcome writeImageFile(
    const std::filesystem::path& to,
    const std::function<bool(const std::function<bool(std::span<const std::uint8_t>)>& sink)>& encode) {
  ImageFileOutcome outcome;
  const std::error_code e = posix::replaceFileAtomicallyWith(to.string(), [&](int fd) {
    outcome.started = true;
    std::error_code writeError;
    const bool encoded = encode([&](std::span<const std::uint8_t> bytes) {
      writeError = posix::writeAll(fd, bytes);
      return !writeError;
    });
    if (writeError) return writeError;
    return encoded ? std::error_code() : std::make_error_code(std::errc::io_error);
  });
  outcome.written = !e;
  return outcome;
}

}  // namespace vantrel::drawing_internal
