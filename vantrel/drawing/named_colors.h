// File: vantrel/drawing/named_colors.h
//
// The palette: 129 named colours as functions of the namespace `NSColor`,
// and `VantrelNiceColors()`, 99 of them (all but the iOS7 family) as
// `NamedColor`s for pickers and lists, in alphabetical order of their names.
//
//   NSColor::infoBlue()                      // (47/255, 112/255, 225/255, 1.0)
//   NSColor::black25Percent()                // white level 0.25: a dark grey
//   VantrelNiceColors().front().name         // "almondColor"
//
// Every function makes a new opaque colour at each call: calibrated RGB from
// 0-255 channels divided by 255 (fractions as given for the iOS7 family),
// the three blackNNPercent greys in the white space. `wheat` equals
// `lightCream`, and `iOS7orangeGradientEnd` equals `iOS7redGradientStart`.
// Each entry of `VantrelNiceColors()` is named after its function plus
// "Color" and holds a colour equal to what the function makes; the list is
// made once, on first use from any thread, and kept for the process.
// Thread-safe.
#pragma once

#include <vector>

#include "vantrel/drawing/color_values.h"
#include "vantrel/core/color.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

namespace NSColor {

// Status
[[nodiscard]] Color::Ptr infoBlue();
[[nodiscard]] Color::Ptr success();
[[nodiscard]] Color::Ptr warning();
[[nodiscard]] Color::Ptr danger();

// Whites
[[nodiscard]] Color::Ptr antiqueWhite();
[[nodiscard]] Color::Ptr oldLace();
[[nodiscard]] Color::Ptr ivory();
[[nodiscard]] Color::Ptr seashell();
[[nodiscard]] Color::Ptr ghostWhite();
[[nodiscard]] Color::Ptr snow();
[[nodiscard]] Color::Ptr linen();

// Greys
[[nodiscard]] Color::Ptr black25Percent();
[[nodiscard]] Color::Ptr black50Percent();
[[nodiscard]] Color::Ptr black75Percent();
[[nodiscard]] Color::Ptr warmGray();
[[nodiscard]] Color::Ptr coolGray();
[[nodiscard]] Color::Ptr charcoal();

// Blues
[[nodiscard]] Color::Ptr teal();
[[nodiscard]] Color::Ptr steelBlue();
[[nodiscard]] Color::Ptr robinEgg();
[[nodiscard]] Color::Ptr pastelBlue();
[[nodiscard]] Color::Ptr turquoise();
[[nodiscard]] Color::Ptr skyBlue();
[[nodiscard]] Color::Ptr indigo();
[[nodiscard]] Color::Ptr denim();
[[nodiscard]] Color::Ptr blueberry();
[[nodiscard]] Color::Ptr cornflower();
[[nodiscard]] Color::Ptr babyBlue();
[[nodiscard]] Color::Ptr midnightBlue();
[[nodiscard]] Color::Ptr fadedBlue();
[[nodiscard]] Color::Ptr iceberg();
[[nodiscard]] Color::Ptr wave();

// Greens
[[nodiscard]] Color::Ptr emerald();
[[nodiscard]] Color::Ptr grass();
[[nodiscard]] Color::Ptr pastelGreen();
[[nodiscard]] Color::Ptr seafoam();
[[nodiscard]] Color::Ptr paleGreen();
[[nodiscard]] Color::Ptr cactusGreen();
[[nodiscard]] Color::Ptr chartreuse();
[[nodiscard]] Color::Ptr hollyGreen();
[[nodiscard]] Color::Ptr olive();
[[nodiscard]] Color::Ptr oliveDrab();
[[nodiscard]] Color::Ptr moneyGreen();
[[nodiscard]] Color::Ptr honeydew();
[[nodiscard]] Color::Ptr lime();
[[nodiscard]] Color::Ptr cardTable();

// Reds
[[nodiscard]] Color::Ptr salmon();
[[nodiscard]] Color::Ptr brickRed();
[[nodiscard]] Color::Ptr easterPink();
[[nodiscard]] Color::Ptr grapefruit();
[[nodiscard]] Color::Ptr pink();
[[nodiscard]] Color::Ptr indianRed();
[[nodiscard]] Color::Ptr strawberry();
[[nodiscard]] Color::Ptr coral();
[[nodiscard]] Color::Ptr maroon();
[[nodiscard]] Color::Ptr watermelon();
[[nodiscard]] Color::Ptr tomato();
[[nodiscard]] Color::Ptr pinkLipstick();
[[nodiscard]] Color::Ptr paleRose();
[[nodiscard]] Color::Ptr crimson();

// Purples
[[nodiscard]] Color::Ptr eggplant();
[[nodiscard]] Color::Ptr pastelPurple();
[[nodiscard]] Color::Ptr palePurple();
[[nodiscard]] Color::Ptr coolPurple();
[[nodiscard]] Color::Ptr violet();
[[nodiscard]] Color::Ptr plum();
[[nodiscard]] Color::Ptr lavender();
[[nodiscard]] Color::Ptr raspberry();
[[nodiscard]] Color::Ptr fuschia();
[[nodiscard]] Color::Ptr grape();
[[nodiscard]] Color::Ptr periwinkle();
[[nodiscard]] Color::Ptr orchid();

// Yellows
[[nodiscard]] Color::Ptr goldenrod();
[[nodiscard]] Color::Ptr yellowGreen();
[[nodiscard]] Color::Ptr banana();
[[nodiscard]] Color::Ptr mustard();
[[nodiscard]] Color::Ptr buttermilk();
[[nodiscard]] Color::Ptr gold();
[[nodiscard]] Color::Ptr cream();
[[nodiscard]] Color::Ptr lightCream();
[[nodiscard]] Color::Ptr wheat();
[[nodiscard]] Color::Ptr beige();

// Oranges
[[nodiscard]] Color::Ptr peach();
[[nodiscard]] Color::Ptr burntOrange();
[[nodiscard]] Color::Ptr pastelOrange();
[[nodiscard]] Color::Ptr cantaloupe();
[[nodiscard]] Color::Ptr carrot();
[[nodiscard]] Color::Ptr mandarin();
[[nodiscard]] Color::Ptr chiliPowder();
[[nodiscard]] Color::Ptr burntSienna();

// Browns
[[nodiscard]] Color::Ptr chocolate();
[[nodiscard]] Color::Ptr coffee();
[[nodiscard]] Color::Ptr cinnamon();
[[nodiscard]] Color::Ptr almond();
[[nodiscard]] Color::Ptr eggshell();
[[nodiscard]] Color::Ptr sand();
[[nodiscard]] Color::Ptr mud();
[[nodiscard]] Color::Ptr sienna();
[[nodiscard]] Color::Ptr dust();

// The iOS7 family: flat colours
[[nodiscard]] Color::Ptr iOS7red();
[[nodiscard]] Color::Ptr iOS7orange();
[[nodiscard]] Color::Ptr iOS7yellow();
[[nodiscard]] Color::Ptr iOS7green();
[[nodiscard]] Color::Ptr iOS7lightBlue();
[[nodiscard]] Color::Ptr iOS7darkBlue();
[[nodiscard]] Color::Ptr iOS7purple();
[[nodiscard]] Color::Ptr iOS7pink();
[[nodiscard]] Color::Ptr iOS7darkGray();
[[nodiscard]] Color::Ptr iOS7lightGray();

// The iOS7 family: gradient ends
[[nodiscard]] Color::Ptr iOS7redGradientStart();
[[nodiscard]] Color::Ptr iOS7redGradientEnd();
[[nodiscard]] Color::Ptr iOS7orangeGradientStart();
[[nodiscard]] Color::Ptr iOS7orangeGradientEnd();
[[nodiscard]] Color::Ptr iOS7yellowGradientStart();
[[nodiscard]] Color::Ptr iOS7yellowGradientEnd();
[[nodiscard]] Color::Ptr iOS7greenGradientStart();
[[nodiscard]] Color::Ptr iOS7greenGradientEnd();
[[nodiscard]] Color::Ptr iOS7tealGradientStart();
[[nodiscard]] Color::Ptr iOS7tealGradientEnd();
[[nodiscard]] Color::Ptr iOS7blueGradientStart();
[[nodiscard]] Color::Ptr iOS7blueGradientEnd();
[[nodiscard]] Color::Ptr iOS7violetGradientStart();
[[nodiscard]] Color::Ptr iOS7violetGradientEnd();
[[nodiscard]] Color::Ptr iOS7magentaGradientStart();
[[nodiscard]] Color::Ptr iOS7magentaGradientEnd();
[[nodiscard]] Color::Ptr iOS7blackGradientStart();
[[nodiscard]] Color::Ptr iOS7blackGradientEnd();
[[nodiscard]] Color::Ptr iOS7silverGradientStart();
[[nodiscard]] Color::Ptr iOS7silverGradientEnd();

}  // namespace NSColor

// The 99 entries, fixed in alphabetical order.
[[nodiscard]] const std::vector<NamedColor>& VantrelNiceColors();

}  // namespace vantrel
