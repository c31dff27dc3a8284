// File: vantrel/platform/kit/dragging.h
//
// The drag-and-drop types a drop destination meets: the operations a drag
// allows (`DragOperation`), the items it carries (`DraggingItem`) and the
// information about the drag in progress (`DraggingInfo`), which the host's
// drop code implements over whatever drag it receives:
//
//   class MyDrop : public DraggingInfo { ... };        // source, pasteboard, items
//   DragOperation ops{DragOperation::copy, DragOperation::move};
//   ops.contains(DragOperation::copy)                  // true
//
// `DragOperation` carries the platform's bit values (copy 1, link 2, generic
// 4, private 8, move 16, delete 32, every: all bits); `private` and `delete`
// are C++ keywords, hence `private_` and `delete_`. The dragging image
// component, which holds an image, is in the graphics module
// (`vantrel/platform/graphics/dragging_image_component.h`).
// Values and interfaces; a drag belongs to the thread that handles it.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "vantrel/core/option_set.h"
#include "vantrel/platform/foundation/pasteboard/pasteboard.h"
#include "vantrel/core/geometry.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class View;

struct DragOperation : OptionSet<DragOperation, std::uint64_t> {
  using OptionSet::OptionSet;

  static const DragOperation copy;      // 1
  static const DragOperation link;      // 2
  static const DragOperation generic;   // 4
  static const DragOperation private_;  // 8
  static const DragOperation move;      // 16
  static const DragOperation delete_;   // 32
  static const DragOperation every;     // every bit
};

inline constexpr DragOperation DragOperation::copy{1u};
inline constexpr DragOperation DragOperation::link{2u};
inline constexpr DragOperation DragOperation::generic{4u};
inline constexpr DragOperation DragOperation::private_{8u};
inline constexpr DragOperation DragOperation::move{16u};
inline constexpr DragOperation DragOperation::delete_{32u};
inline constexpr DragOperation DragOperation::every{std::numeric_limits<std::uint64_t>::max()};

// How `enumerateDraggingItems` walks the items.
struct DraggingItemEnumerationOptions : OptionSet<DraggingItemEnumerationOptions, std::uint64_t> {
  using OptionSet::OptionSet;

  static const DraggingItemEnumerationOptions concurrent;                // 1
  static const DraggingItemEnumerationOptions clearNonenumeratedImages;  // 1 << 16
};

inline constexpr DraggingItemEnumerationOptions DraggingItemEnumerationOptions::concurrent{1u};
inline constexpr DraggingItemEnumerationOptions DraggingItemEnumerationOptions::clearNonenumeratedImages{1u << 16};

// Options of a pasteboard read, option key to value (the item search of
// `enumerateDraggingItems`).
using PasteboardReadingOptions = std::map<std::string, std::string>;

// The object a drag started from.
class DraggingSource {
 public:
  virtual ~DraggingSource() = default;
  [[nodiscard]] virtual std::string description() const = 0;
};

// One thing a drag carries: the object read from its pasteboard item, and
// where the item's image is in the destination's coordinates.
class DraggingItem {
 public:
  explicit DraggingItem(PasteboardObject item, Rect draggingFrame = Rect())
      : item_(std::move(item)), draggingFrame_(draggingFrame) {}

  [[nodiscard]] const PasteboardObject& item() const { return item_; }
  [[nodiscard]] Rect draggingFrame() const { return draggingFrame_; }
  void setDraggingFrame(Rect frame) { draggingFrame_ = frame; }

  // "<DraggingItem: item = file:///tmp/a.txt, draggingFrame = (0.0, 0.0, 0.0, 0.0)>"
  [[nodiscard]] std::string description() const;

 private:
  PasteboardObject item_;
  Rect draggingFrame_;
};

// The drag in progress, as a drop destination sees it.
class DraggingInfo {
 public:
  // Gets each item with its index; setting `stop` ends the walk.
  using EnumerationBlock = std::function<void(DraggingItem& item, std::int64_t index, bool& stop)>;

  virtual ~DraggingInfo() = default;

  // Null when the drag comes from another application.
  [[nodiscard]] virtual std::shared_ptr<const DraggingSource> draggingSource() const = 0;
  [[nodiscard]] virtual std::int64_t draggingSequenceNumber() const = 0;
  [[nodiscard]] virtual const Pasteboard& draggingPasteboard() const = 0;
  [[nodiscard]] virtual std::int64_t numberOfValidItemsForDrop() const = 0;
  // Calls `block` for each item that can be read as an object of one of
  // `classes`, on the calling thread, before it returns; `view` (may be null)
  // is the destination whose coordinates the frames are in.
  virtual void enumerateDraggingItems(DraggingItemEnumerationOptions options, const View* view,
                                      const std::vector<PasteboardReadableClass>& classes,
                                      const PasteboardReadingOptions& searchOptions,
                                      const EnumerationBlock& block) const = 0;
};

}  // namespace vantrel
