#include <chrono>
#include <cstdio>
#include <memory>

#include <vantrel/core/console.h>
#include <vantrel/dispatch/chained_executor.h>
#include <vantrel/dispatch/dispatch_helpers.h>
#include <vantrel/foundation/process/command_line_main_loop.h>
#include <vantrel/foundation/process/shell_commands.h>
#include <vantrel/foundation/time/timers_stopwatches.h>
#include <vantrel/platform/dispatch/dispatch_queue.h>
#include <vantrel/platform/dispatch/run_loop.h>

#include "tour.h"

using namespace vantrel;
using namespace std::chrono_literals;

namespace {
// Serves the main thread's run loop for a moment, as an application would.
void serveMainLoop(std::chrono::milliseconds howLong) {
  RunLoop::current()->run(RunLoop::Clock::now() + howLong);
}
}  // namespace

TOUR_SECTION(16, "Dispatch helpers: once per token or call site") {
  for (int i = 0; i < 3; ++i) {
    once("tour-token", [] { consolePrint("once per token: first call only"); });
    once([] { consolePrint("once per call site: first pass only"); });
  }
}

TOUR_SECTION(17, "Dispatch helpers: a delayed main-queue run with a trigger") {
  auto early = qdispatch::onMainQueueDelayedOrManual(0.05, [](bool manual) {
    consolePrint(std::string("closure ran, manual = ") + (manual ? "true" : "false"));
  });
  early(true);  // runs now; the delayed run then does nothing
  auto late = qdispatch::onMainQueueDelayedOrManual(0.01, [](bool manual) {
    consolePrint(std::string("closure ran, manual = ") + (manual ? "true" : "false"));
  });
  serveMainLoop(80ms);
  qsleepSeconds(0.01);
}

TOUR_SECTION(18, "Chained executor: steps in order on the main queue") {
  auto done = std::make_shared<bool>(false);
  VantrelChained::create()
      ->after([] { consolePrint("step 1"); })
      ->delayed(0.02, [] { consolePrint("step 2, 20 ms after step 1"); })
      ->after([done] {
        consolePrint("step 3");
        *done = true;
      });
  const auto limit = RunLoop::Clock::now() + 2s;
  while (!*done && RunLoop::Clock::now() < limit) serveMainLoop(5ms);
}

TOUR_SECTION(52, "Timers and stopwatches") {
  VantrelStopwatch2 watch("tour");
  int ticks = 0;
  scheduleRepeatInterval(0.005, [&ticks](const std::shared_ptr<RunLoopTimer>& timer) {
    if (++ticks == 3) timer->invalidate();
  });
  serveMainLoop(50ms);
  std::printf("repeating timer fired %d times\n", ticks);
  watch.stopAndDebugPrint();
  VantrelStopwatch2::measureExecutionTime("a short sleep", [] { q::sleep(0.001); });
}

TOUR_SECTION(53, "Shell commands") {
  const auto [output, status] = VantrelMacOs::shell("/bin/echo", {"hello", "$HOME"});
  std::printf("shell: %s", output.value_or("(none)\n").c_str());
  std::printf("status %lld\n", static_cast<long long>(status));
  const auto missing = VantrelMacOs::shell("/no/such/program");
  std::printf("missing program: status %lld\n", static_cast<long long>(missing.exitStatus));
}

TOUR_SECTION(54, "Command-line main loop") {
  CommandLineMainLoop::setOnEnding([] { consolePrint("onEnding: the loop has ended"); });
  // A real tool waits for control-c; the tour asks the loop to stop itself.
  scheduleDelay(0.05, [](const std::shared_ptr<RunLoopTimer>&) { CommandLineMainLoop::stop(); });
  CommandLineMainLoop::runAndWait();
}
