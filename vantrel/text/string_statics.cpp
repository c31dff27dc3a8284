#include "vantrel/text/string_statics.h"

#include "vantrel/core/uuid.h"
#include "vantrel/text/characters.h"
#include "vantrel/text/string_services.h"

namespace vantrel {

bool vtContains(std::string_view text, std::string_view substring, bool ignoreCase, bool ignoreDiacritic) {
  if (substring.empty()) return true;
  SearchOptions options;
  if (ignoreCase) options = options.union_(SearchOptions::caseInsensitive);
  if (ignoreDiacritic) options = options.union_(SearchOptions::diacriticInsensitive);
  return containsText(text, substring, options);
}

std::string vtUuidString() { return UUID().uuidString(); }

std::optional<std::string> combineTwoOptionals(const std::optional<std::string>& s1,
                                               const std::optional<std::string>& s2, std::string_view separator) {
  if (s1 && s2) return *s1 + std::string(separator) + *s2;
  if (s1) return s1;
  return s2;
}

std::optional<std::int64_t> vtCount(const std::optional<std::string>& text) {
  if (!text) return std::nullopt;
  return characterCount(*text);
}

}  // namespace vantrel
