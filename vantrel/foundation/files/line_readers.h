// File: vantrel/foundation/files/line_readers.h
//
// `StreamReader` reads a file line by line, `PipeReader` the reading end of
// a `Pipe`; both hand out one line per `nextLine()` and are sequences of
// lines, so inputs of any size take memory for one line and one chunk.
//
//   if (auto reader = StreamReader::create("/var/log/big.log")) {
//     for (const std::string& line : *reader) use(line);
//     if (reader->readError()) report(reader->readError().message());
//   }
//   auto pipe = Pipe::create();
//   auto lines = PipeReader::create(*pipe, "\r\n", StringEncoding::utf16LittleEndian);
//
// Both read `chunkSize` bytes per read(2) and cut at the delimiter encoded in
// the reader's encoding (the same `StringEncoding`s as `StreamWriter`). In
// UTF-16 a delimiter counts only at a code-unit boundary; a `utf16` stream
// starts with a byte-order mark that sets the order and is not part of the
// first line (no mark: big-endian). Lines come without their delimiter; a
// final piece without one is the last line; bytes that do not decode read
// as U+FFFD, so a loop never stops early.
//
// A read error (EINTR is retried, EAGAIN waited out) ends the reading like
// the end of the data, but `readError()` keeps it, and the unfinished line
// is not handed out. A reader is made only for a delimiter that is not empty
// and that the encoding can hold (and, for `StreamReader`, a readable
// path); a chunk size below 1 stops the program, as does reading or
// rewinding a closed `StreamReader`.
//
// Not thread-safe: a reader belongs to one thread at a time; `nextLine()`
// blocks in the read while it needs more data. Each reader closes its
// descriptor when destroyed.
#pragma once

#include <cstdint>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "vantrel/foundation/files/stream_writer.h"
#include "vantrel/platform/foundation/files/pipe.h"
#include "vantrel/platform/posix/unique_fd.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

namespace foundation_internal {
class LineBuffer;
}

// The type-erased iterator of a line reader: each `next()` is the reader's
// `nextLine()`, and the iterator keeps its reader alive.
class LineIterator {
 public:
  explicit LineIterator(std::function<std::optional<std::string>()> next) : next_(std::move(next)) {}
  std::optional<std::string> next() { return next_(); }

 private:
  std::function<std::optional<std::string>()> next_;
};

// The input iterator of a range-for over a reader.
class LineInputIterator {
 public:
  using value_type = std::string;
  using difference_type = std::ptrdiff_t;
  using iterator_concept = std::input_iterator_tag;

  LineInputIterator() = default;
  explicit LineInputIterator(LineIterator source) : source_(std::move(source)) { ++*this; }
  const std::string& operator*() const { return *current_; }
  LineInputIterator& operator++() {
    current_ = source_ ? source_->next() : std::nullopt;
    return *this;
  }
  void operator++(int) { ++*this; }
  friend bool operator==(const LineInputIterator& it, std::default_sentinel_t) { return !it.current_; }

 private:
  std::optional<LineIterator> source_;
  std::optional<std::string> current_;
};

class StreamReader : public std::enable_shared_from_this<StreamReader> {
 public:
  [[nodiscard]] static std::shared_ptr<StreamReader> create(std::string_view path, std::string_view delimiter = "\n",
                                                            StringEncoding encoding = StringEncoding::utf8,
                                                            std::int64_t chunkSize = 4096);
  virtual ~StreamReader();
  StreamReader(const StreamReader&) = delete;  // owns a descriptor
  StreamReader& operator=(const StreamReader&) = delete;

  // The next line; nullopt at the end of the data or after a read error.
  virtual std::optional<std::string> nextLine();
  // Back to the first line.
  virtual void rewind();
  // Closes the file; later closes do nothing.
  virtual void close();

  [[nodiscard]] bool isOpen() const { return fd_.valid(); }
  // The errno of the read that ended the reading; empty at a clean end.
  [[nodiscard]] std::error_code readError() const;
  [[nodiscard]] StringEncoding encoding() const { return encoding_; }

  [[nodiscard]] LineIterator makeIterator();
  [[nodiscard]] LineInputIterator begin() { return LineInputIterator(makeIterator()); }
  [[nodiscard]] std::default_sentinel_t end() const { return {}; }

 protected:
  StreamReader(posix::UniqueFd fd, std::string delimiter, StringEncoding encoding, std::size_t chunkSize);

 private:
  StringEncoding encoding_;
  posix::UniqueFd fd_;
  std::unique_ptr<foundation_internal::LineBuffer> buffer_;
};

class PipeReader : public std::enable_shared_from_this<PipeReader> {
 public:
  // Takes over the pipe's reading end (nullptr when it was already taken).
  [[nodiscard]] static std::shared_ptr<PipeReader> create(Pipe& pipe, std::string_view delimiter = "\n",
                                                          StringEncoding encoding = StringEncoding::utf8,
                                                          std::int64_t chunkSize = 4096);
  virtual ~PipeReader();
  PipeReader(const PipeReader&) = delete;
  PipeReader& operator=(const PipeReader&) = delete;

  // The next line, waiting for the writer; nullopt once the writer has
  // closed and every line is handed out, or after a read error.
  virtual std::optional<std::string> nextLine();

  [[nodiscard]] std::error_code readError() const;
  [[nodiscard]] StringEncoding encoding() const { return encoding_; }

  [[nodiscard]] LineIterator makeIterator();
  [[nodiscard]] LineInputIterator begin() { return LineInputIterator(makeIterator()); }
  [[nodiscard]] std::default_sentinel_t end() const { return {}; }

 protected:
  PipeReader(posix::UniqueFd fd, std::string delimiter, StringEncoding encoding, std::size_t chunkSize);

 private:
  StringEncoding encoding_;
  posix::UniqueFd fd_;
  std::unique_ptr<foundation_internal::LineBuffer> buffer_;
};

}  // namespace vantrel
