#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/exit_while_used.h"
#include "vantrel/core/random.h"
#include "vantrel/core/sort.h"

namespace vantrel {
namespace {

TEST(Random, ScriptedSourceAnswersInOrderAndRecordsBounds) {
  ScriptedRandomSource script({2, 0, 7, 0xAB, 0x1FF});
  {
    ScopedRandomSource use(script);
    EXPECT_EQ(randomUniform(3), 2u);
    EXPECT_EQ(randomUniform(1), 0u);
    EXPECT_EQ(randomUniform(0), 0u);  // nothing drawn
    EXPECT_EQ(randomUInt32(), 7u);
    unsigned char bytes[2];
    randomBytes(bytes, 2);
    EXPECT_EQ(bytes[0], 0xAB);
    EXPECT_EQ(bytes[1], 0xFF);
  }
  EXPECT_EQ(script.bounds(), (std::vector<std::uint32_t>{3, 1, 0}));
  EXPECT_EQ(script.remaining(), 0u);
  // Restored: the system source answers within its bound.
  EXPECT_LT(randomUniform(10), 10u);
}

TEST(RandomDeathTest, ScriptMismatchStops) {
  ScriptedRandomSource empty({});
  EXPECT_DEATH(
      {
        ScopedRandomSource use(empty);
        (void)randomUInt32();
      },
      "ran out of values");
  ScriptedRandomSource tooBig({5});
  EXPECT_DEATH(
      {
        ScopedRandomSource use(tooBig);
        (void)randomUniform(5);
      },
      "value 5 is not below the bound 5");
}

TEST(Random, SystemSourceCoversItsRange) {
  bool seen[4] = {};
  for (int i = 0; i < 200; ++i) seen[randomUniform(4)] = true;
  EXPECT_TRUE(seen[0] && seen[1] && seen[2] && seen[3]);
}

// Each bound over many draws: every result is reached, none is out of range,
// and no result is far from its share (a biased reduction of a 32-bit draw
// for a bound just above 2^31 would give the low half twice the high one's,
// and one of three-quarters of 2^24 its low third twice the rest's share).
TEST(Random, SystemSourceIsUniformWithinItsBound) {
  struct Case {
    std::uint32_t bound;
    int draws;
  };
  for (const Case c : {Case{1, 100}, Case{2, 20000}, Case{7, 70000}, Case{12582912, 40000}, Case{0x80000001u, 40000}}) {
    SCOPED_TRACE(c.bound);
    std::vector<int> counts(c.bound < 16 ? c.bound : 2, 0);
    for (int i = 0; i < c.draws; ++i) {
      const std::uint32_t value = randomUniform(c.bound);
      ASSERT_LT(value, c.bound);
      ++counts[c.bound < 16 ? value : (value < c.bound / 2 ? 0 : 1)];
    }
    const double expected = static_cast<double>(c.draws) / static_cast<double>(counts.size());
    for (int count : counts) EXPECT_NEAR(count, expected, expected * 0.1);
  }
}

// Any length, across the ends of the buffered page and beyond its size, is
// filled in full: no stretch stays zero.
TEST(Random, SystemSourceFillsEveryLength) {
  for (std::size_t size : {1u, 3u, 64u, 4000u, 4088u, 5000u, 70000u}) {
    SCOPED_TRACE(size);
    std::vector<unsigned char> bytes(size + 2, 0);
    randomBytes(bytes.data() + 1, size);
    EXPECT_EQ(bytes.front(), 0);
    EXPECT_EQ(bytes.back(), 0);
    std::size_t longestZeroRun = 0;
    std::size_t run = 0;
    for (std::size_t i = 1; i <= size; ++i) {
      run = bytes[i] == 0 ? run + 1 : 0;
      longestZeroRun = std::max(longestZeroRun, run);
    }
    EXPECT_LT(longestZeroRun, 8u);
  }
}

// A child process must not answer what the parent answers next, whichever
// way it was copied: _Fork runs no fork handlers, so only a mark the kernel
// honours keeps the child from replaying the parent's buffered draws.
TEST(Random, ForkedChildNeverRepeatsTheParentsDraws) {
  using Draws = std::array<unsigned char, 32>;
  for (pid_t (*copy)() : {&::fork, &::_Fork}) {
    for (int round = 0; round < 4; ++round) {
      (void)randomUInt32();  // the page holds unread bytes when the process is copied
      int pipeEnds[2];
      ASSERT_EQ(::pipe(pipeEnds), 0);
      const pid_t child = copy();
      ASSERT_GE(child, 0);
      if (child == 0) {
        Draws drawn;
        randomBytes(drawn.data(), drawn.size());
        const bool sent = ::write(pipeEnds[1], drawn.data(), drawn.size()) == static_cast<ssize_t>(drawn.size());
        ::_exit(sent ? 0 : 1);
      }
      ::close(pipeEnds[1]);
      Draws parent;
      randomBytes(parent.data(), parent.size());
      Draws fromChild{};
      const ssize_t got = ::read(pipeEnds[0], fromChild.data(), fromChild.size());
      ::close(pipeEnds[0]);
      int status = 0;
      ASSERT_EQ(::waitpid(child, &status, 0), child);
      ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
      ASSERT_EQ(got, static_cast<ssize_t>(fromChild.size()));
      EXPECT_NE(parent, fromChild);
    }
  }
}

TEST(Random, ExitWhileAThreadDraws) {
  EXPECT_EXIT_WHILE_USED([] {
    unsigned char bytes[16];
    randomBytes(bytes, sizeof bytes);
    if (randomUniform(5) >= 5) std::abort();
  });
}

TEST(StableSort, KeepsEqualElementsInOrder) {
  std::vector<std::pair<int, char>> v = {{2, 'a'}, {1, 'b'}, {2, 'c'}, {1, 'd'}};
  stableSort(v, [](const auto& x, const auto& y) { return x.first < y.first; });
  EXPECT_EQ(v, (std::vector<std::pair<int, char>>{{1, 'b'}, {1, 'd'}, {2, 'a'}, {2, 'c'}}));
  EXPECT_EQ(stableSorted(std::vector<int>{3, 1, 2}), (std::vector<int>{1, 2, 3}));
}

// A negated comparator (>=) is not a strict weak order; sorting with it must
// stay in bounds (AddressSanitizer watches) and still order the values.
TEST(StableSort, NonStrictComparatorStaysInBounds) {
  std::vector<int> v;
  for (int i = 0; i < 2000; ++i) v.push_back((i * 7919) % 13);
  stableSort(v, [](int a, int b) { return a >= b; });
  for (std::size_t i = 1; i < v.size(); ++i) ASSERT_GE(v[i - 1], v[i]);
  std::vector<int> same(100, 4);
  stableSort(same.begin(), same.end(), [](int a, int b) { return a >= b; });
  EXPECT_EQ(same, std::vector<int>(100, 4));
}

}  // namespace
}  // namespace vantrel
