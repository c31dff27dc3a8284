#include "vantrel/foundation/resources/json_resources.h"

#include <sys/stat.h>

#include <filesystem>

#include "tests/foundation/files_test_support.h"
#include "tests/support/fixtures.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using testing::TemporaryDirectory;

// A bare LZFSE stream holding `text` in one raw block.
std::string lzfseRaw(const std::string& text) {
  std::string out = "bvx-";
  for (int i = 0; i < 4; ++i) out += static_cast<char>(text.size() >> (8 * i));
  return out + text + "bvx$";
}

Data bytes(std::string_view text) { return Data(text.begin(), text.end()); }

TEST(JsonResources, SearchOverFolders) {
  TemporaryDirectory dir;
  const auto folder = [&](const char* name, std::initializer_list<std::pair<const char*, std::string>> files) {
    fs::create_directories(dir.path() / name);
    for (const auto& [file, contents] : files) testing::writeFile(dir.path() / name / file, contents);
    return URL::fileURLWithPath((dir.path() / name).string(), true);
  };
  const URL plain = folder("plain", {{"a.json", "{\"from\": \"plain\"}"}});
  const URL packed = folder("packed", {{"a.jzip", lzfseRaw("{\"from\": \"packed\"}")}});
  const URL both = folder("both", {{"a.json", "{\"from\": \"both\"}"}, {"a.jzip", lzfseRaw("{}")}});
  const URL corrupt = folder("corrupt", {{"a.jzip", "bvx-\x09\0\0\0{}"}});
  const URL empty = folder("empty", {});
  const URL emptyJson = folder("emptyjson", {{"a.json", ""}});
  const URL doubled = folder("doubled", {{"a.json.json", "{\"doubled\": 1}"}});
  const URL missing = URL::fileURLWithPath((dir.path() / "missing").string(), true);

  struct Case {
    const char* what;
    std::string name;
    std::vector<URL> folders;
    std::optional<std::string> expected;
  };
  const Case cases[] = {
      {".json", "a", {plain}, "{\"from\": \"plain\"}"},
      {".jzip", "a", {packed}, "{\"from\": \"packed\"}"},
      {"both: the plain file wins", "a", {both}, "{\"from\": \"both\"}"},
      {"the first folder's .jzip before a later .json", "a", {packed, plain}, "{\"from\": \"packed\"}"},
      {"a corrupt .jzip ends the search", "a", {corrupt, plain}, std::nullopt},
      {"empty and missing folders are passed over", "a", {empty, missing, plain}, "{\"from\": \"plain\"}"},
      {"an empty .json is returned as it is", "a", {emptyJson, plain}, ""},
      {"the extension is appended", "a.json", {doubled}, "{\"doubled\": 1}"},
      {"nothing found", "b", {plain, packed}, std::nullopt},
      {"no folders", "a", {}, std::nullopt},
      {"a name with ..", "../plain/a", {packed}, std::nullopt},
      {"a name with /", "x/a", {URL::fileURLWithPath(dir.path().string(), true)},
       std::nullopt},
      {"an empty name", "", {plain}, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto found = jsonData(c.name, c.folders);
    ASSERT_EQ(found.has_value(), c.expected.has_value());
    if (found) {
      EXPECT_EQ(*found, bytes(*c.expected));
    }
  }
}

TEST(JsonResources, LinksLeavingTheFolderAreNotFollowed) {
  TemporaryDirectory dir;
  fs::create_directories(dir.path() / "res");
  fs::create_directories(dir.path() / "next");
  testing::writeFile(dir.path() / "secret.json", "{\"secret\": true}");
  testing::writeFile(dir.path() / "next" / "a.json", "{}");
  fs::create_symlink(dir.path() / "secret.json", dir.path() / "res" / "a.json");
  const std::vector<URL> folders{URL::fileURLWithPath((dir.path() / "res").string(), true),
                                 URL::fileURLWithPath((dir.path() / "next").string(), true)};
  EXPECT_FALSE(jsonData("a", folders).has_value());
  // A link inside the folder is fine.
  fs::remove(dir.path() / "res" / "a.json");
  testing::writeFile(dir.path() / "res" / "real.json", "[1]");
  fs::create_symlink("real.json", dir.path() / "res" / "a.json");
  EXPECT_EQ(jsonData("a", folders), bytes("[1]"));
}

TEST(JsonResources, CandidatesThatAreNoFilesEndTheSearchWithoutBlocking) {
  TemporaryDirectory dir;
  fs::create_directories(dir.path() / "fifo");
  fs::create_directories(dir.path() / "folder" / "a.json");
  fs::create_directories(dir.path() / "plain");
  ASSERT_EQ(::mkfifo((dir.path() / "fifo" / "a.json").c_str(), 0600), 0);
  testing::writeFile(dir.path() / "plain" / "a.json", "{}");
  const URL plain = URL::fileURLWithPath((dir.path() / "plain").string(), true);
  for (const char* name : {"fifo", "folder"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(jsonData("a", std::vector{URL::fileURLWithPath((dir.path() / name).string(), true), plain}));
  }
}

TEST(JsonResources, SearchOverPathDescriptions) {
  TemporaryDirectory dir;
  testing::ScopedEnv cache("XDG_CACHE_HOME", dir.path().string());
  fs::create_directories(dir.path() / "res" / "v2");
  testing::writeFile(dir.path() / "res" / "v2" / "maps.jzip", lzfseRaw("[\"map\"]"));
  const std::vector<Pascription> folders{Pascription(Pascription::Base::caches, {"none"}),
                                         *Pascription::fromText("$CACHES$/res/v2")};
  EXPECT_EQ(jsonData("maps", folders), bytes("[\"map\"]"));
  EXPECT_FALSE(fs::exists(dir.path() / "none"));  // nothing is created
}

TEST(JsonResources, FixtureStreamsAsJzip) {
  VANTREL_REQUIRE_FIXTURES(fixtures);
  TemporaryDirectory dir;
  fs::copy_file(fixtures / "lzfse" / "large.json.lzfse", dir.path() / "large.jzip");
  const auto found = jsonData("large", std::vector{URL::fileURLWithPath(dir.path().string(), true)});
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(found->size(), fs::file_size(fixtures / "lzfse" / "large.json"));
}

}  // namespace
}  // namespace vantrel
