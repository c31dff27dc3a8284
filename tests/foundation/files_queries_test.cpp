#include <sys/stat.h>

#include <chrono>
#include <filesystem>

#include "tests/foundation/files_test_support.h"
#include "tests/support/fixtures.h"
#include "vantrel/core/console.h"
#include "vantrel/foundation/files/file_queries.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using testing::TemporaryDirectory;
using testing::writeFile;

TEST(FilesQueries, KindsOfItems) {
  TemporaryDirectory tmp;
  writeFile(tmp.path() / "file", "12345");
  fs::create_directory(tmp.path() / "dir");
  fs::create_directory_symlink(tmp.path() / "dir", tmp.path() / "dir-link");
  fs::create_symlink(tmp.path() / "nowhere", tmp.path() / "dangling");
  struct Case {
    std::string name;
    bool exists;
    bool isDirectory;
  };
  const Case cases[] = {
      {"file", true, false},     {"dir", true, true},           {"dir-link", true, true},
      {"dangling", false, false}, {"missing", false, false},     {"missing/below", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = (tmp.path() / c.name).string();
    const URL url = URL::fileURLWithPath(path);
    EXPECT_EQ(fileExists(Fm(), url), c.exists);
    EXPECT_EQ(fileExists(url), c.exists);
    EXPECT_EQ(nilWhenFileNotExists(Fm(), url).has_value(), c.exists);
    EXPECT_EQ(fileExistsAndIsDirectory(Fm(), url), c.exists && c.isDirectory);
    EXPECT_EQ(fileExistsAndIsDirectory(url), c.exists && c.isDirectory);
    EXPECT_EQ(fileExistsAndIsNotDirectory(Fm(), url), c.exists && !c.isDirectory);
    EXPECT_EQ(fileExistsAndIsNotDirectory(url), c.exists && !c.isDirectory);
    EXPECT_EQ(fileExistsAtPathAndIsDirectory(Fm(), path), c.exists && c.isDirectory);
    EXPECT_EQ(vtIsDirectory(Fm(), path), c.exists && c.isDirectory);
    EXPECT_EQ(vtIsDirectory(Fm(), url), c.exists && c.isDirectory);
  }
  EXPECT_FALSE(fileExists(Fm(), URL::fileURLWithPath("")) && vtIsDirectory(Fm(), std::string_view("")));
  EXPECT_FALSE(vtIsDirectory(Fm(), std::string_view("")));
}

TEST(FilesQueries, NilWhenFileNotExistsGivesTheSameUrl) {
  TemporaryDirectory tmp;
  const URL url = URL::fileURLWithPath(tmp.path().string(), true);
  EXPECT_EQ(nilWhenFileNotExists(Fm(), url), url);
  EXPECT_EQ(nilWhenFileNotExists(url), url);
  EXPECT_EQ(nilWhenFileNotExists(url.appendingPathComponent("x")), std::nullopt);
}

TEST(FilesQueries, SizesAndDates) {
  TemporaryDirectory tmp;
  writeFile(tmp.path() / "five", "12345");
  writeFile(tmp.path() / "empty", "");
  fs::create_symlink("five", tmp.path() / "link");
  ConsoleCapture capture;
  EXPECT_EQ(vtFileSize(Fm(), (tmp.path() / "five").string()), 5);
  EXPECT_EQ(vtFileSize(Fm(), URL::fileURLWithPath((tmp.path() / "empty").string())), 0);
  EXPECT_EQ(vtFileSize(Fm(), (tmp.path() / "link").string()), 4);  // the link itself: "five"
  struct stat st {};
  ::stat(tmp.path().c_str(), &st);
  EXPECT_EQ(vtFileSize(Fm(), tmp.path().string()), static_cast<std::int64_t>(st.st_size));

  const auto before = std::chrono::system_clock::now() - std::chrono::minutes(1);
  auto pair = vtFileSizeAndCreationDate(Fm(), URL::fileURLWithPath((tmp.path() / "five").string()));
  ASSERT_TRUE(pair.has_value());
  EXPECT_EQ(pair->first, 5);
  EXPECT_GT(pair->second, before);
  EXPECT_LE(pair->second, std::chrono::system_clock::now());
  EXPECT_EQ(capture.standardOutput(), "");

  const std::string missing = (tmp.path() / "missing").string();
  EXPECT_EQ(vtFileSize(Fm(), missing), std::nullopt);
  EXPECT_EQ(capture.standardOutput(), "Error: No such file or directory\n");
  capture.clear();
  EXPECT_EQ(vtFileSizeAndCreationDate(Fm(), URL::fileURLWithPath(missing)), std::nullopt);
  EXPECT_EQ(capture.standardOutput(), "Error = No such file or directory\n");
}

}  // namespace
}  // namespace vantrel
