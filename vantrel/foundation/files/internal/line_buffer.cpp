#include "vantrel/foundation/files/internal/line_buffer.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "vantrel/core/utf8.h"
#include "vantrel/text/string_services.h"

namespace vantrel::foundation_internal {

namespace {

bool tracksAscii(StringEncoding e) { return e == StringEncoding::utf8 || e == StringEncoding::ascii; }

bool isUtf16(StringEncoding e) {
  return e == StringEncoding::utf16 || e == StringEncoding::utf16BigEndian ||
         e == StringEncoding::utf16LittleEndian;
}

}  // namespace

LineBuffer::LineBuffer(std::string delimiter, StringEncoding encoding, std::size_t chunkSize)
    : delimiterText_(std::move(delimiter)), encoding_(encoding), order_(encoding), chunkSize_(chunkSize) {
  reset();
}

void LineBuffer::reset() {
  head_ = end_ = scanFrom_ = asciiEnd_ = 0;
  atEof_ = false;
  error_.clear();
  // A "utf16" stream's order is read from its byte-order mark, again after
  // a rewind; the other encodings know theirs.
  orderKnown_ = encoding_ != StringEncoding::utf16;
  if (orderKnown_) encodeDelimiter(encoding_);
}

void LineBuffer::encodeDelimiter(StringEncoding order) {
  order_ = order;
  delim_ = encodedText(delimiterText_, order).value_or(delimiterText_);
}

bool LineBuffer::fill(int fd) {
  if (capacity_ - end_ < chunkSize_) {
    if (head_ > 0) {
      // Only the unfinished line moves, once: the head is 0 from here until
      // that line is handed out.
      std::memmove(data_.get(), data_.get() + head_, end_ - head_);
      end_ -= head_;
      scanFrom_ -= head_;
      asciiEnd_ = asciiEnd_ > head_ ? asciiEnd_ - head_ : 0;
      head_ = 0;
    }
    if (capacity_ - end_ < chunkSize_) {
      const std::size_t grown = std::max(capacity_ * 2, end_ + chunkSize_);
      auto bigger = std::make_unique_for_overwrite<char[]>(grown);
      if (end_ > 0) std::memcpy(bigger.get(), data_.get(), end_);
      data_ = std::move(bigger);
      capacity_ = grown;
    }
  }
  for (;;) {
    const ssize_t n = ::read(fd, data_.get() + end_, chunkSize_);
    if (n > 0) {
      const std::size_t oldEnd = end_;
      end_ += static_cast<std::size_t>(n);
      if (asciiEnd_ == oldEnd && tracksAscii(order_)) {
        asciiEnd_ = oldEnd + asciiPrefixLength(std::string_view(data_.get() + oldEnd, end_ - oldEnd));
      }
      return true;
    }
    if (n == 0) return false;
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
      // A non-blocking descriptor: wait as a blocking read would.
      pollfd p{fd, POLLIN, 0};
      if (::poll(&p, 1, -1) >= 0 || errno == EINTR) continue;
    }
    error_ = std::error_code(errno, std::generic_category());
    return false;
  }
}

bool LineBuffer::settleByteOrder(int fd) {
  while (end_ - head_ < 2) {
    if (!fill(fd)) break;
  }
  if (error_) return false;
  StringEncoding order = StringEncoding::utf16BigEndian;  // no mark: big-endian, as Unicode says
  if (end_ - head_ >= 2) {
    const auto b0 = static_cast<unsigned char>(data_[head_]);
    const auto b1 = static_cast<unsigned char>(data_[head_ + 1]);
    if (b0 == 0xFF && b1 == 0xFE) order = StringEncoding::utf16LittleEndian;
    if ((b0 == 0xFF && b1 == 0xFE) || (b0 == 0xFE && b1 == 0xFF)) {
      head_ += 2;  // the mark is not part of the first line
      scanFrom_ = head_;
    }
  }
  encodeDelimiter(order);
  orderKnown_ = true;
  return true;
}

std::size_t LineBuffer::find(std::size_t from) const {
  const char* base = data_.get();
  const std::size_t d = delim_.size();
  const bool aligned = isUtf16(order_);
  while (from + d <= end_) {
    const char* hit;
    if (d == 1) {
      hit = static_cast<const char*>(std::memchr(base + from, delim_[0], end_ - from));
    } else {
      hit = static_cast<const char*>(::memmem(base + from, end_ - from, delim_.data(), d));
    }
    if (hit == nullptr) return std::string::npos;
    const auto pos = static_cast<std::size_t>(hit - base);
    // Bytes 0A 00 of U+0A05 U+0100 are no line feed: a unit starts at an even
    // offset from the line's start.
    if (!aligned || (pos - head_) % 2 == 0) return pos;
    from = pos + 1;
  }
  return std::string::npos;
}

std::optional<std::string> LineBuffer::nextLine(int fd) {
  if (atEof_) return std::nullopt;
  if (!orderKnown_ && !settleByteOrder(fd)) {
    atEof_ = true;
    return std::nullopt;
  }
  for (;;) {
    const std::size_t pos = find(std::max(scanFrom_, head_));
    if (pos != std::string::npos) return takeLine(pos);
    // Only the last (length - 1) bytes can start a delimiter that the next
    // chunk completes.
    const std::size_t keep = std::min(delim_.size() - 1, end_ - head_);
    scanFrom_ = end_ - keep;
    if (isUtf16(order_) && (scanFrom_ - head_) % 2 != 0) --scanFrom_;
    if (!fill(fd)) {
      atEof_ = true;
      // A failed read is no end of the data: the unfinished line is not
      // handed out as if it were the last one.
      if (error_ || head_ == end_) return std::nullopt;
      return takeLine(end_);
    }
  }
}

// The line [head_, end) (end is end_ or a delimiter's position).
std::string LineBuffer::takeLine(std::size_t end) {
  std::string line = end <= asciiEnd_ ? std::string(data_.get() + head_, end - head_)
                                      : decode(data_.get() + head_, end - head_);
  head_ = std::min(end + delim_.size(), end_);
  scanFrom_ = head_;
  if (head_ == end_) {
    head_ = end_ = scanFrom_ = asciiEnd_ = 0;
  } else if (asciiEnd_ < head_ && tracksAscii(order_)) {
    // Past the last non-ASCII byte: the scan starts again from here.
    asciiEnd_ = head_ + asciiPrefixLength(std::string_view(data_.get() + head_, end_ - head_));
  }
  return line;
}

std::string LineBuffer::decode(const char* bytes, std::size_t size) const {
  const std::string_view view(bytes, size);
  switch (order_) {
    case StringEncoding::utf8:
      return repairedUtf8(view);
    case StringEncoding::ascii: {
      std::string out;
      out.reserve(size);
      for (const char c : view) {
        if (static_cast<unsigned char>(c) < 0x80) out += c;
        else appendUtf8(out, U'\uFFFD');
      }
      return out;
    }
    case StringEncoding::isoLatin1: {
      std::string out;
      out.reserve(size);
      for (const char c : view) appendUtf8(out, static_cast<unsigned char>(c));
      return out;
    }
    case StringEncoding::utf16:
    case StringEncoding::utf16BigEndian:
    case StringEncoding::utf16LittleEndian: {
      const bool big = order_ != StringEncoding::utf16LittleEndian;
      std::u16string units(size / 2, u'\0');
      for (std::size_t i = 0; i < units.size(); ++i) {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        units[i] = static_cast<char16_t>(big ? (first << 8) | second : (second << 8) | first);
      }
      std::string out = utf8FromUtf16(units);
      if (size % 2 != 0) appendUtf8(out, U'\uFFFD');  // half a code unit
      return out;
    }
  }
  return std::string(view);
}

}  // namespace vantrel::foundation_internal
