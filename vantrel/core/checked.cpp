#include "vantrel/core/checked.h"

#include <cmath>

#include <fmt/format.h>

#include "vantrel/core/describe.h"
#include "vantrel/core/fatal.h"

namespace vantrel {
namespace core_internal {

void overflowFatal(std::string_view operation, long long a, long long b, SourceLocation loc) {
  fatal(fmt::format("Arithmetic overflow: {} {} {}", a, operation, b), loc);
}

void overflowFatalUnsigned(std::string_view operation, unsigned long long a, unsigned long long b,
                           SourceLocation loc) {
  fatal(fmt::format("Arithmetic overflow: {} {} {}", a, operation, b), loc);
}

void conversionFatal(long long value, bool isNegative, unsigned long long magnitude,
                     std::string_view target, SourceLocation loc) {
  std::string text = isNegative ? std::to_string(value) : std::to_string(magnitude);
  fatal(fmt::format("Not enough bits to represent the value {} as {}", text, target), loc);
}

void doubleConversionFatal(double value, std::string_view target, SourceLocation loc) {
  if (std::isnan(value) || std::isinf(value)) {
    fatal(fmt::format("Double value {} cannot be converted to {} because it is either infinite or NaN",
                      describe(value), target),
          loc);
  }
  fatal(fmt::format("Double value {} cannot be converted to {} because the result would be outside "
                    "its representable range",
                    describe(value), target),
        loc);
}

}  // namespace core_internal

std::optional<std::int64_t> exactInt64(double value) {
  // 2^63 is exact as a double; every double below it and at or above -2^63 fits.
  if (!(value >= -9223372036854775808.0 && value < 9223372036854775808.0)) return std::nullopt;
  if (std::trunc(value) != value) return std::nullopt;
  return static_cast<std::int64_t>(value);
}

}  // namespace vantrel
