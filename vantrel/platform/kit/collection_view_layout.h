// File: vantrel/platform/kit/collection_view_layout.h
//
// `CollectionViewLayoutAttributes`, where a layout puts one element, and
// `CollectionViewFlowLayout`, the base flow layout: one section of items
// placed in rows that fill a collection view's width, top to bottom
// (y grows downwards, as in a collection view).
//
//   auto layout = CollectionViewFlowLayout::create();
//   layout->setCollectionViewWidth(300);
//   layout->setSectionInset(EdgeInsets(10, 10, 10, 10));
//   layout->setItemSizes({Size(80, 40), Size(80, 20), Size(200, 40)});
//   auto shown = layout->layoutAttributesForElements(Rect(0, 0, 300, 500));
//   shown[1]->frame()          (150, 20, 80, 20): centred on its row
//
// Rows: items are taken in order while their widths and the minimum
// inter-item spacing between them fit the width inside the section inset
// (every row takes at least one item). The spare width of a row is spread
// evenly between its items, so its first item starts at the left inset and
// its last ends at the right inset; a row of one item is centred. Each item
// is centred vertically on its row, whose height is its tallest item's;
// rows are the minimum line spacing apart, the first at the top inset. A
// size with a NaN side places that item at NaN there (it never counts as
// the tallest).
//
// The layout keeps one attributes object per item, made when the layout is
// prepared again (any setter below marks it so) and handed out as the same
// objects by every query until then, so a subclass may change them in
// place. `layoutAttributesForElements` answers, in item order, those whose
// frame is not known to lie wholly outside the rectangle (a NaN coordinate
// leaves an element in).
//
// Main-thread objects: not thread-safe.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "vantrel/platform/foundation/values/index_path.h"
#include "vantrel/core/geometry.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class CollectionViewLayoutAttributes {
 public:
  using Ptr = std::shared_ptr<CollectionViewLayoutAttributes>;

  [[nodiscard]] static Ptr create(IndexPath indexPath) { return Ptr(new CollectionViewLayoutAttributes(indexPath)); }

  CollectionViewLayoutAttributes(const CollectionViewLayoutAttributes&) = delete;
  CollectionViewLayoutAttributes& operator=(const CollectionViewLayoutAttributes&) = delete;

  [[nodiscard]] const IndexPath& indexPath() const { return indexPath_; }
  [[nodiscard]] Rect frame() const { return frame_; }
  void setFrame(Rect frame) { frame_ = frame; }

 private:
  explicit CollectionViewLayoutAttributes(IndexPath indexPath) : indexPath_(indexPath) {}
  IndexPath indexPath_;
  Rect frame_;
};

class CollectionViewFlowLayout {
 public:
  using Ptr = std::shared_ptr<CollectionViewFlowLayout>;
  using AttributesList = std::vector<CollectionViewLayoutAttributes::Ptr>;

  // Item size 50 x 50, spacings 10, no inset, width 0, no items.
  [[nodiscard]] static Ptr create() { return Ptr(new CollectionViewFlowLayout()); }
  virtual ~CollectionViewFlowLayout() = default;
  CollectionViewFlowLayout(const CollectionViewFlowLayout&) = delete;
  CollectionViewFlowLayout& operator=(const CollectionViewFlowLayout&) = delete;

  // The width of the collection view the items flow in.
  [[nodiscard]] double collectionViewWidth() const { return width_; }
  void setCollectionViewWidth(double width);
  // The size of every item without a size of its own.
  [[nodiscard]] Size itemSize() const { return itemSize_; }
  void setItemSize(Size size);
  // The items of the section, one size each: their number is the item count.
  [[nodiscard]] const std::vector<Size>& itemSizes() const { return itemSizes_; }
  void setItemSizes(std::vector<Size> sizes);
  // `count` items of `itemSize()`.
  void setNumberOfItems(std::int64_t count);
  [[nodiscard]] EdgeInsets sectionInset() const { return sectionInset_; }
  void setSectionInset(EdgeInsets inset);
  [[nodiscard]] double minimumInteritemSpacing() const { return interitemSpacing_; }
  void setMinimumInteritemSpacing(double spacing);
  [[nodiscard]] double minimumLineSpacing() const { return lineSpacing_; }
  void setMinimumLineSpacing(double spacing);

  // See the top of this file.
  [[nodiscard]] virtual AttributesList layoutAttributesForElements(Rect rect);
  // The attributes of one item (the same object the list holds), or null.
  [[nodiscard]] CollectionViewLayoutAttributes::Ptr layoutAttributesForItem(IndexPath indexPath);
  // The width and the bottom of the last row plus the bottom inset.
  [[nodiscard]] Size collectionViewContentSize();

 protected:
  CollectionViewFlowLayout() = default;

 private:
  void prepareIfNeeded();
  void invalidate() { prepared_ = false; }

  double width_ = 0;
  Size itemSize_{50, 50};
  std::vector<Size> itemSizes_;
  EdgeInsets sectionInset_;
  double interitemSpacing_ = 10;
  double lineSpacing_ = 10;
  bool prepared_ = false;
  AttributesList attributes_;
  double contentHeight_ = 0;
};

// The highlight state of a collection-view item, with the platform's raw
// values.
enum class CollectionViewItemHighlightState : std::int64_t {
  none = 0,
  forSelection = 1,
  forDeselection = 2,
  asDropTarget = 3,
};

}  // namespace vantrel
