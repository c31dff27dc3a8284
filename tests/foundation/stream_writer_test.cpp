#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "tests/foundation/localization_test_support.h"
#include "vantrel/core/console.h"
#include "vantrel/foundation/files/stream_writer.h"
#include "vantrel/platform/foundation/files/file_manager.h"

namespace vantrel {
namespace {

using testing::readWholeFile;
using testing::TemporaryDirectory;
using testing::writeWholeFile;

std::string red(const std::string& text) { return "\x1b[fg255,0,0;" + text + "\x1b[;\n"; }

TEST(StreamWriterTest, DefaultsWriteUtf8LinesEndedByLineFeed) {
  TemporaryDirectory temp;
  const auto path = temp.path() / "out.txt";
  auto writer = StreamWriter::create(path.string());
  ASSERT_TRUE(writer);
  EXPECT_TRUE(writer->writeLine("abc"));
  EXPECT_TRUE(writer->writeLine(""));
  EXPECT_TRUE(writer->write("ü"));
  writer->close();
  EXPECT_EQ(readWholeFile(path), "abc\n\n\xC3\xBC");
}

TEST(StreamWriterTest, WithoutAppendAnExistingFileIsEmptiedAtOnce) {
  TemporaryDirectory temp;
  const auto path = temp.path() / "out.txt";
  writeWholeFile(path, "old content\n");
  auto writer = StreamWriter::create(URL::fileURLWithPath(path.string()));
  ASSERT_TRUE(writer);
  EXPECT_EQ(readWholeFile(path), "");
}

TEST(StreamWriterTest, AppendKeepsContentAndWritesAfterIt) {
  TemporaryDirectory temp;
  const auto path = temp.path() / "out.txt";
  writeWholeFile(path, "first\n");
  ConsoleCapture capture;
  auto writer = StreamWriter::create(path.string(), "\n", StringEncoding::utf8, true);
  ASSERT_TRUE(writer);
  writer->writeLine("second");
  writer.reset();  // destruction closes the file; the data is there
  EXPECT_EQ(readWholeFile(path), "first\nsecond\n");
  EXPECT_EQ(capture.standardOutput(), "");
}

TEST(StreamWriterTest, AppendToAMissingFileReportsOnceAndCreatesIt) {
  TemporaryDirectory temp;
  const auto path = (temp.path() / "new.txt").string();
  ConsoleCapture capture;
  auto writer = StreamWriter::create(path, "\n", StringEncoding::utf8, true);
  ASSERT_TRUE(writer);
  EXPECT_EQ(capture.standardOutput(),
            red("Can't open file \"" + path + "\":" + FileSystemError(ENOENT, path).description()));
  writer->writeLine("x");
  EXPECT_EQ(readWholeFile(path), "x\n");
}

TEST(StreamWriterTest, AFileThatCannotBeOpenedYieldsNoWriter) {
  TemporaryDirectory temp;
  const auto path = (temp.path() / "no-such-folder" / "x.txt").string();
  ConsoleCapture capture;
  EXPECT_EQ(StreamWriter::create(path), nullptr);
  EXPECT_EQ(capture.standardOutput(),
            red("Can't open file \"" + path + "\":" + FileSystemError(ENOENT, path).description()));
}

TEST(StreamWriterTest, MultiCharacterDelimiterIsWrittenWholeAfterEachLine) {
  TemporaryDirectory temp;
  const auto path = temp.path() / "crlf.txt";
  auto writer = StreamWriter::create(path.string(), "\r\n");
  ASSERT_TRUE(writer);
  writer->writeLine("a");
  writer->writeLine("b");
  writer->close();
  EXPECT_EQ(readWholeFile(path), "a\r\nb\r\n");
}

TEST(StreamWriterTest, TextAndDelimiterAreBothInTheWritersEncoding) {
  struct Case {
    StringEncoding encoding;
    std::string want;
  };
  const Case cases[] = {
      {StringEncoding::utf16LittleEndian, std::string("a\0\xE9\0\n\0a\0\xE9\0\n\0", 12)},
      {StringEncoding::utf16BigEndian, std::string("\0a\0\xE9\0\n\0a\0\xE9\0\n", 12)},
      // One byte-order mark for the file, none per write.
      {StringEncoding::utf16, std::string("\xFF\xFE" "a\0\xE9\0\n\0a\0\xE9\0\n\0", 14)},
      {StringEncoding::isoLatin1, "a\xE9\na\xE9\n"},
      {StringEncoding::utf8, "a\xC3\xA9\na\xC3\xA9\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.encoding));
    TemporaryDirectory temp;
    const auto path = temp.path() / "enc.txt";
    auto writer = StreamWriter::create(path.string(), "\n", c.encoding);
    ASSERT_TRUE(writer);
    EXPECT_TRUE(writer->writeLine("a\xC3\xA9"));
    EXPECT_TRUE(writer->writeLine("a\xC3\xA9"));
    writer->close();
    EXPECT_EQ(readWholeFile(path), c.want);
  }
}

TEST(StreamWriterTest, Utf16AppendToAFileWithContentAddsNoMark) {
  TemporaryDirectory temp;
  const auto path = temp.path() / "enc.txt";
  writeWholeFile(path, std::string("\xFF\xFE" "a\0", 4));
  auto writer = StreamWriter::create(path.string(), "\n", StringEncoding::utf16, true);
  ASSERT_TRUE(writer);
  writer->write("b");
  writer->close();
  EXPECT_EQ(readWholeFile(path), std::string("\xFF\xFE" "a\0b\0", 6));
}

TEST(StreamWriterTest, TextTheEncodingCannotHoldIsReportedAndNotWritten) {
  TemporaryDirectory temp;
  const auto path = (temp.path() / "ascii.txt").string();
  auto writer = StreamWriter::create(path, "\n", StringEncoding::ascii);
  ASSERT_TRUE(writer);
  ConsoleCapture capture;
  EXPECT_FALSE(writer->writeLine("caf\xC3\xA9"));
  EXPECT_TRUE(writer->writeLine("cafe"));
  writer->close();
  EXPECT_EQ(readWholeFile(path), "cafe\n");
  EXPECT_EQ(capture.standardOutput(),
            red("Can't write to file \"" + path + "\": the text cannot be written in ASCII without loss"));
}

TEST(StreamWriterTest, ADelimiterTheEncodingCannotHoldLeavesTheFileAlone) {
  TemporaryDirectory temp;
  const auto path = temp.path() / "keep.txt";
  writeWholeFile(path, "keep me");
  ConsoleCapture capture;
  EXPECT_EQ(StreamWriter::create(path.string(), "\xC2\xB6", StringEncoding::ascii), nullptr);
  EXPECT_EQ(readWholeFile(path), "keep me");
  EXPECT_NE(capture.standardOutput().find("the line delimiter cannot be written in ASCII"), std::string::npos);
}

TEST(StreamWriterTest, AfterCloseWritesPrintAWarningAndCloseAgainDoesNothing) {
  TemporaryDirectory temp;
  const auto path = temp.path() / "closed.txt";
  auto writer = StreamWriter::create(path.string());
  ASSERT_TRUE(writer);
  writer->close();
  ConsoleCapture capture;
  writer->close();
  EXPECT_FALSE(writer->write("a"));
  EXPECT_FALSE(writer->writeLine("b"));
  const std::string yellow = "\x1b[fg255,255,0;fileHandle already closed!\x1b[;\n";
  EXPECT_EQ(capture.standardOutput(), yellow + yellow);
  EXPECT_EQ(readWholeFile(path), "");
}

TEST(StreamWriterTest, AFailedWriteIsReported) {
  // /dev/full accepts the open and refuses every write with ENOSPC.
  ConsoleCapture capture;
  auto writer = StreamWriter::create("/dev/full", "\n", StringEncoding::utf8, true);
  ASSERT_TRUE(writer);
  EXPECT_FALSE(writer->writeLine("lost"));
  EXPECT_EQ(capture.standardOutput(), red("Can't write to file \"/dev/full\" (0 of 5 bytes written):" +
                                          FileSystemError(ENOSPC, "/dev/full").description()));
}

void ignoreSignal(int) {}

TEST(StreamWriterTest, InterruptedAndShortWritesStillDeliverEveryByte) {
  // A slow reader on a pipe makes the writer block; signals without
  // SA_RESTART then cut its writes short or interrupt them.
  TemporaryDirectory temp;
  const std::string fifo = (temp.path() / "pipe").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  struct sigaction action {};
  struct sigaction previous {};
  action.sa_handler = ignoreSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;
  ASSERT_EQ(::sigaction(SIGUSR1, &action, &previous), 0);

  std::string received;
  std::thread reader([&] {
    const int fd = ::open(fifo.c_str(), O_RDONLY | O_CLOEXEC);
    char buffer[4096];
    for (;;) {
      const ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n > 0) {
        received.append(buffer, static_cast<std::size_t>(n));
        std::this_thread::sleep_for(std::chrono::microseconds(50));
      } else if (n == 0 || errno != EINTR) {
        break;
      }
    }
    ::close(fd);
  });
  auto writer = StreamWriter::create(fifo, "\n", StringEncoding::utf8, true);
  ASSERT_TRUE(writer);
  std::string text;
  for (int i = 0; text.size() < (2u << 20); ++i) text += std::to_string(i) + ",";
  std::atomic<bool> writing = true;
  const pthread_t writerThread = ::pthread_self();
  std::thread signaller([&] {
    while (writing) {
      ::pthread_kill(writerThread, SIGUSR1);
      std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
  });
  const bool ok = writer->writeLine(text);
  writing = false;
  signaller.join();
  writer->close();
  reader.join();
  ::sigaction(SIGUSR1, &previous, nullptr);
  EXPECT_TRUE(ok);
  EXPECT_EQ(received.size(), text.size() + 1);
  EXPECT_TRUE(received == text + "\n");
}

}  // namespace
}  // namespace vantrel
