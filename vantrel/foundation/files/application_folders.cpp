#include "vantrel/foundation/files/application_folders.h"

#include <vector>

#include "vantrel/core/console.h"
#include "vantrel/core/error.h"
#include "vantrel/core/number_text.h"
#include "vantrel/foundation/files/file_operations.h"
#include "vantrel/foundation/files/file_queries.h"
#include "vantrel/platform/foundation/files/folders.h"
#include "vantrel/text/path_edits.h"
#include "vantrel/text/string_services.h"

namespace vantrel {

std::string VtFileUtils::applicationPrivateDocumentsDirectory(bool createIfNotExist) const {
  return applicationPrivateDocumentsDirectoryUrl(createIfNotExist).path();
}

std::string VtFileUtils::applicationPrivateDocumentsDirectorySubDirectoryNamed(std::string_view name,
                                                                               bool createIfNotExist) const {
  return applicationPrivateDocumentsDirectorySubDirectoryUrlNamed(name, createIfNotExist).path();
}

URL VtFileUtils::applicationPrivateDocumentsDirectoryUrl(bool createIfNotExist) const {
  URL url = URL::fileURLWithPath(standardFolderPath(StandardFolder::library), true)
                .appendingPathComponent("Private Documents", true);
  if (createIfNotExist) (void)ensureDirExists(Fm(), url);
  return url;
}

URL VtFileUtils::applicationPrivateDocumentsDirectorySubDirectoryUrlNamed(std::string_view name,
                                                                          bool createIfNotExist) const {
  URL url = applicationPrivateDocumentsDirectoryUrl(false).appendingPathComponent(name, true);
  if (createIfNotExist) (void)ensureDirExists(Fm(), url);
  return url;
}

std::string VtFileUtils::applicationDocumentsDirectory() const { return standardFolderPath(StandardFolder::documents); }

std::string VtFileUtils::applicationDocumentsDirectorySubDirectoryNamed(std::string_view name,
                                                                        bool createIfNotExist) const {
  std::string path = applicationDocumentsDirectory();
  if (!name.empty()) {
    if (path != "/") path += '/';
    path += name;
  }
  if (createIfNotExist) (void)ensureDirExists(Fm(), std::string_view(path));
  return path;
}

bool VtFileUtils::isDirectory(std::string_view path) const {
  bool isDirectory = false;
  return Fm().fileExistsAtPath(std::string(path), isDirectory) && isDirectory;
}

void VtFileUtils::operateOnFilesIn(std::string_view folderPath, const std::optional<std::string>& withSuffix,
                                   bool recursive, const std::function<void(const std::string&)>& onFile) const {
  if (folderPath.empty()) return;
  const URL folder = URL::fileURLWithPath(folderPath, true);
  auto enumerator = Fm().enumerator(folder.path(), recursive, [](const std::string& path, const FileSystemError& error) {
    consolePrint("Error: " + error.description());
    consolePrint("at Url: '" + URL::fileURLWithPath(path).description() + "'");
    return true;
  });
  if (!enumerator) return;
  while (auto entry = enumerator->nextEntry()) {
    const std::string path = URL::fileURLWithPath(entry->path).path();
    if (withSuffix && !hasSuffix(lastPathComponent(path), *withSuffix)) continue;
    onFile(path);
  }
}

void VtFileUtils::deleteFilesInDirectory(std::string_view folderPath) const {
  if (folderPath.empty()) return;
  auto enumerator = Fm().enumerator(std::string(folderPath), true, [](const std::string&, const FileSystemError& error) {
    consolePrint("Error = " + error.description());
    return true;
  });
  if (!enumerator) return;
  while (auto entry = enumerator->nextEntry()) {
    consolePrint("deleting = " + entry->path);
    try {
      Fm().removeItem(entry->path);
      // Gone with everything in it: nothing below is left to visit.
      enumerator->skipDescendants();
    } catch (const std::exception& error) {
      consolePrint("Error = " + errorDescription(error));
    }
  }
}

std::int64_t VtFileUtils::directorySize(std::string_view folderPath) const {
  if (folderPath.empty()) return 0;
  bool failed = false;
  auto enumerator = Fm().enumerator(std::string(folderPath), true, [&failed](const std::string&, const FileSystemError&) {
    failed = true;  // a listing with holes would understate the size
    return false;
  });
  if (!enumerator) return 0;
  std::vector<std::string> paths;
  while (auto entry = enumerator->nextEntry()) paths.push_back(std::move(entry->path));
  if (failed) return 0;
  std::int64_t total = 0;
  for (const std::string& path : paths) {
    try {
      const std::int64_t size = Fm().attributesOfItem(path).size;
      consolePrint(path + ", Size = " + integerText(size));
      total += size;
    } catch (const std::exception& error) {
      consolePrint("Error = " + errorDescription(error));
    }
  }
  return total;
}

}  // namespace vantrel
