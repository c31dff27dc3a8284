// File: vantrel/platform/kit/tracking_area.h
//
// `TrackingArea`: a rectangle of a view (in the view's coordinates) whose
// owner hears `mouseEntered` / `mouseExited` as the pointer crosses its edge.
//
//   auto area = TrackingArea::create(hintRect,
//       TrackingAreaOptions::mouseEnteredAndExited | TrackingAreaOptions::activeAlways,
//       view);
//   view->addTrackingArea(area);
//   window->sendEvent(Event::mouseEvent(EventType::mouseMoved, window, p));
//       // entering the rectangle: view->mouseEntered(event)
//
// An area starts "outside", or "inside" with `assumeInside` (so its first
// event is the exit when the pointer turns out to be elsewhere). Each
// mouse-moved event that reaches the window compares the pointer with every
// area of the window's visible views that has `mouseEnteredAndExited` and
// tells the owner when the side changed. Only `activeAlways` is modelled:
// the other activity options are kept but every area is always active.
//
// The owner is held weakly (usually the view itself, which owns the area).
// Main-thread objects: not thread-safe.
#pragma once

#include <cstdint>
#include <memory>

#include "vantrel/core/option_set.h"
#include "vantrel/core/geometry.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class Responder;

// The platform's bit values.
struct TrackingAreaOptions : OptionSet<TrackingAreaOptions, std::uint64_t> {
  using OptionSet::OptionSet;

  static const TrackingAreaOptions mouseEnteredAndExited;     // 0x01
  static const TrackingAreaOptions mouseMoved;                // 0x02
  static const TrackingAreaOptions cursorUpdate;              // 0x04
  static const TrackingAreaOptions activeWhenFirstResponder;  // 0x10
  static const TrackingAreaOptions activeInKeyWindow;         // 0x20
  static const TrackingAreaOptions activeInActiveApp;         // 0x40
  static const TrackingAreaOptions activeAlways;              // 0x80
  static const TrackingAreaOptions assumeInside;              // 0x100
  static const TrackingAreaOptions inVisibleRect;             // 0x200
  static const TrackingAreaOptions enabledDuringMouseDrag;    // 0x400
};

inline constexpr TrackingAreaOptions TrackingAreaOptions::mouseEnteredAndExited{0x01u};
inline constexpr TrackingAreaOptions TrackingAreaOptions::mouseMoved{0x02u};
inline constexpr TrackingAreaOptions TrackingAreaOptions::cursorUpdate{0x04u};
inline constexpr TrackingAreaOptions TrackingAreaOptions::activeWhenFirstResponder{0x10u};
inline constexpr TrackingAreaOptions TrackingAreaOptions::activeInKeyWindow{0x20u};
inline constexpr TrackingAreaOptions TrackingAreaOptions::activeInActiveApp{0x40u};
inline constexpr TrackingAreaOptions TrackingAreaOptions::activeAlways{0x80u};
inline constexpr TrackingAreaOptions TrackingAreaOptions::assumeInside{0x100u};
inline constexpr TrackingAreaOptions TrackingAreaOptions::inVisibleRect{0x200u};
inline constexpr TrackingAreaOptions TrackingAreaOptions::enabledDuringMouseDrag{0x400u};

class TrackingArea {
 public:
  using Ptr = std::shared_ptr<TrackingArea>;

  [[nodiscard]] static Ptr create(Rect rect, TrackingAreaOptions options, const std::shared_ptr<Responder>& owner) {
    return Ptr(new TrackingArea(rect, options, owner));
  }

  TrackingArea(const TrackingArea&) = delete;
  TrackingArea& operator=(const TrackingArea&) = delete;

  [[nodiscard]] Rect rect() const { return rect_; }
  [[nodiscard]] TrackingAreaOptions options() const { return options_; }
  [[nodiscard]] std::shared_ptr<Responder> owner() const { return owner_.lock(); }
  // Which side of the edge the pointer was last known to be on.
  [[nodiscard]] bool pointerInside() const { return inside_; }
  void setPointerInside(bool inside) { inside_ = inside; }

 private:
  TrackingArea(Rect rect, TrackingAreaOptions options, const std::shared_ptr<Responder>& owner)
      : rect_(rect), options_(options), owner_(owner), inside_(options.contains(TrackingAreaOptions::assumeInside)) {}

  Rect rect_;
  TrackingAreaOptions options_;
  std::weak_ptr<Responder> owner_;
  bool inside_;
};

}  // namespace vantrel
