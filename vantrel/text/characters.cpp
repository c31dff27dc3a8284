#include "vantrel/text/characters.h"

#include <memory>

#include <unicode/brkiter.h>
#include <unicode/utext.h>

#include "vantrel/core/fatal.h"

namespace vantrel {
namespace {

// Creating a break iterator loads rule data; clone one per thread instead.
icu::BreakIterator& graphemeIterator() {
  thread_local std::unique_ptr<icu::BreakIterator> iterator = [] {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> it(
        icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status) || !it) fatal("ICU grapheme break iterator unavailable");
    return it;
  }();
  return *iterator;
}

}  // namespace

std::int64_t characterCount(std::string_view text) {
  // ASCII: every byte is a character except the LF of a CR LF pair.
  std::int64_t crlf = 0;
  bool ascii = true;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x80) {
      ascii = false;
      break;
    }
    if (c == '\n' && i > 0 && text[i - 1] == '\r') ++crlf;
  }
  if (ascii) return static_cast<std::int64_t>(text.size()) - crlf;

  UErrorCode status = U_ZERO_ERROR;
  UText* ut = utext_openUTF8(nullptr, text.data(), static_cast<int64_t>(text.size()), &status);
  if (U_FAILURE(status)) fatal("ICU could not open UTF-8 text");
  icu::BreakIterator& it = graphemeIterator();
  it.setText(ut, status);
  std::int64_t count = 0;
  if (U_SUCCESS(status)) {
    for (int32_t b = it.next(); b != icu::BreakIterator::DONE; b = it.next()) ++count;
  }
  // Leave the iterator on an empty text: `ut` is about to go.
  UText* empty = utext_openUTF8(nullptr, "", 0, &status);
  it.setText(empty, status);
  utext_close(empty);
  utext_close(ut);
  return count;
}

}  // namespace vantrel
