#include "vantrel/foundation/files/directory_listing.h"

#include <fcntl.h>
#include <unistd.h>

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
using testing::TemporaryDirectory;
using testing::writeFile;
using Names = std::set<std::string>;

const std::string kDecomposed = "e\xcc\x81.txt";  // é as e + combining acute
const std::string kNotUtf8 = "\xff.bin";

// root/ holds hidden entries, links, look-alike names and nested folders;
// outside/ is what the link points at and must never be reached.
class WalkTree : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = temp_.path() / "root";
    outside_ = temp_.path() / "outside";
    fs::create_directories(outside_);
    writeFile(outside_ / "secret.txt", "s");
    fs::create_directories(root_ / ".hiddendir");
    writeFile(root_ / ".hiddendir" / "inner.txt", "i");
    writeFile(root_ / ".hidden", "h");
    fs::create_directory_symlink(outside_, root_ / "outside_link");
    fs::create_symlink(temp_.path() / "missing", root_ / "dangling");
    for (const char* name : {"a.jpg", "b.Jpg", "c.jpeg", "notes.txt", "atxt", "notes.TXT"}) writeFile(root_ / name, "x");
    writeFile(root_ / kDecomposed, "e");
    writeFile(root_ / kNotUtf8, "b");
    fs::create_directories(root_ / "logs.txt");
    writeFile(root_ / "logs.txt" / "deep.log", "d");
    fs::create_directories(root_ / "sub" / "nested");
    writeFile(root_ / "sub" / "x.jpg", "x");
    writeFile(root_ / "sub" / "nested" / "y.txt", "y");
  }

  URL rootUrl() const { return URL::fileURLWithPath(root_.string(), true); }

  std::string relative(const std::string& path) const { return path.substr(root_.string().size() + 1); }

  Names drain(std::optional<AnyIterator<URL>> it) const {
    Names names;
    EXPECT_TRUE(it.has_value());
    if (!it) return names;
    while (auto url = it->next()) EXPECT_TRUE(names.insert(relative(url->path())).second) << url->path();
    return names;
  }

  TemporaryDirectory temp_;
  fs::path root_;
  fs::path outside_;
};

const Names kOwnFiles = {".hidden", "dangling", "a.jpg", "b.Jpg", "c.jpeg", "notes.txt",
                         "atxt",    "notes.TXT", kDecomposed, kNotUtf8};
const Names kDeepFiles = {".hiddendir/inner.txt", "logs.txt/deep.log", "sub/x.jpg", "sub/nested/y.txt"};

Names unite(Names a, const Names& b) {
  a.insert(b.begin(), b.end());
  return a;
}

TEST_F(WalkTree, EveryWalkDeliversItsExpectedEntries) {
  const Names ownDirs = {".hiddendir", "outside_link", "logs.txt", "sub"};
  struct Case {
    const char* name;
    std::optional<AnyIterator<URL>> iterator;
    Names expected;
  };
  std::vector<Case> cases;
  cases.push_back({"dirs", urlIteratorForDirsIn(Fm(), rootUrl()), ownDirs});
  cases.push_back({"dirs recursive", urlIteratorForDirsIn(Fm(), rootUrl(), true), unite(ownDirs, {"sub/nested"})});
  cases.push_back({"files", urlIteratorForFiles(Fm(), rootUrl()), kOwnFiles});
  cases.push_back({"files recursive", urlIteratorForFiles(Fm(), rootUrl(), true), unite(kOwnFiles, kDeepFiles)});
  cases.push_back({"JPG", urlIteratorForFiles(Fm(), rootUrl(), false, {"JPG"}), {"a.jpg", "b.Jpg"}});
  cases.push_back({"JPG recursive", urlIteratorForFiles(Fm(), rootUrl(), true, {"JPG"}), {"a.jpg", "b.Jpg", "sub/x.jpg"}});
  cases.push_back({"no extension", urlIteratorForFiles(Fm(), rootUrl(), false, {""}), {"dangling", "atxt", ".hidden"}});
  cases.push_back({"dotted extension", urlIteratorForFiles(Fm(), rootUrl(), false, {".jpg"}), {}});
  cases.push_back({"never enter",
                   urlIteratorForFilesRecurseInto(Fm(), rootUrl(), [](const URL&) { return false; }),
                   unite(kOwnFiles, {"outside_link"})});
  cases.push_back({"enter all, .txt names",
                   urlIteratorForFilesRecurseInto(
                       Fm(), rootUrl(), [](const URL&) { return true; },
                       [](const std::string& name) { return name.size() > 4 && name.ends_with(".txt"); }),
                   {"notes.txt", kDecomposed, ".hiddendir/inner.txt", "sub/nested/y.txt"}});
  for (Case& c : cases) EXPECT_EQ(drain(std::move(c.iterator)), c.expected) << c.name;

  std::vector<std::string> names = *filenamesIn(Fm(), rootUrl());
  EXPECT_EQ(Names(names.begin(), names.end()), unite(unite(kOwnFiles, ownDirs), {}));

  std::vector<URL> dirs;
  forEachDirIn(Fm(), rootUrl(), true, [&](const URL& url) { dirs.push_back(url); });
  EXPECT_EQ(dirs.size(), 5u);
}

TEST_F(WalkTree, RecurseIntoIsAskedOncePerFolderMetBeforeItsContents) {
  std::vector<std::string> asked;
  auto files = urlIteratorForFilesRecurseInto(Fm(), rootUrl(), [&](const URL& dir) {
    asked.push_back(relative(dir.path()));
    return dir.lastPathComponent() == "sub";
  });
  Names delivered = drain(std::move(files));
  EXPECT_EQ(Names(asked.begin(), asked.end()), Names({".hiddendir", "logs.txt", "sub", "sub/nested"}));
  EXPECT_EQ(asked.size(), 4u);
  EXPECT_EQ(delivered, unite(unite(kOwnFiles, {"outside_link"}), {"sub/x.jpg"}));
}

TEST_F(WalkTree, PathCollection) {
  const std::string root = root_.string();
  auto collect = [&](std::optional<std::string> suffix, bool recursive, bool dirs) {
    Names names;
    for (const std::string& path : collectFilePathsIn(Fm(), root, suffix, recursive, dirs)) names.insert(relative(path));
    return names;
  };
  EXPECT_EQ(collect(std::nullopt, false, false), kOwnFiles);
  EXPECT_EQ(collect("", false, false), kOwnFiles);
  EXPECT_EQ(collect("txt", false, false), Names({"notes.txt", "atxt", kDecomposed}));
  EXPECT_EQ(collect("txt", false, true), Names({"notes.txt", "atxt", kDecomposed, "logs.txt"}));
  EXPECT_EQ(collect("txt", true, false),
            Names({"notes.txt", "atxt", kDecomposed, ".hiddendir/inner.txt", "sub/nested/y.txt"}));
  EXPECT_EQ(collect("\xc3\xa9.txt", false, false), Names({kDecomposed}));  // composed é matches
  auto filtered = collectFilePathsIn(Fm(), root, std::nullopt, false, false,
                                     [](const std::string& path) { return path.ends_with(".jpg"); });
  EXPECT_EQ(filtered, std::vector<std::string>{root + "/a.jpg"});
  EXPECT_TRUE(collectFilePathsIn(Fm(), "", std::nullopt, true, true).empty());
}

TEST_F(WalkTree, NamesThatAreNotUtf8StillNameTheirFiles) {
  auto files = urlIteratorForFiles(Fm(), rootUrl(), false, {"bin"});
  auto url = files->next();
  ASSERT_TRUE(url);
  EXPECT_EQ(url->lastPathComponent(), kNotUtf8);
  EXPECT_EQ(testing::readFile(url->path()), "b");
}

TEST(DirectoryListing, EmptyAndMissingFolders) {
  TemporaryDirectory temp;
  const URL empty = URL::fileURLWithPath(temp.path().string(), true);
  EXPECT_FALSE(urlIteratorForFiles(Fm(), empty)->next());
  EXPECT_FALSE(urlIteratorForDirsIn(Fm(), empty, true)->next());
  EXPECT_EQ(filenamesIn(Fm(), empty), std::vector<std::string>{});
  const URL missing = empty.appendingPathComponent("missing", true);
  ConsoleCapture capture;
  EXPECT_FALSE(urlIteratorForFiles(Fm(), missing).has_value());
  EXPECT_FALSE(filenamesIn(Fm(), missing).has_value());
  bool called = false;
  forEachDirIn(Fm(), missing, [&](const URL&) { called = true; });
  EXPECT_FALSE(called);
  EXPECT_TRUE(collectFilePathsIn(Fm(), missing.path(), std::nullopt, true, true).empty());
  EXPECT_EQ(capture.standardOutput(), "");
}

TEST(DirectoryListing, LimitDeliversOneLessAndThenStaysEnded) {
  TemporaryDirectory temp;
  for (int i = 0; i < 10; ++i) writeFile(temp.path() / ("f" + std::to_string(i)), "");
  const URL folder = URL::fileURLWithPath(temp.path().string(), true);
  struct Case {
    std::optional<std::int64_t> limit;
    std::size_t delivered;
  };
  for (const Case& c : std::vector<Case>{{std::nullopt, 10}, {0, 10}, {-1, 10}, {1, 0}, {3, 2}, {11, 10}}) {
    auto files = urlIteratorWithLimitForFilesIn(Fm(), folder, false, {}, c.limit);
    std::size_t count = 0;
    while (files->next()) ++count;
    EXPECT_EQ(count, c.delivered) << (c.limit ? *c.limit : -99);
    for (int again = 0; again < 3; ++again) EXPECT_FALSE(files->next()) << "asked again";
  }
}

// Counts the directory tests made through it.
class CountingFileManager : public FileManager {
 public:
  using FileManager::fileExistsAtPath;
  bool fileExistsAtPath(const std::string& path, bool& isDirectory) const override {
    ++tests;
    return FileManager::fileExistsAtPath(path, isDirectory);
  }
  mutable int tests = 0;
};

TEST(DirectoryListing, IteratorsReadOnlyAsFarAsTheNextEntry) {
  TemporaryDirectory temp;
  for (int i = 0; i < 500; ++i) writeFile(temp.path() / ("f" + std::to_string(i)), "");
  CountingFileManager fm;
  auto files = urlIteratorForFiles(fm, URL::fileURLWithPath(temp.path().string(), true), true);
  ASSERT_TRUE(files->next());
  EXPECT_LE(fm.tests, 2);
}

// Refuses to open one sub-folder, as an unreadable one would be.
class LockedFolderFileManager : public FileManager {
 public:
  posix::UniqueFd openDirectoryForWalk(int parentFd, const std::string& name, const std::string& path) const override {
    if (name == "sub") throw FileSystemError(EACCES, path);
    return FileManager::openDirectoryForWalk(parentFd, name, path);
  }
};

TEST_F(WalkTree, UnreadableSubfolderIsReportedOnce) {
  LockedFolderFileManager fm;
  {
    ConsoleCapture capture;
    Names files = drain(urlIteratorForFiles(fm, rootUrl(), true));
    EXPECT_EQ(files, unite(kOwnFiles, {".hiddendir/inner.txt", "logs.txt/deep.log"}));
    EXPECT_EQ(capture.standardOutput(), "Error: Permission denied\n");
  }
  // The path collection stops there: what the walk met up to the folder.
  std::vector<std::string> order;
  auto walk = Fm().enumerator(root_.string(), true, nullptr);
  while (auto entry = walk->nextEntry()) {
    order.push_back(entry->path);
    if (entry->relativePath == "sub") break;
  }
  ConsoleCapture capture;
  EXPECT_EQ(collectFilePathsIn(fm, root_.string(), std::nullopt, true, true), order);
  EXPECT_EQ(capture.standardOutput(), "Error: Permission denied\n");
}

TEST_F(WalkTree, SkippingAFolderSkipsOnlyItsDescendants) {
  auto walk = Fm().enumerator(root_.string(), true, nullptr);
  Names seen;
  while (auto entry = walk->nextEntry()) {
    if (entry->relativePath == "sub") walk->skipDescendants();
    seen.insert(entry->relativePath);
    EXPECT_FALSE(entry->relativePath.starts_with("outside_link/"));
  }
  EXPECT_EQ(seen.count("sub"), 1u);
  EXPECT_EQ(seen.count("sub/x.jpg"), 0u);
  EXPECT_EQ(seen.count("logs.txt/deep.log"), 1u);
}

}  // namespace
}  // namespace vantrel
