#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/fixtures.h"
#include "vantrel/platform/posix/read_file.h"
#include "vantrel/platform/posix/replace_file.h"
#include "vantrel/platform/posix/unique_fd.h"
#include "vantrel/platform/posix/write_all.h"

namespace vantrel::posix {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> folderEntries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(UniqueFd, ClosesOnceAndDuplicatesCloseOnExec) {
  int raw = -1;
  {
    UniqueFd fd(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    ASSERT_TRUE(fd);
    raw = fd.get();
    UniqueFd copy = duplicateCloexec(fd.get());
    ASSERT_TRUE(copy);
    EXPECT_NE(copy.get(), raw);
    EXPECT_TRUE(::fcntl(copy.get(), F_GETFD) & FD_CLOEXEC);
    UniqueFd moved = std::move(fd);
    EXPECT_FALSE(fd);
    EXPECT_EQ(moved.get(), raw);
  }
  errno = 0;
  EXPECT_EQ(::fcntl(raw, F_GETFD), -1);
  EXPECT_EQ(errno, EBADF);
}

// A pipe whose reader drains slowly forces short writes; a signal handler
// without SA_RESTART makes write fail with EINTR midway.
TEST(WriteAll, WritesEverythingThroughShortWritesAndInterrupts) {
  int fds[2];
  ASSERT_EQ(::pipe2(fds, O_CLOEXEC), 0);
  UniqueFd reader(fds[0]), writer(fds[1]);
  struct sigaction action {};
  action.sa_handler = [](int) {};
  struct sigaction previous {};
  ASSERT_EQ(::sigaction(SIGUSR1, &action, &previous), 0);

  const std::string payload(1 << 20, 'x');
  std::string received;
  const pthread_t writerThread = ::pthread_self();
  std::thread drain([&] {
    char buffer[4096];
    for (int i = 0; received.size() < payload.size(); ++i) {
      if (i % 16 == 0) ::pthread_kill(writerThread, SIGUSR1);
      const ssize_t n = ::read(reader.get(), buffer, sizeof buffer);
      if (n <= 0) break;
      received.append(buffer, static_cast<std::size_t>(n));
    }
  });
  const std::error_code e = writeAll(writer.get(), payload);
  drain.join();
  ::sigaction(SIGUSR1, &previous, nullptr);
  EXPECT_FALSE(e) << e.message();
  EXPECT_EQ(received.size(), payload.size());
}

TEST(WriteAll, ReportsTheErrorOfAClosedReader) {
  int fds[2];
  ASSERT_EQ(::pipe2(fds, O_CLOEXEC), 0);
  ::close(fds[0]);
  UniqueFd writer(fds[1]);
  std::signal(SIGPIPE, SIG_IGN);
  EXPECT_EQ(writeAll(writer.get(), "lost"), std::error_code(EPIPE, std::generic_category()));
}

// A full non-blocking pipe stops the loop midway: the count says how much
// of the text the reader will see.
TEST(WriteAll, CountsTheBytesWrittenBeforeAFailure) {
  int fds[2];
  ASSERT_EQ(::pipe2(fds, O_CLOEXEC | O_NONBLOCK), 0);
  UniqueFd reader(fds[0]), writer(fds[1]);
  const int capacity = ::fcntl(writer.get(), F_GETPIPE_SZ);
  ASSERT_GT(capacity, 0);
  const std::string payload(static_cast<std::size_t>(capacity) + 100, 'x');
  std::size_t written = 1;
  EXPECT_EQ(writeAll(writer.get(), payload.data(), payload.size(), written),
            std::make_error_code(std::errc::resource_unavailable_try_again));
  EXPECT_EQ(written, static_cast<std::size_t>(capacity));

  ASSERT_NE(::read(reader.get(), std::string(payload.size(), '\0').data(), payload.size()), -1);
  EXPECT_FALSE(writeAll(writer.get(), "abc", 3, written));
  EXPECT_EQ(written, 3u);
}

TEST(ReplaceFileAtomically, ReplacesContentsAndKeepsPermissions) {
  testing::TemporaryDirectory dir;
  const fs::path target = dir.path() / "settings.json";
  ASSERT_FALSE(replaceFileAtomically(target.string(), std::string_view("first")));
  EXPECT_EQ(readFile(target), "first");
  ::chmod(target.c_str(), 0640);
  ASSERT_FALSE(replaceFileAtomically(target.string(), std::string_view("second, longer")));
  EXPECT_EQ(readFile(target), "second, longer");
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"settings.json"});
}

TEST(ReplaceFileAtomically, AFailedWriteLeavesTheOldFileAndNoTemporary) {
  testing::TemporaryDirectory dir;
  const fs::path target = dir.path() / "keep.txt";
  ASSERT_FALSE(replaceFileAtomically(target.string(), std::string_view("old")));
  const std::error_code e = replaceFileAtomicallyWith(target.string(), [](int fd) {
    (void)writeAll(fd, "half");
    return std::make_error_code(std::errc::no_space_on_device);
  });
  EXPECT_EQ(e, std::errc::no_space_on_device);
  EXPECT_EQ(readFile(target), "old");
  EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"keep.txt"});
}

TEST(ReplaceFileAtomically, ReportsAMissingFolder) {
  testing::TemporaryDirectory dir;
  const fs::path target = dir.path() / "missing" / "file";
  EXPECT_EQ(replaceFileAtomically(target.string(), std::string_view("x")), std::errc::no_such_file_or_directory);
  EXPECT_EQ(replaceFileAtomically("", std::string_view("x")), std::errc::invalid_argument);
}

TEST(ReadFile, ReadsWholeFilesAndReportsWhatIsNot) {
  testing::TemporaryDirectory folder;
  const std::string big(200000, 'b');  // more than one read
  const struct {
    std::string name;
    std::string bytes;
  } files[] = {{"empty", ""}, {"nul", std::string("a\0b", 3)}, {"big", big}};
  for (const auto& f : files) {
    SCOPED_TRACE(f.name);
    ASSERT_FALSE(replaceFileAtomically((folder.path() / f.name).string(), f.bytes));
    std::string contents = "old";
    EXPECT_FALSE(posix::readFile((folder.path() / f.name).string(), contents));
    EXPECT_EQ(contents, f.bytes);
  }
  std::string contents = "old";
  EXPECT_EQ(posix::readFile((folder.path() / "missing").string(), contents), std::error_code(ENOENT, std::generic_category()));
  EXPECT_EQ(contents, "");
  EXPECT_EQ(posix::readFile(folder.path().string(), contents), std::error_code(EISDIR, std::generic_category()));
}

}  // namespace
}  // namespace vantrel::posix
