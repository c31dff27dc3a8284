#include "vantrel/core/ns_error.h"

#include <string>

#include <gtest/gtest.h>

#include "vantrel/core/describe.h"

namespace vantrel {
namespace {

TEST(NSError, DomainNamesTheSourcePosition) {
  auto error = core_internal::makeNSErrorInDomain(7, "m", "/a/b/Main.txt", "run()", 12, 5);
  EXPECT_EQ(error->domain(), "Main.txt->run()@12,5");
  EXPECT_EQ(error->code(), 7);
  EXPECT_EQ(error->localizedDescription(), "m");
  EXPECT_EQ(error->userInfo().at(std::string(NSLocalizedDescriptionKey)), "m");
  EXPECT_EQ(describe(*error),
            "Error Domain=Main.txt->run()@12,5 Code=7 \"m\" UserInfo={NSLocalizedDescription=m}");
}

TEST(NSError, FileWithoutSlashIsItsOwnLastComponent) {
  EXPECT_EQ(core_internal::errorDomainForSourcePosition("Main.txt", "f", -1, 0), "Main.txt->f@-1,0");
}

TEST(NSError, MadeAtTheCallersPosition) {
  const auto line = __LINE__ + 1;
  auto error = qNSErrorInDomainCurrentClass(3, "here");
  const std::string expectedStart = "ns_error_test.cpp->";
  EXPECT_TRUE(error->domain().starts_with(expectedStart)) << error->domain();
  EXPECT_NE(error->domain().find("@" + std::to_string(line) + ","), std::string::npos) << error->domain();
  EXPECT_EQ(error->code(), 3);
  EXPECT_EQ(error->localizedDescription(), "here");
}

TEST(NSError, WithoutLocalizedDescriptionThePlatformText) {
  const NSError error("Parser", 2);
  EXPECT_EQ(error.localizedDescription(), "The operation couldn\u2019t be completed. (Parser error 2.)");
  EXPECT_EQ(error.description(),
            "Error Domain=Parser Code=2 \"The operation couldn\u2019t be completed. (Parser error 2.)\" UserInfo={}");
}

}  // namespace
}  // namespace vantrel
