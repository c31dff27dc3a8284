#include "vantrel/text/html_entities.h"

#include <random>
#include <set>

#include <gtest/gtest.h>

#include "vantrel/core/utf8.h"
#include "vantrel/text/internal/html_entity_table.h"
#include "vantrel/text/internal/html_scan.h"
#include "vantrel/text/internal/scan.h"

namespace vantrel {
namespace {

TEST(HtmlEscaping, FiveCharactersByteByByte) {
  struct Case {
    std::string_view in;
    std::string_view out;
  };
  const Case cases[] = {
      {"a < b && c > d", "a &lt; b &amp;&amp; c &gt; d"},
      {"\"", "&quot;"},
      {"'", "&#39;"},
      {"&amp;", "&amp;amp;"},
      {"plain text, no markup", "plain text, no markup"},
      {"", ""},
      {"\u00E9\U0001F600\t\x01", "\u00E9\U0001F600\t\x01"},
      // A combining mark after one of the five does not shield it: left in
      // place, the quotation mark would end an attribute value.
      {"\"\u0301", "&quot;\u0301"},
      {"'\u0301", "&#39;\u0301"},
      {"&\u0301", "&amp;\u0301"},
      {"<\u0338", "&lt;\u0338"},  // canonically U+226E, still a "<" byte first
      {">\u0338", "&gt;\u0338"},
      {"<a href=\"x\">it's</a>", "&lt;a href=&quot;x&quot;&gt;it&#39;s&lt;/a&gt;"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(std::string(c.in)));
    EXPECT_EQ(vtEscapeHtml(c.in), c.out);
    EXPECT_EQ(vtEscapeHtml(std::string(c.in)), c.out);
  }
}

TEST(HtmlEscaping, MovedInTextWithNothingToEscapeIsNotCopied) {
  std::string text(1000, 'x');
  const char* const data = text.data();
  const std::string same = vtEscapeHtml(std::move(text));
  EXPECT_EQ(same.data(), data);
  EXPECT_EQ(same, std::string(1000, 'x'));
}

TEST(HtmlEscaping, ScanFindsEveryByteOfTheFiveOnly) {
  using namespace text_internal;
  const auto special = [](int b) { return b == '&' || b == '"' || b == '\'' || b == '<' || b == '>'; };
  const auto check = [&](const char* data, std::size_t size, std::size_t expected) {
    EXPECT_EQ(scanFirstHtmlSpecial(data, size), expected);
#if defined(__x86_64__)
    EXPECT_EQ(firstHtmlSpecialSse2(data, size), expected);
    if (processorHasAvx2()) {
      EXPECT_EQ(firstHtmlSpecialAvx2(data, size), expected);
    }
#endif
  };
  // Every byte value at every position of a text longer than the widest
  // block, so the wide loops, the narrow loop and the tail all see each one.
  constexpr std::size_t kSize = 300;
  for (int b = 0; b < 256; ++b) {
    for (std::size_t at = 0; at < kSize; at += (b == '&' ? 1 : 7)) {
      std::string s(kSize, 'a');
      s[at] = static_cast<char>(b);
      SCOPED_TRACE(::testing::Message() << "byte " << b << " at " << at);
      check(s.data(), s.size(), special(b) ? at : kSize);
    }
  }
  // Every start alignment and length, one special byte at each position or none.
  std::string buffer(64 + 200, 'a');
  for (std::size_t offset = 0; offset < 64; ++offset) {
    for (std::size_t size = 0; size <= 200; size += (size < 70 ? 1 : 13)) {
      SCOPED_TRACE(::testing::Message() << "offset " << offset << " size " << size);
      check(buffer.data() + offset, size, size);
      for (std::size_t at = 0; at < size; ++at) {
        buffer[offset + at] = '>';
        check(buffer.data() + offset, size, at);
        buffer[offset + at] = 'a';
      }
    }
  }
}

TEST(HtmlEscaping, ScalarsAsDecimalReferences) {
  EXPECT_EQ(scalarsHtmlEntitiesRepresentation("abc"), "&#97;&#98;&#99;");
  EXPECT_EQ(scalarsHtmlEntitiesRepresentation("abc", " "), "&#97; &#98; &#99;");
  EXPECT_EQ(scalarsHtmlEntitiesRepresentation("\U0001F600"), "&#128512;");
  EXPECT_EQ(scalarsHtmlEntitiesRepresentation(std::string_view("\0", 1)), "&#0;");
  EXPECT_EQ(scalarsHtmlEntitiesRepresentation("\xFF"), "&#65533;");
  EXPECT_EQ(scalarsHtmlEntitiesRepresentation(""), "");
  EXPECT_EQ(scalarsHtmlEntitiesRepresentation("", ", "), "");
}

TEST(HtmlDecoding, References) {
  struct Case {
    std::string_view in;
    std::string_view out;
  };
  const Case cases[] = {
      {"&lt;b&gt;", "<b>"},
      {"&amp;lt;", "&lt;"},  // one pass
      {"&nbsp;", "\u00A0"},
      {"&apos;", "'"},
      {"&AMP;", "&AMP;"},
      {"&foo;", "&foo;"},
      {"&lang;&rang;", "\u2329\u232A"},
      {"&thetasym;", "\u03D1"},      // the longest key
      {"&thetasymx;", "&thetasymx;"},  // longer than any key
      {"x&lt;y&gt;z", "x<y>z"},
      // Numeric references.
      {"&#65;", "A"},
      {"&#0065;", "A"},
      {"&#00000000000000000000000000065;", "A"},
      {"&#x41;", "A"},
      {"&#X41;", "A"},
      {"&#xabc;", "\u0ABC"},
      {"&#x1F600;", "\U0001F600"},
      {"&#x10FFFF;", "\U0010FFFF"},
      {"&#1114111;", "\U0010FFFF"},
      {"&#xD7FF;&#xE000;", "\uD7FF\uE000"},
      // A reference to zero is U+FFFD, never a NUL.
      {"&#0;", "\uFFFD"},
      {"&#x00;", "\uFFFD"},
      {"&#X0;", "\uFFFD"},
      // Only digits of the base, at least one, between the prefix and ";".
      {"&#;", "&#;"},
      {"&#x;", "&#x;"},
      {"&#X;", "&#X;"},
      {"&#zz;", "&#zz;"},
      {"&# 65;", "&# 65;"},
      {"&#65abc;", "&#65abc;"},
      {"&#x0x41;", "&#x0x41;"},
      {"&#xx41;", "&#xx41;"},
      {"&#+65;", "&#+65;"},
      {"&#-1;", "&#-1;"},
      {"&#x-41;", "&#x-41;"},
      {"&#65 ;", "&#65 ;"},
      {"&#\u0661;", "&#\u0661;"},  // ARABIC-INDIC DIGIT ONE is no digit here
      // Not scalar values.
      {"&#xD800;", "&#xD800;"},
      {"&#xDFFF;", "&#xDFFF;"},
      {"&#1114112;", "&#1114112;"},
      {"&#x110000;", "&#x110000;"},
      {"&#99999999999999999999;", "&#99999999999999999999;"},
      // Spans: from an "&" to the next ";".
      {"AT&T", "AT&T"},
      {"AT&T &lt", "AT&T &lt"},
      {"a & b &lt; c", "a & b &lt; c"},
      {"&&amp;", "&&amp;"},
      {"a & b; &lt;", "a & b; <"},
      {"&#65", "&#65"},
      {"&", "&"},
      {";&;", ";&;"},
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(std::string(c.in)));
    EXPECT_EQ(decodeHTML(c.in), c.out);
  }
}

TEST(HtmlDecoding, EntityTable) {
  using text_internal::kHtmlEntities;
  ASSERT_EQ(std::size(kHtmlEntities), 253u);
  std::set<std::string_view> keys;
  char16_t highest = 0;
  for (const auto& entity : kHtmlEntities) {
    SCOPED_TRACE(std::string(entity.key));
    EXPECT_TRUE(keys.insert(entity.key).second);
    EXPECT_TRUE(entity.key.starts_with('&') && entity.key.ends_with(';'));
    EXPECT_FALSE(entity.scalar >= 0xD800 && entity.scalar <= 0xDFFF);
    highest = std::max(highest, entity.scalar);
    // Every key decodes to its scalar, also amid other text.
    std::string expected;
    appendUtf8(expected, entity.scalar);
    EXPECT_EQ(decodeHTML(entity.key), expected);
    EXPECT_EQ(decodeHTML("x" + std::string(entity.key) + "y"), "x" + expected + "y");
  }
  EXPECT_EQ(highest, 0x2666);

  struct Row {
    std::string_view key;
    std::string_view value;
  };
  const Row rows[] = {
      {"&quot;", "\""},        {"&amp;", "&"},          {"&apos;", "'"},          {"&lt;", "<"},
      {"&gt;", ">"},           {"&nbsp;", "\u00A0"},    {"&shy;", "\u00AD"},      {"&yuml;", "\u00FF"},
      {"&Yuml;", "\u0178"},    {"&zwj;", "\u200D"},     {"&euro;", "\u20AC"},     {"&lang;", "\u2329"},
      {"&rang;", "\u232A"},    {"&Alpha;", "\u0391"},   {"&alpha;", "\u03B1"},    {"&diams;", "\u2666"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.key));
    EXPECT_TRUE(keys.contains(row.key));
    EXPECT_EQ(decodeHTML(row.key), row.value);
  }
  // Keys are case-sensitive: a name defined in one case only does not match in another.
  EXPECT_EQ(decodeHTML("&EURO;&Nbsp;"), "&EURO;&Nbsp;");
}

// Random text without U+0000, heavy in the five characters, marks after
// them, references already in it and stray "&" and ";".
std::string randomText(std::mt19937& rng) {
  static const std::string_view pieces[] = {
      "&", "\"", "'", "<", ">", ";", "#", "x", "a", " ", "&amp;", "&#65;", "&lt", "\u0301", "\u0338",
      "\u00E9", "\U0001F600", "\t", "\n", "&#x", "0", "9", "\u200D", "\xEF\xBF\xBD"};
  std::string text;
  for (int i = static_cast<int>(rng() % 24); i > 0; --i) {
    if (rng() % 4 == 0) {
      const auto scalar = static_cast<char32_t>(1 + rng() % 0x10FFFF);
      if (scalar < 0xD800 || scalar > 0xDFFF) appendUtf8(text, scalar);
    } else {
      text.append(pieces[rng() % std::size(pieces)]);
    }
  }
  return text;
}

TEST(HtmlDecoding, RoundTrips) {
  std::mt19937 rng(28115);
  for (int round = 0; round < 2000; ++round) {
    const std::string text = randomText(rng);
    SCOPED_TRACE(::testing::PrintToString(text));
    EXPECT_EQ(decodeHTML(vtEscapeHtml(text)), text);
    EXPECT_EQ(decodeHTML(scalarsHtmlEntitiesRepresentation(text)), text);
    EXPECT_EQ(vtEscapeHtml(std::string(text)), vtEscapeHtml(text));
    EXPECT_LE(decodeHTML(text).size(), text.size());
  }
}

}  // namespace
}  // namespace vantrel
