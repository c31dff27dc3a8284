// Descriptions write numbers locale-free even when the host switches the
// whole process (C and C++ global locale) to one with a decimal comma.
#include <cstdio>
#include <ostream>

#include <gtest/gtest.h>

#include "tests/support/comma_locale.h"
#include "vantrel/core/describe.h"

namespace vantrel {
namespace {

struct Reading {
  double value;
  long count;
};
std::ostream& operator<<(std::ostream& os, const Reading& r) { return os << r.value << " x " << r.count; }

TEST(CommaDecimalLocale, DescriptionsThroughStreamsAreLocaleFree) {
  testing::ScopedCommaDecimalLocale locale;
  ASSERT_TRUE(locale.active());
  char probe[8];
  std::snprintf(probe, sizeof probe, "%.1f", 0.5);
  ASSERT_STREQ(probe, "0,5");  // the locale is really in force

  EXPECT_EQ(describe(Reading{1.5, 1234567}), "1.5 x 1234567");
  EXPECT_EQ(describe(0.25), "0.25");
}

}  // namespace
}  // namespace vantrel
