#include "vantrel/platform/kit/event.h"


#include <fmt/format.h>


namespace vantrel {

namespace {

constexpr std::int64_t kLowestType = 1;
constexpr std::int64_t kHighestType = 12;

}  // namespace

std::string_view description(EventType type) {
  switch (type) {
    case EventType::leftMouseDown: return "leftMouseDown";
    case EventType::leftMouseUp: return "leftMouseUp";
    case EventType::rightMouseDown: return "rightMouseDown";
    case EventType::rightMouseUp: return "rightMouseUp";
    case EventType::mouseMoved: return "mouseMoved";
    case EventType::leftMouseDragged: return "leftMouseDragged";
    case EventType::rightMouseDragged: return "rightMouseDragged";
    case EventType::mouseEntered: return "mouseEntered";
    case EventType::mouseExited: return "mouseExited";
    case EventType::keyDown: return "keyDown";
    case EventType::keyUp: return "keyUp";
    case EventType::flagsChanged: return "flagsChanged";
  }
  return "unknown";
}

EventMask EventMask::forType(EventType type) {
  const auto number = static_cast<std::int64_t>(type);
  if (number < 0 || number > 63) return EventMask();
  return EventMask(std::uint64_t{1} << number);
}

std::string EventMask::description() const {
  std::string text = "[";
  std::uint64_t rest = rawValue();
  for (std::int64_t number = kLowestType; number <= kHighestType; ++number) {
    const std::uint64_t bit = std::uint64_t{1} << number;
    if ((rest & bit) == 0) continue;
    if (text.size() > 1) text += ", ";
    text += vantrel::description(static_cast<EventType>(number));
    rest &= ~bit;
  }
  if (rest != 0) {
    if (text.size() > 1) text += ", ";
    text += fmt::format("0x{:x}", rest);
  }
  return text + "]";
}

Event::Ptr Event::keyEvent(EventType type, const std::shared_ptr<Window>& window, std::uint16_t keyCode,
                           std::string characters, EventModifierFlags modifierFlags) {
  std::shared_ptr<Event> event(new Event());
  event->type_ = type;
  event->keyCode_ = keyCode;
  event->characters_ = std::move(characters);
  event->modifierFlags_ = modifierFlags;
  event->window_ = window;
  return event;
}

Event::Ptr Event::mouseEvent(EventType type, const std::shared_ptr<Window>& window, Point locationInWindow,
                             EventModifierFlags modifierFlags) {
  std::shared_ptr<Event> event(new Event());
  event->type_ = type;
  event->modifierFlags_ = modifierFlags;
  event->location_ = locationInWindow;
  event->window_ = window;
  return event;
}

}  // namespace vantrel
