// The JSONTestSuite files: y_ must read, write back and read equal; n_ must
// be refused; i_ must end either way without harm.
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/fixtures.h"
#include "vantrel/json/json.h"
#include "vantrel/json/json_writer.h"
#include "vantrel/platform/posix/read_file.h"

namespace vantrel {
namespace {

std::vector<std::filesystem::path> casesWithPrefix(const std::filesystem::path& fixtures, const std::string& prefix) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(fixtures / "json-conformance")) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(prefix, 0) == 0 && entry.path().extension() == ".json") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string contents(const std::filesystem::path& path) {
  std::string text;
  EXPECT_FALSE(posix::readFile(path.string(), text)) << path;
  return text;
}

// Writing needs a container root; a scalar goes inside an array.
Json roundTrip(const Json& value) {
  const PlatformValue& root = value.managedJsonObject();
  if (root.array() || root.dictionary()) return Json::fromData(JsonWriter().string(root));
  const std::string text = JsonWriter(std::nullopt).string(PlatformValue(PlatformValue::Array{root}));
  return Json::fromData(text)[0];
}

TEST(JsonConformance, AcceptedFilesReadAndWriteBackEqual) {
  VANTREL_REQUIRE_FIXTURES(fixtures);
  const auto files = casesWithPrefix(fixtures, "y_");
  ASSERT_FALSE(files.empty());
  for (const auto& file : files) {
    SCOPED_TRACE(file.filename().string());
    try {
      const Json value = Json::fromData(contents(file));
      EXPECT_EQ(roundTrip(value), value);
    } catch (const std::exception& error) {
      ADD_FAILURE() << errorDescription(error);
    }
  }
}

TEST(JsonConformance, RefusedFilesFailWithAnOffset) {
  VANTREL_REQUIRE_FIXTURES(fixtures);
  const auto files = casesWithPrefix(fixtures, "n_");
  ASSERT_FALSE(files.empty());
  for (const auto& file : files) {
    SCOPED_TRACE(file.filename().string());
    const std::string text = contents(file);
    try {
      (void)Json::fromData(text);
      ADD_FAILURE() << "accepted";
    } catch (const JsonReadError& error) {
      EXPECT_LE(error.offset(), text.size());
    }
  }
}

// Which implementation-defined files are accepted is recorded here, so a
// change of the reader shows.
TEST(JsonConformance, ImplementationDefinedFilesEndEitherWay) {
  VANTREL_REQUIRE_FIXTURES(fixtures);
  std::vector<std::string> accepted;
  for (const auto& file : casesWithPrefix(fixtures, "i_")) {
    try {
      const Json value = Json::fromData(contents(file));
      EXPECT_EQ(roundTrip(value), value) << file.filename();
      accepted.push_back(file.filename().string());
    } catch (const JsonReadError&) {
    }
  }
  // Tiny numbers read as zero, integers beyond 64 bits and numbers beyond
  // the double range as exact decimals, 500 levels are within the 512
  // bound; invalid UTF-8, lone surrogates, byte-order marks and other
  // encodings are refused.
  EXPECT_EQ(accepted, std::vector<std::string>(
                          {"i_number_double_huge_neg_exp.json", "i_number_huge_exp.json",
                           "i_number_neg_int_huge_exp.json", "i_number_pos_double_huge_exp.json",
                           "i_number_real_neg_overflow.json", "i_number_real_pos_overflow.json",
                           "i_number_real_underflow.json", "i_number_too_big_neg_int.json",
                           "i_number_too_big_pos_int.json", "i_number_very_big_negative_int.json",
                           "i_structure_500_nested_arrays.json"}));
}

}  // namespace
}  // namespace vantrel
