#include "vantrel/collections/sequence_rendering.h"

#include "vantrel/core/console.h"

namespace vantrel::collections_internal {

std::string countedHeader(std::string_view title, std::size_t count) {
  std::string header(title);
  header += " (count=";
  header += unsignedText(count);
  header += "):";
  return header;
}

void printLinesJoined(const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += '\n';
    text += lines[i];
  }
  consolePrint(text);
}

void printLinesAsList(const std::vector<std::string>& lines) { consolePrint(debugDescribe(lines)); }

}  // namespace vantrel::collections_internal
