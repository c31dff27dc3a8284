// File: vantrel/collections/observable_values.h
//
// Observable value holders: one current value and a fountain of listeners
// (vantrel/collections/fountain.h) that `set` calls.
//
//   auto zoom = ObservableOptionalEquatable<double>::create(std::nullopt);
//   zoom->fountain()->add(panel, [](const std::optional<double>& z) { ... });
//   zoom->set(2.0);                 // panel's block gets Optional(2.0)
//   zoom->set(2.0, panel);          // trace "❎❎❎ not changed", nobody called
//   zoom->set(3.0, panel);          // stored; panel's own blocks are skipped
//
// | class                                         | value       | `set` when equal              |
// | `ObservableProperty<A>`                       | A           | announces again               |
// | `ObservableOptional<A>`                       | optional A  | announces again               |
// | `ObservableEquatable<A>`                      | A           | nothing, silently             |
// | `ObservableOptionalComparable<A>`             | optional A  | nothing, trace line           |
// | `ObservableOptionalEquatable<A>`              | optional A  | nothing, trace line           |
// | `ObservableOptionalEquatable_WithContentUpdateFountain<A>` | optional A | nothing, trace line |
// The trace line is "❎❎❎ not changed" through `qfilelog`. Optional
// equality: two absent values are equal, absent and present are not.
//
// Announcing: after storing, the holder walks its fountain (registration
// order, live owners only; see fountain.h for additions and removals during
// the walk). A listener whose owner is the sender (the same object by
// control block) is skipped. Each block is copied before its call, so it
// may replace itself, and is passed a copy of the value as it is at that
// moment: a listener that sets the holder again makes the later listeners
// receive the newer value. The holder keeps itself alive while it
// announces, so a block may release it.
//
// The content-update class also has `fountainContentUpdate` (blocks taking
// a present A) and `updateContent(value, sender)`: for an equal value it
// stores it and tells only the content listeners, passing that value; for
// an absent or unequal value it prints a warning through the console sink
// and changes nothing:
//   "🍏🍏🍏 warning: should not happen. updateContent with nil value"
//   "🍏🍏🍏 warning: should not happen. updateContent from Optional(1) to Optional(2)"
// (values written by `describe`: Optional(…) or nil).
//
// Holders are held by `std::shared_ptr` (`create(initial)`); senders and
// owners are objects held by `std::shared_ptr`. Not thread-safe: a holder
// belongs to one thread, and listeners run on it before `set` returns.
#pragma once

#include <concepts>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "vantrel/collections/fountain.h"
#include "vantrel/core/console.h"
#include "vantrel/core/describe.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

namespace collections_internal {

// Prints "❎❎❎ not changed" through `qfilelog`.
void traceNotChanged();

// Calls the block of every live registration of `fountain` whose owner is
// not `sender`, with a copy of `current()` taken just before that call. The
// owner is held for the call.
template <class V, class Current>
void announce(const Fountain<V>& fountain, const std::shared_ptr<const void>& sender,
              Current current) {
  auto walk = fountain.makeIterator();
  while (const auto registration = walk.next()) {
    const auto owner = FountainAccess::owner(**registration);
    if (!owner || (sender && sameOwner(owner, sender))) continue;
    const auto block = (*registration)->block;
    if (!block) continue;
    const V value = current();
    block(value);
  }
}

// What the six holders share: the value, its fountain, `create` and `set`.
// `Derived::unchanged(next)` tells whether `set` must leave the holder as it
// is (and reports that itself); holders that never compare answer false.
template <class V, class Derived>
class HolderBase : public std::enable_shared_from_this<Derived> {
 public:
  HolderBase(const HolderBase&) = delete;  // shared by reference
  HolderBase& operator=(const HolderBase&) = delete;

  // A new holder of `initial`; no listener is called.
  [[nodiscard]] static std::shared_ptr<Derived> create(V initial) {
    return std::make_shared<Derived>(Passkey{}, std::move(initial));
  }

  [[nodiscard]] const V& value() const { return value_; }
  [[nodiscard]] const std::shared_ptr<Fountain<V>>& fountain() const { return fountain_; }

  // Stores `value` and announces it to every listener but the sender's.
  void set(V value, const std::shared_ptr<const void>& doNotInformSender = nullptr) {
    if (static_cast<Derived*>(this)->unchanged(value)) return;
    const auto keepAlive = this->weak_from_this().lock();
    value_ = std::move(value);
    announce(*fountain_, doNotInformSender, [this] { return value_; });
  }

 protected:
  struct Passkey {
    explicit Passkey() = default;
  };
  explicit HolderBase(V initial) : fountain_(Fountain<V>::create()), value_(std::move(initial)) {}
  ~HolderBase() = default;

  // The comparing holders' `unchanged`: a value equal to the held one traces
  // "❎❎❎ not changed" and leaves the holder as it is.
  bool equalTraced(const V& next) const {
    if (next != value_) return false;
    traceNotChanged();
    return true;
  }

  const std::shared_ptr<Fountain<V>> fountain_;
  V value_;
};

}  // namespace collections_internal

// A value whose every `set` is announced, also of the value it holds.
template <class A>
class ObservableProperty final : public collections_internal::HolderBase<A, ObservableProperty<A>> {
  using Base = collections_internal::HolderBase<A, ObservableProperty>;
  friend Base;

 public:
  ObservableProperty(typename Base::Passkey, A initial) : Base(std::move(initial)) {}

 private:
  bool unchanged(const A&) const { return false; }
};

// An optional value whose every `set` is announced.
template <class A>
class ObservableOptional final
    : public collections_internal::HolderBase<std::optional<A>, ObservableOptional<A>> {
  using Base = collections_internal::HolderBase<std::optional<A>, ObservableOptional>;
  friend Base;

 public:
  ObservableOptional(typename Base::Passkey, std::optional<A> initial) : Base(std::move(initial)) {}
  [[nodiscard]] bool hasValue() const { return this->value_.has_value(); }

 private:
  bool unchanged(const std::optional<A>&) const { return false; }
};

// A value whose `set` to an equal value does nothing, silently.
template <std::equality_comparable A>
class ObservableEquatable final
    : public collections_internal::HolderBase<A, ObservableEquatable<A>> {
  using Base = collections_internal::HolderBase<A, ObservableEquatable>;
  friend Base;

 public:
  ObservableEquatable(typename Base::Passkey, A initial) : Base(std::move(initial)) {}

 private:
  bool unchanged(const A& next) const { return next == this->value_; }
};

// An optional value whose `set` to an equal one traces "❎❎❎ not changed"
// and does nothing; only the ordering type's equality is used.
template <std::totally_ordered A>
class ObservableOptionalComparable final
    : public collections_internal::HolderBase<std::optional<A>, ObservableOptionalComparable<A>> {
  using Base = collections_internal::HolderBase<std::optional<A>, ObservableOptionalComparable>;
  friend Base;

 public:
  ObservableOptionalComparable(typename Base::Passkey, std::optional<A> initial)
      : Base(std::move(initial)) {}
  [[nodiscard]] bool hasValue() const { return this->value_.has_value(); }

 private:
  bool unchanged(const std::optional<A>& next) const { return this->equalTraced(next); }
};

// An optional value whose `set` to an equal one traces "❎❎❎ not changed"
// and does nothing.
template <std::equality_comparable A>
class ObservableOptionalEquatable final
    : public collections_internal::HolderBase<std::optional<A>, ObservableOptionalEquatable<A>> {
  using Base = collections_internal::HolderBase<std::optional<A>, ObservableOptionalEquatable>;
  friend Base;

 public:
  ObservableOptionalEquatable(typename Base::Passkey, std::optional<A> initial)
      : Base(std::move(initial)) {}
  [[nodiscard]] bool hasValue() const { return this->value_.has_value(); }

 private:
  bool unchanged(const std::optional<A>& next) const { return this->equalTraced(next); }
};

// `ObservableOptionalEquatable` with a second fountain for updates of the
// content of an equal value.
template <std::equality_comparable A>
class ObservableOptionalEquatable_WithContentUpdateFountain final
    : public collections_internal::HolderBase<std::optional<A>,
                                              ObservableOptionalEquatable_WithContentUpdateFountain<A>> {
  using Base = collections_internal::HolderBase<std::optional<A>,
                                                ObservableOptionalEquatable_WithContentUpdateFountain>;
  friend Base;

 public:
  ObservableOptionalEquatable_WithContentUpdateFountain(typename Base::Passkey,
                                                        std::optional<A> initial)
      : Base(std::move(initial)) {}
  [[nodiscard]] bool hasValue() const { return this->value_.has_value(); }
  [[nodiscard]] const std::shared_ptr<Fountain<A>>& fountainContentUpdate() const {
    return fountainContentUpdate_;
  }

  // Replaces the value by an equal one whose content changed and tells only
  // the content listeners (not the sender's), passing them `value`. An
  // absent or unequal value is reported and changes nothing.
  void updateContent(std::optional<A> value,
                     const std::shared_ptr<const void>& doNotInformSender = nullptr) {
    if (!value) {
      consolePrint("🍏🍏🍏 warning: should not happen. updateContent with nil value");
      return;
    }
    if (value != this->value_) {
      consolePrint("🍏🍏🍏 warning: should not happen. updateContent from " + describe(this->value_) +
                   " to " + describe(value));
      return;
    }
    const auto keepAlive = this->weak_from_this().lock();
    this->value_ = value;
    const A given = std::move(*value);
    collections_internal::announce(*fountainContentUpdate_, doNotInformSender,
                                   [&given] { return given; });
  }

 private:
  bool unchanged(const std::optional<A>& next) const { return this->equalTraced(next); }

  const std::shared_ptr<Fountain<A>> fountainContentUpdate_ = Fountain<A>::create();
};

}  // namespace vantrel
