#include "vantrel/platform/kit/view_controller.h"

#include <algorithm>

#include <fmt/format.h>

#include "vantrel/core/fatal.h"

namespace vantrel {

ViewController::~ViewController() = default;

const View::Ptr& ViewController::view() {
  if (!view_) {
    loadView();
    if (!view_) fatal(fmt::format("{}: loadView() installed no view", className()));
    viewDidLoad();
  }
  return view_;
}

void ViewController::loadView() { setView(View::create()); }

void ViewController::addChild(const Ptr& childReference) {
  const Ptr child = childReference;  // the former parent's list may hold the caller's copy
  if (!child) fatal("addChild: the controller is null");
  // Children are owned: a parent placed below itself would never be freed.
  for (Ptr ancestor = shared_from_this(); ancestor; ancestor = ancestor->parent()) {
    if (ancestor == child) fatal(fmt::format("addChild: {} is this controller or one of its parents",
                                             child->description()));
  }
  child->removeFromParent();
  child->parent_ = weak_from_this();
  children_.push_back(child);
}

void ViewController::removeFromParent() {
  const Ptr parent = parent_.lock();
  parent_.reset();
  if (!parent) return;
  auto& siblings = parent->children_;
  const auto found =
      std::find_if(siblings.begin(), siblings.end(), [this](const Ptr& c) { return c.get() == this; });
  // May drop the last owner of this controller: nothing of it is touched after.
  if (found != siblings.end()) siblings.erase(found);
}

}  // namespace vantrel
