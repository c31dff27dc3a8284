#include "vantrel/core/hash_combine.h"

#include <cstdint>
#include <unordered_set>

#include <gtest/gtest.h>

namespace vantrel {
namespace {

std::size_t hashOf(std::uint64_t a, std::uint64_t b) {
  return hashCombine(static_cast<std::size_t>(hashMix(a)), b);
}

TEST(HashCombine, TheOrderOfThePartsMatters) {
  // Two-part values whose parts trade places: a matrix of 2 x 3 against 3 x 2.
  for (std::uint64_t a = 0; a < 20; ++a) {
    for (std::uint64_t b = a + 1; b < 20; ++b) {
      EXPECT_NE(hashOf(a, b), hashOf(b, a)) << a << ", " << b;
    }
  }
}

TEST(HashCombine, ZeroPartsStillMoveTheHash) {
  std::unordered_set<std::size_t> seen;
  std::size_t h = 0;
  for (int i = 0; i < 64; ++i) {
    h = hashCombine(h, 0);
    seen.insert(h);
  }
  EXPECT_EQ(seen.size(), 64u);
}

TEST(HashCombine, SmallNeighboursSpreadOverEveryBit) {
  // Each output bit of hashMix flips for about half of the one-bit input changes.
  for (std::uint64_t x : {0ULL, 1ULL, 2ULL, 1000ULL}) {
    for (int bit = 0; bit < 64; ++bit) {
      const std::uint64_t changed = hashMix(x) ^ hashMix(x ^ (std::uint64_t{1} << bit));
      EXPECT_GE(__builtin_popcountll(changed), 12) << x << " bit " << bit;
    }
  }
}

}  // namespace
}  // namespace vantrel
