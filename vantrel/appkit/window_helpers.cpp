#include "vantrel/appkit/window_helpers.h"

#include <algorithm>
#include <memory>

#include "vantrel/core/console.h"
#include "vantrel/core/fatal.h"
#include "vantrel/core/number_text.h"
#include "vantrel/platform/kit/layout_constraint.h"

namespace vantrel {
namespace appkit_internal {

void sprintTexts(const std::vector<std::string>& texts, const SprintOptions& options) {
  std::string out;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (i > 0) out += options.separator;
    out += texts[i];
  }
  out += options.terminator;
  consoleWrite(out);
}

}  // namespace appkit_internal

namespace {

std::string rectText(Rect rect) {
  return "(" + doubleText(rect.origin.x) + ", " + doubleText(rect.origin.y) + ", " + doubleText(rect.size.width) +
         ", " + doubleText(rect.size.height) + ")";
}

// The responder text of the key-loop dump (see the header).
std::string stringForVtPrintKeyLoop(const Responder& responder) {
  if (const auto* view = dynamic_cast<const View*>(&responder)) {
    return view->className() + " " + rectText(view->convertRectToView(view->frame(), nullptr));
  }
  return responder.className() + " " + responder.description();
}

std::string optionalText(const Responder* responder) {
  return describe(responder != nullptr ? std::optional<std::string>(stringForVtPrintKeyLoop(*responder))
                                       : std::nullopt);
}

void printLine(const Window& window, const std::string& line) { sprint(window, line); }

}  // namespace

bool isRetina(const Window& self) { return self.backingScaleFactor() == 2.0; }

ConstraintList vtbAttachView(Window& self, const View::Ptr& view, std::optional<double> topLayoutGuide,
                             std::optional<double> bottomLayoutGuide) {
  if (!view) fatal("vtbAttachView: the view is null");
  ConstraintList made;
  const LayoutGuide::Ptr& guide = self.contentLayoutGuide();
  if (topLayoutGuide) {
    auto top = LayoutConstraint::create(view, LayoutAttribute::top, LayoutRelation::equal, guide,
                                        LayoutAttribute::top, 1.0, *topLayoutGuide);
    top->setActive(true);
    made.push_back(std::move(top));
  }
  if (bottomLayoutGuide) {
    auto bottom = LayoutConstraint::create(view, LayoutAttribute::bottom, LayoutRelation::equal, guide,
                                           LayoutAttribute::bottom, 1.0, -*bottomLayoutGuide);
    bottom->setActive(true);
    made.push_back(std::move(bottom));
  }
  return made;
}

void setFrameOriginToPositionWindowInCenterOfScreen(Window& self) {
  const auto screen = self.screen();
  if (!screen) return;
  const Rect screenFrame = screen->frame();
  const Rect frame = self.frame();
  // Measured from the screen's own origin: without it a window on a
  // secondary screen would jump to the main one.
  self.setFrameOrigin(Point(screenFrame.origin.x + (screenFrame.size.width - frame.size.width) * 0.5,
                            screenFrame.origin.y + (screenFrame.size.height - frame.size.height) * 0.5));
}

void vtPrintKeyLoop(const Window& self) {
  printLine(self, "printKeyViewLoop: " + self.description());
  const View::Ptr initial = self.initialFirstResponder();
  printLine(self, "<window>.initialFirstResponder = " + optionalText(initial.get()));
  const auto firstResponder = self.firstResponder();
  if (firstResponder) {
    printLine(self, "<window>.firstResponder = " + stringForVtPrintKeyLoop(*firstResponder));
    if (const auto next = std::dynamic_pointer_cast<View>(firstResponder->nextResponder())) {
      printLine(self, "<window>.firstResponder.nextResponder? = " + stringForVtPrintKeyLoop(*next));
      printLine(self, "<window>.firstResponder as? NSView.nextKeyView = " + optionalText(next->nextKeyView().get()));
      printLine(self,
                "<window>.firstResponder as? NSView.nextValidKeyView = " + optionalText(next->nextValidKeyView().get()));
    }
  }
  if (!initial) return;

  const View::Ptr second = initial->nextValidKeyView();
  View::Ptr current = initial;
  std::vector<const View*> shown{initial.get()};
  View::Ptr next = second;
  for (std::int64_t n = 1; next; ++n) {
    if (next == initial) break;
    if (n > 1 && next == second) break;
    // A cycle that avoids the start and its successor would otherwise never
    // end: the first view met again closes the walk.
    if (std::find(shown.begin(), shown.end(), next.get()) != shown.end()) break;
    current = next;
    shown.push_back(current.get());
    const bool isFirst = static_cast<const Responder*>(current.get()) == firstResponder.get();
    printLine(self, (isFirst ? "* " : "") + integerText(n) + ": " + stringForVtPrintKeyLoop(*current));
    next = current->nextValidKeyView();
  }
  printLine(self, next ? "--> loop to first: " + next->description() : std::string("end"));
}

void vtPrintAll(const Responder& self) {
  // Responder links can be set by hand into a ring; each one is printed once.
  std::vector<const Responder*> printed;
  std::shared_ptr<Responder> keep;
  for (const Responder* responder = &self; responder != nullptr;) {
    if (std::find(printed.begin(), printed.end(), responder) != printed.end()) break;
    printed.push_back(responder);
    consolePrint("chain NSResponder " + responder->description() + ")");
    keep = responder->nextResponder();
    responder = keep.get();
  }
}

}  // namespace vantrel
