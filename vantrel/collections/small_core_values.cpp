#include "vantrel/collections/small_core_values.h"

#include "vantrel/collections/numeric.h"
#include "vantrel/core/checked.h"
#include "vantrel/core/fatal.h"
#include "vantrel/core/number_text.h"
#include "vantrel/text/padding.h"

namespace vantrel {

IterationPosition::IterationPosition(std::int64_t i, std::int64_t total, SourceLocation loc) : i(i) {
  setTotal(total, loc);
}

void IterationPosition::setTotal(std::int64_t total, SourceLocation loc) {
  if (total < 0) fatal("IterationPosition: the total " + integerText(total) + " is negative", loc);
  total_ = total;
  // Counted in integers: a floating-point logarithm says 16 for 10^15 - 1.
  totalStringFormattedLen_ = numberOfDigits(total);
}

std::string IterationPosition::description() const {
  const std::int64_t position = checkedAdd<std::int64_t>(i, 1);
  return paddedLeft(integerText(position), totalStringFormattedLen_) + "/" + integerText(total_);
}

namespace collections_internal {

std::string addressText(std::uint64_t address) {
  // By hand: "%018p" writes "(nil)" for 0, padded with blanks.
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text = "0x0000000000000000";
  for (int k = 17; k >= 2; --k) {
    text[static_cast<std::size_t>(k)] = kDigits[address & 0xF];
    address >>= 4;
  }
  return text;
}

}  // namespace collections_internal
}  // namespace vantrel
