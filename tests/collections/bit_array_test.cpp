#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/collections/bit_array.h"

namespace vantrel {
namespace {

std::int64_t designHash(const std::vector<bool>& model) {
  std::int64_t h = static_cast<std::int64_t>(model.size()) ^ 52;
  for (bool b : model) h ^= (b ? 1 : 0) ^ 31;
  return h;
}

void expectMatches(const BitArray& array, const std::vector<bool>& model) {
  ASSERT_EQ(array.count(), static_cast<std::int64_t>(model.size()));
  std::int64_t trues = 0;
  for (std::size_t i = 0; i < model.size(); ++i) {
    ASSERT_EQ(array[static_cast<std::int64_t>(i)], model[i]) << "element " << i;
    trues += model[i];
  }
  ASSERT_EQ(array.cardinality(), trues);
  ASSERT_EQ(array, BitArray(model));
  ASSERT_EQ(array.hashValue(), designHash(model));
  // Nothing is left behind past the end.
  const auto& words = array.words();
  ASSERT_GE(words.size() * 64, model.size());
  for (std::size_t bit = model.size(); bit < words.size() * 64; ++bit) {
    ASSERT_EQ((words[bit / 64] >> (bit % 64)) & 1, 0u) << "bit " << bit;
  }
}

TEST(BitArray, SeededDifferentialAgainstVectorOfBool) {
  std::mt19937_64 random(7);
  BitArray array;
  std::vector<bool> model;
  for (int step = 0; step < 4000; ++step) {
    const auto size = static_cast<std::int64_t>(model.size());
    const bool value = random() % 2 == 0;
    switch (random() % 9) {
      case 0:
      case 1:
        array.append(value);
        model.push_back(value);
        break;
      case 2:
      case 3: {
        const auto at = static_cast<std::int64_t>(random() % static_cast<std::uint64_t>(size + 1));
        array.insert(value, at);
        model.insert(model.begin() + at, value);
        break;
      }
      case 4:
        if (size > 0) {
          const auto at = static_cast<std::int64_t>(random() % static_cast<std::uint64_t>(size));
          array.set(at, value);
          model[static_cast<std::size_t>(at)] = value;
        }
        break;
      case 5:
        if (size > 0) {
          const auto at = static_cast<std::int64_t>(random() % static_cast<std::uint64_t>(size));
          ASSERT_EQ(array.removeAtIndex(at), model[static_cast<std::size_t>(at)]);
          model.erase(model.begin() + at);
        }
        break;
      case 6: {
        const auto removed = array.removeLast();
        ASSERT_EQ(removed.has_value(), !model.empty());
        if (!model.empty()) {
          ASSERT_EQ(*removed, model.back());
          model.pop_back();
        }
        break;
      }
      case 7:
        if (random() % 40 == 0) {
          array.removeAll(random() % 2 == 0);
          model.clear();
        }
        break;
      case 8:
        if (size > 0) {
          ASSERT_EQ(array.first(), model.front());
          ASSERT_EQ(array.last(), model.back());
        }
        break;
    }
    ASSERT_NO_FATAL_FAILURE(expectMatches(array, model)) << "step " << step;
  }
}

TEST(BitArray, LiteralsAreElementsAndTheCountFormIsNamed) {
  static_assert(!std::is_constructible_v<BitArray, int, bool>);
  const BitArray literal{true, false, true};
  EXPECT_EQ(literal.count(), 3);
  EXPECT_EQ(literal, BitArray::fromIntRepresentation({1, 0, 5}));
  const BitArray three = BitArray::fromCount(3, true);
  EXPECT_EQ(three.count(), 3);
  EXPECT_EQ(three.cardinality(), 3);
  EXPECT_EQ(three.description(), "[true, true, true]");
  EXPECT_EQ(BitArray::fromCount(0, true), BitArray());
  EXPECT_EQ(BitArray::fromCount(0, true).cardinality(), 0);
  const BitArray full = BitArray::fromCount(64, true);
  EXPECT_EQ(full.cardinality(), 64);
  EXPECT_EQ(full.words(), (std::vector<std::uint64_t>{~std::uint64_t{0}, 0}));
  const BitArray falses = BitArray::fromCount(5, false);
  EXPECT_EQ(falses.count(), 5);
  EXPECT_EQ(falses.cardinality(), 0);
}

TEST(BitArray, WordsGrowOneAtATime) {
  BitArray array;
  for (int i = 0; i < 64; ++i) array.append(i % 3 == 0);
  EXPECT_EQ(array.words().size(), 1u);
  array.append(true);
  EXPECT_EQ(array.words().size(), 2u);
}

TEST(BitArray, RemovalsAndTextForms) {
  BitArray array{true, false, true};
  EXPECT_EQ(array.removeAtIndex(0), true);
  EXPECT_EQ(array.description(), "[false, true]");
  EXPECT_EQ(array.cardinality(), 1);
  BitArray one{true};
  EXPECT_EQ(one.removeLast(), true);
  EXPECT_TRUE(one.isEmpty());
  EXPECT_EQ(one.cardinality(), 0);
  EXPECT_EQ(BitArray().removeLast(), std::nullopt);
  EXPECT_EQ(BitArray().description(), "[]");
  for (bool keep : {true, false}) {
    BitArray cleared = BitArray::fromCount(130, true);
    cleared.removeAll(keep);
    EXPECT_TRUE(cleared.isEmpty());
    EXPECT_EQ(cleared.words().size(), keep ? 1u : 0u);
    cleared.append(true);
    EXPECT_EQ(cleared, (BitArray{true}));
  }
}

TEST(BitArray, HashValues) {
  EXPECT_EQ(BitArray().hashValue(), 52);
  EXPECT_EQ((BitArray{true}).hashValue(), 43);
  EXPECT_EQ((BitArray{false}).hashValue(), 42);
  EXPECT_EQ((BitArray{true, true, true}).hashValue(), 41);
  EXPECT_EQ((BitArray{true, false, true}).hashValue(), 40);
}

TEST(BitArray, IteratesInIndexOrder) {
  const BitArray array{true, false, false, true};
  std::vector<bool> seen;
  for (bool b : array) seen.push_back(b);
  EXPECT_EQ(seen, (std::vector<bool>{true, false, false, true}));
}

TEST(BitArrayDeathTest, IndexesAndCountsAreChecked) {
  BitArray array{false, true};
  EXPECT_DEATH(array.insert(true, 3), "Index out of range \\(3\\)");
  EXPECT_DEATH((void)array[2], "Index out of range \\(2\\)");
  EXPECT_DEATH(array.set(-1, true), "Index out of range \\(-1\\)");
  EXPECT_DEATH((void)array.removeAtIndex(2), "Index out of range \\(2\\)");
  EXPECT_DEATH((void)BitArray::fromCount(-1, false), "Can't construct BitArray with count < 0");
}

}  // namespace
}  // namespace vantrel
