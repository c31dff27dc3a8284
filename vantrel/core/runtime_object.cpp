#include "vantrel/core/runtime_object.h"

#include <algorithm>
#include <utility>

namespace vantrel {

void RuntimeObject::objc_setAssociatedAny(std::any value, const void* associativeKey, AssociationPolicy) {
  std::any previous;  // released outside the lock: its destructor may be anything
  {
    std::lock_guard lock(mutex_);
    auto it = associated_.find(associativeKey);
    if (!value.has_value()) {
      if (it != associated_.end()) {
        previous = std::move(it->second);
        associated_.erase(it);
      }
    } else if (it != associated_.end()) {
      previous = std::exchange(it->second, std::move(value));
    } else {
      associated_.emplace(associativeKey, std::move(value));
    }
  }
}

std::any RuntimeObject::objc_getAssociatedAny(const void* associativeKey) const {
  std::lock_guard lock(mutex_);
  auto it = associated_.find(associativeKey);
  return it == associated_.end() ? std::any() : it->second;
}

void RuntimeObject::addObserver(const std::shared_ptr<RuntimeObjectObserver>& observer, std::string keyPath) {
  if (!observer) return;
  std::lock_guard lock(mutex_);
  // Registrations of observers already gone are dropped here, so a long-lived
  // object does not collect them.
  std::erase_if(registrations_, [](const Registration& r) { return r.observer.expired(); });
  registrations_.push_back({observer, observer.get(), std::move(keyPath)});
}

void RuntimeObject::removeObserver(const RuntimeObjectObserver& observer, std::string_view keyPath) {
  std::lock_guard lock(mutex_);
  for (auto it = registrations_.rbegin(); it != registrations_.rend(); ++it) {
    // A released observer's address may be reused by a new one: only live
    // registrations match.
    if (it->identity == &observer && it->keyPath == keyPath && !it->observer.expired()) {
      registrations_.erase(std::next(it).base());
      return;
    }
  }
}

void RuntimeObject::didChangeValueForKey(std::string_view keyPath) {
  std::vector<std::shared_ptr<RuntimeObjectObserver>> targets;
  {
    std::lock_guard lock(mutex_);
    for (const Registration& r : registrations_) {
      if (r.keyPath != keyPath) continue;
      if (auto live = r.observer.lock()) targets.push_back(std::move(live));
    }
  }
  for (const auto& observer : targets) observer->observeValue(keyPath, *this);
}

void VtObserve(const std::shared_ptr<RuntimeObjectObserver>& observer, RuntimeObject& what,
               std::string_view keyPath) {
  what.addObserver(observer, std::string(keyPath));
}

void VtObserveRemove(const RuntimeObjectObserver& observer, RuntimeObject& what, std::string_view keyPath) {
  what.removeObserver(observer, keyPath);
}

}  // namespace vantrel
