// File: vantrel/foundation/process/command_line_main_loop.h
//
// `CommandLineMainLoop`: the main loop of a command-line tool. It keeps the
// process serving the calling thread's run loop (its timers and sources,
// and on the main thread the main queue) until control-c or `stop()`.
//
//   CommandLineMainLoop::setOnEnding([] { saveState(); });
//   CommandLineMainLoop::runAndWait();   // "Running RunLoop and waiting for SIGINT (ctrl-c) ..."
//   // control-c: "Caught interrupt, stopping...", saveState(), return
//
// The loop runs in slices of 2 seconds while a process-wide flag stays set;
// the flag is cleared once, for good, by `stop()` or the first interrupt, so
// a later `runAndWait` runs no slice and only calls `onEnding`. A stop
// request wakes the loop at once, whichever thread runs it. The interrupt
// handler, once installed, stays for the rest of the process: an interrupt
// never ends the process. The signal handler itself only writes a byte to a
// pipe; the line is printed, and the flag cleared, by the run loop of the
// thread that last called `runAndWait` (whenever it runs).
// Thread safety: `stop`, `onEnding` and `setOnEnding` from any thread;
// `runAndWait` blocks its caller and calls `onEnding` on it.
#pragma once

#include <any>
#include <functional>
#include <vector>

#include "vantrel/api.h"
namespace vantrel VANTREL_API { namespace CommandLineMainLoop {

// Keeps `objectsToRetain` (until the next call replaces them), prints the
// start line unless `suppressMessage`, installs the interrupt handler, runs
// the loop until stopped, calls `onEnding` and returns.
void runAndWait(bool suppressMessage = false, std::vector<std::any> objectsToRetain = {});

// Asks the loop to end; returns at once. Prints nothing.
void stop();

// The closure called each time `runAndWait` is about to return (empty: none).
[[nodiscard]] std::function<void()> onEnding();
void setOnEnding(std::function<void()> closure);

}}  // namespace vantrel::CommandLineMainLoop
