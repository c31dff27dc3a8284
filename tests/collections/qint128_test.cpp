#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/collections/qint128.h"
#include "vantrel/core/random.h"

namespace vantrel {
namespace {

const QInt128 example{.low = 0xFEDCBA9876543210ULL, .high = 0xA123456789ABCDEFULL};
const std::vector<std::uint8_t> exampleBytes{0xA1, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF,
                                             0xFE, 0xDC, 0xBA, 0x98, 0x76, 0x54, 0x32, 0x10};

TEST(QInt128, ZeroForms) {
  const QInt128 zero;
  EXPECT_EQ(zero.asString(), std::string(32, '0'));
  EXPECT_EQ(zero.asUuidString(), "00000000-0000-0000-0000-000000000000");
}

TEST(QInt128, TheExampleInEveryForm) {
  EXPECT_EQ(QInt128::fromBytes(exampleBytes), example);
  EXPECT_EQ(example.asString(), "a123456789abcdeffedcba9876543210");
  EXPECT_EQ(example.description(), example.asString());
  EXPECT_EQ(example.asUuidString(), "A1234567-89AB-CDEF-FEDC-BA9876543210");
  EXPECT_EQ(example.asCompactString(), "A1234567");
  EXPECT_EQ(example.asUuidShortstring(), "A1234567");
  EXPECT_EQ(example.asUuidSubstring(), "A1234567");
  EXPECT_EQ(example.asData(), exampleBytes);
  EXPECT_EQ(example.asBytes(), exampleBytes);
  EXPECT_EQ(example.asUuid().uuidString(), example.asUuidString());
  EXPECT_EQ(example.asUuid_t()[0], 0xA1);
  EXPECT_EQ(QInt128::fromUuidString("A1234567-89AB-CDEF-FEDC-BA9876543210"), example);
  EXPECT_EQ(QInt128::fromUuidString("a1234567-89ab-cdef-fedc-ba9876543210"), example);
  EXPECT_EQ(QInt128::fromString("A123456789ABCDEFfedcba9876543210"), example);
}

TEST(QInt128, ParseTable) {
  const std::pair<const char*, bool> cases[] = {
      {"a123456789abcdeffedcba9876543210", true},
      {"A123456789ABCDEFfedcba9876543210", true},   // mixed case
      {"a123456789abcdeffedcba987654321", false},   // 31
      {"a123456789abcdeffedcba98765432100", false}, // 33
      {"A1234567-89AB-CDEF-FEDC-BA9876543210", false},  // 36
      {"g123456789abcdeffedcba9876543210", false},
      {"a123456789abcdeffedcba987654321g", false},
      {"a123456789abcdef fedcba987654321", false},  // blank
      {"0x23456789abcdeffedcba9876543210", false},
      {"0x123456789abcdef0x23456789abcde", false},
      {"+123456789abcdeffedcba9876543210", false},
      {"-123456789abcdeffedcba9876543210", false},
      {"a123456789abcdef-edcba9876543210", false},
      {"", false},
  };
  for (const auto& [text, parses] : cases) {
    EXPECT_EQ(QInt128::fromString(text).has_value(), parses) << text;
  }
  const std::pair<const char*, bool> uuidCases[] = {
      {"a1234567-89ab-cdef-fedc-ba9876543210", true},
      {"a123456789abcdeffedcba9876543210", false},
      {"{a1234567-89ab-cdef-fedc-ba9876543210}", false},
      {"a1234567-89ab-cdef-fedcba98-76543210", false},
      {"a1234567-89ab-cdef-fedc-ba987654321g", false},
      {"+1234567-89ab-cdef-fedc-ba9876543210", false},
      {"a1234567-89ab-cdef-fedc-ba9876543210 ", false},
  };
  for (const auto& [text, parses] : uuidCases) {
    EXPECT_EQ(QInt128::fromUuidString(text).has_value(), parses) << text;
  }
  EXPECT_FALSE(QInt128::fromData(std::vector<std::uint8_t>(15)));
  EXPECT_FALSE(QInt128::fromData(std::vector<std::uint8_t>(17)));
  EXPECT_FALSE(QInt128::fromBytes(std::vector<std::uint8_t>(15)));
  EXPECT_FALSE(QInt128::fromBytes(std::vector<std::uint8_t>(17)));
}

TEST(QInt128, RandomRoundTripsThroughEveryConversion) {
  std::mt19937_64 random(42);
  for (int i = 0; i < 2000; ++i) {
    const QInt128 v{.low = random(), .high = random()};
    ASSERT_EQ(QInt128::fromData(v.asData()), v);
    ASSERT_EQ(QInt128::fromBytes(v.asBytes()), v);
    ASSERT_EQ(QInt128::fromString(v.asString()), v);
    ASSERT_EQ(QInt128::fromUuidString(v.asUuidString()), v);
    ASSERT_EQ(QInt128::fromUuid(v.asUuid()), v);
    ASSERT_EQ(QInt128::fromNsUuid(UUID(v.asUuid_t())), v);
    ASSERT_EQ(QInt128::forced(v.asString()), v);
    ASSERT_EQ(QInt128::fromUuidStringForced(v.asUuidString()), v);
  }
}

TEST(QInt128, NewUuidsComeFromTheCoreRandomSource) {
  std::vector<std::uint32_t> script(16, 0xFF);
  ScriptedRandomSource source(script);
  ScopedRandomSource use(source);
  EXPECT_EQ(QInt128::createNewUuid().asUuidString(), "FFFFFFFF-FFFF-4FFF-BFFF-FFFFFFFFFFFF");
}

TEST(QInt128, HashOrderAndJoins) {
  const QInt128 a{.low = 1, .high = 2};
  const QInt128 swapped{.low = 2, .high = 1};
  EXPECT_EQ(a.hashValue(), 3);
  EXPECT_EQ(swapped.hashValue(), 3);
  EXPECT_NE(a, swapped);
  EXPECT_EQ(std::unordered_set<QInt128>({a, swapped, a}).size(), 2u);
  EXPECT_LT((QInt128{.low = ~std::uint64_t{0}, .high = 0}), (QInt128{.low = 0, .high = 1}));
  const std::vector<QInt128> values{example, QInt128{}};
  EXPECT_EQ(joinedUuidStrings(values),
            "A1234567-89AB-CDEF-FEDC-BA9876543210,00000000-0000-0000-0000-000000000000");
  EXPECT_EQ(joinedUuidSubstrings(values), "A1234567,00000000");
  EXPECT_EQ(joinedUuidStrings(std::vector<QInt128>{}), "");
}

TEST(QInt128DeathTest, ForcedReadersStopWithTheirMessages) {
  EXPECT_DEATH((void)QInt128::fromUuidStringForced("nope"), "Invalid uuid string: nope");
  EXPECT_DEATH((void)QInt128::forced("abc"), "abc is not a uuid! Length is not 32\\.");
  EXPECT_DEATH((void)QInt128::forced("g123456789abcdeffedcba9876543210"),
               "g123456789abcdeffedcba9876543210 is not a uuid! Could not "
               "UInt64\\(g123456789abcdef\\) or UInt64\\(fedcba9876543210\\)");
}

}  // namespace
}  // namespace vantrel
