// Arbitrary bytes as a search query and its tag names: no crash, and the
// words come back whole. Input: tag names separated by line feeds, a zero
// byte, then the query (raw bytes: queries are typed or pasted by users).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/text/characters.h"
#include "vantrel/text/splitting.h"

namespace {

// Words split at characters, so a space that a combining mark follows is
// part of a word, not a separator.
bool holdsASpace(const std::string& word) {
  for (std::string_view character : vantrel::characters(word)) {
    if (character == " ") return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 4096) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t zero = input.find('\0');
  if (zero == std::string_view::npos) return 0;
  std::vector<std::string> tags;
  std::string_view names = input.substr(0, zero);
  while (!names.empty()) {
    const std::size_t end = names.find('\n');
    tags.emplace_back(names.substr(0, end));
    names = end == std::string_view::npos ? std::string_view() : names.substr(end + 1);
  }
  const std::string_view query = input.substr(zero + 1);
  const vantrel::SearchTerms found = vantrel::extractSearchTerms(query, tags);
  // A word never holds a separating space and is never empty; a tagged
  // term names one of the tags and keeps something after it.
  for (const std::string& term : found.terms) {
    if (term.empty() || holdsASpace(term)) std::abort();
  }
  for (const vantrel::TaggedTerm& tagged : found.taggedTerms) {
    if (tagged.value.empty() || holdsASpace(tagged.value)) std::abort();
    bool known = false;
    for (const std::string& tag : tags) known = known || tag == tagged.key;
    if (!known) std::abort();
  }
  // Each space-separated piece gives at most one word.
  std::size_t pieces = 1;
  for (char c : query) pieces += c == ' ' ? 1 : 0;
  if (found.terms.size() + found.taggedTerms.size() > pieces) std::abort();
  // The same query again gives the same words.
  if (!(vantrel::extractSearchTerms(query, tags) == found)) std::abort();
  return 0;
}
