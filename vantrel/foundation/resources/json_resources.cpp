#include "vantrel/foundation/resources/json_resources.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "vantrel/foundation/files/internal/beneath.h"
#include "vantrel/foundation/resources/compression.h"

namespace vantrel {

namespace {

enum class Found { none, bytes, unreadable };

// Reads the whole file behind `fd`.
bool readAll(int fd, Data& contents) {
  contents.clear();
  std::uint8_t buffer[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) return true;
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    contents.insert(contents.end(), buffer, buffer + n);
  }
}

Found readCandidate(int folder, const std::string& fileName, Data& contents) {
  int error = 0;
  // Non-blocking, so a FIFO under the candidate's name cannot hold the
  // search; only a regular file is read.
  auto fd = foundation_internal::openBeneath(folder, fileName, O_RDONLY | O_NOCTTY | O_NONBLOCK, error);
  if (!fd) return error == ENOENT || error == ENOTDIR ? Found::none : Found::unreadable;
  struct stat status {};
  if (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode)) return Found::unreadable;
  return readAll(fd.get(), contents) ? Found::bytes : Found::unreadable;
}

}  // namespace

std::optional<Data> jsonData(std::string_view name, const std::vector<URL>& folders) {
  if (!foundation_internal::isSafePathComponent(name)) return std::nullopt;
  const std::string json = std::string(name) + ".json";
  const std::string jzip = std::string(name) + ".jzip";
  for (const auto& folder : folders) {
    if (!folder.isFileURL()) continue;
    int error = 0;
    auto folderFd = foundation_internal::openFolder(folder.path(), error);
    if (!folderFd) continue;
    Data contents;
    switch (readCandidate(folderFd.get(), json, contents)) {
      case Found::bytes:
        return contents;
      case Found::unreadable:
        return std::nullopt;
      case Found::none:
        break;
    }
    switch (readCandidate(folderFd.get(), jzip, contents)) {
      case Found::bytes:
        return uncompressed(contents, Compression::lzfse);
      case Found::unreadable:
        return std::nullopt;
      case Found::none:
        break;
    }
  }
  return std::nullopt;
}

std::optional<Data> jsonData(std::string_view name, const std::vector<Pascription>& folders) {
  std::vector<URL> urls;
  urls.reserve(folders.size());
  for (const auto& folder : folders) {
    if (auto url = folder.vendUrl(nullptr, false)) urls.push_back(std::move(*url));
  }
  return jsonData(name, urls);
}

}  // namespace vantrel
