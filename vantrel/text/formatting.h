// File: vantrel/text/formatting.h
//
// printf-style formatting that can never read a wrong argument. Arguments
// carry their own kind (`FormatArgument`); the format is parsed and every
// specifier checked against its argument before anything is written, so a
// format from outside (a translation, a file, a user) is safe to use.
//
//   withFormat("%d files", 3)                 "3 files"
//   withFormat("%2$@ %1$@", "a", "b")         "b a"
//   withFormat("%05.1f%%", 2.25)              "002.2%"
//   withFormat("%@", std::vector<int>{1, 2})  "[1, 2]"   (%@ is `describe`)
//   withFormat("%d", "text")                  "%d"       (warned, unfilled)
//
// Specifiers: %d %i %u %x %X %o %c %C %f %F %e %E %g %G %a %A %s %S %@ and
// %%, with flags, width, precision and positions ("%1$@"); length modifiers
// are accepted and ignored, since arguments carry their type. "*" widths,
// %n, %p, widths or precisions above 1024, mixed positional and sequential
// specifiers, and an argument of the wrong kind or a missing one are
// refused. Numbers are written as the C locale writes them ("1.50", no
// grouping: the "'" flag is dropped), whatever locale the process runs in.
// Widths and precisions of texts count Unicode scalars.
//
// A refused format is reported through `qlog.warning` and comes back
// unfilled. Pure apart from that warning; thread-safe.
#pragma once

#include <concepts>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

#include "vantrel/core/describe.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// One argument of `withFormat` / `formatLocalize`: an integer, a
// floating-point number, a text, or any other value (through `describe`,
// for %@).
class FormatArgument {
 public:
  enum class Kind { signedInteger, unsignedInteger, floating, text, object };

  template <class I>
    requires(std::is_integral_v<I> && !std::is_same_v<I, bool> && std::is_signed_v<I>)
  FormatArgument(I value) : kind_(Kind::signedInteger), signed_(value) {}  // NOLINT: implicit on purpose
  template <class I>
    requires(std::is_integral_v<I> && !std::is_same_v<I, bool> && std::is_unsigned_v<I>)
  FormatArgument(I value) : kind_(Kind::unsignedInteger), unsigned_(value) {}  // NOLINT
  FormatArgument(double value) : kind_(Kind::floating), double_(value) {}     // NOLINT
  FormatArgument(float value) : kind_(Kind::floating), double_(value) {}      // NOLINT
  FormatArgument(std::string_view text) : kind_(Kind::text), text_(text) {}  // NOLINT
  FormatArgument(const char* text) : kind_(Kind::text), text_(text) {}       // NOLINT
  FormatArgument(const std::string& text) : kind_(Kind::text), text_(text) {}  // NOLINT
  template <class T>
    requires(!std::is_arithmetic_v<T> && !std::is_convertible_v<const T&, std::string_view>)
  FormatArgument(const T& value) : kind_(Kind::object), text_(describe(value)) {}  // NOLINT
  FormatArgument(bool value) : kind_(Kind::object), text_(value ? "true" : "false") {}  // NOLINT

  [[nodiscard]] Kind kind() const { return kind_; }
  [[nodiscard]] std::int64_t signedValue() const { return signed_; }
  [[nodiscard]] std::uint64_t unsignedValue() const { return unsigned_; }
  [[nodiscard]] double doubleValue() const { return double_; }
  [[nodiscard]] const std::string& text() const { return text_; }

 private:
  Kind kind_;
  std::int64_t signed_ = 0;
  std::uint64_t unsigned_ = 0;
  double double_ = 0;
  std::string text_;
};

// `format` filled from `arguments`; see the top.
[[nodiscard]] std::string withFormatArguments(std::string_view format, std::span<const FormatArgument> arguments);

// `format` filled from `arguments`, or nullopt when a specifier does not fit
// its argument (or has none); `reason`, when given, then says why. Prints
// nothing: for callers that report the mismatch their own way.
[[nodiscard]] std::optional<std::string> filledFormat(std::string_view format,
                                                      std::span<const FormatArgument> arguments,
                                                      std::string* reason = nullptr);

template <class... Args>
[[nodiscard]] std::string withFormat(std::string_view format, const Args&... arguments) {
  const FormatArgument packed[] = {FormatArgument(arguments)..., FormatArgument(0)};
  return withFormatArguments(format, std::span<const FormatArgument>(packed, sizeof...(Args)));
}

}  // namespace vantrel
