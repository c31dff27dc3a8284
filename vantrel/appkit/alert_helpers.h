// File: vantrel/appkit/alert_helpers.h
//
// One-call alerts, and short messages put on the application's main window
// as sheets.
//
//   auto alert = alertWithTitle("Shortcut taken", AlertStyle::critical, std::nullopt, {"OK", "Cancel"});
//   alertWithTitle("Saved", "The file is saved.");     // title and informative text only
//   alertWithErrorText("Disk full");                   // "Error", warning style
//   beginSheetModalForWindowOnFirstButton(*alert, *window, [] { ... });   // only on 1000
//   NSAlert::showAsSheet("Done.");
//   NSAlert::showAsSheet("Discard changes?", [] { keep(); }, [] { discard(); });
//
// The first button added answers 1000, the second 1001, and so on. Texts
// are used as given: a "%@" in them is filled by the caller through text
// replacement (`stringByReplacingOccurrences`), never as a printf format.
//
// The sheets return at once; their closures are kept until the sheet ends
// (`Window::endSheet`) and called at most once, after the call that began
// it has returned. The `showAsSheet` forms use the application's main
// window, never the key window. When there is none, the alert runs modally
// instead (answered by the application's modal hook, alert.h), and the
// closure its answer selects runs before `showAsSheet` returns.
//
// Main thread, like the alerts and windows.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "vantrel/platform/kit/alert.h"
#include "vantrel/platform/kit/window.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// Message text `title`; the style and the informative text only when
// given; one button per title, in order.
[[nodiscard]] Alert::Ptr alertWithTitle(std::string title, std::optional<AlertStyle> style = std::nullopt,
                                        std::optional<std::string> informativeText = std::nullopt,
                                        const std::vector<std::string>& buttons = {});
// Message text and informative text; default style, no button.
[[nodiscard]] Alert::Ptr alertWithTitle(std::string title, std::string informativeText);
// Message text "Error", `errorText` as informative text, warning style.
[[nodiscard]] Alert::Ptr alertWithErrorText(std::string errorText);

// Begins the alert as a sheet on `window`; `completionHandler` runs once
// when the sheet ends with the first button (1000), never otherwise.
void beginSheetModalForWindowOnFirstButton(Alert& self, Window& window, std::function<void()> completionHandler);

namespace NSAlert {

// `message` as the title of a sheet on the main window, no completion.
void showAsSheet(std::string message);

// `message` with the buttons "OK" (1000) and "Cancel" (1001) on the main
// window: 1000 runs `onOK`, every other answer `onCancel` (an absent closure:
// nothing).
void showAsSheet(std::string message, std::function<void()> onCancel, std::function<void()> onOK);

}  // namespace NSAlert

}  // namespace vantrel
