#include "vantrel/drawing/layout_spreads.h"

#include <cstddef>
#include <string_view>
#include <vector>

#include <fmt/format.h>

#include "vantrel/collections/array_building.h"
#include "vantrel/core/fatal.h"
#include "vantrel/drawing/internal/constraint_building.h"

namespace vantrel {
namespace {

using A = LayoutAttribute;
using R = LayoutRelation;
using drawing_internal::install;
using drawing_internal::relate;

// The attributes of one axis: `start` is the edge the list starts from in
// the forward direction (left, top), `end` the other one.
struct Axis {
  A start;
  A end;
  bool horizontal;
};

constexpr Axis kHorizontal{A::left, A::right, true};
constexpr Axis kVertical{A::top, A::bottom, false};

ConstraintList spread(const View::Ptr& self, const std::vector<View::Ptr>& views, Axis axis,
                      std::optional<double> inset, double spacing, bool forward, std::optional<double> endInset,
                      std::optional<A> pipeBy) {
  ConstraintList chain;
  ConstraintList alignment;
  for (std::size_t i = 0; i < views.size(); ++i) {
    const View::Ptr& view = views[i];
    if (i == 0) {
      if (inset) {
        chain.push_back(forward ? relate(view, axis.start, R::equal, self, axis.start, *inset)
                                : relate(view, axis.end, R::equal, self, axis.end, -*inset));
      }
      continue;
    }
    const View::Ptr& prev = views[i - 1];
    // The horizontal spread keeps the left view first (constant -spacing),
    // the vertical one the lower view (constant +spacing).
    const View::Ptr& leading = forward ? prev : view;
    const View::Ptr& following = forward ? view : prev;
    chain.push_back(axis.horizontal ? relate(leading, A::right, R::equal, following, A::left, -spacing)
                                    : relate(following, A::top, R::equal, leading, A::bottom, spacing));
    if (pipeBy) alignment.push_back(relate(prev, *pipeBy, R::equal, view, *pipeBy, 0));
  }
  // An end inset needs a last view: an empty list pins nothing.
  if (endInset && !views.empty()) {
    const View::Ptr& last = views.back();
    chain.push_back(forward ? relate(last, axis.end, R::equal, self, axis.end, -*endInset)
                            : relate(last, axis.start, R::equal, self, axis.start, *endInset));
  }
  chain.insert(chain.end(), alignment.begin(), alignment.end());
  return chain;
}

void append(ConstraintList& to, const ConstraintList& more) { to.insert(to.end(), more.begin(), more.end()); }

// The run length divides the list: below 1 there is no grid to make.
std::size_t runLength(std::int64_t k, std::string_view builder, std::string_view name) {
  if (k < 1) fatal(fmt::format("{}: {} must be at least 1, not {}", builder, name, k));
  return static_cast<std::size_t>(k);
}

std::vector<View::Ptr> firstOfEachRun(const std::vector<std::vector<View::Ptr>>& runs) {
  std::vector<View::Ptr> firsts;
  for (const auto& run : runs) firsts.push_back(run.front());
  return firsts;
}

// The matrix2 grid, runs along `runAxis`, their first views across.
ConstraintList matrix2(const View::Ptr& self, const std::vector<View::Ptr>& views, std::size_t k, Size spacing,
                       EdgeInsets padding, bool runsAreRows) {
  ConstraintList result = vccSameFor(self, A::width, views);
  append(result, vccSameFor(self, A::height, views));
  const auto runs = chunk(views, static_cast<std::int64_t>(k));
  for (const auto& run : runs) {
    const bool full = run.size() == k;
    if (runsAreRows) {
      append(result, spread(self, run, kHorizontal, padding.left, spacing.width, true,
                            full ? std::optional(padding.right) : std::nullopt, A::top));
    } else {
      append(result, spread(self, run, kVertical, padding.top, spacing.height, true,
                            full ? std::optional(padding.bottom) : std::nullopt, A::left));
    }
  }
  const auto firsts = firstOfEachRun(runs);
  if (runsAreRows) {
    append(result, spread(self, firsts, kVertical, padding.top, spacing.height, true, padding.bottom, A::left));
  } else {
    append(result, spread(self, firsts, kHorizontal, padding.left, spacing.width, true, padding.right, A::top));
  }
  return result;
}

}  // namespace

// --- Along a row or a column ------------------------------------------------------

ConstraintList vccSpreadHorizontally(const View::Ptr& self, const ViewList& views, std::optional<double> inset,
                                     double spacing, bool leftToRight, std::optional<double> endInset,
                                     std::optional<LayoutAttribute> pipeBy) {
  return spread(self, views.views(), kHorizontal, inset, spacing, leftToRight, endInset, pipeBy);
}

ConstraintList vtbSpreadHorizontally(const View::Ptr& self, const ViewList& views, std::optional<double> inset,
                                     double spacing, bool leftToRight, std::optional<double> endInset,
                                     std::optional<LayoutAttribute> pipeBy) {
  return install(self, vccSpreadHorizontally(self, views, inset, spacing, leftToRight, endInset, pipeBy),
                 "vtbSpreadHorizontally");
}

ConstraintList vccSpreadVertically(const View::Ptr& self, const ViewList& views, std::optional<double> inset,
                                   double spacing, bool topToBottom, std::optional<double> endInset,
                                   std::optional<LayoutAttribute> pipeBy) {
  return spread(self, views.views(), kVertical, inset, spacing, topToBottom, endInset, pipeBy);
}

ConstraintList vtbSpreadVertically(const View::Ptr& self, const ViewList& views, std::optional<double> inset,
                                   double spacing, bool topToBottom, std::optional<double> endInset,
                                   std::optional<LayoutAttribute> pipeBy) {
  return install(self, vccSpreadVertically(self, views, inset, spacing, topToBottom, endInset, pipeBy),
                 "vtbSpreadVertically");
}

// --- As a grid ----------------------------------------------------------------------

ConstraintList vccSpreadAsMatrix(const View::Ptr& self, const ViewList& views, std::int64_t columns,
                                 std::optional<double>, double, std::optional<double>) {
  const std::size_t k = runLength(columns, "vccSpreadAsMatrix", "columns");
  const auto& list = views.views();
  constexpr double kGap = 5.0;
  ConstraintList result;
  for (const auto& column : chunk(list, columns)) {
    append(result, spread(self, column, kVertical, kGap, kGap, true, std::nullopt, std::nullopt));
  }
  for (std::size_t c = 0; c < k && c < list.size(); ++c) {
    std::vector<View::Ptr> row;
    for (std::size_t i = c; i < list.size(); i += k) row.push_back(list[i]);
    append(result, spread(self, row, kHorizontal, kGap, kGap, true, std::nullopt, std::nullopt));
  }
  return result;
}

ConstraintList vtbSpreadAsMatrix(const View::Ptr& self, const ViewList& views, std::int64_t columns,
                                 std::optional<double> inset, double spacing, std::optional<double> endInset) {
  return install(self, vccSpreadAsMatrix(self, views, columns, inset, spacing, endInset), "vtbSpreadAsMatrix");
}

ConstraintList vccSpreadAsMatrix2Columns(const View::Ptr& self, const ViewList& views, std::int64_t columns,
                                         Size spacing, EdgeInsets padding) {
  return matrix2(self, views.views(), runLength(columns, "vccSpreadAsMatrix2Columns", "columns"), spacing,
                 padding, true);
}

ConstraintList vtbSpreadAsMatrix2Columns(const View::Ptr& self, const ViewList& views, std::int64_t columns,
                                         Size spacing, EdgeInsets padding) {
  return install(self, vccSpreadAsMatrix2Columns(self, views, columns, spacing, padding),
                 "vtbSpreadAsMatrix2Columns");
}

ConstraintList vccSpreadAsMatrix2Rows(const View::Ptr& self, const ViewList& views, std::int64_t rows,
                                      Size spacing, EdgeInsets padding) {
  return matrix2(self, views.views(), runLength(rows, "vccSpreadAsMatrix2Rows", "rows"), spacing, padding,
                 false);
}

ConstraintList vtbSpreadAsMatrix2Rows(const View::Ptr& self, const ViewList& views, std::int64_t rows,
                                      Size spacing, EdgeInsets padding) {
  return install(self, vccSpreadAsMatrix2Rows(self, views, rows, spacing, padding), "vtbSpreadAsMatrix2Rows");
}

}  // namespace vantrel
