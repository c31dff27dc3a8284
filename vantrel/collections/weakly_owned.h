// File: vantrel/collections/weakly_owned.h
//
// Observer lists whose entries live only as long as their owners.
//
// `WeaklyOwnedObject` (concept): an observer class built from its owner (any
// object held by a `std::shared_ptr`) and answering `owner()`: the owner, or
// null once it is gone. Deriving from `WeaklyOwnedObjectBase` provides both.
//
// `WeaklyOwnedObjectsSphere<A>`: the list. It holds its observers strongly;
// each observer holds its owner weakly. Releasing the owner is the only way
// to stop observing: there is no removal.
//
//   struct Listener : WeaklyOwnedObjectBase {
//     using WeaklyOwnedObjectBase::WeaklyOwnedObjectBase;
//     std::function<void(int)> changed;
//   };
//   WeaklyOwnedObjectsSphere<Listener> observers;
//   observers.createNew(view, [](Listener& l) { l.changed = [](int v) { ... }; });
//   for (const auto& o : observers) if (o->changed) o->changed(42);
//
// Contract:
// - Order: elements are visited in the order they were added; dropping dead
//   ones keeps the order of the others. Duplicates are kept (the same object
//   appended twice is visited twice).
// - Iteration visits only elements whose owner is alive at the moment the
//   iterator reaches them (an owner released by an earlier callback is passed
//   over). It walks a snapshot taken when it starts: elements added during
//   the walk (even from its callbacks) are visited by the next walk only.
//   Iteration never removes anything.
// - `createNew` and `append` first drop every element whose owner is gone,
//   O(n); until then a dead element is still held (its callbacks stay alive)
//   but never visited. `createNew` runs `configure` before the new element is
//   in the list. `append` adds its element even when its owner is gone.
// - Copies share the observer objects; an element added through one copy is
//   not in the other. Iterating is O(1) to start and O(1) per element.
// Not thread-safe: a sphere belongs to the thread of the value that holds it.
#pragma once

#include <concepts>
#include <cstddef>
#include <functional>
#include <iterator>
#include <memory>
#include <utility>
#include <vector>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

template <class A>
concept WeaklyOwnedObject = std::constructible_from<A, std::shared_ptr<const void>> &&
                            requires(const A& a) {
                              { a.owner() } -> std::convertible_to<std::shared_ptr<const void>>;
                            };

// Stores the owner weakly; `owner()` reads null once the owner is released.
class WeaklyOwnedObjectBase {
 public:
  explicit WeaklyOwnedObjectBase(std::shared_ptr<const void> owner) : owner_(std::move(owner)) {}
  virtual ~WeaklyOwnedObjectBase() = default;
  // Observers are shared by reference through the sphere, never copied.
  WeaklyOwnedObjectBase(const WeaklyOwnedObjectBase&) = delete;
  WeaklyOwnedObjectBase& operator=(const WeaklyOwnedObjectBase&) = delete;

  [[nodiscard]] std::shared_ptr<const void> owner() const { return owner_.lock(); }

 private:
  std::weak_ptr<const void> owner_;
};

template <WeaklyOwnedObject A>
class WeaklyOwnedObjectsSphere {
  using List = std::vector<std::shared_ptr<A>>;

 public:
  // Walks a snapshot of the list, yielding the elements whose owner is alive
  // when reached.
  class Iterator {
   public:
    using value_type = std::shared_ptr<A>;
    using difference_type = std::ptrdiff_t;

    Iterator() = default;
    explicit Iterator(std::shared_ptr<const List> snapshot) : snapshot_(std::move(snapshot)) {
      skipDead();
    }

    const std::shared_ptr<A>& operator*() const { return (*snapshot_)[position_]; }
    const std::shared_ptr<A>* operator->() const { return &(*snapshot_)[position_]; }
    Iterator& operator++() {
      ++position_;
      skipDead();
      return *this;
    }
    void operator++(int) { ++*this; }
    friend bool operator==(const Iterator& it, std::default_sentinel_t) {
      return !it.snapshot_ || it.position_ >= it.snapshot_->size();
    }

   private:
    void skipDead() {
      while (snapshot_ && position_ < snapshot_->size() && !(*snapshot_)[position_]->owner()) {
        ++position_;
      }
    }

    std::shared_ptr<const List> snapshot_;
    std::size_t position_ = 0;
  };

  WeaklyOwnedObjectsSphere() = default;

  // Drops dead elements, creates an element for `owner`, lets `configure`
  // fill it in (before it is in the list), appends it and returns it.
  std::shared_ptr<A> createNew(std::shared_ptr<const void> owner,
                               const std::function<void(A&)>& configure = {}) {
    List next = liveElements();
    auto element = std::make_shared<A>(std::move(owner));
    if (configure) configure(*element);
    next.push_back(element);
    array_ = std::make_shared<const List>(std::move(next));
    return element;
  }

  // Drops dead elements, then adds `element` at the end.
  void append(std::shared_ptr<A> element) {
    List next = liveElements();
    next.push_back(std::move(element));
    array_ = std::make_shared<const List>(std::move(next));
  }

  [[nodiscard]] Iterator begin() const { return Iterator(array_); }
  [[nodiscard]] std::default_sentinel_t end() const { return {}; }

 private:
  // The list is never changed in place: an addition builds a new one (it
  // walks the list anyway), so a running iteration keeps its snapshot for
  // the price of one reference count.
  List liveElements() const {
    List live;
    if (!array_) return live;
    live.reserve(array_->size() + 1);
    for (const auto& element : *array_) {
      if (element->owner()) live.push_back(element);
    }
    return live;
  }

  std::shared_ptr<const List> array_;
};

}  // namespace vantrel
