#include <chrono>
#include <cstdio>
#include <memory>

#include <vantrel/platform/dispatch/run_loop.h>
#include <vantrel/platform/hotkeys/in_process_hot_key_service.h>
#include <vantrel/platform/keyboard/keyboard_layout.h>
#include <vantrel/hotkeys/hot_key_manager.h>
#include <vantrel/shortcuts/modifier_flags.h>
#include <vantrel/shortcuts/shortcut.h>

#include "tour.h"

using namespace vantrel;

namespace {

using M = ModifierFlags;

// Presses come from the in-process service here, so the tour needs no
// display; an application would use HotKeyManager::si() instead.
struct HotKeyTour {
  std::shared_ptr<hotkeys::InProcessHotKeyService> service = hotkeys::InProcessHotKeyService::create();
  std::shared_ptr<HotKeyManager> manager = HotKeyManager::create(service);
};

HotKeyTour& hotKeyTour() {
  static HotKeyTour tour;
  return tour;
}

// Serves the main thread's run loop for a moment, as an application would:
// that is where the press work and the closures run.
void serveMainLoop() {
  RunLoop::current()->run(RunLoop::Clock::now() + std::chrono::milliseconds(20));
}

}  // namespace

TOUR_SECTION(105, "Hot keys: a press runs the closure on the main queue") {
  keyboard::ScopedKeyboardLayout us(keyboard::KeyboardLayout{"us", ""});
  HotKeyTour& tour = hotKeyTour();
  const Shortcut palette(0, M{M::control, M::command});
  const auto token = tour.manager->registerShortcut(palette, [] { std::printf("palette shortcut pressed\n"); });
  std::printf("registered %s under a token of %zu random characters\n", palette.asStringSymbols().c_str(),
              token ? token->value().size() : 0);
  tour.service->press(0, static_cast<std::uint32_t>(palette.modifierFlags.carbonInt()));
  std::printf("pressed; nothing has run yet\n");
  serveMainLoop();
}

TOUR_SECTION(106, "Hot keys: ids, tokens and refusals") {
  keyboard::ScopedKeyboardLayout us(keyboard::KeyboardLayout{"us", ""});
  HotKeyTour& tour = hotKeyTour();
  const Shortcut f1(122, M{M::option});
  tour.manager->registerShortcut(f1, "help", [] { std::printf("help shortcut pressed\n"); });
  for (const auto& r : tour.service->registrations()) {
    std::printf("key %u mask 0x%X id %u\n", r.keyCode, r.modifiers, r.id.id);
  }
  tour.manager->registerShortcut(Shortcut(11, M{M::command}), "help", [] {});  // token in use
  tour.manager->registerShortcut(f1, [] {});                                    // combination taken
}

TOUR_SECTION(107, "Hot keys: stop, then register again") {
  HotKeyTour& tour = hotKeyTour();
  tour.manager->stop();
  std::printf("after stop: %zu registrations, %zu handlers\n", tour.service->registrations().size(),
              tour.service->handlerCount());
  tour.manager->registerShortcut(Shortcut(49, M{M::control}), [] { std::printf("space shortcut pressed\n"); });
  std::printf("registered again: %zu handler\n", tour.service->handlerCount());
  tour.service->press(49, 0x1000);
  serveMainLoop();
  tour.manager->stop();
}
