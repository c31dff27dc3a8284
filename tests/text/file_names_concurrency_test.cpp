// The fixed file-name and base-32 sets and the case-insensitive ordering are
// built on first use; threads that reach them first at the same time must
// all see the one finished value.
#include <atomic>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/exit_while_used.h"
#include "vantrel/text/case_and_values.h"
#include "vantrel/text/file_names.h"

namespace vantrel {
namespace {

bool useSharedValues() {
  return vtSanetizeFilename("a:b\t.") == "a_b_." && isBase32("MZXW6") &&
         CharacterSet::vtPortableForFilesystemCharacterSet().contains(U'_') &&
         vtSanetizeFilenameWeaker_Old("(a:)") == "(a)" && StringSort::incaseSensitive()("apple", "Banana");
}

TEST(FileNamesConcurrency, FirstUseFromManyThreads) {
  constexpr int kThreads = 8;
  std::atomic<int> mismatches{0};
  std::atomic<bool> go{false};
  std::vector<std::thread> threads;
  std::vector<const CharacterSet*> seen(kThreads);
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      while (!go.load()) std::this_thread::yield();
      seen[static_cast<std::size_t>(t)] = &CharacterSet::base32();
      for (int i = 0; i < 100; ++i) {
        if (!useSharedValues()) ++mismatches;
      }
    });
  }
  go = true;
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(mismatches.load(), 0);
  for (const CharacterSet* set : seen) EXPECT_EQ(set, &CharacterSet::base32());
}

TEST(FileNamesConcurrency, SharedValuesOutliveExit) {
  EXPECT_EXIT_WHILE_USED([] {
    if (!useSharedValues()) std::abort();
  });
}

}  // namespace
}  // namespace vantrel
