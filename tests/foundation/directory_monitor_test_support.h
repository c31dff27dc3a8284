// Delegates and descriptor counts for the directory-monitor tests.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "vantrel/foundation/monitoring/directory_monitor.h"
#include "vantrel/platform/dispatch/dispatch_semaphore.h"

namespace vantrel::testing {

// Counts its calls, signals each, and notes whether every call came on the
// monitor's own queue.
class CountingDelegate : public DirectoryMonitorDelegate {
 public:
  void directoryMonitorDidObserveChange(DirectoryMonitor& monitor) override {
    if (!DispatchQueue::isCurrent(*monitor.directoryMonitorQueue())) offQueue = true;
    lastMonitor = &monitor;
    ++calls;
    called->signal();
  }

  // Waits for a call, then for the burst of events behind it to pass, and
  // starts counting afresh.
  bool awaitChange(std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
    if (!called->waitFor(limit)) return false;
    settle();
    return true;
  }
  void settle() {
    while (called->waitFor(std::chrono::milliseconds(100))) {
    }
    calls = 0;
  }

  std::shared_ptr<DispatchSemaphore> called = std::make_shared<DispatchSemaphore>(0);
  std::atomic<int> calls = 0;
  std::atomic<bool> offQueue = false;
  std::atomic<DirectoryMonitor*> lastMonitor = nullptr;
};

inline std::size_t openDescriptorCount() {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

inline void writeText(const std::filesystem::path& path, const std::string& text, bool append = false) {
  std::ofstream out(path, append ? std::ios::app : std::ios::trunc);
  out << text;
}

}  // namespace vantrel::testing
