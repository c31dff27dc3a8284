#include "vantrel/shortcuts/recorder/internal/internal_localization.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <utility>

#include "vantrel/core/no_destructor.h"
#include "vantrel/platform/foundation/bundles/bundle.h"

namespace vantrel {

struct InternalLocalizationMaker {
  static VantrelInternalLocalization* make(const std::vector<std::string>& preferredLocalizations) {
    return new VantrelInternalLocalization(preferredLocalizations);
  }
};

namespace {

struct SharedTable {
  std::mutex mutex;  // guards making, retiring and the source
  std::atomic<VantrelInternalLocalization*> instance{nullptr};
  recorder_internal::PreferredLocalizationsSource source;
  // Tables replaced by a test's reset; kept so that references stay valid.
  std::vector<VantrelInternalLocalization*> retired;
};

SharedTable& sharedTable() {
  static NoDestructor<SharedTable> table;
  return *table;
}

}  // namespace

VantrelInternalLocalization& VantrelInternalLocalization::si() {
  SharedTable& shared = sharedTable();
  if (VantrelInternalLocalization* existing = shared.instance.load(std::memory_order_acquire)) return *existing;
  std::lock_guard lock(shared.mutex);
  if (VantrelInternalLocalization* existing = shared.instance.load(std::memory_order_relaxed)) return *existing;
  const std::vector<std::string> preferred =
      shared.source ? shared.source() : Bundle::main()->preferredLocalizations();
  VantrelInternalLocalization* made = InternalLocalizationMaker::make(preferred);
  shared.instance.store(made, std::memory_order_release);
  return *made;
}

VantrelInternalLocalization::VantrelInternalLocalization(const std::vector<std::string>& preferredLocalizations)
    : language_(!preferredLocalizations.empty() && preferredLocalizations.front() == "de"
                    ? VantrelInternalLocalizationLanguage::german
                    : VantrelInternalLocalizationLanguage::english),
      code2string_(commonLocalizationsMap(language_)) {}

void VantrelInternalLocalization::registerMap(const LocalizationMap& map, std::string_view prefix) {
  if (registeredPrefixes_.contains(prefix)) return;
  for (const auto& [key, text] : map) {
    code2string_.insert_or_assign(std::string(prefix) + "_" + key, text);
  }
  registeredPrefixes_.emplace(prefix);
}

std::string VantrelInternalLocalization::localize(std::string_view key) const {
  if (const auto found = code2string_.find(key); found != code2string_.end()) return found->second;
  return "$$" + std::string(key) + "$$";
}

LocalizationMap commonLocalizationsMap(VantrelInternalLocalizationLanguage language) {
  switch (language) {
    case VantrelInternalLocalizationLanguage::german:
      return {{"Cancel", "Abbrechen"}, {"OK", "OK"}};
    case VantrelInternalLocalizationLanguage::english:
      break;
  }
  return {{"Cancel", "Cancel"}, {"OK", "OK"}};
}

namespace recorder_internal {

void resetInternalLocalizationForTesting(PreferredLocalizationsSource source) {
  SharedTable& shared = sharedTable();
  std::lock_guard lock(shared.mutex);
  if (VantrelInternalLocalization* old = shared.instance.exchange(nullptr, std::memory_order_acq_rel)) {
    shared.retired.push_back(old);
  }
  shared.source = std::move(source);
}

}  // namespace recorder_internal

}  // namespace vantrel
