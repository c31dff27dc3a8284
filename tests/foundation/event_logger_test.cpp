#include <filesystem>
#include <string>
#include <vector>

#include "tests/foundation/files_test_support.h"
#include "tests/support/fixtures.h"
#include "vantrel/core/console.h"
#include "vantrel/core/date_text.h"
#include "vantrel/foundation/logs/event_logger.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using std::chrono::system_clock;
using testing::readFile;
using testing::readLines;
using testing::TemporaryDirectory;
using testing::writeFile;

system_clock::time_point atNanos(std::int64_t ns) {
  return system_clock::time_point(std::chrono::duration_cast<system_clock::duration>(std::chrono::nanoseconds(ns)));
}

system_clock::time_point iso(std::string_view text) { return *parseIsoDateTime(text); }

URL fileUrl(const fs::path& p, bool isDirectory = false) { return URL::fileURLWithPath(p.string(), isDirectory); }

struct Login : VtEventLoggerEventConvertible {
  std::vector<std::string> fields;
  VtEventLoggerEvent eventLoggerEvent() const override { return {atNanos(0), "login", fields}; }
};

TEST(EventLoggerTest, ExactLineBytesForFixedDates) {
  TemporaryDirectory tmp;
  auto logger = VtEventLogger::create("events", fileUrl(tmp.path(), true));
  EXPECT_EQ(logger->logFileUrl().path(), (tmp.path() / "events.log").string());
  logger->log("cat", "a,b", atNanos(1488722829042999999));  // ms floored, not rounded
  logger->log("cat", "", atNanos(-1000));                   // before 1970, floored toward the past
  logger->log("leap", "x", iso("2024-02-29T23:59:59.999Z"));
  logger->log("zone", "y", iso("2017-03-05T15:07:09.042+01:00"));
  logger->log("raw", "line\nbreak, comma", atNanos(0));  // written as given
  ASSERT_TRUE(logger->flush());
  EXPECT_EQ(readFile(tmp.path() / "events.log"),
            "2017-03-05T14:07:09.042Z,cat,a,b\n"
            "1969-12-31T23:59:59.999Z,cat,\n"
            "2024-02-29T23:59:59.999Z,leap,x\n"
            "2017-03-05T14:07:09.042Z,zone,y\n"
            "1970-01-01T00:00:00.000Z,raw,line\nbreak, comma\n");
}

TEST(EventLoggerTest, LogEventRoundTripsWithTheDateOfTheCall) {
  TemporaryDirectory tmp;
  auto logger = VtEventLogger::createWithLogFileUrl("ignored", fileUrl(tmp.path() / "round.log"));
  const auto before = std::chrono::floor<std::chrono::milliseconds>(system_clock::now());
  Login value;
  value.fields = {"alice", "ok"};
  const VtEventLoggerEvent returned = logger->log(value);
  EXPECT_EQ(returned.date, atNanos(0));  // the value's own event comes back
  EXPECT_EQ(returned.fields, value.fields);
  Login empty;
  logger->log(empty);
  logger->log("other", "z");
  ASSERT_TRUE(logger->flush());
  const auto after = system_clock::now();

  const auto events = logger->events("login");
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].category, "login");
  EXPECT_EQ(events[0].fields, (std::vector<std::string>{"alice", "ok"}));
  EXPECT_EQ(events[1].fields, std::vector<std::string>{""});  // no fields read back as one empty field
  for (const auto& e : events) {
    EXPECT_GE(e.date, before);
    EXPECT_LE(e.date, after);
    EXPECT_EQ(e.date, std::chrono::floor<std::chrono::milliseconds>(e.date));
  }
  EXPECT_EQ(logger->events("other").size(), 1u);
  EXPECT_TRUE(logger->events("nothing").empty());
}

TEST(EventLoggerTest, ExistingContentIsKeptAndAppendedTo) {
  TemporaryDirectory tmp;
  const fs::path file = tmp.path() / "kept.log";
  writeFile(file, "2000-01-01T00:00:00.000Z,old,1\n");
  auto logger = VtEventLogger::createWithLogFileUrl("kept", fileUrl(file));
  logger->log("old", "2", atNanos(0));
  ASSERT_TRUE(logger->flush());
  const auto events = logger->events("old");
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].date, iso("2000-01-01T00:00:00Z"));
  EXPECT_EQ(events[1].fields, std::vector<std::string>{"2"});
}

TEST(EventLoggerTest, BadLinesAreSkippedAndGoodOnesSurvive) {
  const std::string good = "2017-03-05T14:07:09.042Z,c,";
  const struct {
    const char* name;
    std::string bytes;
    std::vector<std::vector<std::string>> fields;  // of the category "c", in order
  } cases[] = {
      {"plain", good + "a\n", {{"a"}}},
      {"no date", "hello,c,a\n" + good + "b\n", {{"b"}}},
      {"seconds only", "2017-03-05T14:07:09Z,c,a\n" + good + "b\n", {{"b"}}},
      {"offset date", "2017-03-05T15:07:09.042+01:00,c,a\n", {}},
      {"space date", "2017-03-05 14:07:09.042Z,c,a\n", {}},
      {"30 February", "2017-02-30T14:07:09.042Z,c,a\n", {}},
      {"date the clock cannot hold", "1500-03-05T14:07:09.042Z,c,a\n9999-12-31T23:59:59.999Z,c,b\n", {}},
      {"one part", good.substr(0, 24) + "\n\n" + good + "b\n", {{"b"}}},
      {"field with a line break", good + "a\nb,c,d\n", {{"a"}}},
      {"CR LF", good + "a\r\n" + good + "b\r\n", {{"a"}, {"b"}}},
      {"U+2028 and U+0085", good + "a\u2028" + "b,c,x\u0085" + good + "d\n", {{"a"}, {"d"}}},
      {"vertical tab and form feed", good + "a\v" + good + "b\f" + good + "c\n", {{"a"}, {"b"}, {"c"}}},
      {"torn UTF-8", good + "\xE2\x82\n" + good + "\xC3\xA9\n", {{"\uFFFD"}, {"\u00E9"}}},
      {"torn date", "2017-03-05T14:0\xFF" + std::string(":09.042Z,c,a\n") + good + "b\n", {{"b"}}},
      {"last piece without its line feed", good + "a\n" + good + "half", {{"a"}}},
      {"only a piece in progress", good + "half", {}},
      {"empty", "", {}},
      {"other category", "2017-03-05T14:07:09.042Z,cc,a\n2017-03-05T14:07:09.042Z,c\n", {{}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto events = VtEventLogger::parseEvents(c.bytes, "c");
    std::vector<std::vector<std::string>> got;
    for (const auto& e : events) got.push_back(e.fields);
    EXPECT_EQ(got, c.fields);
  }
}

TEST(EventLoggerTest, CategoryWithACommaIsNeverMatched) {
  const auto events = VtEventLogger::parseEvents("2017-03-05T14:07:09.042Z,a,b,x\n", "a,b");
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(VtEventLogger::parseEvents("2017-03-05T14:07:09.042Z,a,b,x\n", "a").at(0).fields,
            (std::vector<std::string>{"b", "x"}));
}

TEST(EventLoggerTest, UnreadableFileIsReportedAndGivesNothing) {
  TemporaryDirectory tmp;
  const fs::path file = tmp.path() / "gone.log";
  auto logger = VtEventLogger::createWithLogFileUrl("gone", fileUrl(file));
  fs::remove(file);
  ConsoleCapture capture;
  EXPECT_TRUE(logger->events("c").empty());
  const std::string printed = capture.standardOutput() + capture.standardError();
  EXPECT_NE(printed.find("Can't open log file"), std::string::npos) << printed;
}

TEST(EventLoggerTest, CreationErrors) {
  TemporaryDirectory tmp;
  const fs::path blocker = tmp.path() / "file";
  writeFile(blocker, "x");
  try {
    (void)VtEventLogger::createWithLogFileUrl("x", fileUrl(blocker / "inside.log"));
    FAIL() << "no error";
  } catch (const VtEventLogger::Errur& e) {
    EXPECT_EQ(e.kind, VtEventLogger::Errur::Case::cannotCreateFile);
    EXPECT_STREQ(e.what(), "cannotCreateFile");
  }
  try {
    (void)VtEventLogger::createWithLogFileUrl("x", fileUrl(tmp.path()));  // a folder
    FAIL() << "no error";
  } catch (const VtEventLogger::Errur& e) {
    EXPECT_EQ(e.kind, VtEventLogger::Errur::Case::cannotOpenHandle);
  }
}

TEST(EventLoggerTest, DescriptionAndEquality) {
  const VtEventLoggerEvent e{atNanos(0), "cat", {"a", "b"}};
  EXPECT_EQ(e.description(), "<VtEventLoggerEvent: category=cat, fields=[\"a\", \"b\"]");
  EXPECT_EQ((VtEventLoggerEvent{atNanos(0), "cat", {}}).description(), "<VtEventLoggerEvent: category=cat, fields=[]");
  EXPECT_EQ(e, (VtEventLoggerEvent{atNanos(0), "cat", {"a", "b"}}));
  EXPECT_NE(e, (VtEventLoggerEvent{atNanos(1), "cat", {"a", "b"}}));
  EXPECT_NE(e, (VtEventLoggerEvent{atNanos(0), "cat", {"a"}}));
}

void logAndExit(const fs::path& file, int count) {
  auto logger = VtEventLogger::createWithLogFileUrl("child", fileUrl(file));
  for (int i = 0; i < count; ++i) logger->log("child", std::to_string(i));
  std::exit(0);
}

TEST(EventLoggerTest, ChildLogsAndExitsWithEveryLineWritten) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const int count = 20000;
  const fs::path dir = testing::deathTestFolder("event-exit");
  const fs::path file = dir / "child.log";
  EXPECT_EXIT(logAndExit(file, count), ::testing::ExitedWithCode(0), "");
  const auto lines = readLines(file);
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(count));
  const auto events = VtEventLogger::parseEvents(readFile(file), "child");
  ASSERT_EQ(events.size(), static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) ASSERT_EQ(events[static_cast<std::size_t>(i)].fields.at(0), std::to_string(i));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace vantrel
