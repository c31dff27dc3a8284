// File: vantrel/platform/kit/layout_guide.h
//
// `LayoutGuide`: a rectangle that takes part in layout like a view but draws
// nothing and has no subviews; constraints may name it as an item. A guide
// belongs to the view it was added to (its owning view), and a constraint on
// it is installed where a constraint on that view would be. A window's
// content layout guide is owned by its content view.
//
//   auto guide = LayoutGuide::create();
//   container->addLayoutGuide(guide);
//   LayoutConstraint::create(label, LayoutAttribute::top, LayoutRelation::equal,
//                            guide, LayoutAttribute::top, 1.0, 8)->setActive(true);
//
// There is no solver: `layoutFrame()` answers the owning view's bounds (a
// guide without one answers the zero rectangle). Lifetimes: held by
// `std::shared_ptr`; the owning view holds its guides, a guide holds its
// view weakly. Main-thread objects: not thread-safe.
#pragma once

#include <memory>
#include <string>

#include "vantrel/core/geometry.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class View;

class LayoutGuide {
 public:
  using Ptr = std::shared_ptr<LayoutGuide>;

  [[nodiscard]] static Ptr create() { return Ptr(new LayoutGuide()); }

  LayoutGuide(const LayoutGuide&) = delete;
  LayoutGuide& operator=(const LayoutGuide&) = delete;

  // The view this guide was added to, while it is alive and holds it.
  [[nodiscard]] std::shared_ptr<View> owningView() const { return owningView_.lock(); }
  [[nodiscard]] const std::string& identifier() const { return identifier_; }
  void setIdentifier(std::string identifier) { identifier_ = std::move(identifier); }
  [[nodiscard]] Rect layoutFrame() const;

  // "<LayoutGuide: 0x…>", with "; identifier = \"…\"" before the '>' when set.
  [[nodiscard]] std::string description() const;

 private:
  friend class View;  // sets and clears the owner
  LayoutGuide() = default;

  std::weak_ptr<View> owningView_;
  std::string identifier_;
};

}  // namespace vantrel
