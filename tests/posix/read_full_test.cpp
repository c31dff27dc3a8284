#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/platform/posix/read_full.h"
#include "vantrel/platform/posix/unique_fd.h"
#include "vantrel/platform/posix/write_all.h"

namespace vantrel::posix {
namespace {

struct Pipe {
  Pipe() {
    int fds[2];
    EXPECT_EQ(::pipe2(fds, O_CLOEXEC), 0);
    read.reset(fds[0]);
    write.reset(fds[1]);
  }
  UniqueFd read, write;
};

TEST(ReadFull, GathersShortReadsUntilFull) {
  Pipe pipe;
  std::thread writer([&] {
    for (std::uint8_t i = 0; i < 100; ++i) ASSERT_FALSE(writeAll(pipe.write.get(), &i, 1));
  });
  std::vector<std::uint8_t> buffer(100);
  const ReadFullResult result = readFull(pipe.read.get(), buffer.data(), buffer.size());
  writer.join();
  EXPECT_EQ(result.bytesRead, 100u);
  EXPECT_FALSE(result.error);
  for (std::size_t i = 0; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], i);
}

TEST(ReadFull, ReportsTheEndAndErrors) {
  Pipe pipe;
  ASSERT_FALSE(writeAll(pipe.write.get(), "abc"));
  pipe.write.reset();
  char buffer[8];
  const ReadFullResult ended = readFull(pipe.read.get(), buffer, sizeof buffer);
  EXPECT_EQ(ended.bytesRead, 3u);
  EXPECT_FALSE(ended.error);
  const ReadFullResult failed = readFull(-1, buffer, sizeof buffer);
  EXPECT_EQ(failed.bytesRead, 0u);
  EXPECT_EQ(failed.error.value(), EBADF);
  EXPECT_EQ(readFull(-1, buffer, 0).bytesRead, 0u);  // nothing asked, nothing read
}

}  // namespace
}  // namespace vantrel::posix
