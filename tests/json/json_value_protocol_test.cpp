#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "vantrel/json/json_value_protocol.h"

namespace vantrel {
namespace {

struct Point {
  int x = 0;
  int y = 0;
  [[nodiscard]] PlatformValue jsonObjectValue() const { return PlatformValue(std::vector<int>{x, y}); }
};

struct Unrelated {};

static_assert(VantrelJsonValue<std::string>);
static_assert(VantrelJsonValue<std::int64_t>);
static_assert(VantrelJsonValue<std::uint64_t>);
static_assert(VantrelJsonValue<double>);
static_assert(VantrelJsonValue<bool>);
static_assert(VantrelJsonValue<JsonNull>);
static_assert(VantrelJsonValue<std::vector<Unrelated>>);  // bridged as a whole
static_assert(VantrelJsonValue<Point>);
static_assert(!VantrelJsonValue<Unrelated>);
// What would stop the program elsewhere does not compile here.
template <class R>
concept Converts = requires(const R& r) { makeJsonNsArray(r); };
static_assert(Converts<std::vector<std::vector<int>>>);
static_assert(!json_internal::convertsToJson<std::vector<std::vector<Unrelated>>>());
static_assert(!json_internal::convertsToJson<std::vector<std::map<int, int>>>());
static_assert(json_internal::convertsToJson<std::vector<std::optional<std::map<std::string, Point>>>>());

TEST(JsonValueProtocol, SequencesKeepOrDropAbsentElements) {
  const std::vector<std::optional<std::string>> texts{"a", std::nullopt, "b"};
  EXPECT_EQ(makeJsonNsArray(texts), (PlatformValue::Array{"a", nullptr, "b"}));
  EXPECT_EQ(makeJsonNsArray(texts, true), (PlatformValue::Array{"a", "b"}));
  EXPECT_TRUE(makeJsonNsArray(std::vector<int>{}).empty());
  EXPECT_EQ(makeJson(std::vector<int>{}).type(), JsonType::array);
}

TEST(JsonValueProtocol, KindsOfNumbers) {
  const auto values = makeJsonNsArray(std::vector<std::optional<std::uint64_t>>{18446744073709551615u});
  EXPECT_EQ(values[0].number()->kind(), JsonNumber::Kind::unsignedInteger);
  EXPECT_EQ(makeJsonNsArray(std::vector<std::int64_t>{-1})[0].number()->kind(), JsonNumber::Kind::signedInteger);
  EXPECT_TRUE(makeJsonNsArray(std::vector<bool>{true})[0].number()->isBool());
  EXPECT_EQ(makeJson(std::vector<bool>{true})[0].type(), JsonType::bool_);
}

TEST(JsonValueProtocol, DictionariesNestAndFollowTheOutermostFlag) {
  using Inner = std::vector<std::optional<int>>;
  const std::map<std::string, std::optional<Inner>> values{{"a", Inner{1, std::nullopt}}, {"gone", std::nullopt}};
  const Json kept = makeJson(values);
  EXPECT_EQ(kept["a"].arrayValue().size(), 2u);
  EXPECT_EQ(kept["gone"].type(), JsonType::null);
  EXPECT_TRUE(kept["gone"].exists());
  const Json dropped = makeJson(values, true);
  EXPECT_EQ(dropped["a"].arrayValue().size(), 1u);
  EXPECT_FALSE(dropped["gone"].exists());
  EXPECT_EQ(makeJsonNsDictionary(std::map<std::string, int>{{"k", 1}}),
            makeJsonNsDictionary(std::map<std::string, std::optional<int>>{{"k", 1}}, false));
  EXPECT_TRUE(makeJsonNsDictionary(std::map<std::string, int>{}).empty());
}

TEST(JsonValueProtocol, HostTypesUseTheirOwnValue) {
  const Json points = makeJson(std::vector<Point>{{1, 2}});
  EXPECT_EQ(points[0][1].intValue(), 2);
  // Read directly, a vector bridges as a whole, its elements unconverted.
  EXPECT_EQ(jsonObjectValue(std::vector<Point>{{1, 2}}).array()->front().kind(), PlatformValue::Kind::opaque);
}

}  // namespace
}  // namespace vantrel
