#include "vantrel/core/result_types.h"

#include <memory>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "vantrel/core/console.h"
#include "vantrel/core/console_loggers.h"

namespace vantrel {
namespace {

struct TextCase {
  const char* name;
  std::string description;
  std::string debugDescription;
  std::string expectedDescription;
  std::string expectedDebug;
};

TEST(ResultTypes, ExactTexts) {
  const AnyError simple = std::make_shared<SimpleError>("m");
  const AnyError quoted = std::make_shared<SimpleError>("say \"hi\"");
  const TextCase cases[] = {
      {"VtResult success", VtResult<int>::success(42).description(), VtResult<int>::success(42).debugDescription(),
       "SUCCESS", "SUCCESS: 42"},
      {"VtResult failure", VtResult<int>::failure(simple).description(),
       VtResult<int>::failure(simple).debugDescription(), "FAILURE", "FAILURE: error(\"m\")"},
      {"VtResult failure, platform error", VtResult<int>::failure(std::make_shared<std::runtime_error>("disk")).description(),
       VtResult<int>::failure(std::make_shared<std::runtime_error>("disk")).debugDescription(), "FAILURE",
       "FAILURE: disk"},
      {"VtResult failure, escaped message", "FAILURE", VtResult<double>::failure(quoted).debugDescription(), "FAILURE",
       "FAILURE: error(\"say \\\"hi\\\"\")"},
      {"SimpleResult success text", SimpleResult<std::string>::success("text").description(),
       SimpleResult<std::string>::success("text").debugDescription(), "SUCCESS", "SUCCESS: text"},
      {"SimpleResult failure", SimpleResult<int>::failure("bad").description(),
       SimpleResult<int>::failure("bad").debugDescription(), "FAILURE", "FAILURE: bad"},
      {"SimpleResult empty message", SimpleResult<int>::failure("").description(),
       SimpleResult<int>::failure("").debugDescription(), "FAILURE", "FAILURE: "},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.description, c.expectedDescription);
    EXPECT_EQ(c.debugDescription, c.expectedDebug);
  }
  // describe shows the plain form, a collection the debug form.
  EXPECT_EQ(describe(VtResult<int>::success(1)), "SUCCESS");
  EXPECT_EQ(describe(std::vector{SimpleResult<int>::success(1)}), "[SUCCESS: 1]");
}

TEST(ResultTypes, Accessors) {
  const auto success = VtResult<int>::success(42);
  EXPECT_TRUE(success.isSuccess());
  EXPECT_FALSE(success.isFailure());
  EXPECT_EQ(success.value(), 42);
  EXPECT_EQ(success.error(), nullptr);
  EXPECT_EQ(success.kind(), VtResult<int>::Case::success);

  const AnyError error = std::make_shared<SimpleError>("m");
  const auto failure = VtResult<int>::failure(error);
  EXPECT_TRUE(failure.isFailure());
  EXPECT_EQ(failure.value(), std::nullopt);
  EXPECT_EQ(failure.error(), error);

  const auto empty = SimpleResult<int>::failure("");
  ASSERT_TRUE(empty.error().has_value());
  EXPECT_EQ(empty.error()->localizedDescription(), "");
  EXPECT_EQ(empty.message(), "");
  EXPECT_EQ(SimpleResult<int>::success(1).error(), std::nullopt);
  EXPECT_EQ(SimpleResult<int>::success(1).message(), std::nullopt);

  // Payloads of the same type as the error or message stay in their case.
  EXPECT_TRUE(VtResult<AnyError>::success(error).isSuccess());
  EXPECT_TRUE(SimpleResult<std::string>::failure("x").isFailure());
}

TEST(ResultTypes, SimpleErrorKeepsItsMessageWhenThrown) {
  try {
    throw SimpleError("m");
  } catch (const std::exception& e) {
    EXPECT_EQ(describe(e), "error(\"m\")");
    const auto* simple = dynamic_cast<const SimpleError*>(&e);
    ASSERT_NE(simple, nullptr);
    EXPECT_EQ(simple->localizedDescription(), "m");
  }
}

TEST(ResultTypesDeathTest, FailureWithoutAnError) {
  EXPECT_DEATH((void)VtResult<int>::failure(nullptr), "VtResult.failure needs an error");
}

}  // namespace
}  // namespace vantrel
