// File: vantrel/collections/internal/dev_random_path.h
//
// The path `DevRandom` opens: "/dev/urandom", unless a test points it at a
// FIFO or a file for a scope (short reads, end of input, a missing device).
//
//   collections_internal::ScopedDevRandomPath use(fifoPath);
//   DevRandom device;   // opens fifoPath
//
// Process-wide; set it before the threads that open the device start.
#pragma once

#include <string>

namespace vantrel::collections_internal {

[[nodiscard]] std::string devRandomPath();

class ScopedDevRandomPath {
 public:
  explicit ScopedDevRandomPath(std::string path);
  ~ScopedDevRandomPath();
  ScopedDevRandomPath(const ScopedDevRandomPath&) = delete;
  ScopedDevRandomPath& operator=(const ScopedDevRandomPath&) = delete;

 private:
  std::string previous_;
};

}  // namespace vantrel::collections_internal
