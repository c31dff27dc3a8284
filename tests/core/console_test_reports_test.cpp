#include "vantrel/core/console_test_reports.h"

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/core/console_test_support.h"
#include "vantrel/core/console.h"

namespace vantrel {
namespace {

using testing::printed;

const std::string kBlue = "🔵🔵🔵🔵🔵🔵🔵🔵🔵🔵🔵🔵🔵🔵🔵🔵🔵🔵🔵🔵🔵🔵🔵🔵";
const std::string kRule = "🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸";
const std::string kHyphens = "🔸 🔸 -----------------------------------------------";
const std::string kEnd = "🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 \u23F9  end ";

TEST(ErrorCounter, ExactLines) {
  ErrorCounter fresh("check");
  EXPECT_FALSE(fresh.hasErrors());
  EXPECT_EQ(fresh.renderResult(), (std::vector<std::string>{"✅ ✅ ✅ ✅ check ✅  ALL GOOD! ✅"}));
  EXPECT_EQ(fresh.renderHeader(), (std::vector<std::string>{"", kBlue, "🔵🔵🔵check", kBlue}));
  EXPECT_EQ(printed([&] { fresh.printHeader(); }), "\n" + kBlue + "\n🔵🔵🔵check\n" + kBlue + "\n");

  ErrorCounter untexted("check");
  untexted.addError();
  EXPECT_TRUE(untexted.hasErrors());
  EXPECT_EQ(untexted.count(), 1);
  EXPECT_EQ(untexted.renderResult(true), (std::vector<std::string>{"❌ ❌ ❌ ❌ check ❌  1 errors"}));
  EXPECT_TRUE(untexted.renderErrors().empty());
  EXPECT_EQ(printed([&] { untexted.printErrors(); }), "\n");

  ErrorCounter texted("check");
  texted.addError("first");
  EXPECT_EQ(printed([&] { texted.addAndPrintError("second"); }), "❌❌❌ Error: second\n");
  EXPECT_EQ(texted.renderErrors(), (std::vector<std::string>{"❌ 0  ❌: first", "❌ 1  ❌: second"}));
  EXPECT_EQ(texted.renderResult(false), (std::vector<std::string>{"❌ ❌ ❌ ❌ check ❌  2 errors"}));
  EXPECT_EQ(texted.renderResult(true), (std::vector<std::string>{"❌ ❌ ❌ ❌ check ❌  2 errors",
                                                                 "❌ 0  ❌  : first", "❌ 1  ❌  : second"}));
  EXPECT_EQ(printed([&] { texted.printResult(true); }),
            "❌ ❌ ❌ ❌ check ❌  2 errors\n❌ 0  ❌  : first\n❌ 1  ❌  : second\n");
  EXPECT_EQ(printed([&] { texted.printErrors(); }), "❌ 0  ❌: first\n❌ 1  ❌: second\n");
}

TEST(ErrorCounter, CopiesCountOnTheirOwn) {
  ErrorCounter a("a");
  ErrorCounter b = a;
  b.addError();
  EXPECT_EQ(a.count(), 0);
  EXPECT_EQ(b.count(), 1);
}

TEST(PrintWrap, Headers) {
  struct Case {
    const char* name;
    PrintWrap wrap;
    std::string expected;
  };
  const std::string plain = "\n" + kRule + "\n🔸 🔸 job\n" + kRule + "\n";
  const Case cases[] = {
      {"no description", PrintWrap("job"), plain},
      {"optional, absent", PrintWrap("job", true), plain},
      {"optional, given", PrintWrap("job", false, "desc"),
       "\n" + kRule + "\n🔸 🔸 job\n" + kHyphens + "\n🔸 🔸 desc\n" + kRule + "\n"},
      {"lines, none given", PrintWrap::fromDescLines("job", false, {}),
       "\n" + kRule + "\n🔸 🔸 job\n" + kHyphens + "\n🔸 🔸 \n" + kRule + "\n"},
      {"lines, two", PrintWrap::fromDescLines("job", false, {"a", "b"}),
       "\n" + kRule + "\n🔸 🔸 job\n" + kHyphens + "\n🔸 🔸 a\nb\n" + kRule + "\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(printed([&] { c.wrap.printHeader(); }), c.expected);
  }
}

TEST(PrintWrap, Footers) {
  struct Case {
    const char* name;
    bool manageErrors;
    bool addErrors;
    bool verbose;
    std::string expected;
  };
  const std::string end = kEnd + "job\n";
  const Case cases[] = {
      {"managed, no errors", true, false, false, "✅ ✅ ✅ ✅ job ✅  ALL GOOD! ✅\n" + end},
      {"managed, errors", true, true, false, "❌ ❌ ❌ ❌ job ❌  3 errors\n" + end},
      {"managed, errors, verbose", true, true, true,
       "❌ ❌ ❌ ❌ job ❌  3 errors\n❌ 0  ❌: first\n❌ 1  ❌: second\n" + end},
      {"not managed, errors, verbose", false, true, true, end},
      {"not managed, no errors", false, false, false, end},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PrintWrap wrap("job", c.manageErrors);
    if (c.addErrors) {
      wrap.addError("first");
      wrap.addError();
      EXPECT_EQ(printed([&] { wrap.addAndPrintError("second"); }), "❌❌❌ Error: second\n");
      EXPECT_TRUE(wrap.hasErrors());
    }
    EXPECT_EQ(printed([&] { wrap.printFooter(c.verbose); }), c.expected);
  }
}

TEST(PrintWrap, SubHeaderAndPlainLines) {
  const PrintWrap wrap("job");
  EXPECT_EQ(printed([&] {
              wrap.printSubHeader("part");
              wrap.print("as is");
            }),
            "🔸 🔸 part\nas is\n");
}

}  // namespace
}  // namespace vantrel
