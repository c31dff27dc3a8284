// Arbitrary bytes as a format text from outside (a translation, a file),
// filled through the one format interpreter: first from a fixed set of
// arguments of every kind, then through `withFormat` with arguments that the
// input itself chooses. No crash and no read outside the input, whatever the
// specifiers ask for; a refused format says why, and `withFormat` then gives
// the format back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "vantrel/core/console.h"
#include "vantrel/text/formatting.h"
#include "vantrel/text/internal/format_interpreter.h"

namespace {

// Arguments drawn from the input: each byte picks a kind, and the bytes after
// it give the value.
std::vector<vantrel::FormatArgument> foreignArguments(std::string_view& input) {
  std::vector<vantrel::FormatArgument> arguments;
  if (input.empty()) return arguments;
  const std::size_t count = static_cast<unsigned char>(input.front()) % 6;
  input.remove_prefix(1);
  for (std::size_t i = 0; i < count && !input.empty(); ++i) {
    const auto kind = static_cast<unsigned char>(input.front());
    input.remove_prefix(1);
    std::uint64_t bits = 0;
    for (std::size_t b = 0; b < 8 && !input.empty(); ++b) {
      bits = bits << 8 | static_cast<unsigned char>(input.front());
      input.remove_prefix(1);
    }
    double real = 0;
    static_assert(sizeof real == sizeof bits);
    __builtin_memcpy(&real, &bits, sizeof real);
    switch (kind % 6) {
      case 0: arguments.emplace_back(static_cast<std::int64_t>(bits)); break;
      case 1: arguments.emplace_back(bits); break;
      case 2: arguments.emplace_back(real); break;
      case 3: arguments.emplace_back(std::string(input.substr(0, bits % 16))); break;
      case 4: arguments.emplace_back(std::vector<std::int64_t>{static_cast<std::int64_t>(bits), -1}); break;
      default: arguments.emplace_back(kind % 2 == 0); break;
    }
  }
  return arguments;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view format(reinterpret_cast<const char*>(data), size);
  const vantrel::FormatArgument arguments[] = {
      std::int64_t{-42}, std::uint64_t{42}, 3.5, "text", std::string("\xC3\xA9"), -1e300, 0x1F600,
  };
  const auto result = vantrel::text_internal::formatWithArguments(format, arguments);
  if (const auto* failure = std::get_if<vantrel::text_internal::FormatFailure>(&result)) {
    if (failure->reason.empty()) std::abort();
  } else if (std::get<std::string>(result).size() > size * 1100 + 64) {
    std::abort();  // widths are capped, so the output stays proportionate
  }

  // withFormat with foreign arguments; its warnings go to a capture.
  static vantrel::ConsoleCapture* const capture = new vantrel::ConsoleCapture;
  std::string_view rest = format;
  const std::vector<vantrel::FormatArgument> foreign = foreignArguments(rest);
  const auto checked = vantrel::text_internal::formatWithArguments(rest, foreign);
  const std::string filled = vantrel::withFormatArguments(rest, foreign);
  if (const auto* text = std::get_if<std::string>(&checked)) {
    if (filled != *text) std::abort();
    if (!capture->standardOutput().empty()) std::abort();  // a fitting format is not warned about
  } else if (filled != rest || capture->standardOutput().empty()) {
    std::abort();  // a refused format comes back unfilled, with a warning
  }
  capture->clear();
  return 0;
}
