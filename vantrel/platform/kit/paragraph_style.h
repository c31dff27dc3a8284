// File: vantrel/platform/kit/paragraph_style.h
//
// `ParagraphStyle`: how the lines of a paragraph break and line up, as a
// text attribute (see text_storage.h). `LineBreakMode` keeps the platform's
// raw values, and `TextAlignment` (font.h) numbers left 0, right 1 and
// centre 2 as the platform does, so raw values can be exchanged.
//
//   ParagraphStyle style;                                   // word wrapping, left
//   style.lineBreakMode = LineBreakMode::byCharWrapping;    // raw value 1
//   style.alignment = TextAlignment::center;                // raw value 2
//
// A value type; thread-safe like any value.
#pragma once

#include <cstdint>
#include <string_view>

#include "vantrel/core/font.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

enum class LineBreakMode : std::int64_t {
  byWordWrapping = 0,
  byCharWrapping = 1,
  byClipping = 2,
  byTruncatingHead = 3,
  byTruncatingTail = 4,
  byTruncatingMiddle = 5,
};

// "byWordWrapping", …, "byTruncatingMiddle"; "unknown" for another raw value.
[[nodiscard]] std::string_view description(LineBreakMode mode);

// The platform's raw value of an alignment.
[[nodiscard]] constexpr std::int64_t rawValue(TextAlignment alignment) {
  return static_cast<std::int64_t>(alignment);
}
static_assert(rawValue(TextAlignment::left) == 0 && rawValue(TextAlignment::right) == 1 &&
              rawValue(TextAlignment::center) == 2);

struct ParagraphStyle {
  LineBreakMode lineBreakMode = LineBreakMode::byWordWrapping;
  TextAlignment alignment = TextAlignment::left;

  friend bool operator==(const ParagraphStyle&, const ParagraphStyle&) = default;
};

}  // namespace vantrel
