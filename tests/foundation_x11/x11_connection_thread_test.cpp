// What runs on a connection's thread and throws is reported, fails only what
// threw (a caller waiting for it is answered false), and the thread goes on
// serving: a throw there used to end the process.
#include "vantrel/platform/desktop/internal/x11_connection_thread.h"

#include <chrono>
#include <functional>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <thread>

#include <X11/Xlib.h>

#include <gtest/gtest.h>

#include "tests/support/xvfb_server.h"
#include "vantrel/core/console.h"
#include "vantrel/platform/desktop/internal/x11_connection.h"

namespace vantrel::desktop_internal {
namespace {

struct Throw {
  const char* name;
  std::function<void()> raise;
  std::string description;  // what the report adds after the thread's name
};

const Throw kThrows[] = {
    {"an error", [] { throw std::runtime_error("the command failed"); }, ": the command failed"},
    {"out of memory", [] { throw std::bad_alloc(); }, ": std::bad_alloc"},
    {"not an exception", [] { throw 42; }, ""},
};

X11ConnectionThread::Hooks quietHooks() {
  X11ConnectionThread::Hooks hooks;
  hooks.open = [](X11Connection&) { return true; };
  hooks.event = [](const _XEvent&) {};
  return hooks;
}

class X11ConnectionThreadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string whyNot;
    server = testing::XvfbServer::start(whyNot);
    if (!server) GTEST_SKIP() << whyNot << "; X11 test skipped";
    thread = std::make_unique<X11ConnectionThread>();
    ASSERT_TRUE(thread->start(server->displayName(), quietHooks(), nullptr));
  }
  void TearDown() override { thread.reset(); }  // before the server stops

  std::string report(const std::string& what, const Throw& t) const {
    return "Uncaught exception in " + what + " on the X thread of \"" + server->displayName() + "\"" +
           t.description + "\n";
  }

  std::unique_ptr<testing::XvfbServer> server;
  std::unique_ptr<X11ConnectionThread> thread;
};

TEST_F(X11ConnectionThreadTest, AThrowingCommandFailsForItsCallerAndTheThreadServesOn) {
  for (const Throw& t : kThrows) {
    SCOPED_TRACE(t.name);
    ConsoleCapture capture;
    EXPECT_FALSE(thread->run([&] { t.raise(); }));
    EXPECT_EQ(capture.standardError(), report("a command", t));
    bool ran = false;
    EXPECT_TRUE(thread->run([&] { ran = true; }));
    EXPECT_TRUE(ran);
    EXPECT_TRUE(thread->isConnected());
  }
}

TEST_F(X11ConnectionThreadTest, AThrowingCommandRunFromTheThreadFailsOnlyItself) {
  for (const Throw& t : kThrows) {
    SCOPED_TRACE(t.name);
    ConsoleCapture capture;
    bool inner = true;
    bool outerFinished = false;
    EXPECT_TRUE(thread->run([&] {
      inner = thread->run([&] { t.raise(); });
      outerFinished = true;
    }));
    EXPECT_FALSE(inner);
    EXPECT_TRUE(outerFinished);
    EXPECT_EQ(capture.standardError(), report("a command", t));
  }
}

TEST_F(X11ConnectionThreadTest, AThrowingSetUpIsReportedAndGivesNoThread) {
  for (const Throw& t : kThrows) {
    SCOPED_TRACE(t.name);
    ConsoleCapture capture;
    X11ConnectionThread other;
    X11ConnectionThread::Hooks hooks = quietHooks();
    hooks.open = [&](X11Connection&) -> bool {
      t.raise();
      return true;
    };
    EXPECT_FALSE(other.start(server->displayName(), std::move(hooks), nullptr));
    EXPECT_FALSE(other.isConnected());
    EXPECT_FALSE(other.run([] {}));
    EXPECT_EQ(capture.standardError(), report("the set-up", t));
  }
}

// A server that stops answering holds the thread, not its owner: with a
// limit, opening and stopping wait no longer than it, and the thread ends
// on its own once the server answers again.
TEST_F(X11ConnectionThreadTest, AStoppedServerHoldsTheThreadNotTheCaller) {
  using Clock = std::chrono::steady_clock;
  constexpr auto kLimit = std::chrono::milliseconds(300);
  struct Service {
    X11ConnectionThread thread;
  };
  server->pause();
  std::weak_ptr<Service> left;
  {
    auto service = std::make_shared<Service>();
    left = service;
    const auto start = Clock::now();
    EXPECT_FALSE(service->thread.start(server->displayName(), quietHooks(), service, kLimit));
    EXPECT_LT(Clock::now() - start, kLimit + std::chrono::milliseconds(700));
    EXPECT_FALSE(service->thread.isConnected());
  }
  server->resume();
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  while (!left.expired() && Clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(left.expired()) << "the thread did not end once the server answered";

  // Opened, then the server stops: stopping waits at most the limit.
  auto service = std::make_shared<Service>();
  left = service;
  ASSERT_TRUE(service->thread.start(server->displayName(), quietHooks(), service, kLimit));
  server->pause();
  // A command that waits on the server keeps the thread busy.
  X11ConnectionThread* const thread = &service->thread;
  (void)thread->run([thread] { XSync(thread->display(), False); }, std::chrono::milliseconds(50));
  const auto start = Clock::now();
  service->thread.stop();
  EXPECT_LT(Clock::now() - start, kLimit + std::chrono::milliseconds(700));
  service.reset();
  server->resume();
  const auto ended = Clock::now() + std::chrono::seconds(10);
  while (!left.expired() && Clock::now() < ended) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(left.expired()) << "the thread did not end once the server answered";
}

}  // namespace
}  // namespace vantrel::desktop_internal
