// Arbitrary bytes through the HTML reference decoder: never longer than the
// input, valid UTF-8 out of valid UTF-8 in, and both escapings decode back
// to the text they were given.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "vantrel/text/html_entities.h"
#include "vantrel/text/string_services.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  if (vantrel::decodeHTML(input).size() > input.size()) std::abort();

  const std::string text = vantrel::repairedUtf8(input);
  const std::string decoded = vantrel::decodeHTML(text);
  if (decoded.size() > text.size() || !vantrel::isValidUtf8(decoded)) std::abort();

  const std::string escaped = vantrel::vtEscapeHtml(text);
  if (vantrel::vtEscapeHtml(std::string(text)) != escaped) std::abort();
  if (vantrel::decodeHTML(escaped) != text) std::abort();
  // A NUL is written "&#0;", which reads back as U+FFFD.
  if (text.find('\0') == std::string::npos &&
      vantrel::decodeHTML(vantrel::scalarsHtmlEntitiesRepresentation(text)) != text) {
    std::abort();
  }
  return 0;
}
