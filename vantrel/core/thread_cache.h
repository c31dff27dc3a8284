// File: vantrel/core/thread_cache.h
//
// `ThreadCache<T>` holds one T per thread, made on the thread's first use and
// destroyed when the thread ends. Declare it `constinit thread_local`:
//
//   Buffer& threadBuffer() {
//     constinit thread_local ThreadCache<Buffer> cache;
//     return cache.get();
//   }
//
// A thread_local T would be destroyed with the thread's other thread_local
// objects, which on `exit` (or a return from `main`) happens before the
// atexit handlers and static destructors run; a library call from one of
// them, or from a later thread_local destructor, would then reach a T that
// is gone. A ThreadCache has no destructor of its own: its T is destroyed
// through the same thread-exit list the compiler uses, the slot is emptied
// first, and a call after that makes a new T, whose destruction is queued
// again. On a thread that is ending the new T goes with it; on the main
// thread once `exit` has run the thread's destructors it lives until the
// process is gone, still reachable from the slot (so no leak is reported).
//
// The common path is one thread-local load and a test.
#pragma once

#include <memory>
#include <type_traits>
#include <utility>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// Runs `destroy(object)` when the calling thread ends, with its thread_local
// destructors (on the main thread: when `exit` runs them). Registered while
// those run, it runs in the same pass; registered on the main thread after
// `exit` has run them, never.
void runAtThreadExit(void (*destroy)(void*), void* object);

template <class T>
class ThreadCache {
 public:
  constexpr ThreadCache() noexcept = default;
  ThreadCache(const ThreadCache&) = delete;
  ThreadCache& operator=(const ThreadCache&) = delete;
  ~ThreadCache() = default;

  // The thread's T; when it has none, the one `make()` answers (a
  // std::unique_ptr<T>).
  template <class Make>
  T& get(Make&& make) {
    static_assert(std::is_trivially_destructible_v<ThreadCache>);
    if (object_ != nullptr) [[likely]] return *object_;
    return adopt(std::forward<Make>(make)());
  }
  T& get() {
    return get([] { return std::make_unique<T>(); });
  }

  // The thread's T, or null while it has none; makes nothing.
  [[nodiscard]] T* find() const noexcept { return object_; }

 private:
  T& adopt(std::unique_ptr<T> made) {
    runAtThreadExit(&release, this);
    object_ = made.release();
    return *object_;
  }

  static void release(void* cache) {
    // Emptied before T goes, so whatever its destructor calls makes a new one.
    const std::unique_ptr<T> object(std::exchange(static_cast<ThreadCache*>(cache)->object_, nullptr));
  }

  T* object_ = nullptr;
};

}  // namespace vantrel
