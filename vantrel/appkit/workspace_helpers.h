// File: vantrel/appkit/workspace_helpers.h
//
// Helpers on the workspace: opening a URL with a report when that fails, and
// a developer dump of the running applications.
//
//   vtOpenUrl(*Workspace::shared(), url)     // false, and the red line "Error opening <url>"
//   processInfoAsLines(*Workspace::shared())                          // every application
//   processInfoAsLines(*Workspace::shared(), "localizedName", "org.") // by name, filtered
//
// The dump is returned, not printed:
//   a separator (108 "-"),
//   "sharedWorkspace().menuBarOwningApplication = " + Optional(<description>) or "nil",
//   "sharedWorkspace().frontmostApplication = " + the same form,
//   "NSRunningApplication.currentApplication() = " + <description>,
//   a separator, "Running Applications:",
//   six lines per application listed,
//   a separator.
// An application's lines: "💛 ra.localizedName = ", "   ra.bundleIdentifier = ",
// "   ra.bundleURL = ", "   ra.executableURL = " (the value or "nil"),
// "   ra.processIdentifier = " (decimal) and "   ra.launchDate = "
// ("Optional(yyyy-MM-dd HH:mm:ss +0000)" in UTC, or "nil").
//
// Order: exactly "localizedName" sorts by name, any other key by bundle
// identifier; an absent value comes first, present ones follow the text
// module's order (`textLess`: by scalar values, so "Z" before "a"), and
// applications with equal keys keep the order the workspace listed them in.
// With a filter only applications whose bundle identifier contains it are
// listed: canonical, case-sensitive search (`containsText`), in which an
// empty filter is found nowhere. Caller's thread; nothing is kept.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/platform/kit/workspace.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// Asks the workspace to open the URL; a refusal prints "Error opening " and
// the URL's text as one red line (`qlog.red`). Answers the workspace's answer.
bool vtOpenUrl(const Workspace& self, const URL& url);

// Whether `a` comes before `b`: absent before present, then `textLess`.
using RunningApplicationOrder = bool (*)(const RunningApplication& a, const RunningApplication& b);
[[nodiscard]] bool sortBy_BundleIdentifier(const RunningApplication& a, const RunningApplication& b);
[[nodiscard]] bool sortBy_localizedName(const RunningApplication& a, const RunningApplication& b);
// "localizedName" (exactly) gives `sortBy_localizedName`, anything else
// `sortBy_BundleIdentifier`.
[[nodiscard]] RunningApplicationOrder parseSortBy(std::string_view sortBy);

[[nodiscard]] std::vector<std::string> processInfoAsLines(
    const Workspace& self, std::string_view sortBy = "bundleIdentifier",
    const std::optional<std::string>& filterBundleIdentifier = std::nullopt);

}  // namespace vantrel
