#include "vantrel/text/path_edits.h"

namespace vantrel {
namespace {

TEST(PathEdits, Primitives) {
  struct Case {
    std::string path, last, folder, extension, withoutExtension;
  };
  const std::vector<Case> cases = {
      {"/a/b.txt", "b.txt", "/a", "txt", "/a/b"},
      {"b.tar.gz", "b.tar.gz", "", "gz", "b.tar"},
      {"/a/b/", "b", "/a", "", "/a/b/"},
      {"/x", "x", "/", "", "/x"},
      {"/", "/", "/", "", "/"},
      {"", "", "", "", ""},
      {"a//b.c", "b.c", "a", "c", "a//b"},
      {"/a/.profile", ".profile", "/a", "", "/a/.profile"},
      {"/a/b.", "b.", "/a", "", "/a/b."},
      {"/a.d/b", "b", "/a.d", "", "/a.d/b"},
      {"/a/b.txt//", "b.txt", "/a", "txt", "/a/b"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(lastPathComponent(c.path), c.last);
    EXPECT_EQ(deletingLastPathComponent(c.path), c.folder);
    EXPECT_EQ(pathExtension(c.path), c.extension);
    EXPECT_EQ(deletingPathExtension(c.path), c.withoutExtension);
  }
}

TEST(PathEdits, AppendingNeverDoublesASlashOrAddsABareFullStop) {
  EXPECT_EQ(appendingPathComponent("/a", "b"), "/a/b");
  EXPECT_EQ(appendingPathComponent("/a/", "/b"), "/a/b");
  EXPECT_EQ(appendingPathComponent("/", "b"), "/b");
  EXPECT_EQ(appendingPathComponent("", "b"), "b");
  EXPECT_EQ(appendingPathComponent("a", ""), "a");
  EXPECT_EQ(appendingPathExtension("a", "txt"), "a.txt");
  EXPECT_EQ(appendingPathExtension("a/", "txt"), "a.txt");
  EXPECT_EQ(appendingPathExtension("a", ""), "a");
  EXPECT_EQ(appendingPathExtension("", "txt"), std::nullopt);
  EXPECT_EQ(appendingPathExtension("/", "txt"), std::nullopt);
  EXPECT_EQ(appendingPathExtension("a", "t/x"), std::nullopt);
}

TEST(PathEdits, StringEdits) {
  EXPECT_EQ(stringByReplacingLastPathComponentWith("photo.jpg", "new.png"), "new.png");
  EXPECT_EQ(stringByReplacingLastPathComponentWith("/p/photo.jpg", "new.png"), "/p/new.png");
  EXPECT_EQ(stringByReplacingLastPathComponentWith("/photo.jpg", "new.png"), "/new.png");
  EXPECT_EQ(vtStringByAppendingPathComponents("/r", {}), "/r");
  EXPECT_EQ(vtStringByAppendingPathComponents("/r", {"a", "b"}), "/r/a/b");

  struct Case {
    std::string path, extension, expected;
  };
  const std::vector<Case> replacements = {
      {"/r/report.csv", "txt", "/r/report.txt"},
      {"/r/report", "txt", "/r/report.txt"},
      {"/r/report.csv", "", "/r/report"},  // no trailing "."
      {"", "txt", ""},                     // cannot be appended: the path without it
      {"/r/report.csv", "a/b", "/r/report"},
      {".csv", "txt", ".csv.txt"},
  };
  for (const auto& c : replacements) {
    EXPECT_EQ(vtStringByReplacingPathExtension(c.path, c.extension), c.expected) << c.path << " " << c.extension;
  }
}

TEST(PathEdits, PlatformStringEdits) {
  struct Case {
    std::string path, suffix, expected;
  };
  const std::vector<Case> suffixes = {
      {"/p/photo.jpg", "_small", "/p/photo_small.jpg"},
      {"photo.jpg", "_small", "photo_small.jpg"},
      {"/p/photo", "_small", "/p/photo_small"},
      {"", "", ""},
      {"", "_x", "_x"},
      {"/", "_x", "/_x"},
  };
  for (const auto& c : suffixes) {
    EXPECT_EQ(vtAppendSuffixAtEndOfNameAndBeforeExtension(c.path, c.suffix), c.expected) << c.path;
  }
  EXPECT_EQ(vtStringWithLowercasedExtension("/p/IMG.JPG"), "/p/IMG.jpg");
  EXPECT_EQ(vtStringWithLowercasedExtension("/p/IMG.ÄRGER"), "/p/IMG.ärger");
  EXPECT_EQ(vtStringWithLowercasedExtension("/p/IMG"), "/p/IMG");
  EXPECT_EQ(vtStringWithLowercasedExtension(""), "");
}

TEST(PathEdits, BaseNameSixLetterSuffixAndExtension) {
  using R = BaseNameSuffixAndExtension;
  struct Case {
    std::string path;
    R expected;
  };
  const std::vector<Case> cases = {
      {"x_ABCDEF.png", {"x", "ABCDEF", "png"}},
      {"a_b_QWERTY", {"a_b", "QWERTY", std::nullopt}},
      {"photo_ABCDEFG.jpg", {"photo_ABCDEFG", std::nullopt, "jpg"}},
      {"photo_abcdef.jpg", {"photo_abcdef", std::nullopt, "jpg"}},
      {"_ABCDEF", {"", "ABCDEF", std::nullopt}},
      {"/dir_ABCDEF/name.txt", {"name", std::nullopt, "txt"}},
      {"x_AAAAAA_BBBBBB", {"x_AAAAAA", "BBBBBB", std::nullopt}},
      {"a\nb_ABCDEF", {"a\nb", "ABCDEF", std::nullopt}},
      {"😀_ABCDEF.gif", {"😀", "ABCDEF", "gif"}},
  };
  for (const auto& c : cases) EXPECT_EQ(extractBaseNameAndSixLetterSuffixAndExtension(c.path), c.expected) << c.path;
}

TEST(PathEdits, Utf16Ranges) {
  EXPECT_EQ(fullNsRange("😀"), (Utf16Range{0, 2}));
  EXPECT_EQ(rangeStartingAt("abcde", 1), (Utf16Range{1, 4}));
  EXPECT_EQ(rangeStartingAt("abcde", 5), (Utf16Range{5, 0}));
  EXPECT_EQ(rangeStartingAt("😀a", 2), (Utf16Range{2, 1}));
}

TEST(PathEditsDeathTest, OutOfContractLocationsStop) {
  EXPECT_DEATH((void)rangeStartingAt("abcde", 6), "UTF-16 offset 6 out of range 0...5");
  EXPECT_DEATH((void)rangeStartingAt("abcde", -1), "UTF-16 offset -1 is negative");
  EXPECT_DEATH((void)rangeStartingAt("😀", 1), "UTF-16 offset 1 splits a surrogate pair");
}

}  // namespace
}  // namespace vantrel
