// Arbitrary bytes through the JSON escaping: the output, between quotes, is
// one valid JSON string that decodes back to the input (ill-formed UTF-8
// comes back as U+FFFD), and the append form writes the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tests/support/json_string_decoder.h"
#include "vantrel/text/escaping.h"
#include "vantrel/text/string_services.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string escaped = vantrel::stringEncodedForJson(input);
  const auto decoded = vantrel::testing::decodeJsonString("\"" + escaped + "\"");
  if (!decoded) std::abort();
  if (*decoded != vantrel::repairedUtf8(input)) std::abort();
  std::string buffer = "prefix";
  vantrel::appendStringEncodedForJson(buffer, input);
  if (buffer != "prefix" + escaped) std::abort();
  return 0;
}
