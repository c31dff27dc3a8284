#include "vantrel/platform/foundation/bundles/main_bundle.h"

#include <unistd.h>

#include <cstdint>
#include <iterator>
#include <mutex>
#include <string_view>
#include <vector>

#include "vantrel/json/json.h"
#include "vantrel/platform/foundation/bundles/internal/info_json.h"
#include "vantrel/platform/posix/read_file.h"

namespace vantrel {
namespace foundation_internal {

std::optional<std::string> infoJsonText(std::string_view json, std::string_view key) {
  try {
    return Json::fromData(json, JsonReadingOptions{})[key].string();
  } catch (const JsonReadError&) {
    return std::nullopt;
  }
}

}  // namespace foundation_internal

namespace {

struct Registration {
  std::mutex mutex;
  std::optional<std::string> identifier;
};

Registration& registration() {
  static auto* state = new Registration();  // never destroyed: read by exit-time logging
  return *state;
}

}  // namespace

std::string mainBundlePath() {
  std::vector<char> buffer(4096);
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return ".";
    if (static_cast<std::size_t>(n) < buffer.size()) {
      std::string path(buffer.data(), static_cast<std::size_t>(n));
      const auto slash = path.rfind('/');
      if (slash == std::string::npos) return ".";
      return slash == 0 ? "/" : path.substr(0, slash);
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::optional<std::string> mainBundleIdentifier() {
  {
    Registration& state = registration();
    std::lock_guard lock(state.mutex);
    if (state.identifier) return state.identifier;
  }
  std::string contents;
  if (posix::readFile(mainBundlePath() + "/Info.json", contents)) return std::nullopt;
  auto identifier = foundation_internal::infoJsonText(contents, "CFBundleIdentifier");
  if (identifier && identifier->empty()) return std::nullopt;
  return identifier;
}

void registerMainBundleIdentifier(std::optional<std::string> identifier) {
  Registration& state = registration();
  std::lock_guard lock(state.mutex);
  state.identifier = std::move(identifier);
}

}  // namespace vantrel
