#include "vantrel/appkit/alert_helpers.h"

#include <utility>

#include "vantrel/platform/kit/application.h"

namespace vantrel {

Alert::Ptr alertWithTitle(std::string title, std::optional<AlertStyle> style, std::optional<std::string> informativeText,
                          const std::vector<std::string>& buttons) {
  Alert::Ptr alert = Alert::create();
  alert->setMessageText(std::move(title));
  if (style) alert->setAlertStyle(*style);
  if (informativeText) alert->setInformativeText(std::move(*informativeText));
  for (const std::string& button : buttons) alert->addButtonWithTitle(button);
  return alert;
}

Alert::Ptr alertWithTitle(std::string title, std::string informativeText) {
  Alert::Ptr alert = Alert::create();
  alert->setMessageText(std::move(title));
  alert->setInformativeText(std::move(informativeText));
  return alert;
}

Alert::Ptr alertWithErrorText(std::string errorText) {
  Alert::Ptr alert = Alert::create();
  alert->setMessageText("Error");
  alert->setInformativeText(std::move(errorText));
  alert->setAlertStyle(AlertStyle::warning);
  return alert;
}

void beginSheetModalForWindowOnFirstButton(Alert& self, Window& window, std::function<void()> completionHandler) {
  self.beginSheetModal(window, [handler = std::move(completionHandler)](ModalResponse response) {
    if (response == kAlertFirstButtonReturn && handler) handler();
  });
}

namespace NSAlert {

namespace {

// On the main window as a sheet; without one (nothing to attach a sheet
// to), modally, the handler then running before this returns.
void showOnMainWindow(Alert& alert, std::function<void(ModalResponse)> completionHandler) {
  if (const Window::Ptr window = Application::shared()->mainWindow()) {
    alert.beginSheetModal(*window, std::move(completionHandler));
    return;
  }
  const ModalResponse response = alert.runModal();
  if (completionHandler) completionHandler(response);
}

}  // namespace

void showAsSheet(std::string message) {
  const Alert::Ptr alert = alertWithTitle(std::move(message));
  showOnMainWindow(*alert, {});
}

void showAsSheet(std::string message, std::function<void()> onCancel, std::function<void()> onOK) {
  const Alert::Ptr alert = alertWithTitle(std::move(message), std::nullopt, std::nullopt, {"OK", "Cancel"});
  showOnMainWindow(*alert, [onCancel = std::move(onCancel), onOK = std::move(onOK)](ModalResponse response) {
    const std::function<void()>& chosen = response == kAlertFirstButtonReturn ? onOK : onCancel;
    if (chosen) chosen();
  });
}

}  // namespace NSAlert

}  // namespace vantrel
