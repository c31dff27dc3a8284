#include "vantrel/foundation/files/free_file_names.h"

#include <functional>

#include <fmt/format.h>

#include "vantrel/core/console.h"
#include "vantrel/foundation/files/internal/beneath.h"

namespace vantrel {
namespace {

constexpr int kMaximumCounter = 100000;

struct SplitName {
  std::string base;
  std::string extension;  // without the dot; empty for none
};

SplitName split(std::string_view name) {
  const auto dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0 || dot + 1 == name.size()) return {std::string(name), ""};
  return {std::string(name.substr(0, dot)), std::string(name.substr(dot + 1))};
}

std::string joined(const std::string& base, const std::string& extension) {
  return extension.empty() ? base : base + "." + extension;
}

bool taken(FileManager& self, const std::string& path) {
  if (self.fileExistsAtPath(path)) return true;
  try {
    (void)self.attributesOfItem(path);  // a link whose target is missing
    return true;
  } catch (const FileSystemError&) {
    return false;
  }
}

std::optional<std::string> search(FileManager& self, std::string_view originalFilename,
                                  const std::function<std::string(const std::string&)>& pathOf) {
  // A name that is not one level below the folder would be looked up (and
  // then written) somewhere else.
  if (!foundation_internal::isSafePathComponent(originalFilename)) return std::nullopt;
  const SplitName name = split(originalFilename);
  const std::string first = joined(name.base, name.extension);
  if (!taken(self, pathOf(first))) return first;
  for (int counter = 1; counter <= kMaximumCounter; ++counter) {
    const std::string candidate = joined(fmt::format("{}-{}", name.base, counter), name.extension);
    if (!taken(self, pathOf(candidate))) {
      consolePrint("ERROR: Name collision! New Name: " + candidate);
      return candidate;
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> availableFilename(FileManager& self, const URL& folder, std::string_view originalFilename) {
  return search(self, originalFilename,
                [&](const std::string& candidate) { return folder.appendingPathComponent(candidate).path(); });
}

std::optional<std::string> availableFilenameIn(FileManager& self, std::string_view folder,
                                               std::string_view originalFilename) {
  std::string prefix(folder);
  while (prefix.size() > 1 && prefix.back() == '/') prefix.pop_back();
  if (!prefix.empty() && prefix.back() != '/') prefix += '/';
  return search(self, originalFilename, [&](const std::string& candidate) { return prefix + candidate; });
}

}  // namespace vantrel
