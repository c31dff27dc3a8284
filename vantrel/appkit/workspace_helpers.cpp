#include "vantrel/appkit/workspace_helpers.h"

#include "vantrel/core/console_loggers.h"
#include "vantrel/core/date_text.h"
#include "vantrel/core/number_text.h"
#include "vantrel/core/sort.h"
#include "vantrel/text/comparison.h"
#include "vantrel/text/string_services.h"

namespace vantrel {
namespace {

bool optionalTextBefore(const std::optional<std::string>& a, const std::optional<std::string>& b) {
  if (!a) return b.has_value();
  if (!b) return false;
  return textLess(*a, *b);
}

std::string optionalForm(const RunningApplication::Ptr& app) {
  return app ? "Optional(" + app->description() + ")" : "nil";
}

std::string textOrNil(const std::optional<std::string>& text) { return text ? *text : "nil"; }

std::string urlOrNil(const std::optional<URL>& url) { return url ? url->description() : "nil"; }

void appendApplication(std::vector<std::string>& lines, const RunningApplication& app) {
  lines.push_back("💛 ra.localizedName = " + textOrNil(app.localizedName()));
  lines.push_back("   ra.bundleIdentifier = " + textOrNil(app.bundleIdentifier()));
  lines.push_back("   ra.bundleURL = " + urlOrNil(app.bundleURL()));
  lines.push_back("   ra.executableURL = " + urlOrNil(app.executableURL()));
  lines.push_back("   ra.processIdentifier = " + integerText(app.processIdentifier()));
  const auto& date = app.launchDate();
  lines.push_back("   ra.launchDate = " +
                  (date ? "Optional(" + dateTimeOffsetText(*date, TimeZoneChoice::utc) + ")" : std::string("nil")));
}

}  // namespace

bool vtOpenUrl(const Workspace& self, const URL& url) {
  const bool opened = self.openURL(url);
  if (!opened) qlog.red("Error opening " + url.description());
  return opened;
}

bool sortBy_BundleIdentifier(const RunningApplication& a, const RunningApplication& b) {
  return optionalTextBefore(a.bundleIdentifier(), b.bundleIdentifier());
}

bool sortBy_localizedName(const RunningApplication& a, const RunningApplication& b) {
  return optionalTextBefore(a.localizedName(), b.localizedName());
}

RunningApplicationOrder parseSortBy(std::string_view sortBy) {
  return sortBy == "localizedName" ? &sortBy_localizedName : &sortBy_BundleIdentifier;
}

std::vector<std::string> processInfoAsLines(const Workspace& self, std::string_view sortBy,
                                            const std::optional<std::string>& filterBundleIdentifier) {
  const std::string separator(108, '-');
  std::vector<std::string> lines;
  lines.push_back(separator);
  lines.push_back("sharedWorkspace().menuBarOwningApplication = " + optionalForm(self.menuBarOwningApplication()));
  lines.push_back("sharedWorkspace().frontmostApplication = " + optionalForm(self.frontmostApplication()));
  const RunningApplication::Ptr current = self.currentApplication();
  lines.push_back("NSRunningApplication.currentApplication() = " + (current ? current->description() : "nil"));
  lines.push_back(separator);
  lines.push_back("Running Applications:");

  auto applications = self.runningApplications();
  std::erase(applications, nullptr);
  const RunningApplicationOrder before = parseSortBy(sortBy);
  stableSort(applications, [before](const RunningApplication::Ptr& a, const RunningApplication::Ptr& b) {
    return before(*a, *b);
  });
  for (const auto& app : applications) {
    if (filterBundleIdentifier) {
      const auto& identifier = app->bundleIdentifier();
      if (!identifier || !containsText(*identifier, *filterBundleIdentifier)) continue;
    }
    appendApplication(lines, *app);
  }
  lines.push_back(separator);
  return lines;
}

}  // namespace vantrel
