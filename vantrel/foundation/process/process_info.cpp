#include "vantrel/foundation/process/process_info.h"

#include <cstdlib>

#include "vantrel/core/fatal.h"

namespace vantrel {

namespace {

// getenv needs a terminated name; a name holding a NUL can never be set.
std::optional<std::string> environmentValue(std::string_view name) {
  const std::string terminated(name);
  if (terminated.find('\0') != std::string::npos) return std::nullopt;
  const char* value = std::getenv(terminated.c_str());
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

std::string requiredSimulatorValue(std::string_view variable, std::string_view caller, SourceLocation loc) {
  if (auto value = environmentValue(variable)) return *std::move(value);
  fatal("You are not allowed to call " + std::string(caller) + "() on a device.", loc);
}

}  // namespace

namespace ProcessInfo {

bool developFlag(std::string_view name) { return environmentValue(name) == "true"; }

std::optional<std::string> developString(std::string_view name) { return environmentValue(name); }

std::string develop_SIMULATOR_HOST_HOME() {
  return requiredSimulatorValue("SIMULATOR_HOST_HOME", "develop_SIMULATOR_HOST_HOME", SourceLocation::current());
}

URL develop_SIMULATOR_HOST_HOME_URL() { return URL::fileURLWithPath(develop_SIMULATOR_HOST_HOME(), true); }

std::string develop_SIMULATOR_DEVICE_NAME() {
  return requiredSimulatorValue("SIMULATOR_DEVICE_NAME", "develop_SIMULATOR_DEVICE_NAME",
                                SourceLocation::current());
}

bool runningWithinXcode() { return environmentValue("__XCODE_BUILT_PRODUCTS_DIR_PATHS").has_value(); }

}  // namespace ProcessInfo

bool isSandboxed() { return environmentValue("APP_SANDBOX_CONTAINER_ID").has_value(); }

}  // namespace vantrel
