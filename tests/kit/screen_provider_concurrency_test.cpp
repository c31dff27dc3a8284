// The screen list and the screen provider read and replaced from several
// threads at once.
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/readers_while_changing.h"
#include "vantrel/platform/kit/screen_provider.h"

namespace vantrel {
namespace {

class FixedProvider : public ScreenProvider {
 public:
  explicit FixedProvider(std::vector<Screen::Ptr> screens) : screens_(std::move(screens)) {}
  std::vector<Screen::Ptr> screens() override { return screens_; }
  std::optional<DisplayImage> createDisplayImage(std::uint32_t) override { return std::nullopt; }

 private:
  const std::vector<Screen::Ptr> screens_;
};

TEST(ScreenProviderConcurrency, ReadersSeeOneWholeListWhileProvidersAndListsChange) {
  const auto a = Screen::create(Rect(0, 0, 10, 10), Rect(0, 0, 10, 10), 1.0, 1);
  const auto b = Screen::create(Rect(0, 0, 20, 20), Rect(0, 0, 20, 20), 2.0, 2);
  const auto c = Screen::create(Rect(0, 0, 30, 30), Rect(0, 0, 30, 30), 1.0, 3);
  ScopedScreenProvider outer(std::make_shared<FixedProvider>(std::vector<Screen::Ptr>{a}));
  const int wrong = testing::wrongReadsWhileChanging(
      4,
      [&] {
        const auto screens = Screen::screens();
        // Each source is one list: {a}, {b, c} or {c}.
        const bool whole = (screens.size() == 1 && (screens[0] == a || screens[0] == c)) ||
                           (screens.size() == 2 && screens[0] == b && screens[1] == c);
        (void)Screen::mainScreen();
        return whole;
      },
      [&] {
        for (int i = 0; i < 2000; ++i) {
          setScreenProvider(std::make_shared<FixedProvider>(std::vector<Screen::Ptr>{i % 2 == 0 ? a : c}));
          ScopedScreens list({b, c});
        }
      });
  EXPECT_EQ(wrong, 0);
}

}  // namespace
}  // namespace vantrel
