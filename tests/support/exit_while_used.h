// Checks that statics survive exit while a never-joined thread uses them.
//
//   EXPECT_EXIT_WHILE_USED([] { (void)CharacterSet::whitespaces().contains(U' '); });
//
// The runtime's worker threads are never joined, so they may still run while
// the process exits. The check runs `use` in a fresh process (the
// "threadsafe" death-test style re-executes the test binary), starts a thread
// that repeats it, and exits. A pause registered before the first use runs
// after the destructors of every static that use makes, so the thread has
// the whole pause to touch whatever they freed; AddressSanitizer turns that
// into a failed exit. `use` calls std::abort on a wrong answer.
#pragma once

#include <chrono>
#include <cstdlib>
#include <thread>

#include <gtest/gtest.h>

namespace vantrel::testing {

[[noreturn]] inline void exitWhileAThreadUses(void (*use)()) {
  std::atexit([] { std::this_thread::sleep_for(std::chrono::milliseconds(50)); });
  use();
  std::thread([use] {
    for (;;) use();
  }).detach();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  std::exit(0);
}

}  // namespace vantrel::testing

#define EXPECT_EXIT_WHILE_USED(use)                                                               \
  do {                                                                                            \
    GTEST_FLAG_SET(death_test_style, "threadsafe");                                               \
    EXPECT_EXIT(::vantrel::testing::exitWhileAThreadUses(use), ::testing::ExitedWithCode(0), ""); \
  } while (false)
