// A locale whose decimal separator is a comma, built for the test run.
//
// Compiles de_DE.UTF-8 with localedef into a temporary folder, points LOCPATH
// at it and switches the whole process to it (setlocale and std::locale's
// global), so code that wrongly follows the locale writes "1,5". Never skips:
// a machine without the locale sources fails the test with the reason.
// Restores the previous locale when destroyed.
#pragma once

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <locale>
#include <string>

#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace vantrel::testing {

class ScopedCommaDecimalLocale {
 public:
  ScopedCommaDecimalLocale() {
    folder_ = std::filesystem::temp_directory_path() /
              ("vantrel-locale-" + std::to_string(::getpid()) + "-" + std::to_string(counter()++));
    std::filesystem::create_directories(folder_);
    const std::string command = "localedef -i de_DE -f UTF-8 '" + (folder_ / "de_DE.UTF-8").string() +
                                "' >/dev/null 2>&1";
    // localedef answers 1 for warnings it has written the locale anyway.
    const int status = std::system(command.c_str());
    if (!std::filesystem::exists(folder_ / "de_DE.UTF-8" / "LC_NUMERIC")) {
      ADD_FAILURE() << "localedef could not build de_DE.UTF-8 (status " << status
                    << "); install the Debian package 'locales'";
      return;
    }
    const char* previousPath = std::getenv("LOCPATH");
    if (previousPath != nullptr) previousLocPath_ = previousPath;
    hadLocPath_ = previousPath != nullptr;
    ::setenv("LOCPATH", folder_.c_str(), 1);
    previous_ = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
      ADD_FAILURE() << "setlocale(de_DE.UTF-8) failed with LOCPATH=" << folder_;
      return;
    }
    {
#if defined(__SANITIZE_ADDRESS__)
      // glibc's newlocale never frees the list it builds from LOCPATH.
      __lsan::ScopedDisabler ignoreGlibcLeak;
#endif
      previousGlobal_ = std::locale::global(std::locale("de_DE.UTF-8"));
    }
    active_ = true;
  }

  ~ScopedCommaDecimalLocale() {
    if (active_) {
      std::locale::global(previousGlobal_);
      std::setlocale(LC_ALL, previous_.c_str());
    }
    if (hadLocPath_) ::setenv("LOCPATH", previousLocPath_.c_str(), 1); else ::unsetenv("LOCPATH");
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  ScopedCommaDecimalLocale(const ScopedCommaDecimalLocale&) = delete;
  ScopedCommaDecimalLocale& operator=(const ScopedCommaDecimalLocale&) = delete;

  // Whether the process now runs in the comma locale.
  bool active() const { return active_; }

 private:
  static int& counter() {
    static int n = 0;
    return n;
  }

  std::filesystem::path folder_;
  std::string previous_ = "C";
  std::string previousLocPath_;
  bool hadLocPath_ = false;
  std::locale previousGlobal_;
  bool active_ = false;
};

}  // namespace vantrel::testing
