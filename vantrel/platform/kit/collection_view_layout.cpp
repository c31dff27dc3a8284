#include "vantrel/platform/kit/collection_view_layout.h"

#include <cstddef>

namespace vantrel {

void CollectionViewFlowLayout::setCollectionViewWidth(double width) {
  width_ = width;
  invalidate();
}

void CollectionViewFlowLayout::setItemSize(Size size) {
  itemSize_ = size;
  invalidate();
}

void CollectionViewFlowLayout::setItemSizes(std::vector<Size> sizes) {
  itemSizes_ = std::move(sizes);
  invalidate();
}

void CollectionViewFlowLayout::setNumberOfItems(std::int64_t count) {
  itemSizes_.assign(count > 0 ? static_cast<std::size_t>(count) : 0, itemSize_);
  invalidate();
}

void CollectionViewFlowLayout::setSectionInset(EdgeInsets inset) {
  sectionInset_ = inset;
  invalidate();
}

void CollectionViewFlowLayout::setMinimumInteritemSpacing(double spacing) {
  interitemSpacing_ = spacing;
  invalidate();
}

void CollectionViewFlowLayout::setMinimumLineSpacing(double spacing) {
  lineSpacing_ = spacing;
  invalidate();
}

void CollectionViewFlowLayout::prepareIfNeeded() {
  if (prepared_) return;
  prepared_ = true;
  attributes_.clear();
  const double available = width_ - sectionInset_.left - sectionInset_.right;
  const std::size_t count = itemSizes_.size();
  double rowTop = sectionInset_.top;
  double bottom = sectionInset_.top;
  std::size_t first = 0;
  while (first < count) {
    // The row: at least one item, then as many as fit with the spacing.
    std::size_t end = first + 1;
    double used = itemSizes_[first].width;
    while (end < count && used + interitemSpacing_ + itemSizes_[end].width <= available) {
      used += interitemSpacing_ + itemSizes_[end].width;
      ++end;
    }
    double widths = 0;
    double rowHeight = 0;
    for (std::size_t i = first; i < end; ++i) {
      widths += itemSizes_[i].width;
      // A NaN height never wins the comparison.
      if (itemSizes_[i].height > rowHeight) rowHeight = itemSizes_[i].height;
    }
    const std::size_t inRow = end - first;
    double x = sectionInset_.left;
    double gap = 0;
    if (inRow == 1) {
      x += (available - widths) / 2;
    } else {
      gap = (available - widths) / static_cast<double>(inRow - 1);
    }
    for (std::size_t i = first; i < end; ++i) {
      const Size size = itemSizes_[i];
      auto attributes = CollectionViewLayoutAttributes::create(IndexPath{0, static_cast<std::int64_t>(i)});
      attributes->setFrame(Rect(x, rowTop + (rowHeight - size.height) / 2, size.width, size.height));
      attributes_.push_back(std::move(attributes));
      x += size.width + gap;
    }
    bottom = rowTop + rowHeight;
    rowTop = bottom + lineSpacing_;
    first = end;
  }
  contentHeight_ = bottom + sectionInset_.bottom;
}

CollectionViewFlowLayout::AttributesList CollectionViewFlowLayout::layoutAttributesForElements(Rect rect) {
  prepareIfNeeded();
  AttributesList shown;
  for (const auto& attributes : attributes_) {
    const Rect frame = attributes->frame();
    const bool outside = frame.maxX() < rect.minX() || frame.minX() > rect.maxX() || frame.maxY() < rect.minY() ||
                         frame.minY() > rect.maxY();
    if (!outside) shown.push_back(attributes);
  }
  return shown;
}

CollectionViewLayoutAttributes::Ptr CollectionViewFlowLayout::layoutAttributesForItem(IndexPath indexPath) {
  prepareIfNeeded();
  if (indexPath.section != 0 || indexPath.item < 0 ||
      indexPath.item >= static_cast<std::int64_t>(attributes_.size())) {
    return nullptr;
  }
  return attributes_[static_cast<std::size_t>(indexPath.item)];
}

Size CollectionViewFlowLayout::collectionViewContentSize() {
  prepareIfNeeded();
  return Size(width_, contentHeight_);
}

}  // namespace vantrel
