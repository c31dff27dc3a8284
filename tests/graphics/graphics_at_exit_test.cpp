// What a thread keeps for drawing (its Pango objects, the surface an image
// is copied into, its current context), reached once the thread's
// thread_local objects are gone.
#include <cstdlib>

#include <gtest/gtest.h>

#include "tests/support/use_at_exit.h"
#include "vantrel/platform/graphics/drawing_context.h"
#include "vantrel/platform/graphics/font.h"

namespace vantrel {
namespace {

TEST(GraphicsAtExit, TextImagesAndTheCurrentContextWorkOnceTheThreadsObjectsAreGone) {
  EXPECT_USE_AT_EXIT([] {
    const Size size = measureText("Hello", Font::systemFont(12));
    if (!(size.width > 0 && size.height > 0)) std::abort();

    const DrawingContext::Ptr source = DrawingContext::create(4, 4);
    source->setFillColor(*Color::blackColor());
    source->fillRect(Rect(0, 0, 4, 4));
    const DrawingContext::Ptr target = DrawingContext::create(4, 4);
    target->drawImage(*source->makeImage(), Rect(0, 0, 4, 4));
    target->drawText("x", Rect(0, 0, 4, 4), Font::systemFont(12), *Color::blackColor());

    setCurrentDrawingContext(target);
    saveGraphicsState();
    setCurrentDrawingContext(source);
    restoreGraphicsState();
    if (currentDrawingContext() != target) std::abort();
    setCurrentDrawingContext(nullptr);
  });
}

}  // namespace
}  // namespace vantrel
