#include <unistd.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <thread>
#include <utility>

#include "tests/foundation/files_test_support.h"
#include "tests/support/fixtures.h"
#include "vantrel/core/console.h"
#include "vantrel/foundation/logs/csv_logger.h"
#include "vantrel/foundation/logs/internal/log_date.h"

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
