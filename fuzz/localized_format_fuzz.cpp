// Arbitrary bytes as a translated format text, filled from a fixed set of
// arguments of every kind: no crash and no read outside the input, whatever
// the specifiers ask for; a refused format says why.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>

#include "vantrel/text/internal/format_interpreter.h"

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
  return 0;
}
