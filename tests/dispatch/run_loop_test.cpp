#include "vantrel/platform/dispatch/run_loop.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/platform/dispatch/dispatch_queue.h"

namespace vantrel {
namespace {

using namespace std::chrono_literals;
using Clock = RunLoop::Clock;

std::shared_ptr<RunLoopTimer> timerIn(Clock::duration in, Clock::duration interval,
                                      RunLoopTimer::Handler handler) {
  return RunLoopTimer::create(Clock::now() + in, interval, std::move(handler));
}

// Each test runs on a thread of its own so its loop starts empty.
template <class Body>
void onFreshThread(Body body) {
  std::thread(body).join();
}

TEST(RunLoop, OneShotTimerFiresOnceWhileTheLoopRuns) {
  onFreshThread([] {
    auto loop = RunLoop::current();
    int fired = 0;
    auto timer = timerIn(20ms, Clock::duration::zero(), [&](const std::shared_ptr<RunLoopTimer>&) { ++fired; });
    loop->addTimer(timer);
    EXPECT_EQ(loop->run(Clock::now() + 5ms), RunLoop::RunResult::timedOut);
    EXPECT_EQ(fired, 0);
    loop->run(Clock::now() + 100ms);
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(timer->isValid());
  });
}

TEST(RunLoop, ModesDecideWhichTimersFire) {
  onFreshThread([] {
    auto loop = RunLoop::current();
    std::vector<std::string> fired;
    auto record = [&](std::string name) {
      return [&fired, name](const std::shared_ptr<RunLoopTimer>&) { fired.push_back(name); };
    };
    loop->addTimer(timerIn(0ms, {}, record("default")), RunLoop::defaultMode);
    loop->addTimer(timerIn(0ms, {}, record("common")), RunLoop::commonModes);
    loop->addTimer(timerIn(0ms, {}, record("tracking")), "tracking");
    loop->run(Clock::now() + 10ms, "tracking");
    EXPECT_EQ(fired, (std::vector<std::string>{"common", "tracking"}));
    fired.clear();
    loop->run(Clock::now() + 10ms, RunLoop::defaultMode);
    EXPECT_EQ(fired, (std::vector<std::string>{"default"}));
  });
}

TEST(RunLoop, RepeatingTimerThatInvalidatesItselfFiresExactlyOnce) {
  onFreshThread([] {
    auto loop = RunLoop::current();
    int fired = 0;
    loop->addTimer(timerIn(1ms, 1ms, [&](const std::shared_ptr<RunLoopTimer>& t) {
      ++fired;
      t->invalidate();
    }));
    loop->run(Clock::now() + 50ms);
    EXPECT_EQ(fired, 1);
  });
}

TEST(RunLoop, RepeatingTimerKeepsFiringUntilInvalidated) {
  onFreshThread([] {
    auto loop = RunLoop::current();
    int fired = 0;
    auto timer = timerIn(5ms, 5ms, [&](const std::shared_ptr<RunLoopTimer>&) { ++fired; });
    loop->addTimer(timer);
    loop->run(Clock::now() + 100ms);
    EXPECT_GE(fired, 3);
    timer->invalidate();
    const int before = fired;
    loop->run(Clock::now() + 30ms);
    EXPECT_EQ(fired, before);
  });
}

TEST(RunLoopDeathTest, AddingATimerTwiceStops) {
  EXPECT_DEATH(
      {
        auto timer = timerIn(1s, {}, {});
        RunLoop::current()->addTimer(timer);
        RunLoop::current()->addTimer(timer);
      },
      "one run loop only");
}

TEST(RunLoop, ReadSourceCallsItsHandlerWhenTheDescriptorIsReadable) {
  onFreshThread([] {
    auto loop = RunLoop::current();
    int fds[2];
    ASSERT_EQ(::pipe2(fds, O_CLOEXEC | O_NONBLOCK), 0);
    std::string received;
    auto source = loop->addReadSource(fds[0], [&] {
      char buffer[16];
      ssize_t n;
      while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0) received.append(buffer, static_cast<std::size_t>(n));
      loop->stop();
    });
    std::thread writer([&] {
      std::this_thread::sleep_for(20ms);
      ASSERT_EQ(::write(fds[1], "ping", 4), 4);
    });
    const auto start = Clock::now();
    EXPECT_EQ(loop->run(Clock::now() + 5s), RunLoop::RunResult::stopped);
    EXPECT_LT(Clock::now() - start, 2s);
    writer.join();
    EXPECT_EQ(received, "ping");
    source->cancel();
    ASSERT_EQ(::write(fds[1], "more", 4), 4);
    loop->run(Clock::now() + 20ms);
    EXPECT_EQ(received, "ping");  // cancelled: not called again
    ::close(fds[0]);
    ::close(fds[1]);
  });
}

TEST(RunLoop, StopFromAnotherThreadWakesAWaitingLoop) {
  onFreshThread([] {
    auto loop = RunLoop::current();
    std::thread stopper([loop] {
      std::this_thread::sleep_for(30ms);
      loop->stop();
    });
    const auto start = Clock::now();
    EXPECT_EQ(loop->run(Clock::now() + 10s), RunLoop::RunResult::stopped);
    EXPECT_LT(Clock::now() - start, 2s);
    stopper.join();
  });
}

TEST(RunLoop, AStopRequestedWhileNotRunningEndsTheNextRunAfterOnePass) {
  onFreshThread([] {
    auto loop = RunLoop::current();
    int fired = 0;
    loop->addTimer(timerIn(0ms, {}, [&](const std::shared_ptr<RunLoopTimer>&) { ++fired; }));
    loop->stop();
    const auto start = Clock::now();
    EXPECT_EQ(loop->run(Clock::now() + 10s), RunLoop::RunResult::stopped);
    EXPECT_LT(Clock::now() - start, 2s);
    EXPECT_EQ(fired, 1);
  });
}

TEST(RunLoop, RunUntilAPastDateMakesOnePass) {
  onFreshThread([] {
    auto loop = RunLoop::current();
    int fired = 0;
    loop->addTimer(timerIn(-1s, {}, [&](const std::shared_ptr<RunLoopTimer>&) { ++fired; }));
    EXPECT_EQ(loop->run(Clock::now() - 1s), RunLoop::RunResult::timedOut);
    EXPECT_EQ(fired, 1);
  });
}

TEST(RunLoop, TimerAddedFromAnotherThreadWakesTheLoop) {
  onFreshThread([] {
    auto loop = RunLoop::current();
    std::atomic<bool> fired{false};
    std::thread adder([&] {
      std::this_thread::sleep_for(20ms);
      loop->addTimer(timerIn(0ms, {}, [&](const std::shared_ptr<RunLoopTimer>&) {
        fired = true;
        loop->stop();
      }));
    });
    const auto start = Clock::now();
    loop->run(Clock::now() + 10s);
    adder.join();
    EXPECT_TRUE(fired.load());
    EXPECT_LT(Clock::now() - start, 2s);
  });
}

TEST(RunLoopDeathTest, RunningAnotherThreadsLoopStops) {
  EXPECT_DEATH(
      {
        auto loop = RunLoop::current();
        std::thread([loop] { loop->run(Clock::now()); }).join();
      },
      "loop's own thread");
}

TEST(RunLoop, AnEndedThreadsLoopDropsItsTimersWithoutRunningThem) {
  auto token = std::make_shared<int>(0);
  std::weak_ptr<int> weak = token;
  std::shared_ptr<RunLoop> kept;
  bool fired = false;
  std::thread([&, token]() mutable {
    kept = RunLoop::current();
    kept->addTimer(timerIn(1h, {}, [token, &fired](const std::shared_ptr<RunLoopTimer>&) { fired = true; }));
    token.reset();
  }).join();
  token.reset();
  EXPECT_TRUE(weak.expired());  // the handler (and what it held) is gone
  EXPECT_FALSE(fired);
  kept->wakeUp();  // harmless on a loop whose thread has ended
}

TEST(RunLoop, TheMainThreadsLoopServesTheMainQueue) {
  bool ran = false;
  DispatchQueue::main()->async([&] {
    ran = true;
    RunLoop::current()->stop();
  });
  EXPECT_EQ(RunLoop::current()->run(Clock::now() + 5s), RunLoop::RunResult::stopped);
  EXPECT_TRUE(ran);
}

TEST(RunLoop, MainQueueWorkFromAnotherThreadWakesTheMainLoop) {
  std::thread poster([] {
    std::this_thread::sleep_for(20ms);
    DispatchQueue::main()->async([] { RunLoop::current()->stop(); });
  });
  const auto start = Clock::now();
  EXPECT_EQ(RunLoop::current()->run(Clock::now() + 10s), RunLoop::RunResult::stopped);
  EXPECT_LT(Clock::now() - start, 2s);
  poster.join();
}

}  // namespace
}  // namespace vantrel
