#include "vantrel/platform/kit/application.h"

namespace vantrel {

const std::shared_ptr<Application>& Application::shared() {
  // Never destroyed: a control may still ask for the flags while statics are
  // torn down.
  static const auto* shared = new std::shared_ptr<Application>(new Application());
  return *shared;
}

}  // namespace vantrel
