// Internal: the line splitting shared by `StreamReader` and `PipeReader`;
// include "vantrel/foundation/files/line_readers.h" instead.
//
// Reads chunks of `chunkSize` bytes with read(2) into one buffer and cuts it
// at the delimiter's bytes (memchr for one byte, memmem otherwise). Lines
// are dropped from the front by moving a head offset, and a search that
// needs more data resumes where the last one could still have matched
// (old end - (delimiter length - 1)), so no byte is scanned twice; the
// unread tail is moved to the front only when a chunk no longer fits behind
// it. In UTF-16 a match counts only at a code-unit boundary of the line.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

#include "vantrel/foundation/files/stream_writer.h"

namespace vantrel::foundation_internal {

class LineBuffer {
 public:
  // `delimiter` is UTF-8 text that the encoding can hold (checked by the
  // caller), not empty; `chunkSize` >= 1.
  LineBuffer(std::string delimiter, StringEncoding encoding, std::size_t chunkSize);

  std::optional<std::string> nextLine(int fd);
  // Back to a fresh start (after the descriptor was moved to offset 0).
  void reset();
  [[nodiscard]] std::error_code readError() const { return error_; }

 private:
  bool fill(int fd);
  bool settleByteOrder(int fd);
  void encodeDelimiter(StringEncoding order);
  [[nodiscard]] std::string decode(const char* bytes, std::size_t size) const;
  [[nodiscard]] std::string takeLine(std::size_t end);
  [[nodiscard]] std::size_t find(std::size_t from) const;

  std::string delimiterText_;
  StringEncoding encoding_;
  StringEncoding order_;  // the encoding lines decode with (utf16: the byte order found)
  bool orderKnown_ = false;
  std::string delim_;
  std::size_t chunkSize_;
  std::unique_ptr<char[]> data_;
  std::size_t capacity_ = 0;
  std::size_t head_ = 0;      // first byte not handed out
  std::size_t end_ = 0;       // one past the last byte read
  std::size_t scanFrom_ = 0;  // where the next search starts
  // UTF-8 and ASCII: bytes [head_, asciiEnd_) are known to be ASCII, found
  // by one vector scan per chunk, so lines inside need no check of their own.
  std::size_t asciiEnd_ = 0;
  bool atEof_ = false;
  std::error_code error_;
};

}  // namespace vantrel::foundation_internal
