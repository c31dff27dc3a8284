// Blocks per second through serial queues: 8 submitting threads spread
// kBlocksPerThread small blocks over 1, 8 or 64 queues (thread t starts at
// queue t and walks round the ring). One iteration ends when every block has
// run, so a queue that only accepts work faster gains nothing. Each block
// bumps its queue's own plain counter: a queue that ran two blocks at once
// would show up as a wrong total under the sanitizers.
#include <benchmark/benchmark.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "vantrel/platform/dispatch/dispatch_queue.h"

namespace {

constexpr int kThreads = 8;
constexpr int kBlocksPerThread = 20000;

struct Counted {
  std::shared_ptr<vantrel::DispatchQueue> queue;
  std::uint64_t count = 0;  // touched only by the queue's blocks
};

void BM_SerialQueueThroughput(benchmark::State& state) {
  const int queueCount = static_cast<int>(state.range(0));
  std::vector<Counted> queues(static_cast<std::size_t>(queueCount));
  for (int i = 0; i < queueCount; ++i) queues[i].queue = vantrel::DispatchQueue::create("bench");
  for (auto _ : state) {
    std::atomic<std::int64_t> remaining{static_cast<std::int64_t>(kThreads) * kBlocksPerThread};
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([&, t] {
        for (int i = 0; i < kBlocksPerThread; ++i) {
          Counted& target = queues[static_cast<std::size_t>((t + i) % queueCount)];
          target.queue->async([&target, &remaining, &mutex, &finished, &done] {
            ++target.count;
            if (remaining.fetch_sub(1, std::memory_order_acq_rel) == 1) {
              std::lock_guard lock(mutex);
              done = true;
              finished.notify_one();
            }
          });
        }
      });
    }
    for (auto& thread : threads) thread.join();
    std::unique_lock lock(mutex);
    finished.wait(lock, [&] { return done; });
  }
  std::uint64_t total = 0;
  for (auto& q : queues) q.queue->sync([&] { total += q.count; });
  if (total != static_cast<std::uint64_t>(state.iterations()) * kThreads * kBlocksPerThread) {
    state.SkipWithError("a block was lost or ran twice");
  }
  state.SetItemsProcessed(state.iterations() * kThreads * kBlocksPerThread);
}
BENCHMARK(BM_SerialQueueThroughput)->Arg(1)->Arg(8)->Arg(64)->UseRealTime()->Unit(benchmark::kMillisecond);

// The cost of one `sync` round trip onto an idle queue, from one thread.
void BM_SerialQueueSync(benchmark::State& state) {
  auto queue = vantrel::DispatchQueue::create("bench");
  int value = 0;
  for (auto _ : state) queue->sync([&] { ++value; });
  benchmark::DoNotOptimize(value);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SerialQueueSync)->UseRealTime();

}  // namespace
