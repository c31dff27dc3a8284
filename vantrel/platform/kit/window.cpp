#include "vantrel/platform/kit/window.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include <fmt/format.h>

#include "vantrel/core/fatal.h"
#include "vantrel/platform/foundation/defaults/user_defaults.h"
#include "vantrel/platform/foundation/notifications/notification_center.h"
#include "vantrel/platform/kit/application.h"
#include "vantrel/platform/kit/event.h"
#include "vantrel/platform/kit/view_controller.h"
#include "vantrel/platform/kit/window_controller.h"

namespace vantrel {
namespace {

double overlapArea(Rect a, Rect b) {
  const double width = std::min(a.maxX(), b.maxX()) - std::max(a.minX(), b.minX());
  const double height = std::min(a.maxY(), b.maxY()) - std::max(a.minY(), b.minY());
  return width > 0 && height > 0 ? width * height : 0.0;
}

std::string frameKey(std::string_view name) { return "NSWindow Frame " + std::string(name); }

// Parents before children, as the platform tells a containment tree.
template <class Hook>
void tellControllers(const ViewController::Ptr& controller, Hook hook) {
  if (!controller) return;
  hook(*controller);
  // A copy: a hook may add or remove children.
  const std::vector<ViewController::Ptr> children = controller->children();
  for (const auto& child : children) tellControllers(child, hook);
}

}  // namespace

// --- Key status and events ----------------------------------------------------------

void Window::postDidResignKey(const Ptr& window) {
  NotificationCenter::defaultCenter().post(NSWindowDidResignKeyNotification, window);
}

void Window::sendEvent(const std::shared_ptr<const Event>& eventReference) {
  if (!eventReference) return;
  const std::shared_ptr<const Event> event = eventReference;
  const Ptr self = shared_from_this();  // a handler may close or drop this window
  switch (event->type()) {
    case EventType::leftMouseDown:
      if (const View::Ptr hit = contentView_->hitTest(event->locationInWindow())) hit->mouseDown(*event);
      break;
    case EventType::mouseMoved:
      moveMouse(*event);
      break;
    default:
      break;
  }
}

void Window::moveMouse(const Event& event) {
  // Collected first: an owner's handler may add, remove or rebuild areas.
  struct Tracked {
    View::Ptr view;
    TrackingArea::Ptr area;
  };
  std::vector<Tracked> tracked;
  const std::function<void(const View::Ptr&)> collect = [&](const View::Ptr& view) {
    if (view->isHidden()) return;
    for (const auto& area : view->trackingAreas()) tracked.push_back({view, area});
    for (const auto& child : view->subviews()) collect(child);
  };
  collect(contentView_);
  for (const Tracked& t : tracked) {
    if (!t.area->options().contains(TrackingAreaOptions::mouseEnteredAndExited)) continue;
    const auto& areas = t.view->trackingAreas();
    if (std::find(areas.begin(), areas.end(), t.area) == areas.end()) continue;  // removed meanwhile
    const bool inside = t.area->rect().contains(t.view->convertPointFromView(event.locationInWindow(), nullptr));
    if (inside == t.area->pointerInside()) continue;
    t.area->setPointerInside(inside);
    if (const auto owner = t.area->owner()) {
      if (inside) {
        owner->mouseEntered(event);
      } else {
        owner->mouseExited(event);
      }
    }
  }
}

bool WindowDelegate::windowShouldClose(Window& /*window*/) { return true; }
void WindowDelegate::windowWillClose(Window& /*window*/) {}

Window::Window(Rect contentRect, WindowStyleMask styleMask)
    : frame_(contentRect),
      contentLayoutGuide_(LayoutGuide::create()),
      backgroundColor_(Color::whiteColor()),
      styleMask_(styleMask) {}

Window::Ptr Window::create(Rect contentRect, WindowStyleMask styleMask) {
  Ptr window(new Window(contentRect, styleMask));
  window->setContentView(View::create());
  Application::shared()->windows_.push_back(window);
  return window;
}

Window::~Window() {
  auto& windows = Application::shared()->windows_;
  std::erase_if(windows, [](const std::weak_ptr<Window>& w) { return w.expired(); });
  if (contentView_) contentView_->window_.reset();
}

void Window::setFrame(Rect frame) {
  const bool resized = frame.size != frame_.size;
  frame_ = frame;
  if (resized) {
    contentView_->setFrame(Rect(Point(), frame.size));
    needsLayout_ = true;
  }
  if (!frameAutosaveName_.empty()) saveFrameUsingName(frameAutosaveName_);
}

void Window::setFrameOrigin(Point origin) { setFrame(Rect(origin, frame_.size)); }

Screen::Ptr Window::screen() const {
  Screen::Ptr best;
  double bestArea = 0;
  for (const auto& candidate : Screen::screens()) {
    const double area = overlapArea(frame_, candidate->frame());
    if (area > bestArea) {
      best = candidate;
      bestArea = area;
    }
  }
  return best;
}

double Window::backingScaleFactor() const {
  const auto on = screen();
  return on ? on->backingScaleFactor() : 1.0;
}

void Window::center() {
  Screen::Ptr on = screen();
  if (!on) on = Screen::mainScreen();
  if (!on) return;
  const Rect visible = on->visibleFrame();
  const double x = visible.minX() + (visible.width() - frame_.size.width) / 2;
  const double y = visible.minY() + (visible.height() - frame_.size.height) * 2 / 3;
  setFrameOrigin(Point(x, y));
}

void Window::setContentView(const View::Ptr& viewReference) {
  const View::Ptr view = viewReference;
  if (!view) fatal("setContentView: the view is null");
  if (view == contentView_) return;
  if (contentView_) {
    contentView_->removeLayoutGuide(contentLayoutGuide_);
    contentView_->window_.reset();
  }
  view->removeFromSuperview();
  view->setFrame(Rect(Point(), frame_.size));
  view->window_ = weak_from_this();
  view->addLayoutGuide(contentLayoutGuide_);
  contentView_ = view;
  needsLayout_ = true;
}

void Window::setContentViewController(const std::shared_ptr<ViewController>& controller) {
  contentViewController_ = controller;
  if (controller) setContentView(controller->view());
}

bool Window::makeFirstResponder(const std::shared_ptr<Responder>& responder) {
  if (responder && responder.get() != this && !responder->acceptsFirstResponder()) return false;
  firstResponder_ = responder;
  return true;
}

std::shared_ptr<Responder> Window::nextResponder() const {
  if (auto next = explicitNextResponder()) return next;
  return windowController_.lock();
}

bool Window::isKeyWindow() const { return Application::shared()->keyWindow().get() == this; }

bool Window::isMainWindow() const { return Application::shared()->mainWindow().get() == this; }

void Window::orderFront() {
  if (visible_) return;
  visible_ = true;
  const auto controller = contentViewController_;  // a hook may replace it
  tellControllers(controller, [](ViewController& c) { c.viewWillAppear(); });
  layoutPass();
  tellControllers(controller, [](ViewController& c) { c.viewDidAppear(); });
}

void Window::disappear() {
  if (!visible_) return;
  const auto controller = contentViewController_;
  tellControllers(controller, [](ViewController& c) { c.viewWillDisappear(); });
  visible_ = false;
  tellControllers(controller, [](ViewController& c) { c.viewDidDisappear(); });
}

void Window::orderOut() {
  const Ptr self = shared_from_this();  // an observer of the resignation may let go of it
  const auto application = Application::shared();
  const bool wasKey = isKeyWindow();
  if (wasKey) application->keyWindow_.reset();
  if (isMainWindow()) application->mainWindow_.reset();
  if (wasKey) postDidResignKey(self);
  disappear();
}

void Window::makeKeyWindow() {
  const Ptr self = shared_from_this();
  const auto application = Application::shared();
  const Ptr previous = application->keyWindow();
  application->keyWindow_ = self;
  if (previous && previous != self) postDidResignKey(previous);
}

void Window::makeMainWindow() { Application::shared()->mainWindow_ = weak_from_this(); }

void Window::makeKeyAndOrderFront() {
  // Keep this window alive through the hooks, whoever else lets go of it.
  const Ptr self = shared_from_this();
  orderFront();
  makeKeyWindow();
  makeMainWindow();
}

void Window::close() {
  const Ptr self = shared_from_this();
  if (const auto told = delegate()) told->windowWillClose(*this);
  orderOut();
}

void Window::performClose() {
  const Ptr self = shared_from_this();
  if (const auto asked = delegate(); asked && !asked->windowShouldClose(*this)) return;
  close();
}

void Window::layoutPass() {
  needsLayout_ = false;
  const auto controller = contentViewController_;
  tellControllers(controller, [](ViewController& c) { c.viewWillLayout(); });
  tellControllers(controller, [](ViewController& c) { c.viewDidLayout(); });
}

void Window::layoutIfNeeded() {
  if (needsLayout_) layoutPass();
}

bool Window::setFrameAutosaveName(std::string name) {
  frameAutosaveName_ = std::move(name);
  if (frameAutosaveName_.empty()) return true;
  if (!setFrameUsingName(frameAutosaveName_)) saveFrameUsingName(frameAutosaveName_);
  return true;
}

void Window::saveFrameUsingName(std::string_view name) const {
  if (name.empty()) return;
  UserDefaults::standard()->set(frameKey(name), frame_.toString());
}

bool Window::setFrameUsingName(std::string_view name) {
  if (name.empty()) return false;
  const auto text = UserDefaults::standard()->stringForKey(frameKey(name));
  if (!text) return false;
  const auto rect = Rect::fromString(*text);
  // A damaged entry is left alone: the window keeps its frame, and the next
  // frame change writes a sound one.
  if (!rect) return false;
  setFrame(*rect);
  return true;
}

std::string Window::description() const {
  return fmt::format("<{}: 0x{:016x}; title = \"{}\"; frame = {}>", className(),
                     reinterpret_cast<std::uintptr_t>(this), title_, frame_.description());
}

}  // namespace vantrel
