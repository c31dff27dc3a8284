// Arbitrary bytes through every reader of geometry text: the rectangle's
// "(x, y, w, h)" form and the kit's "{x, y}" exchange forms. No crash, no read
// outside the input, and whatever reads back is stable when written again.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "vantrel/drawing/geometry_helpers.h"
#include "vantrel/core/geometry.h"

namespace {

bool same(double a, double b) { return (std::isnan(a) && std::isnan(b)) || a == b; }

bool same(const vantrel::Rect& a, const vantrel::Rect& b) {
  return same(a.origin.x, b.origin.x) && same(a.origin.y, b.origin.y) && same(a.size.width, b.size.width) &&
         same(a.size.height, b.size.height);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  if (const auto rect = vantrel::vtFromString(text)) {
    // Fifteen digits are written, so the first read may round; from then on
    // the text is a fixed point.
    const std::string written = vantrel::vtToString(*rect);
    const auto again = vantrel::vtFromString(written);
    if (!again || vantrel::vtToString(*again) != written) std::abort();
  }
  if (const auto rect = vantrel::Rect::fromString(text)) {
    const auto again = vantrel::Rect::fromString(rect->toString());
    if (!again || !same(*again, *rect)) std::abort();
  }
  if (const auto point = vantrel::Point::fromString(text)) {
    const auto again = vantrel::Point::fromString(point->toString());
    if (!again || !same(again->x, point->x) || !same(again->y, point->y)) std::abort();
  }
  if (const auto sizeValue = vantrel::Size::fromString(text)) {
    const auto again = vantrel::Size::fromString(sizeValue->toString());
    if (!again || !same(again->width, sizeValue->width) || !same(again->height, sizeValue->height)) std::abort();
  }
  (void)vantrel::coordinateFromText(text);
  return 0;
}
