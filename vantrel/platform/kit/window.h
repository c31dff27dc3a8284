// File: vantrel/platform/kit/window.h
//
// `Window`: a headless window: a frame in the global screen space, a content
// view filling it, the content layout guide, a title, a background colour,
// a style mask, its first responders, its visible, key and main state, a
// delegate, an optional content view controller and an optional frame
// autosave name.
//
//   auto window = Window::create(Rect(0, 0, 600, 400));
//   window->setTitle("Inspector");
//   window->contentView()->addSubview(panel);
//   window->center();
//   window->makeKeyAndOrderFront();     // visible, key and main
//   window->performClose();             // asks the delegate, then closes
//
// Geometry: there is no title bar, so the frame is also the content
// rectangle; the content view's frame is (0, 0, frame size) and follows
// every size change. `screen()` is the screen holding the largest part of
// the frame (none when it lies on no screen); `backingScaleFactor()` is that
// screen's, else 1.0. `center()` puts the window in the middle of its
// screen's visible frame horizontally and somewhat above the middle
// vertically (a third of the free height above, two thirds below); on the
// main screen when it is on none; it does nothing without any screen.
//
// Showing and closing: `orderFront` makes the window visible; when it
// becomes visible, the content view controller (and its children, parents
// first) hear viewWillAppear, then a layout pass (viewWillLayout,
// viewDidLayout), then viewDidAppear. `layoutIfNeeded()` runs a layout pass
// when one is pending (after a content or size change). `close()` tells the
// delegate `windowWillClose`, takes away key and main state, and, when the
// window was visible, sends viewWillDisappear and viewDidDisappear.
// `performClose()` closes only when the delegate's `windowShouldClose`
// answers true (no delegate: true).
//
// Frame autosave: with a non-empty name the frame is kept in the standard
// user defaults under "NSWindow Frame " + name, as `Rect::toString()`
// writes it. Setting the name applies a frame kept earlier under it (else
// stores the present one); every later frame change is stored again.
//
// Sheets: an alert begun as a sheet (alert.h) stays attached until
// `endSheet(response)`, which plays the user's choice.
//
// Lifetimes: held by `std::shared_ptr` (`Application::windows()` lists the
// live ones, weakly). The window owns its content view; the delegate, the
// window controller and the first responders are weak. Responder chain:
// after the window comes the responder set with `setNextResponder`, else its
// window controller. Main-thread objects: not thread-safe.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "vantrel/core/option_set.h"
#include "vantrel/platform/kit/alert.h"
#include "vantrel/core/color.h"
#include "vantrel/core/geometry.h"
#include "vantrel/platform/kit/layout_guide.h"
#include "vantrel/platform/kit/responder.h"
#include "vantrel/platform/kit/screen.h"
#include "vantrel/platform/kit/view.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class ViewController;
class WindowController;
class Event;

// Posted on `NotificationCenter::defaultCenter()` with the window as the
// object when a window stops being the key window: another window became
// key, or it was ordered out or closed while key.
inline constexpr std::string_view NSWindowDidResignKeyNotification = "NSWindowDidResignKeyNotification";

struct WindowStyleMask : OptionSet<WindowStyleMask, std::uint64_t> {
  using OptionSet::OptionSet;

  static const WindowStyleMask borderless;      // 0
  static const WindowStyleMask titled;          // 1
  static const WindowStyleMask closable;        // 2
  static const WindowStyleMask miniaturizable;  // 4
  static const WindowStyleMask resizable;       // 8
};

inline constexpr WindowStyleMask WindowStyleMask::borderless{0u};
inline constexpr WindowStyleMask WindowStyleMask::titled{1u};
inline constexpr WindowStyleMask WindowStyleMask::closable{2u};
inline constexpr WindowStyleMask WindowStyleMask::miniaturizable{4u};
inline constexpr WindowStyleMask WindowStyleMask::resizable{8u};

class Window;

// What a window asks its delegate. Both have defaults, so a delegate
// overrides what it cares about.
class WindowDelegate {
 public:
  virtual ~WindowDelegate() = default;
  // Asked by `performClose`; false keeps the window open.
  virtual bool windowShouldClose(Window& window);
  // Told at the start of `close`.
  virtual void windowWillClose(Window& window);
};

class Window : public Responder, public std::enable_shared_from_this<Window> {
 public:
  using Ptr = std::shared_ptr<Window>;

  // Invisible, with a plain content view; titled, closable, miniaturizable
  // and resizable unless told otherwise. Listed in `Application::windows()`.
  [[nodiscard]] static Ptr create(Rect contentRect,
                                  WindowStyleMask styleMask = WindowStyleMask::titled | WindowStyleMask::closable |
                                                              WindowStyleMask::miniaturizable |
                                                              WindowStyleMask::resizable);
  ~Window() override;

  // --- Geometry -----------------------------------------------------------------
  [[nodiscard]] Rect frame() const { return frame_; }
  void setFrame(Rect frame);
  void setFrameOrigin(Point origin);
  void center();
  [[nodiscard]] Screen::Ptr screen() const;
  [[nodiscard]] double backingScaleFactor() const;

  // --- Content -----------------------------------------------------------------
  [[nodiscard]] const View::Ptr& contentView() const { return contentView_; }
  // Takes the view out of any superview, sizes it to the frame and moves the
  // content layout guide onto it. Null stops the program (`fatal`).
  void setContentView(const View::Ptr& view);
  [[nodiscard]] const LayoutGuide::Ptr& contentLayoutGuide() const { return contentLayoutGuide_; }
  [[nodiscard]] const std::shared_ptr<ViewController>& contentViewController() const {
    return contentViewController_;
  }
  // Makes the controller's view (loading it) the content view; null keeps
  // the content view and drops the controller.
  void setContentViewController(const std::shared_ptr<ViewController>& controller);
  [[nodiscard]] std::shared_ptr<WindowController> windowController() const { return windowController_.lock(); }

  // --- Responders ----------------------------------------------------------------
  [[nodiscard]] View::Ptr initialFirstResponder() const { return initialFirstResponder_.lock(); }
  void setInitialFirstResponder(const View::Ptr& view) { initialFirstResponder_ = view; }
  // None until something was made first responder.
  [[nodiscard]] std::shared_ptr<Responder> firstResponder() const { return firstResponder_.lock(); }
  // Null clears it; the window itself is always taken; any other responder
  // only when it accepts first responder. Answers whether it was taken.
  bool makeFirstResponder(const std::shared_ptr<Responder>& responder);
  [[nodiscard]] std::shared_ptr<Responder> nextResponder() const override;

  // --- Appearance ------------------------------------------------------------------
  [[nodiscard]] const std::string& title() const { return title_; }
  void setTitle(std::string title) { title_ = std::move(title); }
  // White until set.
  [[nodiscard]] const Color::Ptr& backgroundColor() const { return backgroundColor_; }
  void setBackgroundColor(Color::Ptr color) { backgroundColor_ = std::move(color); }
  [[nodiscard]] WindowStyleMask styleMask() const { return styleMask_; }
  void setStyleMask(WindowStyleMask mask) { styleMask_ = mask; }
  [[nodiscard]] bool isMovableByWindowBackground() const { return movableByBackground_; }
  void setMovableByWindowBackground(bool movable) { movableByBackground_ = movable; }

  // --- State ---------------------------------------------------------------------
  [[nodiscard]] bool isVisible() const { return visible_; }
  [[nodiscard]] bool isKeyWindow() const;
  [[nodiscard]] bool isMainWindow() const;
  void orderFront();
  // Hides the window (disappear hooks when it was visible) without closing.
  void orderOut();
  void makeKeyWindow();
  void makeMainWindow();
  // orderFront, then key and main.
  void makeKeyAndOrderFront();
  void close();
  void performClose();
  [[nodiscard]] std::shared_ptr<WindowDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(const std::shared_ptr<WindowDelegate>& delegate) { delegate_ = delegate; }

  // --- Layout ---------------------------------------------------------------------
  [[nodiscard]] bool needsLayout() const { return needsLayout_; }
  void setNeedsLayout() { needsLayout_ = true; }
  void layoutIfNeeded();

  // --- Frame autosave ------------------------------------------------------------
  [[nodiscard]] const std::string& frameAutosaveName() const { return frameAutosaveName_; }
  // Always succeeds (answers true); an empty name stops the saving.
  bool setFrameAutosaveName(std::string name);
  // Stores the frame under "NSWindow Frame " + name.
  void saveFrameUsingName(std::string_view name) const;
  // Applies the frame kept under the name; false when there is none (or it
  // does not read as a rectangle).
  bool setFrameUsingName(std::string_view name);

  // "<Window: 0x…; title = \"…\"; frame = (x, y, w, h)>"
  [[nodiscard]] std::string description() const override;

  // --- Events ----------------------------------------------------------------------
  // An event the application hands on (`Application::sendEvent`): a left
  // click goes to the content view's `hitTest` view as `mouseDown`; a mouse
  // move goes to the tracking areas of the visible views (tracking_area.h);
  // other events stop here.
  void sendEvent(const std::shared_ptr<const Event>& event);

  // --- Sheets ----------------------------------------------------------------------
  // The alert shown as a sheet (the first begun and not yet ended); null
  // when none.
  [[nodiscard]] Alert::Ptr attachedSheet() const;
  // Ends the attached sheet as the user would, with `response`: the sheet
  // is taken off (the next waiting one becomes attached), then its
  // completion handler runs once. False, and nothing happens, without a
  // sheet.
  bool endSheet(ModalResponse response);

 private:
  friend class WindowController;  // links itself
  Window(Rect contentRect, WindowStyleMask styleMask);
  void layoutPass();
  void disappear();

  Rect frame_;
  View::Ptr contentView_;
  LayoutGuide::Ptr contentLayoutGuide_;
  std::shared_ptr<ViewController> contentViewController_;
  std::weak_ptr<WindowController> windowController_;
  std::weak_ptr<View> initialFirstResponder_;
  std::weak_ptr<Responder> firstResponder_;
  std::weak_ptr<WindowDelegate> delegate_;
  std::string title_;
  Color::Ptr backgroundColor_;
  WindowStyleMask styleMask_;
  bool movableByBackground_ = false;
  bool visible_ = false;
  bool needsLayout_ = true;
  std::string frameAutosaveName_;

  // Key status and events.
  static void postDidResignKey(const Ptr& window);
  void moveMouse(const Event& event);

  // Sheets: the attached one first, then those waiting for it.
  friend class Alert;  // begins its sheets
  struct Sheet {
    Alert::Ptr alert;
    std::function<void(ModalResponse)> completionHandler;
  };
  std::deque<Sheet> sheets_;
};

}  // namespace vantrel
