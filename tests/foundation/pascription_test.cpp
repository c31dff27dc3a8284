#include "vantrel/foundation/files/pascription.h"

#include <filesystem>

#include "tests/foundation/files_test_support.h"
#include "tests/support/fixtures.h"
#include "vantrel/core/console.h"
#include "vantrel/platform/foundation/bundles/bundle.h"
#include "vantrel/platform/foundation/bundles/main_bundle.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using B = Pascription::Base;
using testing::ScopedEnv;
using testing::TemporaryDirectory;

TEST(Pascription, TextFormTable) {
  struct Case {
    std::vector<std::string_view> texts;
    B base;
    std::vector<std::string> components;
  };
  const Case cases[] = {
      {{"$HOME$/a"}, B::home, {"a"}},
      {{"$HD$/a"}, B::home, {"a"}},
      {{"/$HOME$//a/"}, B::home, {"a"}},
      {{"$DESKTOP$"}, B::desktop, {}},
      {{"$DOCUMENTS$/Reports/March"}, B::documents, {"Reports", "March"}},
      {{"$DOCUMENTS$", "Reports", "March"}, B::documents, {"Reports", "March"}},
      {{"$AS$"}, B::applicationSupport, {}},
      {{"$APPLICATION_SUPPORT$"}, B::applicationSupport, {}},
      {{"$ASMBI$/x"}, B::applicationSupport_MainBundleIdentifier, {"x"}},
      {{"$CACHES$/maps"}, B::caches, {"maps"}},
      {{"$CACHESMBI$"}, B::caches_MainBundleIdentifier, {}},
      {{"$xHD$"}, B::systemCurrentUserHome, {}},
      {{"$TEMP$/a/b", "c"}, B::temp, {"a", "b", "c"}},
      {{"$TBRD$"}, B::testBundle_Resources, {}},
      {{"$MBRD$/img"}, B::mainBundle_Resources, {"img"}},
      {{"$GROUP$$"}, B::appGroupWithIdentifier(""), {}},
      {{"$GROUP$group.x$/Data"}, B::appGroupWithIdentifier("group.x"), {"Data"}},
      // The parser passes ".." on; resolution refuses it.
      {{"$TEMP$/../etc"}, B::temp, {"..", "etc"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.texts.front());
    const auto p = Pascription::fromComponents(c.texts);
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(p->base(), c.base);
    EXPECT_EQ(p->components(), c.components);
  }
}

TEST(Pascription, TokensThatNameNoBase) {
  for (std::string_view text : {"$home$", "$HOMEx$/a", "$GROUP$", "HOME", "$BUNDLE$"}) {
    SCOPED_TRACE(text);
    ConsoleCapture console;
    EXPECT_FALSE(Pascription::fromText(text).has_value());
    const std::string token(text.substr(0, text.find('/')));
    EXPECT_NE(console.standardOutput().find("Unkonw RootDirDescription: " + token), std::string::npos)
        << console.standardOutput();
  }
  ConsoleCapture console;
  EXPECT_FALSE(Pascription::fromText("///").has_value());
  EXPECT_FALSE(Pascription::fromComponents({}).has_value());
  EXPECT_EQ(console.standardOutput(), "");
}

TEST(Pascription, ConstructionAppendingAndDescription) {
  const Pascription fromBase(B::temp, {"", "a/b", "c"});
  EXPECT_EQ(fromBase.components(), (std::vector<std::string>{"a/b", "c"}));
  const Pascription caches(B::caches, {"a"});
  EXPECT_EQ(caches.pascriptionByAppending({"x/y"}).components(), (std::vector<std::string>{"a", "x", "y"}));
  EXPECT_EQ(caches.append2({"x", "y/z"}).components(), (std::vector<std::string>{"a", "x", "y", "z"}));
  EXPECT_EQ(caches.components(), std::vector<std::string>{"a"});
  EXPECT_EQ(Pascription::group("group.x")->base(), B::appGroupWithIdentifier("group.x"));

  EXPECT_EQ(Pascription(B::temp).description(), "VtPathDescription(temp 0 components: )");
  EXPECT_EQ(Pascription(B::documents, {"a", "b"}).description(), "VtPathDescription(documents 2 components: a,b)");
  EXPECT_EQ(Pascription(B::appGroupWithIdentifier("g"), {"x"}).description(),
            "VtPathDescription(appGroup(\"g\") 1 components: x)");
  EXPECT_EQ(Pascription(B::bundleWithIdentifier("org.x")).description(),
            "VtPathDescription(bundle(\"org.x\") 0 components: )");
}

// HOME and the XDG folders inside a temporary folder.
struct Home {
  TemporaryDirectory dir;
  fs::path home = dir.path() / "home" / "someone";
  ScopedEnv h{"HOME", home.string()};
  ScopedEnv data{"XDG_DATA_HOME", (dir.path() / "data").string()};
  ScopedEnv cache{"XDG_CACHE_HOME", (dir.path() / "cache").string()};
  ScopedEnv config{"XDG_CONFIG_HOME", (dir.path() / "config").string()};
  ScopedEnv tmp{"TMPDIR", (dir.path() / "tmp").string()};
  Home() {
    fs::create_directories(home);
    fs::create_directories(dir.path() / "tmp");
  }
  ~Home() { registerMainBundleIdentifier(std::nullopt); }
  std::string path(const fs::path& sub) const { return (dir.path() / sub).string(); }
};

TEST(Pascription, ResolvesEachBaseToItsFolder) {
  Home h;
  registerMainBundleIdentifier("org.example.tool");
  const std::pair<std::string_view, std::string> cases[] = {
      {"$HOME$/a", h.path("home/someone/a")},
      {"$AS$/x", h.path("data/x")},
      {"$ASMBI$", h.path("data/org.example.tool")},
      {"$CACHES$/maps", h.path("cache/maps")},
      {"$CACHESMBI$/m", h.path("cache/org.example.tool/m")},
      {"$TEMP$/t", h.path("tmp/t")},
      {"$DOCUMENTS$", h.path("home/someone/Documents")},
      {"$DESKTOP$", h.path("home/someone/Desktop")},
      {"$GROUP$group.x$/Data", h.path("data/Group Containers/group.x/Data")},
  };
  for (const auto& [text, path] : cases) {
    SCOPED_TRACE(text);
    const auto url = Pascription::fromText(text)->vendUrl();
    ASSERT_TRUE(url.has_value());
    EXPECT_EQ(url->path(), path);
    EXPECT_TRUE(url->hasDirectoryPath());
  }
  EXPECT_EQ(Pascription(B::privateDocuments).vendUrl()->path(), h.path("data/PrivateDocuments"));
}

TEST(Pascription, RealHomeIsTheFirstTwoLevelsOfHome) {
  {
    ScopedEnv home("HOME", "/Users/someone/Library/Containers/x/Data");
    EXPECT_EQ(Pascription(B::systemCurrentUserHome).vendUrl()->path(), "/Users/someone");
  }
  ScopedEnv home("HOME", "/root");
  EXPECT_EQ(Pascription(B::systemCurrentUserHome).vendUrl()->path(), "/root");
}

TEST(Pascription, BundleBases) {
  TemporaryDirectory dir;
  fs::create_directories(dir.path() / "Tests" / "Resources");
  testing::writeFile(dir.path() / "Tests" / "Info.json", R"({"CFBundleIdentifier": "org.example.AppUnitTests"})");
  ASSERT_NE(Bundle::bundleWithPath((dir.path() / "Tests").string()), nullptr);
  EXPECT_EQ(Pascription(B::testBundle_Resources).vendUrl()->path(), (dir.path() / "Tests" / "Resources").string());
  EXPECT_EQ(Pascription(B::bundleWithIdentifier("org.example.AppUnitTests"), {"a"}).vendUrl()->path(),
            (dir.path() / "Tests" / "Resources" / "a").string());
  EXPECT_EQ(Pascription(B::mainBundle_Resources).vendUrl()->path(), Bundle::main()->resourcePath());

  ConsoleCapture console;
  EXPECT_FALSE(Pascription(B::bundleWithIdentifier("org.none")).vendUrl().has_value());
  EXPECT_NE(console.standardOutput().find("NSBundle(identifier: \"org.none\")!.resourceURL is nil)"),
            std::string::npos);
}

TEST(Pascription, CreatesTheWholeLocationAsAFolder) {
  Home h;
  ConsoleCapture console;
  const auto url = Pascription::fromText("$CACHES$/maps/tiles.json")->vendUrl(nullptr, true);
  ASSERT_TRUE(url.has_value());
  EXPECT_TRUE(fs::is_directory(h.path("cache/maps/tiles.json")));
  // Again, for the existing folder: no message.
  EXPECT_EQ(Pascription::fromText("$CACHES$/maps/tiles.json")->vendUrl(nullptr, true), url);
  EXPECT_EQ(console.standardOutput(), "");
  // Without the flag nothing is created.
  EXPECT_TRUE(Pascription::fromText("$CACHES$/other")->vendUrl().has_value());
  EXPECT_FALSE(fs::exists(h.path("cache/other")));
}

TEST(Pascription, FailedCreationIsPrintedAndTheUrlAnswered) {
  Home h;
  fs::create_directories(h.path("cache"));
  testing::writeFile(h.path("cache/file"), "x");
  ConsoleCapture console;
  const auto url = Pascription::fromText("$CACHES$/file/sub")->vendUrl(nullptr, true);
  ASSERT_TRUE(url.has_value());
  EXPECT_EQ(url->path(), h.path("cache/file/sub"));
  EXPECT_NE(console.standardOutput().find("Couldn't create dir " + h.path("cache/file/sub") + ": "),
            std::string::npos);
}

TEST(Pascription, NothingLeadsOutsideTheBase) {
  Home h;
  fs::create_directories(h.path("outside"));
  fs::create_directories(h.path("tmp/inner"));
  fs::create_symlink(h.path("outside"), h.path("tmp/away"));
  fs::create_symlink("inner", h.path("tmp/near"));
  const std::vector<std::string> refused[] = {
      {".."}, {"a", ".."}, {"."}, {""}, {"a/b"}, {"/etc"}, {"..", "outside"}, {std::string("a\0b", 3)},
  };
  for (bool create : {false, true}) {
    for (const auto& components : refused) {
      SCOPED_TRACE(components.front());
      Pascription p(B::temp);
      p.setComponents(components);
      ConsoleCapture console;
      EXPECT_FALSE(p.vendUrl(nullptr, create).has_value());
    }
    SCOPED_TRACE(create);
    ConsoleCapture console;
    // A link that leaves the base, at the end or in the middle.
    EXPECT_FALSE(Pascription(B::temp, {"away"}).vendUrl(nullptr, create).has_value());
    EXPECT_FALSE(Pascription(B::temp, {"away", "x"}).vendUrl(nullptr, create).has_value());
    // A link that stays inside is followed.
    EXPECT_TRUE(Pascription(B::temp, {"near", "x"}).vendUrl(nullptr, create).has_value());
  }
  EXPECT_TRUE(fs::is_empty(h.path("outside")));
  EXPECT_TRUE(fs::is_directory(h.path("tmp/inner/x")));
  for (std::string_view text : {"$GROUP$..$", "$GROUP$$", "$GROUP$.$"}) {
    SCOPED_TRACE(text);
    ConsoleCapture console;
    EXPECT_FALSE(Pascription::fromText(text)->vendUrl(nullptr, true).has_value());
    EXPECT_NE(console.standardOutput().find("Can't get containerURLForSecurityApplicationGroupIdentifier("),
              std::string::npos);
  }
  registerMainBundleIdentifier("..");
  EXPECT_FALSE(Pascription(B::caches_MainBundleIdentifier).vendUrl(nullptr, true).has_value());
  EXPECT_FALSE(fs::exists(h.path("cache")));
}

}  // namespace
}  // namespace vantrel
