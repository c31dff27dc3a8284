// Helpers for the file, log and error-manager tests.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace vantrel::testing {

// Sets (or, with nullopt, unsets) an environment variable for a scope.
class ScopedEnv {
 public:
  ScopedEnv(std::string name, const std::optional<std::string>& value) : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str())) old_ = old;
    if (value) ::setenv(name_.c_str(), value->c_str(), 1);
    else ::unsetenv(name_.c_str());
  }
  ~ScopedEnv() {
    if (old_) ::setenv(name_.c_str(), old_->c_str(), 1);
    else ::unsetenv(name_.c_str());
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

// A folder shared by a death test's parent and its child (which, in the
// "threadsafe" style, re-runs the test from the start): named after the
// parent's process id and created when missing. The parent removes it.
inline std::filesystem::path deathTestFolder(const std::string& name) {
  const auto parent = ::testing::internal::InDeathTestChild() ? ::getppid() : ::getpid();
  auto dir = std::filesystem::temp_directory_path() / ("vantrel-" + name + "-" + std::to_string(parent));
  std::filesystem::create_directories(dir);
  return dir;
}

// "yyyy-MM-dd HH:mm:ss.SSS": digits where digits belong, the separators in place.
inline bool isLogDate(std::string_view text) {
  constexpr std::string_view shape = "dddd-dd-dd dd:dd:dd.ddd";
  if (text.size() != shape.size()) return false;
  for (std::size_t i = 0; i < shape.size(); ++i) {
    if (shape[i] == 'd' ? (text[i] < '0' || text[i] > '9') : text[i] != shape[i]) return false;
  }
  return true;
}

inline void writeFile(const std::filesystem::path& path, const std::string& contents) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << contents;
}

inline std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline std::vector<std::string> readLines(const std::filesystem::path& path) {
  std::vector<std::string> lines;
  std::string all = readFile(path);
  std::size_t start = 0;
  while (start < all.size()) {
    const auto end = all.find('\n', start);
    if (end == std::string::npos) {
      lines.push_back(all.substr(start));
      break;
    }
    lines.push_back(all.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

}  // namespace vantrel::testing
