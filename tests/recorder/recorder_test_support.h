// Helpers for the recorder view's tests: what the user hears and sees
// besides the view, the beeps and the alerts run modally.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vantrel/platform/kit/alert.h"
#include "vantrel/platform/kit/application.h"

namespace vantrel::testing {

// Plays the user of modal alerts for a scope: notes each one's title and
// style ("<title> critical") and dismisses it with its first button.
class AlertLog {
 public:
  AlertLog()
      : hook_([this](Alert& alert) {
          shown_.push_back(alert.messageText() + " " + std::string(description(alert.alertStyle())));
          return kAlertFirstButtonReturn;
        }) {}

  // The application's beeps so far (they are counted for the process).
  [[nodiscard]] std::int64_t beeps() const { return Application::shared()->beepCount(); }
  [[nodiscard]] const std::vector<std::string>& shown() const { return shown_; }
  void clear() { shown_.clear(); }

 private:
  std::vector<std::string> shown_;
  ScopedModalHook hook_;
};

}  // namespace vantrel::testing
