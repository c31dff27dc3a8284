#include "vantrel/platform/hotkeys/hot_key_service.h"

#include <cstdlib>
#include <mutex>
#include <utility>

#include "vantrel/platform/hotkeys/in_process_hot_key_service.h"
#include "vantrel/platform/hotkeys/x11_hot_key_service.h"

namespace vantrel::hotkeys {
namespace {

struct ApplicationService {
  std::mutex mutex;
  std::shared_ptr<HotKeyService> service;
};

ApplicationService& applicationService() {
  // Never destroyed: a handler may still be called while the process exits.
  static auto* state = new ApplicationService;
  return *state;
}

std::shared_ptr<HotKeyService> chooseService() {
  const char* display = std::getenv("DISPLAY");
  if (display != nullptr && *display != '\0') {
    if (auto x11 = X11HotKeyService::open(display)) return x11;
  }
  return InProcessHotKeyService::create();
}

}  // namespace

std::shared_ptr<HotKeyService> applicationHotKeyService() {
  ApplicationService& state = applicationService();
  std::lock_guard lock(state.mutex);
  if (!state.service) state.service = chooseService();
  return state.service;
}

void setApplicationHotKeyService(std::shared_ptr<HotKeyService> service) {
  ApplicationService& state = applicationService();
  std::lock_guard lock(state.mutex);
  state.service = std::move(service);
}

}  // namespace vantrel::hotkeys
