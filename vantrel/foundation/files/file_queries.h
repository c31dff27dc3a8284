// File: vantrel/foundation/files/file_queries.h
//
// Questions about items in the file system, asked again on every call:
// existence, folder or not, size and creation date.
//
//   fileExistsAndIsDirectory(Fm(), url);   // through the given receiver
//   fileExists(url);                       // always through the shared Fm()
//   vtFileSize(Fm(), "/tmp/a.txt");        // bytes, or nullopt after "Error: <description>"
//
// The existence and folder tests follow a symbolic link at the end of the
// path (a link to a folder is a folder; a link whose target is missing is
// no item) and answer false for any path without an item, "" included. The
// size and date readers look at the item itself, not a link's target; when
// they cannot read it they print one line, "Error: …" (`vtFileSize`) or
// "Error = …" (`vtFileSizeAndCreationDate`), and answer nullopt. The creation
// date is the file's birth time where the file system records it, else its
// modification time. Nothing throws; any thread may call.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

#include "vantrel/platform/foundation/files/file_manager.h"
#include "vantrel/platform/foundation/files/url.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// The shared file manager, `FileManager::defaultManager()`.
[[nodiscard]] inline FileManager& Fm() { return FileManager::defaultManager(); }

[[nodiscard]] bool fileExists(FileManager& self, const URL& url);
// `url` itself (unchanged) when an item exists at its path.
[[nodiscard]] std::optional<URL> nilWhenFileNotExists(FileManager& self, const URL& url);
[[nodiscard]] bool fileExistsAndIsDirectory(FileManager& self, const URL& url);
[[nodiscard]] bool fileExistsAndIsNotDirectory(FileManager& self, const URL& url);
[[nodiscard]] bool fileExistsAtPathAndIsDirectory(FileManager& self, std::string_view path);
[[nodiscard]] bool vtIsDirectory(FileManager& self, std::string_view path);
[[nodiscard]] bool vtIsDirectory(FileManager& self, const URL& url);

[[nodiscard]] std::optional<std::int64_t> vtFileSize(FileManager& self, std::string_view path);
[[nodiscard]] std::optional<std::int64_t> vtFileSize(FileManager& self, const URL& url);
[[nodiscard]] std::optional<std::pair<std::int64_t, std::chrono::system_clock::time_point>>
vtFileSizeAndCreationDate(FileManager& self, const URL& url);

// The same questions through the shared `Fm()`.
[[nodiscard]] bool fileExists(const URL& url);
[[nodiscard]] std::optional<URL> nilWhenFileNotExists(const URL& url);
[[nodiscard]] bool fileExistsAndIsDirectory(const URL& url);
[[nodiscard]] bool fileExistsAndIsNotDirectory(const URL& url);

}  // namespace vantrel
