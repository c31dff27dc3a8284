// File: vantrel/platform/kit/view_controller.h
//
// `ViewController`: owns a view, made on first demand by `loadView()`, and
// hears its life cycle; controllers nest (a parent owns its children, a
// child knows its parent weakly).
//
//   class Panel : public ViewController {
//    protected:
//     void loadView() override { setView(View::create(Rect(0, 0, 300, 200))); }
//     void viewWillAppear() override { ViewController::viewWillAppear(); ... }
//   };
//   // Panel adds `static std::shared_ptr<Panel> create()` (see view.h)
//   window->setContentViewController(panel);   // loads the view
//
// `view()` loads the view when there is none yet: `loadView()` (a plain
// view by default) must install one with `setView`; one that does not stops
// the program (`fatal`). `viewDidLoad()` follows. The appear, disappear and
// layout hooks are sent by the window whose content view controller this is
// (see window.h); the base versions do nothing.
//
// Lifetimes: held by `std::shared_ptr`. Main-thread objects: not thread-safe.
#pragma once

#include <concepts>
#include <memory>
#include <string>
#include <vector>

#include "vantrel/platform/kit/responder.h"
#include "vantrel/platform/kit/view.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class ViewController : public Responder, public std::enable_shared_from_this<ViewController> {
 public:
  using Ptr = std::shared_ptr<ViewController>;

  [[nodiscard]] static Ptr create() { return Ptr(new ViewController()); }
  ~ViewController() override;

  // The view, loaded when needed.
  [[nodiscard]] const View::Ptr& view();
  [[nodiscard]] bool isViewLoaded() const { return static_cast<bool>(view_); }
  void setView(View::Ptr view) { view_ = std::move(view); }

  [[nodiscard]] const std::string& title() const { return title_; }
  void setTitle(std::string title) { title_ = std::move(title); }

  // --- Containment ---------------------------------------------------------------
  [[nodiscard]] Ptr parent() const { return parent_.lock(); }
  [[nodiscard]] const std::vector<Ptr>& children() const { return children_; }
  // Takes the child from its former parent. Adding null, the controller
  // itself or one of its parents stops the program (`fatal`).
  void addChild(const Ptr& child);
  void removeFromParent();

  // --- Life cycle ---------------------------------------------------------------
  virtual void loadView();
  virtual void viewDidLoad() {}
  virtual void viewWillAppear() {}
  virtual void viewDidAppear() {}
  virtual void viewWillDisappear() {}
  virtual void viewDidDisappear() {}
  virtual void viewWillLayout() {}
  virtual void viewDidLayout() {}

 protected:
  ViewController() = default;

 private:
  View::Ptr view_;
  std::string title_;
  std::weak_ptr<ViewController> parent_;
  std::vector<Ptr> children_;
};

}  // namespace vantrel
