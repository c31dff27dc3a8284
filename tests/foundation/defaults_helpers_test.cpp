#include "vantrel/foundation/defaults/user_defaults_helpers.h"

#include <spawn.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/foundation/files_test_support.h"
#include "tests/support/fixtures.h"
#include "vantrel/foundation/defaults/internal/vantrel_user_defaults_state.h"
#include "vantrel/foundation/defaults/vantrel_user_defaults.h"

extern char** environ;

namespace vantrel {
namespace {

using testing::TemporaryDirectory;

// A defaults folder of its own, and the switch read anew, for each test.
class DefaultsHelpers : public ::testing::Test {
 protected:
  void SetUp() override { foundation_internal::resetVantrelUserDefaultsForTesting(); }
  void TearDown() override { foundation_internal::resetVantrelUserDefaultsForTesting(); }

  TemporaryDirectory temp_;
  ScopedUserDefaultsDirectory scope_{temp_.path().string()};
  std::shared_ptr<UserDefaults> store_ = UserDefaults::create("org.vantrel.tests.helpers");
};

TEST_F(DefaultsHelpers, EachStoredKindReadsOnlyAsItsOwnKind) {
  constexpr double nan = std::numeric_limits<double>::quiet_NaN();
  constexpr double inf = std::numeric_limits<double>::infinity();
  struct Row {
    const char* key;
    DefaultsValue stored;
    std::optional<std::int64_t> asInt;
    std::optional<double> asDouble;
    std::optional<bool> asBool;
    std::optional<std::string> asString;
  };
  const std::vector<Row> rows = {
      {"int", std::int64_t{7}, 7, 7.0, true, std::nullopt},
      {"double", 2.7, 2, 2.7, true, std::nullopt},
      {"negative", -2.7, -2, -2.7, true, std::nullopt},
      {"true", true, 1, 1.0, true, std::nullopt},
      {"false", false, 0, 0.0, false, std::nullopt},
      {"YES", "YES", std::nullopt, std::nullopt, std::nullopt, "YES"},
      {"digits", "12", std::nullopt, std::nullopt, std::nullopt, "12"},
      {"nan", nan, std::nullopt, std::nullopt, true, std::nullopt},
      {"inf", inf, std::nullopt, inf, true, std::nullopt},
      {"-inf", -inf, std::nullopt, -inf, true, std::nullopt},
      {"huge", 1e19, std::nullopt, 1e19, true, std::nullopt},
      {"lowest", -9223372036854775808.0, std::numeric_limits<std::int64_t>::min(), -9223372036854775808.0, true,
       std::nullopt},
      {"strings", std::vector<std::string>{"a"}, std::nullopt, std::nullopt, std::nullopt, std::nullopt},
  };
  for (const Row& row : rows) store_->set(row.key, row.stored);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.key);
    EXPECT_EQ(vtIntForKey(*store_, row.key), row.asInt);
    if (row.key != std::string("nan")) {
      EXPECT_EQ(vtDoubleForKey(*store_, row.key), row.asDouble);
    }
    EXPECT_EQ(vtBoolForKey(*store_, row.key), row.asBool);
    EXPECT_EQ(vtStringForKey(*store_, row.key), row.asString);
    EXPECT_FALSE(vtDateForKey(*store_, row.key));
    EXPECT_FALSE(vtDataForKey(*store_, row.key));
  }
  EXPECT_TRUE(std::isnan(*vtDoubleForKey(*store_, "nan")));
  EXPECT_EQ(vtIntForKey(*store_, "never written"), std::nullopt);
  EXPECT_EQ(vtStringDictionaryForKey(*store_, "never written"), StringDictionary{});
}

TEST_F(DefaultsHelpers, ContainersDatesAndData) {
  const auto date = DefaultsValue::Date(std::chrono::seconds(1700000000));
  vtSetDate(*store_, date, "date");
  vtSetData(*store_, DefaultsValue::Data{1, 2, 3}, "data");
  vtSetStringArray(*store_, std::vector<std::string>{"a", "b"}, "texts");
  store_->set("mixed", DefaultsValue::Array{DefaultsValue("a"), DefaultsValue(std::int64_t{1})});
  vtSetStringDictionary(*store_, StringDictionary{{"k", "v"}}, "dict");
  store_->set("mixedDict", DefaultsValue::Dictionary{{"k", DefaultsValue("v")}, {"n", DefaultsValue(std::int64_t{2})}});

  EXPECT_EQ(vtDateForKey(*store_, "date"), date);
  EXPECT_EQ(vtDataForKey(*store_, "data"), (DefaultsValue::Data{1, 2, 3}));
  EXPECT_EQ(vtStringArrayForKey(*store_, "texts"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(vtStringArrayForKey(*store_, "mixed"), std::nullopt);
  EXPECT_EQ(vtStringDictionaryForKey(*store_, "dict"), (StringDictionary{{"k", "v"}}));
  EXPECT_EQ(vtStringDictionaryForKey(*store_, "mixedDict"), StringDictionary{});
  EXPECT_EQ(vtStringDictionaryForKey(*store_, "texts"), StringDictionary{});
  EXPECT_EQ(vtIntForKey(*store_, "date"), std::nullopt);

  vtSetInt(*store_, 3, "gone");
  vtSetInt(*store_, std::nullopt, "gone");
  EXPECT_EQ(store_->object("gone"), std::nullopt);
  vtSetStringDictionary(*store_, std::nullopt, "dict");
  EXPECT_EQ(store_->object("dict"), std::nullopt);
}

TEST_F(DefaultsHelpers, DoOnceHoldsAcrossAFreshStore) {
  int first = 0;
  int second = 0;
  vtDoOnce(*store_, "welcome", [&] { ++first; }, [&] { ++second; });
  vtDoOnce(*store_, "welcome", [&] { ++first; });
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 0);
  EXPECT_TRUE(vtWasDoneOnce(*store_, "welcome"));
  EXPECT_EQ(store_->object("wasDoneOnce_welcome"), DefaultsValue(true));

  auto relaunched = UserDefaults::create("org.vantrel.tests.helpers");
  vtDoOnce(*relaunched, "welcome", [&] { ++first; }, [&] { ++second; });
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 1);
  EXPECT_FALSE(vtWasDoneOnce(*relaunched, "other"));
}

TEST_F(DefaultsHelpers, IgnoreStateNeedsTheTextYes) {
  struct Row {
    DefaultsValue stored;
    bool on;
  };
  for (const Row& row : std::vector<Row>{{"YES", true}, {"yes", false}, {true, false}, {"NO", false}}) {
    store_->set("ApplePersistenceIgnoreState", row.stored);
    EXPECT_EQ(develop_ignoreState(*store_), row.on) << row.stored.description();
  }
}

TEST_F(DefaultsHelpers, TypeFormsAndVantrelUserDefaultsUseTheStandardStore) {
  vtSetInt(5, "Level");
  EXPECT_EQ(vtIntForKey(*UserDefaults::standard(), "Level"), 5);
  EXPECT_EQ(vantrelUserDefaults.intForKey("Level"), 5);
  vantrelUserDefaults.setString("x", "Name");
  EXPECT_EQ(vtStringForKey("Name"), "x");
  // The switch was read at the first use above: turning it on now changes nothing.
  vtSetString("YES", "ApplePersistenceIgnoreState");
  EXPECT_EQ(vantrelUserDefaults.intForKey("Level"), 5);
  EXPECT_TRUE(vantrelUserDefaults.synchronize());
}

TEST_F(DefaultsHelpers, DarkMode) {
  struct Row {
    std::optional<DefaultsValue> style;
    bool dark;
  };
  const std::vector<Row> rows = {{DefaultsValue("Dark"), true},  {DefaultsValue("dark"), true},
                                 {DefaultsValue("DARK"), true},  {DefaultsValue("Light"), false},
                                 {DefaultsValue("darker"), false}, {DefaultsValue(std::int64_t{1}), false},
                                 {std::nullopt, false}};
  for (const Row& row : rows) {
    auto global = UserDefaults::create(UserDefaults::globalDomain);
    if (row.style) global->set("AppleInterfaceStyle", *row.style);
    else global->removeObject("AppleInterfaceStyle");
    global->synchronize();
    EXPECT_EQ(isDarkMode(), row.dark) << (row.style ? row.style->description() : "none");
  }
}

// Runs in a child started with the switch on its command line.
TEST(DefaultsSwitchChild, GettersAnswerNothingUnderTheSwitch) {
  const char* dir = std::getenv("VANTREL_TEST_SWITCH_DEFAULTS");
  if (dir == nullptr) GTEST_SKIP() << "runs only as the child of SwitchFromTheCommandLine";
  ScopedUserDefaultsDirectory scope(dir);
  foundation_internal::resetVantrelUserDefaultsForTesting();
  auto store = UserDefaults::standard();
  vtSetInt(*store, 5, "Level");
  EXPECT_TRUE(develop_ignoreState(*store));
  EXPECT_EQ(vantrelUserDefaults.intForKey("Level"), std::nullopt);
  EXPECT_EQ(vantrelUserDefaults.stringForKey("ApplePersistenceIgnoreState"), std::nullopt);
  vantrelUserDefaults.setInt(9, "Written");
  EXPECT_EQ(vtIntForKey(*store, "Written"), 9);
  EXPECT_EQ(vtIntForKey("Level"), 5);
  // The argument domain is read, never written.
  EXPECT_FALSE(store->dictionaryRepresentation().contains("ApplePersistenceIgnoreState"));
  foundation_internal::resetVantrelUserDefaultsForTesting();
}

TEST(DefaultsSwitch, SwitchFromTheCommandLine) {
  TemporaryDirectory temp;
  const std::string out = (temp.path() / "child.out").string();
  std::vector<std::string> args = {"/proc/self/exe", "--gtest_filter=DefaultsSwitchChild.*",
                                   "-ApplePersistenceIgnoreState", "YES"};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> env = {"VANTREL_TEST_SWITCH_DEFAULTS=" + temp.path().string()};
  for (char** e = environ; *e != nullptr; ++e) env.emplace_back(*e);
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()), 0);
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  const std::string output = testing::readFile(out);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << output;
  EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;
}

}  // namespace
}  // namespace vantrel
