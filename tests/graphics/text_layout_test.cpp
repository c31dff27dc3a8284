#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "tests/graphics/image_test_support.h"
#include "vantrel/platform/graphics/drawing_context.h"
#include "vantrel/platform/graphics/font.h"

namespace vantrel {
namespace {

// The inked pixels of an image: their bounding box and where they are.
struct Ink {
  int minX = std::numeric_limits<int>::max();
  int minY = std::numeric_limits<int>::max();
  int maxX = -1;
  int maxY = -1;
  int count = 0;
  [[nodiscard]] bool empty() const { return count == 0; }
};

bool inked(const BitmapImage& image, int x, int y) { return image.pixelAt(x, y)[3] > 96; }

Ink inkOf(const BitmapImage& image, int x0 = 0, int y0 = 0, int x1 = -1, int y1 = -1) {
  if (x1 < 0) x1 = static_cast<int>(image.width());
  if (y1 < 0) y1 = static_cast<int>(image.height());
  Ink ink;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      if (!inked(image, x, y)) continue;
      ink.minX = std::min(ink.minX, x);
      ink.minY = std::min(ink.minY, y);
      ink.maxX = std::max(ink.maxX, x);
      ink.maxY = std::max(ink.maxY, y);
      ++ink.count;
    }
  }
  return ink;
}

// `text` in black, flipped (rows count from the top like the rectangle).
BitmapImage::Ptr drawn(std::string_view text, double pointSize, int width, int height,
                       const TextLayout& layout = {TextAlignment::left, false, false}) {
  auto context = DrawingContext::create(width, height, true);
  context->drawText(text, Rect(0, 0, width, height), Font::systemFont(pointSize), *Color::blackColor(), layout);
  return context->makeImage();
}

// DejaVu Sans has no CJK: the characters come from a font fontconfig finds
// for them, not as the same empty box (whose middle holds no ink).
TEST(TextLayout, CharactersMissingFromTheFontComeFromOneThatHasThem) {
  const auto sun = drawn("日", 40, 60, 60);
  const auto book = drawn("本", 40, 60, 60);
  EXPECT_FALSE(std::equal(sun->bytes().begin(), sun->bytes().end(), book->bytes().begin(), book->bytes().end()));
  for (const auto& image : {sun, book}) {
    const Ink ink = inkOf(*image);
    ASSERT_FALSE(ink.empty());
    const int w = ink.maxX - ink.minX, h = ink.maxY - ink.minY;
    EXPECT_GT(w, 20);
    EXPECT_GT(h, 20);
    const Ink middle = inkOf(*image, ink.minX + w / 4, ink.minY + h / 4, ink.maxX - w / 4, ink.maxY - h / 4);
    EXPECT_GT(middle.count, 10);
  }
  // Full-width, as a CJK font draws them.
  EXPECT_NEAR(measureText("日", Font::systemFont(40)).width, 40, 1);
  EXPECT_NEAR(measureText("Zoë 日本", Font::systemFont(10)).width,
              measureText("Zoë ", Font::systemFont(10)).width + 20, 0.5);
}

// The fraction of `part`'s ink that is also ink in `whole`.
double coverage(const BitmapImage& part, const BitmapImage& whole) {
  int both = 0, total = 0;
  for (int y = 0; y < part.height(); ++y) {
    for (int x = 0; x < part.width(); ++x) {
      if (!inked(part, x, y)) continue;
      ++total;
      if (inked(whole, x, y)) ++both;
    }
  }
  return total == 0 ? 0 : static_cast<double>(both) / total;
}

// كتاب ("book"): joined letters take less room than the same letters alone.
TEST(TextLayout, ArabicLettersJoin) {
  const Font font = Font::systemFont(40);
  const std::string word = "\xD9\x83\xD8\xAA\xD8\xA7\xD8\xA8";  // kaf teh alef beh
  double lettersAlone = 0;
  for (std::size_t i = 0; i < word.size(); i += 2) lettersAlone += measureText(word.substr(i, 2), font).width;
  EXPECT_LT(measureText(word, font).width, 0.85 * lettersAlone);
}

// ولد ("boy"): the first letter in memory, a waw (which keeps its form in
// the word), is drawn at the right end of the word, not at the left.
TEST(TextLayout, ArabicRunsRightToLeft) {
  const std::string word = "\xD9\x88\xD9\x84\xD8\xAF";  // waw lam dal
  const std::string waw = word.substr(0, 2);
  const double width = measureText(word, Font::systemFont(40)).width;
  const auto whole = drawn(word, 40, 200, 60);
  const auto atLeftEnd = drawn(waw, 40, 200, 60);
  auto shifted = DrawingContext::create(200, 60, true);
  shifted->drawText(waw, Rect(0, 0, width, 60), Font::systemFont(40), *Color::blackColor(),
                    {TextAlignment::right, false, false});
  EXPECT_GT(coverage(*shifted->makeImage(), *whole), 0.9);
  EXPECT_LT(coverage(*atLeftEnd, *whole), 0.6);
}

// Alignment is by the rectangle's edges, also for a right-to-left paragraph.
TEST(TextLayout, RightToLeftTextIsAlignedByTheRectanglesEdges) {
  const std::string word = "\xD9\x83\xD8\xAA\xD8\xA7\xD8\xA8";
  const Ink left = inkOf(*drawn(word, 20, 200, 30, {TextAlignment::left, true, false}));
  const Ink right = inkOf(*drawn(word, 20, 200, 30, {TextAlignment::right, true, false}));
  EXPECT_LT(left.minX, 5);
  EXPECT_LT(left.maxX, 100);
  EXPECT_GT(right.minX, 100);
  EXPECT_GT(right.maxX, 194);
}

// e + U+0301: the accent sits over the e, inside the e's advance, and takes
// no room of its own.
TEST(TextLayout, CombiningAccentSitsOverItsLetter) {
  const Font font = Font::systemFont(40);
  const double advance = measureText("e", font).width;
  EXPECT_NEAR(measureText("e\xCC\x81", font).width, advance, 1e-9);
  const Ink e = inkOf(*drawn("e", 40, 60, 60));
  const auto accented = drawn("e\xCC\x81", 40, 60, 60);
  const Ink all = inkOf(*accented);
  ASSERT_FALSE(e.empty());
  EXPECT_EQ(all.maxY, e.maxY);  // the same baseline
  const Ink accent = inkOf(*accented, 0, 0, 60, e.minY - 1);
  ASSERT_FALSE(accent.empty());
  EXPECT_GE(accent.minX, 0);
  EXPECT_LE(accent.maxX, std::ceil(advance));
  EXPECT_GT(accent.maxX, e.minX);
}

// The bands of `lineHeight` rows from `top` that hold ink.
int inkedLines(const BitmapImage& image, double lineHeight, double top = 0) {
  int lines = 0;
  for (int band = 0; top + band * lineHeight < static_cast<double>(image.height()); ++band) {
    const int y0 = static_cast<int>(top + band * lineHeight);
    const int y1 = std::min(static_cast<int>(top + (band + 1) * lineHeight), static_cast<int>(image.height()));
    if (!inkOf(image, 0, y0, static_cast<int>(image.width()), y1).empty()) ++lines;
  }
  return lines;
}

// Text without spaces breaks between characters, and a line starts filling
// with CJK right after a Latin word rather than on a line of its own.
TEST(TextLayout, CjkWrapsBetweenCharactersInsideTheBox) {
  const Font font = Font::systemFont(20);
  const double line = measureText("日", font).height;
  auto context = DrawingContext::create(200, 200, true);
  const Rect box(10, 10, 70, 180);  // three and a half characters wide
  context->drawText("日本語日本語日本語", box, font, *Color::blackColor());
  const auto image = context->makeImage();
  const Ink ink = inkOf(*image);
  EXPECT_GE(ink.minX, 10);
  EXPECT_LT(ink.maxX, 80);
  EXPECT_GE(ink.minY, 10);
  EXPECT_EQ(inkedLines(*image, line, box.minY()), 3);

  // "ab 日本" fits the first line: three lines, not "ab" alone and then four.
  const auto mixed = drawn("ab 日本語日本語日本", 20, 80, 200, {TextAlignment::left, true, false});
  EXPECT_LT(inkOf(*mixed).maxX, 80);
  EXPECT_EQ(inkedLines(*mixed, line), 3);
}

// A break never separates a letter from its combining marks.
TEST(TextLayout, WrappingKeepsCombiningMarksWithTheirLetter) {
  const Font font = Font::systemFont(20);
  const double width = measureText("e", font).width;
  // One e per line: the accent must come with it, never start a line alone.
  const auto image = drawn("e\xCC\x81" "e\xCC\x81" "e\xCC\x81", 20, std::ceil(width), 200,
                           {TextAlignment::left, true, false});
  EXPECT_EQ(inkedLines(*image, measureText("e", font).height), 3);
  const auto plain = drawn("eee", 20, std::ceil(width), 200, {TextAlignment::left, true, false});
  EXPECT_EQ(inkedLines(*plain, measureText("e", font).height), 3);
  EXPECT_GT(inkOf(*image).count, inkOf(*plain).count);
}

TEST(TextLayout, InvalidUtf8IsMeasuredAsReplacementCharacters) {
  const Font font = Font::systemFont(12);
  const Size replaced = measureText("a\xEF\xBF\xBD" "b", font);
  EXPECT_EQ(measureText("a\xFF" "b", font), replaced);
  EXPECT_EQ(measureText(std::string_view("a\0b", 3), font), replaced);
  const auto image = drawn("a\xFF" "b", 12, 40, 20);
  EXPECT_FALSE(inkOf(*image).empty());
}

// A size no font can be drawn at measures nothing and draws nothing, and the
// context keeps drawing afterwards.
TEST(TextLayout, SizesWithoutGlyphsDrawNothing) {
  for (const double size : {0.0, -3.0, std::nan(""), 1e9}) {
    SCOPED_TRACE(size);
    const Font font = Font::systemFont(size);
    EXPECT_EQ(measureText("Hello", font), Size(0, 0));
    EXPECT_EQ(lineHeight(font), 0);
    auto context = DrawingContext::create(4, 4);
    context->drawText("Hello", Rect(0, 0, 4, 4), font, *Color::blackColor());
    context->setFillColor(*testing::red());
    context->fillRect(Rect(0, 0, 4, 4));
    EXPECT_EQ(context->makeImage()->pixelAt(2, 2), testing::kRed);
  }
}

// Measured sizes are kept per thread: a text measured again, or after many
// others pushed it out, gets the same answer.
TEST(TextLayout, RemeasuringGivesTheSameSize) {
  const Font font = Font::systemFont(11);
  const Size first = measureText("Preferences", font);
  for (int i = 0; i < 5000; ++i) (void)measureText("label " + std::to_string(i), font);
  EXPECT_EQ(measureText("Preferences", font), first);
  EXPECT_NEAR(measureText("Preferences", Font::systemFont(22)).width, 2 * first.width, 0.01);
}

}  // namespace
}  // namespace vantrel
