// File: vantrel/platform/kit/event.h
//
// `Event`: one input event as the application receives it: its type, the
// 16-bit virtual key code and the characters it types (key events), the
// modifier flags held, the location in the window's base coordinates and the
// window it belongs to. Events are immutable and shared
// (`Event::Ptr`, a `std::shared_ptr<const Event>`), so a monitor may pass
// one on, swap in another or swallow it.
//
//   auto typed = Event::keyEvent(EventType::keyDown, window, 12, "q",
//                                EventModifierFlags::command);
//   auto click = Event::mouseEvent(EventType::leftMouseDown, window, Point(40, 12));
//   Application::shared()->sendEvent(typed);     // monitors first (application.h)
//
// `EventMask` selects event types, one bit per type at the type's number
// (keyDown 1 << 10, flagsChanged 1 << 12); `EventMask::forType` gives a
// type's bit. Its text form names the types in bit order:
// "[keyDown, flagsChanged]"; bits that name no type follow as one
// hexadecimal number ("[keyDown, 0x40000000000]"); the empty mask is "[]".
//
// The window is held weakly: an event never keeps its window alive.
// Values are thread-safe; windows are main-thread objects.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "vantrel/core/option_set.h"
#include "vantrel/platform/kit/application.h"
#include "vantrel/core/geometry.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class Window;

// The platform's numbering, kept so raw values and masks can be exchanged.
enum class EventType : std::int64_t {
  leftMouseDown = 1,
  leftMouseUp = 2,
  rightMouseDown = 3,
  rightMouseUp = 4,
  mouseMoved = 5,
  leftMouseDragged = 6,
  rightMouseDragged = 7,
  mouseEntered = 8,
  mouseExited = 9,
  keyDown = 10,
  keyUp = 11,
  flagsChanged = 12,
};

// "leftMouseDown", "keyDown", …; "unknown" for a number that names no type.
[[nodiscard]] std::string_view description(EventType type);

struct EventMask : OptionSet<EventMask, std::uint64_t> {
  using OptionSet::OptionSet;

  static const EventMask leftMouseDown;
  static const EventMask leftMouseUp;
  static const EventMask rightMouseDown;
  static const EventMask rightMouseUp;
  static const EventMask mouseMoved;
  static const EventMask leftMouseDragged;
  static const EventMask rightMouseDragged;
  static const EventMask mouseEntered;
  static const EventMask mouseExited;
  static const EventMask keyDown;
  static const EventMask keyUp;
  static const EventMask flagsChanged;

  // The bit of `type`; empty for a type number outside 0...63.
  [[nodiscard]] static EventMask forType(EventType type);
  // See the top of this file.
  [[nodiscard]] std::string description() const;
};

inline constexpr EventMask EventMask::leftMouseDown{1u << 1};
inline constexpr EventMask EventMask::leftMouseUp{1u << 2};
inline constexpr EventMask EventMask::rightMouseDown{1u << 3};
inline constexpr EventMask EventMask::rightMouseUp{1u << 4};
inline constexpr EventMask EventMask::mouseMoved{1u << 5};
inline constexpr EventMask EventMask::leftMouseDragged{1u << 6};
inline constexpr EventMask EventMask::rightMouseDragged{1u << 7};
inline constexpr EventMask EventMask::mouseEntered{1u << 8};
inline constexpr EventMask EventMask::mouseExited{1u << 9};
inline constexpr EventMask EventMask::keyDown{1u << 10};
inline constexpr EventMask EventMask::keyUp{1u << 11};
inline constexpr EventMask EventMask::flagsChanged{1u << 12};

class Event {
 public:
  using Ptr = std::shared_ptr<const Event>;

  // A key event (keyDown, keyUp, flagsChanged): the key code, the text the
  // key types with the flags held ("" for none, as for modifier keys) and
  // the flags. The location is the window's origin.
  [[nodiscard]] static Ptr keyEvent(EventType type, const std::shared_ptr<Window>& window, std::uint16_t keyCode,
                                    std::string characters, EventModifierFlags modifierFlags = {});
  // A mouse event at `locationInWindow` (base coordinates, y up).
  [[nodiscard]] static Ptr mouseEvent(EventType type, const std::shared_ptr<Window>& window, Point locationInWindow,
                                      EventModifierFlags modifierFlags = {});

  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;

  [[nodiscard]] EventType type() const { return type_; }
  [[nodiscard]] std::uint16_t keyCode() const { return keyCode_; }
  [[nodiscard]] const std::string& characters() const { return characters_; }
  [[nodiscard]] EventModifierFlags modifierFlags() const { return modifierFlags_; }
  [[nodiscard]] Point locationInWindow() const { return location_; }
  // Null when the event has none or the window is gone.
  [[nodiscard]] std::shared_ptr<Window> window() const { return window_.lock(); }

 private:
  Event() = default;

  EventType type_ = EventType::keyDown;
  std::uint16_t keyCode_ = 0;
  std::string characters_;
  EventModifierFlags modifierFlags_;
  Point location_;
  std::weak_ptr<Window> window_;
};

}  // namespace vantrel
