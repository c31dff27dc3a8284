// Arbitrary bytes through the Unicode naming: one non-empty name per scalar,
// the joined form equal to the list joined by commas, and the emoji filter
// an in-order selection that drops exactly its four kinds of names.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/text/string_services.h"
#include "vantrel/text/unicode_names.h"

namespace {

bool emojiJoinerOrModifier(const std::string& name) {
  return name == "ZERO WIDTH JOINER" || name == "VARIATION SELECTOR-16" || name.starts_with("EMOJI MODIFIER") ||
         name.starts_with("REGIONAL INDICATOR SYMBOL");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = vantrel::repairedUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::vector<std::string> names = vantrel::unicodeNames(text);
  if (names.size() != vantrel::unicodeScalars(text).size()) std::abort();

  std::string joined;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (names[i].empty()) std::abort();
    if (i > 0) joined.push_back(',');
    joined += names[i];
  }
  if (vantrel::unicodeName(text) != joined) std::abort();

  std::vector<std::string> kept;
  for (const std::string& name : names) {
    if (!emojiJoinerOrModifier(name)) kept.push_back(name);
  }
  if (vantrel::unicodeNamesEmojiFiltered(text) != kept) std::abort();
  if (!vantrel::unicodeNames(text, {}, {""}).empty()) std::abort();
  return 0;
}
