#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/foundation/files_test_support.h"
#include "tests/support/fixtures.h"
#include "vantrel/foundation/files/line_readers.h"
#include "vantrel/platform/posix/write_all.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using testing::TemporaryDirectory;
using testing::writeFile;
using Lines = std::vector<std::string>;

// The decoded text cut at every delimiter; a final delimiter ends the last
// line rather than starting an empty one.
Lines naiveSplit(const std::string& text, const std::string& delimiter) {
  Lines out;
  if (text.empty()) return out;
  std::size_t start = 0;
  for (;;) {
    const std::size_t pos = text.find(delimiter, start);
    if (pos == std::string::npos) {
      if (start < text.size()) out.push_back(text.substr(start));
      return out;
    }
    out.push_back(text.substr(start, pos - start));
    start = pos + delimiter.size();
  }
}

Lines readAll(StreamReader& reader) {
  Lines out;
  while (auto line = reader.nextLine()) out.push_back(*line);
  return out;
}

struct Encoded {
  const char* name;
  StringEncoding encoding;
  std::string prefix;           // a byte-order mark
  StringEncoding bytesEncoding;  // how the text after it is written
};

TEST(LineReadersTest, MatchesANaiveSplitOfTheDecodedText) {
  const std::string longLine(5000, 'x');
  const std::vector<std::string> texts = {
      "",
      "a\nb",
      "a\nb\n",
      "a\n\nb",
      "\n",
      "a\r\nb\r\nc",  // "\n" keeps the CR
      "\u00E9\U0001F600\nx\U0001F600y",
      "\u0A05\u0100\n\u0A05\u0100",  // little-endian: 05 0A 00 01, a "0A 00" off alignment
      "\u0A00\u0A0A\n",
      "abab|ab" + longLine + "ab\nab",
      longLine + "\r\n" + longLine,
      longLine + "\u00E9\n" + std::string(3000, 'y') + "\n\u00E9" + std::string(4200, 'z') + "\n\u00E9",
  };
  const std::vector<std::string> delimiters = {"\n", "\r\n", "ab", "\U0001F600", "\u0A0A"};
  const std::vector<Encoded> encodings = {
      {"utf8", StringEncoding::utf8, "", StringEncoding::utf8},
      {"ascii", StringEncoding::ascii, "", StringEncoding::ascii},
      {"isoLatin1", StringEncoding::isoLatin1, "", StringEncoding::isoLatin1},
      {"utf16 LE mark", StringEncoding::utf16, "\xFF\xFE", StringEncoding::utf16LittleEndian},
      {"utf16 BE mark", StringEncoding::utf16, "\xFE\xFF", StringEncoding::utf16BigEndian},
      {"utf16 no mark", StringEncoding::utf16, "", StringEncoding::utf16BigEndian},
      {"utf16BigEndian", StringEncoding::utf16BigEndian, "", StringEncoding::utf16BigEndian},
      {"utf16LittleEndian", StringEncoding::utf16LittleEndian, "", StringEncoding::utf16LittleEndian},
  };
  TemporaryDirectory tmp;
  int checked = 0;
  for (const Encoded& e : encodings) {
    for (const std::string& delimiter : delimiters) {
      if (!encodedText(delimiter, e.encoding)) continue;
      for (std::size_t t = 0; t < texts.size(); ++t) {
        const auto bytes = encodedText(texts[t], e.bytesEncoding);
        if (!bytes) continue;
        const fs::path file = tmp.path() / "in.txt";
        writeFile(file, e.prefix + *bytes);
        const Lines want = naiveSplit(texts[t], delimiter);
        for (const std::int64_t chunk : {1, 3, 4096}) {
          SCOPED_TRACE(std::string(e.name) + " text " + std::to_string(t) + " delimiter " +
                       std::to_string(delimiter.size()) + " bytes, chunk " + std::to_string(chunk));
          auto reader = StreamReader::create(file.string(), delimiter, e.encoding, chunk);
          ASSERT_TRUE(reader);
          EXPECT_EQ(readAll(*reader), want);
          EXPECT_EQ(reader->nextLine(), std::nullopt);  // stays at the end
          EXPECT_FALSE(reader->readError());
          ++checked;
        }
        // The pipe reader shares the algorithm; one chunk size that straddles.
        auto pipe = Pipe::create();
        std::thread writer([fd = pipe->takeWritingEnd(), all = e.prefix + *bytes]() mutable {
          (void)posix::writeAll(fd.get(), all);
        });
        auto reader = PipeReader::create(*pipe, delimiter, e.encoding, 3);
        ASSERT_TRUE(reader);
        Lines got;
        for (const std::string& line : *reader) got.push_back(line);
        writer.join();
        EXPECT_EQ(got, want) << e.name << " text " << t;
      }
    }
  }
  EXPECT_GT(checked, 300);
}

TEST(LineReadersTest, BytesThatDoNotDecodeReadAsReplacementCharacters) {
  const struct {
    const char* name;
    StringEncoding encoding;
    std::string bytes;
    Lines lines;
  } cases[] = {
      {"utf8 torn", StringEncoding::utf8, "a\xE2\x82\nb\xFF", {"a\uFFFD", "b\uFFFD"}},
      {"ascii high bytes", StringEncoding::ascii, "\xC3\xA9\nz", {"\uFFFD\uFFFD", "z"}},
      {"utf8 after long ASCII runs", StringEncoding::utf8, std::string(5000, 'a') + "\xFF\n" + std::string(5000, 'b') + "\n\xC3",
       {std::string(5000, 'a') + "\uFFFD", std::string(5000, 'b'), "\uFFFD"}},
      {"ascii after a long run", StringEncoding::ascii, std::string(5000, 'a') + "\n\x80" + std::string(4100, 'b'),
       {std::string(5000, 'a'), "\uFFFD" + std::string(4100, 'b')}},
      {"latin1 has no bad bytes", StringEncoding::isoLatin1, "\xE9\n\xFF", {"\u00E9", "\u00FF"}},
      {"utf16 lone surrogate", StringEncoding::utf16LittleEndian, std::string("\x00\xD8\x0A\x00x\x00", 6),
       {"\uFFFD", "x"}},
      {"utf16 half a unit", StringEncoding::utf16LittleEndian, std::string("a\x00\x0A\x00" "b", 5),
       {"a", "\uFFFD"}},
  };
  TemporaryDirectory tmp;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    writeFile(tmp.path() / "bad.txt", c.bytes);
    for (const std::int64_t chunk : {1, 3, 4096}) {
      auto reader = StreamReader::create((tmp.path() / "bad.txt").string(), "\n", c.encoding, chunk);
      ASSERT_TRUE(reader);
      Lines got;
      for (const std::string& line : *reader) got.push_back(line);  // the loop does not stop early
      EXPECT_EQ(got, c.lines) << "chunk " << chunk;
    }
  }
}

TEST(LineReadersTest, StreamWriterRoundTripInEveryEncoding) {
  const Lines lines = {"first", "", "caf\u00E9 \u00FF", "last"};
  TemporaryDirectory tmp;
  for (const StringEncoding encoding :
       {StringEncoding::utf8, StringEncoding::ascii, StringEncoding::isoLatin1, StringEncoding::utf16,
        StringEncoding::utf16BigEndian, StringEncoding::utf16LittleEndian}) {
    SCOPED_TRACE(static_cast<int>(encoding));
    const std::string path = (tmp.path() / "round.txt").string();
    auto writer = StreamWriter::create(path, "\r\n", encoding);
    ASSERT_TRUE(writer);
    Lines written;
    for (const std::string& line : lines) {
      if (encodedText(line, encoding)) {
        ASSERT_TRUE(writer->writeLine(line));
        written.push_back(line);
      }
    }
    writer->close();
    auto reader = StreamReader::create(path, "\r\n", encoding, 3);
    ASSERT_TRUE(reader);
    EXPECT_EQ(readAll(*reader), written);
  }
}

TEST(LineReadersTest, RefusedReaders) {
  TemporaryDirectory tmp;
  const std::string path = (tmp.path() / "f.txt").string();
  writeFile(path, "a");
  EXPECT_EQ(StreamReader::create(path, ""), nullptr);
  EXPECT_EQ(StreamReader::create(path, "\u00E9", StringEncoding::ascii), nullptr);
  EXPECT_EQ(StreamReader::create(path, "\xFF"), nullptr);
  EXPECT_EQ(StreamReader::create((tmp.path() / "missing").string()), nullptr);
  auto pipe = Pipe::create();
  EXPECT_EQ(PipeReader::create(*pipe, ""), nullptr);
  EXPECT_EQ(PipeReader::create(*pipe, "\U0001F600", StringEncoding::isoLatin1), nullptr);
  EXPECT_NE(pipe->readingFd(), -1);  // a refused reader leaves the pipe's end alone
  EXPECT_NE(PipeReader::create(*pipe), nullptr);
  EXPECT_EQ(pipe->readingFd(), -1);
  EXPECT_EQ(PipeReader::create(*pipe), nullptr);  // already taken
}

TEST(LineReadersTest, ReadErrorIsKeptAndIsNoCleanEnd) {
  TemporaryDirectory tmp;
  auto reader = StreamReader::create(tmp.path().string());  // a folder opens, but reading it fails
  ASSERT_TRUE(reader);
  EXPECT_EQ(reader->nextLine(), std::nullopt);
  EXPECT_EQ(reader->readError(), std::error_code(EISDIR, std::generic_category()));
  EXPECT_EQ(reader->nextLine(), std::nullopt);
}

TEST(LineReadersTest, RewindCloseAndIteratorLifetime) {
  TemporaryDirectory tmp;
  const std::string path = (tmp.path() / "r.txt").string();
  writeFile(path, "\xFF\xFE" "a\0\n\0b\0"s);
  auto reader = StreamReader::create(path, "\n", StringEncoding::utf16, 1);
  ASSERT_TRUE(reader);
  EXPECT_EQ(readAll(*reader), (Lines{"a", "b"}));
  reader->rewind();
  EXPECT_EQ(reader->nextLine(), "a");  // the mark is read again, not returned
  LineIterator it = reader->makeIterator();
  reader.reset();  // the iterator keeps the reader
  EXPECT_EQ(it.next(), "b");
  EXPECT_EQ(it.next(), std::nullopt);

  auto closing = StreamReader::create(path);
  closing->close();
  closing->close();
  EXPECT_FALSE(closing->isOpen());
}

TEST(LineReadersDeathTest, ClosedReaderAndBadChunkSizeStop) {
  TemporaryDirectory tmp;
  const std::string path = (tmp.path() / "d.txt").string();
  writeFile(path, "a\n");
  EXPECT_DEATH(
      {
        auto reader = StreamReader::create(path);
        reader->close();
        (void)reader->nextLine();
      },
      "StreamReader: nextLine\\(\\) on a closed reader");
  EXPECT_DEATH(
      {
        auto reader = StreamReader::create(path);
        reader->close();
        reader->rewind();
      },
      "StreamReader: rewind\\(\\) on a closed reader");
  EXPECT_DEATH((void)StreamReader::create(path, "\n", StringEncoding::utf8, 0),
               "StreamReader: chunk size must be at least 1 \\(was 0\\)");
  EXPECT_DEATH(
      {
        auto pipe = Pipe::create();
        (void)PipeReader::create(*pipe, "\n", StringEncoding::utf8, -4);
      },
      "PipeReader: chunk size must be at least 1 \\(was -4\\)");
}

TEST(LineReadersTest, PipeReaderWaitsForTheWriter) {
  auto pipe = Pipe::create();
  auto reader = PipeReader::create(*pipe);
  ASSERT_TRUE(reader);
  std::atomic<bool> closed{false};
  std::thread writer([&, fd = pipe->takeWritingEnd()]() mutable {
    (void)posix::writeAll(fd.get(), std::string_view("one\ntw"));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    (void)posix::writeAll(fd.get(), std::string_view("o"));
    closed = true;
    fd.reset();
  });
  EXPECT_EQ(reader->nextLine(), "one");
  EXPECT_EQ(reader->nextLine(), "two");  // delivered only once the writer closed
  EXPECT_TRUE(closed.load());
  EXPECT_EQ(reader->nextLine(), std::nullopt);
  EXPECT_FALSE(reader->readError());
  writer.join();
}

TEST(LineReadersTest, NonBlockingPipeIsWaitedOn) {
  auto pipe = Pipe::create();
  ASSERT_EQ(::fcntl(pipe->readingFd(), F_SETFL, O_NONBLOCK), 0);
  auto reader = PipeReader::create(*pipe);
  std::thread writer([fd = pipe->takeWritingEnd()]() mutable {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    (void)posix::writeAll(fd.get(), std::string_view("late\n"));
  });
  EXPECT_EQ(reader->nextLine(), "late");  // EAGAIN is no error and no end
  EXPECT_EQ(reader->nextLine(), std::nullopt);
  EXPECT_FALSE(reader->readError());
  writer.join();
}

}  // namespace
}  // namespace vantrel
