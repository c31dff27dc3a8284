#include "vantrel/platform/kit/attributed_string.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

using Attributes = AttributedString::Attributes;
using Runs = std::vector<AttributedString::Run>;

TEST(AttributedStringRuns, AnAppendedPartKeepsItsOwnAttributes) {
  const AttributedString bold("Pears", {{"font", "bold 13"}});
  const AttributedString line = vtAttributedStringAppendedBy("Total: ", bold);
  EXPECT_EQ(line.string(), "Total: Pears");
  EXPECT_EQ(line.runs(), (Runs{{7, {}}, {5, {{"font", "bold 13"}}}}));
  EXPECT_EQ(line.attributesAt(0), Attributes{});
  EXPECT_EQ(line.attributesAt(7), (Attributes{{"font", "bold 13"}}));
  EXPECT_EQ(line.attributesAt(99), (Attributes{{"font", "bold 13"}}));
  EXPECT_EQ(line.attributes(), Attributes{});  // the first run's

  // Neighbouring runs with equal attributes are one run.
  AttributedString joined("ab", {{"k", "v"}});
  joined.append(AttributedString("cd", {{"k", "v"}}));
  EXPECT_EQ(joined, AttributedString("abcd", {{"k", "v"}}));
  joined.append(AttributedString("e"));
  joined.append(AttributedString("f"));
  EXPECT_EQ(joined.runs(), (Runs{{4, {{"k", "v"}}}, {2, {}}}));
}

TEST(AttributedStringRuns, EmptyPartsAndBuilders) {
  const AttributedString bold("x", {{"font", "bold"}});
  // The empty text followed by a part is that part.
  EXPECT_EQ(vtAttributedStringAppendedBy("", bold), bold);
  AttributedString same = bold;
  same.append(AttributedString());
  EXPECT_EQ(same, bold);
  EXPECT_EQ(vtAttributedStringWithAttributes("t", Attributes{{"a", "1"}}), AttributedString("t", {{"a", "1"}}));
  EXPECT_EQ(vtAttributedStringWithAttributes("t"), AttributedString("t"));
  EXPECT_EQ(vtMutableAttributedStringWithAttributes("t", std::nullopt).attributes(), Attributes{});
  // The whole-string form keeps working as before, for button titles.
  const AttributedString title("", {{"font", "bold"}});
  EXPECT_EQ(title.attributes().at("font"), "bold");
  EXPECT_EQ(AttributedString().attributes(), Attributes{});
  EXPECT_EQ(AttributedString(), AttributedString(""));
}

}  // namespace
}  // namespace vantrel
