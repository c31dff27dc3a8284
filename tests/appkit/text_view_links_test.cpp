#include "vantrel/appkit/text_view_links.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/foundation/net/link_extraction.h"

namespace vantrel {
namespace {

URL url(const char* text) { return *URL::fromString(text); }

TextAttributes styled(LineBreakMode mode) {
  return {{AttributedStringKey::paragraphStyle, ParagraphStyle{mode, TextAlignment::left}}};
}

TextAttributes linked(LineBreakMode mode, const char* link) {
  TextAttributes attributes = styled(mode);
  attributes.emplace(AttributedStringKey::link, url(link));
  return attributes;
}

TEST(SetStringAndHighlightLinks, DetectedRangesCarryTheirUrls) {
  const std::string text = "\xF0\x9F\x98\x80 see https://a.org/x and www.b.org.";  // an emoji first: 2 units
  const auto detected = detectLinksUtf16(text);
  ASSERT_EQ(detected.size(), 2u);
  EXPECT_EQ(detected[0].range, (Utf16Range{7, 15}));
  EXPECT_EQ(detected[0].url, url("https://a.org/x"));
  EXPECT_EQ(detected[1].range, (Utf16Range{27, 9}));
  EXPECT_EQ(detected[1].url, url("http://www.b.org"));

  auto view = TextView::create(Rect(0, 0, 200, 50));
  setStringAndHighlightLinks(*view, text);
  const auto mode = LineBreakMode::byCharWrapping;  // the default
  EXPECT_EQ(view->string(), text);
  const std::vector<TextStorage::Run> expected{
      {{0, 7}, styled(mode)},
      {{7, 15}, linked(mode, "https://a.org/x")},
      {{22, 5}, styled(mode)},
      {{27, 9}, linked(mode, "http://www.b.org")},
      {{36, 1}, styled(mode)},
  };
  EXPECT_EQ(view->textStorage()->runs(), expected);
  EXPECT_EQ(view->textStorage()->beginEditingCount(), 1);
  EXPECT_EQ(view->textStorage()->endEditingCount(), 1);
}

TEST(SetStringAndHighlightLinks, TextWithoutLinksGetsOnlyTheStyle) {
  auto view = TextView::create();
  setStringAndHighlightLinks(*view, "no links here", LineBreakMode::byWordWrapping);
  EXPECT_EQ(view->string(), "no links here");
  EXPECT_EQ(view->textStorage()->runs(),
            (std::vector<TextStorage::Run>{{{0, 13}, styled(LineBreakMode::byWordWrapping)}}));
  // A second call replaces text and attributes.
  setStringAndHighlightLinks(*view, "");
  EXPECT_TRUE(view->textStorage()->runs().empty());
  EXPECT_EQ(view->textStorage()->beginEditingCount(), 2);
}

TEST(SetNamedLinks, NamesJoinedBySeparatorsWithoutLinks) {
  const NamedLink home("Home", url("https://home.org"));
  const NamedLink docs("D\xC3\xB6" "cs", url("https://docs.org"));
  const auto mode = LineBreakMode::byTruncatingTail;
  const struct {
    const char* name;
    std::vector<NamedLink> links;
    const char* separator;  // null: the default
    std::string text;
    std::vector<TextStorage::Run> runs;
  } cases[] = {
      {"none", {}, nullptr, "", {}},
      {"one", {home}, nullptr, "Home", {{{0, 4}, linked(mode, "https://home.org")}}},
      {"two, default separator",
       {home, docs},
       nullptr,
       "Home, D\xC3\xB6" "cs",
       {{{0, 4}, linked(mode, "https://home.org")}, {{4, 2}, styled(mode)}, {{6, 4}, linked(mode, "https://docs.org")}}},
      {"two, own separator",
       {home, docs},
       " | ",
       "Home | D\xC3\xB6" "cs",
       {{{0, 4}, linked(mode, "https://home.org")}, {{4, 3}, styled(mode)}, {{7, 4}, linked(mode, "https://docs.org")}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto view = TextView::create();
    view->setString("old text");
    if (c.separator != nullptr) {
      setNamedLinks(*view, c.links, mode, c.separator);
    } else {
      setNamedLinks(*view, c.links, mode);
    }
    EXPECT_EQ(view->string(), c.text);
    EXPECT_EQ(view->textStorage()->runs(), c.runs);
    EXPECT_EQ(view->textStorage()->beginEditingCount(), 1);
    EXPECT_EQ(view->textStorage()->endEditingCount(), 1);
  }
}

}  // namespace
}  // namespace vantrel
