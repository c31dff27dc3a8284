// Opening and creating items below a folder without ever leaving it: ".."
// and symbolic links may be followed only as far as they stay inside.
#pragma once

#include <string>
#include <string_view>

#include "vantrel/platform/posix/unique_fd.h"

namespace vantrel::foundation_internal {

// Whether `name` can be one level of a path: not empty, not "." or "..",
// no "/" and no NUL.
[[nodiscard]] bool isSafePathComponent(std::string_view name);

// Opens `relative` (components joined by "/") below the folder `base`
// (a descriptor), with `flags` (O_CLOEXEC is added). On failure answers an
// invalid descriptor and sets `error`: EXDEV when the path would leave the
// folder, otherwise the system's errno.
[[nodiscard]] posix::UniqueFd openBeneath(int base, const std::string& relative, int flags, int& error);

// Opens the folder at `path` (trusted: it comes from the environment) for use
// as the `base` of `openBeneath`.
[[nodiscard]] posix::UniqueFd openFolder(const std::string& path, int& error);

}  // namespace vantrel::foundation_internal
