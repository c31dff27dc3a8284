// File: vantrel/core/source_location.h
//
// `vantrel::SourceLocation`: the caller's file, function, line and column,
// taken as a defaulted trailing parameter:
//
//   void trace(std::string_view message, SourceLocation loc = SourceLocation::current());
//
// It is `std::source_location` wherever the standard library provides it.
// clang 14 (the fuzzing compiler) cannot build libstdc++'s version, so there
// it is a small struct with the same four accessors, filled by the compiler
// builtins that clang has had for years.
#pragma once

#include <cstdint>
#include <version>

#include "vantrel/api.h"

#if defined(__cpp_lib_source_location)
#include <source_location>
namespace vantrel VANTREL_API {
using SourceLocation = std::source_location;
}  // namespace vantrel
#else
namespace vantrel VANTREL_API {
class SourceLocation {
 public:
  static constexpr SourceLocation current(const char* file = __builtin_FILE(),
                                          const char* function = __builtin_FUNCTION(),
                                          std::uint_least32_t line = __builtin_LINE(),
                                          std::uint_least32_t column = __builtin_COLUMN()) noexcept {
    SourceLocation loc;
    loc.file_ = file;
    loc.function_ = function;
    loc.line_ = line;
    loc.column_ = column;
    return loc;
  }
  constexpr SourceLocation() noexcept = default;
  constexpr const char* file_name() const noexcept { return file_; }
  constexpr const char* function_name() const noexcept { return function_; }
  constexpr std::uint_least32_t line() const noexcept { return line_; }
  constexpr std::uint_least32_t column() const noexcept { return column_; }

 private:
  const char* file_ = "";
  const char* function_ = "";
  std::uint_least32_t line_ = 0;
  std::uint_least32_t column_ = 0;
};
}  // namespace vantrel
#endif
