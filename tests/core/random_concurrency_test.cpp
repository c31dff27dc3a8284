// The system random source drawn from many threads at once: each thread has
// a stream of its own (ThreadSanitizer watches that nothing is shared), and
// no two threads answer the same draws.
#include <array>
#include <cstdint>
#include <set>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/core/random.h"

namespace vantrel {
namespace {

TEST(RandomConcurrency, ThreadsDrawDistinctStreams) {
  constexpr int kThreads = 8;
  constexpr int kDraws = 3000;  // several refills of each thread's buffer
  std::vector<std::vector<std::uint32_t>> streams(kThreads);
  std::vector<std::array<unsigned char, 24>> tails(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      std::vector<std::uint32_t>& stream = streams[static_cast<std::size_t>(t)];
      for (int i = 0; i < kDraws; ++i) {
        stream.push_back(i % 3 == 0 ? randomUInt32() : randomUniform(0xFFFFFFFFu));
      }
      randomBytes(tails[static_cast<std::size_t>(t)].data(), tails[0].size());
    });
  }
  for (std::thread& thread : threads) thread.join();

  // Shared draws would show as the same 32-bit values in two streams; among
  // 24,000 honest ones a repeat anywhere is very unlikely (p < 0.07), so
  // allow a couple.
  std::set<std::uint32_t> seen;
  std::size_t repeats = 0;
  for (const auto& stream : streams) {
    for (std::uint32_t value : stream) repeats += seen.insert(value).second ? 0 : 1;
  }
  EXPECT_LE(repeats, 2u);
  for (int a = 0; a < kThreads; ++a) {
    for (int b = a + 1; b < kThreads; ++b) EXPECT_NE(tails[static_cast<std::size_t>(a)], tails[static_cast<std::size_t>(b)]);
  }
}

}  // namespace
}  // namespace vantrel
