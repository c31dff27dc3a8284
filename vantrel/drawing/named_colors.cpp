#include "vantrel/drawing/named_colors.h"

#include "vantrel/core/no_destructor.h"

// The one palette table. Rows with 0-255 channels and white levels are the
// nice colours, in the alphabetical order `VantrelNiceColors()` keeps; the
// iOS7 rows, fractions as given, follow.
// clang-format off
#define VANTREL_PALETTE(RGB255, WHITE, FRACTION) \
  RGB255(almond, 196, 142, 72) \
  RGB255(antiqueWhite, 250, 235, 215) \
  RGB255(babyBlue, 190, 220, 230) \
  RGB255(banana, 229, 227, 58) \
  RGB255(beige, 245, 245, 220) \
  WHITE(black25Percent, 0.25) \
  WHITE(black50Percent, 0.5) \
  WHITE(black75Percent, 0.75) \
  RGB255(blueberry, 89, 113, 173) \
  RGB255(brickRed, 151, 27, 16) \
  RGB255(burntOrange, 184, 102, 37) \
  RGB255(burntSienna, 138, 54, 15) \
  RGB255(buttermilk, 254, 241, 181) \
  RGB255(cactusGreen, 99, 111, 87) \
  RGB255(cantaloupe, 250, 154, 79) \
  RGB255(cardTable, 87, 121, 107) \
  RGB255(carrot, 237, 145, 33) \
  RGB255(charcoal, 34, 34, 34) \
  RGB255(chartreuse, 69, 139, 0) \
  RGB255(chiliPowder, 199, 63, 23) \
  RGB255(chocolate, 94, 38, 5) \
  RGB255(cinnamon, 123, 63, 9) \
  RGB255(coffee, 141, 60, 15) \
  RGB255(coolGray, 118, 122, 133) \
  RGB255(coolPurple, 140, 93, 228) \
  RGB255(coral, 240, 128, 128) \
  RGB255(cornflower, 100, 149, 237) \
  RGB255(cream, 240, 226, 187) \
  RGB255(crimson, 187, 18, 36) \
  RGB255(danger, 229, 0, 15) \
  RGB255(denim, 67, 114, 170) \
  RGB255(dust, 236, 214, 197) \
  RGB255(easterPink, 241, 167, 162) \
  RGB255(eggplant, 105, 5, 98) \
  RGB255(eggshell, 252, 230, 201) \
  RGB255(emerald, 1, 152, 117) \
  RGB255(fadedBlue, 23, 137, 155) \
  RGB255(fuschia, 255, 20, 147) \
  RGB255(ghostWhite, 248, 248, 255) \
  RGB255(gold, 139, 117, 18) \
  RGB255(goldenrod, 215, 170, 51) \
  RGB255(grape, 54, 11, 88) \
  RGB255(grapefruit, 228, 31, 54) \
  RGB255(grass, 99, 214, 74) \
  RGB255(hollyGreen, 32, 87, 14) \
  RGB255(honeydew, 216, 255, 231) \
  RGB255(iceberg, 200, 213, 219) \
  RGB255(indianRed, 205, 92, 92) \
  RGB255(indigo, 13, 79, 139) \
  RGB255(infoBlue, 47, 112, 225) \
  RGB255(ivory, 255, 255, 240) \
  RGB255(lavender, 204, 153, 204) \
  RGB255(lightCream, 240, 238, 215) \
  RGB255(lime, 56, 237, 56) \
  RGB255(linen, 250, 240, 230) \
  RGB255(mandarin, 247, 145, 55) \
  RGB255(maroon, 80, 4, 28) \
  RGB255(midnightBlue, 13, 26, 35) \
  RGB255(moneyGreen, 134, 198, 124) \
  RGB255(mud, 70, 45, 29) \
  RGB255(mustard, 205, 171, 45) \
  RGB255(oldLace, 253, 245, 230) \
  RGB255(olive, 91, 114, 34) \
  RGB255(oliveDrab, 107, 142, 35) \
  RGB255(orchid, 218, 112, 214) \
  RGB255(paleGreen, 176, 226, 172) \
  RGB255(palePurple, 229, 180, 235) \
  RGB255(paleRose, 255, 228, 225) \
  RGB255(pastelBlue, 99, 161, 247) \
  RGB255(pastelGreen, 126, 242, 124) \
  RGB255(pastelOrange, 248, 197, 143) \
  RGB255(pastelPurple, 207, 100, 235) \
  RGB255(peach, 242, 187, 97) \
  RGB255(periwinkle, 135, 159, 237) \
  RGB255(pink, 255, 95, 154) \
  RGB255(pinkLipstick, 255, 105, 180) \
  RGB255(plum, 139, 102, 139) \
  RGB255(raspberry, 135, 38, 87) \
  RGB255(robinEgg, 141, 218, 247) \
  RGB255(salmon, 233, 87, 95) \
  RGB255(sand, 222, 182, 151) \
  RGB255(seafoam, 77, 226, 140) \
  RGB255(seashell, 255, 245, 238) \
  RGB255(sienna, 160, 82, 45) \
  RGB255(skyBlue, 0, 178, 238) \
  RGB255(snow, 255, 250, 250) \
  RGB255(steelBlue, 103, 153, 170) \
  RGB255(strawberry, 190, 38, 37) \
  RGB255(success, 83, 215, 106) \
  RGB255(teal, 28, 160, 170) \
  RGB255(tomato, 255, 99, 71) \
  RGB255(turquoise, 112, 219, 219) \
  RGB255(violet, 191, 95, 255) \
  RGB255(warmGray, 133, 117, 112) \
  RGB255(warning, 221, 170, 59) \
  RGB255(watermelon, 242, 71, 63) \
  RGB255(wave, 102, 169, 251) \
  RGB255(wheat, 240, 238, 215) \
  RGB255(yellowGreen, 192, 242, 39) \
  FRACTION(iOS7red, 1.0, 0.22, 0.22) \
  FRACTION(iOS7orange, 1.0, 0.58, 0.21) \
  FRACTION(iOS7yellow, 1.0, 0.79, 0.28) \
  FRACTION(iOS7green, 0.27, 0.85, 0.46) \
  FRACTION(iOS7lightBlue, 0.18, 0.67, 0.84) \
  FRACTION(iOS7darkBlue, 0.0, 0.49, 0.96) \
  FRACTION(iOS7purple, 0.35, 0.35, 0.81) \
  FRACTION(iOS7pink, 1.0, 0.17, 0.34) \
  FRACTION(iOS7darkGray, 0.56, 0.56, 0.58) \
  FRACTION(iOS7lightGray, 0.78, 0.78, 0.8) \
  FRACTION(iOS7redGradientStart, 1.0, 0.37, 0.23) \
  FRACTION(iOS7redGradientEnd, 1.0, 0.16, 0.41) \
  FRACTION(iOS7orangeGradientStart, 1.0, 0.58, 0.0) \
  FRACTION(iOS7orangeGradientEnd, 1.0, 0.37, 0.23) \
  FRACTION(iOS7yellowGradientStart, 1.0, 0.86, 0.3) \
  FRACTION(iOS7yellowGradientEnd, 1.0, 0.8, 0.01) \
  FRACTION(iOS7greenGradientStart, 0.53, 0.99, 0.44) \
  FRACTION(iOS7greenGradientEnd, 0.04, 0.83, 0.09) \
  FRACTION(iOS7tealGradientStart, 0.32, 0.93, 0.78) \
  FRACTION(iOS7tealGradientEnd, 0.35, 0.78, 0.98) \
  FRACTION(iOS7blueGradientStart, 0.1, 0.84, 0.99) \
  FRACTION(iOS7blueGradientEnd, 0.11, 0.38, 0.94) \
  FRACTION(iOS7violetGradientStart, 0.78, 0.27, 0.99) \
  FRACTION(iOS7violetGradientEnd, 0.35, 0.34, 0.84) \
  FRACTION(iOS7magentaGradientStart, 0.94, 0.3, 0.71) \
  FRACTION(iOS7magentaGradientEnd, 0.78, 0.26, 0.99) \
  FRACTION(iOS7blackGradientStart, 0.29, 0.29, 0.29) \
  FRACTION(iOS7blackGradientEnd, 0.17, 0.17, 0.17) \
  FRACTION(iOS7silverGradientStart, 0.86, 0.87, 0.87) \
  FRACTION(iOS7silverGradientEnd, 0.54, 0.55, 0.56)
// clang-format on

namespace vantrel {
namespace NSColor {

#define VANTREL_RGB255(name, r, g, b) \
  Color::Ptr name() { return Color::withRed((r) / 255.0, (g) / 255.0, (b) / 255.0, 1.0); }
#define VANTREL_WHITE(name, white) \
  Color::Ptr name() { return Color::withWhite(white, 1.0); }
#define VANTREL_FRACTION(name, r, g, b) \
  Color::Ptr name() { return Color::withRed(r, g, b, 1.0); }
VANTREL_PALETTE(VANTREL_RGB255, VANTREL_WHITE, VANTREL_FRACTION)
#undef VANTREL_RGB255
#undef VANTREL_WHITE
#undef VANTREL_FRACTION

}  // namespace NSColor

const std::vector<NamedColor>& VantrelNiceColors() {
  static const NoDestructor<std::vector<NamedColor>> colors([] {
    std::vector<NamedColor> list;
#define VANTREL_NICE(name, ...) list.push_back(NamedColor{#name "Color", NSColor::name()});
#define VANTREL_SKIP(...)
    VANTREL_PALETTE(VANTREL_NICE, VANTREL_NICE, VANTREL_SKIP)
#undef VANTREL_NICE
#undef VANTREL_SKIP
    return list;
  }());
  return *colors;
}

#undef VANTREL_PALETTE

}  // namespace vantrel
