#include "vantrel/appkit/multiline_label.h"

#include <cmath>
#include <optional>
#include <string>
#include <variant>

#include <gtest/gtest.h>

#include "vantrel/appkit/view_helpers.h"
#include "vantrel/platform/graphics/font.h"
#include "vantrel/platform/kit/paragraph_style.h"
#include "vantrel/platform/kit/window.h"

namespace vantrel {
namespace {

TEST(MultilineLabel, MeasuresAndCentresItsText) {
  const Font font13 = Font::systemFont(13);
  const Size alpha = measureText("alpha", font13);
  const Size beta = measureText("beta", font13);
  const Size hi = measureText("Hi", Font::systemFont(20));
  const double lineHeight13 = alpha.height;
  // Wide enough for "alpha" alone, not for "alpha beta".
  const double narrow = alpha.width + 5;
  ASSERT_LT(narrow, measureText("alpha beta", font13).width);
  ASSERT_GT(narrow, beta.width);
  const struct {
    const char* name;
    std::string text;
    double fontSize;
    Size bounds;
    std::optional<Rect> measured;  // none: checked by its properties below
    std::optional<Rect> placed;
  } cases[] = {
      {"short, centred both ways", "Hi", 20, Size(200, 100), Rect(0, 0, hi.width, hi.height),
       Rect((200 - hi.width) / 2, (100 - hi.height) / 2, hi.width, hi.height)},
      {"wrapped at the blank", "alpha beta", 13, Size(narrow, 100), Rect(0, 0, alpha.width, 2 * lineHeight13),
       Rect(2.5, (100 - 2 * lineHeight13) / 2, alpha.width, 2 * lineHeight13)},
      {"taller than the bounds: y kept", "alpha beta", 13, Size(narrow, 20), Rect(0, 0, alpha.width, 2 * lineHeight13),
       Rect(2.5, 0, alpha.width, 2 * lineHeight13)},
      {"word wider than the bounds", "abcdefghijklmnopqrstuvwxyz", 13, Size(30, 400), std::nullopt, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto label = MultilineLabel::create(Rect(Point(), c.bounds));
    label->setFont(Font::systemFont(c.fontSize));
    label->setText(c.text);
    const Rect measured = label->measuredTextRect();
    const Rect placed = label->placedTextRect();
    if (c.measured) {
      EXPECT_EQ(measured, *c.measured) << measured.description();
      EXPECT_EQ(placed, *c.placed) << placed.description();
      continue;
    }
    // Broken between characters: each line within the width, several lines.
    EXPECT_GT(measured.size.width, 0);
    EXPECT_LE(measured.size.width, c.bounds.width);
    const double lines = measured.size.height / lineHeight13;
    EXPECT_GE(lines, 3);
    EXPECT_EQ(lines, std::round(lines));
    EXPECT_EQ(placed, Rect((c.bounds.width - measured.size.width) / 2, (c.bounds.height - measured.size.height) / 2,
                           measured.size.width, measured.size.height));
  }
  auto empty = MultilineLabel::create(Rect(0, 0, 50, 50));
  EXPECT_EQ(empty->measuredTextRect(), Rect());
  empty->setText("");
  EXPECT_EQ(empty->measuredTextRect(), Rect());
}

TEST(MultilineLabel, WritesRebuildAttributesOrOnlyRedraw) {
  auto label = MultilineLabel::create(Rect(0, 0, 100, 40));
  EXPECT_FALSE(label->translatesAutoresizingMaskIntoConstraints());
  EXPECT_EQ(label->intrinsicContentSize(), Size(kViewNoIntrinsicMetric, kViewNoIntrinsicMetric));
  EXPECT_EQ(label->font(), Font::systemFont(13));
  EXPECT_EQ(label->textColor(), Color::whiteColor());
  EXPECT_EQ(label->text(), std::nullopt);
  EXPECT_EQ(label->attributesBuildCount(), 1);
  EXPECT_EQ(label->needsDisplayCount(), 0);

  const TextAttributes expected{
      {AttributedStringKey::font, Font::systemFont(13)},
      {AttributedStringKey::paragraphStyle, ParagraphStyle{LineBreakMode::byWordWrapping, TextAlignment::center}},
      {AttributedStringKey::foregroundColor, Color::whiteColor()},
  };
  EXPECT_EQ(label->attributes(), expected);

  label->setText("one");
  label->setText("one");  // the same value: still a redraw
  EXPECT_EQ(label->attributesBuildCount(), 1);
  EXPECT_EQ(label->needsDisplayCount(), 2);

  label->setFont(Font::systemFont(13));  // equal: rebuilt anyway
  EXPECT_EQ(label->attributesBuildCount(), 2);
  label->setFont(Font::systemFont(30));
  EXPECT_EQ(std::get<Font>(label->attributes().at(AttributedStringKey::font)), Font::systemFont(30));
  label->setTextColor(Color::redColor());
  EXPECT_EQ(std::get<Color::Ptr>(label->attributes().at(AttributedStringKey::foregroundColor)), Color::redColor());
  EXPECT_EQ(label->attributesBuildCount(), 4);
  EXPECT_EQ(label->needsDisplayCount(), 5);
  EXPECT_DEATH(label->setTextColor(nullptr), "the colour is null");
}

// A window whose content is red, with a label in it.
struct Scene {
  Window::Ptr window = Window::create(Rect(0, 0, 160, 100));
  MultilineLabel::Ptr label = MultilineLabel::create(Rect(20, 10, 120, 70));
  Scene() {
    setVtBackgroundColor(*window->contentView(), Color::redColor());
    window->contentView()->addSubview(label);
  }
};

bool isRed(const std::array<std::uint8_t, 4>& pixel) {
  return pixel[0] == 255 && pixel[1] == 0 && pixel[2] == 0 && pixel[3] == 255;
}

TEST(MultilineLabel, InkStaysInsideThePlacedRectangle) {
  Scene scene;
  scene.label->setText("Several words that need more than one line here");
  const Rect placed = scene.label->convertRectToView(scene.label->placedTextRect(), scene.window->contentView().get());
  const auto image = capture(*scene.label)->cgImage();
  ASSERT_TRUE(image);
  const std::int64_t height = image->height();
  std::int64_t ink = 0;
  for (std::int64_t row = 0; row < height; ++row) {
    for (std::int64_t x = 0; x < image->width(); ++x) {
      if (isRed(image->pixelAt(x, row))) continue;
      ++ink;
      const double y = static_cast<double>(height - 1 - row);  // from the bottom
      EXPECT_TRUE(x >= std::floor(placed.minX()) && x < std::ceil(placed.maxX()) && y >= std::floor(placed.minY()) &&
                  y < std::ceil(placed.maxY()))
          << "ink at " << x << ", " << y << " outside " << placed.description();
    }
  }
  EXPECT_GT(ink, 50);
}

TEST(MultilineLabel, WithoutTextItsAreaBecomesTransparent) {
  for (const std::optional<std::string>& text : {std::optional<std::string>(), std::optional<std::string>("")}) {
    Scene scene;
    scene.label->setText(text);
    const auto image = capture(*scene.label)->cgImage();
    ASSERT_TRUE(image);
    const std::int64_t height = image->height();
    // Inside the label (20...140, 10...80 from the bottom) and outside it.
    EXPECT_EQ(image->pixelAt(25, height - 1 - 15), (std::array<std::uint8_t, 4>{0, 0, 0, 0}));
    EXPECT_EQ(image->pixelAt(139, height - 1 - 79), (std::array<std::uint8_t, 4>{0, 0, 0, 0}));
    EXPECT_TRUE(isRed(image->pixelAt(19, height - 1 - 15)));
    EXPECT_TRUE(isRed(image->pixelAt(25, height - 1 - 81)));
  }
}

}  // namespace
}  // namespace vantrel
