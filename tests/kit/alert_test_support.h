// What an alert shows, for the alert tests of kit and appkit.
#pragma once

#include <string>
#include <vector>

#include "vantrel/platform/kit/alert.h"

namespace vantrel::testing {

// The titles of the alert's buttons, in order.
inline std::vector<std::string> buttonTitles(const Alert& alert) {
  std::vector<std::string> result;
  for (const Button::Ptr& button : alert.buttons()) result.push_back(button->title());
  return result;
}

}  // namespace vantrel::testing
