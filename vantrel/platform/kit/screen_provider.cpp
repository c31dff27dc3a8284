#include "vantrel/platform/kit/screen_provider.h"

#include <mutex>

#include "vantrel/core/no_destructor.h"
#include "vantrel/platform/kit/internal/x11_queries.h"

namespace vantrel {
namespace {

struct ProviderSlot {
  std::mutex mutex;
  std::shared_ptr<ScreenProvider> provider;
};

ProviderSlot& providerSlot() {
  static NoDestructor<ProviderSlot> slot;
  return *slot;
}

const std::shared_ptr<ScreenProvider>& systemScreenProvider() {
  static NoDestructor<std::shared_ptr<ScreenProvider>> provider(X11ScreenProvider::create());
  return *provider;
}

}  // namespace

std::shared_ptr<ScreenProvider> screenProvider() {
  ProviderSlot& slot = providerSlot();
  {
    std::lock_guard lock(slot.mutex);
    if (slot.provider) return slot.provider;
  }
  return systemScreenProvider();
}

void setScreenProvider(std::shared_ptr<ScreenProvider> provider) {
  ProviderSlot& slot = providerSlot();
  std::lock_guard lock(slot.mutex);
  slot.provider.swap(provider);
  // The old provider is released here, under the lock; providers keep no
  // lock of their own while they go.
}

ScopedScreenProvider::ScopedScreenProvider(std::shared_ptr<ScreenProvider> provider) {
  ProviderSlot& slot = providerSlot();
  std::lock_guard lock(slot.mutex);
  previous_ = std::move(slot.provider);
  slot.provider = std::move(provider);
}

ScopedScreenProvider::~ScopedScreenProvider() { setScreenProvider(std::move(previous_)); }

std::shared_ptr<X11ScreenProvider> X11ScreenProvider::create(std::string displayName) {
  return std::shared_ptr<X11ScreenProvider>(new X11ScreenProvider(std::move(displayName)));
}

std::vector<Screen::Ptr> X11ScreenProvider::screens() {
  const auto areas = kit_internal::x11MonitorAreas(displayName_);
  if (!areas || areas->empty()) return {};
  std::size_t mainIndex = 0;
  for (std::size_t i = 0; i < areas->size(); ++i) {
    if ((*areas)[i].primary) {
      mainIndex = i;
      break;
    }
  }
  const kit_internal::X11Area& main = (*areas)[mainIndex];
  const auto frameOf = [&main](const kit_internal::X11Area& a) {
    // X counts y down from the top of the root window; screens count it up
    // from the lower-left corner of the main screen.
    return Rect(a.x - main.x, (main.y + main.height) - (a.y + a.height), a.width, a.height);
  };
  std::vector<Screen::Ptr> result;
  result.reserve(areas->size());
  const auto add = [&](std::size_t index) {
    const Rect frame = frameOf((*areas)[index]);
    result.push_back(Screen::create(frame, frame, 1.0, static_cast<std::uint32_t>(index)));
  };
  add(mainIndex);
  for (std::size_t i = 0; i < areas->size(); ++i) {
    if (i != mainIndex) add(i);
  }
  return result;
}

std::optional<DisplayImage> X11ScreenProvider::createDisplayImage(std::uint32_t displayNumber) {
  return kit_internal::x11CaptureMonitor(displayName_, displayNumber);
}

}  // namespace vantrel
