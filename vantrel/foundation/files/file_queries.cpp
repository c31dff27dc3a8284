#include "vantrel/foundation/files/file_queries.h"

#include <string>

#include "vantrel/core/console.h"

namespace vantrel {
namespace {

// 0: no item, 1: a folder, 2: another item.
int kindAt(FileManager& self, const std::string& path) {
  bool isDirectory = false;  // cleared before the call, as the answer relies on it
  if (!self.fileExistsAtPath(path, isDirectory)) return 0;
  return isDirectory ? 1 : 2;
}

std::optional<FileManager::Attributes> readAttributes(FileManager& self, const std::string& path,
                                                      std::string_view failurePrefix) {
  try {
    return self.attributesOfItem(path);
  } catch (const std::exception& e) {
    consolePrint(std::string(failurePrefix) + errorDescription(e));
    return std::nullopt;
  }
}

}  // namespace

bool fileExists(FileManager& self, const URL& url) { return self.fileExistsAtPath(url.path()); }

std::optional<URL> nilWhenFileNotExists(FileManager& self, const URL& url) {
  if (!self.fileExistsAtPath(url.path())) return std::nullopt;
  return url;
}

bool fileExistsAndIsDirectory(FileManager& self, const URL& url) { return kindAt(self, url.path()) == 1; }
bool fileExistsAndIsNotDirectory(FileManager& self, const URL& url) { return kindAt(self, url.path()) == 2; }
bool fileExistsAtPathAndIsDirectory(FileManager& self, std::string_view path) {
  return kindAt(self, std::string(path)) == 1;
}
bool vtIsDirectory(FileManager& self, std::string_view path) { return fileExistsAtPathAndIsDirectory(self, path); }
bool vtIsDirectory(FileManager& self, const URL& url) { return fileExistsAndIsDirectory(self, url); }

std::optional<std::int64_t> vtFileSize(FileManager& self, std::string_view path) {
  auto attributes = readAttributes(self, std::string(path), "Error: ");
  if (!attributes) return std::nullopt;
  return attributes->size;
}

std::optional<std::int64_t> vtFileSize(FileManager& self, const URL& url) { return vtFileSize(self, url.path()); }

std::optional<std::pair<std::int64_t, std::chrono::system_clock::time_point>> vtFileSizeAndCreationDate(
    FileManager& self, const URL& url) {
  auto attributes = readAttributes(self, url.path(), "Error = ");
  if (!attributes) return std::nullopt;
  return std::pair{attributes->size, attributes->creationDate};
}

bool fileExists(const URL& url) { return fileExists(Fm(), url); }
std::optional<URL> nilWhenFileNotExists(const URL& url) { return nilWhenFileNotExists(Fm(), url); }
bool fileExistsAndIsDirectory(const URL& url) { return fileExistsAndIsDirectory(Fm(), url); }
bool fileExistsAndIsNotDirectory(const URL& url) { return fileExistsAndIsNotDirectory(Fm(), url); }

}  // namespace vantrel
