// Readers on several threads while this one keeps changing what they read:
//
//   const int wrong = wrongReadsWhileChanging(4, [] { return isWhole(read()); },
//                                             [] { for (...) replace(); });
//   EXPECT_EQ(wrong, 0);
//
// Each reader repeats `read` (true: the answer was right) until `change` has
// returned on the calling thread; the count of wrong answers comes back once
// every reader has stopped.
#pragma once

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

namespace vantrel::testing {

inline int wrongReadsWhileChanging(int readers, const std::function<bool()>& read,
                                   const std::function<void()>& change) {
  std::atomic<bool> stop{false};
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < readers; ++t) {
    threads.emplace_back([&] {
      while (!stop.load()) {
        if (!read()) ++wrong;
      }
    });
  }
  change();
  stop = true;
  for (std::thread& thread : threads) thread.join();
  return wrong.load();
}

}  // namespace vantrel::testing
