#include "vantrel/platform/desktop/internal/selection_data.h"

#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/platform/desktop/system_pasteboard.h"

namespace vantrel::desktop_internal {
namespace {

std::vector<std::uint8_t> packed(const std::vector<std::uint32_t>& items) {
  std::vector<std::uint8_t> bytes(items.size() * 4);
  if (!items.empty()) std::memcpy(bytes.data(), items.data(), bytes.size());
  return bytes;
}

TEST(SelectionData, TargetsAreTheWholeNonZeroItemsOfAFormat32Property) {
  struct Case {
    const char* name;
    int format;
    std::vector<std::uint8_t> bytes;
    std::vector<std::uint32_t> atoms;
  };
  std::vector<std::uint8_t> withTail = packed({300, 301});
  withTail.insert(withTail.end(), {0x01, 0x02, 0x03});
  const std::vector<Case> cases = {
      {"plain list", 32, packed({1, 2, 0x7FFFFFFF, 0xFFFFFFFF}), {1, 2, 0x7FFFFFFF, 0xFFFFFFFF}},
      {"odd length: the partial item is left out", 32, withTail, {300, 301}},
      {"shorter than one item", 32, {0x05, 0x06}, {}},
      {"None is left out", 32, packed({0, 7, 0}), {7}},
      {"repeats stay, in order", 32, packed({9, 8, 9}), {9, 8, 9}},
      {"empty", 32, {}, {}},
      {"format 8 holds no atoms", 8, packed({1, 2}), {}},
      {"format 16 holds no atoms", 16, packed({1, 2}), {}},
      {"no format (property absent)", 0, packed({1}), {}},
  };
  for (const Case& c : cases) EXPECT_EQ(selectionTargetAtoms(c.format, c.bytes), c.atoms) << c.name;
}

TEST(SelectionData, UriListEntriesAreTheLinesWithoutCommentsOrBlanks) {
  struct Case {
    const char* name;
    std::string text;
    std::vector<std::string> entries;
  };
  const std::vector<Case> cases = {
      {"CR LF", "file:///a\r\nfile:///b\r\n", {"file:///a", "file:///b"}},
      {"LF only, no final line end", "file:///a\nfile:///b", {"file:///a", "file:///b"}},
      {"comments and blank lines", "# copied\r\n\r\nfile:///a\r\n  # not first\r\n\n", {"file:///a", "  # not first"}},
      {"only one CR is a line end's", "file:///a\r\r\n", {"file:///a\r"}},
      {"a lone CR inside a line stays", "file:///a\rb\n", {"file:///a\rb"}},
      {"a last line of only CR", "file:///a\n\r", {"file:///a"}},
      {"NUL bytes stay in their entry", std::string("x\0y\n", 4), {std::string("x\0y", 3)}},
      {"empty", "", {}},
      {"only comments", "#a\n#b", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(uriListEntries(c.text), c.entries) << c.name;
}

std::vector<std::uint8_t> bytes(std::string_view text) { return {text.begin(), text.end()}; }

TEST(SelectionData, IncrChunksAreJoinedUntilTheEmptyOne) {
  IncrAssembly assembly(10);
  EXPECT_EQ(assembly.append(bytes("abc")), IncrAssembly::State::receiving);
  EXPECT_EQ(assembly.append(bytes("defg")), IncrAssembly::State::receiving);
  EXPECT_EQ(assembly.append(bytes("hij")), IncrAssembly::State::receiving);  // exactly the cap
  EXPECT_EQ(assembly.append({}), IncrAssembly::State::finished);
  // Nothing after the end counts.
  EXPECT_EQ(assembly.append(bytes("k")), IncrAssembly::State::finished);
  EXPECT_EQ(assembly.bytes(), bytes("abcdefghij"));
  EXPECT_EQ(assembly.take(), bytes("abcdefghij"));
}

TEST(SelectionData, IncrBeyondTheCapKeepsNothing) {
  IncrAssembly assembly(10);
  EXPECT_EQ(assembly.append(bytes("abcdef")), IncrAssembly::State::receiving);
  EXPECT_EQ(assembly.append(bytes("ghijk")), IncrAssembly::State::overCap);
  EXPECT_TRUE(assembly.bytes().empty());
  // Neither more chunks nor the empty one bring it back.
  EXPECT_EQ(assembly.append(bytes("x")), IncrAssembly::State::overCap);
  EXPECT_EQ(assembly.append({}), IncrAssembly::State::overCap);
  EXPECT_TRUE(assembly.bytes().empty());

  IncrAssembly single(4);
  EXPECT_EQ(single.append(bytes("abcde")), IncrAssembly::State::overCap);
  IncrAssembly none(0);
  EXPECT_EQ(none.append({}), IncrAssembly::State::finished);
  EXPECT_TRUE(none.bytes().empty());
}

TEST(SelectionData, ServedTargetsReadBackAsTheSameType) {
  struct Case {
    std::string type;
    std::vector<std::string> targets;
  };
  const std::vector<Case> cases = {
      {"text/plain;charset=utf-8", {"UTF8_STRING", "text/plain;charset=utf-8"}},
      {"text/uri-list", {"text/uri-list"}},
      {"image/png", {"image/png"}},
      {"text/html", {"text/html"}},
      {"org.vantrel.pasteboard.color", {}},
      {"org.vantrel.type.file-url", {}},
      {"text/plain; charset=UTF-8", {}},  // the reader calls that the string type
      {"", {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(selectionTargetsForPasteboardType(c.type), c.targets) << c.type;
    for (const std::string& target : c.targets) EXPECT_EQ(pasteboardTypeForSelectionTarget(target), c.type) << target;
  }
}

// STRING is Latin-1: a text has that form only when every character is
// U+0000...U+00FF; malformed UTF-8 has none either.
TEST(SelectionData, Latin1FormOfUtf8Text) {
  struct Case {
    std::string_view name;
    std::string_view utf8;
    std::optional<std::string_view> latin1;
  };
  const Case cases[] = {
      {"ASCII", "plain text", "plain text"},
      {"empty", "", ""},
      {"both two-byte leads", "\xC2\x80 \xC2\xBF \xC3\x80 \xC3\xBF", "\x80 \xBF \xC0 \xFF"},
      {"U+0100", "\xC4\x80", std::nullopt},
      {"three bytes", "\xE2\x9C\x93", std::nullopt},
      {"four bytes", "\xF0\x9F\x98\x80", std::nullopt},
      {"lead at the end", "ab\xC3", std::nullopt},
      {"lead without a continuation", "\xC3" "A", std::nullopt},
      {"lone continuation", "\xA9", std::nullopt},
      {"overlong", "\xC0\xA9", std::nullopt},
      {"NUL kept", std::string_view("a\0b", 3), std::string_view("a\0b", 3)},
  };
  for (const Case& c : cases) {
    const std::optional<Data> got = latin1FromUtf8(c.utf8);
    if (!c.latin1) {
      EXPECT_EQ(got, std::nullopt) << c.name;
      continue;
    }
    ASSERT_TRUE(got) << c.name;
    EXPECT_EQ(std::string(got->begin(), got->end()), *c.latin1) << c.name;
  }
}

}  // namespace
}  // namespace vantrel::desktop_internal
