#include <atomic>
#include <chrono>
#include <optional>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/foundation/time/rfc822_date.h"
#include "vantrel/platform/dispatch/dispatch_queue.h"
#include "vantrel/platform/dispatch/dispatch_semaphore.h"

namespace vantrel {
namespace {

using namespace std::chrono_literals;

std::optional<std::int64_t> seconds(std::optional<Date> date) {
  if (!date) return std::nullopt;
  return std::chrono::duration_cast<std::chrono::seconds>(date->time_since_epoch()).count();
}

// Each text needs another of the patterns, so threads that shared one
// formatter would change each other's pattern between set and parse.
TEST(Rfc822DateConcurrencyTest, ManyThreadsParseAtOnce) {
  struct Case {
    const char* text;
    std::optional<std::int64_t> seconds;
  };
  const Case cases[] = {
      {"Tue, 10 Jun 2003 04:00:00 GMT", 1055217600},
      {"Tue, 10 Jun 2003 04:00 +0100", 1055214000},
      {"Tue, 10 Jun 2003 04:00:30", 1055217630},
      {"10 Jun 2003 04:00 EST", 1055235600},
      {"10 jun 2003 04:01", 1055217660},
      {"10 Jun 2003 04:00 GMT trailing", std::nullopt},
  };
  constexpr int kThreads = 8;
  constexpr int kRounds = 150;
  std::atomic<int> wrong = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kRounds; ++i) {
        const Case& c = cases[(t + i) % std::size(cases)];
        if (seconds(dateFromRFC822String(c.text)) != c.seconds) ++wrong;
      }
    });
  }
  // The pool's threads too, which come and go.
  auto done = std::make_shared<DispatchSemaphore>(0);
  for (int i = 0; i < 64; ++i) {
    DispatchQueue::global()->async([&wrong, done, i, &cases] {
      const Case& c = cases[i % std::size(cases)];
      if (seconds(dateFromRFC822String(c.text)) != c.seconds) ++wrong;
      done->signal();
    });
  }
  for (auto& t : threads) t.join();
  for (int i = 0; i < 64; ++i) ASSERT_TRUE(done->waitFor(10s));
  EXPECT_EQ(wrong, 0);
}

}  // namespace
}  // namespace vantrel
