// File: vantrel/core/runtime_object.h
//
// `RuntimeObject`: a base for objects held by `std::shared_ptr` that carry
// associated values and announce changes of their properties to key-value
// observers.
//
//   static const char kTagKey = 0;                   // the key is the address
//   object->objc_setAssociated(std::string("a"), &kTagKey);
//   object->objc_getAssociated<std::string>(&kTagKey);   // "a"
//   object->objc_getAssociated<std::int64_t>(&kTagKey);  // nullopt: another type
//
//   struct Watcher : RuntimeObjectObserver {
//     void observeValue(std::string_view keyPath, RuntimeObject& object) override;
//   };
//   VtObserve(watcher, *object, "state");           // watcher is held weakly
//   object->didChangeValueForKey("state");          // calls watcher, on this thread
//   VtObserveRemove(*watcher, *object, "state");
//
// Associated values are held by value in `std::any` (text given as a literal
// is kept as `std::string`); setting an empty `std::any` removes the value.
// Observers are called synchronously on the changing thread, in registration
// order, outside the object's lock; an observer already released is skipped.
// Registering twice calls twice; removing takes away the latest matching
// registration, and removing one that is not there changes nothing.
// Thread-safe.
#pragma once

#include <any>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class RuntimeObject;

// The runtime's association policies (raw values as the runtime numbers
// them). Values are always held by value here, under the object's lock, so
// the policy changes nothing of what is stored; it is kept for callers that
// name one.
enum class AssociationPolicy : std::uintptr_t {
  assign = 0,
  retainNonatomic = 1,
  copyNonatomic = 3,
  retain = 01401,
  copy = 01403,
};

// One callback for every observed change.
class RuntimeObjectObserver {
 public:
  virtual ~RuntimeObjectObserver() = default;
  virtual void observeValue(std::string_view keyPath, RuntimeObject& object) = 0;
};

class RuntimeObject {
 public:
  RuntimeObject() = default;
  virtual ~RuntimeObject() = default;
  RuntimeObject(const RuntimeObject&) = delete;  // identity is the object
  RuntimeObject& operator=(const RuntimeObject&) = delete;

  // Attaches `value` under the address `associativeKey`, replacing what was
  // there; an empty `std::any` removes it.
  void objc_setAssociatedAny(std::any value, const void* associativeKey,
                             AssociationPolicy policy = AssociationPolicy::retainNonatomic);
  template <class T>
  void objc_setAssociated(T&& value, const void* associativeKey,
                          AssociationPolicy policy = AssociationPolicy::retainNonatomic) {
    using U = std::remove_cvref_t<T>;
    if constexpr (std::is_same_v<U, std::any>) {
      objc_setAssociatedAny(std::forward<T>(value), associativeKey, policy);
    } else if constexpr (std::is_convertible_v<const U&, std::string_view> && !std::is_same_v<U, std::string>) {
      objc_setAssociatedAny(std::any(std::string(std::string_view(value))), associativeKey, policy);
    } else {
      objc_setAssociatedAny(std::any(U(std::forward<T>(value))), associativeKey, policy);
    }
  }

  // What is attached under the key, as a T; nullopt when nothing is, or when
  // it is of another type.
  [[nodiscard]] std::any objc_getAssociatedAny(const void* associativeKey) const;
  template <class T>
  [[nodiscard]] std::optional<T> objc_getAssociated(const void* associativeKey) const {
    const std::any value = objc_getAssociatedAny(associativeKey);
    if (const T* typed = std::any_cast<T>(&value)) return *typed;
    return std::nullopt;
  }

  // Key-value observation; see the file comment.
  void addObserver(const std::shared_ptr<RuntimeObjectObserver>& observer, std::string keyPath);
  void removeObserver(const RuntimeObjectObserver& observer, std::string_view keyPath);
  // Calls the live observers of `keyPath`.
  void didChangeValueForKey(std::string_view keyPath);

 private:
  struct Registration {
    std::weak_ptr<RuntimeObjectObserver> observer;
    const RuntimeObjectObserver* identity;
    std::string keyPath;
  };

  mutable std::mutex mutex_;  // guards the two fields below
  std::map<const void*, std::any> associated_;
  std::vector<Registration> registrations_;
};

// Registers `observer` (held weakly) for changes of `keyPath` of `what`,
// with no options and no context.
void VtObserve(const std::shared_ptr<RuntimeObjectObserver>& observer, RuntimeObject& what,
               std::string_view keyPath);
// Removes that registration from `what`.
void VtObserveRemove(const RuntimeObjectObserver& observer, RuntimeObject& what, std::string_view keyPath);

}  // namespace vantrel
