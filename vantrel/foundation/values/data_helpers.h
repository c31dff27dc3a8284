// File: vantrel/foundation/values/data_helpers.h
//
// Helpers on `Data` (core's byte buffer) for logs and glue code. Each returns
// a new value and leaves its argument unchanged.
//
//   Data d = dataFromArray(std::vector<std::uint16_t>{1, 2});  // 01 00 02 00 (machine order)
//   toArray<std::uint16_t>(d, 1, 1);                           // {2}
//   hexDescription(Data{0x0A, 0xFF, 0x10}, 2);                 // "0aff 10"
//   removeTrailingHexFFBeforeNl(Data{0x41, 0xFF, 0x0A});       // 41 0A
//   swapUInt16Data(Data{1, 2, 3, 4});                          // 02 01 04 03
//   asHexString(Data{0x0A, 0xFF, 0x10});                       // "<0aff10>"
//
// `toArray` reads only whole elements inside the buffer: with an offset but
// no count it reads what remains; an offset or count that reaches past the
// end, or a negative one, stops the program with a message. So do a group
// length below 1 for `hexDescription`.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "vantrel/core/data.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

namespace foundation_internal {
// How many elements of `stride` bytes `toArray` reads; stops on a bad range.
std::size_t checkedElementRange(std::size_t byteCount, std::size_t stride, std::optional<std::int64_t> offset,
                                std::optional<std::int64_t> count);
}  // namespace foundation_internal

// `len` bytes from `bytes`.
[[nodiscard]] Data dataFrom(const void* bytes, std::uint32_t len);

// The elements' bytes as they lie in memory (count × size, machine order).
template <class T>
  requires std::is_trivially_copyable_v<T>
[[nodiscard]] Data dataFromArray(const std::vector<T>& array) {
  Data out(array.size() * sizeof(T));
  if (!out.empty()) std::memcpy(out.data(), array.data(), out.size());
  return out;
}

// Elements of `T` read at intervals of its size, from element `offset`
// (default 0); `count` elements, or all whole ones that remain.
template <class T>
  requires std::is_trivially_copyable_v<T> && std::is_default_constructible_v<T>
[[nodiscard]] std::vector<T> toArray(const Data& data, std::optional<std::int64_t> offset = std::nullopt,
                                     std::optional<std::int64_t> count = std::nullopt) {
  const std::size_t n = foundation_internal::checkedElementRange(data.size(), sizeof(T), offset, count);
  std::vector<T> out(n);
  if (n > 0) std::memcpy(out.data(), data.data() + static_cast<std::size_t>(offset.value_or(0)) * sizeof(T), n * sizeof(T));
  return out;
}

// A run of 0xFF bytes just before a final line feed removed (see the header
// comment's example); data of another shape comes back unchanged.
[[nodiscard]] Data removeTrailingHexFFBeforeNl(const Data& data);

// The two bytes of every 16-bit word exchanged. An odd byte count prints
// "WARNING! tried to swap an uneven number of bytes: " + `dataDescription`
// and gives the data back unchanged.
[[nodiscard]] Data swapUInt16Data(const Data& data);

// "<" + every byte as two lower-case hexadecimal digits, a blank after every
// fourth byte that another follows + ">": the platform data object's form.
[[nodiscard]] std::string asHexString(const Data& data);

// Two lower-case digits per byte; with `groupLength` g, a blank after every
// g-th byte (also after the last when the count is a multiple of g).
[[nodiscard]] std::string hexDescription(const Data& data, std::optional<std::int64_t> groupLength = std::nullopt);

// "{length = 5, bytes = 0x0102030405}": the data's standard description.
[[nodiscard]] std::string dataDescription(const Data& data);

}  // namespace vantrel
