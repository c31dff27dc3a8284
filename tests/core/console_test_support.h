// What the core tests share for asserting console output byte for byte.
#pragma once

#include <functional>
#include <string>

#include "vantrel/core/console.h"

namespace vantrel::testing {

// The standard output `f` printed, captured while it ran.
inline std::string printed(const std::function<void()>& f) {
  ConsoleCapture capture;
  f();
  return capture.standardOutput();
}

}  // namespace vantrel::testing
