// The running-application dump over a stand-in list, and opening URLs with
// a report when the workspace refuses.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/appkit/workspace_helpers.h"
#include "vantrel/core/console.h"

namespace vantrel {
namespace {

class StandInApplications : public RunningApplicationsSource {
 public:
  std::vector<RunningApplication::Ptr> apps;
  RunningApplication::Ptr current;
  RunningApplication::Ptr frontmost;

  std::vector<RunningApplication::Ptr> runningApplications() override { return apps; }
  RunningApplication::Ptr currentApplication() override { return current; }
  RunningApplication::Ptr frontmostApplication() override { return frontmost; }
  RunningApplication::Ptr menuBarOwningApplication() override { return nullptr; }
};

class AnswerOpener : public UrlOpener {
 public:
  explicit AnswerOpener(bool answer) : answer_(answer) {}
  bool openURL(const URL& url) override {
    opened.push_back(url.description());
    return answer_;
  }
  std::vector<std::string> opened;

 private:
  bool answer_;
};

// The stand-in list, in the order the workspace gives it.
struct StandIn {
  std::shared_ptr<StandInApplications> source = std::make_shared<StandInApplications>();
  std::shared_ptr<Workspace> workspace = Workspace::create(source, std::make_shared<AnswerOpener>(true));

  StandIn() {
    source->apps = {
        RunningApplication::create({.localizedName = "Zeta",
                                    .bundleIdentifier = "org.b.App",
                                    .bundleURL = URL::fileURLWithPath("/opt/b", true),
                                    .executableURL = URL::fileURLWithPath("/opt/b/App"),
                                    .processIdentifier = 10,
                                    .launchDate = dateWithTimeIntervalSince1970(1704164645.9)}),
        RunningApplication::create({.localizedName = "alpha", .processIdentifier = 11}),
        RunningApplication::create({.localizedName = "Beta",
                                    .bundleIdentifier = "Org.c.Tool",
                                    .processIdentifier = 12,
                                    .launchDate = dateWithTimeIntervalSince1970(946684799)}),
        RunningApplication::create({.localizedName = "gamma", .bundleIdentifier = "org.a.caf\u00e9", .processIdentifier = -13}),
        RunningApplication::create({.processIdentifier = 14}),
    };
    source->current = source->apps[0];
  }
};

// The six lines of each stand-in application, by its place in the list.
const std::vector<std::string> kAppLines[] = {
    {"💛 ra.localizedName = Zeta", "   ra.bundleIdentifier = org.b.App", "   ra.bundleURL = file:///opt/b/",
     "   ra.executableURL = file:///opt/b/App", "   ra.processIdentifier = 10",
     "   ra.launchDate = Optional(2024-01-02 03:04:05 +0000)"},
    {"💛 ra.localizedName = alpha", "   ra.bundleIdentifier = nil", "   ra.bundleURL = nil",
     "   ra.executableURL = nil", "   ra.processIdentifier = 11", "   ra.launchDate = nil"},
    {"💛 ra.localizedName = Beta", "   ra.bundleIdentifier = Org.c.Tool", "   ra.bundleURL = nil",
     "   ra.executableURL = nil", "   ra.processIdentifier = 12",
     "   ra.launchDate = Optional(1999-12-31 23:59:59 +0000)"},
    {"💛 ra.localizedName = gamma", "   ra.bundleIdentifier = org.a.caf\u00e9", "   ra.bundleURL = nil",
     "   ra.executableURL = nil", "   ra.processIdentifier = -13", "   ra.launchDate = nil"},
    {"💛 ra.localizedName = nil", "   ra.bundleIdentifier = nil", "   ra.bundleURL = nil",
     "   ra.executableURL = nil", "   ra.processIdentifier = 14", "   ra.launchDate = nil"},
};

std::vector<std::string> expectedDump(const std::vector<int>& order) {
  const std::string separator(108, '-');
  std::vector<std::string> lines = {
      separator,
      "sharedWorkspace().menuBarOwningApplication = nil",
      "sharedWorkspace().frontmostApplication = nil",
      "NSRunningApplication.currentApplication() = <RunningApplication: (org.b.App - 10)>",
      separator,
      "Running Applications:",
  };
  for (int i : order) lines.insert(lines.end(), kAppLines[i].begin(), kAppLines[i].end());
  lines.push_back(separator);
  return lines;
}

TEST(ProcessInfoAsLines, SortedAndFilteredDump) {
  struct Case {
    std::string sortBy;
    std::optional<std::string> filter;
    std::vector<int> order;
  };
  const Case cases[] = {
      // Absent identifiers first, in the workspace's order; then "O" before "o".
      {"bundleIdentifier", std::nullopt, {1, 4, 2, 3, 0}},
      {"localizedName", std::nullopt, {4, 2, 0, 1, 3}},
      // Differs only in case: bundle-identifier order.
      {"localizedname", std::nullopt, {1, 4, 2, 3, 0}},
      {"anything", "org.", {3, 0}},
      // An empty filter is found nowhere.
      {"bundleIdentifier", "", {}},
      // Case-sensitive: "org.c" is not in "Org.c.Tool".
      {"bundleIdentifier", "org.c", {}},
      // A decomposed é finds the precomposed one.
      {"bundleIdentifier", "cafe\u0301", {3}},
      {"localizedName", "App", {0}},
  };
  StandIn standIn;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sortBy + " / " + c.filter.value_or("(no filter)"));
    EXPECT_EQ(processInfoAsLines(*standIn.workspace, c.sortBy, c.filter), expectedDump(c.order));
  }
  // The defaults: every application by bundle identifier.
  EXPECT_EQ(processInfoAsLines(*standIn.workspace), expectedDump({1, 4, 2, 3, 0}));
  EXPECT_EQ(expectedDump({}).size(), 7u);
}

TEST(ProcessInfoAsLines, FrontmostApplicationInOptionalForm) {
  StandIn standIn;
  standIn.source->frontmost = standIn.source->apps[2];
  EXPECT_EQ(processInfoAsLines(*standIn.workspace)[2],
            "sharedWorkspace().frontmostApplication = Optional(<RunningApplication: (Org.c.Tool - 12)>)");
}

TEST(VtOpenUrl, ARefusalPrintsOneRedLine) {
  const auto url = *URL::fromString("https://example.org/x?y=1");
  auto refusing = std::make_shared<AnswerOpener>(false);
  auto accepting = std::make_shared<AnswerOpener>(true);
  const auto apps = std::make_shared<StandInApplications>();
  {
    ConsoleCapture capture;
    EXPECT_FALSE(vtOpenUrl(*Workspace::create(apps, refusing), url));
    EXPECT_EQ(capture.standardOutput(), "\x1b[fg255,0,0;Error opening https://example.org/x?y=1\x1b[;\n");
  }
  {
    ConsoleCapture capture;
    EXPECT_TRUE(vtOpenUrl(*Workspace::create(apps, accepting), url));
    EXPECT_EQ(capture.standardOutput(), "");
  }
  EXPECT_EQ(refusing->opened, std::vector<std::string>{"https://example.org/x?y=1"});
  EXPECT_EQ(accepting->opened, std::vector<std::string>{"https://example.org/x?y=1"});
}

}  // namespace
}  // namespace vantrel
