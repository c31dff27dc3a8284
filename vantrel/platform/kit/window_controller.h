// File: vantrel/platform/kit/window_controller.h
//
// `WindowController`: owns a window, shows and closes it, and keeps its
// frame autosave name.
//
//   auto controller = WindowController::create(Window::create(Rect(0, 0, 400, 300)));
//   controller->setWindowFrameAutosaveName("Inspector");  // frame kept and restored
//   controller->showWindow();                              // key and front
//   controller->close();
//
// `window()` loads the window when there is none yet: once, through
// `loadWindow()` (nothing by default, so a controller made without a window
// keeps none). A window given to the controller names it as its window
// controller (weakly), which also makes the controller the window's next
// responder. The autosave name is passed on to every window the controller
// gets.
//
// Lifetimes: held by `std::shared_ptr`; the controller owns its window.
// Main-thread objects: not thread-safe.
#pragma once

#include <memory>
#include <string>

#include "vantrel/platform/kit/responder.h"
#include "vantrel/platform/kit/window.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class WindowController : public Responder, public std::enable_shared_from_this<WindowController> {
 public:
  using Ptr = std::shared_ptr<WindowController>;

  [[nodiscard]] static Ptr create(const Window::Ptr& window = nullptr);
  ~WindowController() override;

  // The window, loaded (once) when there is none.
  [[nodiscard]] Window::Ptr window();
  [[nodiscard]] bool isWindowLoaded() const { return static_cast<bool>(window_); }
  void setWindow(const Window::Ptr& window);

  // Makes the window (loaded when needed) key and front; nothing without one.
  void showWindow();
  // Closes the window when there is one.
  void close();

  [[nodiscard]] const std::string& windowFrameAutosaveName() const { return autosaveName_; }
  void setWindowFrameAutosaveName(std::string name);

 protected:
  WindowController() = default;
  // Called by `window()` the first time there is no window.
  virtual void loadWindow() {}

 private:
  Window::Ptr window_;
  std::string autosaveName_;
  bool triedLoading_ = false;
};

}  // namespace vantrel
