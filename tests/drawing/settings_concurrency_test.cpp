// Process-wide settings under concurrent first use and concurrent change.
#include <atomic>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/drawing/geometry_helpers.h"
#include "vantrel/drawing/layout_builders.h"

namespace vantrel {
namespace {

TEST(SettingsConcurrency, FirstUseAndChangesFromManyThreads) {
  constexpr int kThreads = 8;
  constexpr int kRounds = 2000;
  std::atomic<bool> torn{false};
  std::atomic<bool> wrongDefault{false};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &torn, &wrongDefault] {
      if (LayoutPriorityDefaultHigh().get() != 750.0f) wrongDefault = true;
      if (VtCGRectDefaultRectViewController().get() != Rect(0, 0, 300, 400)) wrongDefault = true;
      for (int i = 0; i < kRounds; ++i) {
        if (t % 2 == 0) {
          edgeInsetsZero().set(EdgeInsets(static_cast<double>(i)));
          PointFromString().set([i](std::string_view) { return Point(i, i); });
        } else {
          const EdgeInsets seen = edgeInsetsZero().get();
          if (seen != EdgeInsets(seen.top)) torn = true;
          const Point p = PointFromString()("{1, 2}");
          if (p.x != p.y && p != Point(1, 2)) torn = true;
        }
      }
    });
  }
  for (auto& thread : threads) thread.join();
  edgeInsetsZero().reset();
  PointFromString().reset();
  EXPECT_FALSE(torn);
  EXPECT_FALSE(wrongDefault);
  EXPECT_EQ(PointFromString()("{1, 2}"), Point(1, 2));
}

}  // namespace
}  // namespace vantrel
