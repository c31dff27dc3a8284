// File: vantrel/appkit/window_helpers.h
//
// Helpers on windows and responders: the double-density test, pinning a
// view to the window's content layout guide, centring a window on its
// screen, a print helper, and two developer dumps on standard output: the
// key-view loop and a responder chain.
//
//   isRetina(*window)                                  // backing scale factor == 2.0
//   vtbAttachView(*window, list, 8.0, 20.0)            // top 8, bottom 20 above the guide's bottom
//   setFrameOriginToPositionWindowInCenterOfScreen(*window)
//   sprint(*window, "size: ", 3)                       // "size: 3\n"
//   sprintWith(*window, {.separator = ", ", .terminator = ""}, "a", "b")   // "a, b"
//   vtPrintKeyLoop(*window);
//   vtPrintAll(*field);                                // "chain NSResponder <TextField: …>)" …
//
// Centring measures from the screen's own origin (the window stays on its
// screen, also a secondary one); a window on no screen stays where it is.
//
// Responder text (in the key-loop dump): a view's class name, a blank and
// its frame passed through its own conversion to window coordinates,
// "(x, y, w, h)" with each number in the shortest form with at least one
// fractional digit; any other responder's class name, a blank and its
// description. Optional texts read "nil" or "Optional(\"…\")".
//
// The key-loop walk follows `nextValidKeyView` from the initial first
// responder and stops at the end of the links, on a return to the initial
// first responder or its successor, or at any view it has already shown;
// the closing line names the view it loops back to ("--> loop to first: "
// and that view's description) or reads "end". The responder-chain dump
// stops at the end of the chain or at a responder it has already printed.
// Every print is one console write. Main thread, like the windows.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/core/describe.h"
#include "vantrel/drawing/layout_builders.h"
#include "vantrel/platform/kit/responder.h"
#include "vantrel/platform/kit/view.h"
#include "vantrel/platform/kit/window.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// The separator between values and the text after the last one.
struct SprintOptions {
  std::string_view separator = "";
  std::string_view terminator = "\n";
};

namespace appkit_internal {
// Writes the texts joined by the separator, then the terminator, in one
// console write.
void sprintTexts(const std::vector<std::string>& texts, const SprintOptions& options);
}  // namespace appkit_internal

// True exactly when the window's backing scale factor is 2.0.
[[nodiscard]] bool isRetina(const Window& self);

// view.top == guide.top + top and view.bottom == guide.bottom - bottom (for
// the values given), active, top first. The view should already be in the
// window's view tree; nothing else about it changes.
ConstraintList vtbAttachView(Window& self, const View::Ptr& view, std::optional<double> topLayoutGuide = std::nullopt,
                             std::optional<double> bottomLayoutGuide = std::nullopt);

// Puts the window in the middle of its screen's full frame.
void setFrameOriginToPositionWindowInCenterOfScreen(Window& self);

// Each value as `describe` writes it, back to back, then a line feed.
template <class... Values>
void sprintWith(const Window& /*self*/, const SprintOptions& options, const Values&... values) {
  appkit_internal::sprintTexts({describe(values)...}, options);
}
template <class... Values>
void sprint(const Window& self, const Values&... values) {
  sprintWith(self, SprintOptions{}, values...);
}

void vtPrintKeyLoop(const Window& self);
void vtPrintAll(const Responder& self);

}  // namespace vantrel
