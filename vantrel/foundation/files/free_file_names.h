// File: vantrel/foundation/files/free_file_names.h
//
// A file name not yet taken in a folder: the wanted name when it is free,
// else the name with "-1", "-2", … inserted before its (last) extension.
//
//   availableFilenameIn(Fm(), "/tmp/out", "report.txt");   // "report.txt", or
//   // "report-1.txt" after printing "ERROR: Name collision! New Name: report-1.txt"
//   availableFilenameIn(Fm(), dir, "archive.tar.gz");      // "archive.tar-1.gz" when taken
//
// At most 100000 numbered names are tried; when all are taken the answer is
// nullopt and nothing is printed. A wanted name that is empty, ".", ".." or
// holds "/" or NUL also gives nullopt, without touching the file system, so
// the answer always names an item of the folder itself. A
// name whose only dot is its first or last character has no extension
// (".profile" -> ".profile-1"). Any item counts as taken: a file, a folder,
// or a symbolic link, also one whose target is missing (writing through it
// would create a file elsewhere). The answer is a name, not a path, and is
// reserved for nobody: another thread or process may take it first.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "vantrel/platform/foundation/files/file_manager.h"
#include "vantrel/platform/foundation/files/url.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

[[nodiscard]] std::optional<std::string> availableFilename(FileManager& self, const URL& folder,
                                                           std::string_view originalFilename);
[[nodiscard]] std::optional<std::string> availableFilenameIn(FileManager& self, std::string_view folder,
                                                             std::string_view originalFilename);

}  // namespace vantrel
