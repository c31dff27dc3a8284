// A call the parent still waits for holds nothing back in a forked child,
// which has none of the parent's threads.
#include "vantrel/platform/desktop/internal/server_calls.h"

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <future>

#include <gtest/gtest.h>

namespace vantrel::desktop_internal {
namespace {

constexpr std::chrono::milliseconds kLimit{200};

TEST(ServerCalls, AForkedChildDoesNotWaitForTheParentsUnansweredCall) {
  ServerCalls calls;
  std::promise<void> answer;
  std::shared_future<void> answered = answer.get_future().share();
  ASSERT_EQ(calls.ask([answered] { answered.wait(); return 1; }, kLimit), std::nullopt);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) _exit(calls.ask([] { return 7; }, kLimit) == 7 ? 0 : 1);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  answer.set_value();
}

}  // namespace
}  // namespace vantrel::desktop_internal
