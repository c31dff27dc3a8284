#include "vantrel/platform/kit/application.h"

#include <algorithm>
#include <utility>

#include "vantrel/platform/kit/event.h"
#include "vantrel/platform/kit/window.h"

namespace vantrel {

const std::shared_ptr<Application>& Application::shared() {
  // Never destroyed: a control may still ask for the flags while statics are
  // torn down.
  static const auto* shared = new std::shared_ptr<Application>(new Application());
  return *shared;
}

std::vector<std::shared_ptr<Window>> Application::windows() const {
  std::vector<std::shared_ptr<Window>> live;
  for (const auto& window : windows_) {
    if (auto strong = window.lock()) live.push_back(std::move(strong));
  }
  return live;
}

// --- Local event monitors ----------------------------------------------------------

class EventMonitor {
 public:
  EventMonitor(EventMask mask, Application::LocalEventMonitorHandler handler)
      : mask(mask), handler(std::move(handler)) {}
  const EventMask mask;
  const Application::LocalEventMonitorHandler handler;
};

std::shared_ptr<EventMonitor> Application::addLocalMonitorForEvents(EventMask mask,
                                                                     LocalEventMonitorHandler handler) {
  if (refusesLocalMonitors_) return nullptr;
  auto monitor = std::make_shared<EventMonitor>(mask, std::move(handler));
  localMonitors_.push_back(monitor);
  return monitor;
}

void Application::removeMonitor(const std::shared_ptr<EventMonitor>& monitor) {
  // A copy: the caller may pass an element of the list itself.
  const std::shared_ptr<EventMonitor> removed = monitor;
  std::erase(localMonitors_, removed);
}

std::shared_ptr<const Event> Application::sendEvent(std::shared_ptr<const Event> event) {
  if (!event) return nullptr;
  // The snapshot keeps every monitor (and its handler) alive while it runs,
  // even one that removes itself or another.
  const std::vector<std::shared_ptr<EventMonitor>> snapshot = localMonitors_;
  for (const auto& monitor : snapshot) {
    if (std::find(localMonitors_.begin(), localMonitors_.end(), monitor) == localMonitors_.end()) continue;
    if ((monitor->mask & EventMask::forType(event->type())).isEmpty()) continue;
    event = monitor->handler(event);
    if (!event) return nullptr;
  }
  if (const auto window = event->window()) window->sendEvent(event);
  return event;
}

}  // namespace vantrel
