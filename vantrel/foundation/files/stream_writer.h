// File: vantrel/foundation/files/stream_writer.h
//
// `StreamWriter`: writes text to one file, piece by piece or line by line,
// in an encoding and with a line delimiter chosen when it is made. Nothing
// is buffered: each call goes straight to the file.
//
//   auto writer = StreamWriter::create("/tmp/out.txt");     // replaces the file
//   if (writer) {
//     writer->writeLine("abc");                             // "abc\n"
//     writer->close();
//   }
//   StreamWriter::create(path, "\r\n", StringEncoding::utf16LittleEndian, true);  // appends
//
// Making a writer without `append` replaces the file (a new, empty one);
// with `append` it opens the existing file and writes after its content, and
// when there is none it reports that and creates it. A file that cannot be
// opened is reported ("Can't open file \"<path>\"" with the system error,
// through `qlog.error`) and `create` answers nullptr.
//
// Every write is checked: short writes are continued and interrupted ones
// retried; a failure is reported through `qlog.error` and the call answers
// false. Text and delimiter are both written in the writer's encoding, the
// line as one write. Text the encoding cannot hold without loss is
// reported and not written at all. `StringEncoding::utf16` puts one
// byte-order mark at the start of a file it begins (little-endian units
// follow); no other write ever adds one. After `close()`, writes print
// "fileHandle already closed!" through `qlog.yellow` and write nothing.
//
// Destruction closes the file. A subclass that overrides `close()` must
// call it from its own destructor: the base destructor can only run the
// base version. Calls are serialised by the writer, so a line is never
// split by another thread's line.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "vantrel/platform/foundation/files/url.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

enum class StringEncoding {
  utf8,
  ascii,
  isoLatin1,
  utf16,  // a byte-order mark at the start of the file, then little-endian
  utf16BigEndian,
  utf16LittleEndian,
};

// The bytes of `text` (UTF-8) in `encoding`, without a byte-order mark;
// nullopt when the encoding cannot hold it (or `text` is not valid UTF-8).
[[nodiscard]] std::optional<std::string> encodedText(std::string_view text, StringEncoding encoding);

class StreamWriter {
 public:
  [[nodiscard]] static std::shared_ptr<StreamWriter> create(std::string_view path, std::string_view delimiter = "\n",
                                                            StringEncoding encoding = StringEncoding::utf8,
                                                            bool append = false);
  [[nodiscard]] static std::shared_ptr<StreamWriter> create(const URL& url, std::string_view delimiter = "\n",
                                                            StringEncoding encoding = StringEncoding::utf8,
                                                            bool append = false);

  virtual ~StreamWriter();
  StreamWriter(const StreamWriter&) = delete;  // owns its file
  StreamWriter& operator=(const StreamWriter&) = delete;

  [[nodiscard]] StringEncoding encoding() const { return encoding_; }
  [[nodiscard]] const std::string& path() const { return path_; }
  [[nodiscard]] bool isOpen() const;

  // True when every byte reached the file.
  virtual bool write(std::string_view text);
  // `text` then the delimiter.
  virtual bool writeLine(std::string_view text);
  // Closes the file; later calls do nothing.
  virtual void close();

 protected:
  // Opens the file as described at the top; check `isOpen()` afterwards.
  StreamWriter(const URL& url, std::string_view delimiter, StringEncoding encoding, bool append);

 private:
  bool writeBytes(std::string_view bytes);
  bool writeEncoded(std::string_view text, bool withDelimiter);

  StringEncoding encoding_;
  std::string path_;
  mutable std::mutex mutex_;
  int fd_ = -1;
  std::string delimData_;
};

}  // namespace vantrel
