#include "vantrel/platform/posix/replace_file.h"

#include <cerrno>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "vantrel/platform/posix/unique_fd.h"
#include "vantrel/platform/posix/write_all.h"

namespace vantrel::posix {
namespace {

std::error_code lastError() { return std::error_code(errno, std::generic_category()); }

mode_t currentUmask() {
  // umask can only be read by setting it; the read-back happens once, before
  // threads of ours write files, and the value is put back at once.
  static const mode_t mask = [] {
    const mode_t m = ::umask(022);
    ::umask(m);
    return m;
  }();
  return mask;
}

}  // namespace

std::error_code replaceFileAtomicallyWith(const std::string& path,
                                          const std::function<std::error_code(int fd)>& write) {
  if (path.empty()) return std::make_error_code(std::errc::invalid_argument);
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.empty()) return std::make_error_code(std::errc::is_a_directory);

  std::string pattern = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + "." + name + ".XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  UniqueFd fd(::mkostemp(buffer.data(), O_CLOEXEC));
  if (!fd) return lastError();
  const std::string temporary(buffer.data());

  auto fail = [&](std::error_code e) {
    fd.reset();
    ::unlink(temporary.c_str());
    return e;
  };

  struct stat existing {};
  const mode_t mode = ::stat(path.c_str(), &existing) == 0 ? (existing.st_mode & 07777)
                                                           : (0666 & ~currentUmask());
  if (::fchmod(fd.get(), mode) != 0) return fail(lastError());
  if (std::error_code e = write(fd.get())) return fail(e);
  if (::fsync(fd.get()) != 0) return fail(lastError());
  fd.reset();
  if (::rename(temporary.c_str(), path.c_str()) != 0) {
    const std::error_code e = lastError();
    ::unlink(temporary.c_str());
    return e;
  }
  // The rename itself is durable only once the folder is synced; a failure
  // here leaves the new contents in place, so it is not reported.
  if (UniqueFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)); dir) ::fsync(dir.get());
  return {};
}

std::error_code replaceFileAtomically(const std::string& path, std::string_view bytes) {
  return replaceFileAtomicallyWith(path, [bytes](int fd) { return writeAll(fd, bytes); });
}

std::error_code replaceFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
  return replaceFileAtomicallyWith(path, [bytes](int fd) { return writeAll(fd, bytes); });
}

}  // namespace vantrel::posix
