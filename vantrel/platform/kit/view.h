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
// Responder chain: a view's next responder is the one set with
// `setNextResponder`, else its superview, else the window whose content view
// it is. Key-view loop: `nextKeyView` links (weak) make the loop the window
// walks; `nextValidKeyView` is the first view along the links (the view
// itself included, when the links lead back to it) that accepts first
// responder and is not hidden, or none; the walk stops where it repeats.
//
// Coordinates: `convertPoint` / `convertRect` map between this view's
// bounds and another view's, or the window's base coordinates when the
// other view is null (origin at the lower-left of the content view's frame,
// y up). Flipped views count y from their top; a bounds size other than the
// frame size scales.
//
// Mouse: a window hands a click to the view `hitTest` finds
// (`mouseDown`, from `Responder`) and the pointer's moves to the tracking
// areas of its views (tracking_area.h); a frame change calls
// `updateTrackingAreas()`.
//
// Drawing: the kit draws nothing itself. A snapshot (appkit) fills the
// layer's background colour over the bounds, then calls `draw(dirtyRect)`
// with a current drawing context in the view's own coordinates.
// `setNeedsDisplay(true)` only counts (`needsDisplayCount`).
//
// Stops (`fatal`): adding a null view, the view itself or one of its
// ancestors as a subview (a cycle); installing a null constraint. Main-thread
// objects: not thread-safe.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vantrel/platform/foundation/pasteboard/pasteboard.h"
#include "vantrel/core/geometry.h"
#include "vantrel/platform/kit/layer.h"
#include "vantrel/platform/kit/layout_constraint.h"
#include "vantrel/platform/kit/layout_guide.h"
#include "vantrel/platform/kit/responder.h"
#include "vantrel/platform/kit/tracking_area.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// Both fields of `intrinsicContentSize()` for a view without content of its
// own.
inline constexpr double kViewNoIntrinsicMetric = -1.0;

class Window;

class View : public Responder, public std::enable_shared_from_this<View> {
 public:
  using Ptr = std::shared_ptr<View>;

  [[nodiscard]] static Ptr create(Rect frame = Rect());
  ~View() override;

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

  // "<View: 0x00005612a4b0c2d0; frame = (0.0, 0.0, 10.0, 20.0)>", the address
  // as 16 lower-case hexadecimal digits. (`className()`, from `Responder`,
  // answers "View", "Button", ….)
  [[nodiscard]] std::string description() const override;

  // --- Window and responder chain ------------------------------------------------
  // The window whose content view is this view or one of its ancestors.
  [[nodiscard]] std::shared_ptr<Window> window() const;
  [[nodiscard]] std::shared_ptr<Responder> nextResponder() const override;

  [[nodiscard]] bool isHidden() const { return hidden_; }
  void setHidden(bool hidden) { hidden_ = hidden; }
  // True when this view or one of its ancestors is hidden.
  [[nodiscard]] bool isHiddenOrHasHiddenAncestor() const;
  // -1 for a plain view; a subclass may keep a tag of its own.
  [[nodiscard]] virtual std::int64_t tag() const { return -1; }

  // --- Coordinates -------------------------------------------------------------
  // From this view's coordinates into `view`'s (null: the window's base
  // coordinates), and back. The two views need not share a window: both
  // go through their roots' base coordinates.
  [[nodiscard]] Point convertPointToView(Point point, const View* view) const;
  [[nodiscard]] Point convertPointFromView(Point point, const View* view) const;
  // The rectangle through its corners; the result is normalised.
  [[nodiscard]] Rect convertRectToView(Rect rect, const View* view) const;
  [[nodiscard]] Rect convertRectFromView(Rect rect, const View* view) const;

  // --- Key-view loop ---------------------------------------------------------------
  [[nodiscard]] Ptr nextKeyView() const { return nextKeyView_.lock(); }
  void setNextKeyView(const Ptr& view) { nextKeyView_ = view; }
  // See the top of this file.
  [[nodiscard]] Ptr nextValidKeyView() const;

  // --- Layer, drag types, drawing ----------------------------------------------------
  [[nodiscard]] bool wantsLayer() const { return static_cast<bool>(layer_); }
  // True makes the layer (once); false drops it with its colour.
  void setWantsLayer(bool wants);
  // Null unless the view wants a layer.
  [[nodiscard]] const Layer::Ptr& layer() const { return layer_; }

  // The drag types registered, in the order first registered, each once.
  [[nodiscard]] const std::vector<PasteboardType>& registeredDraggedTypes() const { return draggedTypes_; }
  // Adds the types not yet registered, in their order.
  virtual void registerForDraggedTypes(const std::vector<PasteboardType>& types);
  // Forgets every registered type.
  virtual void unregisterDraggedTypes();

  // Draws the view's own content into the current drawing context, in the
  // view's coordinates; nothing for a plain view.
  virtual void draw(Rect dirtyRect);
  [[nodiscard]] bool needsDisplay() const { return needsDisplay_; }
  // True counts one request.
  void setNeedsDisplay(bool needs);
  [[nodiscard]] std::int64_t needsDisplayCount() const { return needsDisplayCount_; }

  // --- Layout guides ------------------------------------------------------------------
  [[nodiscard]] const std::vector<LayoutGuide::Ptr>& layoutGuides() const { return layoutGuides_; }
  // Takes the guide from any view that owned it before.
  void addLayoutGuide(const LayoutGuide::Ptr& guide);
  void removeLayoutGuide(const LayoutGuide::Ptr& guide);

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

  // --- Layout ambiguity ------------------------------------------------------------------
  // With no solver nothing finds ambiguity on its own: false until set, so a
  // host or test can mark the views it knows to be ambiguous.
  [[nodiscard]] bool hasAmbiguousLayout() const { return hasAmbiguousLayout_; }
  void setHasAmbiguousLayout(bool ambiguous) { hasAmbiguousLayout_ = ambiguous; }

  // --- Hit testing and intrinsic-size invalidation --------------------------------
  // The deepest visible view under `point`, given in the superview's
  // coordinates (a view without superview: its frame's coordinates), or
  // null. A hidden view, or a point outside the frame (minimum edges inside,
  // maximum edges outside), answers null. Otherwise the subviews are asked
  // front-most (last) first, each with the point in this view's
  // coordinates; the first answer wins, and a subview answering null lets
  // the search go on behind it; when none answers, this view.
  [[nodiscard]] virtual Ptr hitTest(Point point);
  // Tells the layout that `intrinsicContentSize()` changed; the headless kit
  // only counts the calls.
  void invalidateIntrinsicContentSize() { ++intrinsicContentSizeInvalidationCount_; }
  [[nodiscard]] std::int64_t intrinsicContentSizeInvalidationCount() const {
    return intrinsicContentSizeInvalidationCount_;
  }

  // --- Mouse and tracking areas ---------------------------------------------------
  // The tracking areas in the order added.
  [[nodiscard]] const std::vector<TrackingArea::Ptr>& trackingAreas() const { return trackingAreas_; }
  // Adds the area once; null is ignored.
  void addTrackingArea(const TrackingArea::Ptr& area);
  // Unknown areas are ignored.
  void removeTrackingArea(const TrackingArea::Ptr& area);
  // Called when the view's frame changes, so a view rebuilds its areas for
  // its new geometry; nothing here.
  virtual void updateTrackingAreas();

  // Draws this view (`draw(bounds)`) when it needs display, then its
  // visible subviews, and clears the flag: the redraw a window makes after
  // handling an event.
  void displayIfNeeded();

 protected:
  explicit View(Rect frame);

 private:
  friend class LayoutConstraint;  // installs on activation
  friend class Window;            // links its content view
  void install(LayoutConstraint::Ptr constraint);
  void uninstall(LayoutConstraint::Ptr constraint);
  // From this view's coordinates into its root's base coordinates.
  [[nodiscard]] Point toBase(Point point) const;
  [[nodiscard]] Point fromBase(Point point) const;

  Rect frame_;
  Rect bounds_;
  bool flipped_ = false;
  bool translatesAutoresizingMask_ = true;
  std::weak_ptr<View> superview_;
  std::vector<Ptr> subviews_;
  std::vector<LayoutConstraint::Ptr> constraints_;
  std::vector<LayoutGuide::Ptr> layoutGuides_;
  std::weak_ptr<Window> window_;  // set on a window's content view only
  std::weak_ptr<View> nextKeyView_;
  Layer::Ptr layer_;
  std::vector<PasteboardType> draggedTypes_;
  bool hidden_ = false;
  bool needsDisplay_ = false;
  std::int64_t needsDisplayCount_ = 0;
  LayoutPriority hugging_[2] = {kLayoutPriorityDefaultLow, kLayoutPriorityDefaultLow};
  LayoutPriority compressionResistance_[2] = {kLayoutPriorityDefaultHigh, kLayoutPriorityDefaultHigh};
  bool hasAmbiguousLayout_ = false;
  std::int64_t intrinsicContentSizeInvalidationCount_ = 0;
  std::vector<TrackingArea::Ptr> trackingAreas_;
};

}  // namespace vantrel
