// File: vantrel/platform/foundation/files/file_manager.h
//
// `FileManager`: the file-system primitives the file helpers are built on,
// in place of the platform's file manager. The helpers take a
// `FileManager&` receiver and do all their file work through it, so a test
// can hand them a subclass that fails on purpose.
//
//   FileManager& fm = FileManager::defaultManager();
//   fm.createDirectory("/tmp/a/b", true);        // throws FileSystemError
//   bool isDir = false;
//   fm.fileExistsAtPath("/tmp/a", isDir);        // true, isDir true
//
// Safety of the changing primitives:
// - `removeItem` removes a folder with its contents and never follows a
//   symbolic link: a link inside the tree is removed, not its target.
// - `copyItem` copies links as links (never the tree they point into), and
//   writes into a hidden temporary name beside the destination, renamed into
//   place only once the whole copy has succeeded; an existing destination is
//   replaced atomically (files) or swapped out and then removed (folders), so
//   a failed copy leaves the destination as it was.
// Failures throw `FileSystemError` (an errno and the path concerned); its
// description is the system's English message for the errno, independent
// of the user's locale. Stateless; any thread may call.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "vantrel/core/error.h"
#include "vantrel/platform/posix/unique_fd.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class FileSystemError : public Error {
 public:
  FileSystemError(int code, std::string path);

  // The errno value.
  [[nodiscard]] int code() const { return code_; }
  [[nodiscard]] const std::string& path() const { return path_; }
  // "Error Domain=NSPOSIXErrorDomain Code=<n> \"<message>\" path=\"<path>\"".
  [[nodiscard]] std::string debugDescription() const;

 private:
  int code_;
  std::string path_;
};

class FileManager;

// One entry met by a `DirectoryEnumerator`.
struct DirectoryEntry {
  std::string path;          // the walked folder's path joined with `relativePath`
  std::string relativePath;  // below the walked folder, "/"-separated
  bool isDirectory = false;  // the entry itself: a link is never a folder here
};

// A lazy depth-first walk below one folder, made by `FileManager::enumerator`.
// Each `nextEntry()` reads only as far as the next entry; a folder comes
// before its contents, which are entered at the following request unless
// `skipDescendants()` was called in between. Symbolic links are delivered as
// entries and never entered, so the walk never leaves the folder's tree. A
// sub-folder that cannot be opened, or an entry whose type cannot be read,
// goes to the error handler and is passed over; when the handler answers
// false the walk ends. One thread at a time; the file manager that made it
// must outlive it.
class DirectoryEnumerator {
 public:
  // The path concerned and the failure; true goes on with the walk.
  using ErrorHandler = std::function<bool(const std::string& path, const FileSystemError& error)>;

  ~DirectoryEnumerator();
  DirectoryEnumerator(const DirectoryEnumerator&) = delete;  // owns open folders
  DirectoryEnumerator& operator=(const DirectoryEnumerator&) = delete;

  // The next entry; nullopt once the walk has ended.
  [[nodiscard]] std::optional<DirectoryEntry> nextEntry();
  // The folder delivered last is not entered.
  void skipDescendants();

  struct State;

 private:
  friend class FileManager;
  explicit DirectoryEnumerator(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
};

class FileManager {
 public:
  using Clock = std::chrono::system_clock;

  struct Attributes {
    std::int64_t size = 0;  // of the item itself; a link reports its own size
    Clock::time_point creationDate;  // birth time where the file system keeps it, else modification
    Clock::time_point modificationDate;
    bool isDirectory = false;
    bool isSymbolicLink = false;
  };

  FileManager() = default;
  virtual ~FileManager() = default;
  FileManager(const FileManager&) = delete;  // a receiver is used by reference
  FileManager& operator=(const FileManager&) = delete;

  // The process's shared instance, made on first use.
  [[nodiscard]] static FileManager& defaultManager();

  // Whether an item exists at `path`, following a link at the end (a link
  // whose target is missing is no item). "" is no item.
  [[nodiscard]] virtual bool fileExistsAtPath(const std::string& path) const;
  // The same, and whether the item is a folder.
  [[nodiscard]] virtual bool fileExistsAtPath(const std::string& path, bool& isDirectory) const;

  // Creates the folder; with intermediates, also its missing parents, and a
  // folder that already exists is no error.
  virtual void createDirectory(const std::string& path, bool withIntermediateDirectories) const;
  // Removes the item (a folder with its contents), following no link.
  virtual void removeItem(const std::string& path) const;
  // Copies the item (a folder with its contents) to `to`; see the top.
  // Without `replacing`, an existing item at `to` fails with EEXIST.
  virtual void copyItem(const std::string& from, const std::string& to, bool replacing) const;
  // The names of the folder's direct entries (hidden ones too), unsorted.
  [[nodiscard]] virtual std::vector<std::string> contentsOfDirectory(const std::string& path) const;
  // The item's own attributes (a link at the end is not followed).
  [[nodiscard]] virtual Attributes attributesOfItem(const std::string& path) const;

  // A walk of the folder at `path` (a link there is followed, none below
  // it), entering sub-folders only when `recursive`; nullptr when the folder
  // cannot be opened, "" included. See `DirectoryEnumerator`.
  [[nodiscard]] std::unique_ptr<DirectoryEnumerator> enumerator(const std::string& path, bool recursive,
                                                                DirectoryEnumerator::ErrorHandler onError) const;
  // Opens the sub-folder `name` of the open folder `parentFd` for a walk,
  // refusing a link (`path` names it in errors); throws FileSystemError.
  // Every folder below the walked one is opened through it.
  [[nodiscard]] virtual posix::UniqueFd openDirectoryForWalk(int parentFd, const std::string& name,
                                                             const std::string& path) const;
};

}  // namespace vantrel
