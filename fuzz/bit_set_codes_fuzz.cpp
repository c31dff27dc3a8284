// Arbitrary codes through the bit set's two setters, on sets of 1 to 256
// bits (the first input byte picks the size, the second the starting bits):
// a code that does not read leaves the set unchanged; one that reads leaves
// (size + 63) / 64 words, the value in word 0, every other word and every
// bit at or beyond the size clear. Sets of at most 64 bits read their own
// codes back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "vantrel/collections/bit_set.h"

namespace {

using vantrel::BitSet;

void checkInvariants(const BitSet& s) {
  const auto& words = s.words();
  if (words.size() != static_cast<std::size_t>((s.size() + 63) / 64)) std::abort();
  for (std::size_t w = 1; w < words.size(); ++w) {
    if (words[w] != 0) std::abort();
  }
  const std::int64_t rest = s.size() % 64;
  if (rest != 0 && (words.back() >> rest) != 0) std::abort();
}

void check(BitSet s, std::string_view code, bool hex) {
  const BitSet before = s;
  const bool read = hex ? s.setToHexCoded(code) : s.setToBitCoded(code);
  if (!read) {
    if (!(s == before) || s.size() != before.size()) std::abort();
    return;
  }
  checkInvariants(s);
  if (s.size() <= 64) {
    BitSet again(s.size());
    if (!again.setToBitCoded(s.bitCode()) || !(again == s)) std::abort();
    BitSet fromHex(s.size());
    if (!fromHex.setToHexCoded(s.hexCode()) || !(fromHex == s)) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  BitSet s(static_cast<std::int64_t>(data[0]) + 1);
  for (int bit = 0; bit < 8 && bit < s.size(); ++bit) {
    if ((data[1] >> bit) & 1) s.set(bit);
  }
  if (s.size() > 64 && (data[1] & 1)) s.set(s.size() - 1);
  const std::string_view code(reinterpret_cast<const char*>(data + 2), size - 2);
  check(s, code, false);
  check(s, code, true);
  return 0;
}
