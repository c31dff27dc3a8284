// File: vantrel/foundation/process/process_info.h
//
// Developer questions answered from the process environment.
//
//   ProcessInfo::developFlag("VT_VERBOSE")      true only for VT_VERBOSE=true
//   ProcessInfo::developString("VT_SERVER")     the value, nullopt when unset
//   isSandboxed()                               APP_SANDBOX_CONTAINER_ID is set
//   ProcessInfo::runningOnMacOS()               false: this build runs on Linux
//
// Every query reads the environment (getenv) at the call and keeps nothing;
// names are compared exactly, case-sensitively. The simulator queries are for
// code that runs only in a simulator: when their variable is unset they stop
// through `fatal` with "You are not allowed to call develop_SIMULATOR_HOST_HOME()
// on a device." (the URL form too) or "You are not allowed to call
// develop_SIMULATOR_DEVICE_NAME() on a device.". Thread-safe as long as no
// thread changes the environment meanwhile.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "vantrel/platform/foundation/files/url.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

namespace ProcessInfo {

// Whether `name` is set to exactly "true" ("TRUE", "1" and "" are false).
[[nodiscard]] bool developFlag(std::string_view name);
// The value of `name`, unchanged (an empty value stays ""); nullopt when unset.
[[nodiscard]] std::optional<std::string> developString(std::string_view name);

// SIMULATOR_HOST_HOME; stops when unset.
[[nodiscard]] std::string develop_SIMULATOR_HOST_HOME();
// That value as a folder URL; stops when unset.
[[nodiscard]] URL develop_SIMULATOR_HOST_HOME_URL();
// SIMULATOR_DEVICE_NAME; stops when unset.
[[nodiscard]] std::string develop_SIMULATOR_DEVICE_NAME();

// Whether __XCODE_BUILT_PRODUCTS_DIR_PATHS is set, whatever its value.
[[nodiscard]] bool runningWithinXcode();
// Always false: the library runs on Linux.
[[nodiscard]] constexpr bool runningOnMacOS() { return false; }

}  // namespace ProcessInfo

// Whether APP_SANDBOX_CONTAINER_ID is set, even to "".
[[nodiscard]] bool isSandboxed();

}  // namespace vantrel
