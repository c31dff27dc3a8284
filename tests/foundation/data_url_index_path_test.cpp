#include <cstdint>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "tests/support/fixtures.h"
#include "vantrel/core/console.h"
#include "vantrel/foundation/files/query_dictionary.h"
#include "vantrel/foundation/values/data_helpers.h"
#include "vantrel/platform/foundation/formatters/byte_count_formatter.h"
#include "vantrel/platform/foundation/formatters/number_formatter.h"
#include "vantrel/platform/foundation/values/index_path.h"

namespace vantrel {
namespace {

TEST(DataHelpersTest, RemoveTrailingHexFFBeforeNl) {
  const struct {
    Data in, out;
  } cases[] = {
      {{0x41, 0x42, 0xFF, 0xFF, 0x0A}, {0x41, 0x42, 0x0A}},
      {{0x41, 0xFF, 0x0A}, {0x41, 0x0A}},
      {{0xFF, 0xFF, 0x0A}, {0xFF, 0xFF, 0x0A}},
      {{0xFF, 0x0A}, {0xFF, 0x0A}},
      {{0x41, 0x42, 0x0A}, {0x41, 0x42, 0x0A}},
      {{0x41, 0xFF, 0xFF}, {0x41, 0xFF, 0xFF}},
      {{}, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(removeTrailingHexFFBeforeNl(c.in), c.out) << hexDescription(c.in);
}

TEST(DataHelpersTest, SwapsAndTheOddCountWarning) {
  EXPECT_EQ(swapUInt16Data({0x01, 0x02, 0x03, 0x04}), (Data{0x02, 0x01, 0x04, 0x03}));
  EXPECT_EQ(swapUInt16Data({}), Data{});
  ConsoleCapture capture;
  EXPECT_EQ(swapUInt16Data({1, 2, 3, 4, 5}), (Data{1, 2, 3, 4, 5}));
  EXPECT_EQ(capture.standardOutput(),
            "WARNING! tried to swap an uneven number of bytes: {length = 5, bytes = 0x0102030405}\n");
}

TEST(DataHelpersTest, HexForms) {
  const Data d{0x0A, 0xFF, 0x10};
  const struct {
    std::optional<std::int64_t> group;
    const char* text;
  } cases[] = {{std::nullopt, "0aff10"}, {2, "0aff 10"}, {3, "0aff10 "}, {1, "0a ff 10 "}, {4, "0aff10"}};
  for (const auto& c : cases) EXPECT_EQ(hexDescription(d, c.group), c.text);
  EXPECT_EQ(asHexString(d), "<0aff10>");
  EXPECT_EQ(asHexString(Data{1, 2, 3, 4, 5}), "<01020304 05>");
  EXPECT_EQ(asHexString(Data{}), "<>");
}

TEST(DataHelpersTest, ArraysRoundTripAndReadOnlyWholeElements) {
  const std::vector<std::uint16_t> words = {0x0102, 0xA0B0, 7};
  const Data d = dataFromArray(words);
  EXPECT_EQ(d, (Data{0x02, 0x01, 0xB0, 0xA0, 0x07, 0x00}));  // little-endian machine
  EXPECT_EQ(toArray<std::uint16_t>(d), words);
  EXPECT_EQ(toArray<std::uint16_t>(d, 1, 1), std::vector<std::uint16_t>{0xA0B0});
  EXPECT_EQ(toArray<std::uint16_t>(d, 1), (std::vector<std::uint16_t>{0xA0B0, 7}));  // what remains
  EXPECT_EQ(toArray<std::uint16_t>(d, 3), std::vector<std::uint16_t>{});
  EXPECT_EQ(toArray<std::uint16_t>(Data{1, 2, 3, 4, 5}).size(), 2u);  // the odd byte is dropped
  const std::uint8_t raw[] = {9, 8, 7};
  EXPECT_EQ(dataFrom(raw, 2), (Data{9, 8}));
}

TEST(DataHelpersDeathTest, OutsideTheLimitsStops) {
  const Data d{1, 2, 3, 4, 5};
  EXPECT_DEATH((void)toArray<std::uint16_t>(d, 1, 2), "toArray: 2 elements from offset 1 reach past the 2 whole");
  EXPECT_DEATH((void)toArray<std::uint16_t>(d, 3), "toArray: offset 3 outside the 2 whole elements of 5 bytes");
  EXPECT_DEATH((void)toArray<std::uint16_t>(d, -1), "toArray: offset -1");
  EXPECT_DEATH((void)toArray<std::uint16_t>(d, 0, -1), "toArray: -1 elements");
  EXPECT_DEATH((void)hexDescription(d, 0), "hexDescription: group length 0 is below 1");
}

TEST(IndexPathTest, DescriptionMovesAndUrls) {
  EXPECT_EQ((IndexPath{2, 5}).vtDescription(), "(2,5)");
  EXPECT_EQ((IndexPath{-1, 0}).vtDescription(), "(-1,0)");
  EXPECT_EQ((IndexPath{2, 5}).vtAdvanceItemBy(3), (IndexPath{2, 8}));
  EXPECT_EQ((IndexPath{2, 5}).vtAdvanceItemBy(-5, 1), (IndexPath{3, 0}));
  const struct {
    const char* url;
    std::optional<IndexPath> path;
  } cases[] = {
      {"NSIndexPath://2-5", IndexPath{2, 5}},
      {"NSIndexPath://0-0/ignored?x#y", IndexPath{0, 0}},
      {"NSIndexPath://2-+5", IndexPath{2, 5}},  // base 10 with a sign, as the platform reads integers
      {"NSIndexPath://2", std::nullopt},
      {"NSIndexPath://2-5-7", std::nullopt},
      {"NSIndexPath://-1-2", std::nullopt},  // three parts
      {"NSIndexPath://2-", std::nullopt},
      {"NSIndexPath://2-0x5", std::nullopt},
      {"NSIndexPath://9223372036854775807-1", IndexPath{INT64_MAX, 1}},
      {"NSIndexPath://9223372036854775808-1", std::nullopt},  // overflow
      {"NSIndexPath:2-5", std::nullopt},                      // no host
      {"nsindexpath://2-5", std::nullopt},
      {"https://2-5", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url);
    const auto url = URL::fromString(c.url);
    ASSERT_TRUE(url);
    EXPECT_EQ(IndexPath::fromUrl(*url), c.path);
  }
}

TEST(IndexPathDeathTest, OverflowingMoveStops) {
  EXPECT_DEATH((void)(IndexPath{0, INT64_MAX}).vtAdvanceItemBy(1), "overflow");
  EXPECT_DEATH((void)(IndexPath{INT64_MIN, 0}).vtAdvanceItemBy(0, -1), "overflow");
}

TEST(QueryDictionaryTest, ReadsAppendsAndRoundTrips) {
  auto c = URLComponents::fromString("https://x.org/p?a=1&b#top");
  ASSERT_TRUE(c);
  EXPECT_EQ(queryDictionary(*c), (std::map<std::string, std::string>{{"a", "1"}, {"b", ""}}));
  EXPECT_EQ(c->queryItems(), (std::vector<URLQueryItem>{{"a", "1"}, {"b", std::nullopt}}));

  auto none = URLComponents::fromString("https://x.org/p");
  EXPECT_EQ(none->queryItems(), std::nullopt);
  EXPECT_TRUE(queryDictionary(*none).empty());
  appendToQueryDictionary(*none, "k", "v");
  EXPECT_EQ(none->url()->absoluteString(), "https://x.org/p?k=v");
  appendToQueryDictionary(*none, "k", "w");
  appendQueryItem(*none, "flag", std::nullopt);
  EXPECT_EQ(none->url()->absoluteString(), "https://x.org/p?k=v&k=w&flag");
  EXPECT_EQ(queryDictionary(*none).at("k"), "w");  // the last value of a repeated name

  setQueryDictionary(*c, std::map<std::string, std::string>{});
  EXPECT_EQ(c->url()->absoluteString(), "https://x.org/p?#top");  // empty but present

  const std::vector<URLQueryItem> tricky = {
      {"a&b", "c=d"}, {"plus+", "1 + 1"}, {"%41", "100%"}, {"#frag", "x#y"}, {"\u00E9", ""}, {"", std::nullopt}};
  c->setQueryItems(tricky);
  const auto url = c->url();
  ASSERT_TRUE(url);
  EXPECT_EQ(url->fragment(), "top");
  EXPECT_EQ(URLComponents(*url).queryItems(), tricky);
  c->setQueryItems(std::nullopt);
  EXPECT_EQ(c->url()->absoluteString(), "https://x.org/p#top");
}

TEST(QueryDictionaryTest, ItemsThatDoNotDecodeStayAsWritten) {
  auto c = URLComponents::fromString("https://x.org/?a=%FF&b=%41");
  EXPECT_EQ(c->queryItems(), (std::vector<URLQueryItem>{{"a", "%FF"}, {"b", "A"}}));
  appendQueryItem(*c, "c", "1");
  EXPECT_EQ(c->percentEncodedQuery(), "a=%FF&b=%41&c=1");  // the items already there are untouched
}

TEST(FormattersTest, ByteCounts) {
  using U = ByteCountFormatter::Units;
  using S = ByteCountFormatter::CountStyle;
  const struct {
    ByteCountFormatter formatter;
    std::int64_t count;
    const char* text;
  } cases[] = {
      {{}, 0, "0 bytes"},
      {{}, 1, "1 byte"},
      {{}, 999, "999 bytes"},
      {{}, 1000, "1 KB"},
      {{}, 1499, "1 KB"},
      {{}, 1500, "2 KB"},
      {{}, 999'499, "999 KB"},
      {{}, 999'500, "1 MB"},  // rounds up into the next unit
      {{}, 1'500'000, "1.5 MB"},
      {{}, 1'250'000'000, "1.3 GB"},
      {{U{}, S::memory}, 1536, "2 KB"},
      {{U{}, S::binary}, 1'572'864, "1.5 MB"},
      {ByteCountFormatter(U::useMB), 1'500, "0 MB"},
      {{U::useKB, S::file}, 5'000'000, "5000 KB"},
      {ByteCountFormatter(U{U::useBytes, U::useKB}), 512, "512 bytes"},
      {{}, -1'500'000, "-1.5 MB"},
      {{}, INT64_MAX, "9.2 EB"},
      {{}, INT64_MIN, "-9.2 EB"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.formatter.string(c.count), c.text) << c.count;
}

TEST(FormattersTest, NumbersFollowTheFormattersLocale) {
  const NumberFormatter plain;
  EXPECT_EQ(plain.string(1234567), "1234567");
  EXPECT_EQ(plain.string(std::int64_t{-9}), "-9");
  const auto decimal = NumberFormatter(NumberFormatter::Style::decimal).string(std::int64_t{1234567});
  ASSERT_TRUE(decimal);
  EXPECT_NE(decimal->find("234"), std::string::npos);
  EXPECT_TRUE(NumberFormatter(NumberFormatter::Style::spellOut).string(42).has_value());
}

}  // namespace
}  // namespace vantrel
