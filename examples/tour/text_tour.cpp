#include <cstdio>
#include <string>

#include <vantrel/core/random.h>
#include <vantrel/text/characters.h>
#include <vantrel/text/escaping.h>
#include <vantrel/text/padding.h>
#include <vantrel/text/random_strings.h>
#include <vantrel/text/splitting.h>
#include <vantrel/text/string_services.h>
#include <vantrel/text/substrings.h>
#include <vantrel/text/trimming.h>

#include "tour.h"

using namespace vantrel;

TOUR_SECTION(40, "Characters are grapheme clusters") {
  const std::string text = "cafe\u0301 👨‍👩‍👧 🇩🇪\r\n";
  std::printf("%zu bytes, %lld UTF-16 units, %lld characters\n", text.size(),
              static_cast<long long>(utf16Length(text)), static_cast<long long>(characterCount(text)));
  std::printf("first 4: %s | character 5: %s\n", vtStringTo(text, 4).c_str(), vtStringAt(text, 5).c_str());
}

TOUR_SECTION(41, "Canonical search and cutting at a search text") {
  const std::string text = "caf\u00E9=cr\u00E8me";
  std::printf("after \"e\\u0301=\": %s | up to \"=\": %s\n", vtStringAfter(text, "e\u0301=").c_str(),
              vtStringUpTo(text, "=").c_str());
  const Utf16Range r = rangeOfUtf16("😀 smile", "smile");
  std::printf("UTF-16 range of \"smile\" in \"😀 smile\": {%lld, %lld}\n", static_cast<long long>(r.location),
              static_cast<long long>(r.length));
}

TOUR_SECTION(42, "Splitting and search terms") {
  for (const std::string& part : componentsSeparatedByStringTrimmed(" a , b ,, c ")) std::printf("[%s]", part.c_str());
  std::printf("\n");
  const SearchTerms terms = extractSearchTerms("from:anna report in:inbox", {"from", "in"});
  for (const TaggedTerm& t : terms.taggedTerms) std::printf("%s -> %s\n", t.key.c_str(), t.value.c_str());
  for (const std::string& t : terms.terms) std::printf("term %s\n", t.c_str());
}

TOUR_SECTION(43, "Padding, trimming and affixes") {
  std::printf("[%s] [%s] [%s]\n", paddedLeft("7", 3).c_str(), paddedBoth("abc", 6, "·").c_str(),
              paddedLeftPadding("42", "0000").c_str());
  std::printf("[%s] [%s]\n", stringByTrimmingWhiteSpacesAndNewlines("\t a b \n").c_str(),
              overwritten("abcdef", "XY").c_str());
  // "e" is not a prefix of "é" written with a combining accent; "é" is.
  std::printf("%s / %s\n", droppingPrefix("e\u0301t\u00E9", "e").c_str(),
              droppingPrefix("e\u0301t\u00E9", "\u00E9").c_str());
}

TOUR_SECTION(44, "Random strings and four-character codes") {
  ScriptedRandomSource script({7, 30, 61, 0});
  ScopedRandomSource use(script);
  std::printf("scripted token: %s\n", vtRandomAlphanumericString(4).c_str());
  std::printf("fourCharCode(\"vtrl\") = 0x%08X, back: %s\n", fourCharCode("vtrl"), string(fourCharCode("vtrl")).c_str());
}

TOUR_SECTION(45, "JSON and source-literal escaping") {
  const std::string value = "say \"hi\"\n\ttab \x01 bell";
  std::printf("\"%s\"\n", stringEncodedForJson(value).c_str());
  std::printf("\"%s\"\n", stringPreparedToBeUseInSourceStringLiteral("C:\\dir\n").c_str());
  std::string buffer = "{\"k\":\"";
  appendStringEncodedForJson(buffer, "bad byte \xFF repaired");
  buffer += "\"}";
  std::printf("%s\n", buffer.c_str());
}
