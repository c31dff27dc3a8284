// The text layer's shared pieces (the per-thread grapheme iterator, the
// predefined character sets built on first use, the normalisers) used from
// many threads at once, first use included.
#include <atomic>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/text/character_set.h"
#include "vantrel/text/characters.h"
#include "vantrel/text/escaping.h"
#include "vantrel/text/string_services.h"
#include "vantrel/text/trimming.h"

namespace vantrel {
namespace {

TEST(TextConcurrency, SharedPiecesFromManyThreads) {
  constexpr int kThreads = 8;
  std::atomic<int> mismatches{0};
  std::atomic<bool> go{false};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      while (!go.load()) std::this_thread::yield();
      for (int i = 0; i < 200; ++i) {
        if (characterCount("e\u0301👨‍👩‍👧\r\n") != 3) ++mismatches;
        if (stringByTrimmingWhiteSpacesAndNewlines("\u3000 x \n") != "x") ++mismatches;
        if (!CharacterSet::urlQueryAllowed().contains(U'?')) ++mismatches;
        if (rangeOf("caf\u00E9", "e\u0301") != ByteRange{3, 5}) ++mismatches;
        if (stringEncodedForJson("a\"b") != "a\\\"b") ++mismatches;
      }
    });
  }
  go = true;
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(mismatches.load(), 0);
}

}  // namespace
}  // namespace vantrel
