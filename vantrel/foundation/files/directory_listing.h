// File: vantrel/foundation/files/directory_listing.h
//
// Walks below a folder: entry names, lazy iterators over its folders or its
// other entries ("files"), a walk handing each folder to a closure, and one
// eager collection of paths. All walk through the receiver's
// `FileManager::enumerator`: unsorted, depth first, a folder before its
// contents, hidden entries included, symbolic links never entered (a link
// to a folder is an entry, not a way out of the tree).
//
//   auto jpegs = urlIteratorForFiles(Fm(), folder, true, {"jpg"});
//   while (auto url = jpegs->next()) ...                // a.jpg, b.Jpg
//
//   auto code = urlIteratorForFilesRecurseInto(Fm(), folder,
//       [](const URL& dir) { return dir.lastPathComponent() != ".git"; },
//       [](const std::string& name) { return hasSuffix(name, ".cpp"); });
//
//   collectFilePathsIn(Fm(), "/tmp/x", "txt", true, false);   // notes.txt, atxt
//
// Folders and files: apart from the two `RecurseInto` iterators and the
// path collection, an entry is a folder when `vtIsDirectory(self, url)`
// says so, which follows a link at the end: a link to a folder is then
// passed over as a file and delivered as a folder (but not entered). The
// `RecurseInto` iterators read the entry's own type, so a link is a file to
// them. Iterators read only as far as the next entry they deliver.
// A folder that cannot be read, or an entry whose type cannot be read,
// prints "Error: <description>"; the iterators go on, the path collection
// stops and answers what it has. A nullopt result means the folder could
// not be opened at all. One thread per iterator; the receiver must outlive
// the iterators it made.
#pragma once

#include <concepts>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/collections/any_iterator.h"
#include "vantrel/platform/foundation/files/file_manager.h"
#include "vantrel/platform/foundation/files/url.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

namespace foundation_internal {
std::optional<AnyIterator<URL>> urlIteratorForDirsIn(FileManager& self, const URL& folder, bool recursive);
void forEachDirIn(FileManager& self, const URL& folder, bool recursive, const std::function<void(const URL&)>& onDir);
std::optional<AnyIterator<URL>> urlIteratorWithLimitForFilesIn(FileManager& self, const URL& folder, bool recursive,
                                                               const std::vector<std::string>& allowedExtensions,
                                                               std::optional<std::int64_t> limit);
std::vector<std::string> collectFilePathsIn(FileManager& self, std::string_view folderPath,
                                            const std::optional<std::string>& withSuffix, bool recursive,
                                            bool includeDirectoryPaths,
                                            const std::function<bool(const std::string&)>& filePathMatchFilter);
}  // namespace foundation_internal

// The folders below `folder` (its own only, unless `recursive`).
[[nodiscard]] inline std::optional<AnyIterator<URL>> urlIteratorForDirsIn(FileManager& self, const URL& folder,
                                                                          std::same_as<bool> auto recursive) {
  return foundation_internal::urlIteratorForDirsIn(self, folder, recursive);
}
[[nodiscard]] inline std::optional<AnyIterator<URL>> urlIteratorForDirsIn(FileManager& self, const URL& folder) {
  return foundation_internal::urlIteratorForDirsIn(self, folder, false);
}

// Calls `onDir` for each folder `urlIteratorForDirsIn` delivers, in order.
inline void forEachDirIn(FileManager& self, const URL& folder, std::same_as<bool> auto recursive,
                         const std::function<void(const URL&)>& onDir) {
  foundation_internal::forEachDirIn(self, folder, recursive, onDir);
}
inline void forEachDirIn(FileManager& self, const URL& folder, const std::function<void(const URL&)>& onDir) {
  foundation_internal::forEachDirIn(self, folder, false, onDir);
}

// The names of the folder's own entries, folders and files; [] when empty.
[[nodiscard]] std::optional<std::vector<std::string>> filenamesIn(FileManager& self, const URL& folder);

// The files below `folder`; with `allowedExtensions`, only those whose
// extension, lower-cased, is one of them lower-cased ("" lets files without
// an extension through; ".jpg" never matches).
[[nodiscard]] inline std::optional<AnyIterator<URL>> urlIteratorForFiles(
    FileManager& self, const URL& folder, std::same_as<bool> auto recursive,
    const std::vector<std::string>& allowedExtensions = {}) {
  return foundation_internal::urlIteratorWithLimitForFilesIn(self, folder, recursive, allowedExtensions, std::nullopt);
}
[[nodiscard]] inline std::optional<AnyIterator<URL>> urlIteratorForFiles(FileManager& self, const URL& folder) {
  return foundation_internal::urlIteratorWithLimitForFilesIn(self, folder, false, {}, std::nullopt);
}

// The same, ending by count: a limit of n (n >= 1) delivers at most n - 1
// files, and nothing ever again once it has answered nothing; a limit of 0
// or less, or none, counts nothing.
[[nodiscard]] inline std::optional<AnyIterator<URL>> urlIteratorWithLimitForFilesIn(
    FileManager& self, const URL& folder, std::same_as<bool> auto recursive,
    const std::vector<std::string>& allowedExtensions = {}, std::optional<std::int64_t> limit = std::nullopt) {
  return foundation_internal::urlIteratorWithLimitForFilesIn(self, folder, recursive, allowedExtensions, limit);
}

// Every file at any depth whose folders `recurseInto` accepted (it is asked
// once per folder met, before the folder's contents; folders themselves are
// never delivered), and, in the second form, whose name `includeFilename`
// accepts.
[[nodiscard]] std::optional<AnyIterator<URL>> urlIteratorForFilesRecurseInto(
    FileManager& self, const URL& folder, std::function<bool(const URL&)> recurseInto);
[[nodiscard]] std::optional<AnyIterator<URL>> urlIteratorForFilesRecurseInto(
    FileManager& self, const URL& folder, std::function<bool(const URL&)> recurseInto,
    std::function<bool(const std::string&)> includeFilename);

// The paths below the folder at `folderPath`, in walk order: folders only
// with `includeDirectoryPaths` (asked of the shared `Fm()`), names ending in
// a non-empty `withSuffix` only (case-sensitive, canonically equivalent
// texts match), and paths `filePathMatchFilter` accepts only. "" names no
// folder: [].
[[nodiscard]] inline std::vector<std::string> collectFilePathsIn(
    FileManager& self, std::string_view folderPath, const std::optional<std::string>& withSuffix,
    std::same_as<bool> auto recursive, std::same_as<bool> auto includeDirectoryPaths,
    const std::function<bool(const std::string&)>& filePathMatchFilter = {}) {
  return foundation_internal::collectFilePathsIn(self, folderPath, withSuffix, recursive, includeDirectoryPaths,
                                                 filePathMatchFilter);
}

}  // namespace vantrel
