#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/platform/graphics/drawing_context.h"
#include "vantrel/platform/graphics/font.h"

namespace vantrel {
namespace {

// Font faces are loaded once and shared: threads measuring and drawing at
// the same time get the same answers as one thread alone.
TEST(FontsConcurrency, ThreadsShareFacesSafely) {
  const Font font = Font::systemFont(13);
  const Size expected = measureText("Shared faces", font);
  auto reference = DrawingContext::create(120, 20);
  reference->drawText("Shared faces", Rect(0, 0, 120, 20), font, *Color::blackColor());
  const auto want = reference->makeImage();

  std::vector<std::thread> threads;
  std::vector<int> mismatches(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 20; ++i) {
        if (measureText("Shared faces", font) != expected) ++mismatches[t];
        (void)measureText("other", Font{"DejaVu Serif", 9.0 + t});
        auto context = DrawingContext::create(120, 20);
        context->drawText("Shared faces", Rect(0, 0, 120, 20), font, *Color::blackColor());
        const auto got = context->makeImage();
        if (!std::equal(got->bytes().begin(), got->bytes().end(), want->bytes().begin())) ++mismatches[t];
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(mismatches, std::vector<int>(4, 0));
}

// Threads meeting fonts nobody loaded before race to add them to the shared
// cache; every thread still gets the answers one thread alone gets, for
// Latin, CJK (a fallback font) and Arabic alike.
TEST(FontsConcurrency, FirstUseOfAFontFromManyThreads) {
  const std::vector<std::string> texts = {"Zo\xC3\xAB \xE6\x97\xA5\xE6\x9C\xAC", "\xD9\x83\xD8\xAA\xD8\xA7\xD8\xA8",
                                          "Label 17"};
  const auto fontAt = [](int i) { return Font{i % 2 == 0 ? "DejaVu Sans" : "DejaVu Serif", 7.25 + 0.5 * i}; };
  constexpr int kFonts = 12;
  std::vector<std::vector<Size>> seen(4);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kFonts; ++i) {
        const Font font = fontAt(t % 2 == 0 ? i : kFonts - 1 - i);
        for (const auto& text : texts) seen[t].push_back(measureText(text, font));
        seen[t].push_back(Size(lineHeight(font), 0));
        auto context = DrawingContext::create(60, 20);
        context->drawText(texts[static_cast<std::size_t>(i) % texts.size()], Rect(0, 0, 60, 20), font,
                          *Color::blackColor(), {TextAlignment::right, true, true});
      }
    });
  }
  for (auto& thread : threads) thread.join();
  for (int t = 0; t < 4; ++t) {
    std::vector<Size> expected;
    for (int i = 0; i < kFonts; ++i) {
      const Font font = fontAt(t % 2 == 0 ? i : kFonts - 1 - i);
      for (const auto& text : texts) expected.push_back(measureText(text, font));
      expected.push_back(Size(lineHeight(font), 0));
    }
    EXPECT_EQ(seen[t], expected) << "thread " << t;
  }
}

}  // namespace
}  // namespace vantrel
