// File: vantrel/platform/kit/workspace.h
//
// `Workspace`: the desktop as the application sees it: the running
// applications, the frontmost one, and opening URLs with the user's default
// application. It asks two sources, each an interface a test (or a host on
// another desktop) fills:
//
//   struct Apps : RunningApplicationsSource { ... };
//   struct Refuse : UrlOpener { bool openURL(const URL&) override { return false; } };
//   auto ws = Workspace::create(std::make_shared<Apps>(), std::make_shared<Refuse>());
//   ws->openURL(*URL::fromString("https://example.org"))   // false
//
// `Workspace::shared()` asks the system: `ProcRunningApplications` (/proc,
// and the X11 active window for the frontmost application) and
// `XdgOpenUrlOpener` (xdg-open). The calls run on the caller's thread; the
// shared workspace may be used from any thread.
#pragma once

#include <memory>
#include <vector>

#include "vantrel/platform/foundation/files/url.h"
#include "vantrel/platform/kit/running_application.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// Where the workspace's applications come from. Answers may be null (no
// frontmost application, no menu bar).
class RunningApplicationsSource {
 public:
  virtual ~RunningApplicationsSource() = default;
  [[nodiscard]] virtual std::vector<RunningApplication::Ptr> runningApplications() = 0;
  // This process's application (never null).
  [[nodiscard]] virtual RunningApplication::Ptr currentApplication() = 0;
  [[nodiscard]] virtual RunningApplication::Ptr frontmostApplication() = 0;
  [[nodiscard]] virtual RunningApplication::Ptr menuBarOwningApplication() = 0;
};

// Opens a URL with the user's default application: true when it did.
class UrlOpener {
 public:
  virtual ~UrlOpener() = default;
  [[nodiscard]] virtual bool openURL(const URL& url) = 0;
};

class Workspace {
 public:
  // The system's workspace, made on first use and never destroyed.
  [[nodiscard]] static const std::shared_ptr<Workspace>& shared();
  // Null sources stop the program.
  [[nodiscard]] static std::shared_ptr<Workspace> create(std::shared_ptr<RunningApplicationsSource> applications,
                                                         std::shared_ptr<UrlOpener> opener);

  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;

  [[nodiscard]] bool openURL(const URL& url) const { return opener_->openURL(url); }
  [[nodiscard]] std::vector<RunningApplication::Ptr> runningApplications() const {
    return applications_->runningApplications();
  }
  [[nodiscard]] RunningApplication::Ptr currentApplication() const { return applications_->currentApplication(); }
  [[nodiscard]] RunningApplication::Ptr frontmostApplication() const { return applications_->frontmostApplication(); }
  [[nodiscard]] RunningApplication::Ptr menuBarOwningApplication() const {
    return applications_->menuBarOwningApplication();
  }

 private:
  Workspace(std::shared_ptr<RunningApplicationsSource> applications, std::shared_ptr<UrlOpener> opener)
      : applications_(std::move(applications)), opener_(std::move(opener)) {}

  std::shared_ptr<RunningApplicationsSource> applications_;
  std::shared_ptr<UrlOpener> opener_;
};

}  // namespace vantrel
