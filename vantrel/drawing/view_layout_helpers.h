// File: vantrel/drawing/view_layout_helpers.h
//
// Small view utilities beside the layout builders: a frame-based flow
// layout, removing a list of views from their superviews, three developer
// dumps (the view tree, the intrinsic-size settings, the ambiguous views),
// and `LayoutConstraintCask`, a named bundle of constraints.
//
//   vtFlowLayoutSubviews(toolbar);          // subviews in lines, left to right
//   vtPrintRecursiveDescription(window->contentView());
//   // View(ObjectIdentifier(0x00005612a4b0c2d0)):(0.0, 0.0, 400.0, 300.0), (0.0, 0.0)
//   // -Button(ObjectIdentifier(0x00005612a4b0c910)):(20.0, 20.0, 100.0, 32.0), (0.0, 0.0)
//   LayoutConstraintCask compact("compact", [&] { return vccPlace(container, label, 4.0); });
//
// Flow layout: the subviews, taken once in order, are placed in lines from
// x = 0, touching each other. A view whose bounds width no longer fits the
// receiver's frame width (read for each view) starts a new line below the
// tallest frame of the line just ended; the first view of a line stays on
// it however wide it is, so lines never overlap and no empty band opens.
// Only origins change. y grows as the receiver counts it (up unless flipped).
//
// Dumps print one console line per view (`consolePrint`). Numbers are
// written as geometry descriptions write them ("20.0"), priorities likewise.
// A negative depth counts as 0. Main thread only, like the views.
#pragma once

#include <concepts>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>

#include "vantrel/drawing/layout_builders.h"
#include "vantrel/drawing/layout_relations.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// Sets every subview's frame origin; see the top of this file.
void vtFlowLayoutSubviews(const View::Ptr& self);

// removeFromSuperview on each view, in order.
void removeFromSuperviews(const ViewList& self);

// Extra text for a view's dump line, or nullopt for none.
using DescriptionAdderBlock = std::function<std::optional<std::string>(const View::Ptr&)>;

// One line per view, pre-order: "-" repeated `depth` times, the class name,
// "(", the ObjectIdentifier description, "):", the frame, ", ", the bounds
// origin, then whatever the block adds for that view, directly.
void vtPrintRecursiveDescription(const View::Ptr& self, std::int64_t depth = 0,
                                 const DescriptionAdderBlock& descriptionAdderBlock = nullptr);
// The same without a block.
void vtRecursiveDescription(const View::Ptr& self, std::int64_t depth = 0);

// "ics = (w, h), chp-H250.0, chp-V250.0, ccr-H750.0, ccr-V750.0": the
// intrinsic content size, then hugging and compression resistance,
// horizontal before vertical. The receiver only.
void vtPrintIntrinsicContentSize(const View::Ptr& self);

// For the receiver and every view below it, pre-order, whose
// `hasAmbiguousLayout()` is true:
// "hasAmbiguousLayout view <description> (frame=(x, y, w, h))".
void testAmbiguity(const View::Ptr& self);

// A code and the constraints it names, neither installed nor activated here.
// Equal when the codes are (`textEqual`), whatever the constraints.
class LayoutConstraintCask {
 public:
  LayoutConstraintCask(std::string code, ConstraintList constraints)
      : code_(std::move(code)), constraints_(std::move(constraints)) {}
  // Calls the block once, now, and keeps its result; the block is not kept.
  template <class Block>
    requires std::is_invocable_r_v<ConstraintList, Block&>
  LayoutConstraintCask(std::string code, Block&& constraintsCreationBlock)
      : code_(std::move(code)), constraints_(constraintsCreationBlock()) {}

  [[nodiscard]] const std::string& code() const { return code_; }
  [[nodiscard]] const ConstraintList& constraints() const { return constraints_; }

  friend VANTREL_API bool operator==(const LayoutConstraintCask& a, const LayoutConstraintCask& b);

 private:
  std::string code_;
  ConstraintList constraints_;
};

}  // namespace vantrel
