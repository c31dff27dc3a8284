#include "vantrel/drawing/named_colors.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vantrel {
namespace {

struct Want {
  ColorSpace space;
  std::vector<double> components;
};

Want rgb255(double r, double g, double b) { return {ColorSpace::calibratedRGB, {r / 255, g / 255, b / 255, 1.0}}; }
Want white(double level) { return {ColorSpace::calibratedWhite, {level, 1.0}}; }
Want fraction(double r, double g, double b) { return {ColorSpace::calibratedRGB, {r, g, b, 1.0}}; }

struct Row {
  std::string name;
  Color::Ptr (*make)();
  Want want;
};

// Every palette colour, in the groups of the palette's own listing.
const std::vector<Row>& palette() {
  static const std::vector<Row> rows = {
      {"infoBlue", NSColor::infoBlue, rgb255(47, 112, 225)},
      {"success", NSColor::success, rgb255(83, 215, 106)},
      {"warning", NSColor::warning, rgb255(221, 170, 59)},
      {"danger", NSColor::danger, rgb255(229, 0, 15)},
      {"antiqueWhite", NSColor::antiqueWhite, rgb255(250, 235, 215)},
      {"oldLace", NSColor::oldLace, rgb255(253, 245, 230)},
      {"ivory", NSColor::ivory, rgb255(255, 255, 240)},
      {"seashell", NSColor::seashell, rgb255(255, 245, 238)},
      {"ghostWhite", NSColor::ghostWhite, rgb255(248, 248, 255)},
      {"snow", NSColor::snow, rgb255(255, 250, 250)},
      {"linen", NSColor::linen, rgb255(250, 240, 230)},
      {"black25Percent", NSColor::black25Percent, white(0.25)},
      {"black50Percent", NSColor::black50Percent, white(0.5)},
      {"black75Percent", NSColor::black75Percent, white(0.75)},
      {"warmGray", NSColor::warmGray, rgb255(133, 117, 112)},
      {"coolGray", NSColor::coolGray, rgb255(118, 122, 133)},
      {"charcoal", NSColor::charcoal, rgb255(34, 34, 34)},
      {"teal", NSColor::teal, rgb255(28, 160, 170)},
      {"steelBlue", NSColor::steelBlue, rgb255(103, 153, 170)},
      {"robinEgg", NSColor::robinEgg, rgb255(141, 218, 247)},
      {"pastelBlue", NSColor::pastelBlue, rgb255(99, 161, 247)},
      {"turquoise", NSColor::turquoise, rgb255(112, 219, 219)},
      {"skyBlue", NSColor::skyBlue, rgb255(0, 178, 238)},
      {"indigo", NSColor::indigo, rgb255(13, 79, 139)},
      {"denim", NSColor::denim, rgb255(67, 114, 170)},
      {"blueberry", NSColor::blueberry, rgb255(89, 113, 173)},
      {"cornflower", NSColor::cornflower, rgb255(100, 149, 237)},
      {"babyBlue", NSColor::babyBlue, rgb255(190, 220, 230)},
      {"midnightBlue", NSColor::midnightBlue, rgb255(13, 26, 35)},
      {"fadedBlue", NSColor::fadedBlue, rgb255(23, 137, 155)},
      {"iceberg", NSColor::iceberg, rgb255(200, 213, 219)},
      {"wave", NSColor::wave, rgb255(102, 169, 251)},
      {"emerald", NSColor::emerald, rgb255(1, 152, 117)},
      {"grass", NSColor::grass, rgb255(99, 214, 74)},
      {"pastelGreen", NSColor::pastelGreen, rgb255(126, 242, 124)},
      {"seafoam", NSColor::seafoam, rgb255(77, 226, 140)},
      {"paleGreen", NSColor::paleGreen, rgb255(176, 226, 172)},
      {"cactusGreen", NSColor::cactusGreen, rgb255(99, 111, 87)},
      {"chartreuse", NSColor::chartreuse, rgb255(69, 139, 0)},
      {"hollyGreen", NSColor::hollyGreen, rgb255(32, 87, 14)},
      {"olive", NSColor::olive, rgb255(91, 114, 34)},
      {"oliveDrab", NSColor::oliveDrab, rgb255(107, 142, 35)},
      {"moneyGreen", NSColor::moneyGreen, rgb255(134, 198, 124)},
      {"honeydew", NSColor::honeydew, rgb255(216, 255, 231)},
      {"lime", NSColor::lime, rgb255(56, 237, 56)},
      {"cardTable", NSColor::cardTable, rgb255(87, 121, 107)},
      {"salmon", NSColor::salmon, rgb255(233, 87, 95)},
      {"brickRed", NSColor::brickRed, rgb255(151, 27, 16)},
      {"easterPink", NSColor::easterPink, rgb255(241, 167, 162)},
      {"grapefruit", NSColor::grapefruit, rgb255(228, 31, 54)},
      {"pink", NSColor::pink, rgb255(255, 95, 154)},
      {"indianRed", NSColor::indianRed, rgb255(205, 92, 92)},
      {"strawberry", NSColor::strawberry, rgb255(190, 38, 37)},
      {"coral", NSColor::coral, rgb255(240, 128, 128)},
      {"maroon", NSColor::maroon, rgb255(80, 4, 28)},
      {"watermelon", NSColor::watermelon, rgb255(242, 71, 63)},
      {"tomato", NSColor::tomato, rgb255(255, 99, 71)},
      {"pinkLipstick", NSColor::pinkLipstick, rgb255(255, 105, 180)},
      {"paleRose", NSColor::paleRose, rgb255(255, 228, 225)},
      {"crimson", NSColor::crimson, rgb255(187, 18, 36)},
      {"eggplant", NSColor::eggplant, rgb255(105, 5, 98)},
      {"pastelPurple", NSColor::pastelPurple, rgb255(207, 100, 235)},
      {"palePurple", NSColor::palePurple, rgb255(229, 180, 235)},
      {"coolPurple", NSColor::coolPurple, rgb255(140, 93, 228)},
      {"violet", NSColor::violet, rgb255(191, 95, 255)},
      {"plum", NSColor::plum, rgb255(139, 102, 139)},
      {"lavender", NSColor::lavender, rgb255(204, 153, 204)},
      {"raspberry", NSColor::raspberry, rgb255(135, 38, 87)},
      {"fuschia", NSColor::fuschia, rgb255(255, 20, 147)},
      {"grape", NSColor::grape, rgb255(54, 11, 88)},
      {"periwinkle", NSColor::periwinkle, rgb255(135, 159, 237)},
      {"orchid", NSColor::orchid, rgb255(218, 112, 214)},
      {"goldenrod", NSColor::goldenrod, rgb255(215, 170, 51)},
      {"yellowGreen", NSColor::yellowGreen, rgb255(192, 242, 39)},
      {"banana", NSColor::banana, rgb255(229, 227, 58)},
      {"mustard", NSColor::mustard, rgb255(205, 171, 45)},
      {"buttermilk", NSColor::buttermilk, rgb255(254, 241, 181)},
      {"gold", NSColor::gold, rgb255(139, 117, 18)},
      {"cream", NSColor::cream, rgb255(240, 226, 187)},
      {"lightCream", NSColor::lightCream, rgb255(240, 238, 215)},
      {"wheat", NSColor::wheat, rgb255(240, 238, 215)},
      {"beige", NSColor::beige, rgb255(245, 245, 220)},
      {"peach", NSColor::peach, rgb255(242, 187, 97)},
      {"burntOrange", NSColor::burntOrange, rgb255(184, 102, 37)},
      {"pastelOrange", NSColor::pastelOrange, rgb255(248, 197, 143)},
      {"cantaloupe", NSColor::cantaloupe, rgb255(250, 154, 79)},
      {"carrot", NSColor::carrot, rgb255(237, 145, 33)},
      {"mandarin", NSColor::mandarin, rgb255(247, 145, 55)},
      {"chiliPowder", NSColor::chiliPowder, rgb255(199, 63, 23)},
      {"burntSienna", NSColor::burntSienna, rgb255(138, 54, 15)},
      {"chocolate", NSColor::chocolate, rgb255(94, 38, 5)},
      {"coffee", NSColor::coffee, rgb255(141, 60, 15)},
      {"cinnamon", NSColor::cinnamon, rgb255(123, 63, 9)},
      {"almond", NSColor::almond, rgb255(196, 142, 72)},
      {"eggshell", NSColor::eggshell, rgb255(252, 230, 201)},
      {"sand", NSColor::sand, rgb255(222, 182, 151)},
      {"mud", NSColor::mud, rgb255(70, 45, 29)},
      {"sienna", NSColor::sienna, rgb255(160, 82, 45)},
      {"dust", NSColor::dust, rgb255(236, 214, 197)},
      {"iOS7red", NSColor::iOS7red, fraction(1.0, 0.22, 0.22)},
      {"iOS7orange", NSColor::iOS7orange, fraction(1.0, 0.58, 0.21)},
      {"iOS7yellow", NSColor::iOS7yellow, fraction(1.0, 0.79, 0.28)},
      {"iOS7green", NSColor::iOS7green, fraction(0.27, 0.85, 0.46)},
      {"iOS7lightBlue", NSColor::iOS7lightBlue, fraction(0.18, 0.67, 0.84)},
      {"iOS7darkBlue", NSColor::iOS7darkBlue, fraction(0.0, 0.49, 0.96)},
      {"iOS7purple", NSColor::iOS7purple, fraction(0.35, 0.35, 0.81)},
      {"iOS7pink", NSColor::iOS7pink, fraction(1.0, 0.17, 0.34)},
      {"iOS7darkGray", NSColor::iOS7darkGray, fraction(0.56, 0.56, 0.58)},
      {"iOS7lightGray", NSColor::iOS7lightGray, fraction(0.78, 0.78, 0.8)},
      {"iOS7redGradientStart", NSColor::iOS7redGradientStart, fraction(1.0, 0.37, 0.23)},
      {"iOS7redGradientEnd", NSColor::iOS7redGradientEnd, fraction(1.0, 0.16, 0.41)},
      {"iOS7orangeGradientStart", NSColor::iOS7orangeGradientStart, fraction(1.0, 0.58, 0.0)},
      {"iOS7orangeGradientEnd", NSColor::iOS7orangeGradientEnd, fraction(1.0, 0.37, 0.23)},
      {"iOS7yellowGradientStart", NSColor::iOS7yellowGradientStart, fraction(1.0, 0.86, 0.3)},
      {"iOS7yellowGradientEnd", NSColor::iOS7yellowGradientEnd, fraction(1.0, 0.8, 0.01)},
      {"iOS7greenGradientStart", NSColor::iOS7greenGradientStart, fraction(0.53, 0.99, 0.44)},
      {"iOS7greenGradientEnd", NSColor::iOS7greenGradientEnd, fraction(0.04, 0.83, 0.09)},
      {"iOS7tealGradientStart", NSColor::iOS7tealGradientStart, fraction(0.32, 0.93, 0.78)},
      {"iOS7tealGradientEnd", NSColor::iOS7tealGradientEnd, fraction(0.35, 0.78, 0.98)},
      {"iOS7blueGradientStart", NSColor::iOS7blueGradientStart, fraction(0.1, 0.84, 0.99)},
      {"iOS7blueGradientEnd", NSColor::iOS7blueGradientEnd, fraction(0.11, 0.38, 0.94)},
      {"iOS7violetGradientStart", NSColor::iOS7violetGradientStart, fraction(0.78, 0.27, 0.99)},
      {"iOS7violetGradientEnd", NSColor::iOS7violetGradientEnd, fraction(0.35, 0.34, 0.84)},
      {"iOS7magentaGradientStart", NSColor::iOS7magentaGradientStart, fraction(0.94, 0.3, 0.71)},
      {"iOS7magentaGradientEnd", NSColor::iOS7magentaGradientEnd, fraction(0.78, 0.26, 0.99)},
      {"iOS7blackGradientStart", NSColor::iOS7blackGradientStart, fraction(0.29, 0.29, 0.29)},
      {"iOS7blackGradientEnd", NSColor::iOS7blackGradientEnd, fraction(0.17, 0.17, 0.17)},
      {"iOS7silverGradientStart", NSColor::iOS7silverGradientStart, fraction(0.86, 0.87, 0.87)},
      {"iOS7silverGradientEnd", NSColor::iOS7silverGradientEnd, fraction(0.54, 0.55, 0.56)},
  };
  return rows;
}

void expectColor(const Color::Ptr& color, const Want& want) {
  ASSERT_NE(color, nullptr);
  EXPECT_EQ(color->colorSpace(), want.space);
  EXPECT_EQ(std::vector<double>(color->components().begin(), color->components().end()), want.components);
}

TEST(NamedColors, EveryColourHasItsSpaceAndComponents) {
  ASSERT_EQ(palette().size(), 129u);
  for (const Row& row : palette()) {
    SCOPED_TRACE(row.name);
    const Color::Ptr first = row.make();
    expectColor(first, row.want);
    // A new colour at each call, equal to the last.
    const Color::Ptr second = row.make();
    EXPECT_NE(first, second);
    EXPECT_EQ(*first, *second);
  }
}

TEST(NamedColors, GreysAndTheTwoEqualPairs) {
  EXPECT_EQ(NSColor::black25Percent()->components()[0], 0.25);
  EXPECT_EQ(NSColor::black75Percent()->components()[0], 0.75);
  EXPECT_EQ(*NSColor::wheat(), *NSColor::lightCream());
  EXPECT_EQ(*NSColor::iOS7orangeGradientEnd(), *NSColor::iOS7redGradientStart());
  int equalPairs = 0;
  for (std::size_t i = 0; i < palette().size(); ++i) {
    for (std::size_t j = i + 1; j < palette().size(); ++j) {
      if (*palette()[i].make() == *palette()[j].make()) ++equalPairs;
    }
  }
  EXPECT_EQ(equalPairs, 2);
}

TEST(NamedColors, NiceColorsAreTheNinetyNineInAlphabeticalOrder) {
  const std::vector<std::string> names = {
      "almondColor", "antiqueWhiteColor", "babyBlueColor", "bananaColor", "beigeColor", "black25PercentColor",
      "black50PercentColor", "black75PercentColor", "blueberryColor", "brickRedColor", "burntOrangeColor",
      "burntSiennaColor", "buttermilkColor", "cactusGreenColor", "cantaloupeColor", "cardTableColor",
      "carrotColor", "charcoalColor", "chartreuseColor", "chiliPowderColor", "chocolateColor", "cinnamonColor",
      "coffeeColor", "coolGrayColor", "coolPurpleColor", "coralColor", "cornflowerColor", "creamColor",
      "crimsonColor", "dangerColor", "denimColor", "dustColor", "easterPinkColor", "eggplantColor",
      "eggshellColor", "emeraldColor", "fadedBlueColor", "fuschiaColor", "ghostWhiteColor", "goldColor",
      "goldenrodColor", "grapeColor", "grapefruitColor", "grassColor", "hollyGreenColor", "honeydewColor",
      "icebergColor", "indianRedColor", "indigoColor", "infoBlueColor", "ivoryColor", "lavenderColor",
      "lightCreamColor", "limeColor", "linenColor", "mandarinColor", "maroonColor", "midnightBlueColor",
      "moneyGreenColor", "mudColor", "mustardColor", "oldLaceColor", "oliveColor", "oliveDrabColor",
      "orchidColor", "paleGreenColor", "palePurpleColor", "paleRoseColor", "pastelBlueColor", "pastelGreenColor",
      "pastelOrangeColor", "pastelPurpleColor", "peachColor", "periwinkleColor", "pinkColor", "pinkLipstickColor",
      "plumColor", "raspberryColor", "robinEggColor", "salmonColor", "sandColor", "seafoamColor", "seashellColor",
      "siennaColor", "skyBlueColor", "snowColor", "steelBlueColor", "strawberryColor", "successColor",
      "tealColor", "tomatoColor", "turquoiseColor", "violetColor", "warmGrayColor", "warningColor",
      "watermelonColor", "waveColor", "wheatColor", "yellowGreenColor"
  };
  const auto& nice = VantrelNiceColors();
  ASSERT_EQ(nice.size(), 99u);
  std::vector<std::string> got;
  for (const auto& entry : nice) got.push_back(entry.name);
  EXPECT_EQ(got, names);
  EXPECT_EQ(&VantrelNiceColors(), &nice);
  // Each entry holds the colour of its function.
  for (const Row& row : palette()) {
    const std::string name = row.name + "Color";
    auto entry = std::find_if(nice.begin(), nice.end(), [&](const NamedColor& c) { return c.name == name; });
    if (row.name.starts_with("iOS7")) {
      EXPECT_EQ(entry, nice.end()) << name;
      continue;
    }
    ASSERT_NE(entry, nice.end()) << name;
    expectColor(entry->color, row.want);
  }
  expectColor(nice[29].color, rgb255(229, 0, 15));
  EXPECT_EQ(nice[29].name, "dangerColor");
}

}  // namespace
}  // namespace vantrel
