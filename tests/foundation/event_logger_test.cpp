#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/foundation/files_test_support.h"
#include "tests/support/fixtures.h"
#include "vantrel/core/console.h"
#include "vantrel/core/date_text.h"
#include "vantrel/foundation/logs/event_logger.h"
#include "vantrel/foundation/logs/internal/event_line.h"

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

struct Named : VtEventLoggerEventConvertible {
  Named(std::string c, std::vector<std::string> f) : category(std::move(c)), fields(std::move(f)) {}
  std::string category;
  std::vector<std::string> fields;
  VtEventLoggerEvent eventLoggerEvent() const override { return {atNanos(0), category, fields}; }
};

TEST(EventLoggerTest, ExactLineBytesForFixedDates) {
  TemporaryDirectory tmp;
  auto logger = VtEventLogger::create("events", fileUrl(tmp.path(), true));
  EXPECT_EQ(logger->logFileUrl().path(), (tmp.path() / "events.log").string());
  logger->log("cat", "a,b", atNanos(1488722829042999999));  // ms floored, not rounded
  logger->log("cat", "", atNanos(-1000));                   // before 1970, floored toward the past
  logger->log("leap", "x", iso("2024-02-29T23:59:59.999Z"));
  logger->log("zone", "y", iso("2017-03-05T15:07:09.042+01:00"));
  logger->log("raw", "line\nbreak, comma", atNanos(0));  // the text's commas separate fields
  ASSERT_TRUE(logger->flush());
  EXPECT_EQ(readFile(tmp.path() / "events.log"),
            "2017-03-05T14:07:09.042Z,cat,a,b\n"
            "1969-12-31T23:59:59.999Z,cat,\n"
            "2024-02-29T23:59:59.999Z,leap,x\n"
            "2017-03-05T14:07:09.042Z,zone,y\n"
            "1970-01-01T00:00:00.000Z,raw,\"line\\nbreak\", comma\n");
}

TEST(EventLoggerTest, AwkwardPartsAreQuotedAsJsonStrings) {
  const struct {
    std::string part;
    std::string written;
  } cases[] = {
      {"plain text ü", "plain text ü"},
      {"back\\slash 'single'", "back\\slash 'single'"},  // plain: written as it is
      {"tab\there", "tab\there"},
      {"a, b", "\"a, b\""},
      {"say \"hi\"", "\"say \\\"hi\\\"\""},
      {"\"", "\"\\\"\""},
      {"line\nbreak\\", "\"line\\nbreak\\\\\""},
      {"cr\r\nlf\t\b", "\"cr\\r\\nlf\\t\\u0008\""},
      {"vt\v ff\f", "\"vt\\u000b ff\\u000c\""},
      {"cancel\x18", "\"cancel\\u0018\""},
      {"nel\u0085 ls\u2028 ps\u2029 é", "\"nel\\u0085 ls\\u2028 ps\\u2029 é\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.part);
    std::string line;
    foundation_internal::appendEventLinePart(line, c.part);
    EXPECT_EQ(line, c.written);
  }
}

TEST(EventLoggerTest, FieldsAndCategoriesReadBackExactlyWhateverTheyHold) {
  TemporaryDirectory tmp;
  auto logger = VtEventLogger::createWithLogFileUrl("awkward", fileUrl(tmp.path() / "awkward.log"));
  const std::vector<std::string> awkward = {"a, b", "line\nbreak", "say \"hi\"", "\"quoted\"", "\"", "\"\"",
                                            "cr\rx", "crlf\r\n", "\n", "vt\v ff\f", "nel\u0085 ls\u2028 ps\u2029",
                                            "cancel at the end\x18", "\x18", std::string("nul\0in", 6), "\\", "\\n",
                                            "\\\"", "\\u2028", "ends with a backslash\\", ",", ",,", " , ", "",
                                            "ü\u00e9\U0001F600", "tab\t", "\"a\",\"b\"", "ctl\x01\x1f\x7f"};
  logger->log(Named("awk", awkward));
  std::size_t lines = 1 + 5;
  for (const auto& field : awkward) {
    logger->log(Named("one", {field}));
    lines += field.find(',') == std::string::npos ? 2 : 1;
    if (field.find(',') == std::string::npos) logger->log("text", field);  // the text form splits at commas
  }
  for (const std::string category : {"a,b", "say \"x\"", "two\nlines", "\"", "\x18"}) {
    logger->log(category, "1,2");
  }
  ASSERT_TRUE(logger->flush());
  const std::string contents = readFile(tmp.path() / "awkward.log");
  // Every event takes one line.
  EXPECT_EQ(static_cast<std::size_t>(std::count(contents.begin(), contents.end(), '\n')), lines);

  const auto allRead = logger->events("awk");
  ASSERT_EQ(allRead.size(), 1u);
  EXPECT_EQ(allRead[0].fields, awkward);
  const auto ones = logger->events("one");
  ASSERT_EQ(ones.size(), awkward.size());
  for (std::size_t i = 0; i < awkward.size(); ++i) EXPECT_EQ(ones[i].fields, std::vector<std::string>{awkward[i]});
  std::vector<std::vector<std::string>> texts;
  for (const auto& e : logger->events("text")) texts.push_back(e.fields);
  std::vector<std::vector<std::string>> expectedTexts;
  for (const auto& field : awkward) {
    if (field.find(',') == std::string::npos) expectedTexts.push_back({field});
  }
  EXPECT_EQ(texts, expectedTexts);
  for (const std::string category : {"a,b", "say \"x\"", "two\nlines", "\"", "\x18"}) {
    SCOPED_TRACE(category);
    const auto events = logger->events(category);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].category, category);
    EXPECT_EQ(events[0].fields, (std::vector<std::string>{"1", "2"}));
  }
}

// Bytes that are no UTF-8 read as U+FFFD, in the file and in the category
// asked for alike, so a category is found with the bytes it was logged with.
TEST(EventLoggerTest, CategoriesWithBytesThatAreNoUtf8AreFoundAgain) {
  const struct {
    std::string category;
    std::string read;  // the category as the events carry it
  } cases[] = {
      {"caf\xC3", "caf\uFFFD"},
      {"\xFF", "\uFFFD"},
      {"\xE2\x82 torn", "\uFFFD torn"},
      {"quoted,\xC3", "quoted,\uFFFD"},
      {"say \"\xF0\x9F\"", "say \"\uFFFD\""},
      {"caf\u00e9", "caf\u00e9"},
  };
  TemporaryDirectory tmp;
  auto logger = VtEventLogger::createWithLogFileUrl("bytes", fileUrl(tmp.path() / "bytes.log"));
  for (const auto& c : cases) logger->log(c.category, "x", atNanos(0));
  logger->log("caf", "other", atNanos(0));
  ASSERT_TRUE(logger->flush());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.read);
    const std::vector<VtEventLoggerEvent> expected = {{atNanos(0), c.read, {"x"}}};
    EXPECT_EQ(logger->events(c.category), expected);
    EXPECT_EQ(logger->events(c.read), expected);
  }
}

TEST(EventLoggerTest, FilesOfPlainPartsReadAsBefore) {
  // Lines as writers that quoted nothing left them: a part may start or end
  // with a quote, or hold one, without being a quoted part.
  const std::string date = "2017-03-05T14:07:09.042Z,";
  const struct {
    const char* name;
    std::string line;
    std::vector<std::string> fields;
  } cases[] = {
      {"plain", "c,a,b", {"a", "b"}},
      {"quote inside", "c,say \"hi\",x", {"say \"hi\"", "x"}},
      {"quote first, text after the closing one", "c,\"hi\" she said", {"\"hi\" she said"}},
      {"unclosed quote", "c,\"open,x", {"\"open", "x"}},
      {"lone quote", "c,\",x", {"\"", "x"}},
      {"a backslash escape no JSON string has", "c,\"a\\qb\"", {"\"a\\qb\""}},
      {"a lone low surrogate", "c,\"\\udc00\"", {"\"\\udc00\""}},
      {"backslashes", "c,C:\\new\\u2028,x\\", {"C:\\new\\u2028", "x\\"}},
      {"empty fields", "c,,", {"", ""}},
      {"CAN inside", "c,a\x18" "b", {"a\x18" "b"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto events = VtEventLogger::parseEvents(date + c.line + "\n", "c");
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].fields, c.fields);
  }
}

TEST(EventLoggerTest, TornLastLineIsSkippedAndTheNextEventReadsBack) {
  const struct {
    const char* name;
    std::string torn;
  } cases[] = {
      {"whole-looking line", "2017-03-05T14:07:09.042Z,k,torn"},
      {"inside a quoted field", "2017-03-05T14:07:09.042Z,k,\"li\\nne"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TemporaryDirectory tmp;
    const fs::path file = tmp.path() / "torn.log";
    writeFile(file, "2000-01-01T00:00:00.000Z,k,before\n" + c.torn);
    auto logger = VtEventLogger::createWithLogFileUrl("torn", fileUrl(file));
    logger->log("k", "after", atNanos(0));
    ASSERT_TRUE(logger->flush());
    EXPECT_EQ(readFile(file),
              "2000-01-01T00:00:00.000Z,k,before\n" + c.torn + "\x18\n1970-01-01T00:00:00.000Z,k,after\n");
    const auto events = logger->events("k");
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].fields, std::vector<std::string>{"before"});
    EXPECT_EQ(events[1], (VtEventLoggerEvent{atNanos(0), "k", {"after"}}));
  }
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
