#include "vantrel/platform/kit/view.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <cstdint>

#include <fmt/format.h>

#include "vantrel/core/fatal.h"
#include "vantrel/platform/kit/window.h"

namespace vantrel {
namespace {

// Orientation as an index that cannot leave the two-element arrays, even for
// a value cast from an out-of-range integer.
std::size_t slot(LayoutOrientation orientation) {
  return orientation == LayoutOrientation::vertical ? 1 : 0;
}

}  // namespace

View::View(Rect frame) : frame_(frame), bounds_(Point(), frame.size) {}

View::~View() = default;

View::Ptr View::create(Rect frame) { return Ptr(new View(frame)); }

void View::setFrame(Rect frame) {
  const bool changed = frame != frame_;
  frame_ = frame;
  bounds_.size = frame.size;
  if (changed) updateTrackingAreas();
}

bool View::isDescendantOf(const View& ancestor) const {
  for (const View* view = this; view != nullptr;) {
    if (view == &ancestor) return true;
    const Ptr parent = view->superview();
    view = parent.get();  // the tree above holds the parent alive meanwhile
  }
  return false;
}

void View::addSubview(const Ptr& viewReference) {
  // A copy: the caller may pass an element of another view's subview list,
  // which the removal below erases.
  const Ptr view = viewReference;
  if (!view) fatal("addSubview: the view is null");
  // The subview list is owning, so adding an ancestor would make a cycle
  // that is never freed.
  if (isDescendantOf(*view)) {
    fatal(fmt::format("addSubview: {} is this view or one of its ancestors", view->description()));
  }
  view->removeFromSuperview();
  view->superview_ = weak_from_this();
  subviews_.push_back(view);
}

void View::removeFromSuperview() {
  const Ptr parent = superview();
  superview_.reset();
  if (!parent) return;
  auto& siblings = parent->subviews_;
  const auto found = std::find_if(siblings.begin(), siblings.end(),
                                  [this](const Ptr& v) { return v.get() == this; });
  // Erasing may drop the last owner of this view: `parent` stays alive, this
  // object may not, so nothing of it is touched afterwards.
  if (found != siblings.end()) siblings.erase(found);
}

std::string View::description() const {
  return fmt::format("<{}: 0x{:016x}; frame = {}>", className(), reinterpret_cast<std::uintptr_t>(this),
                     frame_.description());
}

std::shared_ptr<Window> View::window() const {
  const View* view = this;
  Ptr parent = superview();
  Ptr keep;  // holds each ancestor while it is looked at
  while (parent) {
    keep = parent;
    view = keep.get();
    parent = view->superview();
  }
  return view->window_.lock();
}

std::shared_ptr<Responder> View::nextResponder() const {
  if (auto next = explicitNextResponder()) return next;
  if (auto parent = superview()) return parent;
  return window_.lock();
}

bool View::isHiddenOrHasHiddenAncestor() const {
  if (hidden_) return true;
  for (Ptr view = superview(); view; view = view->superview()) {
    if (view->hidden_) return true;
  }
  return false;
}

namespace {

// Bounds units per frame unit along each axis; a zero bounds side maps 1:1
// so nothing divides by zero.
double scaleOf(double frameSide, double boundsSide) { return boundsSide != 0 ? frameSide / boundsSide : 1.0; }

}  // namespace

Point View::toBase(Point point) const {
  Point q = point;
  const View* view = this;
  Ptr keep;
  while (view != nullptr) {
    const Rect frame = view->frame_;
    const Rect bounds = view->bounds_;
    const double dx = (q.x - bounds.origin.x) * scaleOf(frame.size.width, bounds.size.width);
    const double dy = (q.y - bounds.origin.y) * scaleOf(frame.size.height, bounds.size.height);
    const double fromBottom = view->isFlipped() ? frame.size.height - dy : dy;
    const Ptr parent = view->superview();
    const bool parentFlipped = parent && parent->isFlipped();
    q.x = frame.origin.x + dx;
    q.y = parentFlipped ? frame.origin.y + (frame.size.height - fromBottom) : frame.origin.y + fromBottom;
    keep = parent;
    view = keep.get();
  }
  return q;
}

Point View::fromBase(Point point) const {
  std::vector<Ptr> chain;  // the ancestors, nearest first
  for (Ptr view = superview(); view; view = view->superview()) chain.push_back(view);
  Point q = point;
  const auto step = [&q](const View& view, bool parentFlipped) {
    const Rect frame = view.frame_;
    const Rect bounds = view.bounds_;
    const double dx = q.x - frame.origin.x;
    const double fromBottom = parentFlipped ? frame.size.height - (q.y - frame.origin.y) : q.y - frame.origin.y;
    const double dy = view.isFlipped() ? frame.size.height - fromBottom : fromBottom;
    q.x = bounds.origin.x + dx / scaleOf(frame.size.width, bounds.size.width);
    q.y = bounds.origin.y + dy / scaleOf(frame.size.height, bounds.size.height);
  };
  // From the root down: chain[i]'s superview is chain[i + 1].
  for (std::size_t i = chain.size(); i-- > 0;) {
    step(*chain[i], i + 1 < chain.size() && chain[i + 1]->isFlipped());
  }
  step(*this, !chain.empty() && chain.front()->isFlipped());
  return q;
}

Point View::convertPointToView(Point point, const View* view) const {
  const Point base = toBase(point);
  return view != nullptr ? view->fromBase(base) : base;
}

Point View::convertPointFromView(Point point, const View* view) const {
  return fromBase(view != nullptr ? view->toBase(point) : point);
}

namespace {

Rect normalisedThrough(Rect rect, const std::function<Point(Point)>& map) {
  const Point a = map(rect.origin);
  const Point b = map(Point(rect.origin.x + rect.size.width, rect.origin.y + rect.size.height));
  return Rect(std::min(a.x, b.x), std::min(a.y, b.y), std::abs(b.x - a.x), std::abs(b.y - a.y));
}

}  // namespace

Rect View::convertRectToView(Rect rect, const View* view) const {
  return normalisedThrough(rect, [&](Point p) { return convertPointToView(p, view); });
}

Rect View::convertRectFromView(Rect rect, const View* view) const {
  return normalisedThrough(rect, [&](Point p) { return convertPointFromView(p, view); });
}

View::Ptr View::nextValidKeyView() const {
  // The links are weak and set by hand, so they may form any graph: a view
  // met twice ends the walk.
  std::vector<const View*> seen;
  for (Ptr candidate = nextKeyView(); candidate; candidate = candidate->nextKeyView()) {
    if (std::find(seen.begin(), seen.end(), candidate.get()) != seen.end()) return nullptr;
    seen.push_back(candidate.get());
    if (candidate->acceptsFirstResponder() && !candidate->isHiddenOrHasHiddenAncestor()) return candidate;
  }
  return nullptr;
}

void View::setWantsLayer(bool wants) {
  if (!wants) {
    layer_.reset();
  } else if (!layer_) {
    layer_ = Layer::create();
  }
}

void View::registerForDraggedTypes(const std::vector<PasteboardType>& types) {
  for (const auto& type : types) {
    if (std::find(draggedTypes_.begin(), draggedTypes_.end(), type) == draggedTypes_.end()) {
      draggedTypes_.push_back(type);
    }
  }
}

void View::unregisterDraggedTypes() { draggedTypes_.clear(); }

void View::draw(Rect /*dirtyRect*/) {}

void View::setNeedsDisplay(bool needs) {
  needsDisplay_ = needs;
  if (needs) ++needsDisplayCount_;
}

void View::addLayoutGuide(const LayoutGuide::Ptr& guideReference) {
  const LayoutGuide::Ptr guide = guideReference;  // the old owner's list may hold the caller's copy
  if (!guide) fatal("addLayoutGuide: the guide is null");
  if (const auto owner = guide->owningView()) {
    if (owner.get() == this) return;
    owner->removeLayoutGuide(guide);
  }
  guide->owningView_ = weak_from_this();
  layoutGuides_.push_back(guide);
}

void View::removeLayoutGuide(const LayoutGuide::Ptr& guideReference) {
  const LayoutGuide::Ptr guide = guideReference;
  const auto found = std::find(layoutGuides_.begin(), layoutGuides_.end(), guide);
  if (found == layoutGuides_.end()) return;
  guide->owningView_.reset();
  layoutGuides_.erase(found);
}

// Both take copies: the caller may pass an element of a constraint list
// that the bookkeeping erases.
void View::install(const LayoutConstraint::Ptr constraint) {
  const Ptr current = constraint->installedOn();
  if (current.get() == this) return;
  if (current) current->uninstall(constraint);
  constraints_.push_back(constraint);
  constraint->installedOn_ = weak_from_this();
}

void View::uninstall(const LayoutConstraint::Ptr constraint) {
  const auto found = std::find(constraints_.begin(), constraints_.end(), constraint);
  if (found == constraints_.end()) return;
  constraint->installedOn_.reset();
  constraints_.erase(found);
}

void View::addConstraint(const LayoutConstraint::Ptr& constraint) {
  if (!constraint) fatal("addConstraint: the constraint is null");
  install(constraint);
}

void View::addConstraints(const std::vector<LayoutConstraint::Ptr>& constraints) {
  // Iterate a copy: the list may be another view's, which installing here
  // shrinks.
  const std::vector<LayoutConstraint::Ptr> list = constraints;
  for (const auto& c : list) addConstraint(c);
}

void View::removeConstraint(const LayoutConstraint::Ptr& constraint) {
  if (constraint) uninstall(constraint);
}

void View::removeConstraints(const std::vector<LayoutConstraint::Ptr>& constraints) {
  // Iterate a copy: `constraints()` of this view itself is a common argument.
  const std::vector<LayoutConstraint::Ptr> list = constraints;
  for (const auto& c : list) removeConstraint(c);
}

Size View::intrinsicContentSize() const { return Size(kViewNoIntrinsicMetric, kViewNoIntrinsicMetric); }

LayoutPriority View::contentHuggingPriority(LayoutOrientation orientation) const {
  return hugging_[slot(orientation)];
}

void View::setContentHuggingPriority(LayoutPriority priority, LayoutOrientation orientation) {
  hugging_[slot(orientation)] = priority;
}

LayoutPriority View::contentCompressionResistancePriority(LayoutOrientation orientation) const {
  return compressionResistance_[slot(orientation)];
}

void View::setContentCompressionResistancePriority(LayoutPriority priority,
                                                   LayoutOrientation orientation) {
  compressionResistance_[slot(orientation)] = priority;
}

// --- Mouse and tracking areas -------------------------------------------------------

void View::addTrackingArea(const TrackingArea::Ptr& area) {
  if (!area) return;
  if (std::find(trackingAreas_.begin(), trackingAreas_.end(), area) != trackingAreas_.end()) return;
  trackingAreas_.push_back(area);
}

void View::removeTrackingArea(const TrackingArea::Ptr& areaReference) {
  const TrackingArea::Ptr area = areaReference;  // may be an element of the list
  std::erase(trackingAreas_, area);
}

void View::updateTrackingAreas() {}

void View::displayIfNeeded() {
  if (hidden_) return;
  const Ptr self = shared_from_this();  // a drawing may drop the last owner
  if (needsDisplay_) {
    needsDisplay_ = false;
    draw(bounds_);
  }
  const std::vector<Ptr> children = subviews_;
  for (const auto& child : children) child->displayIfNeeded();
}

}  // namespace vantrel
