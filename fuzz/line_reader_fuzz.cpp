// The line readers over any bytes, any chunk size: the lines are the decoded
// text (ill-formed parts as U+FFFD) cut at the delimiter, as a naive split
// finds them, in UTF-8 and in UTF-16 (where a delimiter's bytes off a unit
// boundary must not cut).
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/foundation/files/line_readers.h"
#include "vantrel/platform/posix/write_all.h"
#include "vantrel/text/string_services.h"

namespace {

std::vector<std::string> naiveSplit(const std::string& text, const std::string& delimiter) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t pos = text.find(delimiter, start);
    if (pos == std::string::npos) {
      out.push_back(text.substr(start));
      break;
    }
    out.push_back(text.substr(start, pos - start));
    start = pos + delimiter.size();
  }
  return out;
}

std::string decodedUtf16Le(std::string_view bytes) {
  std::u16string units;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                          (static_cast<unsigned char>(bytes[i + 1]) << 8)));
  }
  std::string out = vantrel::utf8FromUtf16(units);
  if (bytes.size() % 2 != 0) out += "\uFFFD";
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2 || size > 4000) return 0;  // the whole input fits the pipe's buffer
  const bool utf16 = (data[0] & 1) != 0;
  const std::string delimiter = (data[0] & 2) != 0 ? "\r\n" : "\n";
  const std::int64_t chunk = 1 + data[1] % 17;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 2), size - 2);

  auto pipe = vantrel::Pipe::create();
  if (vantrel::posix::writeAll(pipe->writingFd(), bytes)) std::abort();
  pipe->closeWritingEnd();
  const auto encoding = utf16 ? vantrel::StringEncoding::utf16LittleEndian : vantrel::StringEncoding::utf8;
  auto reader = vantrel::PipeReader::create(*pipe, delimiter, encoding, chunk);
  if (!reader) std::abort();
  std::vector<std::string> lines;
  while (auto line = reader->nextLine()) lines.push_back(*line);
  if (reader->readError()) std::abort();
  const std::string text = utf16 ? decodedUtf16Le(bytes) : vantrel::repairedUtf8(bytes);
  if (lines != naiveSplit(text, delimiter)) std::abort();
  return 0;
}
