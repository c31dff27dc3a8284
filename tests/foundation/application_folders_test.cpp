#include "vantrel/foundation/files/application_folders.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/foundation/files_test_support.h"
#include "tests/support/fixtures.h"
#include "vantrel/core/console.h"
#include "vantrel/foundation/files/file_queries.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using testing::ScopedEnv;
using testing::TemporaryDirectory;
using testing::writeFile;

std::vector<std::string> sortedLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const auto end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

TEST(VtFileUtils, PrivateDocumentsAndDocumentsFolders) {
  TemporaryDirectory temp;
  ScopedEnv home("HOME", temp.path().string());
  ScopedEnv data("XDG_DATA_HOME", std::nullopt);
  ScopedEnv config("XDG_CONFIG_HOME", (temp.path() / "config").string());
  const fs::path library = temp.path() / ".local" / "share";
  const fs::path privateDocuments = library / "Private Documents";

  EXPECT_EQ(vtFileUtils.applicationPrivateDocumentsDirectory(), privateDocuments.string());
  EXPECT_FALSE(fs::exists(privateDocuments));
  EXPECT_EQ(vtFileUtils.applicationPrivateDocumentsDirectorySubDirectoryUrlNamed("cache", true).path(),
            (privateDocuments / "cache").string());
  EXPECT_TRUE(fs::is_directory(privateDocuments / "cache"));
  EXPECT_EQ(vtFileUtils.applicationPrivateDocumentsDirectory(true), privateDocuments.string());
  EXPECT_EQ(vtFileUtils.applicationDocumentsDirectory(), (temp.path() / "Documents").string());
  EXPECT_EQ(vtFileUtils.applicationDocumentsDirectorySubDirectoryNamed("out", true),
            (temp.path() / "Documents" / "out").string());
  EXPECT_TRUE(fs::is_directory(temp.path() / "Documents" / "out"));
}

// The path forms reach the URL forms through virtual dispatch.
class RelocatedFileUtils : public VtFileUtils {
 public:
  URL applicationPrivateDocumentsDirectoryUrl(bool) const override { return URL::fileURLWithPath("/elsewhere", true); }
  URL applicationPrivateDocumentsDirectorySubDirectoryUrlNamed(std::string_view name, bool) const override {
    return URL::fileURLWithPath("/elsewhere", true).appendingPathComponent(name, true);
  }
};

TEST(VtFileUtils, PathFormsFollowOverriddenUrlForms) {
  const RelocatedFileUtils utils;
  const VtFileUtils& handle = utils;
  EXPECT_EQ(handle.applicationPrivateDocumentsDirectory(), "/elsewhere");
  EXPECT_EQ(handle.applicationPrivateDocumentsDirectorySubDirectoryNamed("x"), "/elsewhere/x");
}

TEST(VtFileUtils, IsDirectory) {
  TemporaryDirectory temp;
  writeFile(temp.path() / "file", "x");
  EXPECT_TRUE(vtFileUtils.isDirectory(temp.path().string()));
  EXPECT_FALSE(vtFileUtils.isDirectory((temp.path() / "file").string()));
  EXPECT_FALSE(vtFileUtils.isDirectory((temp.path() / "missing").string()));
  EXPECT_FALSE(vtFileUtils.isDirectory(""));
}

TEST(VtFileUtils, OperateOnFilesIn) {
  TemporaryDirectory temp;
  const fs::path dir = temp.path() / "d";
  fs::create_directories(dir / "c");
  writeFile(dir / "a.txt", "a");
  writeFile(dir / "b.log", "b");
  writeFile(dir / "c" / "d.txt", "d");
  auto walk = [&](std::string_view folder, std::optional<std::string> suffix, bool recursive) {
    std::set<std::string> seen;
    vtFileUtils.operateOnFilesIn(folder, suffix, recursive, [&](const std::string& path) {
      seen.insert(path.substr(dir.string().size() + 1));
    });
    return seen;
  };
  using Set = std::set<std::string>;
  EXPECT_EQ(walk(dir.string(), ".txt", false), Set({"a.txt"}));
  EXPECT_EQ(walk(dir.string(), ".txt", true), Set({"a.txt", "c/d.txt"}));
  EXPECT_EQ(walk(dir.string(), std::nullopt, false), Set({"a.txt", "b.log", "c"}));
  EXPECT_EQ(walk(dir.string(), "", false), Set({"a.txt", "b.log", "c"}));
  EXPECT_TRUE(walk((dir / "missing").string(), std::nullopt, true).empty());
  EXPECT_TRUE(walk("", std::nullopt, true).empty());
}

TEST(VtFileUtils, ClearingRemovesLinksAsLinksAndDoesNotRevisitRemovedFolders) {
  TemporaryDirectory temp;
  const fs::path dir = temp.path() / "clear";
  const fs::path outside = temp.path() / "outside";
  fs::create_directories(dir / "b" / "c");
  fs::create_directories(outside);
  writeFile(outside / "keep.txt", "keep");
  writeFile(dir / "a", "a");
  writeFile(dir / "b" / "c" / "deep", "d");
  fs::create_directory_symlink(outside, dir / "link");

  std::string expected;
  for (const std::string& name : Fm().contentsOfDirectory(dir.string())) expected += "deleting = " + (dir / name).string() + "\n";
  ConsoleCapture capture;
  vtFileUtils.deleteFilesInDirectory(dir.string() + "/");
  EXPECT_EQ(capture.standardOutput(), expected);
  EXPECT_TRUE(fs::is_directory(dir));
  EXPECT_TRUE(fs::is_empty(dir));
  EXPECT_EQ(testing::readFile(outside / "keep.txt"), "keep");
}

TEST(VtFileUtils, ClearingAnEmptyOrMissingPathRemovesNothing) {
  TemporaryDirectory temp;
  const fs::path cwd = fs::current_path();
  fs::current_path(temp.path());
  writeFile(temp.path() / "stays", "x");
  ConsoleCapture capture;
  vtFileUtils.deleteFilesInDirectory("");
  vtFileUtils.deleteFilesInDirectory((temp.path() / "missing").string());
  fs::current_path(cwd);
  EXPECT_TRUE(fs::exists(temp.path() / "stays"));
  EXPECT_EQ(capture.standardOutput(), "");
}

TEST(VtFileUtils, DirectorySizeIsTheSumOfTheEntriesOwnSizes) {
  TemporaryDirectory temp;
  const fs::path dir = temp.path() / "sized";
  const fs::path outside = temp.path() / "outside";
  fs::create_directories(dir / "sub");
  fs::create_directories(outside);
  writeFile(outside / "big", std::string(5000, 'x'));
  writeFile(dir / "ten", "0123456789");
  writeFile(dir / "sub" / "three", "abc");
  fs::create_directory_symlink(outside, dir / "link");

  std::vector<std::string> expectedLines;
  std::int64_t expected = 0;
  for (const char* name : {"ten", "sub", "sub/three", "link"}) {
    struct stat st {};
    const std::string path = (dir / name).string();
    ASSERT_EQ(::lstat(path.c_str(), &st), 0);
    expected += st.st_size;
    expectedLines.push_back(path + ", Size = " + std::to_string(st.st_size));
  }
  std::sort(expectedLines.begin(), expectedLines.end());
  ConsoleCapture capture;
  EXPECT_EQ(vtFileUtils.directorySize(dir.string()), expected);
  EXPECT_EQ(sortedLines(capture.standardOutput()), expectedLines);

  capture.clear();
  fs::create_directories(temp.path() / "empty");
  fs::create_directories(temp.path() / "one");
  writeFile(temp.path() / "one" / "f", "0123456789");
  EXPECT_EQ(vtFileUtils.directorySize((temp.path() / "empty").string()), 0);
  EXPECT_EQ(vtFileUtils.directorySize((temp.path() / "missing").string()), 0);
  EXPECT_EQ(vtFileUtils.directorySize(""), 0);
  EXPECT_EQ(vtFileUtils.directorySize((temp.path() / "one").string()), 10);
}

}  // namespace
}  // namespace vantrel
