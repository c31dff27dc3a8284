#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <unordered_map>

#include "tests/support/fixtures.h"
#include "vantrel/core/console.h"
#include "vantrel/foundation/files/url_operations.h"
#include "vantrel/platform/foundation/files/url.h"
#include "vantrel/text/comparison.h"
#include "vantrel/text/percent_encoding.h"
#include "vantrel/text/string_services.h"

namespace vantrel {

void PrintTo(const URL& url, std::ostream* out) { *out << url.absoluteString(); }

namespace {

URL web(std::string_view text) {
  auto url = URL::fromString(text);
  if (!url) ADD_FAILURE() << "refused: " << text;
  return url.value_or(URL());
}

TEST(Url, AcceptsRfc3986UrisAndRefusesTheRest) {
  struct Case {
    std::string text;
    bool accepted;
  };
  const std::vector<Case> cases = {
      {"https://example.org/a/b.txt?x=1#top", true},
      {"http:", true},
      {"mailto:someone@example.org", true},
      {"urn:isbn:0451450523", true},
      {"http://[::1]:8080/", true},
      {"ftp://user:pw@host:21/file", true},
      {"http://a.org/%20x", true},
      {"http://a.org/a b", false},      // space
      {"http://a.org/é", false},        // non-ASCII
      {"http://a.org/%zz", false},      // bad escape
      {"http://a.org/%2", false},
      {"http://a.org/100%", false},
      {"relative/path", false},          // no scheme
      {"", false},
      {"http://a.org/\n", false},
      {std::string("http://a.org/\0x", 15), false},
      {"http://[::1/", false},
      {"1http://a.org", false},
  };
  for (const auto& c : cases) EXPECT_EQ(URL::fromString(c.text).has_value(), c.accepted) << c.text;
}

TEST(Url, ComponentsOfAWebUrl) {
  const URL url = web("ftp://user:pw@Host.example:21/a%20b/c.TXT?q=1&r#frag");
  EXPECT_FALSE(url.isFileURL());
  EXPECT_EQ(url.scheme(), "ftp");
  EXPECT_EQ(url.user(), "user");
  EXPECT_EQ(url.password(), "pw");
  EXPECT_EQ(url.host(), "Host.example");
  EXPECT_EQ(url.port(), "21");
  EXPECT_EQ(url.path(), "/a b/c.TXT");
  EXPECT_EQ(url.percentEncodedPath(), "/a%20b/c.TXT");
  EXPECT_EQ(url.query(), "q=1&r");
  EXPECT_EQ(url.fragment(), "frag");
  EXPECT_EQ(url.lastPathComponent(), "c.TXT");
  EXPECT_EQ(url.pathExtension(), "TXT");
  EXPECT_EQ(url.absoluteString(), "ftp://user:pw@Host.example:21/a%20b/c.TXT?q=1&r#frag");

  const URL bare = web("mailto:x@y.org");
  EXPECT_EQ(bare.host(), std::nullopt);
  EXPECT_EQ(bare.query(), std::nullopt);
  EXPECT_EQ(bare.path(), "x@y.org");
  EXPECT_EQ(web("http://[::1]:80").host(), "[::1]");
  EXPECT_EQ(web("http://a.org?").query(), "");
}

TEST(Url, FileUrlsParseAsFileUrls) {
  EXPECT_EQ(web("file:///tmp/a%20b"), URL::fileURLWithPath("/tmp/a b"));
  EXPECT_EQ(web("file://localhost/tmp/x/"), URL::fileURLWithPath("/tmp/x", true));
  EXPECT_EQ(web("file:///"), URL());
  EXPECT_EQ(web("FILE:/tmp/x"), URL::fileURLWithPath("/tmp/x"));
  EXPECT_FALSE(web("file:x").isFileURL());
  const URL file = URL::fileURLWithPath("/tmp/é dir", true);
  EXPECT_EQ(file.scheme(), "file");
  EXPECT_EQ(file.host(), "");
  EXPECT_EQ(URL::fromString(file.absoluteString()), file);
  // What a plain path cannot say stays a URL of its own.
  EXPECT_FALSE(web("file://server/share").isFileURL());
  EXPECT_FALSE(web("file:///a%2Fb").isFileURL());
  // An edit that leaves a plain path makes it a file URL.
  EXPECT_EQ(web("file:///%00x").deletingLastPathComponent(), URL());
  EXPECT_EQ(URL::fromFu("/tmp/x/"), URL::fileURLWithPath("/tmp/x", true));
  EXPECT_EQ(URL::fromFu("/tmp/x"), URL::fileURLWithPath("/tmp/x"));
}

TEST(Url, PathEditsKeepQueryAndFragment) {
  struct Case {
    std::string url;
    std::function<URL(const URL&)> edit;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"http://a.org/x?q=1#f", [](const URL& u) { return u.appendingPathComponent("b c"); },
       "http://a.org/x/b%20c?q=1#f"},
      {"http://a.org", [](const URL& u) { return u.appendingPathComponent("b"); }, "http://a.org/b"},
      {"http://a.org/x/", [](const URL& u) { return u.appendingPathComponent("/b//c", true); },
       "http://a.org/x/b/c/"},
      {"http://a.org/x?q", [](const URL& u) { return u.appendingPathComponent("100%é"); },
       "http://a.org/x/100%25%C3%A9?q"},
      {"http://a.org/x/y?q#f", [](const URL& u) { return u.deletingLastPathComponent(); }, "http://a.org/x/?q#f"},
      {"http://a.org/", [](const URL& u) { return u.deletingLastPathComponent(); }, "http://a.org/"},
      {"http://a.org/r.csv?q#f", [](const URL& u) { return replacingPathExtension(u, "txt"); },
       "http://a.org/r.txt?q#f"},
      {"http://a.org/a.jpg?q", [](const URL& u) { return replacingLastPathComponent(u, "b.png"); },
       "http://a.org/b.png?q"},
      {"http://a.org/dir/?q", [](const URL& u) { return u.appendingPathExtension("d"); },
       "http://a.org/dir.d/?q"},
      {"http://a.org/?q", [](const URL& u) { return u.appendingPathExtension("d"); }, "http://a.org/?q"},
      {"http://a.org/r", [](const URL& u) { return u.appendingPathExtension(""); }, "http://a.org/r"},
      {"http://a.org/r", [](const URL& u) { return appendingPathComponents(u); }, "http://a.org/r"},
      {"http://a.org/r", [](const URL& u) { return appendingPathComponents(u, "a", "b"); }, "http://a.org/r/a/b"},
      {"mailto:", [](const URL& u) { return u.appendingPathComponent("x"); }, "mailto:x"},
  };
  for (const auto& c : cases) {
    const URL edited = c.edit(web(c.url));
    EXPECT_EQ(edited.absoluteString(), c.expected) << c.url;
    EXPECT_EQ(URL::fromString(edited.absoluteString()), edited) << c.url;
  }
}

TEST(Url, FileUrlPathEdits) {
  const URL folder = URL::fileURLWithPath("/tmp/f", true);
  EXPECT_EQ(appendingPathComponents(folder, std::vector<std::string>{"a", "b"}),
            URL::fileURLWithPath("/tmp/f/a/b"));
  EXPECT_EQ(appendingPathComponents(folder), folder);
  EXPECT_EQ(replacingPathExtension(URL::fileURLWithPath("/r/report.csv"), "txt"), URL::fileURLWithPath("/r/report.txt"));
  EXPECT_EQ(replacingPathExtension(URL::fileURLWithPath("/r/report.csv"), ""), URL::fileURLWithPath("/r/report"));
  EXPECT_EQ(replacingPathExtension(URL::fileURLWithPath("/r/report.csv"), "a/b"), URL::fileURLWithPath("/r/report"));
  EXPECT_EQ(replacingPathExtension(URL(), "txt"), URL());
  EXPECT_EQ(replacingLastPathComponent(URL::fileURLWithPath("/p/a.jpg"), "b.png"), URL::fileURLWithPath("/p/b.png"));
}

TEST(Url, ImageUrls) {
  struct Case {
    std::string url;
    bool image;
  };
  for (const auto& c : std::vector<Case>{{"http://a.org/x.JPG", true},
                                         {"http://a.org/x.Jpeg?s=1", true},
                                         {"file:///p/x.png", true},
                                         {"http://a.org/x.gif", false},
                                         {"http://a.org/x", false},
                                         {"http://a.org/x?f=a.png", false},
                                         {"http://a.org/x#a.png", false}}) {
    EXPECT_EQ(isImageUrl(web(c.url)), c.image) << c.url;
  }
}

TEST(Url, QueryStringsEncodeWithTheUnreservedSetInKeyOrder) {
  EXPECT_EQ(URL::vtBuildQueryStringFrom(std::map<std::string, std::string>{{"q", "a b&c"}}), "?q=a%20b%26c");
  EXPECT_EQ(URL::vtBuildQueryStringFrom(std::map<std::string, std::string>{}), "");
  EXPECT_EQ(URL::vtBuildQueryStringFrom(std::map<std::string, std::string>{{"", ""}}), "?=");
  EXPECT_EQ(URL::vtBuildQueryStringFrom(std::unordered_map<std::string, std::string>{
                {"z", "1"}, {"a b", "2"}, {"é", "3"}, {"M", "4"}}),
            "?M=4&a%20b=2&z=1&%C3%A9=3");
}

TEST(Url, QueryStringsGiveTheirDictionaryBack) {
  std::mt19937 random(29);
  const std::vector<std::string> pieces = {" ", "&", "=", "+", "#", "%", "é", "a", "Z", "~", "?", "/", ""};
  auto draw = [&] {
    std::string text;
    const int n = static_cast<int>(random() % 4);
    for (int i = 0; i < n; ++i) text += pieces[random() % pieces.size()];
    return text;
  };
  for (int round = 0; round < 300; ++round) {
    std::map<std::string, std::string> dictionary;
    const int entries = static_cast<int>(random() % 5);
    for (int i = 0; i < entries; ++i) dictionary[draw()] = draw();
    const std::string query = URL::vtBuildQueryStringFrom(dictionary);
    if (dictionary.empty()) {
      EXPECT_EQ(query, "");
      continue;
    }
    ASSERT_EQ(query.front(), '?');
    std::map<std::string, std::string> back;
    std::string previousKey;
    for (const std::string& pair : componentsSeparatedBy(query.substr(1), "&")) {
      const auto parts = componentsSeparatedBy(pair, "=");
      ASSERT_EQ(parts.size(), 2u) << query;
      const auto key = removingPercentEncoding(parts[0]);
      const auto value = removingPercentEncoding(parts[1]);
      ASSERT_TRUE(key && value) << query;
      EXPECT_LE(compareText(previousKey, *key), 0) << query;
      previousKey = *key;
      back[*key] = *value;
    }
    EXPECT_EQ(back, dictionary) << query;
    EXPECT_TRUE(URL::fromString("http://a.org/" + query)) << query;
  }
}

TEST(Url, FromSafariUrlString) {
  struct Case {
    std::string text;
    std::optional<std::string> expected;
  };
  const std::vector<Case> cases = {
      {"https://a.org/x?y=1", "https://a.org/x?y=1"},          // already a URL: unchanged
      {"https://a.org/a b", "https://a.org/a%20b"},
      {"https://a.org/dir/Köln", "https://a.org/dir/K%C3%B6ln"},
      {"https://a.org/x y?q=a b#f g", "https://a.org/x%20y?q=a%20b#f%20g"},
      {"https://a.org/a%20b c", "https://a.org/a%20b%20c"},      // a valid escape stays
      {"https://a.org/100% sure", "https://a.org/100%25%20sure"},
      {"https://a.org/%e9 x", "https://a.org/%e9%20x"},
      {"https://a b.org/x y", std::nullopt},                     // only the last component is repaired
      {"ftp://a.org/a b", std::nullopt},                         // not "http"
      {"httpx", std::nullopt},                                   // no "/"
      {"http:/", "http:/"},
  };
  for (const auto& c : cases) {
    const auto url = URL::fromSafariUrlString(c.text);
    EXPECT_EQ(url ? std::optional(url->absoluteString()) : std::nullopt, c.expected) << c.text;
  }
}

TEST(Url, EnsureExistence) {
  testing::TemporaryDirectory tmp;
  const URL folder = URL::fileURLWithPath(tmp.path().string() + "/a/b", true);
  {
    ConsoleCapture capture;
    EXPECT_EQ(ensureExistence(folder), folder);
    EXPECT_EQ(ensureExistence(folder), folder);
    EXPECT_EQ(capture.standardOutput(), "");
  }
  EXPECT_TRUE(std::filesystem::is_directory(folder.path()));

  const std::string file = tmp.path().string() + "/plain";
  std::ofstream(file) << "x";
  const URL below = URL::fileURLWithPath(file + "/sub", true);
  ConsoleCapture capture;
  EXPECT_EQ(ensureExistence(below), below);
  EXPECT_EQ(capture.standardOutput(),
            "📛 IMPORTANT!! 📛 = Couldn't create dir " + file + "/sub: Not a directory\n");
}

TEST(Url, NamedLink) {
  const NamedLink link("Docs", web("https://a.org/docs"));
  EXPECT_EQ(link.name(), "Docs");
  EXPECT_EQ(link.url().host(), "a.org");
}

}  // namespace
}  // namespace vantrel
