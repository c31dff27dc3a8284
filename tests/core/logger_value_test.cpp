#include "vantrel/core/logger_value.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/core/console_test_support.h"
#include "vantrel/core/console.h"
#include "vantrel/core/result_types.h"

namespace vantrel {
namespace {

using testing::printed;

class RecordingRed : public QLogging {
 public:
  using QLogging::red;
  void red(const LogText& value) const override { received.emplace_back(value.view()); }
  mutable std::vector<std::string> received;
};

TEST(LoggerValue, SubclassOverrideReceivesRed) {
  RecordingRed logger;
  const VtLogger value(logger);
  EXPECT_EQ(printed([&] { value.red("one"); value.red(2); }), "");
  EXPECT_EQ(logger.received, (std::vector<std::string>{"one", "2"}));
  EXPECT_EQ(&value.log(), &logger);
}

TEST(LoggerValue, ErrorWithAndWithoutMessageThroughEachLogger) {
  const SimpleError error("disk full");
  struct Case {
    const char* name;
    const QLogging& log;
    std::string withMessage;
    std::string withoutMessage;
  };
  const Case cases[] = {
      {"QLogging", qlogging, "Error:saving\n", "Error:error(\"disk full\")\n"},
      {"qlog", qlog, "\x1b[fg255,0,0;saving\x1b[;\n", "\x1b[fg255,0,0;error(\"disk full\")\x1b[;\n"},
      {"qansilog", qansilog, "\x1b[0;31msaving\x1b[0m\n", "\x1b[0;31merror(\"disk full\")\x1b[0m\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const VtLogger logger(c.log);
    EXPECT_EQ(printed([&] { logger.error("saving", error); }), c.withMessage);
    EXPECT_EQ(printed([&] { logger.error(std::nullopt, error); }), c.withoutMessage);
  }
}

TEST(LoggerValue, IfErrorAnswersWhetherThereWasOne) {
  const VtLogger logger(qlog);
  const std::runtime_error error("gone");
  bool answered = true;
  EXPECT_EQ(printed([&] { answered = logger.iferror("m", nullptr); }), "");
  EXPECT_FALSE(answered);
  EXPECT_EQ(printed([&] { answered = logger.iferror("m", &error); }), "\x1b[fg255,0,0;m:gone\x1b[;\n");
  EXPECT_TRUE(answered);
}

TEST(LoggerValue, ForwardsLevelsAndColours) {
  const VtLogger logger(qansilog);
  EXPECT_EQ(printed([&] { logger.warning("w"); }), "\x1b[1;33mw\x1b[0m\n");
  EXPECT_EQ(printed([&] { logger.error("e"); }), "\x1b[0;31me\x1b[0m\n");
  EXPECT_EQ(printed([&] { logger.lightGray("g"); }), "\x1b[0;37mg\x1b[0m\n");
}

}  // namespace
}  // namespace vantrel
