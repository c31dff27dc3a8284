#include "vantrel/foundation/values/data_helpers.h"

#include <fmt/format.h>

#include "vantrel/core/console.h"
#include "vantrel/core/fatal.h"

namespace vantrel {

namespace {

constexpr char kDigits[] = "0123456789abcdef";

void appendHex(std::string& out, std::uint8_t byte) {
  out += kDigits[byte >> 4];
  out += kDigits[byte & 0x0F];
}

}  // namespace

std::size_t foundation_internal::checkedElementRange(std::size_t byteCount, std::size_t stride,
                                                     std::optional<std::int64_t> offset,
                                                     std::optional<std::int64_t> count) {
  const auto whole = static_cast<std::int64_t>(byteCount / stride);
  const std::int64_t from = offset.value_or(0);
  if (from < 0 || from > whole) {
    fatal(fmt::format("toArray: offset {} outside the {} whole elements of {} bytes", from, whole, byteCount));
  }
  const std::int64_t remaining = whole - from;
  if (!count) return static_cast<std::size_t>(remaining);
  if (*count < 0 || *count > remaining) {
    fatal(fmt::format("toArray: {} elements from offset {} reach past the {} whole elements of {} bytes", *count,
                      from, whole, byteCount));
  }
  return static_cast<std::size_t>(*count);
}

Data dataFrom(const void* bytes, std::uint32_t len) {
  const auto* p = static_cast<const std::uint8_t*>(bytes);
  return Data(p, p + len);
}

Data removeTrailingHexFFBeforeNl(const Data& data) {
  const std::size_t n = data.size();
  if (n < 3 || data[n - 1] != 0x0A || data[n - 2] != 0xFF) return data;
  std::size_t keep = n - 2;  // bytes before the run of 0xFF
  while (keep > 0 && data[keep - 1] == 0xFF) --keep;
  if (keep == 0) return data;  // nothing but filler before the line feed
  Data out(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(keep));
  out.push_back(0x0A);
  return out;
}

Data swapUInt16Data(const Data& data) {
  if (data.size() % 2 != 0) {
    consolePrint("WARNING! tried to swap an uneven number of bytes: " + dataDescription(data));
    return data;
  }
  Data out(data.size());
  for (std::size_t i = 0; i < data.size(); i += 2) {
    out[i] = data[i + 1];
    out[i + 1] = data[i];
  }
  return out;
}

std::string asHexString(const Data& data) {
  std::string out = "<";
  for (std::size_t i = 0; i < data.size(); ++i) {
    if (i > 0 && i % 4 == 0) out += ' ';
    appendHex(out, data[i]);
  }
  out += '>';
  return out;
}

std::string hexDescription(const Data& data, std::optional<std::int64_t> groupLength) {
  if (groupLength && *groupLength < 1) fatal(fmt::format("hexDescription: group length {} is below 1", *groupLength));
  std::string out;
  out.reserve(data.size() * 3);
  for (std::size_t i = 0; i < data.size(); ++i) {
    appendHex(out, data[i]);
    if (groupLength && (i + 1) % static_cast<std::uint64_t>(*groupLength) == 0) out += ' ';
  }
  return out;
}

std::string dataDescription(const Data& data) {
  return fmt::format("{{length = {}, bytes = 0x{}}}", data.size(), hexDescription(data));
}

}  // namespace vantrel
