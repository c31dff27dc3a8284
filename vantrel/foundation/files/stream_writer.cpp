#include "vantrel/foundation/files/stream_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <fmt/format.h>

#include "vantrel/core/console_loggers.h"
#include "vantrel/platform/foundation/files/file_manager.h"
#include "vantrel/platform/posix/write_all.h"
#include "vantrel/text/string_services.h"

namespace vantrel {

namespace {

std::string_view encodingName(StringEncoding encoding) {
  switch (encoding) {
    case StringEncoding::utf8: return "UTF-8";
    case StringEncoding::ascii: return "ASCII";
    case StringEncoding::isoLatin1: return "ISO Latin 1";
    case StringEncoding::utf16: return "UTF-16";
    case StringEncoding::utf16BigEndian: return "UTF-16BE";
    case StringEncoding::utf16LittleEndian: return "UTF-16LE";
  }
  return "?";
}

void reportOpenFailure(const std::string& path, int code) {
  qlog.error("Can't open file \"" + path + "\"", FileSystemError(code, path));
}

}  // namespace

std::optional<std::string> encodedText(std::string_view text, StringEncoding encoding) {
  if (!isValidUtf8(text)) return std::nullopt;
  std::string out;
  switch (encoding) {
    case StringEncoding::utf8:
      return std::string(text);
    case StringEncoding::ascii:
      for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return std::nullopt;
      }
      return std::string(text);
    case StringEncoding::isoLatin1:
      for (const char32_t scalar : unicodeScalars(text)) {
        if (scalar > 0xFF) return std::nullopt;
        out += static_cast<char>(scalar);
      }
      return out;
    case StringEncoding::utf16:
    case StringEncoding::utf16LittleEndian:
    case StringEncoding::utf16BigEndian: {
      const bool big = encoding == StringEncoding::utf16BigEndian;
      for (const char16_t unit : utf16FromUtf8(text)) {
        const auto high = static_cast<char>(unit >> 8);
        const auto low = static_cast<char>(unit & 0xFF);
        out += big ? high : low;
        out += big ? low : high;
      }
      return out;
    }
  }
  return std::nullopt;
}

StreamWriter::StreamWriter(const URL& url, std::string_view delimiter, StringEncoding encoding, bool append)
    : encoding_(encoding), path_(url.path()) {
  // The delimiter is checked before the file is touched: a writer that could
  // not end its lines must not cost the caller the old file.
  auto delimiterBytes = encodedText(delimiter, encoding);
  if (!delimiterBytes) {
    qlog.error(fmt::format("Can't open file \"{}\": the line delimiter cannot be written in {}", path_,
                           encodingName(encoding)));
    return;
  }
  delimData_ = std::move(*delimiterBytes);

  if (append) {
    fd_ = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd_ < 0) reportOpenFailure(path_, errno);
  } else {
    // Removing first replaces a link at the path instead of writing through it.
    ::unlink(path_.c_str());
  }
  if (fd_ < 0) {
    // In append mode a file that appeared (or could not be opened for some
    // other reason) is never truncated: its content is what the caller asked
    // to keep.
    fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC), 0644);
    if (fd_ < 0) {
      reportOpenFailure(path_, errno);
      return;
    }
  }
  if (encoding_ == StringEncoding::utf16) {
    struct stat status {};
    if (::fstat(fd_, &status) == 0 && status.st_size == 0) writeBytes("\xFF\xFE");
  }
}

std::shared_ptr<StreamWriter> StreamWriter::create(std::string_view path, std::string_view delimiter,
                                                   StringEncoding encoding, bool append) {
  return create(URL::fileURLWithPath(path, false), delimiter, encoding, append);
}

std::shared_ptr<StreamWriter> StreamWriter::create(const URL& url, std::string_view delimiter,
                                                   StringEncoding encoding, bool append) {
  std::shared_ptr<StreamWriter> writer(new StreamWriter(url, delimiter, encoding, append));
  if (!writer->isOpen()) return nullptr;
  return writer;
}

StreamWriter::~StreamWriter() { StreamWriter::close(); }

bool StreamWriter::isOpen() const {
  std::lock_guard lock(mutex_);
  return fd_ >= 0;
}

bool StreamWriter::writeBytes(std::string_view bytes) {
  std::size_t written = 0;
  if (const std::error_code e = posix::writeAll(fd_, bytes.data(), bytes.size(), written)) {
    qlog.error(fmt::format("Can't write to file \"{}\" ({} of {} bytes written)", path_, written, bytes.size()),
               FileSystemError(e.value(), path_));
    return false;
  }
  return true;
}

bool StreamWriter::writeEncoded(std::string_view text, bool withDelimiter) {
  std::lock_guard lock(mutex_);
  if (fd_ < 0) {
    qlog.yellow("fileHandle already closed!");
    return false;
  }
  auto bytes = encodedText(text, encoding_);
  if (!bytes) {
    qlog.error(fmt::format("Can't write to file \"{}\": the text cannot be written in {} without loss", path_,
                           encodingName(encoding_)));
    return false;
  }
  if (withDelimiter) *bytes += delimData_;
  return writeBytes(*bytes);
}

bool StreamWriter::write(std::string_view text) { return writeEncoded(text, false); }

bool StreamWriter::writeLine(std::string_view text) { return writeEncoded(text, true); }

void StreamWriter::close() {
  std::lock_guard lock(mutex_);
  if (fd_ < 0) return;
  const int fd = fd_;
  fd_ = -1;
  // Linux releases the descriptor even when close fails; never retry it.
  if (::close(fd) != 0 && errno != EINTR) {
    const int code = errno;
    qlog.error("Can't close file \"" + path_ + "\"", FileSystemError(code, path_));
  }
}

}  // namespace vantrel
