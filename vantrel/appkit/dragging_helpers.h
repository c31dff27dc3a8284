// File: vantrel/appkit/dragging_helpers.h
//
// Developer aids for drag and drop: a dump of the dragging information a
// drop destination receives, the names of a drag-operation mask, and a
// one-call dragging image component.
//
//   vtRender(info)            // the dump's lines (returned, not printed)
//   vtRender(DragOperation{DragOperation::link, DragOperation::generic})   // {".link", ".generic"}
//   vtDebugPrint(DragOperation{DragOperation::link, DragOperation::generic}) // prints "[.generic,.link]"
//   draggingImageComponentWithKey("icon", image, Rect(0, 0, 32, 32))
//
// The dump, every line starting with "📮": "📮 draggingSource() = " (the
// source's description or "nil"), "📮 draggingSequenceNumber() = ",
// "📮 draggingPasteboard() = ", "📮 numberOfValidItemsForDrop = ", then for
// each item that reads as a URL, with its index i: "📮 di[i] = " (the item),
// "📮 type(of:di[i].item) = " (the object's class: "URL"), "📮 di[i].item = "
// (the object) and, for a file URL only, "📮 fileUrl = " and its text; last
// a line of 30 "📮".
//
// Operation names in bit order: ".copy", ".link", ".generic", ".private",
// ".move", ".delete", then ".every" when every bit is set; ".none" when none
// of these was written (bits above 32 have no name). The printed form sorts
// them by character code and joins them with ",": "[" + names + "]".
// Caller's thread.
#pragma once

#include <string>
#include <vector>

#include "vantrel/platform/graphics/dragging_image_component.h"
#include "vantrel/platform/kit/dragging.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

[[nodiscard]] std::vector<std::string> vtRender(const DraggingInfo& self);

[[nodiscard]] std::vector<std::string> vtRender(DragOperation self);
// The same as `vtRender`.
[[nodiscard]] std::vector<std::string> asLines(DragOperation self);
// Prints the sorted names as one line.
void vtDebugPrint(DragOperation self);

// A component with the key (taken as it is), the image as contents and the
// frame.
[[nodiscard]] DraggingImageComponent::Ptr draggingImageComponentWithKey(std::string key, Image::Ptr image, Rect frame);

}  // namespace vantrel
