#include "vantrel/foundation/process/shell_commands.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/fixtures.h"
#include "vantrel/core/console.h"

namespace vantrel {
namespace {

TEST(Shell, RunsTheProgramAndReturnsItsOutputAndStatus) {
  struct Case {
    const char* name;
    std::string path;
    std::vector<std::string> arguments;
    ShellResult want;
  };
  const Case cases[] = {
      {"plain output", "/bin/echo", {"hi"}, {"hi\n", 0}},
      {"arguments are taken literally", "/bin/echo", {"$HOME", "*", "a b", ";ls"}, {"$HOME * a b ;ls\n", 0}},
      {"standard error joins the output in order", "/bin/sh", {"-c", "echo out; echo err >&2; echo out2"},
       {"out\nerr\nout2\n", 0}},
      {"no output and a status", "/bin/sh", {"-c", "exit 3"}, {std::nullopt, 3}},
      {"output that is not UTF-8", "/bin/sh", {"-c", "printf '\\377'; exit 1"}, {std::nullopt, 1}},
      {"killed by a signal", "/bin/sh", {"-c", "kill -9 $$"}, {std::nullopt, 9}},
      {"no such program", "/nonexistent/program", {}, {std::nullopt, 127}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(VantrelMacOs::shell(c.path, c.arguments), c.want);
  }
}

TEST(Shell, AFileThatCannotBeExecutedGivesStatus127) {
  testing::TemporaryDirectory dir;
  const auto path = dir.path() / "not-a-program";
  std::ofstream(path) << "plain text\n";
  ::chmod(path.c_str(), 0644);
  EXPECT_EQ(VantrelMacOs::shell(path.string()), (ShellResult{std::nullopt, 127}));
}

TEST(Shell, LargeOutputArrivesWhole) {
  const auto result = VantrelMacOs::shell("/bin/sh", {"-c", "head -c 3000000 /dev/zero | tr '\\0' x"});
  ASSERT_TRUE(result.output.has_value());
  EXPECT_EQ(result.output->size(), 3000000u);
  EXPECT_EQ(result.output->find_first_not_of('x'), std::string::npos);
  EXPECT_EQ(result.exitStatus, 0);
}

TEST(Bash, FindsTheProgramOnTheSearchPathAndRunsItWithTheArguments) {
  EXPECT_EQ(VantrelMacOs::bash("ls", {"-d", "/"}), (ShellResult{"/\n", 0}));
  // A shell builtin still resolves to its program file.
  EXPECT_EQ(VantrelMacOs::bash("echo", {"a", "$b"}), (ShellResult{"a $b\n", 0}));
}

TEST(Bash, ANameThatIsNotFoundPrintsTheLineAndRunsNothing) {
  ConsoleCapture capture;
  EXPECT_EQ(VantrelMacOs::bash("no-such-command-vantrel"), (ShellResult{std::nullopt, -1}));
  EXPECT_EQ(capture.standardOutput(), "Error: Command \"no-such-command-vantrel\" not found!\n");
}

TEST(Bash, TheNameIsNeverReadAsShellText) {
  testing::TemporaryDirectory dir;
  const auto marker = dir.path() / "ran";
  const std::vector<std::string> names{"ls; touch " + marker.string(), "$(touch " + marker.string() + ")",
                                      "`touch " + marker.string() + "`", "-h"};
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    ConsoleCapture capture;
    EXPECT_EQ(VantrelMacOs::bash(name), (ShellResult{std::nullopt, -1}));
    EXPECT_EQ(capture.standardOutput(), "Error: Command \"" + name + "\" not found!\n");
    EXPECT_FALSE(std::filesystem::exists(marker));
  }
}

}  // namespace
}  // namespace vantrel
