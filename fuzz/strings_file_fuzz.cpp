// Arbitrary bytes as a strings table: no crash, no read outside the input;
// every entry read is valid UTF-8 and, written back quoted, reads back the
// same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "vantrel/platform/foundation/bundles/strings_file.h"
#include "vantrel/text/string_services.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::unordered_map<std::string, std::string> table;
  try {
    table = vantrel::parseStringsFile(bytes);
  } catch (const vantrel::StringsFileError& error) {
    if (error.line() < 1) std::abort();
    return 0;
  }
  std::string rewritten;
  for (const auto& [key, value] : table) {
    if (!vantrel::isValidUtf8(key) || !vantrel::isValidUtf8(value)) std::abort();
    rewritten += vantrel::stringsFileQuoted(key) + " = " + vantrel::stringsFileQuoted(value) + ";\n";
  }
  if (vantrel::parseStringsFile(rewritten) != table) std::abort();
  return 0;
}
