// File: vantrel/endpoint/command_endpoint.h
//
// The local command service: another program on this machine, listening on
// port 2912, that carries out commands such as opening a URL. The library
// only sends the request and reports the answer on the console.
//
//   vt::openUrlOnMac("file:///tmp/a b");
//   // at once:   urlString = http://localhost:2912/command/open%20%22file:%2F%2F%2Ftmp%2Fa%20b%22
//   // later, from a worker thread: the answer's body as one line, and on
//   // failure the red qlog line "Error opening <url>:<reason>"
//
// The command is `open "<url>"`, percent-encoded with the URL-path
// characters except "/" left as they are. The request is an HTTP GET to
// localhost, never through a proxy, with a 60 s limit; it runs on the global
// dispatch queue, so the call returns before any answer. An answer with an
// HTTP status of 400 or above is a failure ("HTTP status <code>"), reported
// after its body. A body that is not UTF-8 is printed repaired (U+FFFD).
// Any thread.
#pragma once

#include <string_view>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {
namespace vt {

// Does nothing.
void dummyMethod();

// Asks the local command service to open `url`; returns at once.
void openUrlOnMac(std::string_view url);

}  // namespace vt
}  // namespace vantrel
