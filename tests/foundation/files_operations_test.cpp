#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "tests/foundation/files_test_support.h"
#include "tests/support/fixtures.h"
#include "vantrel/core/console.h"
#include "vantrel/foundation/files/file_operations.h"
#include "vantrel/foundation/files/file_queries.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TemporaryDirectory;
using testing::writeFile;
using Case = VantrelNSFileManagerError::Case;

constexpr std::string_view kRed = "\x1b[fg255,0,0;";
constexpr std::string_view kReset = "\x1b[;";

URL fileUrl(const fs::path& p, bool isDirectory = false) { return URL::fileURLWithPath(p.string(), isDirectory); }

// A receiver whose chosen primitives fail, as a full disk or a permission
// problem would (the tests run as root, which permissions do not stop).
class FailingFileManager : public FileManager {
 public:
  bool failCreate = false;
  bool failCopy = false;
  std::string failRemovePath;

  void createDirectory(const std::string& path, bool intermediates) const override {
    if (failCreate) throw FileSystemError(EACCES, path);
    FileManager::createDirectory(path, intermediates);
  }
  void copyItem(const std::string& from, const std::string& to, bool replacing) const override {
    if (failCopy) throw FileSystemError(ENOSPC, to);
    FileManager::copyItem(from, to, replacing);
  }
  void removeItem(const std::string& path) const override {
    if (!failRemovePath.empty() && path.find(failRemovePath) != std::string::npos) {
      throw FileSystemError(EACCES, path);
    }
    FileManager::removeItem(path);
  }
};

TEST(FilesOperations, EnsureDirExistsCreatesParentsAndAcceptsExistingFolder) {
  TemporaryDirectory tmp;
  const fs::path deep = tmp.path() / "a" / "b" / "c";
  ConsoleCapture capture;
  EXPECT_TRUE(ensureDirExists(Fm(), fileUrl(deep, true)));
  EXPECT_TRUE(fs::is_directory(deep));
  EXPECT_TRUE(ensureDirExists(Fm(), deep.string()));
  EXPECT_TRUE(ensureDirExists(Fm(), (tmp.path() / "p" / "q").string()));
  EXPECT_TRUE(fs::is_directory(tmp.path() / "p" / "q"));
  EXPECT_EQ(capture.standardOutput(), "");
}

TEST(FilesOperations, EnsureDirExistsOnAFilePrintsTheImportantLine) {
  TemporaryDirectory tmp;
  const fs::path file = tmp.path() / "plain";
  writeFile(file, "x");
  ConsoleCapture capture;
  EXPECT_FALSE(ensureDirExists(Fm(), file.string()));
  EXPECT_EQ(capture.standardOutput(), "📛 IMPORTANT!! 📛 = Couldn't create dir " + file.string() + ": File exists\n");
  capture.clear();
  EXPECT_FALSE(ensureDirExists(Fm(), fileUrl(file / "below", true)));
  EXPECT_EQ(capture.standardOutput(),
            "📛 IMPORTANT!! 📛 = Couldn't create dir " + (file / "below").string() + ": Not a directory\n");
}

TEST(FilesOperations, RemovalsOfMissingItems) {
  TemporaryDirectory tmp;
  const fs::path gone = tmp.path() / "gone";
  ConsoleCapture capture;
  removeIfExists(Fm(), fileUrl(gone));
  removeItemAtPathIfExists(Fm(), gone.string());
  EXPECT_EQ(capture.standardOutput(), "");
  removeItemAtPathVtLog(Fm(), gone.string());
  EXPECT_EQ(capture.standardOutput(),
            std::string(kRed) + "Error deleting '" + gone.string() + "':No such file or directory" +
                std::string(kReset) + "\n");
}

TEST(FilesOperations, RemoveIfExistsFailurePrintsRedLineAndThrows) {
  TemporaryDirectory tmp;
  const fs::path item = tmp.path() / "stuck dir";
  fs::create_directory(item);
  FailingFileManager failing;
  failing.failRemovePath = "stuck";
  const URL url = fileUrl(item);
  ConsoleCapture capture;
  try {
    removeIfExists(failing, url);
    ADD_FAILURE() << "no throw";
  } catch (const VantrelNSFileManagerError& e) {
    EXPECT_EQ(e.kind(), Case::errorDeletingPath);
    EXPECT_EQ(e.message(), "Error deleting '" + url.description() + "': Permission denied");
    EXPECT_EQ(e.code(), 4);
    EXPECT_EQ(e.description(), "The operation couldn't be completed. (vantrel.VantrelNSFileManagerError error 4.)");
  }
  EXPECT_EQ(url.description(), "file://" + item.parent_path().string() + "/stuck%20dir");
  EXPECT_EQ(capture.standardOutput(), std::string(kRed) + "Error deleting '" + url.description() +
                                          "':Permission denied" + std::string(kReset) + "\n");
  capture.clear();
  EXPECT_THROW(removeItemAtPathIfExists(failing, item.string()), VantrelNSFileManagerError);
  EXPECT_EQ(capture.standardOutput(), std::string(kRed) + "Error deleting '" + item.string() +
                                          "':Permission denied" + std::string(kReset) + "\n");
}

TEST(FilesOperations, RemoveIfExistsRemovesFolderWithContents) {
  TemporaryDirectory tmp;
  fs::create_directories(tmp.path() / "d" / "e");
  writeFile(tmp.path() / "d" / "e" / "f", "x");
  writeFile(tmp.path() / "d" / ".hidden", "x");
  removeIfExists(Fm(), fileUrl(tmp.path() / "d"));
  EXPECT_FALSE(fs::exists(tmp.path() / "d"));
}

TEST(FilesOperations, RemovalNeverFollowsLinksOutOfTheTree) {
  TemporaryDirectory tmp;
  const fs::path outside = tmp.path() / "outside";
  fs::create_directory(outside);
  writeFile(outside / "keep.txt", "precious");
  const fs::path tree = tmp.path() / "tree";
  fs::create_directories(tree / "sub");
  fs::create_directory_symlink(outside, tree / "sub" / "link-to-outside");
  fs::create_symlink(outside / "keep.txt", tree / "file-link");

  removeIfExists(Fm(), fileUrl(tree));
  EXPECT_FALSE(fs::exists(fs::symlink_status(tree)));
  EXPECT_EQ(readFile(outside / "keep.txt"), "precious");

  // A folder given as a link: clearing it must not empty the target.
  fs::create_directory(tree);
  fs::create_directory_symlink(outside, tree / "as-link");
  removeContentsRecursively(Fm(), fileUrl(tree));
  EXPECT_TRUE(fs::is_empty(tree));
  EXPECT_EQ(readFile(outside / "keep.txt"), "precious");
}

TEST(FilesOperations, ClearingFolders) {
  TemporaryDirectory tmp;
  const fs::path dir = tmp.path() / "scratch";
  fs::create_directories(dir / "sub" / "deeper");
  writeFile(dir / ".hidden", "h");
  writeFile(dir / "sub" / "deeper" / "x", "x");
  ConsoleCapture capture;
  removeContentsRecursively(Fm(), fileUrl(dir, true));
  EXPECT_TRUE(fs::is_directory(dir));
  EXPECT_TRUE(fs::is_empty(dir));
  removeRecursively(Fm(), fileUrl(dir, true));
  EXPECT_FALSE(fs::exists(dir));
  EXPECT_EQ(capture.standardOutput(), "");

  removeContentsRecursively(Fm(), fileUrl(dir, true));
  const std::string debug = "Error Domain=NSPOSIXErrorDomain Code=2 \"No such file or directory\" path=\"" +
                            dir.string() + "\"";
  EXPECT_EQ(capture.standardOutput(), "Could not clear temp folder: " + debug + "\n");
  capture.clear();
  removeRecursively(Fm(), fileUrl(dir, true));
  EXPECT_EQ(capture.standardOutput(), "Could not clear temp folder: " + debug + "\n" +
                                          "❌ Error: Could not clear temp folder: " + debug + "\n");
}

TEST(FilesOperations, ClearingStopsAtFirstFailure) {
  TemporaryDirectory tmp;
  const fs::path dir = tmp.path() / "scratch";
  fs::create_directories(dir);
  writeFile(dir / "blocked", "b");
  FailingFileManager failing;
  failing.failRemovePath = "blocked";
  ConsoleCapture capture;
  removeContentsRecursively(failing, fileUrl(dir, true));
  EXPECT_TRUE(fs::exists(dir / "blocked"));
  EXPECT_EQ(capture.standardOutput(), "Could not clear temp folder: Error Domain=NSPOSIXErrorDomain Code=13 "
                                      "\"Permission denied\" path=\"" +
                                          (dir / "blocked").string() + "\"\n");
}

TEST(FilesOperations, ThrowingCopyCreatesFolderAndCopiesTrees) {
  TemporaryDirectory tmp;
  const fs::path src = tmp.path() / "src";
  fs::create_directories(src / "inner");
  writeFile(src / "a.txt", "alpha");
  writeFile(src / "inner" / ".b", "beta");
  const fs::path dst = tmp.path() / "new" / "parents" / "copy";
  ConsoleCapture capture;
  copyIfExists(Fm(), fileUrl(src), fileUrl(dst));
  EXPECT_EQ(readFile(dst / "a.txt"), "alpha");
  EXPECT_EQ(readFile(dst / "inner" / ".b"), "beta");
  EXPECT_EQ(capture.standardOutput(), "");
  // No temporary leftovers beside the destination.
  EXPECT_EQ(std::distance(fs::directory_iterator(dst.parent_path()), fs::directory_iterator()), 1);
}

TEST(FilesOperations, ThrowingCopyFailureRoads) {
  TemporaryDirectory tmp;
  const fs::path src = tmp.path() / "a.txt";
  writeFile(src, "new");
  const fs::path missing = tmp.path() / "missing.txt";
  const fs::path dst = tmp.path() / "out" / "a.txt";

  ConsoleCapture capture;
  try {
    copyIfExists(Fm(), fileUrl(missing), fileUrl(dst));
    ADD_FAILURE();
  } catch (const VantrelNSFileManagerError& e) {
    EXPECT_EQ(e.kind(), Case::fileNotFound);
    EXPECT_EQ(e.message(), "Source file not found: '" + fileUrl(missing).description() + "'.");
  }
  EXPECT_EQ(capture.standardOutput(), "❌ Error: File Not Found: " + missing.string() + "\n");
  EXPECT_FALSE(fs::exists(tmp.path() / "out"));  // nothing touched

  capture.clear();
  FailingFileManager failing;
  failing.failCreate = true;
  try {
    copyIfExists(failing, fileUrl(src), fileUrl(dst));
    ADD_FAILURE();
  } catch (const VantrelNSFileManagerError& e) {
    EXPECT_EQ(e.kind(), Case::couldNotCreateDirectory);
    EXPECT_EQ(e.message(), "Error Creating Directory " + fileUrl(tmp.path() / "out", true).description() +
                               ":Permission denied");
  }
  EXPECT_EQ(capture.standardOutput(), "❌ Error: Permission denied\n");

  capture.clear();
  writeFile(tmp.path() / "a-dst.txt", "old");
  try {
    copyIfExists(Fm(), fileUrl(src), fileUrl(tmp.path() / "a-dst.txt"));
    ADD_FAILURE();
  } catch (const VantrelNSFileManagerError& e) {
    EXPECT_EQ(e.kind(), Case::failedToCopy);
    EXPECT_EQ(e.message(), "Failed to copy '" + fileUrl(src).description() + "' to '" +
                               fileUrl(tmp.path() / "a-dst.txt").description() + "':File exists");
  }
  EXPECT_EQ(capture.standardOutput(), "❌ Error: File exists\n");
  EXPECT_EQ(readFile(tmp.path() / "a-dst.txt"), "old");
}

TEST(FilesOperations, OverwritingCopyReplacesFilesAndFolders) {
  TemporaryDirectory tmp;
  const fs::path src = tmp.path() / "a.txt";
  writeFile(src, "new");
  fs::permissions(src, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  struct Case {
    std::string name;
    bool destinationIsFolder;
  };
  for (const Case& c : {Case{"file destination", false}, Case{"folder destination", true}}) {
    SCOPED_TRACE(c.name);
    const fs::path dst = tmp.path() / ("dst-" + std::to_string(c.destinationIsFolder));
    if (c.destinationIsFolder) {
      fs::create_directories(dst / "old");
    } else {
      writeFile(dst, "old");
    }
    copyIfExists(Fm(), fileUrl(src), fileUrl(dst), true);
    EXPECT_EQ(readFile(dst), "new");
    EXPECT_EQ(fs::status(dst).permissions(), fs::status(src).permissions());  // the source's, not the old file's
  }
  // No destination at all: the removal step has nothing to do.
  copyIfExists(Fm(), fileUrl(src), fileUrl(tmp.path() / "fresh.txt"), true);
  EXPECT_EQ(readFile(tmp.path() / "fresh.txt"), "new");
  EXPECT_EQ(std::distance(fs::directory_iterator(tmp.path()), fs::directory_iterator()), 4);  // no temporaries
}

TEST(FilesOperations, FailedOverwritingCopyKeepsTheDestination) {
  TemporaryDirectory tmp;
  const fs::path src = tmp.path() / "src";
  fs::create_directories(src);
  writeFile(src / "ok.txt", "ok");
  ::mkfifo((src / "pipe").c_str(), 0600);  // cannot be copied: the copy fails midway
  const fs::path dst = tmp.path() / "dst";
  fs::create_directories(dst);
  writeFile(dst / "precious.txt", "keep me");

  ConsoleCapture capture;
  EXPECT_THROW(copyIfExists(Fm(), fileUrl(src), fileUrl(dst), true), VantrelNSFileManagerError);
  EXPECT_EQ(capture.standardOutput(), "❌ Error: Operation not supported\n");
  EXPECT_EQ(readFile(dst / "precious.txt"), "keep me");
  EXPECT_EQ(std::distance(fs::directory_iterator(tmp.path()), fs::directory_iterator()), 2);  // no leftovers
}

TEST(FilesOperations, CopyKeepsLinksAsLinks) {
  TemporaryDirectory tmp;
  const fs::path outside = tmp.path() / "outside";
  fs::create_directories(outside);
  writeFile(outside / "big.txt", "outside data");
  const fs::path src = tmp.path() / "src";
  fs::create_directories(src);
  fs::create_directory_symlink(outside, src / "dir-link");
  fs::create_symlink("../outside/big.txt", src / "file-link");
  const fs::path dst = tmp.path() / "dst";
  copyIfExists(Fm(), fileUrl(src), fileUrl(dst));
  EXPECT_TRUE(fs::is_symlink(dst / "dir-link"));
  EXPECT_EQ(fs::read_symlink(dst / "dir-link"), outside);
  EXPECT_TRUE(fs::is_symlink(dst / "file-link"));
  EXPECT_EQ(fs::read_symlink(dst / "file-link"), "../outside/big.txt");
}

TEST(FilesOperations, CopyIntoItsOwnSourceEnds) {
  TemporaryDirectory tmp;
  const fs::path src = tmp.path() / "src";
  fs::create_directories(src / "inner");
  writeFile(src / "inner" / "x", "x");
  copyIfExists(Fm(), fileUrl(src), fileUrl(src / "inner" / "copy"));
  EXPECT_EQ(readFile(src / "inner" / "copy" / "inner" / "x"), "x");
  EXPECT_FALSE(fs::exists(src / "inner" / "copy" / "inner" / "copy"));
}

TEST(FilesOperations, SilentCopies) {
  TemporaryDirectory tmp;
  const fs::path src = tmp.path() / "a.txt";
  writeFile(src, "a");
  const fs::path missing = tmp.path() / "missing.txt";
  std::vector<VantrelNSFileManagerError> reported;
  auto collect = [&](const VantrelNSFileManagerError& e) { reported.push_back(e); };

  ConsoleCapture capture;
  copyIfExists_silent(Fm(), fileUrl(missing), fileUrl(tmp.path() / "o" / "x"), false, collect);
  EXPECT_EQ(capture.standardOutput(), "❌ File Not Found: " + missing.string() + "\n");
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(reported[0].kind(), Case::fileNotFound);

  // A folder that cannot be created is reported, and the copy still runs.
  capture.clear();
  reported.clear();
  FailingFileManager failing;
  failing.failCreate = true;
  copyIfExists_silent(failing, fileUrl(src), fileUrl(tmp.path() / "nofolder" / "a.txt"), false, collect);
  EXPECT_EQ(capture.standardOutput(), "❌ Error: Permission denied\n❌ Error: No such file or directory\n");
  ASSERT_EQ(reported.size(), 2u);
  EXPECT_EQ(reported[0].kind(), Case::couldNotCreateDirectory);
  EXPECT_EQ(reported[1].kind(), Case::failedToCopy);

  // copy_silent neither tests the source nor creates the folder.
  capture.clear();
  reported.clear();
  copy_silent(Fm(), fileUrl(src), fileUrl(tmp.path() / "absent" / "a.txt"), false, collect);
  copy_silent(Fm(), fileUrl(missing), fileUrl(tmp.path() / "b.txt"), false, collect);
  copy_silent(Fm(), fileUrl(missing), fileUrl(tmp.path() / "b.txt"));  // no callback: the line only
  ASSERT_EQ(reported.size(), 2u);
  EXPECT_EQ(reported[0].kind(), Case::failedToCopy);
  EXPECT_EQ(reported[1].kind(), Case::failedToCopy);
  EXPECT_EQ(capture.standardOutput(), "❌ Error: No such file or directory\n"
                                          "❌ Error: No such file or directory\n"
                                          "❌ Error: No such file or directory\n");
  EXPECT_FALSE(fs::exists(tmp.path() / "absent"));

  // Into a folder, under the source's own name.
  copyIfExists_silentInto(Fm(), fileUrl(src), fileUrl(tmp.path() / "into", true), collect);
  EXPECT_EQ(readFile(tmp.path() / "into" / "a.txt"), "a");
}

TEST(FilesOperations, CopyIntoFolderNeverOverwrites) {
  TemporaryDirectory tmp;
  const fs::path src = tmp.path() / "a.txt";
  writeFile(src, "first");
  const fs::path out = tmp.path() / "x" / "out";
  copyIfExistsInto(Fm(), fileUrl(src), fileUrl(out, true));
  EXPECT_EQ(readFile(out / "a.txt"), "first");
  writeFile(src, "second");
  ConsoleCapture capture;
  EXPECT_THROW(copyIfExistsInto(Fm(), fileUrl(src), fileUrl(out, true)), VantrelNSFileManagerError);
  EXPECT_EQ(readFile(out / "a.txt"), "first");

  const fs::path out2 = tmp.path() / "y" / "out";
  vtCopyIfExistsFromIntoDirectory(Fm(), src.string(), out2.string());
  EXPECT_EQ(readFile(out2 / "a.txt"), "second");
  try {
    vtCopyIfExistsFromIntoDirectory(Fm(), src.string(), out2.string());
    ADD_FAILURE();
  } catch (const VantrelNSFileManagerError& e) {
    EXPECT_EQ(e.kind(), Case::failedToCopy);  // the URL form's texts
    EXPECT_EQ(e.message(), "Failed to copy '" + fileUrl(src).description() + "' to '" +
                               fileUrl(out2 / "a.txt").description() + "':File exists");
  }
}

TEST(FilesOperations, PathCopyTexts) {
  TemporaryDirectory tmp;
  const std::string src = (tmp.path() / "a.txt").string();
  writeFile(src, "a");
  const std::string missing = (tmp.path() / "nope").string();
  ConsoleCapture capture;
  try {
    vtCopyIfExistsFrom(Fm(), missing, (tmp.path() / "b").string());
    ADD_FAILURE();
  } catch (const VantrelNSFileManagerError& e) {
    EXPECT_EQ(e.message(), "Source file not found: '" + missing + "'.");
  }
  EXPECT_EQ(capture.standardOutput(), "File Not Found: " + missing + "\n");

  capture.clear();
  FailingFileManager failing;
  failing.failCreate = true;
  const std::string dst = (tmp.path() / "sub" / "b.txt").string();
  try {
    vtCopyIfExistsFrom(failing, src, dst);
    ADD_FAILURE();
  } catch (const VantrelNSFileManagerError& e) {
    EXPECT_EQ(e.kind(), Case::couldNotCreateDirectory);
    EXPECT_EQ(e.message(), "Error Creating Directory " + (tmp.path() / "sub").string() + ":Permission denied");
  }
  EXPECT_EQ(capture.standardOutput(), "Error = Permission denied\n");

  capture.clear();
  failing.failCreate = false;
  failing.failCopy = true;
  try {
    vtCopyIfExistsFrom(failing, src, dst, true);
    ADD_FAILURE();
  } catch (const VantrelNSFileManagerError& e) {
    EXPECT_EQ(e.kind(), Case::failedToCopy);
    EXPECT_EQ(e.message(), "Failed to copy '" + src + "' to '" + dst + "':No space left on device");
  }
  EXPECT_EQ(capture.standardOutput(), "Error = No space left on device\n");

  vtCopyIfExistsFrom(Fm(), src, dst, true);
  EXPECT_EQ(readFile(dst), "a");
}

}  // namespace
}  // namespace vantrel
