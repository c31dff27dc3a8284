// File: vantrel/foundation/files/file_operations.h
//
// Creating folders, copying and removing items through a `FileManager`
// receiver (usually `Fm()`), each failure printed in fixed words on standard
// output and then thrown, handed to a callback, answered with false or left
// at that.
//
//   ensureDirExists(Fm(), URL::fileURLWithPath("/tmp/out", true));   // true or false
//   copyIfExists(Fm(), from, to, /*overwrite=*/true);                 // throws VantrelNSFileManagerError
//   copyIfExists_silent(Fm(), from, to, false, [](const auto& e) { ... });
//   removeIfExists(Fm(), url);                                        // a missing item is no error
//
// Copies never touch the destination until the whole copy exists under a
// temporary name beside it, which is then renamed into place (an overwritten
// destination is replaced in one step, so a failed copy leaves it as it
// was). Copies and removals never follow a symbolic link inside the tree:
// links are copied and removed as links.
//
// Lines printed: "❌ Error: …", "❌ File Not Found: …", "Error = …",
// "File Not Found: …", "Could not clear temp folder: …"; removals of single
// items print the red `qlog.error` line "Error deleting '<item>':<error>";
// folder creation prints through `VantrelCoding::importantLog`. Everything
// runs synchronously on the caller's thread; callbacks run before the
// operation returns.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "vantrel/core/error.h"
#include "vantrel/platform/foundation/files/file_manager.h"
#include "vantrel/platform/foundation/files/url.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// The error the throwing helpers raise and the silent ones report. Each
// case carries one message text (`message()`); `description()` is the
// generic text of an error that supplies none of its own, "The operation
// couldn't be completed. (vantrel.VantrelNSFileManagerError error <code>.)".
class VantrelNSFileManagerError : public Error {
 public:
  enum class Case {
    couldNotCreateDirectory,
    fileAlreadyExists,  // raised by no operation
    fileNotFound,
    failedToCopy,
    errorDeletingPath,
  };

  VantrelNSFileManagerError(Case kind, std::string message);

  [[nodiscard]] Case kind() const { return kind_; }
  [[nodiscard]] const std::string& message() const { return message_; }
  // The case's position, 0 to 4.
  [[nodiscard]] std::int64_t code() const { return static_cast<std::int64_t>(kind_); }
  static constexpr std::string_view domain = "vantrel.VantrelNSFileManagerError";

  friend bool operator==(const VantrelNSFileManagerError& a, const VantrelNSFileManagerError& b) {
    return a.kind_ == b.kind_ && a.message_ == b.message_;
  }

 private:
  Case kind_;
  std::string message_;
};

using FileManagerErrorCallback = std::function<void(const VantrelNSFileManagerError&)>;

// Creates the folder and its missing parents; an existing folder is
// success. On failure prints "Couldn't create dir <path>: <description>"
// through `VantrelCoding::importantLog` and answers false.
bool ensureDirExists(FileManager& self, const URL& folder);
// The same for a path, taken as a folder.
bool ensureDirExists(FileManager& self, std::string_view folderPath);

// Copies `from` to `to`: tests the source, creates the destination's folder,
// then copies (replacing an existing destination only when `overwrite`).
// Prints "❌ Error: File Not Found: <path>" or "❌ Error: <description>",
// then throws fileNotFound, couldNotCreateDirectory or failedToCopy.
void copyIfExists(FileManager& self, const URL& from, const URL& to, bool overwrite = false);
// Copies `from` into `folder` under its own name, never overwriting.
void copyIfExistsInto(FileManager& self, const URL& from, const URL& folder);
// As `copyIfExists`, but nothing is thrown: each failure is printed ("❌ File
// Not Found: <path>" for a missing source) and handed to `onError`. A folder
// that cannot be created is reported and the copy is still tried.
void copyIfExists_silent(FileManager& self, const URL& from, const URL& to, bool overwrite = false,
                         const FileManagerErrorCallback& onError = {});
// Into `folder` under the source's own name, never overwriting.
void copyIfExists_silentInto(FileManager& self, const URL& from, const URL& folder,
                             const FileManagerErrorCallback& onError = {});
// The copy alone: no source test, no folder creation; a failure prints
// "❌ Error: <description>" and reports failedToCopy.
void copy_silent(FileManager& self, const URL& from, const URL& to, bool overwrite = false,
                 const FileManagerErrorCallback& onError = {});
// `copyIfExists` on paths: prints "File Not Found: <path>" or
// "Error = <description>"; the error texts carry the paths as given.
void vtCopyIfExistsFrom(FileManager& self, std::string_view from, std::string_view to, bool overwrite = false);
// Into the folder path under the source's last path component, through the
// URL form of `copyIfExists` (its messages and errors apply).
void vtCopyIfExistsFromIntoDirectory(FileManager& self, std::string_view from, std::string_view intoDirectory);

// Removes the item (a folder with its contents) when one exists. On failure
// prints the red line and throws errorDeletingPath "Error deleting '<item>':
// <description>".
void removeIfExists(FileManager& self, const URL& item);
void removeItemAtPathIfExists(FileManager& self, std::string_view path);
// Removes the item without testing that it exists; a failure (a missing
// item too) prints the red line only.
void removeItemAtPathVtLog(FileManager& self, std::string_view path);
// Removes every entry of the folder (hidden ones too), keeping the folder.
// The first failure stops it and prints "Could not clear temp folder: " and
// the error's debug description.
void removeContentsRecursively(FileManager& self, const URL& folder);
// Clears the folder as above, then removes it; that failure prints
// "❌ Error: Could not clear temp folder: " and the debug description.
void removeRecursively(FileManager& self, const URL& folder);

}  // namespace vantrel
