#include "vantrel/core/thread_cache.h"

#include <cxxabi.h>

#include "vantrel/core/fatal.h"

namespace vantrel {

// The entry the compiler registers for a thread_local destructor. Unlike a
// thread_local object it can be registered again after the thread's list has
// run. The third argument names the library the function lives in, which
// stays loaded until the function has run.
void runAtThreadExit(void (*destroy)(void*), void* object) {
  if (__cxxabiv1::__cxa_thread_atexit(destroy, object, reinterpret_cast<void*>(destroy)) != 0) {
    fatal("Cannot register a thread-exit destructor");
  }
}

}  // namespace vantrel
