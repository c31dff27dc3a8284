#include "vantrel/core/thread_cache.h"

#include <atomic>
#include <cstdlib>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

#include "tests/support/use_at_exit.h"

namespace vantrel {
namespace {

std::atomic<int> gMade{0};
std::atomic<int> gDestroyed{0};

struct Counted {
  static constexpr unsigned kAlive = 0xA11CEu;
  unsigned alive = kAlive;
  int uses = 0;
  Counted() { ++gMade; }
  ~Counted() {
    alive = 0;
    ++gDestroyed;
  }
  Counted(const Counted&) = delete;
  Counted& operator=(const Counted&) = delete;
};

constinit thread_local ThreadCache<Counted> tCounted;

// Answers how many times the thread's object has been used, itself included.
int useCounted() {
  Counted& counted = tCounted.get();
  if (counted.alive != Counted::kAlive) std::abort();
  return ++counted.uses;
}

struct UsesOnDestruction {
  int* uses;
  ~UsesOnDestruction() { *uses = useCounted(); }
};

TEST(ThreadCache, OneObjectPerThreadMadeOnFirstUseAndDestroyedWithTheThread) {
  const int made = gMade, destroyed = gDestroyed;
  EXPECT_EQ(tCounted.find(), nullptr);
  std::thread([] {
    EXPECT_EQ(tCounted.find(), nullptr);
    EXPECT_EQ(useCounted(), 1);
    EXPECT_EQ(useCounted(), 2);
    EXPECT_NE(tCounted.find(), nullptr);
    std::thread([] { EXPECT_EQ(useCounted(), 1); }).join();
  }).join();
  EXPECT_EQ(gMade - made, 2);
  EXPECT_EQ(gDestroyed - destroyed, 2);
  EXPECT_EQ(tCounted.find(), nullptr);
}

TEST(ThreadCache, MakesTheObjectWithTheCallersFunctionOnlyWhenTheThreadHasNone) {
  std::thread([] {
    constinit thread_local ThreadCache<int> number;
    int calls = 0;
    const auto make = [&calls] {
      ++calls;
      return std::make_unique<int>(7);
    };
    EXPECT_EQ(number.get(make), 7);
    number.get(make) = 8;
    EXPECT_EQ(number.get(make), 8);
    EXPECT_EQ(calls, 1);
  }).join();
}

TEST(ThreadCache, AThreadLocalDestructorAfterTheObjectIsGoneGetsAFreshOneThatIsDestroyedToo) {
  const int made = gMade, destroyed = gDestroyed;
  int usesAtExit = 0;
  std::thread([&usesAtExit] {
    // Made before the cache's object, so destroyed after it.
    thread_local UsesOnDestruction last{nullptr};
    last.uses = &usesAtExit;
    EXPECT_EQ(useCounted(), 1);
    EXPECT_EQ(useCounted(), 2);
  }).join();
  EXPECT_EQ(usesAtExit, 1);
  EXPECT_EQ(gMade - made, 2);
  EXPECT_EQ(gDestroyed - destroyed, 2);
}

TEST(ThreadCache, WorksFromEveryPlaceThatRunsAfterTheThreadsObjectsAreGone) {
  EXPECT_USE_AT_EXIT([] { (void)useCounted(); });
}

}  // namespace
}  // namespace vantrel
