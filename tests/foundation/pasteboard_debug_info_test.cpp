#include "vantrel/foundation/pasteboard/pasteboard_debug_info.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/core/console.h"
#include "vantrel/platform/foundation/process/operating_system_version.h"

namespace vantrel {
namespace {

using foundation_internal::ScopedOperatingSystemVersion;

std::string clipboards(std::string_view ending) {
  std::string out;
  for (int i = 0; i < 32; ++i) out += "\U0001F4CB";
  return out + std::string(ending);
}

const std::string kOpen = clipboards("\\/");
const std::string kClose = clipboards("/\\");
const std::string kTypeRule(61, '=');

std::vector<std::string> linesOf(const std::string& out) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = out.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(out.substr(start, end - start));
  }
  EXPECT_EQ(start, out.size()) << "the output ends with a line feed";
  return lines;
}

std::vector<std::string> dump(const Pasteboard& board, std::optional<bool> hideTypes) {
  ConsoleCapture capture;
  if (hideTypes) printDebugInfoAboutTypes(board, *hideTypes); else printDebugInfoAboutTypes(board);
  return linesOf(capture.standardOutput());
}

// A relative path is taken from the current folder, as the file URL does.
std::string inCurrentFolder(const std::string& path) {
  return std::filesystem::current_path().string() + "/" + path;
}

// Reads URL objects like any pasteboard, plus one object that is not a URL.
class FixturePasteboard : public Pasteboard {
 public:
  std::optional<std::vector<PasteboardObject>> readObjectsForClasses(
      const std::vector<PasteboardReadableClass>& classes) const override {
    auto objects = Pasteboard::readObjectsForClasses(classes);
    if (objects) objects->emplace_back(std::string("not a url"));
    return objects;
  }
};

void fillFixture(Pasteboard& board) {
  PasteboardItem item;
  item.setString("Hello", PasteboardType::string());
  item.setData(Data{'H', 'e', 'l', 'l', 'o'}, PasteboardType::png());
  item.setString("hidden", PasteboardType("dyn.ah62d4rv4gu8y"));
  item.setData(Data{1}, PasteboardType("dynamic.example"));
  item.setString("Old text", PasteboardType("com.apple.traditional-mac-plain-text"));
  const PasteboardType flavor("CorePasteboardFlavorType 0x54455854");
  item.setPropertyList(PropertyList("Data", "{length = 2, bytes = 0x4142}"), flavor);
  item.setData(Data{'A', 'B'}, flavor);
  item.setURL(URL::fileURLWithPath("/tmp/a b.txt"));
  item.setPropertyList(PropertyList("Array", "(\"file:///tmp/a%20b.txt\")"), PasteboardType::fileURL());
  item.setPropertyList(PropertyList("Dictionary", "{key = value;}"), PasteboardType("org.example.custom"));
  board.writeItems({item, PasteboardItem()});
}

std::vector<std::string> expectedFixtureDump(bool hideTypes, bool modern) {
  std::vector<std::string> lines = {
      kOpen,
      "Found 2 items and 8 types.",
  };
  if (hideTypes) lines.push_back("pasteboard.types are HIDDEN");
  const std::vector<std::string> items = {
      "Items:",
      "\U0001F516 PasteboardItem(types: [\"text/plain;charset=utf-8\", \"image/png\", \"dyn.ah62d4rv4gu8y\", "
      "\"dynamic.example\", \"com.apple.traditional-mac-plain-text\", \"CorePasteboardFlavorType 0x54455854\", "
      "\"text/uri-list\", \"org.example.custom\"]):",
      "[\"0: text/plain;charset=utf-8\", \"1: image/png\", \"2: dyn.ah62d4rv4gu8y\", \"3: dynamic.example\", "
      "\"4: com.apple.traditional-mac-plain-text\", \"5: CorePasteboardFlavorType 0x54455854\", "
      "\"6: text/uri-list\", \"7: org.example.custom\"]",
      "0: \U0001F6A1\U0001F6A1 Type text/plain;charset=utf-8",
      "string = Hello",
      "url.path = " + inCurrentFolder("Hello"),
      "----",
      "1: \U0001F6A1\U0001F6A1 Type image/png",
      "data = 5 bytes <48656c6c 6f>",
      "----",
      "2: \U0001F6A1\U0001F6A1 Type dyn.ah62d4rv4gu8y",
      "3: \U0001F6A1\U0001F6A1 Type dynamic.example",
      "4: \U0001F6A1\U0001F6A1 Type com.apple.traditional-mac-plain-text",
      "string = Old text",
      "url.path = " + inCurrentFolder("Old text"),
      "----",
      "5: \U0001F6A1\U0001F6A1 Type CorePasteboardFlavorType 0x54455854",
      "plist = Data: {length = 2, bytes = 0x4142}",
      "----",
      "data = 2 bytes <4142>",
      "----",
      "6: \U0001F6A1\U0001F6A1 Type text/uri-list",
      "plist = Array: (\"file:///tmp/a%20b.txt\")",
      "----",
      "string = file:///tmp/a%20b.txt",
      "url.path = " + inCurrentFolder("file:/tmp/a%20b.txt"),
      "----",
      "7: \U0001F6A1\U0001F6A1 Type org.example.custom",
      "plist = Dictionary: {key = value;}",
      "----",
      "-------------",
      "\U0001F516 PasteboardItem(types: []):",
      "[]",
      "-------------",
      "======================",
  };
  lines.insert(lines.end(), items.begin(), items.end());
  if (!hideTypes) {
    const std::vector<std::string> types = {
        "Types:",
        items[2],
        kTypeRule,
        "--> 0:text/plain;charset=utf-8:",
        "String >>Optional(\"Hello\")<<",
        kTypeRule,
        "--> 1:image/png:",
        "Not yet figured out",
        kTypeRule,
        "--> 3:dynamic.example:",
    };
    lines.insert(lines.end(), types.begin(), types.end());
    if (!modern) lines.push_back("Not yet figured out");
    lines.insert(lines.end(), {kTypeRule, "--> 5:CorePasteboardFlavorType 0x54455854:", "data: <4142>",
                               "{length = 2, bytes = 0x4142}"});
    if (!modern) lines.push_back("Not yet figured out");
    lines.insert(lines.end(), {kTypeRule, "--> 6:text/uri-list:"});
    if (modern) {
      lines.insert(lines.end(), {"file:///tmp/a%20b.txt Optional(\"/tmp/a b.txt\")", "not a url no path",
                                 "(\"file:///tmp/a%20b.txt\")"});
    } else {
      lines.push_back("Not yet figured out");
    }
    lines.insert(lines.end(), {kTypeRule, "--> 7:org.example.custom:"});
    if (!modern) lines.push_back("Not yet figured out");
  }
  lines.push_back(kClose);
  return lines;
}

TEST(PasteboardInspectorTest, FixtureForBothFlagsAndBothVersionBranches) {
  FixturePasteboard board;
  fillFixture(board);
  for (const auto& version : {OperatingSystemVersion{10, 12, 9}, OperatingSystemVersion{10, 13, 0}}) {
    ScopedOperatingSystemVersion scoped(version);
    const bool modern = version.minorVersion == 13;
    for (const bool hide : {true, false}) {
      SCOPED_TRACE(std::string(modern ? "10.13" : "10.12") + (hide ? " hidden" : " shown"));
      const auto expected = expectedFixtureDump(hide, modern);
      const auto lines = dump(board, hide);
      ASSERT_EQ(lines.size(), expected.size());
      for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i], expected[i]) << "line " << i;
    }
  }
}

TEST(PasteboardInspectorTest, TheFlagDefaultsToHidingTheTypeSection) {
  FixturePasteboard board;
  fillFixture(board);
  EXPECT_EQ(dump(board, std::nullopt), expectedFixtureDump(true, true));
}

TEST(PasteboardInspectorTest, AbsentTypesGiveThreeLines) {
  Pasteboard board;
  fillFixture(board);
  board.setTypesAbsent(true);
  EXPECT_EQ(dump(board, false), (std::vector<std::string>{kOpen, "Types array not found!", kClose}));
}

TEST(PasteboardInspectorTest, AbsentItemsAreNotAnEmptyList) {
  Pasteboard board;
  PasteboardItem item;
  item.setString("x", PasteboardType::string());
  board.writeItems({item});
  board.setItemsAbsent(true);
  EXPECT_EQ(dump(board, true), (std::vector<std::string>{kOpen, "Found no items and 1 types.",
                                                         "pasteboard.types are HIDDEN", "======================",
                                                         kClose}));
  Pasteboard empty;
  EXPECT_EQ(dump(empty, true), (std::vector<std::string>{kOpen, "Found 0 items and 0 types.",
                                                         "pasteboard.types are HIDDEN", "Items:",
                                                         "======================", kClose}));
}

TEST(PasteboardInspectorTest, DataBeyond399BytesShowsTheFirst400) {
  struct Case {
    std::size_t size;
    std::string header;
    std::size_t shown;
  };
  const Case cases[] = {
      {399, "data = 399 bytes <", 399},
      {400, "data = 400 bytes, showing first 400 bytes: <", 400},
      {1000, "data = 1000 bytes, showing first 400 bytes: <", 400},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    Data data(c.size, 0xAB);
    PasteboardItem item;
    item.setData(data, PasteboardType::pdf());
    Pasteboard board;
    board.writeItems({item});
    const auto lines = dump(board, true);
    ASSERT_GE(lines.size(), 9u);
    EXPECT_EQ(lines[7], c.header + dataDescription(Data(c.shown, 0xAB)).substr(1));
  }
}

TEST(PasteboardInspectorTest, ControlCharactersInTextAreEscapedWithoutQuotes) {
  PasteboardItem item;
  item.setString("a\x1B[2Jb\nc\x7F" "d\u009B" "e\xFF", PasteboardType::string());
  Pasteboard board;
  board.writeItems({item});
  const auto lines = dump(board, true);
  ASSERT_EQ(lines.size(), 13u);
  EXPECT_EQ(lines[7], "string = a\\u{1B}[2Jb\\u{A}c\\u{7F}d\\u{9B}e\uFFFD");
  EXPECT_EQ(lines[8], "url.path = " + inCurrentFolder("a\\u{1B}[2Jb\\u{A}c\\u{7F}d\\u{9B}e\uFFFD"));
  EXPECT_EQ(lines[9], "----");
}

TEST(PasteboardInspectorTest, EscapingLeavesPrintableTextAlone) {
  EXPECT_EQ(foundation_internal::escapedPasteboardText("caf\u00E9 \u00A0\U0001F600 \\u"), "caf\u00E9 \u00A0\U0001F600 \\u");
  EXPECT_EQ(foundation_internal::escapedPasteboardText(std::string_view("\0\t\u0085", 4)), "\\u{0}\\u{9}\\u{85}");
}

}  // namespace
}  // namespace vantrel
