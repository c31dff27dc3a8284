// The paths of the bundles loaded through `Bundle::bundleWithPath`, which
// `Bundle::allBundles` lists after the main bundle.
#pragma once

#include <string>
#include <vector>

namespace vantrel::foundation_internal {

// Records `path` once; later calls with the same path change nothing.
void noteLoadedBundlePath(const std::string& path);
// The recorded paths, in the order they were first recorded.
[[nodiscard]] std::vector<std::string> loadedBundlePaths();

}  // namespace vantrel::foundation_internal
