// File: vantrel/foundation/files/application_folders.h
//
// `VtFileUtils`: the application's folders as paths and URLs, and a walk,
// the clearing and the size of a folder, printed as they go. The private
// documents folder is "<library>/Private Documents" (where the log files
// live too); Documents is the user's Documents folder (folders.h).
//
//   vtFileUtils.applicationPrivateDocumentsDirectory(true);   // made when missing
//   vtFileUtils.deleteFilesInDirectory("/tmp/cache");         // "deleting = /tmp/cache/a", ...
//   vtFileUtils.directorySize("/tmp/cache");                  // bytes, every entry's own size
//
// The one instance `vtFileUtils` dispatches virtually, as the loggers do:
// a subclass that overrides a URL form changes its path form too.
// Walk, clearing and size never follow a symbolic link into a folder: a link
// is an entry of its own; clearing removes the link and leaves its target
// alone, and the size counts the link's own size (the folder named may
// itself be reached through a link). "" names no folder:
// nothing is walked, removed or counted. Folder creation goes through
// `ensureDirExists`, which reports its own failures; the path or URL is
// answered in every case. Stateless; any thread may call.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "vantrel/platform/foundation/files/url.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class VtFileUtils {
 public:
  constexpr VtFileUtils() = default;
  // Trivial, not virtual: the instance below is then never destroyed.
  ~VtFileUtils() = default;

  // The path of `applicationPrivateDocumentsDirectoryUrl`.
  [[nodiscard]] virtual std::string applicationPrivateDocumentsDirectory(bool createIfNotExist = false) const;
  // The path of `applicationPrivateDocumentsDirectorySubDirectoryUrlNamed`.
  [[nodiscard]] virtual std::string applicationPrivateDocumentsDirectorySubDirectoryNamed(
      std::string_view name, bool createIfNotExist = false) const;
  // "<library>/Private Documents"; with the flag, created with its parents.
  [[nodiscard]] virtual URL applicationPrivateDocumentsDirectoryUrl(bool createIfNotExist = false) const;
  // The private documents folder, then `name`; with the flag, created with its parents.
  [[nodiscard]] virtual URL applicationPrivateDocumentsDirectorySubDirectoryUrlNamed(
      std::string_view name, bool createIfNotExist = false) const;
  [[nodiscard]] virtual std::string applicationDocumentsDirectory() const;
  // Documents, then `name`; with the flag, created with its parents.
  [[nodiscard]] virtual std::string applicationDocumentsDirectorySubDirectoryNamed(
      std::string_view name, bool createIfNotExist = false) const;
  // An item exists at `path` and is a folder (a link to a folder counts).
  [[nodiscard]] virtual bool isDirectory(std::string_view path) const;
  // Calls `onFile` with the path of each entry (folders too) below
  // `folderPath` whose name ends with `withSuffix` (canonically equivalent
  // texts match; "" and nullopt match all). A folder that cannot be read
  // prints "Error: <description>" and "at Url: '<url>'", and the walk goes on.
  virtual void operateOnFilesIn(std::string_view folderPath, const std::optional<std::string>& withSuffix,
                                bool recursive, const std::function<void(const std::string&)>& onFile) const;
  // Removes every entry below the folder, which stays: "deleting = <path>"
  // before each removal, "Error = <description>" after a failed one. A
  // removed folder's entries are not visited again.
  virtual void deleteFilesInDirectory(std::string_view folderPath) const;
  // The sum of every entry's own size ("<path>, Size = <n>" for each; an
  // unreadable one prints "Error = <description>" and counts nothing); 0,
  // silently, when the folder cannot be listed.
  [[nodiscard]] virtual std::int64_t directorySize(std::string_view folderPath) const;
};

inline const VtFileUtils vtFileUtils{};

}  // namespace vantrel
