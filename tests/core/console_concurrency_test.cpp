#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/fixtures.h"
#include "vantrel/core/console.h"
#include "vantrel/core/console_loggers.h"
#include "vantrel/core/random.h"

namespace vantrel {
namespace {

constexpr int kThreads = 8;
constexpr int kLines = 300;

void printFromThreads() {
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t] {
      for (int i = 0; i < kLines; ++i) {
        qlog.green("thread " + std::to_string(t) + " line " + std::to_string(i) +
                   std::string(static_cast<std::size_t>(i % 50), '.'));
      }
    });
  }
  for (auto& th : threads) th.join();
}

// Every line arrives whole, and each thread's lines in its own order.
void expectWholeLines(const std::string& text) {
  std::istringstream in(text);
  std::string line;
  std::vector<int> next(kThreads, 0);
  int count = 0;
  while (std::getline(in, line)) {
    ++count;
    int t = -1, i = -1;
    ASSERT_EQ(std::sscanf(line.c_str(), "\x1b[fg0,255,0;thread %d line %d", &t, &i), 2) << line;
    ASSERT_TRUE(t >= 0 && t < kThreads);
    EXPECT_EQ(i, next[t]++);
    const std::string want = "\x1b[fg0,255,0;thread " + std::to_string(t) + " line " +
                             std::to_string(i) + std::string(static_cast<std::size_t>(i % 50), '.') +
                             "\x1b[;";
    ASSERT_EQ(line, want);
  }
  EXPECT_EQ(count, kThreads * kLines);
}

TEST(ConsoleConcurrency, CapturedLinesNeverInterleave) {
  ConsoleCapture capture;
  printFromThreads();
  expectWholeLines(capture.standardOutput());
}

TEST(ConsoleConcurrency, StandardOutputLinesNeverInterleave) {
  testing::TemporaryDirectory dir;
  const auto path = dir.path() / "out.txt";
  std::fflush(stdout);
  const int saved = ::dup(STDOUT_FILENO);
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(fd, 0);
  ::dup2(fd, STDOUT_FILENO);
  printFromThreads();
  std::fflush(stdout);
  ::dup2(saved, STDOUT_FILENO);
  ::close(fd);
  ::close(saved);
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  expectWholeLines(text.str());
}

TEST(RandomConcurrency, SystemSourceFromManyThreads) {
  std::vector<std::thread> threads;
  std::vector<std::uint32_t> maxima(kThreads, 0);
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 1000; ++i) maxima[t] = std::max(maxima[t], randomUniform(100));
    });
  }
  for (auto& th : threads) th.join();
  for (auto m : maxima) EXPECT_LT(m, 100u);
}

}  // namespace
}  // namespace vantrel
