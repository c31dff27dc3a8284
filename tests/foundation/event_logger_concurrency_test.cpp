#include <atomic>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/fixtures.h"
#include "vantrel/foundation/logs/event_logger.h"

namespace vantrel {
namespace {

using testing::TemporaryDirectory;

// Reading while threads write sees only whole events that were logged: a
// line in progress is never read as an event, nor torn into a wrong one.
TEST(EventLoggerConcurrency, EventsWhileThreadsWrite) {
  constexpr int kThreads = 4;
  constexpr int kEvents = 1500;
  TemporaryDirectory tmp;
  auto logger = VtEventLogger::create("threads", URL::fileURLWithPath(tmp.path().string(), true));
  std::atomic<bool> writing{true};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kEvents; ++i) {
        logger->log("e", std::to_string(t) + "," + std::to_string(i) + "," + std::string(static_cast<std::size_t>(i % 97), 'p'));
        if (i % 300 == 0) logger->flush();
      }
    });
  }
  std::thread reader([&] {
    while (writing.load()) {
      for (const auto& event : logger->events("e")) {
        ASSERT_EQ(event.fields.size(), 3u);
        const int t = std::stoi(event.fields[0]);
        const int i = std::stoi(event.fields[1]);
        ASSERT_TRUE(t >= 0 && t < kThreads && i >= 0 && i < kEvents);
        ASSERT_EQ(event.fields[2], std::string(static_cast<std::size_t>(i % 97), 'p'));
      }
    }
  });
  for (auto& thread : threads) thread.join();
  ASSERT_TRUE(logger->flush());
  writing = false;
  reader.join();
  std::set<std::pair<int, int>> seen;
  for (const auto& event : logger->events("e")) seen.emplace(std::stoi(event.fields[0]), std::stoi(event.fields[1]));
  EXPECT_EQ(seen.size(), static_cast<std::size_t>(kThreads * kEvents));
}

}  // namespace
}  // namespace vantrel
