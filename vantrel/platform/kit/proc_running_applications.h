// File: vantrel/platform/kit/proc_running_applications.h
//
// `ProcRunningApplications`: the running applications of the shared
// workspace on Linux, read from /proc at each call.
//
//   auto source = ProcRunningApplications::create();     // $DISPLAY for the frontmost one
//   for (const auto& app : source->runningApplications()) ...
//
// The list holds this user's processes (real uid equal to ours), in process
// identifier order; a process that ends or cannot be read meanwhile (ENOENT,
// ESRCH, EACCES) is left out. Per process:
// - name: the file name of its executable ("/proc/<pid>/exe"), else its
//   command name from "stat" (kernel threads, other users' programs);
// - executable URL: that executable; bundle URL: its folder;
// - launch date: the boot time ("btime" of "/proc/stat") plus the start time
//   in clock ticks ("stat" field 22); none when either cannot be read;
// - bundle identifier: for this process the main bundle's identifier; for
//   the others the id of the desktop file they were launched from
//   ("GIO_LAUNCHED_DESKTOP_FILE" in their environment, without ".desktop"),
//   else none.
// Names and paths that are not UTF-8 are repaired (U+FFFD).
// The frontmost application is the owner of the active window (the X11
// root's "_NET_ACTIVE_WINDOW", that window's "_NET_WM_PID") when the display
// opens, else none; there is no menu-bar owner (no global menu bar).
// Any thread; it keeps no state between calls.
#pragma once

#include <memory>
#include <string>

#include "vantrel/platform/kit/workspace.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class ProcRunningApplications : public RunningApplicationsSource {
 public:
  // `displayName` names the X display to ask for the active window; empty
  // means $DISPLAY.
  [[nodiscard]] static std::shared_ptr<ProcRunningApplications> create(std::string displayName = "");

  [[nodiscard]] std::vector<RunningApplication::Ptr> runningApplications() override;
  [[nodiscard]] RunningApplication::Ptr currentApplication() override;
  [[nodiscard]] RunningApplication::Ptr frontmostApplication() override;
  [[nodiscard]] RunningApplication::Ptr menuBarOwningApplication() override { return nullptr; }

  // The application of one process, whoever runs it; null when it cannot be
  // read.
  [[nodiscard]] RunningApplication::Ptr applicationWithProcessIdentifier(std::int32_t pid) const;

 private:
  explicit ProcRunningApplications(std::string displayName) : displayName_(std::move(displayName)) {}
  std::string displayName_;
};

}  // namespace vantrel
