#include "vantrel/foundation/files/line_readers.h"

#include <fcntl.h>
#include <unistd.h>

#include <fmt/format.h>

#include "vantrel/core/fatal.h"
#include "vantrel/foundation/files/internal/line_buffer.h"

namespace vantrel {

using foundation_internal::LineBuffer;

namespace {

std::size_t checkedChunkSize(std::string_view reader, std::int64_t chunkSize) {
  if (chunkSize < 1) fatal(fmt::format("{}: chunk size must be at least 1 (was {})", reader, chunkSize));
  return static_cast<std::size_t>(chunkSize);
}

// An empty delimiter would cut nothing but empty lines, forever.
bool usableDelimiter(std::string_view delimiter, StringEncoding encoding) {
  return !delimiter.empty() && encodedText(delimiter, encoding).has_value();
}

}  // namespace

// StreamReader

StreamReader::StreamReader(posix::UniqueFd fd, std::string delimiter, StringEncoding encoding, std::size_t chunkSize)
    : encoding_(encoding),
      fd_(std::move(fd)),
      buffer_(std::make_unique<LineBuffer>(std::move(delimiter), encoding, chunkSize)) {}

StreamReader::~StreamReader() = default;

std::shared_ptr<StreamReader> StreamReader::create(std::string_view path, std::string_view delimiter,
                                                   StringEncoding encoding, std::int64_t chunkSize) {
  const std::size_t chunk = checkedChunkSize("StreamReader", chunkSize);
  if (!usableDelimiter(delimiter, encoding)) return nullptr;
  posix::UniqueFd fd(::open(std::string(path).c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) return nullptr;
  struct Made : StreamReader {
    Made(posix::UniqueFd f, std::string d, StringEncoding e, std::size_t c)
        : StreamReader(std::move(f), std::move(d), e, c) {}
  };
  return std::make_shared<Made>(std::move(fd), std::string(delimiter), encoding, chunk);
}

std::optional<std::string> StreamReader::nextLine() {
  if (!fd_) fatal("StreamReader: nextLine() on a closed reader");
  return buffer_->nextLine(fd_.get());
}

void StreamReader::rewind() {
  if (!fd_) fatal("StreamReader: rewind() on a closed reader");
  (void)::lseek(fd_.get(), 0, SEEK_SET);
  buffer_->reset();
}

void StreamReader::close() { fd_.reset(); }

std::error_code StreamReader::readError() const { return buffer_->readError(); }

LineIterator StreamReader::makeIterator() {
  return LineIterator([self = shared_from_this()] { return self->nextLine(); });
}

// PipeReader

PipeReader::PipeReader(posix::UniqueFd fd, std::string delimiter, StringEncoding encoding, std::size_t chunkSize)
    : encoding_(encoding),
      fd_(std::move(fd)),
      buffer_(std::make_unique<LineBuffer>(std::move(delimiter), encoding, chunkSize)) {}

PipeReader::~PipeReader() = default;

std::shared_ptr<PipeReader> PipeReader::create(Pipe& pipe, std::string_view delimiter, StringEncoding encoding,
                                               std::int64_t chunkSize) {
  const std::size_t chunk = checkedChunkSize("PipeReader", chunkSize);
  if (!usableDelimiter(delimiter, encoding) || pipe.readingFd() < 0) return nullptr;
  struct Made : PipeReader {
    Made(posix::UniqueFd f, std::string d, StringEncoding e, std::size_t c)
        : PipeReader(std::move(f), std::move(d), e, c) {}
  };
  return std::make_shared<Made>(pipe.takeReadingEnd(), std::string(delimiter), encoding, chunk);
}

std::optional<std::string> PipeReader::nextLine() { return buffer_->nextLine(fd_.get()); }

std::error_code PipeReader::readError() const { return buffer_->readError(); }

LineIterator PipeReader::makeIterator() {
  return LineIterator([self = shared_from_this()] { return self->nextLine(); });
}

}  // namespace vantrel
