#include <algorithm>
#include <filesystem>

#include "tests/foundation/files_test_support.h"
#include "tests/support/fixtures.h"
#include "vantrel/core/console.h"
#include "vantrel/foundation/files/file_queries.h"
#include "vantrel/foundation/files/free_file_names.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using testing::TemporaryDirectory;
using testing::writeFile;

// Answers "taken" for every path except the ones listed, without touching
// the disk: the search up to its limit stays fast.
class TakenExceptFileManager : public FileManager {
 public:
  std::vector<std::string> freePaths;
  mutable int tests = 0;
  bool fileExistsAtPath(const std::string& path) const override {
    ++tests;
    return std::find(freePaths.begin(), freePaths.end(), path) == freePaths.end();
  }
};

TEST(FilesFreeNames, FreeAndTakenNames) {
  TemporaryDirectory tmp;
  const std::string dir = tmp.path().string();
  const URL dirUrl = URL::fileURLWithPath(dir, true);
  struct Case {
    std::vector<std::string> existing;  // a trailing "/" makes a folder
    std::string wanted;
    std::string expected;
  };
  const Case cases[] = {
      {{}, "report.txt", "report.txt"},
      {{"report.txt"}, "report.txt", "report-1.txt"},
      {{"report.txt", "report-1.txt", "report-2.txt"}, "report.txt", "report-3.txt"},
      {{"report.txt", "report-2.txt"}, "report.txt", "report-1.txt"},
      {{"report.txt/"}, "report.txt", "report-1.txt"},
      {{"archive.tar.gz"}, "archive.tar.gz", "archive.tar-1.gz"},
      {{"README"}, "README", "README-1"},
      {{".profile"}, ".profile", ".profile-1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.wanted + " with " + std::to_string(c.existing.size()) + " taken");
    fs::remove_all(tmp.path());
    fs::create_directory(tmp.path());
    for (const std::string& name : c.existing) {
      if (name.back() == '/') fs::create_directory(tmp.path() / name.substr(0, name.size() - 1));
      else writeFile(tmp.path() / name, "");
    }
    ConsoleCapture capture;
    EXPECT_EQ(availableFilenameIn(Fm(), dir, c.wanted), c.expected);
    EXPECT_EQ(availableFilename(Fm(), dirUrl, c.wanted), c.expected);
    const std::string line = "ERROR: Name collision! New Name: " + c.expected + "\n";
    EXPECT_EQ(capture.standardOutput(), c.existing.empty() ? "" : line + line);
  }
}

TEST(FilesFreeNames, DanglingLinkCountsAsTaken) {
  TemporaryDirectory tmp;
  fs::create_symlink(tmp.path() / "nowhere", tmp.path() / "report.txt");
  ConsoleCapture capture;
  EXPECT_EQ(availableFilenameIn(Fm(), tmp.path().string(), "report.txt"), "report-1.txt");
}

TEST(FilesFreeNames, GivesUpAfterTheLimitSilently) {
  TakenExceptFileManager allTaken;
  ConsoleCapture capture;
  EXPECT_EQ(availableFilenameIn(allTaken, "/data", "report.txt"), std::nullopt);
  EXPECT_EQ(capture.standardOutput(), "");

  TakenExceptFileManager lastFree;
  lastFree.freePaths = {"/data/report-100000.txt"};
  EXPECT_EQ(availableFilename(lastFree, URL::fileURLWithPath("/data", true), "report.txt"), "report-100000.txt");
  EXPECT_EQ(capture.standardOutput(), "ERROR: Name collision! New Name: report-100000.txt\n");
}

TEST(FilesFreeNames, NamesOutsideTheFolderHaveNoAnswer) {
  TemporaryDirectory tmp;
  fs::create_directory(tmp.path() / "a");
  const std::string dir = (tmp.path() / "a").string();
  const URL dirUrl = URL::fileURLWithPath(dir, true);
  const std::string wanted[] = {
      "", ".", "..", "../x", "a/b", "/etc/passwd", "x/", "/", "..//..", std::string("x\0y", 3),
  };
  for (const std::string& name : wanted) {
    SCOPED_TRACE("\"" + name + "\"");
    TakenExceptFileManager counting;  // every name free would answer at once
    counting.freePaths = {dir + "/" + name};
    ConsoleCapture capture;
    EXPECT_EQ(availableFilenameIn(Fm(), dir, name), std::nullopt);
    EXPECT_EQ(availableFilename(Fm(), dirUrl, name), std::nullopt);
    EXPECT_EQ(availableFilenameIn(counting, dir, name), std::nullopt);
    EXPECT_EQ(counting.tests, 0) << "the file system was asked";
    EXPECT_EQ(capture.standardOutput(), "");
  }
  // A name with dots that is not "." or ".." stays one level below.
  EXPECT_EQ(availableFilenameIn(Fm(), dir, "..x"), "..x");
  EXPECT_EQ(availableFilenameIn(Fm(), dir, "..."), "...");
}

}  // namespace
}  // namespace vantrel
