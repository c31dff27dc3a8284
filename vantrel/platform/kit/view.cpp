#include "vantrel/platform/kit/view.h"

#include <algorithm>
#include <cstdint>
#include <typeinfo>

#include <fmt/format.h>

#include "vantrel/core/describe.h"
#include "vantrel/core/fatal.h"

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
  frame_ = frame;
  bounds_.size = frame.size;
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

std::string View::className() const {
  const std::string full = typeName(typeid(*this));
  const std::size_t templateStart = full.find('<');
  const std::size_t lastScope = full.rfind("::", templateStart);
  return lastScope == std::string::npos ? full : full.substr(lastScope + 2);
}

std::string View::description() const {
  return fmt::format("<{}: 0x{:016x}; frame = {}>", className(), reinterpret_cast<std::uintptr_t>(this),
                     frame_.description());
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

}  // namespace vantrel
