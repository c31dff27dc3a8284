// Arbitrary bytes as JSON: no crash, no runaway recursion; whatever reads
// writes back (one line and indented) to text that reads equal.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "vantrel/json/json.h"
#include "vantrel/json/json_writer.h"

namespace {

vantrel::Json reread(const vantrel::PlatformValue& root, std::optional<std::string> indent) {
  // The writer takes containers only; a scalar goes inside an array.
  if (root.array() || root.dictionary()) {
    return vantrel::Json::fromData(vantrel::JsonWriter(std::move(indent)).string(root));
  }
  const vantrel::PlatformValue wrapped(vantrel::PlatformValue::Array{root});
  return vantrel::Json::fromData(vantrel::JsonWriter(std::move(indent)).string(wrapped))[0];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  vantrel::Json value;
  try {
    value = vantrel::Json::fromData(text);
  } catch (const vantrel::JsonReadError& error) {
    if (error.offset() > size) std::abort();
    return 0;
  }
  // The reader yields no NaN, so equality is meaningful.
  if (!(reread(value.managedJsonObject(), std::nullopt) == value)) std::abort();
  if (!(reread(value.managedJsonObject(), "  ") == value)) std::abort();
  return 0;
}
