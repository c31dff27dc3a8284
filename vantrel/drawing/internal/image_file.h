// File: vantrel/drawing/internal/image_file.h
//
// The one way image files are written: an encoder streams its bytes into a
// hidden temporary beside the destination, which is renamed into place only
// when the whole file went out (posix::replaceFileAtomicallyWith). A failure
// leaves no partial file and an existing file as it was.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>

namespace vantrel::drawing_internal {

struct ImageFileOutcome {
  bool written = false;  // the file is in place
  bool started = false;  // a temporary could be created (the encoder ran)
};

// `encode` hands its bytes to the sink it gets (which answers false when a
// write failed) and answers whether the whole file was made.
[[nodiscard]] ImageFileOutcome writeImageFile(
    const std::filesystem::path& to,
    const std::function<bool(const std::function<bool(std::span<const std::uint8_t>)>& sink)>& encode);

}  // namespace vantrel::drawing_internal
