// Helpers for the recorder view's tests: what the user hears and sees
// besides the view, the beeps and the alerts run modally.
#pragma once

#include <string>
#include <vector>

namespace vantrel::testing {

// TEMPORARY until the application's beep count and modal hook are merged.
class AlertLog {
 public:
  [[nodiscard]] int beeps() const { return 0; }
  [[nodiscard]] const std::vector<std::string>& shown() const { return shown_; }
  void clear() { shown_.clear(); }

 private:
  std::vector<std::string> shown_;
};

}  // namespace vantrel::testing
