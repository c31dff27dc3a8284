// The kit's shared colours and settings stay usable by threads that run on
// while the process exits.
#include <cstdlib>

#include <gtest/gtest.h>

#include "tests/support/exit_while_used.h"
#include "vantrel/core/color.h"

namespace vantrel {
namespace {

TEST(ExitTimeStatics, SharedColorsOutliveExit) {
  EXPECT_EXIT_WHILE_USED([] {
    const Color::Ptr black = Color::blackColor();
    const Color::Ptr white = Color::whiteColor();
    if (!(*black == *Color::blackColor()) || *black == *white) std::abort();
  });
}

}  // namespace
}  // namespace vantrel
