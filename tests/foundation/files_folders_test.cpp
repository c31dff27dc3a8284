#include <unistd.h>

#include <filesystem>

#include "tests/foundation/files_test_support.h"
#include "tests/support/fixtures.h"
#include "vantrel/platform/foundation/files/folders.h"
#include "vantrel/platform/foundation/bundles/internal/info_json.h"
#include "vantrel/platform/foundation/files/internal/user_dirs.h"
#include "vantrel/platform/foundation/bundles/main_bundle.h"
#include "vantrel/platform/foundation/files/url.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using testing::ScopedEnv;
using testing::TemporaryDirectory;
using testing::writeFile;

TEST(FilesFolders, XdgMappingReadsTheEnvironmentOnEveryCall) {
  TemporaryDirectory tmp;
  const std::string home = tmp.path().string();
  ScopedEnv h("HOME", home);
  ScopedEnv data("XDG_DATA_HOME", std::nullopt);
  ScopedEnv cache("XDG_CACHE_HOME", "");            // empty: ignored
  ScopedEnv config("XDG_CONFIG_HOME", "relative");  // not absolute: ignored
  ScopedEnv tmpdir("TMPDIR", std::nullopt);
  struct Case {
    StandardFolder folder;
    std::string expected;
  };
  const Case defaults[] = {
      {StandardFolder::home, home},
      {StandardFolder::library, home + "/.local/share"},
      {StandardFolder::applicationSupport, home + "/.local/share"},
      {StandardFolder::caches, home + "/.cache"},
      {StandardFolder::preferences, home + "/.config"},
      {StandardFolder::documents, home + "/Documents"},
      {StandardFolder::desktop, home + "/Desktop"},
      {StandardFolder::downloads, home + "/Downloads"},
      {StandardFolder::pictures, home + "/Pictures"},
      {StandardFolder::movies, home + "/Videos"},
      {StandardFolder::music, home + "/Music"},
      {StandardFolder::temporary, "/tmp"},
  };
  for (const Case& c : defaults) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(standardFolderPath(c.folder), c.expected);
  }

  ScopedEnv data2("XDG_DATA_HOME", home + "/data/");
  ScopedEnv cache2("XDG_CACHE_HOME", home + "/cache");
  ScopedEnv config2("XDG_CONFIG_HOME", home + "/config");
  ScopedEnv tmpdir2("TMPDIR", home + "/t");
  fs::create_directories(tmp.path() / "config");
  writeFile(tmp.path() / "config" / "user-dirs.dirs",
            "# written by xdg-user-dirs-update\n"
            "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n"
            "XDG_MUSIC_DIR=\"/srv/music\"\n"
            "XDG_PICTURES_DIR=\"relative/ignored\"\n");
  EXPECT_EQ(standardFolderPath(StandardFolder::library), home + "/data");
  EXPECT_EQ(standardFolderPath(StandardFolder::caches), home + "/cache");
  EXPECT_EQ(standardFolderPath(StandardFolder::preferences), home + "/config");
  EXPECT_EQ(standardFolderPath(StandardFolder::temporary), home + "/t");
  EXPECT_EQ(standardFolderPath(StandardFolder::documents), home + "/Dokumente");
  EXPECT_EQ(standardFolderPath(StandardFolder::music), "/srv/music");
  EXPECT_EQ(standardFolderPath(StandardFolder::pictures), home + "/Pictures");
}

TEST(FilesFolders, UserDirsReader) {
  struct Case {
    std::string contents;
    std::optional<std::string> expected;
  };
  const Case cases[] = {
      {"XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n", "/h/Docs"},
      {"XDG_DOCUMENTS_DIR=\"$HOME\"", "/h"},
      {"  XDG_DOCUMENTS_DIR=\"$HOME/My\\\"Docs\\\\\"", "/h/My\"Docs\\"},
      {"XDG_DOCUMENTS_DIR=\"/a\"\nXDG_DOCUMENTS_DIR=\"/b/\"\n", "/b"},
      {"#XDG_DOCUMENTS_DIR=\"/a\"\n", std::nullopt},
      {"XDG_DOCUMENTS_DIRX=\"/a\"\n", std::nullopt},
      {"XDG_DOCUMENTS_DIR=\"$HOMEX/a\"\n", std::nullopt},
      {"XDG_DOCUMENTS_DIR=\"/unterminated\n", std::nullopt},
      {"XDG_DOCUMENTS_DIR=/bare\n", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.contents);
    EXPECT_EQ(foundation_internal::userDirsValue(c.contents, "XDG_DOCUMENTS_DIR", "/h"), c.expected);
  }
}

TEST(FilesFolders, InfoJsonReader) {
  struct Case {
    std::string json;
    std::optional<std::string> expected;
  };
  const Case cases[] = {
      {R"({"CFBundleIdentifier": "com.example.tool"})", "com.example.tool"},
      {R"( { "a": [1, {"b": null}], "CFBundleIdentifier" : "x\u00e9\ud83d\ude00\n", "c": true } )",
       "x\xC3\xA9\xF0\x9F\x98\x80\n"},
      {R"({"CFBundleIdentifier": 42})", std::nullopt},
      {R"({"other": "x"})", std::nullopt},
      {R"({"CFBundleIdentifier": "a", "CFBundleIdentifier": "b"})", "b"},
      {R"({"CFBundleIdentifier": "a")", std::nullopt},
      {R"(["CFBundleIdentifier", "a"])", std::nullopt},
      {R"({"CFBundleIdentifier": "\ud800"})", std::nullopt},
      {R"({"CFBundleIdentifier": "a"} trailing)", std::nullopt},
      {std::string(1000, '['), std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.json.substr(0, 60));
    EXPECT_EQ(foundation_internal::infoJsonText(c.json, "CFBundleIdentifier"), c.expected);
  }
  const std::string deep = "{\"x\":" + std::string(300, '[') + std::string(300, ']') + "}";
  EXPECT_EQ(foundation_internal::infoJsonText(deep, "CFBundleIdentifier"), std::nullopt);
}

TEST(FilesFolders, MainBundleIdentifierRegisteredOrFromInfoJson) {
  const fs::path info = fs::path(mainBundlePath()) / "Info.json";
  ASSERT_FALSE(fs::exists(info)) << "a stray Info.json beside the test executable";
  EXPECT_EQ(mainBundleIdentifier(), std::nullopt);
  writeFile(info, R"({"CFBundleIdentifier": "com.example.files-test"})");
  EXPECT_EQ(mainBundleIdentifier(), "com.example.files-test");
  registerMainBundleIdentifier("org.host.chosen");
  EXPECT_EQ(mainBundleIdentifier(), "org.host.chosen");
  registerMainBundleIdentifier(std::nullopt);
  EXPECT_EQ(mainBundleIdentifier(), "com.example.files-test");
  writeFile(info, R"({"CFBundleIdentifier": ""})");
  EXPECT_EQ(mainBundleIdentifier(), std::nullopt);
  fs::remove(info);
}

TEST(FilesFolders, FileUrls) {
  const URL folder = URL::fileURLWithPath("/tmp//Private Documents/./logs/", true);
  EXPECT_EQ(folder.path(), "/tmp/Private Documents/logs");
  EXPECT_EQ(folder.absoluteString(), "file:///tmp/Private%20Documents/logs/");
  const URL file = folder.appendingPathComponent("x%#ü.log");
  EXPECT_EQ(file.description(), "file:///tmp/Private%20Documents/logs/x%25%23%C3%BC.log");
  EXPECT_EQ(file.lastPathComponent(), "x%#ü.log");
  EXPECT_EQ(file.pathExtension(), "log");
  EXPECT_EQ(file.deletingLastPathComponent(), folder);
  EXPECT_EQ(URL::fileURLWithPath("/").description(), "file:///");
  EXPECT_EQ(URL::fileURLWithPath("/a/../b").path(), "/a/../b");  // ".." is not resolved blindly
  char cwd[4096];
  ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
  EXPECT_EQ(URL::fileURLWithPath("rel/x").path(), std::string(cwd) + "/rel/x");
}

}  // namespace
}  // namespace vantrel
