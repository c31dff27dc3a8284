// The thread's run loop and its list of running queues, reached once the
// thread's thread_local objects are gone.
#include <cstdlib>
#include <memory>

#include <gtest/gtest.h>

#include "tests/support/use_at_exit.h"
#include "vantrel/platform/dispatch/dispatch_queue.h"
#include "vantrel/platform/dispatch/run_loop.h"

namespace vantrel {
namespace {

TEST(DispatchAtExit, LoopsAndQueuesWorkOnceTheThreadsObjectsAreGone) {
  EXPECT_USE_AT_EXIT([] {
    const std::shared_ptr<RunLoop> loop = RunLoop::current();
    if (loop != RunLoop::current()) std::abort();
    bool fired = false;
    loop->addTimer(RunLoopTimer::create(RunLoop::Clock::now(), {}, [&fired](const auto&) { fired = true; }));
    (void)loop->run(RunLoop::Clock::now());
    if (!fired) std::abort();

    const auto queue = DispatchQueue::create("at exit");
    bool current = false;
    queue->sync([&] { current = DispatchQueue::isCurrent(*queue); });
    if (!current || DispatchQueue::isCurrent(*queue)) std::abort();
  });
}

}  // namespace
}  // namespace vantrel
