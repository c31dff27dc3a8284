// File: vantrel/platform/kit/xdg_url_opener.h
//
// `XdgOpenUrlOpener`: opens URLs as the desktop does, through the program
// "xdg-open" (Debian package xdg-utils) found on $PATH.
//
//   XdgOpenUrlOpener opener;
//   opener.openURL(*URL::fromString("https://example.org"))   // true when xdg-open exits with 0
//
// The URL's text is its one argument; it is started with posix_spawn, with
// standard input, output and error on /dev/null, and only its exit status is
// awaited: the application it starts (a browser) may keep running and keep
// any inherited descriptor open without holding up the caller. Only absolute
// folders of $PATH are searched, read at each call. No program found, one
// that cannot start, a non-zero status or a signal: false. Blocks the
// calling thread until xdg-open exits; any thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "vantrel/platform/kit/workspace.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class XdgOpenUrlOpener : public UrlOpener {
 public:
  [[nodiscard]] bool openURL(const URL& url) override;

  // The first executable file `name` in the absolute folders of $PATH.
  [[nodiscard]] static std::optional<std::string> findProgramOnPath(std::string_view name);
};

}  // namespace vantrel
