#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <set>
#include <thread>
#include <utility>

#include "tests/foundation/files_test_support.h"
#include "tests/support/fixtures.h"
#include "vantrel/core/console.h"
#include "vantrel/foundation/logs/csv_logger.h"
#include "vantrel/foundation/logs/internal/log_date.h"
#include "vantrel/foundation/logs/internal/log_file_writer.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using testing::isLogDate;
using testing::readFile;
using testing::readLines;
using testing::ScopedEnv;
using testing::TemporaryDirectory;
using testing::writeFile;

URL fileUrl(const fs::path& p, bool isDirectory = false) { return URL::fileURLWithPath(p.string(), isDirectory); }

// One expected line: whether it starts with a date, then its exact bytes.
struct Expected {
  bool dated;
  std::string rest;
};

void expectLogContents(const std::string& contents, const std::vector<Expected>& lines) {
  std::size_t pos = 0;
  for (const Expected& line : lines) {
    SCOPED_TRACE(line.rest);
    if (line.dated) {
      ASSERT_LE(pos + 23, contents.size());
      EXPECT_TRUE(isLogDate(std::string_view(contents).substr(pos, 23))) << contents.substr(pos, 23);
      pos += 23;
    }
    ASSERT_EQ(contents.substr(pos, line.rest.size()), line.rest);
    pos += line.rest.size();
  }
  EXPECT_EQ(pos, contents.size()) << "unexpected tail: " << contents.substr(pos);
}

// Waits for a file to reach `lines` lines, for loggers no longer reachable.
bool waitForLines(const fs::path& path, std::size_t lines) {
  for (int i = 0; i < 500; ++i) {
    if (readLines(path).size() >= lines) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

TEST(CsvLoggerTest, LineFormats) {
  TemporaryDirectory tmp;
  auto logger = CsvLogger::create("formats", fileUrl(tmp.path(), true));
  logger->log({"a", "b", "c"});
  logger->log({});
  logger->logLine("t");
  logger->logLine("t", false);
  logger->logLine("");
  logger->logLine("", false);
  logger->log({"x,y", "line\nbreak", "ü"});
  ASSERT_TRUE(logger->flush());
  expectLogContents(readFile(tmp.path() / "formats.log"), {
                                                             {true, ",a,b,c\n"},
                                                             {true, ",\n"},
                                                             {true, "t\n"},
                                                             {false, "t\n"},
                                                             {true, "\n"},
                                                             {false, "\n"},
                                                             {true, ",\"x,y\",\"line\nbreak\",ü\n"},
                                                         });
}

// A reader of RFC 4180 records (CRLF or LF between them), written here so
// the file is checked against the format rather than against the writer.
std::vector<std::vector<std::string>> readCsvRecords(std::string_view text) {
  std::vector<std::vector<std::string>> records;
  std::vector<std::string> record;
  std::string field;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '"') {
      for (++i;; ++i) {
        if (i >= text.size()) {
          ADD_FAILURE() << "unclosed quote";
          return records;
        }
        if (text[i] != '"') {
          field += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '"') {
          field += '"';
          ++i;
        } else {
          ++i;
          break;
        }
      }
      if (i < text.size() && text[i] != ',' && text[i] != '\n' && text.substr(i, 2) != "\r\n") {
        ADD_FAILURE() << "text after a closing quote at " << i;
        return records;
      }
      continue;
    }
    if (text[i] == ',') {
      record.push_back(std::exchange(field, {}));
      ++i;
    } else if (text[i] == '\n' || text.substr(i, 2) == "\r\n") {
      record.push_back(std::exchange(field, {}));
      records.push_back(std::exchange(record, {}));
      i += text[i] == '\n' ? 1 : 2;
    } else {
      field += text[i++];
    }
  }
  EXPECT_TRUE(field.empty() && record.empty()) << "last record without its line break";
  return records;
}

TEST(CsvLoggerTest, ValuesWithSeparatorsQuotesOrLineBreaksAreQuoted) {
  TemporaryDirectory tmp;
  auto logger = CsvLogger::createWithLogFileUrl("quoted", fileUrl(tmp.path() / "quoted.log"));
  const std::vector<std::string> values = {
      "note", "a, b", "line\nbreak", "say \"hi\"", "cr\ronly", "crlf\r\n", "\"", "", "ü plain 'x' \\ ;",
      ",",    "\"\"", " lead"};
  logger->log(values);
  logger->log({"plain", "fields"});
  ASSERT_TRUE(logger->flush());
  const std::string contents = readFile(tmp.path() / "quoted.log");
  // Plain fields are written exactly as before; the others per RFC 4180.
  expectLogContents(contents, {{true, ",note,\"a, b\",\"line\nbreak\",\"say \"\"hi\"\"\",\"cr\ronly\",\"crlf\r\n\","
                                      "\"\"\"\",,ü plain 'x' \\ ;,\",\",\"\"\"\"\"\", lead\n"},
                               {true, ",plain,fields\n"}});
  const auto records = readCsvRecords(contents);
  ASSERT_EQ(records.size(), 2u);
  std::vector<std::string> expected = values;
  expected.insert(expected.begin(), records[0].at(0));  // the date
  EXPECT_EQ(records[0], expected);
  EXPECT_EQ(records[1], (std::vector<std::string>{records[1].at(0), "plain", "fields"}));
}

TEST(CsvLoggerTest, TornLastLineIsEndedBeforeTheNextRecord) {
  TemporaryDirectory tmp;
  const fs::path file = tmp.path() / "torn.log";
  const std::string torn = "2017-03-05T14:07:09.042Z,k,torn";
  writeFile(file, torn);
  auto logger = CsvLogger::createWithLogFileUrl("torn", fileUrl(file));
  logger->log({"k", "after"});
  logger->logLine("next", false);
  ASSERT_TRUE(logger->flush());
  const std::string contents = readFile(file);
  // The torn bytes stay; CAN and a line feed end them, once.
  ASSERT_EQ(contents.substr(0, torn.size() + 2), torn + "\x18\n");
  expectLogContents(contents.substr(torn.size() + 2), {{true, ",k,after\n"}, {false, "next\n"}});
  const auto records = readCsvRecords(contents);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].back().back(), '\x18');  // a reader can tell it never finished
  EXPECT_EQ(records[1], (std::vector<std::string>{records[1].at(0), "k", "after"}));
  EXPECT_TRUE(isLogDate(records[1].at(0)));

  // Another process that dies mid-line while the logger is open.
  {
    std::ofstream other(file, std::ios::app | std::ios::binary);
    other << "cut short";
  }
  logger->logLine("last", false);
  ASSERT_TRUE(logger->flush());
  const std::string after = readFile(file);
  EXPECT_EQ(after.substr(contents.size()), "cut short\x18\nlast\n");
}

// A file left by a writer that stopped mid-record, in each state an RFC
// 4180 reader can be in, and the bytes the next write puts first so that
// its record stands on its own.
TEST(CsvLoggerTest, TornRecordsAreEndedWhateverStateTheyStoppedIn) {
  const std::string date = "2017-03-05 14:07:09.042";
  const std::string whole = date + ",k,\"a\nb\"\n";  // a whole record whose value holds a line feed
  // Over the window a writer reads: only the last dated line in it tells
  // where the last record starts.
  std::string big;
  while (big.size() <= foundation_internal::LogFileWriter::kTailWindow) big += whole;
  // With no dated line in the window, the last byte tells.
  std::string undated;
  while (undated.size() <= foundation_internal::LogFileWriter::kTailWindow) undated += "plain line\n";
  const struct {
    const char* name;
    std::string before;
    std::string end;  // written before the next record
    bool torn;        // the last record before the new one ends in CAN
  } cases[] = {
      {"empty file", "", "", false},
      {"whole records", whole + whole, "", false},
      {"whole record ending in a quoted line feed", date + ",k,\"a\n\"\n", "", false},
      {"inside an unquoted field", whole + date + ",k,tor", "\x18\n", true},
      {"right after a comma", date + ",k,", "\x18\n", true},
      {"inside a quoted value", whole + date + ",k,\"li", "\x18\"\n", true},
      {"right after a quoted line feed", date + ",\"line1\n", "\x18\"\n", true},
      {"a file that starts inside a quoted value", "\"x\n", "\x18\"\n", true},
      {"inside a doubled quote", date + ",k,\"say \"\"", "\x18\"\n", true},
      {"between the quotes of a doubled quote", date + ",k,\"say \"", ",\x18\n", true},
      {"after a closing quote", date + ",k,\"a,b\"", ",\x18\n", true},
      {"after CR LF inside a quoted value", date + ",k,\"crlf\r\n", "\x18\"\n", true},
      {"a torn line ended before", date + ",k,\"x\x18\"\n", "", false},
      {"long file, inside a quoted value", big + date + ",k,\"li\nne", "\x18\"\n", true},
      {"long file, right after a quoted line feed", big + date + ",k,\"line1\n", "\x18\"\n", true},
      {"long file, whole", big, "", false},
      {"long file of undated lines, inside a field", undated + "tor", "\x18\n", true},
      {"long file of undated lines, whole", undated, "", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TemporaryDirectory tmp;
    const fs::path file = tmp.path() / "torn.log";
    writeFile(file, c.before);
    auto logger = CsvLogger::createWithLogFileUrl("torn", fileUrl(file));
    logger->log({"after", "x,\"y\"\nz"});
    ASSERT_TRUE(logger->flush());
    const std::string contents = readFile(file);
    ASSERT_EQ(contents.substr(0, c.before.size() + c.end.size()), c.before + c.end);
    expectLogContents(contents.substr(c.before.size() + c.end.size()), {{true, ",after,\"x,\"\"y\"\"\nz\"\n"}});
    // The long files' leading whole records read as they are written; the
    // reader starts after them.
    const std::size_t wholeRecords = c.before.starts_with(big)       ? big.size()
                                     : c.before.starts_with(undated) ? undated.size()
                                                                     : 0;
    const auto records = readCsvRecords(std::string_view(contents).substr(wholeRecords));
    ASSERT_GE(records.size(), 1u);
    EXPECT_EQ(records.back(), (std::vector<std::string>{records.back().at(0), "after", "x,\"y\"\nz"}));
    if (c.torn) {
      ASSERT_GE(records.size(), 2u);
      const std::string& last = records[records.size() - 2].back();
      EXPECT_TRUE(!last.empty() && last.back() == '\x18') << last;
    }
  }
}

// A record another writer leaves torn while the logger is open is ended by
// the logger's next write, whatever it stopped inside.
TEST(CsvLoggerTest, RecordTornByAnotherWriterWhileOpenIsEnded) {
  TemporaryDirectory tmp;
  const fs::path file = tmp.path() / "shared.log";
  auto logger = CsvLogger::createWithLogFileUrl("shared", fileUrl(file));
  logger->log({"first", "a\nb"});
  ASSERT_TRUE(logger->flush());
  const struct {
    std::string appended;
    std::string end;
  } steps[] = {
      {"2017-03-05 14:07:09.042,other,\"cut\n", "\x18\"\n"},
      {"2017-03-05 14:07:09.042,other,whole\n", ""},
      {"2017-03-05 14:07:09.042,other,\"closed\"", ",\x18\n"},
      {"", ""},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.appended);
    const std::string before = readFile(file);
    {
      std::ofstream other(file, std::ios::app | std::ios::binary);
      other << step.appended;
    }
    logger->logLine("next", false);
    ASSERT_TRUE(logger->flush());
    EXPECT_EQ(readFile(file).substr(before.size()), step.appended + step.end + "next\n");
  }
  EXPECT_EQ(readCsvRecords(readFile(file)).size(), 8u);
}

// The file is cut to nothing under the logger and another writer leaves a
// quoted value torn, longer than the file was: where the logger's last
// write ended is now inside that value, and the logger must read the tail
// again rather than trust it.
TEST(CsvLoggerTest, FileCutShortAndWrittenAgainByAnotherIsReadAgain) {
  TemporaryDirectory tmp;
  const fs::path file = tmp.path() / "cut.log";
  auto logger = CsvLogger::createWithLogFileUrl("cut", fileUrl(file));
  logger->log({"r1"});
  ASSERT_TRUE(logger->flush());
  const auto oldSize = fs::file_size(file);
  fs::resize_file(file, 0);
  const std::string torn = "2017-03-05 14:07:09.042,other,\"" + std::string(oldSize * 3, 'v');
  {
    std::ofstream other(file, std::ios::app | std::ios::binary);
    other << torn;
  }
  logger->log({"r3"});
  ASSERT_TRUE(logger->flush());
  const std::string contents = readFile(file);
  ASSERT_EQ(contents.substr(0, torn.size() + 3), torn + "\x18\"\n");
  expectLogContents(contents.substr(torn.size() + 3), {{true, ",r3\n"}});
  const auto records = readCsvRecords(contents);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1], (std::vector<std::string>{records[1].at(0), "r3"}));
}

// ---- Writers killed at random moments ----

constexpr const char* kCrashWriterVariable = "VANTREL_CSV_CRASH_WRITER";

// Record `index` of writer `writer`: awkward for a reader (quotes, commas,
// line breaks) and of varied length, up to some hundred kilobytes, so that
// a kill often lands inside a write. No digit follows a line feed, so no
// line of a value looks like the start of a record.
std::vector<std::string> crashRecord(int writer, int index) {
  std::mt19937 rng(static_cast<std::uint32_t>(writer) * 100003u + static_cast<std::uint32_t>(index));
  static constexpr std::string_view kPieces[] = {"a", "b c", ",", "\"", "\"\"", "\n", "\r\n", "ü", "x\ny", "\"\n"};
  std::string payload;
  for (std::uint32_t i = rng() % 40; i > 0; --i) payload += kPieces[rng() % std::size(kPieces)];
  if (rng() % 4 == 0 && !payload.empty()) {
    const std::string piece = payload;
    for (std::size_t length = 20000 + rng() % 130000; payload.size() < length;) payload += piece;
  }
  return {"r", std::to_string(writer), std::to_string(index), payload};
}

// The child: logs records and, after each flush that wrote them, reports
// through `reports` how many are in the file, until it is killed.
[[noreturn]] void runCrashWriter(const std::string& file, int writer, int reports) {
  auto logger = CsvLogger::createWithLogFileUrl("crash", fileUrl(file));
  // Bounded, should the parent be gone.
  const auto stop = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  for (int index = 0; std::chrono::steady_clock::now() < stop; ++index) {
    logger->log(crashRecord(writer, index));
    if (logger->flush()) {
      const std::int32_t inFile = index + 1;
      if (::write(reports, &inFile, sizeof inFile) != static_cast<ssize_t>(sizeof inFile)) break;
    }
  }
  std::_Exit(0);
}

// Whether this process runs one thread only, so that a forked child may
// start the library's threads afresh.
bool singleThreaded() {
  std::size_t threads = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/task")) ++threads;
  return threads == 1;
}

// A writer child: forked while this process runs one thread, else (other
// tests ran before in this process and left threads) this test program
// started again, which runs only this test and takes its part from
// `kCrashWriterVariable`. Its reports arrive at `reports`.
pid_t startCrashWriter(const std::string& file, int writer, int fds[2]) {
  if (singleThreaded()) {
    const pid_t child = ::fork();
    if (child == 0) {
      ::close(fds[0]);
      runCrashWriter(file, writer, fds[1]);
    }
    return child;
  }
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string filter = std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name();
  std::string program = fs::read_symlink("/proc/self/exe").string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  char* argv[] = {program.data(), filter.data(), nullptr};
  pid_t child = -1;
  ScopedEnv spec(kCrashWriterVariable, file + ":" + std::to_string(writer));
  if (::posix_spawn(&child, program.c_str(), &actions, nullptr, argv, environ) != 0) child = -1;
  posix_spawn_file_actions_destroy(&actions);
  return child;
}

// Reads the child's reports into `inFile` (the last one); answers false when
// none came within `timeout`, or the pipe closed.
bool readReports(int fd, std::int32_t& inFile, int timeoutMs) {
  pollfd poll{fd, POLLIN, 0};
  if (::poll(&poll, 1, timeoutMs) != 1) return false;
  std::int32_t reports[64];
  const ssize_t n = ::read(fd, reports, sizeof reports);
  if (n <= 0) return false;
  inFile = reports[static_cast<std::size_t>(n) / sizeof(std::int32_t) - 1];
  return true;
}

TEST(CsvLoggerTest, FlushedRecordsSurviveWritersKilledAtRandomMoments) {
  if (const char* spec = std::getenv(kCrashWriterVariable)) {
    const std::string_view text = spec;
    const std::size_t colon = text.rfind(':');
    runCrashWriter(std::string(text.substr(0, colon)), std::stoi(std::string(text.substr(colon + 1))), 3);
  }
  TemporaryDirectory tmp;
  const fs::path file = tmp.path() / "crash.log";
  // More than a writer reads of a file it meets: each new writer finds the
  // last record's start by its date.
  const std::string startRecord = "2017-03-05 14:07:09.042,s,\"a\nb\"\n";
  std::string start;
  while (start.size() <= foundation_internal::LogFileWriter::kTailWindow) start += startRecord;
  writeFile(file, start);

  std::mt19937 rng(20261211);
  std::map<int, std::int32_t> inFile;  // writer → records its reports put in the file
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(4);
  int writers = 0;
  for (; writers < 50 && std::chrono::steady_clock::now() < deadline; ++writers) {
    int fds[2];
    ASSERT_EQ(::pipe2(fds, O_CLOEXEC), 0);
    const pid_t child = startCrashWriter(file.string(), writers, fds);
    ::close(fds[1]);
    ASSERT_GT(child, 0);
    std::int32_t reported = 0;
    const bool started = readReports(fds[0], reported, 30000);
    // Killed at a random moment after its first flush, and then as soon as
    // the file grows: often inside a write, which the kill cuts short.
    const auto killAt = std::chrono::steady_clock::now() + std::chrono::microseconds(rng() % 20000);
    while (started) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(killAt - std::chrono::steady_clock::now());
      if (left.count() <= 0 || !readReports(fds[0], reported, static_cast<int>(left.count()))) break;
    }
    const auto grown = std::chrono::steady_clock::now() + std::chrono::milliseconds(100);
    for (const auto size = fs::file_size(file); started && fs::file_size(file) == size;) {
      if (std::chrono::steady_clock::now() > grown) break;
    }
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    while (readReports(fds[0], reported, 1000)) {
    }
    ::close(fds[0]);
    ASSERT_TRUE(started) << "writer " << writers << " never flushed";
    inFile[writers] = reported;
  }
  EXPECT_GE(writers, 5);
  // A last writer ends what the last one tore.
  auto logger = CsvLogger::createWithLogFileUrl("crash", fileUrl(file));
  logger->logLine("end", false);
  ASSERT_TRUE(logger->flush());

  // The leading records are whole as written; the reader starts after them.
  const std::string contents = readFile(file);
  ASSERT_EQ(contents.substr(0, start.size()), start);
  const auto records = readCsvRecords(std::string_view(contents).substr(start.size()));
  std::map<int, std::set<int>> intact;
  std::size_t torn = 0;
  for (const auto& record : records) {
    ASSERT_FALSE(record.empty());
    if (!record.back().empty() && record.back().back() == '\x18') {
      ++torn;
    } else if (record.size() == 5 && record[1] == "r") {
      EXPECT_TRUE(isLogDate(record[0])) << record[0];
      const int writer = std::stoi(record[2]);
      const int index = std::stoi(record[3]);
      EXPECT_EQ(std::vector<std::string>(record.begin() + 1, record.end()), crashRecord(writer, index));
      intact[writer].insert(index);
    } else {
      EXPECT_EQ(record, std::vector<std::string>{"end"});
    }
  }
  std::size_t flushed = 0;
  for (const auto& [writer, count] : inFile) {
    for (int index = 0; index < count; ++index) {
      EXPECT_TRUE(intact[writer].contains(index)) << "writer " << writer << " lost flushed record " << index;
    }
    flushed += static_cast<std::size_t>(count);
  }
  EXPECT_GT(flushed, 0u);
  std::cout << writers << " writers killed, " << flushed << " flushed records read back, " << torn
            << " torn records ended\n";
}

TEST(CsvLoggerTest, DateFormatIsFixedAndUsesTheLocalTimeZone) {
  // 2017-03-05 14:07:09.042 UTC.
  std::tm utc{};
  utc.tm_year = 117;
  utc.tm_mon = 2;
  utc.tm_mday = 5;
  utc.tm_hour = 14;
  utc.tm_min = 7;
  utc.tm_sec = 9;
  const auto moment = std::chrono::system_clock::from_time_t(::timegm(&utc)) + std::chrono::milliseconds(42);
  struct Case {
    std::string tz;
    std::chrono::system_clock::time_point date;
    std::string expected;
  };
  const Case cases[] = {
      {"UTC0", moment, "2017-03-05 14:07:09.042"},
      {"XST-5:30", moment, "2017-03-05 19:37:09.042"},
      {"YST+10", moment, "2017-03-05 04:07:09.042"},
      {"UTC0", std::chrono::system_clock::time_point(std::chrono::milliseconds(-1)), "1969-12-31 23:59:59.999"},
      {"UTC0", std::chrono::system_clock::time_point(), "1970-01-01 00:00:00.000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tz);
    ScopedEnv tz("TZ", c.tz);
    ::tzset();
    std::string out;
    foundation_internal::appendLogDate(out, c.date);
    EXPECT_EQ(out, c.expected);
  }
  ::tzset();
}

// The longest timeouts mean "wait as long as it takes", not an overflow
// into the past.
TEST(CsvLoggerTest, FlushWithTheLongestTimeoutWaits) {
  TemporaryDirectory tmp;
  auto logger = CsvLogger::create("forever", fileUrl(tmp.path(), true));
  logger->logLine("kept", false);
  EXPECT_TRUE(logger->flush(std::chrono::milliseconds::max()));
  CsvLogger::flushAll(std::chrono::milliseconds::max());
  EXPECT_EQ(readLines(tmp.path() / "forever.log"), std::vector<std::string>{"kept"});
}

TEST(CsvLoggerTest, DateIsTheMomentOfTheCall) {
  TemporaryDirectory tmp;
  auto logger = CsvLogger::create("dates", fileUrl(tmp.path(), true));
  logger->logLine("first");
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  logger->logLine("second");
  ASSERT_TRUE(logger->flush());
  auto lines = readLines(tmp.path() / "dates.log");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_LT(lines[0].substr(0, 23), lines[1].substr(0, 23));
}

TEST(CsvLoggerTest, AppendsToExistingContent) {
  TemporaryDirectory tmp;
  const fs::path file = tmp.path() / "existing.log";
  writeFile(file, "old line\n");
  auto logger = CsvLogger::createWithLogFileUrl("ignored", fileUrl(file));
  logger->logLine("new", false);
  ASSERT_TRUE(logger->flush());
  EXPECT_EQ(readFile(file), "old line\nnew\n");
}

TEST(CsvLoggerTest, FileLocations) {
  TemporaryDirectory tmp;
  ScopedEnv home("HOME", tmp.path().string());
  ScopedEnv data("XDG_DATA_HOME", (tmp.path() / "data").string());
  auto inLibrary = CsvLogger::create("x");
  inLibrary->logLine("in library", false);
  auto inBase = CsvLogger::create("y", fileUrl(tmp.path() / "made" / "here", true));
  inBase->logLine("in base", false);
  ASSERT_TRUE(inLibrary->flush());
  ASSERT_TRUE(inBase->flush());
  EXPECT_EQ(readFile(tmp.path() / "data" / "Private Documents" / "logs" / "x.log"), "in library\n");
  EXPECT_EQ(readFile(tmp.path() / "made" / "here" / "y.log"), "in base\n");
}

TEST(CsvLoggerTest, OpeningFailures) {
  TemporaryDirectory tmp;
  EXPECT_THROW_DESCRIPTION((void)CsvLogger::createWithLogFileUrl("n", fileUrl(tmp.path() / "no" / "such.log")),
                           CsvLogger::Errur, "cannotCreateFile");
  try {
    (void)CsvLogger::createWithLogFileUrl("n", fileUrl(tmp.path()));  // a folder
    ADD_FAILURE();
  } catch (const CsvLogger::Errur& e) {
    EXPECT_EQ(e.kind, CsvLogger::Errur::Case::cannotOpenHandle);
    EXPECT_EQ(e, CsvLogger::Errur(CsvLogger::Errur::Case::cannotOpenHandle));
  }
  // The folder cannot be made: printed, then cannotCreateFile.
  writeFile(tmp.path() / "file", "");
  ConsoleCapture capture;
  EXPECT_THROW_DESCRIPTION((void)CsvLogger::create("n", fileUrl(tmp.path() / "file" / "sub", true)), CsvLogger::Errur,
                           "cannotCreateFile");
  EXPECT_EQ(capture.standardOutput(),
            "📛 IMPORTANT!! 📛 = Couldn't create dir " + (tmp.path() / "file" / "sub").string() + ": Not a directory\n");
}

TEST(CsvLoggerTest, TwoLoggersOnOneFileNeverOverwriteEachOther) {
  TemporaryDirectory tmp;
  const fs::path file = tmp.path() / "shared.log";
  auto first = CsvLogger::createWithLogFileUrl("a", fileUrl(file));
  auto second = CsvLogger::createWithLogFileUrl("b", fileUrl(file));
  for (int i = 0; i < 200; ++i) {
    first->logLine("first " + std::to_string(i), false);
    second->logLine("second " + std::to_string(i), false);
  }
  ASSERT_TRUE(first->flush());
  ASSERT_TRUE(second->flush());
  const auto lines = readLines(file);
  ASSERT_EQ(lines.size(), 400u);
  int nextFirst = 0;
  int nextSecond = 0;
  for (const std::string& line : lines) {
    if (line == "first " + std::to_string(nextFirst)) ++nextFirst;
    else if (line == "second " + std::to_string(nextSecond)) ++nextSecond;
    else ADD_FAILURE() << "unexpected line " << line;
  }
  EXPECT_EQ(nextFirst, 200);
  EXPECT_EQ(nextSecond, 200);
}

TEST(CsvLoggerTest, ReleasedLoggerStillWritesItsQueuedLines) {
  TemporaryDirectory tmp;
  const fs::path file = tmp.path() / "released.log";
  {
    auto logger = CsvLogger::createWithLogFileUrl("r", fileUrl(file));
    for (int i = 0; i < 100; ++i) logger->logLine(std::to_string(i), false);
  }
  ASSERT_TRUE(waitForLines(file, 100));
  const auto lines = readLines(file);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(lines[static_cast<std::size_t>(i)], std::to_string(i));
}

// The child logs and exits at once; the exit hook must write every line.
void logAndExit(const fs::path& file, int count, bool releaseFirst) {
  auto logger = CsvLogger::createWithLogFileUrl("child", fileUrl(file));
  for (int i = 0; i < count; ++i) logger->log({std::to_string(i), "payload"});
  if (releaseFirst) logger.reset();
  std::exit(0);
}

TEST(CsvLoggerTest, LinesQueuedAtExitAreWritten) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  struct Case {
    std::string name;
    int count;
    bool releaseFirst;
  };
  const Case cases[] = {{"few lines", 5, false}, {"a long burst", 50000, false}, {"logger released", 2000, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // The child re-runs this test from the start, so the folder is named
    // after the parent process rather than made at random.
    const fs::path dir = testing::deathTestFolder("csv-exit");
    const fs::path file = dir / (std::to_string(c.count) + ".log");
    EXPECT_EXIT(logAndExit(file, c.count, c.releaseFirst), ::testing::ExitedWithCode(0), "");
    const auto lines = readLines(file);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(c.count));
    for (int i = 0; i < c.count; ++i) {
      const std::string& line = lines[static_cast<std::size_t>(i)];
      ASSERT_EQ(line.substr(23), "," + std::to_string(i) + ",payload") << "line " << i;
    }
  }
  fs::remove_all(testing::deathTestFolder("csv-exit"));
}

}  // namespace
}  // namespace vantrel
