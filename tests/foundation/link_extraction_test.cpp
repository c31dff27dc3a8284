#include "vantrel/foundation/net/link_extraction.h"

#include "vantrel/core/console.h"

namespace vantrel {
namespace {

std::vector<std::string> texts(const std::optional<std::vector<URL>>& urls) {
  std::vector<std::string> out;
  if (urls) {
    for (const URL& url : *urls) out.push_back(url.absoluteString());
  }
  return out;
}

TEST(LinkExtraction, CustomPatternPrintsItsTraceLines) {
  ConsoleCapture capture;
  const auto urls = extractHttpLinksCustomRegEx("😀 see http://a.org/x and HTTPS://B.org/y?q=1 now");
  EXPECT_EQ(texts(urls), (std::vector<std::string>{"http://a.org/x", "HTTPS://B.org/y?q=1"}));
  EXPECT_EQ(capture.standardOutput(),
            "match <TextCheckingResult>{7, 14}\n"
            "subString = http://a.org/x\n"
            "match <TextCheckingResult>{26, 19}\n"
            "subString = HTTPS://B.org/y?q=1\n");
}

TEST(LinkExtraction, CustomPatternReportsTextsThatAreNoUrl) {
  ConsoleCapture capture;
  // Only the last component is repaired: a non-ASCII host stays no URL.
  const auto urls = extractHttpLinksCustomRegEx("https://é.org/x http://a.org/é%zz");
  EXPECT_EQ(texts(urls), std::vector<std::string>{"http://a.org/%C3%A9%25zz"});
  EXPECT_EQ(capture.standardOutput(),
            "match <TextCheckingResult>{0, 15}\n"
            "subString = https://é.org/x\n"
            "Cannot create NSURL from \"https://é.org/x\"\n"
            "match <TextCheckingResult>{16, 17}\n"
            "subString = http://a.org/é%zz\n");
}

TEST(LinkExtraction, NoLinkPrintsNothing) {
  ConsoleCapture capture;
  EXPECT_EQ(extractHttpLinksCustomRegEx("no links here"), std::nullopt);
  EXPECT_EQ(extractHttpLinks("no links here"), std::nullopt);
  EXPECT_EQ(capture.standardOutput(), "");
}

TEST(LinkExtraction, Detector) {
  struct Case {
    std::string text;
    std::vector<std::string> links;
  };
  const std::vector<Case> cases = {
      {"see https://a.org/x.", {"https://a.org/x"}},
      {"(see https://a.org/x).", {"https://a.org/x"}},
      {"https://en.wikipedia.org/wiki/Foo_(bar) and", {"https://en.wikipedia.org/wiki/Foo_(bar)"}},
      {"docs at www.example.org/guide, then", {"http://www.example.org/guide"}},
      {"WWW.Example.org!", {"http://WWW.Example.org"}},
      {"ftp://files.example.org/a;b?", {"ftp://files.example.org/a;b"}},
      {"two: http://a.org http://b.org", {"http://a.org", "http://b.org"}},
      {"<http://a.org/x>", {"http://a.org/x"}},
      {"\"http://a.org/q?x=\"", {"http://a.org/q?x="}},
      {"https://de.wikipedia.org/wiki/Köln ok", {"https://de.wikipedia.org/wiki/K%C3%B6ln"}},
      {"http://a.org/100%", {"http://a.org/100%25"}},
      {"http://a.org/%C3%A9", {"http://a.org/%C3%A9"}},
      {"http://a.org/x\u00a0y", {"http://a.org/x"}},  // no-break space ends a link
      {"http://", {}},
      {"http://.", {}},
      {"www.", {}},
      {"a.www.b.org mail@www.b.org", {}},
      {"mailto:x@y.org and news:comp", {}},
      {"xhttp://a.org", {"xhttp://a.org"}},
      {"http://[::1]:8080/p", {"http://[::1]:8080/p"}},
      {"http://a.org:port/", {}},                     // no URL: skipped
  };
  for (const auto& c : cases) EXPECT_EQ(texts(extractHttpLinks(c.text)), c.links) << c.text;
  const auto detected = detectLinks("😀 www.a.org.");
  ASSERT_EQ(detected.size(), 1u);
  EXPECT_EQ(detected[0].range, (ByteRange{5, 14}));
}

}  // namespace
}  // namespace vantrel
