#include "vantrel/platform/foundation/bundles/internal/loaded_bundles.h"

#include <algorithm>
#include <mutex>

#include "vantrel/core/no_destructor.h"
#include "vantrel/platform/foundation/bundles/bundle.h"

namespace vantrel {
namespace foundation_internal {
namespace {

struct LoadedPaths {
  std::mutex mutex;
  std::vector<std::string> paths;
};

LoadedPaths& loaded() {
  // Never destroyed: bundles may be looked up during exit.
  static NoDestructor<LoadedPaths> instance;
  return *instance;
}

}  // namespace

void noteLoadedBundlePath(const std::string& path) {
  auto& state = loaded();
  std::lock_guard lock(state.mutex);
  if (std::find(state.paths.begin(), state.paths.end(), path) == state.paths.end()) state.paths.push_back(path);
}

std::vector<std::string> loadedBundlePaths() {
  auto& state = loaded();
  std::lock_guard lock(state.mutex);
  return state.paths;
}

}  // namespace foundation_internal

std::vector<std::shared_ptr<Bundle>> Bundle::allBundles() {
  std::vector<std::shared_ptr<Bundle>> bundles{main()};
  for (const auto& path : foundation_internal::loadedBundlePaths()) {
    if (path == bundles.front()->bundlePath()) continue;
    // A folder removed since it was loaded is passed over.
    if (auto bundle = bundleWithPath(path)) bundles.push_back(std::move(bundle));
  }
  return bundles;
}

std::shared_ptr<Bundle> Bundle::bundleWithIdentifier(std::string_view identifier) {
  for (auto& bundle : allBundles()) {
    if (bundle->bundleIdentifier() == identifier) return bundle;
  }
  return nullptr;
}

}  // namespace vantrel
