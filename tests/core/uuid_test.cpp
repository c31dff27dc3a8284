#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "vantrel/core/random.h"
#include "vantrel/core/uuid.h"

namespace vantrel {
namespace {

TEST(Uuid, NewOnesAreVersionFourFromTheRandomSource) {
  ScriptedRandomSource source({0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA,
                               0xBB, 0xCC, 0xDD, 0xEE, 0xFF});
  ScopedRandomSource use(source);
  EXPECT_EQ(UUID().uuidString(), "00112233-4455-4677-8899-AABBCCDDEEFF");
}

TEST(Uuid, StrictParser) {
  const auto id = UUID::fromString("a1234567-89ab-CDEF-fedc-ba9876543210");
  ASSERT_TRUE(id);
  EXPECT_EQ(id->uuidString(), "A1234567-89AB-CDEF-FEDC-BA9876543210");
  EXPECT_EQ(id->uuid()[0], 0xA1);
  EXPECT_EQ(id->uuid()[15], 0x10);
  const char* refused[] = {
      "",
      "a123456789abcdeffedcba9876543210",
      "a1234567-89ab-cdef-fedc-ba987654321",
      "a1234567-89ab-cdef-fedc-ba98765432100",
      "a1234567_89ab-cdef-fedc-ba9876543210",
      "a123456-789ab-cdef-fedc-ba9876543210",
      "g1234567-89ab-cdef-fedc-ba9876543210",
      "+1234567-89ab-cdef-fedc-ba9876543210",
      " 1234567-89ab-cdef-fedc-ba9876543210",
      "{1234567-89ab-cdef-fedc-ba987654321}",
  };
  for (const char* text : refused) EXPECT_FALSE(UUID::fromString(text)) << text;
}

}  // namespace
}  // namespace vantrel
