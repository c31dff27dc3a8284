#include <cstdint>
#include <memory>

#include <gtest/gtest.h>

#include "vantrel/core/object_identifier.h"

namespace vantrel {
namespace {

TEST(ObjectIdentifierTest, DescriptionAndLast) {
  const ObjectIdentifier id(reinterpret_cast<const void*>(std::uintptr_t{0x5581a3f0ab12f}));
  EXPECT_EQ(id.description(), "ObjectIdentifier(0x0005581a3f0ab12f)");
  EXPECT_EQ(id.last(), "\U0001F4DBab12f");
  EXPECT_EQ(id.last(0), "");
  EXPECT_EQ(id.last(3), "12f");
  EXPECT_EQ(id.last(16), "0005581a3f0ab12f");
  auto object = std::make_shared<int>(1);
  EXPECT_EQ(ObjectIdentifier(object), ObjectIdentifier(static_cast<const void*>(object.get())));
}

TEST(ObjectIdentifierDeathTest, CountOutsideTheRangeStops) {
  const ObjectIdentifier id(nullptr);
  EXPECT_DEATH((void)id.last(17), "ObjectIdentifier.last: 17 is outside 0...16");
  EXPECT_DEATH((void)id.last(-1), "ObjectIdentifier.last: -1 is outside 0...16");
}

}  // namespace
}  // namespace vantrel
