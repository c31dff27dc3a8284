// File: vantrel/drawing/layout_spreads.h
//
// Spreads: a list of sibling subviews laid out inside the receiver in one
// call, along a row, down a column, or as a grid.
//
//   container->addSubviews({ok, cancel, help});
//   vtbSpreadHorizontally(container, {ok, cancel, help}, 20.0, 8.0, true, 20.0, LayoutAttribute::top);
//   vtbSpreadAsMatrix2Columns(container, tiles, 3, Size(4, 4), EdgeInsets(10));   // rows of 3
//
// The convention of layout_builders.h holds: `vcc` builds and returns, `vtb`
// builds the same list, installs it on the receiver with one
// `addConstraints` (also when empty) and returns it. Every constraint is ==,
// multiplier 1.0, priority required.
//
// A row or column spread walks the views in list order in both directions
// and returns the chain list (the start constraint when `inset` is given,
// one spacing constraint per neighbouring pair, the end constraint when
// `endInset` is given and there is a last view) followed by the alignment
// list (prev.pipeBy == view.pipeBy + 0 per pair, when `pipeBy` is given):
//
//   horizontal         leftToRight                         right to left
//   start    first.left == receiver.left + inset        first.right == receiver.right - inset
//   spacing  prev.right == view.left - spacing           view.right == prev.left - spacing
//   end      last.right == receiver.right - endInset     last.left == receiver.left + endInset
//
//   vertical           topToBottom                         bottom to top
//   start    first.top == receiver.top + inset          first.bottom == receiver.bottom - inset
//   spacing  view.top == prev.bottom + spacing           prev.top == view.bottom + spacing
//   end      last.bottom == receiver.bottom - endInset   last.top == receiver.top + endInset
//
// An empty list gives an empty list, with or without `endInset`.
//
// Matrix spreads cut the list into runs of `columns` (or `rows`) views and
// spread each run and the runs' first views with the spreads above; see each
// declaration. A run length below 1 stops the program with a message naming
// the builder and the value; an empty list gives an empty list; fewer views
// than `columns` (or `rows`) make one short run. A null view or receiver
// stops too. Main thread only.
#pragma once

#include <cstdint>
#include <optional>

#include "vantrel/drawing/layout_builders.h"
#include "vantrel/drawing/layout_relations.h"
#include "vantrel/core/geometry.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// --- Along a row or a column ------------------------------------------------------
ConstraintList vccSpreadHorizontally(const View::Ptr& self, const ViewList& views,
                                     std::optional<double> inset = std::nullopt, double spacing = 0,
                                     bool leftToRight = true, std::optional<double> endInset = std::nullopt,
                                     std::optional<LayoutAttribute> pipeBy = std::nullopt);
ConstraintList vtbSpreadHorizontally(const View::Ptr& self, const ViewList& views,
                                     std::optional<double> inset = std::nullopt, double spacing = 0,
                                     bool leftToRight = true, std::optional<double> endInset = std::nullopt,
                                     std::optional<LayoutAttribute> pipeBy = std::nullopt);
ConstraintList vccSpreadVertically(const View::Ptr& self, const ViewList& views,
                                   std::optional<double> inset = std::nullopt, double spacing = 0,
                                   bool topToBottom = true, std::optional<double> endInset = std::nullopt,
                                   std::optional<LayoutAttribute> pipeBy = std::nullopt);
ConstraintList vtbSpreadVertically(const View::Ptr& self, const ViewList& views,
                                   std::optional<double> inset = std::nullopt, double spacing = 0,
                                   bool topToBottom = true, std::optional<double> endInset = std::nullopt,
                                   std::optional<LayoutAttribute> pipeBy = std::nullopt);

// --- As a grid ----------------------------------------------------------------------
// Column by column, `columns` views to a column (the name counts the views in
// a column, not the columns): view i in column i / columns, row i % columns.
// Each column is spread vertically, then each row horizontally, both with a
// margin and gap of 5.0 and nothing pinned to the right or bottom. `inset`,
// `spacing` and `endInset` are accepted and do not change the result.
ConstraintList vccSpreadAsMatrix(const View::Ptr& self, const ViewList& views, std::int64_t columns,
                                 std::optional<double> inset = std::nullopt, double spacing = 0,
                                 std::optional<double> endInset = std::nullopt);
ConstraintList vtbSpreadAsMatrix(const View::Ptr& self, const ViewList& views, std::int64_t columns,
                                 std::optional<double> inset = std::nullopt, double spacing = 0,
                                 std::optional<double> endInset = std::nullopt);
// Row by row, `columns` views to a row, all views of one size:
//   1. first.width == view.width, then first.height == view.height (vccSameFor)
//   2. each row spread horizontally: padding.left as inset, spacing.width
//      as gap, padding.right as end inset for full rows only, pipeBy top
//   3. the rows' first views spread vertically: padding.top, spacing.height,
//      padding.bottom, pipeBy left
ConstraintList vccSpreadAsMatrix2Columns(const View::Ptr& self, const ViewList& views, std::int64_t columns,
                                         Size spacing = Size(0, 0), EdgeInsets padding = EdgeInsets(0));
ConstraintList vtbSpreadAsMatrix2Columns(const View::Ptr& self, const ViewList& views, std::int64_t columns,
                                         Size spacing = Size(0, 0), EdgeInsets padding = EdgeInsets(0));
// Column by column, `rows` views to a column: the same with rows and columns
// exchanged (columns spread vertically with pipeBy left, full columns pinned
// to the bottom; the columns' first views spread horizontally with pipeBy top).
ConstraintList vccSpreadAsMatrix2Rows(const View::Ptr& self, const ViewList& views, std::int64_t rows,
                                      Size spacing = Size(0, 0), EdgeInsets padding = EdgeInsets(0));
ConstraintList vtbSpreadAsMatrix2Rows(const View::Ptr& self, const ViewList& views, std::int64_t rows,
                                      Size spacing = Size(0, 0), EdgeInsets padding = EdgeInsets(0));

}  // namespace vantrel
