#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/foundation/files_test_support.h"
#include "tests/support/fixtures.h"
#include "vantrel/foundation/logs/csv_logger.h"
#include "vantrel/platform/posix/unique_fd.h"

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

// Two loggers on one file, written from threads of their own, each with
// values that hold line feeds: each reads the other's records as they come,
// and none is ever taken for a torn one.
TEST(CsvLoggerConcurrency, TwoLoggersOnOneFileNeverTakeTheOthersRecordsForTornOnes) {
  TemporaryDirectory tmp;
  const fs::path file = tmp.path() / "shared.log";
  const URL url = URL::fileURLWithPath(file.string());
  const std::shared_ptr<CsvLogger> loggers[] = {CsvLogger::createWithLogFileUrl("a", url),
                                                CsvLogger::createWithLogFileUrl("b", url)};
  constexpr int kWriters = 4;
  constexpr int kRecords = 1000;
  // Long enough that one batch spans several pages, which a look could
  // otherwise meet half written.
  const std::string value(3000, 'v');
  std::vector<std::thread> threads;
  for (int t = 0; t < kWriters; ++t) {
    threads.emplace_back([&, t] {
      const auto& logger = loggers[t % 2];
      for (int i = 0; i < kRecords; ++i) {
        logger->log({std::to_string(t), std::to_string(i), "line\nfeed, \"" + value + "\""});
        if (i % 100 == 0) logger->flush();
      }
    });
  }
  for (auto& thread : threads) thread.join();
  for (const auto& logger : loggers) ASSERT_TRUE(logger->flush());
  const std::string contents = testing::readFile(file);
  EXPECT_EQ(contents.find('\x18'), std::string::npos);
  // Each record: the date, the writer, its index, the quoted value; each
  // writer's in the order it logged them.
  const std::string written = ",\"line\nfeed, \"\"" + value + "\"\"\"\n";
  std::vector<int> next(kWriters, 0);
  for (std::size_t pos = 0; pos < contents.size();) {
    ASSERT_TRUE(testing::isLogDate(contents.substr(pos, 23))) << "at " << pos;
    pos += 24;
    const std::size_t comma = contents.find(',', pos);
    const std::size_t end = contents.find(',', comma + 1);
    ASSERT_NE(end, std::string::npos);
    const int t = std::stoi(contents.substr(pos, comma - pos));
    ASSERT_GE(t, 0);
    ASSERT_LT(t, kWriters);
    ASSERT_EQ(std::stoi(contents.substr(comma + 1, end - comma - 1)), next[static_cast<std::size_t>(t)]++);
    ASSERT_EQ(contents.compare(end, written.size(), written), 0) << "at " << end;
    pos = end + written.size();
  }
  EXPECT_EQ(next, std::vector<int>(kWriters, kRecords));
}

// Another open of the file takes its lock now and then while threads log
// and flush with short timeouts: flushes that give up leave their lines
// queued, and every line lands once, in each thread's order.
TEST(CsvLoggerConcurrency, LinesKeepTheirOrderWhileAnotherTakesTheLockNowAndThen) {
  TemporaryDirectory tmp;
  const fs::path file = tmp.path() / "locked.log";
  auto logger = CsvLogger::createWithLogFileUrl("locked", URL::fileURLWithPath(file.string()));
  constexpr int kWriters = 4;
  constexpr int kRecords = 400;
  std::atomic<bool> writing{true};
  std::thread locker([&] {
    posix::UniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    ASSERT_TRUE(fd);
    while (writing.load()) {
      if (::flock(fd.get(), LOCK_EX) != 0) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(15));
      ::flock(fd.get(), LOCK_UN);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  });
  std::vector<std::thread> threads;
  for (int t = 0; t < kWriters; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kRecords; ++i) {
        logger->log({std::to_string(t), std::to_string(i)});
        if (i % 50 == 0) (void)logger->flush(std::chrono::milliseconds(t * 5));
      }
    });
  }
  for (auto& thread : threads) thread.join();
  writing = false;
  locker.join();
  ASSERT_TRUE(logger->flush(std::chrono::milliseconds(30000)));
  const auto lines = readLines(file);
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(kWriters * kRecords));
  std::vector<int> next(kWriters, 0);
  for (const std::string& line : lines) {
    ASSERT_TRUE(testing::isLogDate(line.substr(0, 23))) << line;
    const std::string rest = line.substr(24);
    const auto comma = rest.find(',');
    ASSERT_NE(comma, std::string::npos) << line;
    const int t = std::stoi(rest.substr(0, comma));
    ASSERT_GE(t, 0);
    ASSERT_LT(t, kWriters);
    ASSERT_EQ(std::stoi(rest.substr(comma + 1)), next[static_cast<std::size_t>(t)]++) << line;
  }
}

}  // namespace
}  // namespace vantrel
