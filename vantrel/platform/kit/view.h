// File: vantrel/platform/kit/view.h
//
// `View`: a headless rectangle in a tree of views. It keeps a frame and
// bounds, a flipped flag, its subviews and a weak link to its superview, the
// layout constraints installed on it (in insertion order), the flag that says
// whether its autoresizing mask stands for constraints (on by default), and
// its content-hugging and compression-resistance priorities. It draws
// nothing; everything it keeps can be read back by a test.
//
//   auto window = View::create(Rect(0, 0, 400, 300));
//   auto label = View::create();
//   window->addSubview(label);
//   label->setTranslatesAutoresizingMaskIntoConstraints(false);
//   window->addConstraint(LayoutConstraint::create(label, LayoutAttribute::top,
//       LayoutRelation::equal, window, LayoutAttribute::top, 1.0, 8));
//
// Lifetimes: views live in `std::shared_ptr` (made by `create`; identity is
// the pointer). A view owns its subviews and the constraints installed on
// it; the superview link is weak, so dropping the root frees the tree.
//
// Extending (controls, image views, text fields, …): derive from `View`,
// keep the constructor protected and add a `static std::shared_ptr<Derived>
// create(…)` that calls `std::shared_ptr<Derived>(new Derived(…))`. Override
// `intrinsicContentSize()` for content of its own, `isFlipped()` for a fixed
// flip, and `description()` for extra state. `className()` already answers
// the derived class's name.
//
// Stops (`fatal`): adding a null view, the view itself or one of its
// ancestors as a subview (a cycle); installing a null constraint. Main-thread
// objects: not thread-safe.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "vantrel/platform/kit/geometry.h"
#include "vantrel/platform/kit/layout_constraint.h"

#include "vantrel/core/api.h"
namespace vantrel VANTREL_API {

// Both fields of `intrinsicContentSize()` for a view without content of its
// own.
inline constexpr double kViewNoIntrinsicMetric = -1.0;

class View : public std::enable_shared_from_this<View> {
 public:
  using Ptr = std::shared_ptr<View>;

  [[nodiscard]] static Ptr create(Rect frame = Rect());
  virtual ~View();

  // Identity is the object; a copy would have no place in the tree.
  View(const View&) = delete;
  View& operator=(const View&) = delete;

  // Frame in the superview's coordinates. Setting it resizes the bounds to
  // the frame's size and keeps the bounds origin.
  [[nodiscard]] Rect frame() const { return frame_; }
  void setFrame(Rect frame);
  // Own coordinates; (0, 0, frame size) until set. Setting it leaves the
  // frame alone.
  [[nodiscard]] Rect bounds() const { return bounds_; }
  void setBounds(Rect bounds) { bounds_ = bounds; }
  // True when y grows downward. A subclass may override it with a constant.
  [[nodiscard]] virtual bool isFlipped() const { return flipped_; }
  void setFlipped(bool flipped) { flipped_ = flipped; }

  [[nodiscard]] const std::vector<Ptr>& subviews() const { return subviews_; }
  [[nodiscard]] Ptr superview() const { return superview_.lock(); }
  // Appends `view` as the last subview, first taking it out of its current
  // superview (this one included).
  void addSubview(const Ptr& view);
  // Does nothing without a superview. Constraints stay where they are
  // installed.
  void removeFromSuperview();
  // True for the view itself and for every view below `ancestor`.
  [[nodiscard]] bool isDescendantOf(const View& ancestor) const;

  // The dynamic class name without namespaces: "View", "Button".
  [[nodiscard]] virtual std::string className() const;
  // "<View: 0x00005612a4b0c2d0; frame = (0.0, 0.0, 10.0, 20.0)>", the address
  // as 16 lower-case hexadecimal digits.
  [[nodiscard]] virtual std::string description() const;

  [[nodiscard]] bool translatesAutoresizingMaskIntoConstraints() const {
    return translatesAutoresizingMask_;
  }
  void setTranslatesAutoresizingMaskIntoConstraints(bool translates) {
    translatesAutoresizingMask_ = translates;
  }

  // Installed constraints in insertion order.
  [[nodiscard]] const std::vector<LayoutConstraint::Ptr>& constraints() const { return constraints_; }
  // Installs and activates; one already installed here keeps its place, one
  // installed elsewhere moves here.
  void addConstraint(const LayoutConstraint::Ptr& constraint);
  void addConstraints(const std::vector<LayoutConstraint::Ptr>& constraints);
  // Uninstalls and deactivates; constraints not installed here are ignored.
  void removeConstraint(const LayoutConstraint::Ptr& constraint);
  void removeConstraints(const std::vector<LayoutConstraint::Ptr>& constraints);

  // (kViewNoIntrinsicMetric, kViewNoIntrinsicMetric) unless a subclass has
  // content with a natural size.
  [[nodiscard]] virtual Size intrinsicContentSize() const;
  // Defaults: hugging kLayoutPriorityDefaultLow, compression resistance
  // kLayoutPriorityDefaultHigh, in both orientations.
  [[nodiscard]] LayoutPriority contentHuggingPriority(LayoutOrientation orientation) const;
  void setContentHuggingPriority(LayoutPriority priority, LayoutOrientation orientation);
  [[nodiscard]] LayoutPriority contentCompressionResistancePriority(LayoutOrientation orientation) const;
  void setContentCompressionResistancePriority(LayoutPriority priority, LayoutOrientation orientation);

 protected:
  explicit View(Rect frame);

 private:
  friend class LayoutConstraint;  // installs on activation
  void install(LayoutConstraint::Ptr constraint);
  void uninstall(LayoutConstraint::Ptr constraint);

  Rect frame_;
  Rect bounds_;
  bool flipped_ = false;
  bool translatesAutoresizingMask_ = true;
  std::weak_ptr<View> superview_;
  std::vector<Ptr> subviews_;
  std::vector<LayoutConstraint::Ptr> constraints_;
  LayoutPriority hugging_[2] = {kLayoutPriorityDefaultLow, kLayoutPriorityDefaultLow};
  LayoutPriority compressionResistance_[2] = {kLayoutPriorityDefaultHigh, kLayoutPriorityDefaultHigh};
};

}  // namespace vantrel
