#include "vantrel/text/padding.h"

#include "vantrel/core/checked.h"
#include "vantrel/text/characters.h"
#include "vantrel/text/substrings.h"

namespace vantrel {
namespace {

std::string repeated(std::string_view pad, std::int64_t copies) {
  std::string out;
  if (copies <= 0 || pad.empty()) return out;
  out.reserve(static_cast<std::size_t>(checkedMul(copies, static_cast<std::int64_t>(pad.size()))));
  for (std::int64_t i = 0; i < copies; ++i) out.append(pad);
  return out;
}

// Copies of the pad needed to reach `width`, 0 when there is nothing to do.
std::int64_t missing(std::string_view self, std::int64_t width, std::string_view pad) {
  if (pad.empty() || width <= 0) return 0;
  const std::int64_t count = characterCount(self);
  return count >= width ? 0 : width - count;
}

}  // namespace

std::string paddedLeft(std::string_view self, std::int64_t width, std::string_view pad) {
  const std::int64_t copies = missing(self, width, pad);
  if (copies == 0) return std::string(self);
  std::string out = repeated(pad, copies);
  out.append(self);
  return out;
}

std::string paddedRight(std::string_view self, std::int64_t width, std::string_view pad) {
  const std::int64_t copies = missing(self, width, pad);
  std::string out(self);
  out.append(repeated(pad, copies));
  return out;
}

std::string paddedBoth(std::string_view self, std::int64_t width, std::string_view pad) {
  const std::int64_t copies = missing(self, width, pad);
  std::string out = repeated(pad, copies / 2);
  out.append(self);
  out.append(repeated(pad, copies - copies / 2));
  return out;
}

std::string vtStringPadToLength(std::string_view self, std::int64_t length, std::string_view pad,
                                bool rightPadding) {
  return rightPadding ? paddedRight(self, length, pad) : paddedLeft(self, length, pad);
}

std::string paddedLeftPadding(std::string_view self, std::string_view padding) {
  const std::int64_t fill = characterCount(padding) - characterCount(self);
  if (fill < 1) return std::string(self);
  std::string out = vtStringTo(padding, fill);
  out.append(self);
  return out;
}

std::string vtStringPaddedLeftWith(std::string_view self, std::string_view padding) {
  return paddedLeftPadding(self, padding);
}

std::string overwritten(std::string_view self, std::string_view other, bool leftAligned) {
  const std::int64_t n = characterCount(self);
  const std::int64_t m = characterCount(other);
  if (m >= n) return std::string(other);
  if (leftAligned) {
    std::string out(other);
    out.append(vtStringFromTo(self, m));
    return out;
  }
  std::string out = vtStringTo(self, n - m);
  out.append(other);
  return out;
}

std::string overwritten(std::string_view self, std::int64_t other, bool leftAligned) {
  return overwritten(self, std::to_string(other), leftAligned);
}

std::string multiplyBy(std::string_view self, std::int64_t count) { return repeated(self, count); }

}  // namespace vantrel
