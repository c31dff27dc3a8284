// Operations called with their optional arguments left out behave as with
// the fixed default values.
#include <filesystem>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "tests/foundation/files_test_support.h"
#include "tests/support/fixtures.h"
#include "vantrel/collections/array_building.h"
#include "vantrel/core/console.h"
#include "vantrel/core/data.h"
#include "vantrel/foundation/files/file_operations.h"
#include "vantrel/foundation/files/file_queries.h"
#include "vantrel/foundation/logs/csv_logger.h"
#include "vantrel/foundation/logs/error_manager.h"
#include "vantrel/foundation/process/command_line_main_loop.h"
#include "vantrel/foundation/process/shell_commands.h"
#include "vantrel/foundation/time/timers_stopwatches.h"

namespace vantrel {
namespace {

using testing::readFile;
using testing::TemporaryDirectory;
using testing::writeFile;

// These two block until SIGINT or stop the process; their behaviour is
// tested with them. Here: that the arguments may be left out.
static_assert(requires { CommandLineMainLoop::runAndWait(); });
static_assert(requires(VantrelErrorManager& m) { m.fatalError("message"); });

TEST(DefaultArgumentsTest, OmittedArgumentsTakeTheirFixedValues) {
  // Empty argument lists.
  EXPECT_EQ(VantrelMacOs::shell("/bin/echo"), VantrelMacOs::shell("/bin/echo", {}));
  EXPECT_EQ(VantrelMacOs::shell("/bin/echo").output, "\n");
  EXPECT_EQ(VantrelMacOs::bash("true"), VantrelMacOs::bash("true", {}));

  // No name.
  EXPECT_EQ(VantrelStopwatch2().name(), std::nullopt);
  EXPECT_EQ(VantrelStopwatch2::create()->name(), std::nullopt);
  {
    ConsoleCapture capture;
    VantrelStopwatch2::measureExecutionTime([] {});
    EXPECT_TRUE(capture.standardOutput().starts_with("Time \u23F1: ")) << capture.standardOutput();
  }

  // No group size: the plain hexadecimal string.
  const Data bytes{0x48, 0x65, 0x6c};
  EXPECT_EQ(hexDescription(bytes), hexString(bytes));

  TemporaryDirectory tmp;
  // A dated line.
  {
    auto logger = CsvLogger::create("defaults", URL::fileURLWithPath(tmp.path().string(), true));
    logger->logLine("t");
    ASSERT_TRUE(logger->flush());
    const std::string contents = readFile(tmp.path() / "defaults.log");
    ASSERT_EQ(contents.size(), 23u + 2u) << contents;
    EXPECT_TRUE(testing::isLogDate(contents.substr(0, 23))) << contents;
  }

  // Never overwriting, and no error callback.
  const auto source = tmp.path() / "source.txt";
  const auto target = tmp.path() / "target.txt";
  writeFile(source, "new");
  writeFile(target, "old");
  const URL from = URL::fileURLWithPath(source.string());
  const URL to = URL::fileURLWithPath(target.string());
  const URL folder = URL::fileURLWithPath(tmp.path().string(), true);
  ConsoleCapture quiet;
  EXPECT_ANY_THROW(copyIfExists(Fm(), from, to));
  copy_silent(Fm(), from, to);
  copyIfExists_silent(Fm(), from, to);
  copyIfExists_silentInto(Fm(), from, folder);
  EXPECT_ANY_THROW(vtCopyIfExistsFrom(Fm(), source.string(), target.string()));
  EXPECT_EQ(readFile(target), "old");
  EXPECT_EQ(readFile(source), "new");
}

}  // namespace
}  // namespace vantrel
