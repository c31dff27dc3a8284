#include "vantrel/platform/foundation/files/file_manager.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>

#include <fmt/format.h>

#include "vantrel/platform/posix/replace_file.h"
#include "vantrel/platform/posix/unique_fd.h"
#include "vantrel/platform/posix/write_all.h"

namespace vantrel {
namespace {

// The English message of an errno, whatever the locale (strerror follows
// LC_MESSAGES, and messages built from it appear in log files and tests).
std::string errnoMessage(int code) {
  const char* text = ::strerrordesc_np(code);
  return text != nullptr ? text : fmt::format("Unknown error {}", code);
}

[[noreturn]] void fail(int code, const std::string& path) { throw FileSystemError(code, path); }

using posix::UniqueFd;

struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};

// A listing of the open folder `dirFd` on a duplicate of it (closedir closes
// its own descriptor). The duplicate is close-on-exec like every descriptor
// here: a program started meanwhile by another thread must not inherit it.
std::unique_ptr<DIR, DirCloser> openListing(int dirFd, const std::string& pathForErrors) {
  UniqueFd listFd = posix::duplicateCloexec(dirFd);
  if (!listFd) fail(errno, pathForErrors);
  std::unique_ptr<DIR, DirCloser> dir(::fdopendir(listFd.get()));
  if (!dir) fail(errno, pathForErrors);
  (void)listFd.release();  // now the listing's
  return dir;
}

std::string parentOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string trimmedTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

FileManager::Clock::time_point toTimePoint(std::int64_t seconds, std::uint32_t nanoseconds) {
  return FileManager::Clock::time_point(std::chrono::duration_cast<FileManager::Clock::duration>(
      std::chrono::seconds(seconds) + std::chrono::nanoseconds(nanoseconds)));
}

// Removes the entries of the open folder `dirFd`, then nothing else. Links
// are unlinked; folders are opened with O_NOFOLLOW, so a folder swapped for
// a link meanwhile is refused rather than followed.
void removeContentsAt(int dirFd, const std::string& pathForErrors) {
  std::unique_ptr<DIR, DirCloser> dir = openListing(dirFd, pathForErrors);
  std::vector<std::string> names;
  while (dirent* entry = ::readdir(dir.get())) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    names.emplace_back(name);
  }
  for (const std::string& name : names) {
    const std::string childPath = pathForErrors + "/" + name;
    struct stat st {};
    if (::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
      if (errno == ENOENT) continue;
      fail(errno, childPath);
    }
    if (S_ISDIR(st.st_mode)) {
      UniqueFd child(::openat(dirFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
      if (child.get() < 0) fail(errno, childPath);
      removeContentsAt(child.get(), childPath);
      if (::unlinkat(dirFd, name.c_str(), AT_REMOVEDIR) != 0) fail(errno, childPath);
    } else if (::unlinkat(dirFd, name.c_str(), 0) != 0) {
      fail(errno, childPath);
    }
  }
}

// Copies what is left of `in` to `out`; the errno of a failure, else 0.
int copyFileContents(int in, int out) {
  char buffer[1 << 16];
  for (;;) {
    const ssize_t n = ::read(in, buffer, sizeof buffer);
    if (n == 0) return 0;
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (const std::error_code e = posix::writeAll(out, buffer, static_cast<std::size_t>(n))) return e.value();
  }
}

// The copy's own top folder, once made: a folder copied into itself must
// not meet its copy while walking, or it would copy without end.
struct CopyTop {
  bool made = false;
  dev_t device = 0;
  ino_t inode = 0;
};

// Copies the entry `name` of `srcDir` to the new entry `dstName` of
// `dstDir`, never following a link on either side.
void copyEntry(int srcDir, const std::string& name, int dstDir, const std::string& dstName,
               const std::string& srcPath, const std::string& dstPath, CopyTop& top) {
  struct stat st {};
  if (::fstatat(srcDir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) fail(errno, srcPath);
  if (S_ISLNK(st.st_mode)) {
    std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
    for (;;) {
      const ssize_t n = ::readlinkat(srcDir, name.c_str(), target.data(), target.size());
      if (n < 0) fail(errno, srcPath);
      if (static_cast<std::size_t>(n) < target.size()) {
        target.resize(static_cast<std::size_t>(n));
        break;
      }
      target.resize(target.size() * 2);
    }
    if (::symlinkat(target.c_str(), dstDir, dstName.c_str()) != 0) fail(errno, dstPath);
  } else if (S_ISREG(st.st_mode)) {
    UniqueFd in(::openat(srcDir, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (in.get() < 0) fail(errno, srcPath);
    UniqueFd out(::openat(dstDir, dstName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          st.st_mode & 07777));
    if (out.get() < 0) fail(errno, dstPath);
    if (const int code = copyFileContents(in.get(), out.get())) fail(code, dstPath);
    ::fchmod(out.get(), st.st_mode & 07777);
    if (::close(out.release()) != 0) fail(errno, dstPath);
  } else if (S_ISDIR(st.st_mode)) {
    UniqueFd in(::openat(srcDir, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (in.get() < 0) fail(errno, srcPath);
    if (::mkdirat(dstDir, dstName.c_str(), 0700) != 0) fail(errno, dstPath);
    UniqueFd out(::openat(dstDir, dstName.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (out.get() < 0) fail(errno, dstPath);
    if (!top.made) {
      struct stat made {};
      if (::fstat(out.get(), &made) != 0) fail(errno, dstPath);
      top = CopyTop{true, made.st_dev, made.st_ino};
    }
    std::unique_ptr<DIR, DirCloser> dir = openListing(in.get(), srcPath);
    while (dirent* entry = ::readdir(dir.get())) {
      const std::string child = entry->d_name;
      if (child == "." || child == "..") continue;
      struct stat childStat {};
      if (::fstatat(in.get(), child.c_str(), &childStat, AT_SYMLINK_NOFOLLOW) == 0 &&
          childStat.st_dev == top.device && childStat.st_ino == top.inode) {
        continue;  // the copy being made, inside its own source
      }
      copyEntry(in.get(), child, out.get(), child, srcPath + "/" + child, dstPath + "/" + child, top);
    }
    ::fchmod(out.get(), st.st_mode & 07777);
  } else {
    fail(ENOTSUP, srcPath);  // devices, sockets and pipes are not copied
  }
}

std::string temporarySibling(const std::string& path) {
  static std::atomic<std::uint64_t> counter{0};
  return fmt::format("{}/.{}.vantrel-copy-{}-{}", parentOf(path), nameOf(path), ::getpid(),
                     counter.fetch_add(1, std::memory_order_relaxed));
}

bool lexists(const std::string& path, struct stat& st) { return ::lstat(path.c_str(), &st) == 0; }

// Overwrites the file (or link) `to` with a copy of the regular file `from`
// in one atomic replacement; answers false, touching nothing, when `from`
// turns out not to be a regular file after all.
bool replaceWithCopyOfFile(const std::string& from, const std::string& to) {
  UniqueFd in(::open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  if (!in) {
    if (errno == ELOOP) return false;  // became a link meanwhile
    fail(errno, from);
  }
  struct stat source {};
  if (::fstat(in.get(), &source) != 0) fail(errno, from);
  if (!S_ISREG(source.st_mode)) return false;
  const std::error_code e = posix::replaceFileAtomicallyWith(to, [&](int out) {
    if (::fchmod(out, source.st_mode & 07777) != 0) return std::error_code(errno, std::generic_category());
    const int code = copyFileContents(in.get(), out);
    return std::error_code(code, std::generic_category());
  });
  if (e) fail(e.value(), to);
  return true;
}

}  // namespace

FileSystemError::FileSystemError(int code, std::string path)
    : Error(errnoMessage(code)), code_(code), path_(std::move(path)) {}

std::string FileSystemError::debugDescription() const {
  return fmt::format("Error Domain=NSPOSIXErrorDomain Code={} \"{}\" path=\"{}\"", code_, description(), path_);
}

FileManager& FileManager::defaultManager() {
  static auto* manager = new FileManager();  // never destroyed: used by exit-time code
  return *manager;
}

bool FileManager::fileExistsAtPath(const std::string& path) const {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

bool FileManager::fileExistsAtPath(const std::string& path, bool& isDirectory) const {
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return false;
  isDirectory = S_ISDIR(st.st_mode);
  return true;
}

void FileManager::createDirectory(const std::string& rawPath, bool withIntermediateDirectories) const {
  const std::string path = trimmedTrailingSlashes(rawPath);
  if (path.empty()) fail(ENOENT, rawPath);
  if (!withIntermediateDirectories) {
    if (::mkdir(path.c_str(), 0777) != 0) fail(errno, path);
    return;
  }
  // Each prefix in turn: existing folders (or links to folders) are passed.
  std::size_t pos = path.front() == '/' ? 1 : 0;
  for (;;) {
    const auto slash = path.find('/', pos);
    const std::string prefix = path.substr(0, slash);
    if (!prefix.empty() && prefix != "/" && ::mkdir(prefix.c_str(), 0777) != 0) {
      const int code = errno;
      struct stat st {};
      if (code != EEXIST || ::stat(prefix.c_str(), &st) != 0) fail(code, prefix);
      // Another item in the way: below it nothing can be made (ENOTDIR); at
      // the end it simply is not a folder (EEXIST).
      if (!S_ISDIR(st.st_mode)) fail(slash == std::string::npos ? EEXIST : ENOTDIR, prefix);
    }
    if (slash == std::string::npos) return;
    pos = slash + 1;
  }
}

void FileManager::removeItem(const std::string& rawPath) const {
  const std::string path = trimmedTrailingSlashes(rawPath);
  if (path.empty()) fail(ENOENT, rawPath);
  struct stat st {};
  if (!lexists(path, st)) fail(errno, path);
  if (!S_ISDIR(st.st_mode)) {
    if (::unlink(path.c_str()) != 0) fail(errno, path);
    return;
  }
  {
    UniqueFd dir(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (dir.get() < 0) fail(errno, path);
    removeContentsAt(dir.get(), path);
  }
  if (::rmdir(path.c_str()) != 0) fail(errno, path);
}

void FileManager::copyItem(const std::string& rawFrom, const std::string& rawTo, bool replacing) const {
  const std::string from = trimmedTrailingSlashes(rawFrom);
  const std::string to = trimmedTrailingSlashes(rawTo);
  if (from.empty()) fail(ENOENT, rawFrom);
  if (to.empty()) fail(ENOENT, rawTo);
  struct stat existing {};
  const bool destinationExists = lexists(to, existing);
  if (destinationExists && !replacing) fail(EEXIST, to);

  struct stat source {};
  if (destinationExists && !S_ISDIR(existing.st_mode) && lexists(from, source) && S_ISREG(source.st_mode) &&
      replaceWithCopyOfFile(from, to)) {
    return;
  }

  const std::string temporary = temporarySibling(to);
  {
    UniqueFd srcParent(::open(parentOf(from).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (srcParent.get() < 0) fail(errno, from);
    UniqueFd dstParent(::open(parentOf(to).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dstParent.get() < 0) fail(errno, to);
    try {
      CopyTop top;
      copyEntry(srcParent.get(), nameOf(from), dstParent.get(), nameOf(temporary), from, to, top);
    } catch (...) {
      struct stat st {};
      if (lexists(temporary, st)) {
        try {
          removeItem(temporary);
        } catch (const FileSystemError&) {
        }
      }
      throw;
    }
  }

  auto discardTemporary = [&] {
    try {
      removeItem(temporary);
    } catch (const FileSystemError&) {
    }
  };
  if (!destinationExists) {
    // RENAME_NOREPLACE: an item that appeared meanwhile is not clobbered.
    if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return;
    int code = errno;
    if (code == EINVAL) {  // a file system without RENAME_NOREPLACE
      struct stat st {};
      if (!lexists(to, st) && ::rename(temporary.c_str(), to.c_str()) == 0) return;
      code = lexists(to, st) ? EEXIST : errno;
    }
    discardTemporary();
    fail(code, to);
  }
  if (!S_ISDIR(existing.st_mode)) {
    struct stat copied {};
    lexists(temporary, copied);
    if (!S_ISDIR(copied.st_mode)) {
      if (::rename(temporary.c_str(), to.c_str()) == 0) return;  // atomic replacement
      const int code = errno;
      discardTemporary();
      fail(code, to);
    }
  }
  // A folder cannot be renamed over: swap the two, then remove the old one,
  // which now sits under the temporary name.
  if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, to.c_str(), RENAME_EXCHANGE) != 0) {
    const int code = errno;
    if (code != EINVAL) {
      discardTemporary();
      fail(code, to);
    }
    const std::string old = temporarySibling(to);
    if (::rename(to.c_str(), old.c_str()) != 0) {
      const int renameCode = errno;
      discardTemporary();
      fail(renameCode, to);
    }
    if (::rename(temporary.c_str(), to.c_str()) != 0) {
      const int renameCode = errno;
      ::rename(old.c_str(), to.c_str());
      discardTemporary();
      fail(renameCode, to);
    }
    removeItem(old);
    return;
  }
  removeItem(temporary);
}

std::vector<std::string> FileManager::contentsOfDirectory(const std::string& path) const {
  std::unique_ptr<DIR, DirCloser> dir(::opendir(path.c_str()));
  if (!dir) fail(errno, path);
  std::vector<std::string> names;
  errno = 0;
  while (dirent* entry = ::readdir(dir.get())) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
  }
  return names;
}

FileManager::Attributes FileManager::attributesOfItem(const std::string& path) const {
  struct statx sx {};
  if (path.empty()) fail(ENOENT, path);
  if (::statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0) {
    fail(errno, path);
  }
  Attributes attributes;
  attributes.size = static_cast<std::int64_t>(sx.stx_size);
  attributes.modificationDate = toTimePoint(sx.stx_mtime.tv_sec, sx.stx_mtime.tv_nsec);
  attributes.creationDate = (sx.stx_mask & STATX_BTIME) != 0 ? toTimePoint(sx.stx_btime.tv_sec, sx.stx_btime.tv_nsec)
                                                              : attributes.modificationDate;
  attributes.isDirectory = S_ISDIR(sx.stx_mode);
  attributes.isSymbolicLink = S_ISLNK(sx.stx_mode);
  return attributes;
}

// ---- Walks ------------------------------------------------------------------

struct DirectoryEnumerator::State {
  struct Frame {
    std::unique_ptr<DIR, DirCloser> listing;
    std::string path;      // joined with "/" and a name gives an entry's path
    std::string relative;  // "" for the walked folder
  };

  const FileManager* manager = nullptr;
  bool recursive = false;
  ErrorHandler onError;
  std::vector<Frame> frames;  // the folders being read, innermost last
  // The folder delivered last (from `frames.back()`, under `pendingName`),
  // entered at the next request unless its descendants were skipped.
  std::optional<DirectoryEntry> pendingFolder;
  std::string pendingName;
  bool ended = false;

  // Tells the handler; ends the walk when it says so.
  void report(const std::string& path, const FileSystemError& error) {
    if (onError && !onError(path, error)) end();
  }

  void end() {
    ended = true;
    frames.clear();
    pendingFolder.reset();
  }

  void enterPendingFolder() {
    DirectoryEntry folder = std::move(*pendingFolder);
    pendingFolder.reset();
    try {
      UniqueFd fd = manager->openDirectoryForWalk(::dirfd(frames.back().listing.get()), pendingName, folder.path);
      std::unique_ptr<DIR, DirCloser> listing(::fdopendir(fd.get()));
      if (!listing) fail(errno, folder.path);
      (void)fd.release();  // now the listing's
      frames.push_back(Frame{std::move(listing), folder.path, folder.relativePath});
    } catch (const FileSystemError& error) {
      report(folder.path, error);
    }
  }

  std::optional<DirectoryEntry> next() {
    if (ended) return std::nullopt;
    if (pendingFolder) enterPendingFolder();
    while (!ended && !frames.empty()) {
      Frame& frame = frames.back();
      errno = 0;
      const dirent* raw = ::readdir(frame.listing.get());
      if (raw == nullptr) {
        const int code = errno;
        const std::string path = frame.path.empty() ? "/" : frame.path;
        frames.pop_back();
        if (code != 0) report(path, FileSystemError(code, path));
        continue;
      }
      const std::string name = raw->d_name;
      if (name == "." || name == "..") continue;
      DirectoryEntry entry;
      entry.path = frame.path + "/" + name;
      entry.relativePath = frame.relative.empty() ? name : frame.relative + "/" + name;
      if (raw->d_type != DT_UNKNOWN) {
        entry.isDirectory = raw->d_type == DT_DIR;
      } else {
        // Some file systems leave the type to a separate question.
        struct stat st {};
        if (::fstatat(::dirfd(frame.listing.get()), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
          report(entry.path, FileSystemError(errno, entry.path));
          continue;
        }
        entry.isDirectory = S_ISDIR(st.st_mode);
      }
      if (entry.isDirectory && recursive) {
        pendingFolder = entry;
        pendingName = name;
      }
      return entry;
    }
    ended = true;
    return std::nullopt;
  }
};

DirectoryEnumerator::DirectoryEnumerator(std::unique_ptr<State> state) : state_(std::move(state)) {}
DirectoryEnumerator::~DirectoryEnumerator() = default;

std::optional<DirectoryEntry> DirectoryEnumerator::nextEntry() { return state_->next(); }

void DirectoryEnumerator::skipDescendants() { state_->pendingFolder.reset(); }

std::unique_ptr<DirectoryEnumerator> FileManager::enumerator(const std::string& path, bool recursive,
                                                             DirectoryEnumerator::ErrorHandler onError) const {
  if (path.empty()) return nullptr;
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fd) return nullptr;
  std::unique_ptr<DIR, DirCloser> listing(::fdopendir(fd.get()));
  if (!listing) return nullptr;
  (void)fd.release();  // now the listing's
  auto state = std::make_unique<DirectoryEnumerator::State>();
  state->manager = this;
  state->recursive = recursive;
  state->onError = std::move(onError);
  std::string top = trimmedTrailingSlashes(path);
  if (top == "/") top.clear();  // entries become "/name"
  state->frames.push_back(DirectoryEnumerator::State::Frame{std::move(listing), std::move(top), std::string()});
  return std::unique_ptr<DirectoryEnumerator>(new DirectoryEnumerator(std::move(state)));
}

UniqueFd FileManager::openDirectoryForWalk(int parentFd, const std::string& name, const std::string& path) const {
  UniqueFd fd(::openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!fd) fail(errno, path);
  return fd;
}

}  // namespace vantrel
