#include "vantrel/platform/kit/running_application.h"

#include "vantrel/core/number_text.h"
#include "vantrel/platform/kit/workspace.h"

namespace vantrel {

RunningApplication::Ptr RunningApplication::create(Properties properties) {
  return Ptr(new RunningApplication(std::move(properties)));
}

RunningApplication::Ptr RunningApplication::currentApplication() { return Workspace::shared()->currentApplication(); }

std::string RunningApplication::description() const {
  std::string text = "<RunningApplication: (";
  text += p_.bundleIdentifier ? *p_.bundleIdentifier : "nil";
  text += " - ";
  text += integerText(p_.processIdentifier);
  text += ")>";
  return text;
}

}  // namespace vantrel
