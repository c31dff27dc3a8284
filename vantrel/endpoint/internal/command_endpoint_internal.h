// File: vantrel/endpoint/internal/command_endpoint_internal.h
//
// The command request with its port, time limit and a completion hook, for
// tests that talk to a loopback server of their own.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

namespace vantrel::foundation_internal {

struct CommandRequestOptions {
  int port = 2912;
  std::chrono::milliseconds timeout{60'000};
  // Runs on the worker thread after the last console line of the request.
  std::function<void()> completion;
};

// "open \"<url>\"" percent-encoded: everything outside the URL-path set
// without "/" as %XX per UTF-8 byte, upper-case digits.
[[nodiscard]] std::string encodedOpenCommand(std::string_view url);

// "http://localhost:<port>/command/" + the encoded command.
[[nodiscard]] std::string commandRequestUrl(std::string_view url, int port);

// `vt::openUrlOnMac` with these options.
void sendOpenCommand(std::string_view url, CommandRequestOptions options);

}  // namespace vantrel::foundation_internal
