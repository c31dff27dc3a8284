#include <atomic>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/foundation/files_test_support.h"
#include "tests/support/fixtures.h"
#include "vantrel/foundation/logs/csv_logger.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using testing::readLines;
using testing::TemporaryDirectory;

constexpr int kThreads = 8;
constexpr int kLinesPerThread = 2000;

// Each thread's lines keep their order, and none is lost or torn, while
// other threads write and flush at the same time.
TEST(CsvLoggerConcurrency, EightWritersKeepTheirOrder) {
  TemporaryDirectory tmp;
  auto logger = CsvLogger::create("threads", URL::fileURLWithPath(tmp.path().string(), true));
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kLinesPerThread; ++i) {
        logger->log({std::to_string(t), std::to_string(i)});
        if (i % 500 == 0) logger->flush();
      }
    });
  }
  for (auto& thread : threads) thread.join();
  ASSERT_TRUE(logger->flush());
  const auto lines = readLines(tmp.path() / "threads.log");
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(kThreads * kLinesPerThread));
  std::vector<int> next(kThreads, 0);
  for (const std::string& line : lines) {
    ASSERT_GT(line.size(), 24u) << line;
    const std::string rest = line.substr(24);  // after the date and the comma
    const auto comma = rest.find(',');
    ASSERT_NE(comma, std::string::npos) << line;
    const int t = std::stoi(rest.substr(0, comma));
    const int i = std::stoi(rest.substr(comma + 1));
    ASSERT_GE(t, 0);
    ASSERT_LT(t, kThreads);
    ASSERT_EQ(i, next[static_cast<std::size_t>(t)]) << "thread " << t << " out of order";
    ++next[static_cast<std::size_t>(t)];
  }
}

// Calls whose order is fixed (by the callers' own lock) reach the file in
// exactly that order, whichever thread made them.
TEST(CsvLoggerConcurrency, FileOrderIsCallOrder) {
  TemporaryDirectory tmp;
  auto logger = CsvLogger::create("order", URL::fileURLWithPath(tmp.path().string(), true));
  std::mutex callOrder;
  int sequence = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < kLinesPerThread; ++i) {
        std::lock_guard lock(callOrder);
        logger->logLine(std::to_string(sequence++), false);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  ASSERT_TRUE(logger->flush());
  const auto lines = readLines(tmp.path() / "order.log");
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(kThreads * kLinesPerThread));
  for (std::size_t i = 0; i < lines.size(); ++i) ASSERT_EQ(lines[i], std::to_string(i));
}

}  // namespace
}  // namespace vantrel
