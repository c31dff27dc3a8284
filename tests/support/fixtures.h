// Test helpers shared by every module's tests.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "vantrel/core/error.h"

namespace vantrel::testing {

// The test data folder, tests/data of the source tree the tests were built
// from; nullopt when it is missing.
std::optional<std::filesystem::path> fixturesDirectory();

// A fresh temporary folder, removed with its contents when the object goes.
class TemporaryDirectory {
 public:
  TemporaryDirectory();
  ~TemporaryDirectory();
  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace vantrel::testing

// Yields the test data folder into `var`. The data is part of the
// repository, so a missing folder fails the test rather than skipping it.
#define VANTREL_REQUIRE_FIXTURES(var)                                              \
  auto var##_opt = ::vantrel::testing::fixturesDirectory();                        \
  if (!var##_opt) GTEST_FAIL() << "test data folder (tests/data) not found";       \
  const std::filesystem::path var = *var##_opt

// Expects `statement` to throw `type` (a vantrel::Error) whose description()
// equals `text`.
#define EXPECT_THROW_DESCRIPTION(statement, type, text)                            \
  do {                                                                             \
    try {                                                                          \
      statement;                                                                   \
      ADD_FAILURE() << "expected " #type " to be thrown";                          \
    } catch (const type& e) {                                                      \
      EXPECT_EQ(e.description(), text);                                            \
    }                                                                              \
  } while (0)
