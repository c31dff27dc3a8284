// Serial queues share the global pool: many queues under contention keep
// their order and run one block at a time, `sync` finds its turn on a busy
// queue, a released queue still runs what it holds, and drains that wait on
// one another never starve. Run under ThreadSanitizer too.
#include <dirent.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/platform/dispatch/dispatch_queue.h"
#include "vantrel/platform/dispatch/dispatch_semaphore.h"

namespace vantrel {
namespace {

using namespace std::chrono_literals;

constexpr int kSenders = 8;
constexpr auto kLimit = 60s;  // generous for a loaded machine under TSan; a pass never waits for it

int threadCount() {
  DIR* folder = ::opendir("/proc/self/task");
  if (folder == nullptr) return -1;
  int count = 0;
  while (const dirent* entry = ::readdir(folder)) {
    if (entry->d_name[0] != '.') ++count;
  }
  ::closedir(folder);
  return count;
}

struct Watched {
  std::shared_ptr<DispatchQueue> queue;
  std::vector<std::vector<int>> seen = std::vector<std::vector<int>>(kSenders);  // only the queue writes
  std::atomic<int> active{0};
  std::atomic<bool> overlapped{false};
};

TEST(SerialQueueConcurrency, ManyQueuesKeepEachSendersOrderAndRunOneBlockAtATime) {
  constexpr int kQueues = 48;
  constexpr int kPerSender = 300;
  std::vector<Watched> queues(kQueues);
  for (auto& w : queues) w.queue = DispatchQueue::create("contended");
  std::vector<std::thread> senders;
  for (int t = 0; t < kSenders; ++t) {
    senders.emplace_back([&, t] {
      for (int i = 0; i < kPerSender; ++i) {
        for (int q = 0; q < kQueues; ++q) {
          Watched& w = queues[static_cast<std::size_t>((q + t) % kQueues)];
          w.queue->async([&w, t, i] {
            if (w.active.fetch_add(1) != 0) w.overlapped = true;
            w.seen[static_cast<std::size_t>(t)].push_back(i);
            w.active.fetch_sub(1);
          });
        }
      }
    });
  }
  for (auto& s : senders) s.join();
  for (auto& w : queues) {
    w.queue->sync([] {});
    EXPECT_FALSE(w.overlapped.load());
    for (int t = 0; t < kSenders; ++t) {
      const auto& seen = w.seen[static_cast<std::size_t>(t)];
      ASSERT_EQ(seen.size(), static_cast<std::size_t>(kPerSender));
      for (int i = 0; i < kPerSender; ++i) ASSERT_EQ(seen[static_cast<std::size_t>(i)], i);
    }
  }
}

TEST(SerialQueueConcurrency, SyncOntoABusyQueueWaitsForWhatWasQueuedBeforeIt) {
  auto queue = DispatchQueue::create("busy");
  std::vector<int> last(kSenders, -1);  // only the queue writes
  std::atomic<int> mismatches{0};
  std::vector<std::thread> senders;
  for (int t = 0; t < kSenders; ++t) {
    senders.emplace_back([&, t] {
      for (int i = 0; i < 200; ++i) {
        queue->async([&, t, i] { last[static_cast<std::size_t>(t)] = i; });
        if (i % 10 == 9) {
          queue->sync([&, t, i] {
            if (last[static_cast<std::size_t>(t)] != i) mismatches.fetch_add(1);
          });
        }
      }
    });
  }
  for (auto& s : senders) s.join();
  EXPECT_EQ(mismatches.load(), 0);
}

TEST(SerialQueueConcurrency, AReleasedQueueRunsEveryPendingBlock) {
  constexpr int kQueues = 64;
  constexpr int kBlocks = 50;
  auto finished = std::make_shared<DispatchSemaphore>(0);
  auto ran = std::make_shared<std::atomic<int>>(0);
  std::vector<std::thread> senders;
  for (int t = 0; t < kSenders; ++t) {
    senders.emplace_back([=] {
      for (int q = 0; q < kQueues / kSenders; ++q) {
        auto queue = DispatchQueue::create("released");
        for (int i = 0; i < kBlocks; ++i) {
          queue->async([=] {
            if (ran->fetch_add(1) + 1 == kQueues * kBlocks + kQueues) finished->signal();
          });
        }
        queue->asyncAfter(5ms, [=] {
          if (ran->fetch_add(1) + 1 == kQueues * kBlocks + kQueues) finished->signal();
        });
        // The last outside reference goes here, with blocks still queued.
      }
    });
  }
  for (auto& s : senders) s.join();
  ASSERT_TRUE(finished->waitFor(kLimit));
  EXPECT_EQ(ran->load(), kQueues * kBlocks + kQueues);
}

// More drains block than the pool's limit of working threads: every queue's
// first block waits on a gate, every second block waits in `sync` behind one
// of them. Only a thread that the blocked ones do not hold up can open the
// gate; a pool that counted them would hang here.
TEST(SerialQueueConcurrency, DrainsBlockedOnOneAnotherDoNotStarveThePool) {
  constexpr int kQueues = 150;
  auto gate = std::make_shared<DispatchSemaphore>(0);
  auto finished = std::make_shared<DispatchSemaphore>(0);
  auto done = std::make_shared<std::atomic<int>>(0);
  std::vector<std::shared_ptr<DispatchQueue>> gated;
  std::vector<std::shared_ptr<DispatchQueue>> waiting;
  for (int i = 0; i < kQueues; ++i) {
    gated.push_back(DispatchQueue::create("gated"));
    waiting.push_back(DispatchQueue::create("waiting"));
  }
  for (int i = 0; i < kQueues; ++i) {
    gated[static_cast<std::size_t>(i)]->async([gate] {
      gate->wait();
      gate->signal();  // pass it on
    });
  }
  for (int i = 0; i < kQueues; ++i) {
    auto target = gated[static_cast<std::size_t>(i)];
    waiting[static_cast<std::size_t>(i)]->async([=] {
      target->sync([] {});
      if (done->fetch_add(1) + 1 == kQueues) finished->signal();
    });
  }
  auto opener = DispatchQueue::create("opener");
  opener->asyncAfter(20ms, [gate] { gate->signal(); });
  ASSERT_TRUE(finished->waitFor(kLimit));
  EXPECT_EQ(done->load(), kQueues);
}

// Blocks that wait in ways the runtime cannot see (here a plain condition
// variable), more of them than the pool's working limit: a thread is still
// added for the block that ends the wait.
TEST(SerialQueueConcurrency, DrainsWaitingUnseenStillLeaveAThreadForTheRest) {
  const int queues = 4 * static_cast<int>(std::max(8u, 2 * std::thread::hardware_concurrency()));
  struct Latch {
    std::mutex mutex;
    std::condition_variable opened;
    bool open = false;
    int passed = 0;
  };
  auto latch = std::make_shared<Latch>();
  std::vector<std::shared_ptr<DispatchQueue>> waiting;
  for (int i = 0; i < queues; ++i) {
    waiting.push_back(DispatchQueue::create("unseen"));
    waiting.back()->async([latch] {
      std::unique_lock lock(latch->mutex);
      if (latch->opened.wait_for(lock, kLimit, [&] { return latch->open; })) ++latch->passed;
      latch->opened.notify_all();
    });
  }
  auto opener = DispatchQueue::create("opener");
  opener->async([latch] {
    std::lock_guard lock(latch->mutex);
    latch->open = true;
    latch->opened.notify_all();
  });
  std::unique_lock lock(latch->mutex);
  latch->opened.wait_for(lock, kLimit, [&] { return latch->passed == queues; });
  EXPECT_EQ(latch->passed, queues);
}

TEST(SerialQueueConcurrency, IdleQueuesHoldNoThreads) {
  constexpr int kQueues = 1000;
  const int before = threadCount();
  ASSERT_GT(before, 0);
  std::vector<std::shared_ptr<DispatchQueue>> queues;
  auto finished = std::make_shared<DispatchSemaphore>(0);
  auto ran = std::make_shared<std::atomic<int>>(0);
  for (int i = 0; i < kQueues; ++i) {
    auto queue = DispatchQueue::create("idle");
    queue->async([=] {
      if (ran->fetch_add(1) + 1 == kQueues) finished->signal();
    });
    // A block due in an hour keeps the queue but no thread.
    queue->asyncAfter(1h, [] {});
    queues.push_back(std::move(queue));
  }
  ASSERT_TRUE(finished->waitFor(kLimit));
  const int after = threadCount();
  // The pool may have grown to serve the burst, and the timer thread may be
  // new; a thread per queue would be a thousand more.
  EXPECT_LT(after - before, 70) << before << " threads before, " << after << " after";
}

}  // namespace
}  // namespace vantrel
