// File: vantrel/core/source_location.h
//
// `vantrel::SourceLocation`: the caller's file, function, line and column,
// taken as a defaulted trailing parameter:
//
//   void trace(std::string_view message, SourceLocation loc = SourceLocation::current());
//
// It is the library's own type under every compiler, never
// `std::source_location`: the type is part of the exported functions'
// mangled names, and clang 14 cannot build libstdc++'s version, so a program
// built with clang would name other functions than the library exports.
// Where the standard library provides `std::source_location` (g++), that
// fills it, spelling the function as its signature; elsewhere (clang 14) the
// compiler builtins do, which spell the function's plain name.
#pragma once

#include <cstdint>
#include <version>

#if defined(__cpp_lib_source_location)
#include <source_location>
#endif

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class SourceLocation {
 public:
  // A default argument is evaluated where the call is written, so each of
  // these takes the position of whoever calls `current()`, or of the call
  // whose own default argument `current()` is.
#if defined(__cpp_lib_source_location)
  static constexpr SourceLocation current(std::source_location here = std::source_location::current()) noexcept {
    return SourceLocation(here.file_name(), here.function_name(), here.line(), here.column());
  }
#else
  static constexpr SourceLocation current(const char* file = __builtin_FILE(),
                                          const char* function = __builtin_FUNCTION(),
                                          std::uint_least32_t line = __builtin_LINE(),
                                          std::uint_least32_t column = __builtin_COLUMN()) noexcept {
    return SourceLocation(file, function, line, column);
  }
#endif
  constexpr SourceLocation() noexcept = default;
  constexpr const char* file_name() const noexcept { return file_; }
  constexpr const char* function_name() const noexcept { return function_; }
  constexpr std::uint_least32_t line() const noexcept { return line_; }
  constexpr std::uint_least32_t column() const noexcept { return column_; }

 private:
  constexpr SourceLocation(const char* file, const char* function, std::uint_least32_t line,
                           std::uint_least32_t column) noexcept
      : file_(file), function_(function), line_(line), column_(column) {}

  const char* file_ = "";
  const char* function_ = "";
  std::uint_least32_t line_ = 0;
  std::uint_least32_t column_ = 0;
};

}  // namespace vantrel
