// File: vantrel/core/no_destructor.h
//
// `NoDestructor<T>` holds a T that is built on first use and never destroyed.
// Use it for every process-lifetime static that a worker thread can reach:
// the runtime's threads are never joined, so a static destroyed at exit could
// still be read by one of them.
//
//   const CharacterSet& urlAllowed() {
//     static const NoDestructor<CharacterSet> set(buildUrlAllowed());
//     return *set;
//   }
//
// Construction is as thread-safe as the function-local static it sits in.
#pragma once

#include <new>
#include <type_traits>
#include <utility>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

template <class T>
class NoDestructor {
 public:
  template <class... Args>
  explicit NoDestructor(Args&&... args) {
    new (storage_) T(std::forward<Args>(args)...);
  }
  // A copy or move would need a destructor on one side of it.
  NoDestructor(const NoDestructor&) = delete;
  NoDestructor& operator=(const NoDestructor&) = delete;
  ~NoDestructor() = default;

  T& get() noexcept { return *std::launder(reinterpret_cast<T*>(storage_)); }
  const T& get() const noexcept { return *std::launder(reinterpret_cast<const T*>(storage_)); }
  T& operator*() noexcept { return get(); }
  const T& operator*() const noexcept { return get(); }
  T* operator->() noexcept { return &get(); }
  const T* operator->() const noexcept { return &get(); }

 private:
  alignas(T) unsigned char storage_[sizeof(T)];
};

}  // namespace vantrel
