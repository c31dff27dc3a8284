#include "vantrel/foundation/bundles/bundle_information.h"

#include <dlfcn.h>

#include <map>
#include <mutex>

#include "vantrel/core/core_values.h"
#include "vantrel/core/no_destructor.h"
#include "vantrel/core/number_text.h"
#include "vantrel/json/json.h"
#include "vantrel/platform/foundation/bundles/main_bundle.h"
#include "vantrel/platform/posix/read_file.h"

namespace vantrel {
namespace {

std::optional<std::string> infoText(const Bundle& self, std::string_view key) {
  std::string contents;
  const std::string& folder = self.bundlePath();
  if (posix::readFile(folder == "/" ? "/Info.json" : folder + "/Info.json", contents)) return std::nullopt;
  try {
    return Json::fromData(contents)[key].string();
  } catch (const std::exception&) {
    return std::nullopt;  // a damaged file holds no values
  }
}

struct Registry {
  std::mutex mutex;
  std::map<std::string, std::shared_ptr<Bundle>, std::less<>> bundles;
};

Registry& registry() {
  static NoDestructor<Registry> r;
  return *r;
}

// The folder of the file this code was loaded from: the shared library, or
// the executable it was linked into.
std::string libraryFolder() {
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&libraryFolder), &info) == 0 || info.dli_fname == nullptr) {
    return mainBundlePath();
  }
  std::string path = info.dli_fname;
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return mainBundlePath();
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

std::optional<std::string> cfBundleShortVersionString(const Bundle& self) {
  return infoText(self, "CFBundleShortVersionString");
}
std::optional<std::string> vtCfBundleShortVersionString(const Bundle& self) { return cfBundleShortVersionString(self); }
std::optional<std::string> vtVersion(const Bundle& self) { return cfBundleShortVersionString(self); }

std::optional<std::int64_t> cfBundleVersion(const Bundle& self) {
  auto text = infoText(self, "CFBundleVersion");
  if (!text) return std::nullopt;
  return parseInt64(*text);  // nullopt too for a build that overflows
}
std::optional<std::int64_t> vtCfBundleVersion(const Bundle& self) { return cfBundleVersion(self); }
std::optional<std::int64_t> vtBuildNumber(const Bundle& self) { return cfBundleVersion(self); }

std::optional<std::string> cfBundleShortVersionStringAndBundleVersionString(const Bundle& self) {
  auto version = cfBundleShortVersionString(self);
  auto build = cfBundleVersion(self);
  if (!version || !build) return std::nullopt;
  return *version + " (Build " + integerText(*build) + ")";
}

std::optional<std::string> vtBundleIdentifier(const Bundle& self) {
  {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    for (const auto& [identifier, bundle] : r.bundles) {
      if (bundle.get() == &self) return identifier;
    }
  }
  return self.bundleIdentifier();
}

std::optional<std::string> vtPathForResource(const Bundle& self, std::string_view name) {
  return self.pathForResource(name, "");
}

void registerBundle(std::string_view identifier, std::shared_ptr<Bundle> bundle) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  r.bundles.insert_or_assign(std::string(identifier), std::move(bundle));
}

std::shared_ptr<Bundle> bundleWithIdentifier(std::string_view identifier) {
  if (identifier == VantrelCommonBundleIdentifier) return vantrelBundle();
  if (mainBundleIdentifier() == identifier) return Bundle::main();
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  const auto found = r.bundles.find(identifier);
  return found == r.bundles.end() ? nullptr : found->second;
}

std::shared_ptr<Bundle> vantrelBundle() {
  static const bool registered = [] {
    if (auto bundle = Bundle::bundleWithPath(libraryFolder())) registerBundle(VantrelCommonBundleIdentifier, bundle);
    return true;
  }();
  (void)registered;
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  const auto found = r.bundles.find(VantrelCommonBundleIdentifier);
  return found == r.bundles.end() ? nullptr : found->second;
}

std::string_view UTI::url() { return "public.url"; }

namespace {

// The storage a platform number reports: Booleans and characters share the
// 8-bit "c" (that is how Booleans come to be told by it at all).
bool isStoredAsChar(const JsonNumber& self) {
  return self.kind() == JsonNumber::Kind::boolean || self.kind() == JsonNumber::Kind::character;
}

}  // namespace

bool vtIsBool(const JsonNumber& self) { return isStoredAsChar(self); }
bool vtIsBool2(const JsonNumber& self) { return self.isBool(); }
bool vtIsBool3Bool(const JsonNumber& self) {
  // The type encoding: "c" for Booleans and characters, "q" and "Q" for
  // integers, "d" otherwise.
  return isStoredAsChar(self);
}

}  // namespace vantrel
