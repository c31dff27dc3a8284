// The text module's shared sets and its break-iterator prototype stay usable
// by threads that run on while the process exits.
#include <cstdlib>
#include <thread>

#include <gtest/gtest.h>

#include "tests/support/exit_while_used.h"
#include "tests/support/use_at_exit.h"
#include "vantrel/text/character_set.h"
#include "vantrel/text/characters.h"

namespace vantrel {
namespace {

TEST(ExitTimeStatics, TextSetsAndIteratorsOutliveExit) {
  EXPECT_EXIT_WHILE_USED([] {
    for (const CharacterSet* set : {&CharacterSet::whitespaces(), &CharacterSet::whitespacesAndNewlines(),
                                    &CharacterSet::newlines(), &CharacterSet::urlPathAllowed()}) {
      if (!set->contains(U' ') && !set->contains(U'/') && !set->contains(U'\n')) std::abort();
    }
    // A new thread clones its break iterator from the shared prototype.
    std::thread([] {
      if (characterCount("e\u0301\u00E9") != 2) std::abort();
    }).join();
  });
}

// Each thread walks with a break iterator of its own, made again when a call
// comes after the thread's thread_local objects are gone.
TEST(ExitTimeStatics, CharactersAreCountedOnceTheThreadsIteratorIsGone) {
  EXPECT_USE_AT_EXIT([] {
    if (characterCount("e\u0301\r\n\U0001F468\u200D\U0001F469\u200D\U0001F467") != 3) std::abort();
  });
}

}  // namespace
}  // namespace vantrel
