#include "vantrel/platform/foundation/defaults/user_defaults.h"

#include <filesystem>

#include "tests/foundation/localization_test_support.h"
#include "vantrel/core/console.h"

namespace vantrel {
namespace {

using testing::readWholeFile;
using testing::TemporaryDirectory;
using testing::writeWholeFile;

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
  mine->set("again", 3);                             // the write reads the file again
  EXPECT_EQ(mine->integerForKey("theirs"), 2);
  EXPECT_EQ(mine->integerForKey("mine"), 1);
  EXPECT_TRUE(theirs->synchronize());
  EXPECT_EQ(theirs->integerForKey("again"), 3);
}

TEST(UserDefaultsTest, AnUnreadableFileIsReportedAndKeptAside) {
  TemporaryDirectory temp;
  ScopedUserDefaultsDirectory scope(temp.path().string());
  const auto path = temp.path() / "bad.json";
  writeWholeFile(path, "{not json");
  ConsoleCapture capture;
  auto defaults = UserDefaults::create("bad");
  EXPECT_EQ(defaults->object("x"), std::nullopt);
  EXPECT_TRUE(defaults->set("x", 1));
  EXPECT_EQ(readWholeFile(temp.path() / "bad.json.corrupt"), "{not json");
  EXPECT_EQ(UserDefaults::create("bad")->integerForKey("x"), 1);
  const std::string out = capture.standardOutput();
  EXPECT_NE(out.find("User defaults file \"" + path.string() + "\" cannot be read; its values are ignored"),
            std::string::npos);
  EXPECT_NE(out.find("kept as \"" + path.string() + ".corrupt\""), std::string::npos);
}

TEST(UserDefaultsTest, AFailedWriteIsReportedAndTheValueStaysReadable) {
  TemporaryDirectory temp;
  // A file where the folder should be: the folder cannot be made.
  writeWholeFile(temp.path() / "blocked", "");
  ScopedUserDefaultsDirectory scope((temp.path() / "blocked" / "defaults").string());
  ConsoleCapture capture;
  auto defaults = UserDefaults::create("d");
  EXPECT_FALSE(defaults->set("k", "v"));
  EXPECT_EQ(defaults->stringForKey("k"), "v");
  EXPECT_NE(capture.standardOutput().find("Couldn't save user defaults to"), std::string::npos);
}

TEST(UserDefaultsTest, DomainsBecomeSafeFileNames) {
  TemporaryDirectory temp;
  ScopedUserDefaultsDirectory scope(temp.path().string());
  EXPECT_EQ(UserDefaults::create("../evil/x")->filePath(), (temp.path() / "_.._evil_x.json").string());
  EXPECT_EQ(UserDefaults::create("")->filePath(), (temp.path() / "_.json").string());
}

}  // namespace
}  // namespace vantrel
