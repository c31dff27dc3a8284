// File: vantrel/observable/optionally_filtered_set_based_on_kerray.h
//
// `OptionallyFilteredSet_BasedOnKerray<E>`: a live, unordered view of a
// `Kerray<E>`: the set of its elements that pass an optional filter (all of
// them without one). It follows the base report by report, ignoring
// positions and moves, and reports its own changes as elements and sets of
// elements (`OptionallyFilteredSet_BasedOnKerrayObserver<E>`).
//
//   auto rows = Kerray<Person>::create(people);
//   auto adults = OptionallyFilteredSet_BasedOnKerray<Person>::create(
//       rows, [](const Person& p) { return p.age >= 18; });
//   adults->contains(ann);     // by key
//
// Elements are identified by key, like in the base: the view holds one
// element per key, always the value the base stores now (an update
// replaces the member held), and an element leaves when the base removes
// its key, whatever the filter says. Batch reports list only elements that
// really entered, left or stayed. A base that stores one key twice (its
// unchecked insertions) is followed as far as one element per key allows.
//
// `setFilterBlock` recomputes the content from the whole base and reports
// `filterChanged` only (nothing when no filter is set before or after).
// The view keeps its base alive; the base holds the view's observer only
// weakly (the view is its owner). No operation throws. Not thread-safe;
// the order of iteration and of the reported sets is the hash table's.
//
// Iteration: `begin()`/`end()` give forward `const_iterator`s over the
// held elements, read in place. Every change of the view (each one it reports,
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
#include <unordered_map>
#include <utility>
#include <vector>

#include "vantrel/collections/any_iterator.h"
#include "vantrel/collections/weakly_owned.h"
#include "vantrel/core/fatal.h"
#include "vantrel/observable/event_closure.h"
#include "vantrel/observable/internal/iteration.h"
#include "vantrel/observable/internal/reporting.h"
#include "vantrel/observable/kerray.h"
#include "vantrel/observable/observable_set.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

template <HashableEquatableKeyedElement E>
class OptionallyFilteredSet_BasedOnKerray;

template <HashableEquatableKeyedElement E>
class OptionallyFilteredSet_BasedOnKerrayObserver : public WeaklyOwnedObjectBase {
 public:
  using WeaklyOwnedObjectBase::WeaklyOwnedObjectBase;
  using View = OptionallyFilteredSet_BasedOnKerray<E>;
  using Elements = ObservableSetElements<E>;

  EventClosure<void(View&)> filterChanged;
  EventClosure<void(View&)> replacedContent;
  EventClosure<void(View&)> removedAll;
  EventClosure<void(View&, const E&)> inserted;
  EventClosure<void(View&, const Elements&)> insertedMultiple;
  EventClosure<void(View&, const E&)> removed;
  EventClosure<void(View&, const Elements&)> removedMultiple;
  // Elements of the view changed and stay in it (the new values).
  EventClosure<void(View&, const E&)> updated;
  EventClosure<void(View&, const Elements&)> updatedMultiple;
};

template <HashableEquatableKeyedElement E>
class OptionallyFilteredSet_BasedOnKerray
    : public std::enable_shared_from_this<OptionallyFilteredSet_BasedOnKerray<E>> {
 protected:
  struct Passkey {
    explicit Passkey() = default;
  };

 public:
  using Base = Kerray<E>;
  using Key = KeyTypeOf<E>;
  using Elements = ObservableSetElements<E>;
  using Observer = OptionallyFilteredSet_BasedOnKerrayObserver<E>;
  using Filter = std::function<bool(const E&)>;
  using Iterator = AnyIterator<E>;

 private:
  using Members = std::unordered_map<Key, E, ElementHash<Key>, ElementEqual<Key>>;

 public:
  using value_type = E;
  using size_type = std::size_t;
  using difference_type = std::ptrdiff_t;
  using const_iterator = observable_internal::HashIterator<OptionallyFilteredSet_BasedOnKerray, E,
                                                           typename Members::const_iterator,
                                                           observable_internal::EntryValue>;
  using iterator = const_iterator;

  // Computes the content and registers on `base` (the view is the owner);
  // reports nothing.
  [[nodiscard]] static std::shared_ptr<OptionallyFilteredSet_BasedOnKerray> create(std::shared_ptr<Base> base,
                                                                                 Filter filterBlock = {}) {
    auto view = std::make_shared<OptionallyFilteredSet_BasedOnKerray>(Passkey{}, std::move(base),
                                                                      std::move(filterBlock));
    view->listen();
    return view;
  }

  OptionallyFilteredSet_BasedOnKerray(Passkey, std::shared_ptr<Base> base, Filter filterBlock)
      : base_(std::move(base)), filterBlock_(std::move(filterBlock)) {
    if (!base_) fatal("OptionallyFilteredSet_BasedOnKerray needs a base keyed array");
    applyFilterBlock();
  }
  virtual ~OptionallyFilteredSet_BasedOnKerray() = default;
  OptionallyFilteredSet_BasedOnKerray(const OptionallyFilteredSet_BasedOnKerray&) = delete;
  OptionallyFilteredSet_BasedOnKerray& operator=(const OptionallyFilteredSet_BasedOnKerray&) = delete;

  [[nodiscard]] WeaklyOwnedObjectsSphere<Observer>& observers() { return observers_; }
  [[nodiscard]] const WeaklyOwnedObjectsSphere<Observer>& observers() const { return observers_; }
  [[nodiscard]] virtual const std::shared_ptr<Base>& baseKerray() const { return base_; }

  [[nodiscard]] virtual const Filter& filterBlock() const { return filterBlock_; }
  // Stores the filter (empty: none). Unless there was none and there is
  // none, recomputes the content and reports `filterChanged`.
  virtual void setFilterBlock(Filter filterBlock) {
    const bool involved = filterBlock_ || filterBlock;
    if (!involved) return;
    const auto keepAlive = this->weak_from_this().lock();
    Members members = passing(filterBlock);
    filterBlock_ = std::move(filterBlock);
    inSet_ = std::move(members);
    report("filterChanged", &Observer::filterChanged);
  }

  [[nodiscard]] virtual bool isEmpty() const { return inSet_.empty(); }
  [[nodiscard]] virtual std::int64_t count() const { return static_cast<std::int64_t>(inSet_.size()); }
  // Whether an element with the element's key is held.
  [[nodiscard]] virtual bool contains(const E& element) const { return inSet_.contains(keyOf(element)); }

  // Over a copy of the held elements.
  [[nodiscard]] Iterator makeIterator() const {
    auto snapshot = std::make_shared<const Members>(inSet_);
    return Iterator([snapshot, position = snapshot->begin()]() mutable -> std::optional<E> {
      if (position == snapshot->end()) return std::nullopt;
      return (position++)->second;
    });
  }
  [[nodiscard]] const_iterator begin() const { return const_iterator(this, inSet_.begin()); }
  [[nodiscard]] const_iterator end() const { return const_iterator(this, inSet_.end()); }
  [[nodiscard]] size_type size() const { return inSet_.size(); }
  [[nodiscard]] bool empty() const { return inSet_.empty(); }

  // "FilterSet(in <held> of total <base count>)".
  [[nodiscard]] std::string description() const {
    return "FilterSet(in " + std::to_string(inSet_.size()) + " of total " + std::to_string(base_->count()) + ")";
  }

 protected:
  static constexpr std::string_view kName = "OptionallyFilteredSet_BasedOnKerray";

  template <class Closure, class... Args>
  void report(std::string_view name, Closure Observer::*event, const Args&... args) {
    ++changes_;  // every change reports: the iterators' stamp
    observable_internal::report(observers_, kName, name, event, static_cast<OptionallyFilteredSet_BasedOnKerray&>(*this),
                                args...);
  }

 private:
  using BaseObserver = KerrayObserver<E>;
  friend struct observable_internal::IterationAccess;
  static constexpr std::string_view kIterationName = "OptionallyFilteredSet_BasedOnKerray";
  const Members& tableForIteration() const { return inSet_; }

  bool passes(const E& e) const { return !filterBlock_ || filterBlock_(e); }

  // Built aside: a throwing filter leaves the content as it was.
  Members passing(const Filter& filter) const {
    Members members;
    for (const E& e : base_->array()) {
      if (!filter || filter(e)) members.try_emplace(keyOf(e), e);
    }
    return members;
  }
  void applyFilterBlock() { inSet_ = passing(filterBlock_); }

  void listen() {
    // The closures capture the raw view: the base calls them only while the
    // view, their owner, is alive, and keeps it alive during the call.
    base_->observers().createNew(this->shared_from_this(), [this](BaseObserver& o) {
      using Positions = std::vector<std::int64_t>;
      using observable_internal::following;
      o.replacedContent = [this](Base&) {
        following(kName, "replacedContent", [&] {
          applyFilterBlock();
          report("replacedContent", &Observer::replacedContent);
        });
      };
      o.removedAll = [this](Base&) {
        following(kName, "removedAll", [&] {
          applyFilterBlock();
          report("removedAll", &Observer::removedAll);
        });
      };
      o.inserted = [this](Base&, std::int64_t, const E& e) {
        following(kName, "inserted", [&] {
          if (!passes(e) || !inSet_.try_emplace(keyOf(e), e).second) return;
          report("inserted", &Observer::inserted, e);
        });
      };
      o.insertedMultipleContinuous = [this](Base&, std::int64_t, const std::vector<E>& elements) {
        following(kName, "insertedMultipleContinuous", [&] { followInsertions(elements); });
      };
      o.insertedMultipleDistributed = [this](Base&, const Positions&, const std::vector<E>& elements) {
        following(kName, "insertedMultipleDistributed", [&] { followInsertions(elements); });
      };
      o.removed = [this](Base& base, std::int64_t, const E& e) {
        following(kName, "removed", [&] {
          if (std::optional<E> member = take(base, e)) report("removed", &Observer::removed, *member);
        });
      };
      o.removedMultiple = [this](Base& base, const Positions&, const std::vector<E>& elements) {
        following(kName, "removedMultiple", [&] {
          Elements leaving;
          for (const E& e : elements) {
            if (std::optional<E> member = take(base, e)) leaving.insert(std::move(*member));
          }
          report("removedMultiple", &Observer::removedMultiple, leaving);
        });
      };
      o.updated = [this](Base&, std::int64_t, const E& e) {
        following(kName, "updated", [&] { followUpdate(e); });
      };
      o.updatedMultiple = [this](Base&, const Positions&, const std::vector<E>& elements) {
        following(kName, "updatedMultiple", [&] { followUpdates(elements); });
      };
    });
  }

  void followInsertions(const std::vector<E>& elements) {
    std::vector<const E*> passing;
    for (const E& e : elements) {
      if (passes(e)) passing.push_back(&e);
    }
    Elements entering;
    for (const E* e : passing) {
      if (inSet_.try_emplace(keyOf(*e), *e).second) entering.insert(*e);
    }
    report("insertedMultiple", &Observer::insertedMultiple, entering);
  }

  // Takes out the member with the element's key, unless the base still
  // holds that key in another element (it stored the key twice).
  std::optional<E> take(const Base& base, const E& e) {
    const Key key = keyOf(e);
    if (base.containsWith(key)) return std::nullopt;
    const auto it = inSet_.find(key);
    if (it == inSet_.end()) return std::nullopt;
    E member = std::move(it->second);
    inSet_.erase(it);
    return member;
  }

  void followUpdate(const E& e) {
    const auto it = inSet_.find(keyOf(e));
    if (!passes(e)) {
      if (it == inSet_.end()) return;
      inSet_.erase(it);
      return report("removed", &Observer::removed, e);
    }
    if (it == inSet_.end()) {
      inSet_.try_emplace(keyOf(e), e);
      return report("inserted", &Observer::inserted, e);
    }
    it->second = e;  // the view shows the value the base now stores
    report("updated", &Observer::updated, e);
  }

  // Leaving ones first, then the staying ones, then the entering ones, each
  // report also when empty. Collected by key, so of repeated keys the last
  // value counts, as in the base.
  void followUpdates(const std::vector<E>& elements) {
    std::vector<std::uint8_t> pass;
    pass.reserve(elements.size());
    for (const E& e : elements) pass.push_back(passes(e) ? 1 : 0);
    Members entering;
    Members leaving;
    Members staying;
    for (std::size_t i = 0; i < elements.size(); ++i) {
      const E& e = elements[i];
      Key key = keyOf(e);
      const auto it = inSet_.find(key);
      if (pass[i]) {
        if (it != inSet_.end()) {
          it->second = e;
          staying.insert_or_assign(std::move(key), e);
        } else {
          entering.insert_or_assign(std::move(key), e);
        }
        continue;
      }
      entering.erase(key);
      staying.erase(key);
      if (it != inSet_.end()) {
        inSet_.erase(it);
        leaving.insert_or_assign(std::move(key), e);
      }
    }
    report("removedMultiple", &Observer::removedMultiple, values(leaving));
    report("updatedMultiple", &Observer::updatedMultiple, values(staying));
    for (const auto& [key, e] : entering) inSet_.insert_or_assign(key, e);
    report("insertedMultiple", &Observer::insertedMultiple, values(entering));
  }

  static Elements values(const Members& members) {
    Elements out;
    for (const auto& entry : members) out.insert(entry.second);
    return out;
  }

  WeaklyOwnedObjectsSphere<Observer> observers_;
  std::shared_ptr<Base> base_;
  Members inSet_;
  Filter filterBlock_;
  std::uint64_t changes_ = 0;
};

}  // namespace vantrel

template <vantrel::HashableEquatableKeyedElement E>
struct std::hash<vantrel::OptionallyFilteredSet_BasedOnKerray<E>> {
  std::size_t operator()(const vantrel::OptionallyFilteredSet_BasedOnKerray<E>& view) const {
    return vantrel::observable_internal::unorderedHash<E>(view, view.size());
  }
};
