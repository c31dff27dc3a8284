#include "vantrel/foundation/files/file_operations.h"

#include <fmt/format.h>

#include "vantrel/core/coding_aids.h"
#include "vantrel/core/console.h"
#include "vantrel/core/console_loggers.h"
#include "vantrel/text/path_edits.h"

namespace vantrel {
namespace {

using Case = VantrelNSFileManagerError::Case;

std::string genericDescription(Case kind) {
  return fmt::format("The operation couldn't be completed. ({} error {}.)", VantrelNSFileManagerError::domain,
                     static_cast<int>(kind));
}

// The text a failure shows: the system's message, or the generic text when
// the cause is one of our own errors.
std::string causeDescription(const std::exception& error) { return errorDescription(error); }

void report(const FileManagerErrorCallback& onError, const VantrelNSFileManagerError& error) {
  if (onError) onError(error);
}

// How the URL copies differ: whether they throw, and their words for a
// missing source.
struct CopyRoad {
  bool testSource;
  bool createFolder;
  bool throwing;
};

void copyByUrl(FileManager& self, const URL& from, const URL& to, bool overwrite, CopyRoad road,
               const FileManagerErrorCallback& onError) {
  if (road.testSource && !self.fileExistsAtPath(from.path())) {
    consolePrint((road.throwing ? "❌ Error: File Not Found: " : "❌ File Not Found: ") + from.path());
    VantrelNSFileManagerError error(Case::fileNotFound, "Source file not found: '" + from.description() + "'.");
    if (road.throwing) throw error;
    report(onError, error);
    return;
  }
  if (road.createFolder) {
    const URL folder = to.deletingLastPathComponent();
    try {
      self.createDirectory(folder.path(), true);
    } catch (const std::exception& e) {
      consolePrint("❌ Error: " + causeDescription(e));
      VantrelNSFileManagerError error(Case::couldNotCreateDirectory,
                                      "Error Creating Directory " + folder.description() + ":" + causeDescription(e));
      if (road.throwing) throw error;
      report(onError, error);
    }
  }
  try {
    self.copyItem(from.path(), to.path(), overwrite);
  } catch (const std::exception& e) {
    consolePrint("❌ Error: " + causeDescription(e));
    VantrelNSFileManagerError error(
        Case::failedToCopy,
        "Failed to copy '" + from.description() + "' to '" + to.description() + "':" + causeDescription(e));
    if (road.throwing) throw error;
    report(onError, error);
  }
}

void removeWithReport(FileManager& self, const std::string& path, const std::string& shown, bool testExistence,
                      bool throwing) {
  if (testExistence && !self.fileExistsAtPath(path)) return;
  try {
    self.removeItem(path);
  } catch (const std::exception& e) {
    qlog.error("Error deleting '" + shown + "'", e);
    if (throwing) {
      throw VantrelNSFileManagerError(Case::errorDeletingPath,
                                      "Error deleting '" + shown + "': " + causeDescription(e));
    }
  }
}

std::string debugDescriptionOf(const std::exception& e) {
  if (const auto* system = dynamic_cast<const FileSystemError*>(&e)) return system->debugDescription();
  return errorDescription(e);
}

}  // namespace

VantrelNSFileManagerError::VantrelNSFileManagerError(Case kind, std::string message)
    : Error(genericDescription(kind)), kind_(kind), message_(std::move(message)) {}

bool ensureDirExists(FileManager& self, const URL& folder) {
  try {
    self.createDirectory(folder.path(), true);
    return true;
  } catch (const std::exception& e) {
    VantrelCoding::importantLog("Couldn't create dir " + folder.path() + ": " + causeDescription(e));
    return false;
  }
}

bool ensureDirExists(FileManager& self, std::string_view folderPath) {
  return ensureDirExists(self, URL::fileURLWithPath(folderPath, true));
}

void copyIfExists(FileManager& self, const URL& from, const URL& to, bool overwrite) {
  copyByUrl(self, from, to, overwrite, CopyRoad{true, true, true}, {});
}

void copyIfExistsInto(FileManager& self, const URL& from, const URL& folder) {
  copyIfExists(self, from, folder.appendingPathComponent(from.lastPathComponent()), false);
}

void copyIfExists_silent(FileManager& self, const URL& from, const URL& to, bool overwrite,
                         const FileManagerErrorCallback& onError) {
  copyByUrl(self, from, to, overwrite, CopyRoad{true, true, false}, onError);
}

void copyIfExists_silentInto(FileManager& self, const URL& from, const URL& folder,
                             const FileManagerErrorCallback& onError) {
  copyIfExists_silent(self, from, folder.appendingPathComponent(from.lastPathComponent()), false, onError);
}

void copy_silent(FileManager& self, const URL& from, const URL& to, bool overwrite,
                 const FileManagerErrorCallback& onError) {
  copyByUrl(self, from, to, overwrite, CopyRoad{false, false, false}, onError);
}

void vtCopyIfExistsFrom(FileManager& self, std::string_view fromView, std::string_view toView, bool overwrite) {
  const std::string from(fromView);
  const std::string to(toView);
  if (!self.fileExistsAtPath(from)) {
    consolePrint("File Not Found: " + from);
    throw VantrelNSFileManagerError(Case::fileNotFound, "Source file not found: '" + from + "'.");
  }
  const std::string folder(deletingLastPathComponent(to));
  if (!folder.empty()) {
    try {
      self.createDirectory(folder, true);
    } catch (const std::exception& e) {
      consolePrint("Error = " + causeDescription(e));
      throw VantrelNSFileManagerError(Case::couldNotCreateDirectory,
                                      "Error Creating Directory " + folder + ":" + causeDescription(e));
    }
  }
  try {
    self.copyItem(from, to, overwrite);
  } catch (const std::exception& e) {
    consolePrint("Error = " + causeDescription(e));
    throw VantrelNSFileManagerError(Case::failedToCopy,
                                    "Failed to copy '" + from + "' to '" + to + "':" + causeDescription(e));
  }
}

void vtCopyIfExistsFromIntoDirectory(FileManager& self, std::string_view from, std::string_view intoDirectory) {
  const std::string to = appendingPathComponent(intoDirectory, lastPathComponent(from));
  copyIfExists(self, URL::fileURLWithPath(from), URL::fileURLWithPath(to), false);
}

void removeIfExists(FileManager& self, const URL& item) {
  removeWithReport(self, item.path(), item.description(), true, true);
}

void removeItemAtPathIfExists(FileManager& self, std::string_view path) {
  removeWithReport(self, std::string(path), std::string(path), true, true);
}

void removeItemAtPathVtLog(FileManager& self, std::string_view path) {
  removeWithReport(self, std::string(path), std::string(path), false, false);
}

void removeContentsRecursively(FileManager& self, const URL& folder) {
  try {
    for (const std::string& name : self.contentsOfDirectory(folder.path())) {
      self.removeItem(appendingPathComponent(folder.path(), name));
    }
  } catch (const std::exception& e) {
    consolePrint("Could not clear temp folder: " + debugDescriptionOf(e));
  }
}

void removeRecursively(FileManager& self, const URL& folder) {
  removeContentsRecursively(self, folder);
  try {
    self.removeItem(folder.path());
  } catch (const std::exception& e) {
    consolePrint("❌ Error: Could not clear temp folder: " + debugDescriptionOf(e));
  }
}

}  // namespace vantrel
