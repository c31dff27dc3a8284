#include "vantrel/foundation/files/directory_listing.h"

#include <memory>
#include <set>
#include <utility>

#include "vantrel/core/console.h"
#include "vantrel/foundation/files/file_queries.h"
#include "vantrel/text/path_edits.h"
#include "vantrel/text/string_services.h"

namespace vantrel {
namespace {

// Iterators go on after an error, the path collection stops.
DirectoryEnumerator::ErrorHandler printingHandler(bool goOn) {
  return [goOn](const std::string&, const FileSystemError& error) {
    consolePrint("Error: " + error.description());
    return goOn;
  };
}

std::shared_ptr<DirectoryEnumerator> walk(FileManager& self, const std::string& path, bool recursive, bool goOn) {
  return std::shared_ptr<DirectoryEnumerator>(self.enumerator(path, recursive, printingHandler(goOn)));
}

URL urlOf(const DirectoryEntry& entry) { return URL::fileURLWithPath(entry.path, entry.isDirectory); }

std::optional<AnyIterator<URL>> recurseIntoIterator(FileManager& self, const URL& folder,
                                                    std::function<bool(const URL&)> recurseInto,
                                                    std::function<bool(const std::string&)> includeFilename) {
  auto enumerator = walk(self, folder.path(), true, true);
  if (!enumerator) return std::nullopt;
  return AnyIterator<URL>([enumerator, recurseInto = std::move(recurseInto),
                           includeFilename = std::move(includeFilename)]() -> std::optional<URL> {
    while (auto entry = enumerator->nextEntry()) {
      const URL url = urlOf(*entry);
      if (entry->isDirectory) {
        if (!recurseInto(url)) enumerator->skipDescendants();
        continue;
      }
      if (!includeFilename || includeFilename(url.lastPathComponent())) return url;
    }
    return std::nullopt;
  });
}

}  // namespace

namespace foundation_internal {

std::optional<AnyIterator<URL>> urlIteratorForDirsIn(FileManager& self, const URL& folder, bool recursive) {
  auto enumerator = walk(self, folder.path(), recursive, true);
  if (!enumerator) return std::nullopt;
  return AnyIterator<URL>([enumerator, &self]() -> std::optional<URL> {
    while (auto entry = enumerator->nextEntry()) {
      URL url = urlOf(*entry);
      if (vtIsDirectory(self, url)) return url;
    }
    return std::nullopt;
  });
}

void forEachDirIn(FileManager& self, const URL& folder, bool recursive, const std::function<void(const URL&)>& onDir) {
  auto dirs = urlIteratorForDirsIn(self, folder, recursive);
  if (!dirs) return;
  while (auto url = dirs->next()) onDir(*url);
}

std::optional<AnyIterator<URL>> urlIteratorWithLimitForFilesIn(FileManager& self, const URL& folder, bool recursive,
                                                               const std::vector<std::string>& allowedExtensions,
                                                               std::optional<std::int64_t> limit) {
  auto enumerator = walk(self, folder.path(), recursive, true);
  if (!enumerator) return std::nullopt;
  std::set<std::string> allowed;
  for (const std::string& extension : allowedExtensions) allowed.insert(lowercased(extension));
  // Only a positive limit counts; once it has answered nothing it stays at 0.
  std::optional<std::int64_t> remaining;
  if (limit && *limit > 0) remaining = *limit;
  return AnyIterator<URL>([enumerator, &self, allowed = std::move(allowed), remaining]() mutable -> std::optional<URL> {
    if (remaining) {
      if (*remaining == 0) return std::nullopt;
      if (--*remaining == 0) return std::nullopt;
    }
    while (auto entry = enumerator->nextEntry()) {
      URL url = urlOf(*entry);
      if (vtIsDirectory(self, url)) continue;
      if (allowed.empty() || allowed.count(lowercased(url.pathExtension())) != 0) return url;
    }
    return std::nullopt;
  });
}

std::vector<std::string> collectFilePathsIn(FileManager& self, std::string_view folderPath,
                                            const std::optional<std::string>& withSuffix, bool recursive,
                                            bool includeDirectoryPaths,
                                            const std::function<bool(const std::string&)>& filePathMatchFilter) {
  std::vector<std::string> paths;
  if (folderPath.empty()) return paths;  // would otherwise name the current folder
  auto enumerator = walk(self, URL::fileURLWithPath(folderPath, true).path(), recursive, false);
  if (!enumerator) return paths;
  while (auto entry = enumerator->nextEntry()) {
    const std::string path = URL::fileURLWithPath(entry->path, entry->isDirectory).path();
    if (!includeDirectoryPaths) {
      bool isDirectory = false;
      if (Fm().fileExistsAtPath(path, isDirectory) && isDirectory) continue;
    }
    if (withSuffix && !withSuffix->empty() && !hasSuffix(lastPathComponent(path), *withSuffix)) continue;
    if (filePathMatchFilter && !filePathMatchFilter(path)) continue;
    paths.push_back(path);
  }
  return paths;
}

}  // namespace foundation_internal

std::optional<std::vector<std::string>> filenamesIn(FileManager& self, const URL& folder) {
  auto enumerator = walk(self, folder.path(), false, true);
  if (!enumerator) return std::nullopt;
  std::vector<std::string> names;
  while (auto entry = enumerator->nextEntry()) names.push_back(urlOf(*entry).lastPathComponent());
  return names;
}

std::optional<AnyIterator<URL>> urlIteratorForFilesRecurseInto(FileManager& self, const URL& folder,
                                                               std::function<bool(const URL&)> recurseInto) {
  return recurseIntoIterator(self, folder, std::move(recurseInto), nullptr);
}

std::optional<AnyIterator<URL>> urlIteratorForFilesRecurseInto(FileManager& self, const URL& folder,
                                                               std::function<bool(const URL&)> recurseInto,
                                                               std::function<bool(const std::string&)> includeFilename) {
  if (!includeFilename) includeFilename = [](const std::string&) { return true; };
  return recurseIntoIterator(self, folder, std::move(recurseInto), std::move(includeFilename));
}

}  // namespace vantrel
