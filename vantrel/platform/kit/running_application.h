// File: vantrel/platform/kit/running_application.h
//
// `RunningApplication`: what the workspace knows of one running process:
// its name, bundle identifier, bundle and executable URLs, process
// identifier and launch date. Every value but the process identifier may be
// absent.
//
//   auto app = RunningApplication::create({.localizedName = "Editor",
//                                          .bundleIdentifier = "org.example.Editor",
//                                          .processIdentifier = 4242});
//   app->description()          // "<RunningApplication: (org.example.Editor - 4242)>"
//   RunningApplication::currentApplication()->processIdentifier()   // getpid()
//
// On Linux the shared workspace fills them from /proc (see
// `proc_running_applications.h`). Immutable, held by `Ptr`; any thread.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "vantrel/platform/foundation/files/url.h"
#include "vantrel/platform/foundation/time/date.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class RunningApplication {
 public:
  using Ptr = std::shared_ptr<const RunningApplication>;

  struct Properties {
    std::optional<std::string> localizedName = std::nullopt;
    std::optional<std::string> bundleIdentifier = std::nullopt;
    std::optional<URL> bundleURL = std::nullopt;
    std::optional<URL> executableURL = std::nullopt;
    std::int32_t processIdentifier = -1;
    std::optional<Date> launchDate = std::nullopt;
  };

  [[nodiscard]] static Ptr create(Properties properties);
  // The application object of this process, as the shared workspace's
  // source gives it.
  [[nodiscard]] static Ptr currentApplication();

  RunningApplication(const RunningApplication&) = delete;
  RunningApplication& operator=(const RunningApplication&) = delete;

  [[nodiscard]] const std::optional<std::string>& localizedName() const { return p_.localizedName; }
  [[nodiscard]] const std::optional<std::string>& bundleIdentifier() const { return p_.bundleIdentifier; }
  [[nodiscard]] const std::optional<URL>& bundleURL() const { return p_.bundleURL; }
  [[nodiscard]] const std::optional<URL>& executableURL() const { return p_.executableURL; }
  [[nodiscard]] std::int32_t processIdentifier() const { return p_.processIdentifier; }
  [[nodiscard]] const std::optional<Date>& launchDate() const { return p_.launchDate; }

  // "<RunningApplication: (" + the bundle identifier, or "nil", + " - " +
  // the process identifier + ")>".
  [[nodiscard]] std::string description() const;

 private:
  explicit RunningApplication(Properties properties) : p_(std::move(properties)) {}
  Properties p_;
};

}  // namespace vantrel
