// The vectorised scans against byte-by-byte answers, on inputs whose
// interesting bytes sit at every position of the blocks and stretches.
#include "vantrel/text/internal/scan.h"

#include <gtest/gtest.h>

#include <string>

namespace vantrel::text_internal {
namespace {

std::size_t referenceNonAscii(const std::string& s) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (static_cast<unsigned char>(s[i]) >= 0x80) return i;
  }
  return s.size();
}

std::size_t referenceJson(const std::string& s) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x20 || c == '"' || c == '\\' || c >= 0x80) return i;
  }
  return s.size();
}

std::int64_t referenceCount(const std::string& s) {
  if (referenceNonAscii(s) != s.size()) return -1;
  std::int64_t n = static_cast<std::int64_t>(s.size());
  for (std::size_t i = 1; i < s.size(); ++i) {
    if (s[i] == '\n' && s[i - 1] == '\r') --n;
  }
  return n;
}

TEST(Scan, EveryVariantAgreesWithTheReference) {
  std::uint32_t state = 99;
  const auto next = [&] { return state = state * 1664525u + 1013904223u; };
  const char specials[] = {'\r', '\n', '"', '\\', '\x01', '\x7F', '\x80', '\xFF', ' '};
  for (int round = 0; round < 300; ++round) {
    const std::size_t size = round < 200 ? static_cast<std::size_t>(round) : 8192 + (next() >> 20);
    std::string s(size, 'a');
    const int marks = static_cast<int>(next() >> 29);
    for (int k = 0; k < marks && size > 0; ++k) s[(next() >> 8) % size] = specials[(next() >> 8) % std::size(specials)];
    if (size > 2 && round % 3 == 0) {
      const std::size_t at = (next() >> 8) % (size - 1);
      s[at] = '\r';
      s[at + 1] = '\n';
    }
    SCOPED_TRACE(::testing::Message() << "round " << round << " size " << size);
    EXPECT_EQ(scanFirstNonAscii(s.data(), s.size()), referenceNonAscii(s));
    EXPECT_EQ(scanFirstJsonSpecial(s.data(), s.size()), referenceJson(s));
    EXPECT_EQ(scanAsciiCharacterCount(s.data(), s.size()), referenceCount(s));
#if defined(__x86_64__)
    EXPECT_EQ(firstNonAsciiSse2(s.data(), s.size()), referenceNonAscii(s));
    EXPECT_EQ(firstJsonSpecialSse2(s.data(), s.size()), referenceJson(s));
    EXPECT_EQ(asciiCountSse2(s.data(), s.size()), referenceCount(s));
    if (processorHasAvx2()) {
      EXPECT_EQ(firstNonAsciiAvx2(s.data(), s.size()), referenceNonAscii(s));
      EXPECT_EQ(firstJsonSpecialAvx2(s.data(), s.size()), referenceJson(s));
      EXPECT_EQ(asciiCountAvx2(s.data(), s.size()), referenceCount(s));
    }
#endif
  }
}

}  // namespace
}  // namespace vantrel::text_internal
