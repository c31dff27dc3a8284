#include "vantrel/text/formatting.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <vector>

#include "tests/support/comma_locale.h"
#include "vantrel/core/console.h"
#include "vantrel/core/random.h"
#include "vantrel/text/case_and_values.h"
#include "vantrel/text/string_statics.h"

namespace vantrel {
namespace {

TEST(WithFormat, FillsCheckedSpecifiers) {
  struct Case {
    std::string got;
    std::string want;
  };
  const Case cases[] = {
      {withFormat("%d files", 3), "3 files"},
      {withFormat("%2$@ %1$@", "a", "b"), "b a"},
      {withFormat("%1$@-%1$@", 7), "7-7"},
      {withFormat("100%% %d%%", 5), "100% 5%"},
      {withFormat("%5d|%-5d|%05d|%+d", 42, 42, 42, 42), "   42|42   |00042|+42"},
      {withFormat("%x %X %#o", 255u, 255, 8), "ff FF 010"},
      {withFormat("%.2f %e %g", 3.14159, 1500.0, 0.5), "3.14 1.500000e+03 0.5"},
      {withFormat("%05.1f%%", 2.25), "002.2%"},
      {withFormat("%s|%6s|%-4s|%.1s", "ab", "\u00E9t\u00E9", "x", "\u00E9t\u00E9"), "ab|   \u00E9t\u00E9|x   |\u00E9"},
      {withFormat("%@", std::vector<int>{1, 2}), "[1, 2]"},
      {withFormat("%@ %@ %@ %@", 2.0, true, std::uint64_t{18446744073709551615u}, std::int64_t{-3}),
       "2.0 true 18446744073709551615 -3"},
      {withFormat("%@", std::map<std::string, int>{{"k", 1}}), "[\"k\": 1]"},
      {withFormat("%c%C", 65, 0x1F600), "A\U0001F600"},
      {withFormat("%'d %ld %lld %hd", 1234567, 1, 2, 3), "1234567 1 2 3"},
      {withFormat("no specifiers"), "no specifiers"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want);
}

TEST(WithFormat, NumbersIgnoreACommaDecimalLocale) {
  testing::ScopedCommaDecimalLocale comma;
  EXPECT_EQ(withFormat("%.2f|%@|%'d|%g", 1.5, 0.25, 1234567, 1e-5), "1.50|0.25|1234567|1e-05");
}

TEST(WithFormat, AMismatchIsWarnedAndTheFormatComesBackUnfilled) {
  struct Case {
    std::string got;
    std::string format;
    std::string reason;
  };
  ConsoleCapture capture;
  const Case cases[] = {
      {withFormat("%d", "text"), "%d", "%d needs an integer, argument 1 is a text (at \"%d\")"},
      {withFormat("%s", 3), "%s", "%s needs a text, argument 1 is an integer (at \"%s\")"},
      {withFormat("%f", 3), "%f", "%f needs a floating-point number, argument 1 is an integer (at \"%f\")"},
      {withFormat("%d and %d", 1), "%d and %d", "argument 2 is missing (1 given) (at \"%d\")"},
      {withFormat("%@"), "%@", "argument 1 is missing (0 given) (at \"%@\")"},
      {withFormat("%n", 1), "%n", "unsupported conversion 'n' (at \"%n\")"},
      {withFormat("%s%p", "a", 1), "%s%p", "unsupported conversion 'p' (at \"%p\")"},
      {withFormat("%*d", 3, 4), "%*d", "a width taken from the arguments is not supported (at \"%*\")"},
      {withFormat("%1$@ %@", "a"), "%1$@ %@", "positional and sequential specifiers are mixed (at \"%@\")"},
      {withFormat("%2000s", "a"), "%2000s", "widths and precisions above 1024 are refused (at \"%2000\")"},
      {withFormat("50%", 1), "50%", "the format ends inside a specifier (at \"%\")"},
  };
  std::string wantLog;
  for (const Case& c : cases) {
    EXPECT_EQ(c.got, c.format);
    wantLog += "\x1b[fg255,255,0;withFormat: \"" + c.format + "\" does not fit its arguments: " + c.reason + "\x1b[;\n";
  }
  EXPECT_EQ(capture.standardOutput(), wantLog);
}

TEST(StringStatics, Contains) {
  EXPECT_TRUE(vtContains("", ""));
  EXPECT_TRUE(vtContains("abc", ""));
  EXPECT_FALSE(vtContains("Hello", "hello"));
  EXPECT_TRUE(vtContains("Hello", "hello", true));
  EXPECT_TRUE(vtContains("caf\u00E9", "cafe"));
  EXPECT_FALSE(vtContains("caf\u00E9", "cafe", false, false));
  EXPECT_TRUE(vtContains("CAF\u00C9", "cafe", true, true));
  EXPECT_TRUE(vtContains("cafe\u0301", "caf\u00E9", false, false));
}

TEST(StringStatics, UuidFromTheRandomSource) {
  ScriptedRandomSource source({0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0xF6, 0x77, 0xC8, 0x99, 0xAA, 0xBB, 0xcc, 0xdd,
                               0xee, 0xff});
  ScopedRandomSource use(source);
  EXPECT_EQ(vtUuidString(), "00112233-4455-4677-8899-AABBCCDDEEFF");
  EXPECT_EQ(source.remaining(), 0u);
}

TEST(StringStatics, FreshUuidsAreWellFormedAndDiffer) {
  const std::string a = vtUuidString();
  const std::string b = vtUuidString();
  EXPECT_TRUE(isUuidString(a));
  EXPECT_NE(a, b);
  EXPECT_EQ(a[14], '4');
  EXPECT_NE(std::string_view("89AB").find(a[19]), std::string_view::npos);
  EXPECT_EQ(a, uppercased(a));
}

TEST(StringStatics, Optionals) {
  EXPECT_EQ(vtFromOptional(std::optional<int>(42)), "42");
  EXPECT_EQ(vtFromOptional(std::optional<int>()), "");
  EXPECT_EQ(vtFromOptional(std::optional<double>(), "-"), "-");
  EXPECT_EQ(vtFromOptional(std::optional<std::string>("x")), "x");
  EXPECT_EQ(combineTwoOptionals("a", "b", ","), "a,b");
  EXPECT_EQ(combineTwoOptionals("a", std::nullopt, ","), "a");
  EXPECT_EQ(combineTwoOptionals(std::nullopt, "b", ","), "b");
  EXPECT_EQ(combineTwoOptionals("", "", ","), ",");
  EXPECT_EQ(combineTwoOptionals(std::nullopt, std::nullopt, ","), std::nullopt);
  EXPECT_EQ(combineTwoOptionals("a", "b"), "ab");
  EXPECT_EQ(vtCount(std::string("\U0001F1E9\U0001F1EA")), 1);
  EXPECT_EQ(vtCount(std::string()), 0);
  EXPECT_EQ(vtCount(std::nullopt), std::nullopt);
}

}  // namespace
}  // namespace vantrel
