#include <cstdio>
#include <string>

#include <vantrel/drawing/color_values.h>
#include <vantrel/drawing/geometry_helpers.h>
#include <vantrel/drawing/layout_builders.h>
#include <vantrel/platform/kit/view.h>

#include "tour.h"

using namespace vantrel;

TOUR_SECTION(80, "Headless kit: a view tree with constraint records") {
  auto window = View::create(Rect(0, 0, 400, 300));
  auto label = View::create();
  window->addSubview(disableAutoresizingMasks(label));
  auto width = LayoutConstraint::create(label, LayoutAttribute::width, LayoutRelation::equal, nullptr,
                                        LayoutAttribute::notAnAttribute, 1.0, 120);
  width->setActive(true);  // installed on the label itself
  std::printf("%s\n  subviews: %zu, label constraints: %zu\n  %s\n", window->description().c_str(),
              window->subviews().size(), label->constraints().size(), width->description().c_str());
}

TOUR_SECTION(81, "Layout builders: place, centre and size") {
  auto container = View::create(Rect(0, 0, 300, 200));
  auto content = View::create();
  auto badge = View::create();
  addSubviews(container, {disableAutoresizingMasks(content), disableAutoresizingMasks(badge)});
  vtbPlace(container, content, {8.0, 8.0, 8.0, std::nullopt});  // no right edge
  vtbPlaceInCenter(container, badge, Point(0, -20));
  vtbConstrainSize(badge, Size(40, 20));
  for (const auto& c : container->constraints()) std::printf("  %s\n", c->description().c_str());
}

TOUR_SECTION(82, "Geometry helpers and the rectangle's text form") {
  const Rect frame(10, 20, 100, 40);
  std::printf("  inset by (1, 2, 3, 4): %s\n", vtToString(insetting(frame, EdgeInsets(1, 2, 3, 4))).c_str());
  std::printf("  largest centred square: %s\n", vtToString(centeredMaximumSquareRect(frame)).c_str());
  std::printf("  cells of 30 with gaps of 5 across 100: %lld\n",
              static_cast<long long>(fittingNumberOfColumnsOfCellWidth(Size(100, 10), 30, 5)));
  const auto read = vtFromString("(0.1, 1e3, 0x10, .5)");
  std::printf("  \"(0.1, 1e3, 0x10, .5)\" reads as %s\n", read ? vtToString(*read).c_str() : "nothing");
}

TOUR_SECTION(83, "Colours: hex text, conversions and schemes") {
  const auto blue = colorWithR(47, 112, 225, 1.0);
  std::printf("  %s  complement %s  contrast %s\n", hexString(blue).c_str(),
              hexString(complementaryColor(blue)).c_str(), hexString(blackOrWhiteContrastingColor(blue)).c_str());
  std::printf("  hex \"#f80\" has no short form: %s\n", hexString(colorWithHex("#f80")).c_str());
  std::string line = "  analagous:";
  for (const auto& c : colorScheme(blue, ColorScheme::analagous)) line += " " + hexString(c);
  std::printf("%s\n", line.c_str());
}
