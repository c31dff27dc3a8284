// File: vantrel/observable/optionally_filtered_set_based_on_observable_set.h
//
// `OptionallyFilteredSet_BasedOnObservableSet<E>`: a live view of an
// `ObservableSet<E>` showing the elements that pass an optional filter. It
// follows the base report by report and reports its own changes to its
// observers (`OptionallyFilteredSet_BasedOnObservableSetObserver<E>`).
//
//   auto all = ObservableSet<int>::create({1, 2, 3, 4});
//   auto even = OptionallyFilteredSet_BasedOnObservableSet<int>::create(
//       all, [](const int& v) { return v % 2 == 0; });
//   even->count();      // 2
//   all->insert(6);     // `even` reports inserted(6); inserting 7 reports nothing
//
// With a filter the view keeps the passing elements (`inElements()`),
// always the values the base stores now: an update replaces the member it
// held, an element leaves when the base removes it (whatever the filter
// says of the value the removal names), and a batch insertion reports only
// elements that were not held yet. Without a filter it keeps no copy,
// answers from the base and passes the base's reports on unchanged. A
// batch update (`updatedMultiple`) is followed element by element, as
// single updates. `setFilterBlock` recomputes the content and reports
// `filterChanged` only.
//
// The view keeps its base alive; the base holds the view's observer only
// weakly (the view is its owner), so releasing the view ends its reactions.
// Insertions through the view go to the base, whose errors reach the caller
// unchanged. Not thread-safe.
//
// Iteration: `begin()`/`end()` give forward `const_iterator`s over the
// held elements (without a filter, the base's), in the hash set's order, read in place. Every change of the view (each one it reports,
// its base's changes among them) invalidates every one of them (and the
// references they gave). A stale iterator stops the program when
// used, in every build.
// `makeIterator()` instead walks a copy. `std::hash` of the view combines
// the element hashes whatever their order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "vantrel/collections/any_iterator.h"
#include "vantrel/collections/weakly_owned.h"
#include "vantrel/core/fatal.h"
#include "vantrel/observable/event_closure.h"
#include "vantrel/observable/internal/iteration.h"
#include "vantrel/observable/internal/reporting.h"
#include "vantrel/observable/observable_set.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

template <ObservableHashable E>
class OptionallyFilteredSet_BasedOnObservableSet;

template <ObservableHashable E>
class OptionallyFilteredSet_BasedOnObservableSetObserver : public WeaklyOwnedObjectBase {
 public:
  using WeaklyOwnedObjectBase::WeaklyOwnedObjectBase;
  using View = OptionallyFilteredSet_BasedOnObservableSet<E>;
  using Elements = ObservableSetElements<E>;

  EventClosure<void(View&)> filterChanged;
  EventClosure<void(View&)> replacedContent;
  EventClosure<void(View&)> removedAll;
  EventClosure<void(View&, const E&)> inserted;
  EventClosure<void(View&, const std::vector<E>&)> insertedMultiple;
  // An element of the view changed and stays in it (the new value).
  EventClosure<void(View&, const E&)> updated;
  EventClosure<void(View&, const E&)> removed;
  EventClosure<void(View&, const Elements&)> removedMultiple;
};

template <ObservableHashable E>
class OptionallyFilteredSet_BasedOnObservableSet
    : public std::enable_shared_from_this<OptionallyFilteredSet_BasedOnObservableSet<E>> {
 protected:
  struct Passkey {
    explicit Passkey() = default;
  };

 public:
  using Base = ObservableSet<E>;
  using Elements = ObservableSetElements<E>;
  using Observer = OptionallyFilteredSet_BasedOnObservableSetObserver<E>;
  using Filter = std::function<bool(const E&)>;
  using Iterator = AnyIterator<E>;
  using value_type = E;
  using size_type = std::size_t;
  using difference_type = std::ptrdiff_t;
  using const_iterator = observable_internal::HashIterator<OptionallyFilteredSet_BasedOnObservableSet, E,
                                                           typename Elements::const_iterator,
                                                           observable_internal::ElementItself>;
  using iterator = const_iterator;

  // Registers on `base` (the view is the owner); reports nothing.
  [[nodiscard]] static std::shared_ptr<OptionallyFilteredSet_BasedOnObservableSet> create(
      std::shared_ptr<Base> base, Filter filterBlock = {}) {
    auto view = std::make_shared<OptionallyFilteredSet_BasedOnObservableSet>(Passkey{}, std::move(base),
                                                                             std::move(filterBlock));
    view->listen();
    return view;
  }

  OptionallyFilteredSet_BasedOnObservableSet(Passkey, std::shared_ptr<Base> base, Filter filterBlock)
      : base_(std::move(base)), filterBlock_(std::move(filterBlock)) {
    if (!base_) fatal("OptionallyFilteredSet_BasedOnObservableSet needs a base set");
    if (filterBlock_) inElements_ = passingElements(filterBlock_);
  }
  virtual ~OptionallyFilteredSet_BasedOnObservableSet() = default;
  OptionallyFilteredSet_BasedOnObservableSet(const OptionallyFilteredSet_BasedOnObservableSet&) = delete;
  OptionallyFilteredSet_BasedOnObservableSet& operator=(const OptionallyFilteredSet_BasedOnObservableSet&) =
      delete;

  [[nodiscard]] WeaklyOwnedObjectsSphere<Observer>& observers() { return observers_; }
  [[nodiscard]] const WeaklyOwnedObjectsSphere<Observer>& observers() const { return observers_; }
  [[nodiscard]] virtual const std::shared_ptr<Base>& baseSet() const { return base_; }
  // The passing elements; nullopt exactly when there is no filter.
  [[nodiscard]] virtual const std::optional<Elements>& inElements() const { return inElements_; }

  [[nodiscard]] virtual const Filter& filterBlock() const { return filterBlock_; }
  // Stores the filter (empty: none), recomputes the content from the whole
  // base and reports `filterChanged`, on every call.
  virtual void setFilterBlock(Filter filterBlock) {
    const auto keepAlive = this->weak_from_this().lock();
    // Built aside: a throwing filter leaves the view as it was.
    std::optional<Elements> elements;
    if (filterBlock) elements = passingElements(filterBlock);
    filterBlock_ = std::move(filterBlock);
    inElements_ = std::move(elements);
    report("filterChanged", &Observer::filterChanged);
  }

  [[nodiscard]] virtual bool isEmpty() const { return inElements_ ? inElements_->empty() : base_->isEmpty(); }
  [[nodiscard]] virtual std::int64_t count() const {
    return inElements_ ? static_cast<std::int64_t>(inElements_->size()) : base_->count();
  }

  // The held element equal to `element` (without a filter, the base's).
  [[nodiscard]] virtual std::optional<E> subscript(const E& element) const {
    if (!inElements_) return base_->subscript(element);
    const auto it = inElements_->find(element);
    if (it == inElements_->end()) return std::nullopt;
    return *it;
  }

  // The base's `insert`; the view follows from the base's report.
  virtual void insert(const E& element) { base_->insert(element); }
  // The base's `insert` for each element in order; the first error stops.
  virtual void insert(const std::vector<E>& elements) {
    for (const E& e : elements) base_->insert(e);
  }

  // Over a copy of the held elements (without a filter, the base's iterator).
  [[nodiscard]] Iterator makeIterator() const {
    if (!inElements_) {
      return Iterator([it = base_->makeIterator()]() mutable { return it.next(); });
    }
    auto snapshot = std::make_shared<const Elements>(*inElements_);
    return Iterator([snapshot, position = snapshot->begin()]() mutable -> std::optional<E> {
      if (position == snapshot->end()) return std::nullopt;
      return *position++;
    });
  }
  [[nodiscard]] const_iterator begin() const { return const_iterator(this, tableForIteration().begin()); }
  [[nodiscard]] const_iterator end() const { return const_iterator(this, tableForIteration().end()); }
  [[nodiscard]] size_type size() const { return static_cast<size_type>(count()); }
  [[nodiscard]] bool empty() const { return isEmpty(); }

  // "...(NO FILTER, total count <n>)" or "...(in count <k>, total count <n>)".
  [[nodiscard]] virtual std::string description() const {
    const std::string total = std::to_string(base_->count());
    if (!inElements_) return "OptionallyFilteredSet_BasedOnObservableSet(NO FILTER, total count " + total + ")";
    return "OptionallyFilteredSet_BasedOnObservableSet(in count " + std::to_string(inElements_->size()) +
           ", total count " + total + ")";
  }

 protected:
  static constexpr std::string_view kName = "OptionallyFilteredSet_BasedOnObservableSet";

  template <class Closure, class... Args>
  void report(std::string_view name, Closure Observer::*event, const Args&... args) {
    ++changes_;  // every change reports: the iterators' stamp
    observable_internal::report(observers_, kName, name, event, static_cast<OptionallyFilteredSet_BasedOnObservableSet&>(*this),
                                args...);
  }

 private:
  using BaseObserver = ObservableSetObserver<E>;
  friend struct observable_internal::IterationAccess;
  static constexpr std::string_view kIterationName = "OptionallyFilteredSet_BasedOnObservableSet";

  const Elements& tableForIteration() const { return inElements_ ? *inElements_ : base_->elements(); }

  Elements passingElements(const Filter& filter) const {
    Elements passing;
    for (const E& e : base_->elements()) {
      if (filter(e)) passing.insert(e);
    }
    return passing;
  }

  // The closures capture the raw view: the base calls them only while the
  // view, their owner, is alive, and keeps it alive during the call.
  void listen() {
    base_->observers().createNew(this->shared_from_this(), [this](BaseObserver& o) {
      using observable_internal::following;
      o.replacedContent = [this](Base&) {
        following(kName, "replacedContent", [&] {
          if (inElements_) inElements_ = passingElements(filterBlock_);
          report("replacedContent", &Observer::replacedContent);
        });
      };
      o.removedAll = [this](Base&) {
        following(kName, "removedAll", [&] {
          if (inElements_) inElements_->clear();
          report("removedAll", &Observer::removedAll);
        });
      };
      o.inserted = [this](Base& base, const E& e) {
        following(kName, "inserted", [&] { followInsertion(base, e); });
      };
      o.insertedMultiple = [this](Base& base, const std::vector<E>& elements) {
        following(kName, "insertedMultiple", [&] { followInsertions(base, elements); });
      };
      o.updated = [this](Base& base, const E& e) { following(kName, "updated", [&] { followUpdate(base, e); }); };
      o.updatedMultiple = [this](Base& base, const Elements& elements) {
        following(kName, "updatedMultiple", [&] {
          for (const E& e : elements) followUpdate(base, e);
        });
      };
      o.removed = [this](Base& base, const E& e) {
        following(kName, "removed", [&] { followRemoval(base, e); });
      };
      o.removedMultiple = [this](Base&, const Elements& elements) {
        following(kName, "removedMultiple", [&] { followRemovals(elements); });
      };
    });
  }

  // An observer registered before the view may have changed the base
  // inside this report (removed the element, or replaced it): the view
  // judges what the base stores now, never the reported value alone.
  void followInsertion(const Base& base, const E& e) {
    if (!inElements_) return report("inserted", &Observer::inserted, e);
    if (inElements_->contains(e)) return;
    const std::optional<E> stored = base.subscript(e);
    if (!stored || !filterBlock_(*stored)) return;
    inElements_->insert(*stored);
    report("inserted", &Observer::inserted, *stored);
  }

  // The base reports every input element, present ones and repeats
  // included, with the value given rather than the one it kept: judge the
  // stored value, and report only what enters the view.
  void followInsertions(Base& base, const std::vector<E>& elements) {
    if (!inElements_) return report("insertedMultiple", &Observer::insertedMultiple, elements);
    std::vector<E> entering;
    Elements judged;
    for (const E& e : elements) {
      if (inElements_->contains(e) || judged.contains(e)) continue;
      const std::optional<E> stored = base.subscript(e);
      if (!stored || !filterBlock_(*stored)) continue;
      judged.insert(*stored);
      entering.push_back(*stored);
    }
    for (const E& e : entering) inElements_->insert(e);
    if (!entering.empty()) report("insertedMultiple", &Observer::insertedMultiple, entering);
  }

  void followUpdate(const Base& base, const E& reported) {
    if (!inElements_) return report("updated", &Observer::updated, reported);
    const std::optional<E> stored = base.subscript(reported);
    if (!stored) return leave(reported);  // removed again by an earlier observer
    const E& e = *stored;
    const bool passes = filterBlock_(e);
    auto held = inElements_->extract(e);
    if (!passes) {
      if (!held.empty()) report("removed", &Observer::removed, e);
      return;
    }
    if (held.empty()) {
      inElements_->insert(e);
      return report("inserted", &Observer::inserted, e);
    }
    held.value() = e;  // the view shows the value the base now stores
    inElements_->insert(std::move(held));
    report("updated", &Observer::updated, e);
  }

  // An element leaves when held, whatever the filter says of the value the
  // removal names (it may differ from the one that was judged). One that an
  // earlier observer put back inside this report is followed as an update.
  void followRemoval(const Base& base, const E& e) {
    if (!inElements_) return report("removed", &Observer::removed, e);
    if (base.elements().contains(e)) return followUpdate(base, e);
    leave(e);
  }

  void leave(const E& e) {
    auto held = inElements_->extract(e);
    if (held.empty()) return;
    report("removed", &Observer::removed, held.value());
  }

  void followRemovals(const Elements& elements) {
    if (!inElements_) return report("removedMultiple", &Observer::removedMultiple, elements);
    Elements leaving;
    for (const E& e : elements) {
      auto held = inElements_->extract(e);
      if (!held.empty()) leaving.insert(std::move(held));
    }
    report("removedMultiple", &Observer::removedMultiple, leaving);
  }

  WeaklyOwnedObjectsSphere<Observer> observers_;
  std::shared_ptr<Base> base_;
  std::optional<Elements> inElements_;
  Filter filterBlock_;
  std::uint64_t changes_ = 0;
};

}  // namespace vantrel

template <vantrel::ObservableHashable E>
struct std::hash<vantrel::OptionallyFilteredSet_BasedOnObservableSet<E>> {
  std::size_t operator()(const vantrel::OptionallyFilteredSet_BasedOnObservableSet<E>& view) const {
    return vantrel::observable_internal::unorderedHash<E>(view, view.size());
  }
};
