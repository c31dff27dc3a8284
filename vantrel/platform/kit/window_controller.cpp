#include "vantrel/platform/kit/window_controller.h"

namespace vantrel {

WindowController::Ptr WindowController::create(const Window::Ptr& window) {
  Ptr controller(new WindowController());
  if (window) controller->setWindow(window);
  return controller;
}

WindowController::~WindowController() = default;

Window::Ptr WindowController::window() {
  if (!window_ && !triedLoading_) {
    triedLoading_ = true;
    loadWindow();
  }
  return window_;
}

void WindowController::setWindow(const Window::Ptr& window) {
  if (window_ && window_ != window) window_->windowController_.reset();
  window_ = window;
  if (!window_) return;
  window_->windowController_ = weak_from_this();
  if (!autosaveName_.empty()) window_->setFrameAutosaveName(autosaveName_);
}

void WindowController::showWindow() {
  if (const auto shown = window()) shown->makeKeyAndOrderFront();
}

void WindowController::close() {
  if (window_) window_->close();
}

void WindowController::setWindowFrameAutosaveName(std::string name) {
  autosaveName_ = std::move(name);
  if (window_) window_->setFrameAutosaveName(autosaveName_);
}

}  // namespace vantrel
