#include "vantrel/core/coding_aids.h"

#include <stdexcept>

#include <unistd.h>

#include <gtest/gtest.h>

#include "vantrel/core/console.h"
#include "vantrel/core/error.h"

namespace vantrel {
namespace {

TEST(CodingAids, ImportantLogAndBanners) {
  ConsoleCapture capture;
  VantrelCoding::importantLog("disk full");
  VantrelCoding::importantLog("");
  VantrelCoding::notYetImplemented();
  VantrelCoding::assertMainThread();
  qassert::mainThread();
  qassert::notMainThread();
  auto hello = CommonHello::create();
  EXPECT_EQ(capture.standardOutput(),
            "📛 IMPORTANT!! 📛 = disk full\n"
            "📛 IMPORTANT!! 📛 = \n"
            "📛📛📛📛📛 NYI NOT YET IMPLEMENTED 📛📛📛📛📛\n"
            "hello2\n");
}

TEST(CodingAidsDeathTest, UnexpectedCodeReachedPrintsThenStops) {
  EXPECT_DEATH(VantrelCoding::unexpectedCodeReached("bad state"),
               "Fatal error: Unexpected Code Reached: bad state: file .*coding_aids_test.cpp, line");
  // The console line comes first: send standard output to standard error
  // in the child so both land in the text the death test matches.
  EXPECT_DEATH(
      {
        ::dup2(STDERR_FILENO, STDOUT_FILENO);
        VantrelCoding::unexpectedCodeReached("x");
      },
      "IMPORTANT!! .* = Unexpected Code Reached: x\n+Fatal error: Unexpected Code Reached: x");
}

TEST(CodingAids, OptionalCast) {
  EXPECT_EQ(optionalCast<std::int64_t>(std::any()), std::nullopt);
  EXPECT_EQ(optionalCast<std::int64_t>(std::any(std::int64_t{3})), 3);
  EXPECT_EQ(optionalCast<std::string>(std::any(std::string("s"))), "s");

  struct Base {
    virtual ~Base() = default;
  };
  struct Derived : Base {};
  std::shared_ptr<Base> object = std::make_shared<Derived>();
  EXPECT_EQ(optionalCast<Derived>(object), object);
  EXPECT_EQ(optionalCast<Derived>(std::shared_ptr<Base>()), nullptr);
}

TEST(CodingAidsDeathTest, OptionalCastOfAnotherTypeStops) {
  EXPECT_DEATH((void)optionalCast<std::string>(std::any(std::int64_t{3})),
               "optionalCast<String>\\(instanceSome\\) failed\\. Is of type: Int");
}

TEST(CodingAids, WhenThrowing) {
  int runs = 0;
  whenThrowing("never", [&] { ++runs; });
  EXPECT_EQ(runs, 1);
}

TEST(CodingAidsDeathTest, WhenThrowingStopsWithTheDescription) {
  EXPECT_DEATH(whenThrowing("Loading", [] { throw std::runtime_error("no file"); }),
               "Fatal error: Loading: no file");
  EXPECT_DEATH(whenThrowing("Saving", [] { throw Error("cannotCreateFile"); }),
               "Fatal error: Saving: cannotCreateFile");
}

TEST(CodingAids, Constants) {
  EXPECT_TRUE(q::trueVar());
  EXPECT_TRUE(q::t());
  EXPECT_TRUE(q::alwaysTrue());
  EXPECT_FALSE(q::falseVar());
  EXPECT_FALSE(q::f());
  EXPECT_FALSE(q::alwaysFalse());
  EXPECT_FALSE(q::methodHasParameter());
  EXPECT_TRUE(q::methodHasParameter(0));
  [[maybe_unused]] qkill kill;
}

}  // namespace
}  // namespace vantrel
