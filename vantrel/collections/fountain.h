// File: vantrel/collections/fountain.h
//
// Fountains: ordered lists of listener blocks, each registered for an owner
// that the fountain holds only weakly. Nobody has to unregister: once the
// owner is gone its listener is passed over, and dropped by the next purge.
// The fountain never calls a block itself; whoever announces walks it.
//
//   auto names = Fountain<std::string>::create();
//   names->add(panel, [](const std::string& name) { ... });
//   for (const auto& registration : *names) {
//     const auto block = registration->block;   // copied: it may replace itself
//     if (block) block("new name");
//   }
//
// `Fountain<A>` holds `WeakVoidBlockOwnerWrapper<A>` registrations (blocks
// taking an A); `SourceFountain<A, B>` holds `WeakVoidBlockOwnerWrapperSV<A, B>`
// (blocks taking an A and a B). Both are held by `std::shared_ptr`
// (`create()`); owners are objects held by `std::shared_ptr`.
//
// Contract:
// - `add(owner, block)` purges dead registrations first, `add(owner, false,
//   block)` does not; either appends one registration. The same owner added
//   twice is two listeners, called in the order added.
// - `remove(owner)` drops every registration of that owner and every dead
//   one; `purgeDeallocedListeners()` drops the dead ones. Order is kept.
// - Owners are the same object when they share a control block, so an
//   object named through another base pointer (or an aliasing pointer)
//   still matches.
// - A walk (`makeIterator()`, or `begin()` / `end()`) holds the fountain and
//   yields the registrations whose owner is alive when reached. It reads the
//   list as it is at each step: registrations added during the walk are
//   reached; removed ones are no longer yielded; a removal or purge never
//   makes it pass over a live registration it has not yet yielded. Each step
//   is O(1), O(log n) after the list changed under the walk.
// - A registration holds its block strongly; the block's captures live as
//   long as the registration.
// Not thread-safe: a fountain belongs to one thread.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "vantrel/collections/any_iterator.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

namespace collections_internal {

// Whether two owners are one object: the same control block, whatever
// pointer names it.
[[nodiscard]] inline bool sameOwner(const std::shared_ptr<const void>& a,
                                    const std::shared_ptr<const void>& b) {
  return !a.owner_before(b) && !b.owner_before(a);
}

template <class Registration>
class FountainList;
struct FountainAccess;

// What every registration has besides its block: the weak owner and its
// place in registration order.
class FountainRegistration {
 public:
  explicit FountainRegistration(std::shared_ptr<const void> owner) : owner_(std::move(owner)) {}
  // Registrations are shared by reference, never copied.
  FountainRegistration(const FountainRegistration&) = delete;
  FountainRegistration& operator=(const FountainRegistration&) = delete;

 private:
  template <class>
  friend class FountainList;
  friend struct FountainAccess;

  std::weak_ptr<const void> owner_;
  // Strictly increasing along the list: a walk finds its place again by it.
  std::uint64_t serial_ = 0;
};

// The owner of a registration, null once released. Read by the fountain and
// by the announcers (observable value holders), not by hosts.
struct FountainAccess {
  [[nodiscard]] static std::shared_ptr<const void> owner(const FountainRegistration& r) {
    return r.owner_.lock();
  }
};

// The list and its walks, shared by both fountain kinds.
template <class Registration>
class FountainList : public std::enable_shared_from_this<FountainList<Registration>> {
 public:
  using RegistrationPtr = std::shared_ptr<Registration>;

  // A walk over the live registrations; holds the fountain.
  class Iterator {
   public:
    explicit Iterator(std::shared_ptr<const FountainList> fountain) : fountain_(std::move(fountain)) {}

    std::optional<RegistrationPtr> next() {
      const std::vector<RegistrationPtr>& list = fountain_->list_;
      for (std::size_t i = positionAfterLast(list); i < list.size(); ++i) {
        RegistrationPtr r = list[i];
        lastSerial_ = r->serial_;
        hint_ = i + 1;
        if (!r->owner_.expired()) return r;
      }
      hint_ = list.size();
      return std::nullopt;
    }

   private:
    // The first position whose registration came after the last one this
    // walk reached. Where that one still sits just before `hint_` (nothing
    // was removed ahead of it) that is `hint_`; otherwise a binary search.
    std::size_t positionAfterLast(const std::vector<RegistrationPtr>& list) const {
      if (hint_ == 0 && lastSerial_ == 0) return 0;
      if (hint_ > 0 && hint_ <= list.size() && list[hint_ - 1]->serial_ == lastSerial_) return hint_;
      const auto it = std::partition_point(list.begin(), list.end(), [&](const RegistrationPtr& r) {
        return r->serial_ <= lastSerial_;
      });
      return static_cast<std::size_t>(it - list.begin());
    }

    std::shared_ptr<const FountainList> fountain_;
    std::uint64_t lastSerial_ = 0;
    std::size_t hint_ = 0;
  };

  FountainList() = default;
  FountainList(const FountainList&) = delete;  // shared by reference
  FountainList& operator=(const FountainList&) = delete;

  // Purges dead registrations, then appends one for `owner`.
  void add(std::shared_ptr<const void> owner, typename Registration::Block onChangeBlock) {
    add(std::move(owner), true, std::move(onChangeBlock));
  }
  // Purges dead registrations first when `purge`, then appends one for `owner`.
  void add(std::shared_ptr<const void> owner, bool purge, typename Registration::Block onChangeBlock) {
    if (purge) purgeDeallocedListeners();
    auto r = std::make_shared<Registration>(std::move(owner), std::move(onChangeBlock));
    r->serial_ = ++lastSerial_;
    list_.push_back(std::move(r));
  }

  // Drops every registration of `owner` (the same object by control block)
  // and every dead one.
  void remove(const std::shared_ptr<const void>& owner) {
    keepIf([&](const std::shared_ptr<const void>& alive) { return !sameOwner(alive, owner); });
  }

  // Drops every registration whose owner is gone.
  void purgeDeallocedListeners() {
    keepIf([](const std::shared_ptr<const void>&) { return true; });
  }

  [[nodiscard]] Iterator makeIterator() const { return Iterator(this->shared_from_this()); }
  [[nodiscard]] StepIteratorAdapter<Iterator> begin() const {
    return StepIteratorAdapter<Iterator>(makeIterator());
  }
  [[nodiscard]] std::default_sentinel_t end() const { return {}; }

 private:
  // Keeps, in order, the registrations whose owner is alive and passes
  // `keep`. The dropped ones are released after the list is consistent, so
  // a block's captures that touch the fountain when destroyed see it whole.
  template <class Keep>
  void keepIf(Keep keep) {
    std::vector<RegistrationPtr> kept;
    kept.reserve(list_.size());
    for (const RegistrationPtr& r : list_) {
      const auto owner = r->owner_.lock();
      if (owner && keep(owner)) kept.push_back(r);
    }
    std::swap(list_, kept);
  }

  std::vector<RegistrationPtr> list_;
  std::uint64_t lastSerial_ = 0;
};

}  // namespace collections_internal

// One registration of a `Fountain<A>`: the owner, held weakly, and the
// listener block, held strongly and replaceable.
template <class A>
class WeakVoidBlockOwnerWrapper : public collections_internal::FountainRegistration {
 public:
  using Block = std::function<void(const A&)>;
  WeakVoidBlockOwnerWrapper(std::shared_ptr<const void> owner, Block block)
      : FountainRegistration(std::move(owner)), block(std::move(block)) {}
  Block block;
};

// One registration of a `SourceFountain<A, B>`.
template <class A, class B>
class WeakVoidBlockOwnerWrapperSV : public collections_internal::FountainRegistration {
 public:
  using Block = std::function<void(const A&, const B&)>;
  WeakVoidBlockOwnerWrapperSV(std::shared_ptr<const void> owner, Block block)
      : FountainRegistration(std::move(owner)), block(std::move(block)) {}
  Block block;
};

// Listeners taking one A.
template <class A>
class Fountain final : public collections_internal::FountainList<WeakVoidBlockOwnerWrapper<A>> {
  struct Passkey {
    explicit Passkey() = default;
  };

 public:
  [[nodiscard]] static std::shared_ptr<Fountain> create() { return std::make_shared<Fountain>(Passkey{}); }
  explicit Fountain(Passkey) {}
};

// Listeners taking an A and a B.
template <class A, class B>
class SourceFountain final
    : public collections_internal::FountainList<WeakVoidBlockOwnerWrapperSV<A, B>> {
  struct Passkey {
    explicit Passkey() = default;
  };

 public:
  [[nodiscard]] static std::shared_ptr<SourceFountain> create() {
    return std::make_shared<SourceFountain>(Passkey{});
  }
  explicit SourceFountain(Passkey) {}
};

}  // namespace vantrel
