#include "vantrel/text/internal/format_interpreter.h"

#include <cstdio>
#include <optional>

#include <fmt/format.h>

#include "vantrel/core/number_text.h"
#include "vantrel/text/string_services.h"

namespace vantrel::text_internal {

namespace {

// Larger widths or precisions are refused rather than honoured: a
// translated text must not be able to ask for gigabytes of padding.
constexpr int kMaxWidth = 1024;

struct Specifier {
  std::string flags;
  std::optional<int> width;
  std::optional<int> precision;
  char conversion = 0;
};

std::string_view kindName(FormatArgument::Kind kind) {
  switch (kind) {
    case FormatArgument::Kind::signedInteger: return "an integer";
    case FormatArgument::Kind::unsignedInteger: return "an unsigned integer";
    case FormatArgument::Kind::floating: return "a floating-point number";
    case FormatArgument::Kind::text: return "a text";
    case FormatArgument::Kind::object: return "a value";
  }
  return "?";
}

std::string padText(std::string_view text, const Specifier& specifier) {
  std::u32string scalars = unicodeScalars(text);
  if (specifier.precision && scalars.size() > static_cast<std::size_t>(*specifier.precision)) {
    scalars.resize(static_cast<std::size_t>(*specifier.precision));
  }
  std::string out;
  for (const char32_t c : scalars) out += stringFromScalar(c);
  if (specifier.width && scalars.size() < static_cast<std::size_t>(*specifier.width)) {
    const std::string padding(static_cast<std::size_t>(*specifier.width) - scalars.size(), ' ');
    out = specifier.flags.find('-') != std::string::npos ? out + padding : padding + out;
  }
  return out;
}

// The printf conversion for `specifier`, rebuilt from its checked flags,
// width and precision.
std::string conversionSpec(const Specifier& specifier, std::string_view length) {
  std::string flags = specifier.flags;
  // "#" is defined only for o, x, X and the floating-point conversions.
  if (std::string_view("diu").find(specifier.conversion) != std::string_view::npos) std::erase(flags, '#');
  std::string format = "%" + flags;
  if (specifier.width) format += integerText(*specifier.width);
  if (specifier.precision) format += "." + integerText(*specifier.precision);
  format += length;
  format += specifier.conversion;
  return format;
}

// Integers through printf: no integer conversion reads the locale once the
// grouping flag is gone, which the parser drops.
template <class T>
std::string printfInteger(const Specifier& specifier, T value) {
  const std::string format = conversionSpec(specifier, "ll");
  const int size = std::snprintf(nullptr, 0, format.c_str(), value);  // NOLINT: format built above
  if (size <= 0) return {};
  std::string out(static_cast<std::size_t>(size) + 1, '\0');
  std::snprintf(out.data(), out.size(), format.c_str(), value);  // NOLINT
  out.resize(static_cast<std::size_t>(size));
  return out;
}

std::optional<std::string> convert(const Specifier& specifier, const FormatArgument& argument, std::string& failure,
                                   std::size_t index) {
  using Kind = FormatArgument::Kind;
  const Kind kind = argument.kind();
  const auto mismatch = [&](std::string_view wanted) {
    failure = fmt::format("%{} needs {}, argument {} is {}", specifier.conversion, wanted, index + 1, kindName(kind));
    return std::nullopt;
  };
  const bool integer = kind == Kind::signedInteger || kind == Kind::unsignedInteger;
  switch (specifier.conversion) {
    case 'd':
    case 'i':
      if (!integer) return mismatch("an integer");
      if (kind == Kind::unsignedInteger) {
        Specifier asUnsigned = specifier;
        asUnsigned.conversion = 'u';
        return printfInteger(asUnsigned, static_cast<unsigned long long>(argument.unsignedValue()));
      }
      return printfInteger(specifier, static_cast<long long>(argument.signedValue()));
    case 'u':
    case 'x':
    case 'X':
    case 'o':
      if (!integer) return mismatch("an integer");
      return printfInteger(specifier,
                       kind == Kind::unsignedInteger
                           ? static_cast<unsigned long long>(argument.unsignedValue())
                           : static_cast<unsigned long long>(argument.signedValue()));  // two's complement, as printf
    case 'c':
    case 'C': {
      if (!integer) return mismatch("an integer");
      const std::uint64_t scalar = kind == Kind::unsignedInteger ? argument.unsignedValue()
                                                                 : static_cast<std::uint64_t>(argument.signedValue());
      if (scalar > 0x10FFFF || (scalar >= 0xD800 && scalar <= 0xDFFF)) {
        failure = fmt::format("%{}: argument {} is no Unicode scalar", specifier.conversion, index + 1);
        return std::nullopt;
      }
      const Specifier noPrecision{specifier.flags, specifier.width, std::nullopt, 'c'};
      return padText(stringFromScalar(static_cast<char32_t>(scalar)), noPrecision);
    }
    case 'f':
    case 'F':
    case 'e':
    case 'E':
    case 'g':
    case 'G':
    case 'a':
    case 'A':
      if (kind != Kind::floating) return mismatch("a floating-point number");
      // Always a decimal point, whatever the process locale: see formatting.h.
      return printfDouble(conversionSpec(specifier, ""), argument.doubleValue());
    case 's':
    case 'S':
      if (kind != Kind::text) return mismatch("a text");
      return padText(argument.text(), specifier);
    case '@':
      switch (kind) {
        case Kind::text:
        case Kind::object: return padText(argument.text(), specifier);
        case Kind::signedInteger: return padText(describe(argument.signedValue()), specifier);
        case Kind::unsignedInteger: return padText(describe(argument.unsignedValue()), specifier);
        case Kind::floating: return padText(describe(argument.doubleValue()), specifier);
      }
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

std::optional<int> number(std::string_view format, std::size_t& pos) {
  if (pos >= format.size() || format[pos] < '0' || format[pos] > '9') return std::nullopt;
  long long value = 0;
  while (pos < format.size() && format[pos] >= '0' && format[pos] <= '9') {
    value = value * 10 + (format[pos] - '0');
    if (value > 1'000'000) value = 1'000'000;  // clamped; refused by the caller
    ++pos;
  }
  return static_cast<int>(value);
}

}  // namespace

std::variant<std::string, FormatFailure> formatWithArguments(std::string_view format,
                                                             std::span<const FormatArgument> arguments) {
  std::string out;
  std::size_t nextArgument = 0;
  bool sawPositional = false;
  bool sawSequential = false;
  std::size_t pos = 0;
  while (pos < format.size()) {
    const char c = format[pos++];
    if (c != '%') {
      out += c;
      continue;
    }
    const std::size_t start = pos - 1;
    const auto fail = [&](std::string reason) {
      return FormatFailure{fmt::format("{} (at \"{}\")", reason, format.substr(start, pos - start))};
    };
    if (pos < format.size() && format[pos] == '%') {
      out += '%';
      ++pos;
      continue;
    }
    // An argument position "n$".
    std::optional<std::size_t> position;
    {
      std::size_t probe = pos;
      if (auto n = number(format, probe); n && probe < format.size() && format[probe] == '$') {
        if (*n < 1) {
          pos = probe + 1;
          return fail("argument positions start at 1");
        }
        position = static_cast<std::size_t>(*n - 1);
        pos = probe + 1;
      }
    }
    Specifier specifier;
    while (pos < format.size() && std::string_view("-+ #0'").find(format[pos]) != std::string_view::npos) {
      if (format[pos] != '\'') specifier.flags += format[pos];  // grouping is not applied
      ++pos;
    }
    if (pos < format.size() && format[pos] == '*') {
      ++pos;
      return fail("a width taken from the arguments is not supported");
    }
    specifier.width = number(format, pos);
    if (pos < format.size() && format[pos] == '.') {
      ++pos;
      if (pos < format.size() && format[pos] == '*') {
        ++pos;
        return fail("a precision taken from the arguments is not supported");
      }
      specifier.precision = number(format, pos).value_or(0);
    }
    if ((specifier.width && *specifier.width > kMaxWidth) || (specifier.precision && *specifier.precision > kMaxWidth)) {
      return fail(fmt::format("widths and precisions above {} are refused", kMaxWidth));
    }
    // Length modifiers only say how C would pass the value; arguments here
    // carry their own type.
    while (pos < format.size() && std::string_view("hlqLzjt").find(format[pos]) != std::string_view::npos) ++pos;
    if (pos >= format.size()) return fail("the format ends inside a specifier");
    specifier.conversion = format[pos++];
    if (std::string_view("diuxXocCfFeEgGaAsS@").find(specifier.conversion) == std::string_view::npos) {
      return fail(fmt::format("unsupported conversion '{}'", specifier.conversion));
    }
    (position ? sawPositional : sawSequential) = true;
    if (sawPositional && sawSequential) return fail("positional and sequential specifiers are mixed");
    const std::size_t index = position.value_or(nextArgument++);
    if (index >= arguments.size()) {
      return fail(fmt::format("argument {} is missing ({} given)", index + 1, arguments.size()));
    }
    std::string failure;
    auto piece = convert(specifier, arguments[index], failure, index);
    if (!piece) return fail(failure);
    out += *piece;
  }
  return out;
}

}  // namespace vantrel::text_internal
