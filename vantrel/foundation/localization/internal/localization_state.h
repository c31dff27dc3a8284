// Internal: include "vantrel/foundation/localization/localization.h" or
// "vantrel/foundation/localization/localization_debug.h" instead.
//
// The process-wide state of the localization, shared by the lookup and its
// debug switches.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace vantrel {
class Bundle;
class StreamWriter;
}  // namespace vantrel

namespace vantrel::foundation_internal {

struct LocalizationState {
  std::mutex mutex;  // guards every field; never held while calling out
  std::shared_ptr<Bundle> mainBundle;
  std::shared_ptr<Bundle> englishBundle;
  std::shared_ptr<Bundle> currentLanguageBundle;
  std::optional<std::string> currentLanguage;
  bool dollarWrapMissing = false;
  bool logMissingKeys = false;
  std::shared_ptr<StreamWriter> missingKeysWriter;
};

LocalizationState& localizationState();

// The bundle whose folders are used: the one set, else the main bundle.
std::shared_ptr<Bundle> localizationMainBundle();

// Checks `key` against the current language's table and records it in the
// missing-keys file when absent (localization_debug.cpp).
void probeMissingKey(std::string_view key, std::optional<std::string_view> tableName);

// Back to the state of a new process (the missing-keys file is closed).
// Tests only.
void resetLocalizationForTesting();

}  // namespace vantrel::foundation_internal
