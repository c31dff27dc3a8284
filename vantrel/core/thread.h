// File: vantrel/core/thread.h
//
// `isMainThread()`: true on the process's first thread (its thread id equals
// the process id), whichever thread first touched the library.
#pragma once

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

[[nodiscard]] bool isMainThread() noexcept;

}  // namespace vantrel
