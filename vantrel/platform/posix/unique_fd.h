// File: vantrel/platform/posix/unique_fd.h
//
// `UniqueFd` owns one file descriptor and closes it when destroyed, so a
// descriptor is never leaked on an early return or an exception. Every
// descriptor the library opens is close-on-exec: a process started on another
// thread (shell commands) must not inherit it.
//
//   UniqueFd fd(::open(path, O_RDONLY | O_CLOEXEC));
//   if (!fd) return errno;
//   UniqueFd copy = duplicateCloexec(fd.get());
//
// Move-only; not thread-safe (one owner at a time).
#pragma once

#include "vantrel/api.h"
namespace vantrel VANTREL_API {
namespace posix {

class UniqueFd {
 public:
  UniqueFd() noexcept = default;
  explicit UniqueFd(int fd) noexcept : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  // Copying would close one descriptor twice.
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() { reset(); }

  [[nodiscard]] int get() const noexcept { return fd_; }
  [[nodiscard]] bool valid() const noexcept { return fd_ >= 0; }
  explicit operator bool() const noexcept { return valid(); }

  // Gives the descriptor up without closing it.
  [[nodiscard]] int release() noexcept {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }
  // Closes the held descriptor (if any) and takes `fd`. errno is kept.
  void reset(int fd = -1) noexcept;

 private:
  int fd_ = -1;
};

// A close-on-exec duplicate of `fd` (F_DUPFD_CLOEXEC, atomic with respect to
// other threads' fork/exec); invalid with errno set on failure.
[[nodiscard]] UniqueFd duplicateCloexec(int fd) noexcept;

}  // namespace posix
}  // namespace vantrel
