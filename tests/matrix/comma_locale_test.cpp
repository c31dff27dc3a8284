// The matrix's messages write numbers with a point whatever the process
// locale is.
#include <cstdio>

#include <gtest/gtest.h>

#include "tests/support/comma_locale.h"
#include "vantrel/core/console.h"
#include "vantrel/core/number_text.h"
#include "vantrel/core/random.h"
#include "vantrel/matrix/matrix.h"

namespace vantrel {
namespace {

TEST(CommaDecimalLocale, FillMessagesKeepTheDecimalPoint) {
  testing::ScopedCommaDecimalLocale locale;
  ASSERT_TRUE(locale.active());
  char probe[8];
  std::snprintf(probe, sizeof probe, "%.1f", 0.5);
  ASSERT_STREQ(probe, "0,5");  // the locale is really in force

  Matrix<int> m(3, 1);
  ScriptedRandomSource script({0, 0, 99999});
  ScopedRandomSource use(script);
  ConsoleCapture capture;
  m.fillWithPercent(12.5, [] { return 1; });
  const std::string output = capture.standardOutput();
  EXPECT_EQ(output, "filling matrix(MatrixSize(3, 1)) with 12.5 \nfillcount = 2 == 0.666666666666667\n");
  // And back: the numbers of the message read as what was written.
  const auto with = output.find("with ") + 5;
  EXPECT_EQ(parseDouble(output.substr(with, output.find(' ', with) - with)), 12.5);
  EXPECT_EQ(parseDouble(output.substr(output.rfind("== ") + 3, 17)), 0.666666666666667);
}

}  // namespace
}  // namespace vantrel
