#include "vantrel/drawing/view_layout_helpers.h"

#include <algorithm>
#include <string>
#include <vector>

#include "vantrel/core/console.h"
#include "vantrel/core/fatal.h"
#include "vantrel/core/object_identifier.h"
#include "vantrel/core/geometry.h"
#include "vantrel/text/comparison.h"

namespace vantrel {
namespace {

const View::Ptr& checked(const View::Ptr& self, const char* operation) {
  if (!self) fatal(std::string(operation) + ": the view is null");
  return self;
}

void dump(const View::Ptr& view, std::int64_t depth, const DescriptionAdderBlock& adder) {
  std::string line(static_cast<std::size_t>(std::max<std::int64_t>(depth, 0)), '-');
  line += view->className();
  line += "(" + ObjectIdentifier(view).description() + "):";
  line += view->frame().description() + ", " + view->bounds().origin.description();
  if (adder) {
    if (auto extra = adder(view)) line += *extra;
  }
  consolePrint(line);
  // The subviews are copied: a block may change the tree while it is dumped.
  const std::vector<View::Ptr> subviews = view->subviews();
  for (const View::Ptr& subview : subviews) dump(subview, depth + 1, adder);
}

void reportAmbiguity(const View::Ptr& view) {
  if (view->hasAmbiguousLayout()) {
    consolePrint("hasAmbiguousLayout view " + view->description() + " (frame=" + view->frame().description() + ")");
  }
  for (const View::Ptr& subview : view->subviews()) reportAmbiguity(subview);
}

}  // namespace

void vtFlowLayoutSubviews(const View::Ptr& self) {
  checked(self, "vtFlowLayoutSubviews");
  const std::vector<View::Ptr> subviews = self->subviews();
  double x = 0;
  double y = 0;
  double lineHeight = 0;  // the tallest frame on the current line
  bool lineHasViews = false;
  for (const View::Ptr& subview : subviews) {
    // A new line goes below the tallest view of the one just ended, not the
    // height of the view that opens it, so no two lines overlap; a view too
    // wide for any line stays on an empty one rather than leaving a band.
    if (lineHasViews && x + subview->bounds().size.width > self->frame().size.width) {
      y += lineHeight;
      x = 0;
      lineHeight = 0;
    }
    Rect frame = subview->frame();
    frame.origin = Point(x, y);
    subview->setFrame(frame);
    x += subview->frame().size.width;
    lineHeight = std::max(lineHeight, subview->frame().size.height);
    lineHasViews = true;
  }
}

void removeFromSuperviews(const ViewList& self) {
  for (const View::Ptr& view : self.views()) checked(view, "removeFromSuperviews")->removeFromSuperview();
}

void vtPrintRecursiveDescription(const View::Ptr& self, std::int64_t depth,
                                 const DescriptionAdderBlock& descriptionAdderBlock) {
  dump(checked(self, "vtPrintRecursiveDescription"), depth, descriptionAdderBlock);
}

void vtRecursiveDescription(const View::Ptr& self, std::int64_t depth) {
  dump(checked(self, "vtRecursiveDescription"), depth, nullptr);
}

void vtPrintIntrinsicContentSize(const View::Ptr& self) {
  checked(self, "vtPrintIntrinsicContentSize");
  auto priority = [](LayoutPriority p) { return coordinateText(static_cast<double>(p)); };
  using O = LayoutOrientation;
  consolePrint("ics = " + self->intrinsicContentSize().description() +
               ", chp-H" + priority(self->contentHuggingPriority(O::horizontal)) +
               ", chp-V" + priority(self->contentHuggingPriority(O::vertical)) +
               ", ccr-H" + priority(self->contentCompressionResistancePriority(O::horizontal)) +
               ", ccr-V" + priority(self->contentCompressionResistancePriority(O::vertical)));
}

void testAmbiguity(const View::Ptr& self) { reportAmbiguity(checked(self, "testAmbiguity")); }

bool operator==(const LayoutConstraintCask& a, const LayoutConstraintCask& b) { return textEqual(a.code_, b.code_); }

}  // namespace vantrel
