// Checks that a call made in `main` works again once the thread's
// thread_local objects are gone.
//
//   EXPECT_USE_AT_EXIT([] { if (characterCount("e\u0301") != 1) std::abort(); });
//
// On `exit` the exiting thread's thread_local objects are destroyed before
// its atexit handlers and static destructors run, and an ending thread's
// before the rest of its thread_local destructors that were made earlier.
// For each of those places the check runs `use` in a fresh process (the
// "threadsafe" death-test style re-executes the test binary): once on the
// test's thread, so whatever it keeps per thread is made, then again from
// that place, and the process exits. AddressSanitizer turns a use of freed
// memory, and LeakSanitizer a leak, into a failed exit. The handler and the
// static are made before the first use, so they run after the destructors
// of every static that use makes. `use` calls std::abort on a wrong answer.
// The fresh process runs the test's body up to the check, so nothing before
// it may call `use` (or what it calls) on the test's thread: whatever that
// made would be destroyed after the main thread's thread_local destructor.
#pragma once

#include <cstdlib>
#include <thread>

#include <gtest/gtest.h>

namespace vantrel::testing {

enum class ExitPlace { staticDestructor, atexitHandler, mainThreadLocal, otherThreadLocal };

inline constexpr ExitPlace kExitPlaces[] = {ExitPlace::staticDestructor, ExitPlace::atexitHandler,
                                            ExitPlace::mainThreadLocal, ExitPlace::otherThreadLocal};

inline const char* exitPlaceName(ExitPlace place) {
  switch (place) {
    case ExitPlace::staticDestructor: return "a static destructor";
    case ExitPlace::atexitHandler: return "an atexit handler";
    case ExitPlace::mainThreadLocal: return "a thread_local destructor of the main thread";
    case ExitPlace::otherThreadLocal: return "a thread_local destructor of another thread";
  }
  return "";
}

inline void (*gUseAtExit)() = nullptr;

struct UsesAtExit {
  ~UsesAtExit() { gUseAtExit(); }
};

[[noreturn]] inline void exitAfterUsingAt(void (*use)(), ExitPlace place) {
  gUseAtExit = use;
  switch (place) {
    case ExitPlace::staticDestructor: {
      static UsesAtExit last;
      use();
      break;
    }
    case ExitPlace::atexitHandler:
      std::atexit([] { gUseAtExit(); });
      use();
      break;
    case ExitPlace::mainThreadLocal: {
      // Made first, so destroyed after what `use` makes for the thread.
      thread_local UsesAtExit last;
      (void)&last;
      use();
      break;
    }
    case ExitPlace::otherThreadLocal:
      use();
      std::thread([] {
        thread_local UsesAtExit last;
        (void)&last;
        gUseAtExit();
      }).join();
      break;
  }
  std::exit(0);
}

}  // namespace vantrel::testing

#define EXPECT_USE_AT_EXIT(use)                                                                       \
  do {                                                                                                \
    GTEST_FLAG_SET(death_test_style, "threadsafe");                                                   \
    for (const ::vantrel::testing::ExitPlace place : ::vantrel::testing::kExitPlaces) {               \
      SCOPED_TRACE(::vantrel::testing::exitPlaceName(place));                                         \
      EXPECT_EXIT(::vantrel::testing::exitAfterUsingAt(use, place), ::testing::ExitedWithCode(0), ""); \
    }                                                                                                 \
  } while (false)
