// File: vantrel/platform/foundation/files/pipe.h
//
// `Pipe`: the two ends of a POSIX pipe, both close-on-exec, owned until a
// reader or writer takes them over.
//
//   auto pipe = Pipe::create();
//   posix::writeAll(pipe->writingFd(), "a\nb");
//   pipe->closeWritingEnd();
//   auto reader = PipeReader::create(*pipe);   // takes the reading end
//
// `create` throws `FileSystemError` when the system has no descriptors left.
// Not thread-safe: one owner at a time.
#pragma once

#include <memory>

#include "vantrel/platform/posix/unique_fd.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class Pipe {
 public:
  [[nodiscard]] static std::shared_ptr<Pipe> create();

  // -1 once taken over or closed.
  [[nodiscard]] int readingFd() const { return reading_.get(); }
  [[nodiscard]] int writingFd() const { return writing_.get(); }

  // Hands the end over; the pipe then holds it no more.
  [[nodiscard]] posix::UniqueFd takeReadingEnd() { return std::move(reading_); }
  [[nodiscard]] posix::UniqueFd takeWritingEnd() { return std::move(writing_); }
  // Closing the writing end is how a reader learns that the data has ended.
  void closeWritingEnd() { writing_.reset(); }

  Pipe(posix::UniqueFd reading, posix::UniqueFd writing)
      : reading_(std::move(reading)), writing_(std::move(writing)) {}

 private:
  posix::UniqueFd reading_;
  posix::UniqueFd writing_;
};

}  // namespace vantrel
