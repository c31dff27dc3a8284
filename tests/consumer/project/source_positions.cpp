// What takes the caller's source position through a defaulted
// `SourceLocation`: fatal, checkedCast, once and a JSON path of integers.
// Built with every compiler the library supports against the libraries g++
// built, so each name it links must be one they export; and the position
// each call reports must be the caller's.
//
//   source_positions          prints "positions: caller 1 20"
//   source_positions stop     prints the line it stops at, then stops through fatal
#include <cstdint>
#include <cstdio>
#include <string_view>

#include <vantrel/core/checked.h>
#include <vantrel/core/fatal.h>
#include <vantrel/core/source_location.h>
#include <vantrel/dispatch/dispatch_helpers.h>
#include <vantrel/json/json.h>

namespace {

std::uint_least32_t reportedLine(vantrel::SourceLocation loc = vantrel::SourceLocation::current()) {
  return loc.line();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string_view(argv[1]) == "stop") {
    std::printf("stops at line %d\n", __LINE__ + 2);
    std::fflush(stdout);
    vantrel::fatal("asked to stop");
  }
  const std::uint_least32_t line = __LINE__ + 1;
  const std::uint_least32_t reported = reportedLine();
  int runs = 0;
  for (int i = 0; i < 3; ++i) vantrel::once([&runs] { ++runs; });
  const auto small = vantrel::checkedCast<std::int8_t>(argc);
  const vantrel::Json json = vantrel::Json::fromParseString(R"({"a": [10, 20]})");
  const vantrel::JsonPath path{"a", int{small}};  // JsonKey(int)
  std::printf("positions: %s %d %lld\n", reported == line ? "caller" : "callee", runs,
              static_cast<long long>(json[path].intValue()));
  return 0;
}
