#include "vantrel/platform/foundation/defaults/user_defaults.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include "tests/foundation/localization_test_support.h"
#include "tests/support/comma_locale.h"
#include "tests/support/spawn_self.h"
#include "vantrel/core/console.h"
#include "vantrel/platform/posix/unique_fd.h"

namespace vantrel {
namespace {

using testing::readWholeFile;
using testing::TemporaryDirectory;
using testing::writeWholeFile;

// glibc's setlocale keeps the LOCPATH it was given in a block it never frees
// (44 bytes); LeakSanitizer must not charge that to the test.
class CommaLocale {
 public:
  CommaLocale() {
    LeakCheckPause pause;
    locale_.emplace();
  }
  ~CommaLocale() {
    LeakCheckPause pause;
    locale_.reset();
  }
  bool active() const { return locale_->active(); }

 private:
#if defined(__SANITIZE_ADDRESS__)
  using LeakCheckPause = __lsan::ScopedDisabler;
#else
  struct LeakCheckPause {
    LeakCheckPause() {}  // user-provided: an unused empty pause is not a warning
  };
#endif
  std::optional<testing::ScopedCommaDecimalLocale> locale_;
};

TEST(UserDefaultsTest, TypedValuesSurviveANewStore) {
  TemporaryDirectory temp;
  ScopedUserDefaultsDirectory scope(temp.path().string());
  const DefaultsValue::Date date{std::chrono::seconds(1'700'000'000) + std::chrono::microseconds(123456)};
  {
    auto defaults = UserDefaults::create("com.example.app");
    EXPECT_TRUE(defaults->set("text", "de"));
    EXPECT_TRUE(defaults->set("int", 42));
    EXPECT_TRUE(defaults->set("double", 2.0));
    EXPECT_TRUE(defaults->set("flag", true));
    EXPECT_TRUE(defaults->set("date", date));
    EXPECT_TRUE(defaults->set("data", DefaultsValue::Data{0, 1, 2, 255}));
    EXPECT_TRUE(defaults->set("list", std::vector<std::string>{"de", "en"}));
    EXPECT_TRUE(defaults->set("dict", DefaultsValue::Dictionary{{"a", 1}, {"b", "x"}}));
  }
  auto reread = UserDefaults::create("com.example.app");
  EXPECT_EQ(reread->stringForKey("text"), "de");
  EXPECT_EQ(reread->integerForKey("int"), 42);
  // 2.0 stays a double, 42 an integer.
  ASSERT_TRUE(reread->object("double"));
  EXPECT_NE(reread->object("double")->get<double>(), nullptr);
  EXPECT_NE(reread->object("int")->get<std::int64_t>(), nullptr);
  EXPECT_TRUE(reread->boolForKey("flag"));
  EXPECT_EQ(reread->dateForKey("date"), date);
  EXPECT_EQ(reread->dataForKey("data"), (DefaultsValue::Data{0, 1, 2, 255}));
  EXPECT_EQ(reread->stringArrayForKey("list"), (std::vector<std::string>{"de", "en"}));
  EXPECT_EQ(reread->object("dict"), DefaultsValue(DefaultsValue::Dictionary{{"a", 1}, {"b", "x"}}));
  EXPECT_EQ(reread->filePath(), (temp.path() / "com.example.app.json").string());
}

TEST(UserDefaultsTest, MissingAndMismatchedValues) {
  TemporaryDirectory temp;
  ScopedUserDefaultsDirectory scope(temp.path().string());
  auto defaults = UserDefaults::create("d");
  defaults->set("text", "x");
  defaults->set("mixed", DefaultsValue::Array{"a", 1});
  EXPECT_EQ(defaults->stringForKey("missing"), std::nullopt);
  EXPECT_EQ(defaults->integerForKey("missing"), 0);
  EXPECT_EQ(defaults->integerForKey("text"), 0);
  EXPECT_EQ(defaults->stringArrayForKey("mixed"), std::nullopt);
  EXPECT_TRUE(defaults->removeObject("text"));
  EXPECT_EQ(UserDefaults::create("d")->object("text"), std::nullopt);
}

TEST(UserDefaultsTest, ReadsFallThroughToTheGlobalDomain) {
  TemporaryDirectory temp;
  ScopedUserDefaultsDirectory scope(temp.path().string());
  UserDefaults::create("NSGlobalDomain")->set("AppleInterfaceStyle", "Dark");
  auto app = UserDefaults::create("app");
  EXPECT_EQ(app->stringForKey("AppleInterfaceStyle"), "Dark");
  app->set("AppleInterfaceStyle", "Light");
  EXPECT_EQ(app->stringForKey("AppleInterfaceStyle"), "Light");
  EXPECT_EQ(app->dictionaryRepresentation().size(), 1u);
}

TEST(UserDefaultsTest, TheSharedStoreFollowsTheTestDirectory) {
  TemporaryDirectory first;
  TemporaryDirectory second;
  {
    ScopedUserDefaultsDirectory scope(first.path().string());
    UserDefaults::standard()->set("where", "first");
    EXPECT_EQ(UserDefaults::directory(), first.path().string());
  }
  ScopedUserDefaultsDirectory scope(second.path().string());
  EXPECT_EQ(UserDefaults::standard()->stringForKey("where"), std::nullopt);
  EXPECT_TRUE(std::filesystem::exists(first.path() / (UserDefaults::standard()->domain() + ".json")));
}

TEST(UserDefaultsTest, WritesKeepChangesMadeThroughAnotherStore) {
  // Two stores of one domain stand for two processes: each has its own
  // copy, and only the file joins them.
  TemporaryDirectory temp;
  ScopedUserDefaultsDirectory scope(temp.path().string());
  auto mine = UserDefaults::create("shared");
  auto theirs = UserDefaults::create("shared");
  mine->set("mine", 1);
  theirs->set("theirs", 2);
  EXPECT_EQ(mine->object("theirs"), std::nullopt);  // not read yet
  mine->set("again", 3);
  EXPECT_TRUE(mine->synchronize());  // writes, then reads the file again
  EXPECT_EQ(mine->integerForKey("theirs"), 2);
  EXPECT_EQ(mine->integerForKey("mine"), 1);
  EXPECT_TRUE(theirs->synchronize());
  EXPECT_EQ(theirs->integerForKey("again"), 3);
}

TEST(UserDefaultsTest, ChangesAreReadableAtOnceAndOnDiskAfterSynchronize) {
  TemporaryDirectory temp;
  ScopedUserDefaultsDirectory scope(temp.path().string());
  auto defaults = UserDefaults::create("d");
  for (int i = 0; i < 100; ++i) EXPECT_TRUE(defaults->set("k", i));
  EXPECT_EQ(defaults->integerForKey("k"), 99);
  EXPECT_TRUE(defaults->removeObject("gone"));
  EXPECT_TRUE(defaults->synchronize());
  EXPECT_EQ(readWholeFile(temp.path() / "d.json"), "{\"k\":{\"type\":\"integer\",\"value\":99}}\n");
}

// The store writes "1.5" whatever the locale; it must read it back the same
// way, or the next write would count the file as damaged.
TEST(UserDefaultsTest, ValuesRoundTripUnderACommaDecimalLocale) {
  TemporaryDirectory temp;
  ScopedUserDefaultsDirectory scope(temp.path().string());
  CommaLocale comma;
  ASSERT_TRUE(comma.active());
  const DefaultsValue::Date date{std::chrono::milliseconds(1'700'000'000'250)};
  const std::vector<std::pair<std::string, DefaultsValue>> values = {
      {"half", 1.5},
      {"negative", -0.25},
      {"small", 1e-05},
      {"large", 1.5e300},
      {"whole", 3.0},
      {"infinite", std::numeric_limits<double>::infinity()},
      {"int", 42},
      {"flag", true},
      {"text", "1,5"},
      {"date", date},
      {"list", DefaultsValue::Array{2.75, "x"}},
      {"dict", DefaultsValue::Dictionary{{"ratio", 0.5}}},
  };
  auto writer = UserDefaults::create("locale");
  for (const auto& [key, value] : values) writer->set(key, value);
  EXPECT_TRUE(writer->synchronize());
  const std::string file = readWholeFile(temp.path() / "locale.json");
  EXPECT_NE(file.find("\"value\":1.5}"), std::string::npos) << file;
  ConsoleCapture capture;
  auto reader = UserDefaults::create("locale");
  for (const auto& [key, value] : values) EXPECT_EQ(reader->object(key), value) << key;
  // A change through the new store keeps every other value.
  reader->set("more", 0.125);
  EXPECT_TRUE(reader->synchronize());
  EXPECT_FALSE(std::filesystem::exists(temp.path() / "locale.json.corrupt"));
  EXPECT_EQ(UserDefaults::create("locale")->dictionaryRepresentation().size(), values.size() + 1);
  EXPECT_EQ(capture.standardOutput(), "");
}

TEST(UserDefaultsTest, NotANumberIsStoredAndReadBack) {
  TemporaryDirectory temp;
  ScopedUserDefaultsDirectory scope(temp.path().string());
  UserDefaults::create("nan")->set("x", std::numeric_limits<double>::quiet_NaN());
  EXPECT_TRUE(std::isnan(UserDefaults::create("nan")->doubleForKey("x")));
}

TEST(UserDefaultsTest, AnUnreadableFileIsReportedAndKeptAside) {
  TemporaryDirectory temp;
  ScopedUserDefaultsDirectory scope(temp.path().string());
  const auto path = temp.path() / "bad.json";
  writeWholeFile(path, "{not json");
  ConsoleCapture capture;
  auto defaults = UserDefaults::create("bad");
  EXPECT_EQ(defaults->object("x"), std::nullopt);
  EXPECT_FALSE(defaults->synchronize());
  EXPECT_TRUE(defaults->set("x", 1));
  EXPECT_TRUE(defaults->synchronize());
  EXPECT_EQ(readWholeFile(temp.path() / "bad.json.corrupt"), "{not json");
  EXPECT_EQ(UserDefaults::create("bad")->integerForKey("x"), 1);
  const std::string out = capture.standardOutput();
  EXPECT_NE(out.find("User defaults file \"" + path.string() + "\" cannot be read; its values are ignored"),
            std::string::npos);
  EXPECT_NE(out.find("kept as \"" + path.string() + ".corrupt\""), std::string::npos);
}

// A file damaged after the store read it: the next write keeps the damaged
// file under a name never used before and writes every value the store
// knows, not just the one change.
TEST(UserDefaultsTest, AFileDamagedLaterLosesNoValueTheStoreHasRead) {
  TemporaryDirectory temp;
  ScopedUserDefaultsDirectory scope(temp.path().string());
  const auto path = temp.path() / "app.json";
  auto defaults = UserDefaults::create("app");
  defaults->set("volume", 0.75);
  defaults->set("name", "me");
  ASSERT_TRUE(defaults->synchronize());
  writeWholeFile(temp.path() / "app.json.corrupt", "an older damaged file");
  ConsoleCapture capture;
  for (const std::string damage : {"{\"volume\":", "\x01\x02"}) {
    writeWholeFile(path, damage);
    EXPECT_FALSE(defaults->synchronize());         // cannot be read ...
    EXPECT_EQ(defaults->doubleForKey("volume"), 0.75);  // ... and nothing is forgotten
    defaults->set("count", 3);
    EXPECT_TRUE(defaults->synchronize());
    auto reread = UserDefaults::create("app");
    EXPECT_EQ(reread->doubleForKey("volume"), 0.75);
    EXPECT_EQ(reread->stringForKey("name"), "me");
    EXPECT_EQ(reread->integerForKey("count"), 3);
  }
  EXPECT_EQ(readWholeFile(temp.path() / "app.json.corrupt"), "an older damaged file");
  EXPECT_EQ(readWholeFile(temp.path() / "app.json.corrupt-2"), "{\"volume\":");
  EXPECT_EQ(readWholeFile(temp.path() / "app.json.corrupt-3"), "\x01\x02");
}

// Entries this version cannot read are kept, unchanged, through writes.
TEST(UserDefaultsTest, UnreadableEntriesAreKeptAndTheRestIsRead) {
  TemporaryDirectory temp;
  ScopedUserDefaultsDirectory scope(temp.path().string());
  const auto path = temp.path() / "mixed.json";
  writeWholeFile(path,
                 "{\"good\":{\"type\":\"integer\",\"value\":7},"
                 "\"future\":{\"type\":\"colour\",\"value\":[1,2,3]},"
                 "\"broken\":{\"type\":\"date\",\"value\":\"soon\"}}");
  ConsoleCapture capture;
  auto defaults = UserDefaults::create("mixed");
  EXPECT_EQ(defaults->integerForKey("good"), 7);
  EXPECT_EQ(defaults->object("future"), std::nullopt);
  defaults->set("broken", "fixed");
  EXPECT_TRUE(defaults->synchronize());
  EXPECT_EQ(readWholeFile(path),
            "{\"broken\":{\"type\":\"string\",\"value\":\"fixed\"},"
            "\"future\":{\"type\":\"colour\",\"value\":[1,2,3]},"
            "\"good\":{\"type\":\"integer\",\"value\":7}}\n");
  EXPECT_NE(capture.standardOutput().find("User defaults file \"" + path.string() +
                                          "\": entries that cannot be read are kept unchanged: broken, future"),
            std::string::npos);
}

TEST(UserDefaultsTest, AFailedWriteIsReportedAndTheValueStaysReadable) {
  TemporaryDirectory temp;
  // A file where the folder should be: the folder cannot be made.
  writeWholeFile(temp.path() / "blocked", "");
  ScopedUserDefaultsDirectory scope((temp.path() / "blocked" / "defaults").string());
  ConsoleCapture capture;
  auto defaults = UserDefaults::create("d");
  EXPECT_TRUE(defaults->set("k", "v"));
  EXPECT_FALSE(defaults->synchronize());
  EXPECT_EQ(defaults->stringForKey("k"), "v");
  EXPECT_NE(capture.standardOutput().find("Couldn't save user defaults to"), std::string::npos);
}

// Another holder of "<file>.lock": its own open file description, which an
// flock of the store's descriptor waits for as it would for another
// process's.
posix::UniqueFd holdLock(const std::string& file) {
  posix::UniqueFd fd(::open((file + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
  EXPECT_TRUE(fd);
  EXPECT_EQ(::flock(fd.get(), LOCK_EX), 0);
  return fd;
}

TEST(UserDefaultsTest, ALockHeldElsewhereFailsTheWriteWithinTheBoundAndALaterOneWritesAll) {
  TemporaryDirectory temp;
  ScopedUserDefaultsDirectory scope(temp.path().string());
  auto defaults = UserDefaults::create("locked");
  posix::UniqueFd holder = holdLock(defaults->filePath());
  {
    ConsoleCapture capture;
    EXPECT_TRUE(defaults->set("a", 1));
    EXPECT_TRUE(defaults->set("b", "two"));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(defaults->synchronize());
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, UserDefaults::kFileLockWaitBound);
    EXPECT_LT(waited, UserDefaults::kFileLockWaitBound + std::chrono::seconds(3));
    EXPECT_NE(capture.standardOutput().find("Couldn't save user defaults to \"" + defaults->filePath() +
                                            "\": \"" + defaults->filePath() + ".lock\" stayed locked by another process"),
              std::string::npos);
  }
  EXPECT_FALSE(std::filesystem::exists(defaults->filePath()));
  EXPECT_EQ(defaults->integerForKey("a"), 1);
  EXPECT_TRUE(defaults->removeObject("b"));
  EXPECT_TRUE(defaults->set("c", true));

  holder.reset();
  EXPECT_TRUE(defaults->synchronize());
  EXPECT_EQ(readWholeFile(defaults->filePath()),
            "{\"a\":{\"type\":\"integer\",\"value\":1},\"c\":{\"type\":\"bool\",\"value\":true}}\n");
}

constexpr const char* kExitChildVariable = "VANTREL_DEFAULTS_EXIT_CHILD";

// Runs only inside the child process of the next test: sets a value in the
// shared store and ends, leaving its write to the exit hook.
TEST(UserDefaultsTest, ExitChildSetsAndEnds) {
  const char* directory = std::getenv(kExitChildVariable);
  if (directory == nullptr) GTEST_SKIP() << "runs as a child process only";
  UserDefaults::setDirectoryForTesting(directory);
  EXPECT_TRUE(UserDefaults::standard()->set("k", 1));
}

// A program that sets defaults and ends while another process holds the
// lock ends within the exit bound, and says that its values were not saved.
TEST(UserDefaultsTest, AtExitALockHeldElsewhereIsWaitedForOnlyWithinTheExitBound) {
  if (std::getenv(kExitChildVariable) != nullptr) GTEST_SKIP() << "not inside a child";
  TemporaryDirectory temp;
  ScopedUserDefaultsDirectory scope(temp.path().string());
  const std::string file = UserDefaults::standard()->filePath();  // the child's, of the same program
  posix::UniqueFd holder = holdLock(file);

  const std::string output = (temp.path() / "child.out").string();
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = testing::spawnThisProgram("UserDefaultsTest.ExitChildSetsAndEnds",
                                              std::string(kExitChildVariable) + "=" + temp.path().string(), output);
  ASSERT_GT(pid, 0);

  // Polled with a limit of its own, so a child that waits for the lock
  // cannot hang the test: it is let go and reported.
  int status = 0;
  pid_t ended = 0;
  while ((ended = ::waitpid(pid, &status, WNOHANG)) == 0 &&
         std::chrono::steady_clock::now() - start < std::chrono::seconds(30)) {
    ::usleep(20'000);
  }
  const auto took = std::chrono::steady_clock::now() - start;
  if (ended == 0) {
    holder.reset();
    ::waitpid(pid, &status, 0);
  }
  ASSERT_EQ(ended, pid) << "the child still waited after 30 s";
  EXPECT_LT(took, UserDefaults::kExitWriteBound + std::chrono::seconds(5));
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
  const std::string said = readWholeFile(output);
  const bool reported = said.find("User defaults for \"" + file + "\" not saved at exit") != std::string::npos ||
                        said.find("Couldn't save user defaults to \"" + file + "\"") != std::string::npos;
  EXPECT_TRUE(reported) << said;
  EXPECT_FALSE(std::filesystem::exists(file));
}

TEST(UserDefaultsTest, DomainsBecomeSafeFileNames) {
  TemporaryDirectory temp;
  ScopedUserDefaultsDirectory scope(temp.path().string());
  EXPECT_EQ(UserDefaults::create("../evil/x")->filePath(), (temp.path() / "_.._evil_x.json").string());
  EXPECT_EQ(UserDefaults::create("")->filePath(), (temp.path() / "_.json").string());
}

}  // namespace
}  // namespace vantrel
