#include "vantrel/platform/kit/text_storage.h"

#include <gtest/gtest.h>

#include "vantrel/platform/kit/text_view.h"

namespace vantrel {
namespace {

URL url(const char* text) { return *URL::fromString(text); }

TEST(TextStorage, RunsCoverTheTextAndMergeEqualNeighbours) {
  auto storage = TextStorage::create();
  storage->setString("a😀bcdef");  // the emoji is two UTF-16 units
  EXPECT_EQ(storage->length(), 8);
  ParagraphStyle style{LineBreakMode::byCharWrapping, TextAlignment::left};
  storage->addAttribute(AttributedStringKey::link, url("https://a.org"), {1, 3});
  storage->addAttribute(AttributedStringKey::link, url("https://a.org"), {4, 2});  // touches: one run
  storage->addAttribute(AttributedStringKey::paragraphStyle, style, {0, 8});
  const TextAttributes plain{{AttributedStringKey::paragraphStyle, style}};
  const TextAttributes linked{{AttributedStringKey::paragraphStyle, style},
                              {AttributedStringKey::link, url("https://a.org")}};
  const std::vector<TextStorage::Run> expected{{{0, 1}, plain}, {{1, 5}, linked}, {{6, 2}, plain}};
  EXPECT_EQ(storage->runs(), expected);
  EXPECT_EQ(storage->attributesAt(2), linked);

  // A new value for a key replaces it over the range only.
  storage->addAttribute(AttributedStringKey::link, url("https://b.org"), {3, 1});
  EXPECT_EQ(std::get<URL>(storage->attributesAt(3).at(AttributedStringKey::link)), url("https://b.org"));
  EXPECT_EQ(std::get<URL>(storage->attributesAt(4).at(AttributedStringKey::link)), url("https://a.org"));

  storage->setString("new");
  EXPECT_EQ(storage->runs(), (std::vector<TextStorage::Run>{{{0, 3}, {}}}));
  storage->setString("");
  EXPECT_TRUE(storage->runs().empty());
}

TEST(TextStorage, AppendKeepsEachPartsAttributes) {
  auto storage = TextStorage::create();
  storage->appendAttributedString("ab", {{AttributedStringKey::link, url("https://a.org")}});
  storage->appendAttributedString("");
  storage->appendAttributedString(", ");
  EXPECT_EQ(storage->string(), "ab, ");
  EXPECT_EQ(storage->runs(), (std::vector<TextStorage::Run>{
                                 {{0, 2}, {{AttributedStringKey::link, url("https://a.org")}}}, {{2, 2}, {}}}));
}

TEST(TextStorage, BadRangesAndUnbalancedEditingStop) {
  auto storage = TextStorage::create();
  storage->setString("a😀");
  EXPECT_DEATH(storage->addAttribute(AttributedStringKey::link, url("https://a.org"), {2, 2}),
               "range \\{2, 2\\} outside the text of length 3");
  EXPECT_DEATH(storage->addAttribute(AttributedStringKey::link, url("https://a.org"), {2, 1}), "surrogate");
  EXPECT_DEATH((void)storage->attributesAt(3), "index 3 outside the text of length 3");
  EXPECT_DEATH(storage->endEditing(), "no editing batch was begun");
  storage->beginEditing();
  storage->beginEditing();
  storage->endEditing();
  EXPECT_TRUE(storage->isEditing());
  storage->endEditing();
  EXPECT_FALSE(storage->isEditing());
  EXPECT_EQ(storage->beginEditingCount(), 2);
  EXPECT_EQ(storage->endEditingCount(), 2);
}

TEST(TextView, SetStringReplacesTextAndAttributes) {
  auto view = TextView::create(Rect(0, 0, 100, 40));
  view->setString("one");
  view->textStorage()->addAttribute(AttributedStringKey::link, url("https://a.org"), {0, 3});
  view->setString("two\xFF");
  EXPECT_EQ(view->string(), "two\xEF\xBF\xBD");
  EXPECT_EQ(view->textStorage()->runs(), (std::vector<TextStorage::Run>{{{0, 4}, {}}}));
}

}  // namespace
}  // namespace vantrel
