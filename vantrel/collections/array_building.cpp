#include "vantrel/collections/array_building.h"

#include <fmt/format.h>

#include "vantrel/core/checked.h"
#include "vantrel/core/fatal.h"

namespace vantrel {
namespace collections_internal {

void chunkSizeZeroFatal() { fatal("chunk: the chunk size must not be 0"); }

void negativeCountFatal(std::string_view operation, std::int64_t value) {
  fatal(fmt::format("{}: {} is negative", operation, value));
}

std::size_t repeatedCount(std::string_view operation, std::size_t count, std::int64_t factor) {
  std::int64_t total = 0;
  if (__builtin_mul_overflow(static_cast<std::int64_t>(count), factor, &total)) {
    fatal(fmt::format("{}: Arithmetic overflow: {} * {}", operation, count, factor));
  }
  return static_cast<std::size_t>(total);
}

}  // namespace collections_internal

std::vector<Range<std::int64_t>> makeRangesWithTotalCount(const std::vector<std::int64_t>& self,
                                                          std::int64_t totalCount) {
  std::vector<Range<std::int64_t>> ranges;
  ranges.reserve(self.size());
  for (std::size_t i = 0; i < self.size(); ++i) {
    std::int64_t end = i + 1 < self.size() ? self[i + 1] : totalCount;
    if (end < self[i]) {
      fatal(fmt::format("makeRangesWithTotalCount: start {} lies above the end {}", self[i], end));
    }
    ranges.emplace_back(self[i], end);
  }
  return ranges;
}

void appendOptionalStringWithMinimumLengthOfOne(std::vector<std::string>& self,
                                                const std::optional<std::string>& text) {
  if (text && !text->empty()) self.push_back(*text);
}

namespace {
constexpr char kHexDigits[] = "0123456789abcdef";

void appendHex(std::string& out, std::uint8_t byte) {
  out.push_back(kHexDigits[byte >> 4]);
  out.push_back(kHexDigits[byte & 0x0F]);
}
}  // namespace

std::string hexString(std::span<const std::uint8_t> self) {
  std::string out;
  out.reserve(self.size() * 2);
  for (std::uint8_t byte : self) appendHex(out, byte);
  return out;
}

std::string hexDescription(std::span<const std::uint8_t> self,
                           std::optional<std::int64_t> groupSize) {
  if (!groupSize) return hexString(self);
  if (*groupSize < 1) fatal(fmt::format("hexDescription: group size {} is below 1", *groupSize));
  auto group = static_cast<std::uint64_t>(*groupSize);
  std::string out;
  out.reserve(self.size() * 3);
  for (std::size_t i = 0; i < self.size(); ++i) {
    appendHex(out, self[i]);
    if ((i + 1) % group == 0) out.push_back(' ');
  }
  return out;
}

}  // namespace vantrel
