// Arbitrary bytes as pasteboard text through the inspector: the dump keeps
// its thirteen lines, and no line holds a control character (C0, DEL, C1) or
// ill-formed UTF-8 that could drive a terminal.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "vantrel/core/console.h"
#include "vantrel/foundation/pasteboard/pasteboard_debug_info.h"
#include "vantrel/text/string_services.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  vantrel::PasteboardItem item;
  item.setString(input, vantrel::PasteboardType::string());
  vantrel::Pasteboard board;
  board.writeItems({item});
  std::string out;
  {
    vantrel::ConsoleCapture capture;
    vantrel::printDebugInfoAboutTypes(board, true);
    out = capture.standardOutput();
  }
  std::size_t lines = 0;
  std::size_t start = 0;
  for (std::size_t end; (end = out.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string_view line(out.data() + start, end - start);
    if (line.starts_with("string = ") || line.starts_with("url.path = ")) {
      if (vantrel::repairedUtf8(line) != line) std::abort();
      for (std::size_t i = 0; i < line.size(); ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        if (c < 0x20 || c == 0x7F) std::abort();
        if (c == 0xC2 && i + 1 < line.size() && static_cast<unsigned char>(line[i + 1]) <= 0x9F) std::abort();
      }
    }
    ++lines;
  }
  if (start != out.size() || lines != 13) std::abort();
  return 0;
}
