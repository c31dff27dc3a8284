#include "vantrel/platform/kit/application.h"

namespace vantrel {

const std::shared_ptr<Application>& Application::shared() {
  // Never destroyed: a control may still ask for the flags while statics are
  // torn down.
  static const auto* shared = new std::shared_ptr<Application>(new Application());
  return *shared;
}

std::vector<std::shared_ptr<Window>> Application::windows() const {
  std::vector<std::shared_ptr<Window>> live;
  for (const auto& window : windows_) {
    if (auto strong = window.lock()) live.push_back(std::move(strong));
  }
  return live;
}

}  // namespace vantrel
