// File: vantrel/platform/kit/alert.h
//
// `Alert`: a message with an informative text, a style and buttons, shown
// modally (`runModal`) or as a sheet on a window (`beginSheetModal`). The
// kit is headless, so someone plays the user: a modal alert is answered by
// the application's modal hook (none: `kModalResponseAbort` at once, since
// nobody could answer it), a sheet stays on its window until
// `Window::endSheet(response)` ends it, as a user's click would.
//
//   auto alert = Alert::create();
//   alert->setMessageText("Delete the file?");
//   alert->addButtonWithTitle("Delete");          // answers 1000
//   alert->addButtonWithTitle("Cancel");          // answers 1001
//   alert->beginSheetModal(*window, [](ModalResponse r) { ... });   // returns at once
//   window->endSheet(kAlertSecondButtonReturn);  // now the handler runs, with 1001
//
//   ScopedModalHook user([](Alert& shown) { return *shown.responseForButtonTitled("Cancel"); });
//   alert->runModal();                            // 1001
//
// The button added first answers `kAlertFirstButtonReturn` (1000), the next
// 1001, and so on. An alert shown without buttons gets an "OK" button
// first. A sheet begun on a window that already shows one waits until that
// one ends; the window holds the alert and its handler until then.
//
// Main-thread objects: not thread-safe.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/platform/kit/button.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class Window;

// The answer of a modal alert or sheet, in the platform's numbering.
using ModalResponse = std::int64_t;
inline constexpr ModalResponse kModalResponseOK = 1;
inline constexpr ModalResponse kModalResponseCancel = 0;
inline constexpr ModalResponse kModalResponseStop = -1000;
inline constexpr ModalResponse kModalResponseAbort = -1001;
inline constexpr ModalResponse kModalResponseContinue = -1002;
inline constexpr ModalResponse kAlertFirstButtonReturn = 1000;
inline constexpr ModalResponse kAlertSecondButtonReturn = 1001;
inline constexpr ModalResponse kAlertThirdButtonReturn = 1002;

// The platform's numbering.
enum class AlertStyle : std::int64_t {
  warning = 0,
  informational = 1,
  critical = 2,
};

// "warning", "informational", "critical".
[[nodiscard]] std::string_view description(AlertStyle style);

class Alert : public std::enable_shared_from_this<Alert> {
 public:
  using Ptr = std::shared_ptr<Alert>;

  // Empty texts, warning style, no buttons.
  [[nodiscard]] static Ptr create();

  Alert(const Alert&) = delete;  // shared by reference; identity is the pointer
  Alert& operator=(const Alert&) = delete;

  [[nodiscard]] const std::string& messageText() const { return messageText_; }
  void setMessageText(std::string text) { messageText_ = std::move(text); }
  [[nodiscard]] const std::string& informativeText() const { return informativeText_; }
  void setInformativeText(std::string text) { informativeText_ = std::move(text); }
  [[nodiscard]] AlertStyle alertStyle() const { return style_; }
  void setAlertStyle(AlertStyle style) { style_ = style; }

  // A push button titled `title`, after the others; it answers 1000 plus
  // its index.
  Button::Ptr addButtonWithTitle(std::string title);
  [[nodiscard]] const std::vector<Button::Ptr>& buttons() const { return buttons_; }
  // What a click on the first button titled `title` answers (1000 plus its
  // index), for whoever plays the user; nullopt when there is none.
  [[nodiscard]] std::optional<ModalResponse> responseForButtonTitled(std::string_view title) const;

  // Shows the alert modally and answers the response of the button chosen
  // by the application's modal hook, or `kModalResponseAbort` without one.
  ModalResponse runModal();

  // Shows the alert as a sheet on `window` and returns at once. When the
  // sheet ends, `completionHandler` (may be empty) is called once with the
  // response; until then the window holds the alert and the handler.
  void beginSheetModal(Window& window, std::function<void(ModalResponse)> completionHandler = {});

 private:
  Alert() = default;
  void addOkButtonWhenNone();

  std::string messageText_;
  std::string informativeText_;
  AlertStyle style_ = AlertStyle::warning;
  std::vector<Button::Ptr> buttons_;
};

// Makes `hook` the application's modal hook for a scope, then puts back the
// hook in use before.
class ScopedModalHook {
 public:
  explicit ScopedModalHook(std::function<ModalResponse(Alert&)> hook);
  ~ScopedModalHook();
  ScopedModalHook(const ScopedModalHook&) = delete;
  ScopedModalHook& operator=(const ScopedModalHook&) = delete;

 private:
  std::function<ModalResponse(Alert&)> previous_;
};

}  // namespace vantrel
