#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/collections/bit_set.h"

namespace vantrel {
namespace {

using Words = std::vector<std::uint64_t>;
using Runs = std::vector<std::pair<bool, ClosedRange<std::int64_t>>>;

BitSet withWords(std::int64_t size, const Words& words) {
  BitSet s(size);
  for (std::size_t w = 0; w < words.size(); ++w) {
    for (int bit = 0; bit < 64; ++bit) {
      if ((words[w] >> bit) & 1) s.set(static_cast<std::int64_t>(w * 64) + bit);
    }
  }
  return s;
}

TEST(BitSet, EightBitsWithBitsZeroAndThree) {
  BitSet s(8);
  s.set(0);
  s.set(3);
  EXPECT_EQ(s.words(), Words{9});
  EXPECT_EQ(s.cardinality(), 2);
  EXPECT_FALSE(s.all1());
  EXPECT_TRUE(s.any1());
  EXPECT_FALSE(s.all0());
  EXPECT_EQ(s.bitCode(), "00001001");
  EXPECT_EQ(s.hexCode(), "0x09");
  EXPECT_EQ(s.hexDescription(), "BitSet(8 bits: 0x09)");
  EXPECT_EQ(s.description(), "1001" + std::string(60, '0') + " ");
  EXPECT_EQ(s.continuousRanges(), (Runs{{true, {0, 0}}, {false, {1, 2}}, {true, {3, 3}},
                                        {false, {4, 7}}}));
  EXPECT_EQ(s.hashValue(), 1243);
  EXPECT_EQ((~s).words(), Words{246});
  EXPECT_TRUE(s[3] && s.isSet(0) && !s[1]);
  EXPECT_FALSE(s.flip(3));
  EXPECT_TRUE(s.flip(3));
  s.clear(0);
  s.set(1, true);
  EXPECT_EQ(s.words(), Words{10});
}

TEST(BitSet, WholeSetsAndCodes) {
  BitSet seventy(70);
  seventy.setAll();
  EXPECT_EQ(seventy.words(), (Words{~std::uint64_t{0}, 63}));
  EXPECT_TRUE(seventy.all1());
  EXPECT_EQ(seventy.cardinality(), 70);
  EXPECT_EQ(seventy.bitCode(), "111111/" + std::string(64, '1'));
  EXPECT_EQ(seventy.hexCode(), "0x3f/ffffffffffffffff");
  seventy.clearAll();
  EXPECT_TRUE(seventy.all0());

  const BitSet s64 = withWords(64, {255});
  EXPECT_EQ(s64.hexCode(), "0x00000000000000ff");
  EXPECT_EQ(s64.bitCode(), std::string(56, '0') + "11111111");
  EXPECT_EQ(withWords(140, {1, 2, 3}).hexCode(), "0x003/0000000000000002/0000000000000001");
  const BitSet one = withWords(1, {1});
  EXPECT_EQ(one.bitCode(), "1");
  EXPECT_EQ(one.hexCode(), "0x1");
  EXPECT_EQ(one.continuousRanges(), (Runs{{true, {0, 0}}}));
  EXPECT_EQ(bitsToString(5), "101" + std::string(61, '0'));
}

TEST(BitSet, EqualityHashAndOperators) {
  EXPECT_EQ(BitSet(10), BitSet(20));
  EXPECT_NE(BitSet(10), BitSet(100));
  EXPECT_EQ(BitSet::allZeros().size(), 64);
  EXPECT_TRUE(BitSet::allZeros().all0());

  const BitSet eight = withWords(8, {0xF0});
  const BitSet seventy = withWords(70, {0x3C, 0x21});
  const BitSet both = eight & seventy;
  EXPECT_EQ(both.size(), 70);
  EXPECT_EQ(both.words(), (Words{0x30, 0}));
  const BitSet either = eight | seventy;
  EXPECT_EQ(either.size(), 70);
  EXPECT_EQ(either.words(), (Words{0xFC, 0x21}));
  EXPECT_EQ((withWords(60, {1}) | withWords(10, {2})).size(), 60);
  // A hash whose mixed value reaches 2^63 keeps its bit pattern.
  BitSet top(64);
  top.set(63);
  const std::uint64_t h = 1234 ^ (std::uint64_t{1} << 63);
  EXPECT_EQ(top.hashValue(), static_cast<std::int64_t>((h >> 32) ^ h));
  EXPECT_EQ(std::hash<BitSet>()(BitSet(10)), std::hash<BitSet>()(BitSet(20)));
}

std::vector<bool> modelOf(const BitSet& s) {
  std::vector<bool> bits;
  for (std::int64_t i = 0; i < s.size(); ++i) bits.push_back(s[i]);
  return bits;
}

BitSet randomSet(std::mt19937_64& random, std::int64_t size) {
  BitSet s(size);
  for (std::int64_t i = 0; i < size; ++i) {
    if (random() % 2) s.set(i);
  }
  return s;
}

void expectInvariant(const BitSet& s) {
  ASSERT_EQ(s.words().size(), static_cast<std::size_t>((s.size() + 63) / 64));
  const std::int64_t rest = s.size() % 64;
  if (rest != 0) {
    ASSERT_EQ(s.words().back() >> rest, 0u);
  }
}

TEST(BitSet, OperatorsAgainstAModelOverMixedSizes) {
  std::mt19937_64 random(99);
  for (int round = 0; round < 600; ++round) {
    const auto sa = static_cast<std::int64_t>(random() % 200 + 1);
    const auto sb = static_cast<std::int64_t>(random() % 200 + 1);
    const BitSet a = randomSet(random, sa), b = randomSet(random, sb);
    const auto ma = modelOf(a), mb = modelOf(b);
    const std::int64_t size = std::max(sa, sb);
    auto at = [](const std::vector<bool>& m, std::int64_t i) {
      return i < static_cast<std::int64_t>(m.size()) && m[static_cast<std::size_t>(i)];
    };
    const BitSet results[] = {a & b, a | b, a ^ b};
    for (const BitSet& r : results) {
      ASSERT_EQ(r.size(), size);
      ASSERT_NO_FATAL_FAILURE(expectInvariant(r));
    }
    for (std::int64_t i = 0; i < size; ++i) {
      ASSERT_EQ(results[0][i], at(ma, i) && at(mb, i)) << sa << " & " << sb << " bit " << i;
      ASSERT_EQ(results[1][i], at(ma, i) || at(mb, i)) << sa << " | " << sb << " bit " << i;
      ASSERT_EQ(results[2][i], at(ma, i) != at(mb, i)) << sa << " ^ " << sb << " bit " << i;
    }
    const BitSet inverse = ~a;
    ASSERT_EQ(inverse.size(), sa);
    ASSERT_NO_FATAL_FAILURE(expectInvariant(inverse));
    for (std::int64_t i = 0; i < sa; ++i) ASSERT_EQ(inverse[i], !at(ma, i));
    ASSERT_EQ(inverse.cardinality() + a.cardinality(), sa);

    // The runs cover every bit, alternate, and hold the bits they say.
    std::int64_t next = 0;
    std::optional<bool> previous;
    for (const auto& [value, range] : a.continuousRanges()) {
      ASSERT_EQ(range.lowerBound(), next);
      if (previous) {
        ASSERT_NE(*previous, value);
      }
      for (std::int64_t i = range.lowerBound(); i <= range.upperBound(); ++i) ASSERT_EQ(a[i], value);
      next = range.upperBound() + 1;
      previous = value;
    }
    ASSERT_EQ(next, sa);
  }
}

TEST(BitSet, CodesReadBackForSizesUpTo64) {
  std::mt19937_64 random(5);
  for (std::int64_t size = 1; size <= 64; ++size) {
    for (int round = 0; round < 8; ++round) {
      const BitSet original = randomSet(random, size);
      BitSet fromBits(size), fromHex(size);
      ASSERT_TRUE(fromBits.setToBitCoded(original.bitCode()));
      ASSERT_TRUE(fromHex.setToHexCoded(original.hexCode()));
      ASSERT_EQ(fromBits, original) << original.bitCode();
      ASSERT_EQ(fromHex, original) << original.hexCode();
    }
  }
  BitSet eight(8);
  ASSERT_TRUE(eight.setToHexCoded("0x09"));
  EXPECT_EQ(eight.words(), Words{9});
}

// The setters used to make the read value the only storage word: a set of
// more than 64 bits lost its other words, and a value wider than the set
// left bits at or beyond its size.
TEST(BitSet, SettersKeepTheWordCountAndClearPastTheSize) {
  BitSet wide = withWords(140, {1, 2, 3});
  ASSERT_TRUE(wide.setToHexCoded("0xff"));
  EXPECT_EQ(wide.words(), (Words{0xFF, 0, 0}));
  ASSERT_TRUE(wide.setToBitCoded("101"));
  EXPECT_EQ(wide.words(), (Words{5, 0, 0}));
  wide.set(139);  // still addressable
  EXPECT_EQ(wide.hexCode(), "0x800/0000000000000000/0000000000000005");

  BitSet four(4);
  ASSERT_TRUE(four.setToHexCoded("0xff"));
  EXPECT_EQ(four.words(), Words{0xF});
  EXPECT_TRUE(four.all1());
  EXPECT_EQ(four.cardinality(), 4);
  ASSERT_TRUE(four.setToBitCoded("111111"));
  EXPECT_EQ(four.words(), Words{0xF});
}

TEST(BitSet, TextsThatDoNotReadChangeNothing) {
  const char* badBits[] = {"", "2", "10 ", "-1", "+1", "1/0", "0x1"};
  const std::string tooLong(65, '1');
  const char* badHex[] = {"", "0x", "ff", "0X1f", "xx1f", "0x-1", "0x+1", "0x1/0", "0xg",
                          "0x00000000000000000", " 0x1"};
  BitSet s = withWords(70, {0x55, 0x3});
  const BitSet before = s;
  for (const char* code : badBits) {
    EXPECT_FALSE(s.setToBitCoded(code)) << code;
    EXPECT_EQ(s, before) << code;
  }
  EXPECT_FALSE(s.setToBitCoded(tooLong));
  for (const char* code : badHex) {
    EXPECT_FALSE(s.setToHexCoded(code)) << code;
    EXPECT_EQ(s, before) << code;
  }
}

TEST(BitSetDeathTest, SizesAndIndexesAreChecked) {
  EXPECT_DEATH((void)BitSet(0), "BitSet size 0 is below 1");
  BitSet s(8);
  EXPECT_DEATH(s.set(8), "BitSet index 8 out of range 0..<8");
  EXPECT_DEATH((void)s[-1], "BitSet index -1 out of range 0..<8");
}

}  // namespace
}  // namespace vantrel
