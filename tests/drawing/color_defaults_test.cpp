#include "vantrel/drawing/color_defaults.h"

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/fixtures.h"
#include "vantrel/core/console.h"
#include "vantrel/drawing/named_colors.h"
#include "vantrel/foundation/defaults/internal/vantrel_user_defaults_state.h"
#include "vantrel/foundation/defaults/user_defaults_helpers.h"

namespace vantrel {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A defaults folder of its own, and the ignore-state switch read anew.
class ColorDefaults : public ::testing::Test {
 protected:
  void SetUp() override { foundation_internal::resetVantrelUserDefaultsForTesting(); }
  void TearDown() override { foundation_internal::resetVantrelUserDefaultsForTesting(); }

  vantrel::testing::TemporaryDirectory temp_;
  ScopedUserDefaultsDirectory scope_{temp_.path().string()};
  std::shared_ptr<UserDefaults> suite_ = UserDefaults::create("org.vantrel.tests.colors");
};

std::vector<Color::Ptr> everyKind() {
  constexpr double inf = std::numeric_limits<double>::infinity();
  return {Color::withRed(0.1, 0.2, 0.3, 0.4),
          Color::withDeviceRed(1.0 / 3, 0.5, 0.75, 0.125),
          Color::withWhite(0.25, 0.5),
          Color::withRed(1.2, -0.1, 1e-300, inf),  // kept as given, never clamped
          Color::withWhite(-0.0, 1),
          Color::withHue(0.55, 0.4, 1, 1),
          Color::clearColor(),
          NSColor::infoBlue(),
          NSColor::black75Percent()};
}

TEST_F(ColorDefaults, EveryKindOfColourReadsBackEqual) {
  for (const Color::Ptr& color : everyKind()) {
    SCOPED_TRACE(color->description());
    vtSetColor(*suite_, color, "Accent");
    const Color::Ptr read = vtColorForKey(*suite_, "Accent");
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(*read, *color);
    EXPECT_EQ(read->colorSpace(), color->colorSpace());
    EXPECT_NE(unarchivedColor(archivedColorData(color)), nullptr);
  }
  // Also across a fresh store on the same file.
  ASSERT_TRUE(suite_->synchronize());
  auto again = UserDefaults::create("org.vantrel.tests.colors");
  EXPECT_EQ(*vtColorForKey(*again, "Accent"), *NSColor::black75Percent());
}

TEST_F(ColorDefaults, TheEncodingByteForByte) {
  EXPECT_EQ(archivedColorData(Color::withWhite(0.5, 1)),
            (Bytes{'V', 't', 'C', 'l', 1, 3,                    //
                   0x3f, 0xe0, 0, 0, 0, 0, 0, 0,                // 0.5
                   0x3f, 0xf0, 0, 0, 0, 0, 0, 0}));             // 1.0
  const Bytes device = archivedColorData(Color::withDeviceRed(1, 0, -2, 0.5));
  EXPECT_EQ(device, (Bytes{'V', 't', 'C', 'l', 1, 2,               //
                           0x3f, 0xf0, 0, 0, 0, 0, 0, 0,           // 1.0
                           0, 0, 0, 0, 0, 0, 0, 0,                 // 0.0
                           0xc0, 0x00, 0, 0, 0, 0, 0, 0,           // -2.0
                           0x3f, 0xe0, 0, 0, 0, 0, 0, 0}));        // 0.5
  EXPECT_EQ(archivedColorData(Color::withRed(0, 0, 0, 0))[5], 1);
}

// The defaults file may be written by anyone: only an encoding written here
// is a colour; everything else is none, never a stop.
TEST_F(ColorDefaults, ForeignBytesReadAsNone) {
  const Bytes white = archivedColorData(Color::withWhite(0.5, 1));
  const Bytes rgb = archivedColorData(Color::withRed(0.1, 0.2, 0.3, 1));
  auto changed = [](Bytes bytes, std::size_t at, std::uint8_t value) {
    bytes[at] = value;
    return bytes;
  };
  Bytes longer = white;
  longer.push_back(0);
  Bytes shorter = rgb;
  shorter.pop_back();
  Bytes whiteWithRgbLength = rgb;
  whiteWithRgbLength[5] = 3;
  const std::vector<Bytes> foreign = {
      {},
      {'V', 't', 'C', 'l'},
      {'V', 't', 'C', 'l', 1},
      {'V', 't', 'C', 'l', 1, 3},
      changed(white, 0, 'v'),
      changed(white, 4, 0),
      changed(white, 4, 2),
      changed(white, 5, 0),
      changed(white, 5, 4),
      changed(white, 5, 0xff),
      longer,
      shorter,
      whiteWithRgbLength,
      Bytes(white.begin(), white.end() - 1),
      Bytes(1000, 0xff),
      {'b', 'p', 'l', 'i', 's', 't', '0', '0'},
  };
  ConsoleCapture capture;
  for (const Bytes& bytes : foreign) {
    EXPECT_EQ(unarchivedColor(bytes), nullptr) << bytes.size();
    vtSetData(*suite_, bytes, "Accent");
    EXPECT_EQ(vtColorForKey(*suite_, "Accent"), nullptr);
  }
  EXPECT_EQ(capture.standardOutput(), "");
}

TEST_F(ColorDefaults, NoneRemovesTheKey) {
  vtSetColor(*suite_, NSColor::danger(), "Accent");
  ASSERT_TRUE(suite_->object("Accent").has_value());
  vtSetColor(*suite_, nullptr, "Accent");
  EXPECT_EQ(vtColorForKey(*suite_, "Accent"), nullptr);
  EXPECT_EQ(suite_->object("Accent"), std::nullopt);
  vtSetColor(*suite_, nullptr, "Absent");  // nothing to remove: nothing happens
  EXPECT_EQ(suite_->object("Absent"), std::nullopt);
}

TEST_F(ColorDefaults, OtherKindsReadAsNoneAndAreReplacedByAWrite) {
  suite_->set("Accent", "#ff0000");
  suite_->set("Number", 3);
  EXPECT_EQ(vtColorForKey(*suite_, "Accent"), nullptr);
  EXPECT_EQ(vtColorForKey(*suite_, "Number"), nullptr);
  EXPECT_EQ(vtColorForKey(*suite_, "Missing"), nullptr);
  EXPECT_EQ(suite_->stringForKey("Accent"), "#ff0000");  // the read changed nothing
  vtSetColor(*suite_, NSColor::teal(), "Accent");
  EXPECT_EQ(*vtColorForKey(*suite_, "Accent"), *NSColor::teal());
  EXPECT_EQ(suite_->stringForKey("Accent"), std::nullopt);
}

TEST_F(ColorDefaults, TypeFormsUseTheStandardStoreOnly) {
  vtSetColor(NSColor::grass(), "Accent");
  EXPECT_EQ(*vtColorForKey(*UserDefaults::standard(), "Accent"), *NSColor::grass());
  EXPECT_EQ(*vtColorForKey("Accent"), *NSColor::grass());
  EXPECT_EQ(vtColorForKey(*suite_, "Accent"), nullptr);
  vtSetColor(*suite_, NSColor::coral(), "Accent");
  EXPECT_EQ(*vtColorForKey("Accent"), *NSColor::grass());
  vtSetColor(nullptr, "Accent");
  EXPECT_EQ(vtColorForKey("Accent"), nullptr);
}

TEST_F(ColorDefaults, VantrelUserDefaultsReadsWhileStoredStateCounts) {
  setColor(vantrelUserDefaults, NSColor::plum(), "Accent");
  EXPECT_EQ(*colorForKey(vantrelUserDefaults, "Accent"), *NSColor::plum());
  EXPECT_EQ(*vtColorForKey("Accent"), *NSColor::plum());
  setColor(vantrelUserDefaults, nullptr, "Accent");
  EXPECT_EQ(colorForKey(vantrelUserDefaults, "Accent"), nullptr);
  EXPECT_EQ(UserDefaults::standard()->object("Accent"), std::nullopt);
}

TEST_F(ColorDefaults, UnderTheSwitchVantrelUserDefaultsReadsNoneButStillWrites) {
  vtSetString("YES", "ApplePersistenceIgnoreState");
  foundation_internal::resetVantrelUserDefaultsForTesting();  // the switch is read at the next use
  setColor(vantrelUserDefaults, NSColor::mustard(), "Accent");
  EXPECT_EQ(colorForKey(vantrelUserDefaults, "Accent"), nullptr);
  EXPECT_EQ(*vtColorForKey(*UserDefaults::standard(), "Accent"), *NSColor::mustard());
  EXPECT_EQ(*vtColorForKey("Accent"), *NSColor::mustard());
}

}  // namespace
}  // namespace vantrel
