// File: vantrel/platform/foundation/formatters/byte_count_formatter.h
//
// `ByteCountFormatter`: a byte count as a short text with a unit.
//
//   ByteCountFormatter f(ByteCountFormatter::Units::useMB, ByteCountFormatter::CountStyle::file);
//   f.string(1'500'000);            // "1.5 MB"
//   ByteCountFormatter().string(1); // "1 byte"
//
// The text is the library's own: the largest allowed unit the count reaches
// (else the smallest allowed one), the magnitude in that unit, a blank and
// the unit: "bytes" ("byte" for 1) as a whole number, "KB" rounded to a
// whole number, "MB", "GB", "TB", "PB", "EB", "ZB", "YB" rounded to one
// decimal, a ".0" dropped; halves round up, and a count that rounds up to a
// whole next unit that is allowed is shown in it ("1 MB", not "1000 KB").
// C-locale digits, no grouping, "-" before negative counts. A unit is
// 1000 of the one below for the file and decimal count styles, 1024 for
// memory and binary. No allowed units (the default) means all.
#pragma once

#include <cstdint>
#include <string>

#include "vantrel/core/option_set.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class ByteCountFormatter {
 public:
  struct Units : OptionSet<Units, std::uint64_t> {
    using OptionSet::OptionSet;
    static const Units useBytes, useKB, useMB, useGB, useTB, usePB, useEB, useZB, useYBOrHigher, useAll;
  };
  enum class CountStyle { file, memory, decimal, binary };

  ByteCountFormatter() = default;
  explicit ByteCountFormatter(Units allowedUnits) : allowedUnits(allowedUnits) {}
  ByteCountFormatter(Units allowedUnits, CountStyle countStyle) : allowedUnits(allowedUnits), countStyle(countStyle) {}

  [[nodiscard]] std::string string(std::int64_t byteCount) const;

  Units allowedUnits{};
  CountStyle countStyle = CountStyle::file;
};

inline constexpr ByteCountFormatter::Units ByteCountFormatter::Units::useBytes{1u};
inline constexpr ByteCountFormatter::Units ByteCountFormatter::Units::useKB{2u};
inline constexpr ByteCountFormatter::Units ByteCountFormatter::Units::useMB{4u};
inline constexpr ByteCountFormatter::Units ByteCountFormatter::Units::useGB{8u};
inline constexpr ByteCountFormatter::Units ByteCountFormatter::Units::useTB{16u};
inline constexpr ByteCountFormatter::Units ByteCountFormatter::Units::usePB{32u};
inline constexpr ByteCountFormatter::Units ByteCountFormatter::Units::useEB{64u};
inline constexpr ByteCountFormatter::Units ByteCountFormatter::Units::useZB{128u};
inline constexpr ByteCountFormatter::Units ByteCountFormatter::Units::useYBOrHigher{0xFF00u};
inline constexpr ByteCountFormatter::Units ByteCountFormatter::Units::useAll{0xFFFFu};

}  // namespace vantrel
