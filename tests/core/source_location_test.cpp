#include "vantrel/core/source_location.h"

#include <string>
#include <string_view>
#include <type_traits>
#include <version>

#include <gtest/gtest.h>

namespace vantrel {
namespace {

// The library's own type whatever the compiler: it is spelt into the
// mangled names of the exported functions.
#if defined(__cpp_lib_source_location)
static_assert(!std::is_same_v<SourceLocation, std::source_location>);
#endif
static_assert(std::is_trivially_copyable_v<SourceLocation>);

SourceLocation reported(SourceLocation loc = SourceLocation::current()) { return loc; }

template <class T>
SourceLocation reportedFromTemplate(T, SourceLocation loc = SourceLocation::current()) {
  return loc;
}

struct Made {
  explicit Made(int, SourceLocation where = SourceLocation::current()) : loc(where) {}
  SourceLocation loc;
};

std::string_view fileName(const SourceLocation& loc) {
  const std::string_view path = loc.file_name();
  return path.substr(path.rfind('/') + 1);
}

void callingFunctionForTheName(SourceLocation& out) { out = reported(); }

// A defaulted parameter takes the position of the call, not of the
// declaration, whether the function is plain, a template or a constructor.
TEST(SourceLocation, DefaultArgumentIsTheCallersPosition) {
  const std::uint_least32_t line = __LINE__ + 1;
  const SourceLocation plain = reported();
  const SourceLocation fromTemplate = reportedFromTemplate(1);  // line + 1
  const Made made(1);                                           // line + 2
  EXPECT_EQ(plain.line(), line);
  EXPECT_EQ(fromTemplate.line(), line + 1);
  EXPECT_EQ(made.loc.line(), line + 2);
  for (const SourceLocation& loc : {plain, fromTemplate, made.loc}) {
    EXPECT_EQ(fileName(loc), "source_location_test.cpp");
    EXPECT_GT(loc.column(), 0u);
  }
  SourceLocation named;
  callingFunctionForTheName(named);
  EXPECT_NE(std::string_view(named.function_name()).find("callingFunctionForTheName"), std::string_view::npos)
      << named.function_name();
}

TEST(SourceLocation, ExplicitCurrentAndEmptyDefault) {
  constexpr SourceLocation here = SourceLocation::current();
  static_assert(here.line() == __LINE__ - 1);
  EXPECT_EQ(reported(here).line(), here.line());
  constexpr SourceLocation none;
  EXPECT_STREQ(none.file_name(), "");
  EXPECT_STREQ(none.function_name(), "");
  EXPECT_EQ(none.line(), 0u);
  EXPECT_EQ(none.column(), 0u);
}

}  // namespace
}  // namespace vantrel
