#include <cstdint>
#include <functional>
#include <list>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "single_pass_range.h"
#include "vantrel/collections/sequence_rendering.h"
#include "vantrel/core/console.h"
#include "vantrel/core/describe.h"
#include "vantrel/core/number_text.h"

namespace vantrel {
namespace {

using Lines = std::vector<std::string>;
using testing::SinglePass;

const std::vector<std::string> ab{"a", "b"};
const std::vector<std::string> none;
const std::vector<std::string> eleven{"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k"};

std::string positionEqualsElement(const std::string& element, std::int64_t position) {
  return integerText(position) + "=" + element;
}

struct RenderCase {
  const char* name;
  std::function<Lines()> render;
  Lines expected;
};

TEST(SequenceRendering, Table) {
  const RenderCase cases[] = {
      {"defaults", [] { return vtRender(ab); }, {"a", "b"}},
      {"numbered, titled, terminated", [] { return vtRender(ab, true, "Types", ";"); },
       {"Types (count=2):", "0: a;", "1: b;"}},
      {"title form numbers its lines", [] { return vtRenderTitle(ab, "Types"); }, {"Types (count=2):", "0: a", "1: b"}},
      {"title form without a title", [] { return vtRenderTitle(ab); }, {"0: a", "1: b"}},
      {"format closure", [] { return vtRender(ab, std::nullopt, positionEqualsElement); }, {"0=a", "1=b"}},
      {"format closure under a title", [] { return vtRender(ab, "T", positionEqualsElement); },
       {"T (count=2):", "0=a", "1=b"}},
      {"format closure, no title argument", [] { return vtRender(ab, positionEqualsElement); }, {"0=a", "1=b"}},
      {"empty, no title", [] { return vtRender(none, true); }, {}},
      {"empty, with title", [] { return vtRender(none, true, "Types", ";"); }, {"Types (count=0):"}},
      {"empty, title form", [] { return vtRenderTitle(none, "Types"); }, {"Types (count=0):"}},
      {"empty title still makes a header", [] { return vtRender(ab, false, ""); }, {" (count=2):", "a", "b"}},
      {"terminator without numbers", [] { return vtRender(ab, false, std::nullopt, "!"); }, {"a!", "b!"}},
      {"empty terminator", [] { return vtRender(ab, true, std::nullopt, ""); }, {"0: a", "1: b"}},
      {"asLines", [] { return asLines(ab, true, "Types", ";"); }, {"Types (count=2):", "0: a;", "1: b;"}},
      {"asLines defaults", [] { return asLines(ab); }, {"a", "b"}},
      {"numbers are descriptions", [] { return vtRender(std::vector<double>{1, 0.5}, true); }, {"0: 1.0", "1: 0.5"}},
      {"any sequence", [] { return vtRenderTitle(std::set<int>{3, 1}, "S"); }, {"S (count=2):", "0: 1", "1: 3"}},
      {"single pass with a title",
       [] { return vtRender(SinglePass<std::string>({"a", "b"}), true, "Types"); },
       {"Types (count=2):", "0: a", "1: b"}},
  };
  for (const RenderCase& c : cases) {
    EXPECT_EQ(c.render(), c.expected) << c.name;
  }
}

TEST(SequenceRendering, EleventhLineIsNumberedTenUnpadded) {
  const Lines lines = vtRender(eleven, true, "L");
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_EQ(lines[1], "0: a");
  EXPECT_EQ(lines[10], "9: j");
  EXPECT_EQ(lines[11], "10: k");
}

TEST(SequenceRendering, FormatClosureSeesEachElementOnceInOrder) {
  std::vector<std::string> seen;
  const Lines lines = vtRender(SinglePass<std::string>({"x", "y", "z"}), "T",
                               [&](const std::string& element, std::int64_t position) {
                                 seen.push_back(integerText(position) + element);
                                 return std::string("line");
                               });
  EXPECT_EQ(seen, (std::vector<std::string>{"0x", "1y", "2z"}));
  EXPECT_EQ(lines, (Lines{"T (count=3):", "line", "line", "line"}));
}

struct PrintCase {
  const char* name;
  std::function<void()> print;
  std::string expected;
};

TEST(SequenceRendering, PrintsByteForByte) {
  const PrintCase cases[] = {
      {"title form, no title", [] { vtPrindTitle(ab); }, "0: a\n1: b\n"},
      {"title form, titled", [] { vtPrindTitle(ab, "Types"); }, "Types (count=2):\n0: a\n1: b\n"},
      {"list form, numbered", [] { vtPrind(ab, true); }, "[\"0: a\", \"1: b\"]\n"},
      {"list form, defaults", [] { vtPrind(ab); }, "[\"a\", \"b\"]\n"},
      {"vtPrint is vtPrind", [] { vtPrint(ab, true, "T", ";"); }, "[\"T (count=2):\", \"0: a;\", \"1: b;\"]\n"},
      {"vtPrint defaults", [] { vtPrint(ab); }, "[\"a\", \"b\"]\n"},
      {"format closure", [] { vtPrind(ab, std::nullopt, positionEqualsElement); }, "0=a\n1=b\n"},
      {"format closure, no title argument", [] { vtPrind(ab, positionEqualsElement); }, "0=a\n1=b\n"},
      {"empty, title form", [] { vtPrindTitle(none); }, "\n"},
      {"empty, list form", [] { vtPrind(none, false); }, "[]\n"},
      {"empty, list form titled", [] { vtPrind(none, false, "Types"); }, "[\"Types (count=0):\"]\n"},
  };
  for (const PrintCase& c : cases) {
    ConsoleCapture capture;
    c.print();
    EXPECT_EQ(capture.standardOutput(), c.expected) << c.name;
  }
}

TEST(SequenceRendering, ListFormEscapesLikeDebugDescribe) {
  const std::string awkward = "q\"b\\c\nd\te\x01" "f";
  const std::vector<std::string> elements{awkward};
  ConsoleCapture capture;
  vtPrind(elements, false);
  EXPECT_EQ(capture.standardOutput(), debugDescribe(std::vector<std::string>{awkward}) + "\n");
  EXPECT_EQ(capture.standardOutput(), "[\"q\\\"b\\\\c\\nd\\te\\u{1}f\"]\n");
}

}  // namespace
}  // namespace vantrel
