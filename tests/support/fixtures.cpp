#include "tests/support/fixtures.h"

#include <cstdlib>
#include <stdexcept>

#include <stdlib.h>

namespace vantrel::testing {

std::optional<std::filesystem::path> fixturesDirectory() {
  const std::filesystem::path dir = VANTREL_TEST_DATA;
  std::error_code ec;
  if (std::filesystem::is_directory(dir, ec)) return dir;
  return std::nullopt;
}

TemporaryDirectory::TemporaryDirectory() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vantrel-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TemporaryDirectory::~TemporaryDirectory() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

}  // namespace vantrel::testing
