// A file-size limit for the tests that need a write to fail part-way, as on
// a full disk.
#pragma once

#include <sys/resource.h>

#include <csignal>

namespace vantrel::testing {

// A file-size limit of `bytes` while the object lives, so that a write fails
// part-way as on a full disk (SIGXFSZ ignored: the write reports the error
// instead). The earlier limit and handler come back when it goes.
class ScopedFileSizeLimit {
 public:
  explicit ScopedFileSizeLimit(rlim_t bytes) : previousHandler_(std::signal(SIGXFSZ, SIG_IGN)) {
    if (getrlimit(RLIMIT_FSIZE, &previous_) != 0) return;
    rlimit small = previous_;
    small.rlim_cur = bytes;
    active_ = setrlimit(RLIMIT_FSIZE, &small) == 0;
  }
  ~ScopedFileSizeLimit() {
    if (active_) setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
  }
  ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
  ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

  // Whether the limit is in force; a test asserts it before writing.
  [[nodiscard]] bool active() const { return active_; }

 private:
  using Handler = void (*)(int);
  Handler previousHandler_;
  rlimit previous_{};
  bool active_ = false;
};

}  // namespace vantrel::testing
