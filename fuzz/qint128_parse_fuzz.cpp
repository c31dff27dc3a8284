// Arbitrary text and bytes through the 128-bit identifier's readers: no
// crash; what parses writes back the same text (case aside), and 16 bytes
// read back as themselves.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "vantrel/collections/qint128.h"

namespace {

std::string lowered(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  using vantrel::QInt128;
  if (const auto v = QInt128::fromString(text)) {
    if (v->asString() != lowered(text)) std::abort();
  }
  if (const auto v = QInt128::fromUuidString(text)) {
    if (lowered(v->asUuidString()) != lowered(text)) std::abort();
    if (QInt128::fromUuid(v->asUuid()) != *v) std::abort();
  }
  const vantrel::Data bytes(data, data + size);
  if (const auto v = QInt128::fromData(bytes)) {
    if (size != 16 || v->asData() != bytes) std::abort();
  } else if (size == 16) {
    std::abort();
  }
  return 0;
}
