#include <any>
#include <memory>
#include <optional>
#include <string>

#include "tests/support/fixtures.h"
#include "vantrel/core/console.h"
#include "vantrel/foundation/values/optional_helpers.h"

namespace vantrel {
namespace {

TEST(OptionalHelpersTest, ExactTexts) {
  const std::optional<int> none;
  const std::optional<int> five = 5;
  const std::optional<std::string> ab = "ab";
  EXPECT_EQ(q_(none), "nil");
  EXPECT_EQ(q_(five), "5");
  EXPECT_EQ(q_(ab), "ab");
  EXPECT_EQ(qq(ab), "\"ab\"");
  EXPECT_EQ(qq(none), "nil");
  EXPECT_EQ(q2(none), "");
  EXPECT_EQ(q2(std::optional<double>(1.0)), "1.0");
  EXPECT_EQ(toString(std::optional<bool>(true), "yes", "no", "none"), "yes");
  EXPECT_EQ(toString(std::optional<bool>(false), "yes", "no", "none"), "no");
  EXPECT_EQ(toString(std::optional<bool>(), "yes", "no", "none"), "none");
  EXPECT_EQ(q_(true, "on", "off"), "on");
  EXPECT_EQ(q_(false, "on", "off"), "off");
  EXPECT_EQ(qTrueFalseString(false), "false");
  EXPECT_EQ(qTrueFalseString(true), "true");
  EXPECT_EQ(bytes(std::uint16_t{0x1234}), (std::vector<std::uint8_t>{0x12, 0x34}));

  ConsoleCapture capture;
  EXPECT_EQ(nilPrint(none, "config"), std::nullopt);
  EXPECT_EQ(nilPrint(five, "config"), 5);
  EXPECT_EQ(capture.standardOutput(), "\u274C\u274C\u274C Optional.supposed: \"config\" \u274C\u274C\u274C\n");
}

TEST(OptionalHelpersTest, ClosuresRunOnlyInTheirCase) {
  const std::optional<int> none;
  const std::optional<int> five = 5;
  int calls = 0;
  const auto count = [&calls] {
    ++calls;
    return 7;
  };
  EXPECT_EQ(whenNil(five, count), 5);
  EXPECT_EQ(mapNil(five, count), 5);
  EXPECT_EQ(flatMapNil(five, [&] { return std::optional<int>(count()); }), 5);
  EXPECT_EQ(filter(none, [&](int) { return ++calls > 0; }), std::nullopt);
  EXPECT_EQ(maybe(none, std::string("d"), [&](int v) { return std::to_string(v + count()); }), "d");
  then(none, [&](int) { ++calls; });
  EXPECT_EQ(calls, 0);

  EXPECT_EQ(whenNil(none, count), 7);
  EXPECT_EQ(mapNil(none, count), 7);
  EXPECT_EQ(flatMapNil(none, [] { return std::optional<int>(); }), std::nullopt);
  EXPECT_EQ(filter(five, [](int v) { return v > 3; }), 5);
  EXPECT_EQ(filter(five, [](int v) { return v > 9; }), std::nullopt);
  EXPECT_EQ(maybe(five, std::string("d"), [](int v) { return std::to_string(v); }), "5");
  int seen = 0;
  then(five, [&](int v) { seen = v; });
  EXPECT_EQ(seen, 5);
  EXPECT_EQ(&onSome(five, [&](int v) { seen = v * 2; }), &five);
  EXPECT_EQ(seen, 10);
  EXPECT_EQ(&onNone(five, [&] { seen = 0; }), &five);
  EXPECT_EQ(seen, 10);
  EXPECT_EQ(&onNone(none, [&] { seen = -1; }), &none);
  EXPECT_EQ(seen, -1);
  EXPECT_TRUE(isSome(five) && isNone(none) && !isSome(none) && !isNone(five));
}

TEST(OptionalHelpersTest, ForcedAndForcedCastPassThePresentValue) {
  EXPECT_EQ(forced(std::optional<int>(3), "never"), 3);
  bool evaluated = false;
  EXPECT_EQ(forced(std::optional<int>(3), [&] {
              evaluated = true;
              return "x";
            }),
            3);
  EXPECT_FALSE(evaluated);
  EXPECT_EQ(forcedCast<int>(std::optional<std::any>(5)), 5);
  EXPECT_EQ(forcedCast<int>(std::optional<int>(5)), 5);
  struct Base {
    virtual ~Base() = default;
  };
  struct Derived : Base {};
  const std::optional<std::shared_ptr<Base>> object = std::make_shared<Derived>();
  EXPECT_EQ(forcedCast<Derived>(object).get(), object->get());
}

TEST(OptionalHelpersDeathTest, ForcedStops) {
  EXPECT_DEATH((void)forced(std::optional<int>(), "no config"), "Optional.forced: no config");
  EXPECT_DEATH((void)forced(std::optional<int>(), [] { return std::string("lazy"); }), "Optional.forced: lazy");
  EXPECT_DEATH((void)forcedCast<std::string>(std::optional<std::any>(5)), "Cannot cast Optional\\(5\\) to String\\.");
  EXPECT_DEATH((void)forcedCast<std::int64_t>(std::optional<std::any>()), "Cannot cast nil to Int\\.");
  EXPECT_DEATH((void)forcedCast<std::string>(std::optional<int>(5)), "Cannot cast Optional\\(5\\) to String\\.");
}

}  // namespace
}  // namespace vantrel
