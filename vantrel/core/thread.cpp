#include "vantrel/core/thread.h"

#include <unistd.h>

namespace vantrel {

// Not cached per thread: after fork() the forking thread becomes the child's
// main thread.
bool isMainThread() noexcept { return ::gettid() == ::getpid(); }

}  // namespace vantrel
