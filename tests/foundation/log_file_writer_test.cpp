// What the CSV log and the event log share through their file writer: waits
// for the file's lock that end, losses that are told, and the names of
// their files.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/foundation/files_test_support.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/fixtures.h"
#include "vantrel/core/console.h"
#include "vantrel/foundation/logs/csv_logger.h"
#include "vantrel/foundation/logs/event_logger.h"
#include "vantrel/foundation/logs/internal/log_file_writer.h"
#include "vantrel/platform/posix/unique_fd.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;
using std::chrono::steady_clock;
using testing::readFile;
using testing::ScopedFileSizeLimit;
using testing::ScopedEnv;
using testing::TemporaryDirectory;

URL fileUrl(const fs::path& p, bool isDirectory = false) { return URL::fileURLWithPath(p.string(), isDirectory); }

// One of the two loggers behind the same calls. Record `r` is written as
// "<date>,r\n" by the CSV log and "<date>,c,r\n" by the event log, so
// ",r\n" finds it in either file.
struct Log {
  std::shared_ptr<void> logger;
  std::function<void(const std::string&)> log;
  std::function<bool(milliseconds)> flush;
};

struct Kind {
  const char* owner;
  std::function<Log(const URL&)> open;
  // Named `name` in `folder` (the default folder when null); the file it
  // tells, when it tells one.
  std::function<std::optional<std::string>(std::string_view name, const URL* folder)> create;
};

const std::vector<Kind>& kinds() {
  static const std::vector<Kind> all = {
      {"CsvLogger",
       [](const URL& url) {
         auto logger = CsvLogger::createWithLogFileUrl("csv", url);
         return Log{logger, [logger](const std::string& r) { logger->log({r}); },
                    [logger](milliseconds timeout) { return logger->flush(timeout); }};
       },
       [](std::string_view name, const URL* folder) {
         // The CSV log does not tell its file: the folder's listing does.
         (void)(folder ? CsvLogger::create(name, *folder) : CsvLogger::create(name));
         return std::optional<std::string>();
       }},
      {"VtEventLogger",
       [](const URL& url) {
         auto logger = VtEventLogger::createWithLogFileUrl("events", url);
         return Log{logger, [logger](const std::string& r) { logger->log("c", r); },
                    [logger](milliseconds timeout) { return logger->flush(timeout); }};
       },
       [](std::string_view name, const URL* folder) {
         auto logger = folder ? VtEventLogger::create(name, *folder) : VtEventLogger::create(name);
         return std::optional<std::string>(logger->logFileUrl().path());
       }},
  };
  return all;
}

bool holds(const std::string& contents, const std::string& record) {
  return contents.find("," + record + "\n") != std::string::npos;
}

// Another open of the file holding its exclusive lock, as a backup tool or
// flock(1) would: the lock belongs to that open, so the logger's own open
// must wait for it like another process's.
class HeldLock {
 public:
  explicit HeldLock(const fs::path& file) : fd_(::open(file.c_str(), O_RDONLY | O_CLOEXEC)) {
    held_ = fd_ && ::flock(fd_.get(), LOCK_EX | LOCK_NB) == 0;
  }
  [[nodiscard]] bool held() const { return held_; }
  void release() { fd_.reset(); }

 private:
  posix::UniqueFd fd_;
  bool held_ = false;
};

// ---- The file's lock ----

TEST(LogFileWriterTest, FlushGivesUpWhileAnotherHoldsTheLockAndTheRecordFollowsLater) {
  for (const Kind& kind : kinds()) {
    SCOPED_TRACE(kind.owner);
    TemporaryDirectory tmp;
    const fs::path file = tmp.path() / "locked.log";
    Log log = kind.open(fileUrl(file));
    HeldLock lock(file);
    ASSERT_TRUE(lock.held());
    log.log("r1");
    const auto start = steady_clock::now();
    EXPECT_FALSE(log.flush(milliseconds(200)));
    EXPECT_LT(steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_EQ(readFile(file), "");
    // Kept queued, not dropped: once the lock is free the record lands.
    lock.release();
    EXPECT_TRUE(log.flush(milliseconds(10000)));
    EXPECT_TRUE(holds(readFile(file), "r1")) << readFile(file);
  }
}

// More loggers on locked files than the pool has threads to spare: none
// keeps one, so the others' flushes end and a free file is written at once.
TEST(LogFileWriterTest, LoggersOnLockedFilesHoldNoThreadOthersNeed) {
  TemporaryDirectory tmp;
  constexpr int kLocked = 24;
  std::vector<Log> logs;
  std::vector<std::unique_ptr<HeldLock>> locks;
  for (int i = 0; i < kLocked; ++i) {
    const fs::path file = tmp.path() / ("locked" + std::to_string(i) + ".log");
    logs.push_back(kinds()[static_cast<std::size_t>(i % 2)].open(fileUrl(file)));
    locks.push_back(std::make_unique<HeldLock>(file));
    ASSERT_TRUE(locks.back()->held());
    logs.back().log("r" + std::to_string(i));
  }
  Log free = kinds()[0].open(fileUrl(tmp.path() / "free.log"));
  free.log("free");
  EXPECT_TRUE(free.flush(milliseconds(10000)));
  EXPECT_TRUE(holds(readFile(tmp.path() / "free.log"), "free"));
  const auto start = steady_clock::now();
  for (Log& log : logs) EXPECT_FALSE(log.flush(milliseconds(50)));
  EXPECT_LT(steady_clock::now() - start, std::chrono::seconds(10));
  locks.clear();
  for (int i = 0; i < kLocked; ++i) {
    EXPECT_TRUE(logs[static_cast<std::size_t>(i)].flush(milliseconds(10000)));
    EXPECT_TRUE(holds(readFile(tmp.path() / ("locked" + std::to_string(i) + ".log")), "r" + std::to_string(i)));
  }
}

void logOneEachAndExit(const std::vector<fs::path>& files) {
  std::vector<Log> logs;
  for (std::size_t i = 0; i < files.size(); ++i) {
    logs.push_back(kinds()[i].open(fileUrl(files[i])));
    logs.back().log("r1");
  }
  std::exit(0);
}

// A program that logs and ends while another holds its files' locks ends
// within the exit hook's bound and says, for each file, that its record is
// lost.
TEST(LogFileWriterTest, RecordsStillLockedOutAtExitAreReportedOnStandardError) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const fs::path dir = testing::deathTestFolder("log-locked-exit");
  std::vector<fs::path> files;
  std::vector<std::unique_ptr<HeldLock>> locks;
  std::string expected = "^";
  for (const Kind& kind : kinds()) {
    files.push_back(dir / (std::string(kind.owner) + ".log"));
    // The child runs this test again from the start: its own tries fail.
    if (!::testing::internal::InDeathTestChild()) testing::writeFile(files.back(), "");
    locks.push_back(std::make_unique<HeldLock>(files.back()));
    if (!::testing::internal::InDeathTestChild()) {
      ASSERT_TRUE(locks.back()->held());
    }
    expected += std::string(kind.owner) + ": lines lost writing " + files.back().string() +
                ": the file stayed locked by another writer\n";
  }
  const auto start = steady_clock::now();
  EXPECT_EXIT(logOneEachAndExit(files), ::testing::ExitedWithCode(0), expected + "$");
  // The hook's bound, and the child's start on a loaded machine.
  EXPECT_LT(steady_clock::now() - start, foundation_internal::LogFileWriter::kExitDrainBound + std::chrono::seconds(20));
  for (const fs::path& file : files) EXPECT_EQ(readFile(file), "");
  fs::remove_all(dir);
}

// ---- Records that never reach the file ----

TEST(LogFileWriterTest, FlushAnswersFalseForRecordsAFullDiskLostAndEachLossIsTold) {
  for (const Kind& kind : kinds()) {
    SCOPED_TRACE(kind.owner);
    TemporaryDirectory tmp;
    const fs::path file = tmp.path() / "full.log";
    Log log = kind.open(fileUrl(file));
    log.log("r0");
    ASSERT_TRUE(log.flush(milliseconds(10000)));
    const std::string lostLine =
        std::string(kind.owner) + ": lines lost writing " + file.string() + ": File too large\n";
    ConsoleCapture capture;
    {
      // Room for about one more record: the next batch is cut inside.
      ScopedFileSizeLimit full(fs::file_size(file) * 2 - 4);
      ASSERT_TRUE(full.active());
      for (int i = 1; i <= 20; ++i) log.log("r" + std::to_string(i));
      EXPECT_FALSE(log.flush(milliseconds(10000)));
      // Still full: lost again, and the flush says so, but the line is not
      // printed again for the same run of failures.
      log.log("r21");
      EXPECT_FALSE(log.flush(milliseconds(10000)));
      EXPECT_EQ(capture.standardError(), lostLine);
      // A flush that covers no new loss answers true.
      EXPECT_TRUE(log.flush(milliseconds(10000)));
    }
    // Space again: new records land, on a record of their own.
    log.log("r22");
    EXPECT_TRUE(log.flush(milliseconds(10000)));
    const std::string contents = readFile(file);
    EXPECT_TRUE(holds(contents, "r0"));
    EXPECT_FALSE(holds(contents, "r2"));
    EXPECT_FALSE(holds(contents, "r21"));
    const std::size_t r22 = contents.rfind('\n', contents.size() - 2);
    EXPECT_TRUE(contents.substr(r22 + 1).ends_with(",r22\n")) << contents;
    EXPECT_TRUE(isdigit(static_cast<unsigned char>(contents[r22 + 1]))) << contents;
    {
      // Full again after the recovery: told again.
      ScopedFileSizeLimit full(fs::file_size(file));
      ASSERT_TRUE(full.active());
      log.log("r23");
      EXPECT_FALSE(log.flush(milliseconds(10000)));
    }
    EXPECT_EQ(capture.standardError(), lostLine + lostLine);
    EXPECT_FALSE(holds(readFile(file), "r23"));
  }
}

// No memory to build a batch (two huge fields under a tight limit): the
// record is lost and told, and the logger goes on.
TEST(LogFileWriterTest, BatchWithoutMemoryIsLostAndTheLoggerGoesOn) {
  for (const Kind& kind : kinds()) {
    SCOPED_TRACE(kind.owner);
    TemporaryDirectory tmp;
    const fs::path file = tmp.path() / "memory.log";
    Log log = kind.open(fileUrl(file));
    ConsoleCapture capture;
    foundation_internal::LogFileWriter::setBatchByteLimitForTesting(std::size_t{1} << 20);
    log.log(std::string(std::size_t{1} << 20, 'x') + "," + std::string(std::size_t{1} << 20, 'y'));
    const bool flushed = log.flush(milliseconds(10000));
    foundation_internal::LogFileWriter::setBatchByteLimitForTesting(std::nullopt);
    EXPECT_FALSE(flushed);
    EXPECT_EQ(capture.standardError(),
              std::string(kind.owner) + ": lines lost writing " + file.string() + ": Cannot allocate memory\n");
    log.log("after");
    EXPECT_TRUE(log.flush(milliseconds(10000)));
    const std::string contents = readFile(file);
    EXPECT_TRUE(contents.ends_with(",after\n")) << contents.substr(0, 100);
    EXPECT_EQ(contents.find('x'), std::string::npos);
  }
}

// ---- File names ----

TEST(LogFileWriterTest, NamedLogsStayInTheirFolder) {
  TemporaryDirectory tmp;
  ScopedEnv home("HOME", tmp.path().string());
  ScopedEnv data("XDG_DATA_HOME", (tmp.path() / "data").string());
  const fs::path defaultFolder = tmp.path() / "data" / "Private Documents" / "logs";
  const fs::path base = tmp.path() / "base";
  const URL baseUrl = fileUrl(base, true);
  const struct {
    std::string name;
    std::string file;  // "" when refused
  } cases[] = {
      {"app", "app.log"},
      {"app.log", "app.log.log"},
      {".hidden", ".hidden.log"},
      {"x.", "x..log"},
      {"...", "....log"},
      {"two words ü", "two words ü.log"},
      {"", ""},
      {".", ""},
      {"..", ""},
      {"x/", ""},
      {"a/b", ""},
      {"/abs", ""},
      {"../up", ""},
      {std::string("nul\0x", 5), ""},
  };
  for (const Kind& kind : kinds()) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(kind.owner) + " \"" + c.name + "\"");
      for (const URL* folder : {static_cast<const URL*>(nullptr), &baseUrl}) {
        const fs::path dir = folder ? base : defaultFolder;
        fs::remove_all(tmp.path() / "data");
        fs::remove_all(base);
        ConsoleCapture capture;
        if (c.file.empty()) {
          try {
            (void)kind.create(c.name, folder);
            ADD_FAILURE() << "no error";
          } catch (const std::exception& e) {
            EXPECT_STREQ(e.what(), "cannotCreateFile");
          }
          EXPECT_EQ(capture.standardError(), std::string(kind.owner) + ": cannot create a log named \"" + c.name +
                                                 "\": the name must be a file name (not empty, \".\", \"..\" or "
                                                 "holding \"/\")\n");
          // Refused before anything is made.
          EXPECT_FALSE(fs::exists(dir));
        } else {
          const std::optional<std::string> made = kind.create(c.name, folder);
          EXPECT_EQ(made.value_or((dir / c.file).string()), (dir / c.file).string());
          EXPECT_EQ(std::vector<fs::path>{dir / c.file},
                    std::vector<fs::path>(fs::directory_iterator(dir), fs::directory_iterator()));
          EXPECT_EQ(capture.standardError(), "");
        }
      }
    }
  }
}

}  // namespace
}  // namespace vantrel
