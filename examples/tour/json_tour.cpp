#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include <vantrel/json/json.h>
#include <vantrel/json/json_writer.h>
#include <vantrel/platform/posix/read_file.h>
#include <vantrel/platform/posix/replace_file.h>

#include "tour.h"

using namespace vantrel;

TOUR_SECTION(66, "JSON: a file replaced atomically, read whole, values picked") {
  const std::string path = (std::filesystem::temp_directory_path() / "vantrel-tour-settings.json").string();
  // A reader of the file sees the old text or the whole new one, never a part.
  if (std::error_code e = posix::replaceFileAtomically(
          path, R"({"name": "tour", "window": {"width": 800}, "recent": ["a.txt", "b.txt"]})")) {
    std::printf("cannot write %s: %s\n", path.c_str(), e.message().c_str());
    return;
  }
  std::string text;
  const std::error_code readError = posix::readFile(path, text);
  std::filesystem::remove(path);
  if (readError) {
    std::printf("cannot read %s: %s\n", path.c_str(), readError.message().c_str());
    return;
  }
  const Json settings = Json::fromData(text);
  std::printf("name %s, width %lld, second file %s, sixth file %s\n", settings["name"].stringValue().c_str(),
              static_cast<long long>(settings("window", "width").intValue()),
              settings("recent", 1).string().value_or("none").c_str(),
              settings("recent", 5).string().value_or("none").c_str());
  // A miss is no exception: the value says why it is absent.
  std::printf("missing key exists: %s\n", settings["colour"].exists() ? "yes" : "no");
}

TOUR_SECTION(67, "JSON: strict reading, merging and sorted writing") {
  try {
    (void)Json::fromData(R"({"a": 1,})");
  } catch (const JsonReadError& e) {
    std::printf("%s\n", e.what());
  }
  Json base = Json::fromParseString(R"({"b": [1], "a": {"x": true}})");
  base.merge(Json::fromParseString(R"({"b": [2.5], "a": {"y": null}, "c": "new"})"));
  std::printf("%s", JsonWriter(std::nullopt).string(base.managedJsonObject()).c_str());
  std::printf("%s", base.makeStringJsonWriter("  ").c_str());
}
