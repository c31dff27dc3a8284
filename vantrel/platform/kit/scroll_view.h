// File: vantrel/platform/kit/scroll_view.h
//
// `ScrollView` and `ClipView`: a scroll view shows part of a larger document
// view through its clip view, with optional scrollers and a border.
//
//   auto scroll = ScrollView::create(Rect(0, 0, 200, 100));
//   scroll->setHasVerticalScroller(true);
//   scroll->setBorderType(BorderType::bezelBorder);
//   scroll->setDocumentView(table);    // becomes the clip view's subview
//   scroll->contentView()->documentView() == table    // true
//
// A scroll view is made with its clip view as its only subview, covering its
// bounds. The document view is the clip view's one document subview: setting
// another takes the previous one out of the tree, setting null just removes
// it. The headless kit scrolls nothing and draws no scrollers; the flags are
// kept for whoever inspects them.
//
// Main-thread objects: not thread-safe.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "vantrel/core/geometry.h"
#include "vantrel/platform/kit/view.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// The platform's numbering, kept so raw values can be exchanged.
enum class BorderType : std::int64_t {
  noBorder = 0,
  lineBorder = 1,
  bezelBorder = 2,
  grooveBorder = 3,
};

// "noBorder", "lineBorder", "bezelBorder", "grooveBorder"
[[nodiscard]] std::string_view description(BorderType type);

class ClipView : public View {
 public:
  using Ptr = std::shared_ptr<ClipView>;

  [[nodiscard]] static Ptr create(Rect frame = Rect());

  // The document view, or null.
  [[nodiscard]] View::Ptr documentView() const { return document_.lock(); }
  void setDocumentView(const View::Ptr& view);

 protected:
  explicit ClipView(Rect frame) : View(frame) {}

 private:
  // The subview list owns it; this only says which subview it is.
  std::weak_ptr<View> document_;
};

class ScrollView : public View {
 public:
  using Ptr = std::shared_ptr<ScrollView>;

  // No scrollers, scrollers hidden automatically, no border.
  [[nodiscard]] static Ptr create(Rect frame = Rect());

  [[nodiscard]] const ClipView::Ptr& contentView() const { return contentView_; }
  [[nodiscard]] View::Ptr documentView() const { return contentView_->documentView(); }
  void setDocumentView(const View::Ptr& view) { contentView_->setDocumentView(view); }

  [[nodiscard]] bool hasVerticalScroller() const { return hasVerticalScroller_; }
  void setHasVerticalScroller(bool has) { hasVerticalScroller_ = has; }
  [[nodiscard]] bool hasHorizontalScroller() const { return hasHorizontalScroller_; }
  void setHasHorizontalScroller(bool has) { hasHorizontalScroller_ = has; }
  [[nodiscard]] bool autohidesScrollers() const { return autohidesScrollers_; }
  void setAutohidesScrollers(bool autohides) { autohidesScrollers_ = autohides; }
  [[nodiscard]] BorderType borderType() const { return borderType_; }
  void setBorderType(BorderType type) { borderType_ = type; }

 protected:
  explicit ScrollView(Rect frame);

 private:
  ClipView::Ptr contentView_;
  bool hasVerticalScroller_ = false;
  bool hasHorizontalScroller_ = false;
  bool autohidesScrollers_ = true;
  BorderType borderType_ = BorderType::noBorder;
};

}  // namespace vantrel
