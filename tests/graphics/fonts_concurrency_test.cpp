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

}  // namespace
}  // namespace vantrel
