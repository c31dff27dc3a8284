// File: vantrel/observable/optionally_filtered_always_sorted_array_based_on_observable_set.h
//
// `OptionallyFilteredAlwaysSortedArray_BasedOnObservableSet<E>`: a live view
// of an `ObservableSet<E>` that turns the set into a list: the elements that
// pass an optional filter, always sorted by a `NamedSortBlock`. It follows
// the base report by report, changing only the elements a report names, and
// reports its own changes with positions, so that a table can insert,
// delete, move and reload single rows.
//
//   auto people = ObservableSet<Person>::create(all);
//   auto adults = OptionallyFilteredAlwaysSortedArray_BasedOnObservableSet<Person>::create(
//       people, [](const Person& p) { return p.age >= 18; }, byName);
//   people->update(olderBob);   // `adults` reports updated(at), moved(from, to) then
//                               // updated(to), inserted or removed
//
// Elements are told apart by `==` and hash, as in the base. The view keeps
// the held values in blocks (internal/blocked_array.h): the position of a
// held element is found from the value it holds (a binary search, then the
// run of its equals), so a change costs O(log n) comparator calls plus one
// block's move, not a scan of the view.
//
// Order: a new element goes in front of its equals; an update leaves the
// element in place when its neighbours allow (ties may stay), else takes
// it out and puts it at the lower bound, no other element changing place;
// each observer then gets `moved` and `updated` before the next gets
// either. Rebuilds (creation, a new filter, the base's replacement or
// emptying) filter the base and sort with `stableSort`; among equals the
// order is the set's, which nothing relies on. A block with another code
// re-sorts (stable) and reports `sortingChanged`; one with the current code
// changes nothing (the current comparator stays in use). Assigning a
// filter (unless none over none) rebuilds and reports `filterChanged`.
//
// Batches: an insertion batch skips elements the view holds already and
// repeats within the batch, judging the value the set stored;
// `insertedMultiple` lists the entering elements in the base's order with
// the positions at which inserting them one after the other rebuilds the
// new content. A batch removal prints "remove at index <p>" and "its
// <element>" per removed element (highest first), then "remove = [..]" and
// "elements = [..]", and reports `removedMultiple` with the positions
// ascending (each one before any removal), also when empty. A batch update
// is followed element by element, as single updates. A removal reports
// the element as the view held it; an update that makes it leave, the new
// value.
//
// Caller code (filter, comparator, `==` and hash) runs before the view
// changes anything. While the view follows its base it must not throw: a
// throw stops the program (`fatal`, naming the view and the base's event;
// vantrel/observable/internal/reporting.h). From `create`,
// `setFilterBlock` or `setSortBlock` a throw reaches the caller and the
// view is as it was. The view keeps its base alive; the base holds the
// view's observer weakly. Not thread-safe.
//
// Iteration: `begin()`/`end()` give random-access `const_iterator`s over the
// content (`content()`), read in place. Every change of the view (each one it reports,
// its base's changes among them) invalidates every one of them (and the
// references they gave). A stale iterator stops the program when
// used, in every build.
// `makeIterator()` instead reads the current content at each step.
// `std::hash` of the view hashes the content in order.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iterator>
#include <memory>
#include <numeric>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "vantrel/collections/any_iterator.h"
#include "vantrel/collections/element_hash.h"
#include "vantrel/collections/named_sort_block.h"
#include "vantrel/collections/weakly_owned.h"
#include "vantrel/core/console.h"
#include "vantrel/core/describe.h"
#include "vantrel/core/error.h"
#include "vantrel/core/fatal.h"
#include "vantrel/core/sort.h"
#include "vantrel/observable/event_closure.h"
#include "vantrel/observable/internal/blocked_array.h"
#include "vantrel/observable/internal/fenwick.h"
#include "vantrel/observable/internal/iteration.h"
#include "vantrel/observable/internal/reporting.h"
#include "vantrel/observable/internal/texts.h"
#include "vantrel/observable/internal/update_placement.h"
#include "vantrel/observable/keyed_element.h"
#include "vantrel/observable/observable_set.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

template <HashableEquatableKeyedElement E>
class OptionallyFilteredAlwaysSortedArray_BasedOnObservableSet;

template <HashableEquatableKeyedElement E>
class OptionallyFilteredAlwaysSortedArray_BasedOnObservableSetObserver : public WeaklyOwnedObjectBase {
 public:
  using WeaklyOwnedObjectBase::WeaklyOwnedObjectBase;
  using View = OptionallyFilteredAlwaysSortedArray_BasedOnObservableSet<E>;
  using Positions = std::vector<std::int64_t>;
  using Elements = std::vector<E>;

  // The new block's code.
  EventClosure<void(View&, const std::string&)> sortingChanged;
  EventClosure<void(View&)> filterChanged;
  EventClosure<void(View&)> replacedContent;
  EventClosure<void(View&)> removedAll;
  EventClosure<void(View&, std::int64_t at, const E&)> inserted;
  // Inserted one after the other, each at its position of that moment.
  EventClosure<void(View&, const Positions&, const Elements&)> insertedMultiple;
  EventClosure<void(View&, std::int64_t at, const E&)> removed;
  // Positions ascending, each one before any of the removals.
  EventClosure<void(View&, const Positions&, const Elements&)> removedMultiple;
  EventClosure<void(View&, std::int64_t at, const E&)> updated;
  EventClosure<void(View&, std::int64_t from, std::int64_t to, const E&)> moved;
};

// Declared for the public interface; the view throws none of them.
struct OptionallyFilteredAlwaysSortedArray_BasedOnObservableSetErrors : Error {
  enum class Case { elementAlreadyPresent, indexOutOfBounds };
  OptionallyFilteredAlwaysSortedArray_BasedOnObservableSetErrors(Case c, std::string message)
      : Error(message), kind(c), message(std::move(message)) {}
  Case kind;
  std::string message;
};

template <HashableEquatableKeyedElement E>
class OptionallyFilteredAlwaysSortedArray_BasedOnObservableSet
    : public std::enable_shared_from_this<OptionallyFilteredAlwaysSortedArray_BasedOnObservableSet<E>> {
 protected:
  struct Passkey {
    explicit Passkey() = default;
  };

 public:
  using Base = ObservableSet<E>;
  using Observer = OptionallyFilteredAlwaysSortedArray_BasedOnObservableSetObserver<E>;
  using Filter = std::function<bool(const E&)>;
  using SortBlock = NamedSortBlock<E>;
  using Errors = OptionallyFilteredAlwaysSortedArray_BasedOnObservableSetErrors;
  using Positions = std::vector<std::int64_t>;
  using value_type = E;
  using size_type = std::size_t;
  using difference_type = std::ptrdiff_t;
  using const_iterator = observable_internal::PositionIterator<OptionallyFilteredAlwaysSortedArray_BasedOnObservableSet, E>;
  using iterator = const_iterator;

  // Reads the view's content at each step.
  class Iterator {
   public:
    explicit Iterator(std::shared_ptr<const OptionallyFilteredAlwaysSortedArray_BasedOnObservableSet> view)
        : view_(std::move(view)) {}
    std::optional<E> next() {
      if (position_ >= view_->count()) return std::nullopt;
      return (*view_)[position_++];
    }

   private:
    std::shared_ptr<const OptionallyFilteredAlwaysSortedArray_BasedOnObservableSet> view_;
    std::int64_t position_ = 0;
  };

  // Builds the content and registers on `base` (the view is the owner);
  // reports nothing.
  [[nodiscard]] static std::shared_ptr<OptionallyFilteredAlwaysSortedArray_BasedOnObservableSet> create(
      std::shared_ptr<Base> base, Filter filterBlock, SortBlock sortBlock) {
    auto view = std::make_shared<OptionallyFilteredAlwaysSortedArray_BasedOnObservableSet>(
        Passkey{}, std::move(base), std::move(filterBlock), std::move(sortBlock));
    view->listen();
    return view;
  }
  [[nodiscard]] static std::shared_ptr<OptionallyFilteredAlwaysSortedArray_BasedOnObservableSet> create(
      std::shared_ptr<Base> base, SortBlock sortBlock) {
    return create(std::move(base), Filter(), std::move(sortBlock));
  }

  OptionallyFilteredAlwaysSortedArray_BasedOnObservableSet(Passkey, std::shared_ptr<Base> base, Filter filterBlock,
                                                           SortBlock sortBlock)
      : base_(std::move(base)), sortBlock_(std::move(sortBlock)), filterBlock_(std::move(filterBlock)) {
    if (!base_) fatal("OptionallyFilteredAlwaysSortedArray_BasedOnObservableSet needs a base set");
    applyFilterAndSort();
  }
  virtual ~OptionallyFilteredAlwaysSortedArray_BasedOnObservableSet() = default;
  OptionallyFilteredAlwaysSortedArray_BasedOnObservableSet(
      const OptionallyFilteredAlwaysSortedArray_BasedOnObservableSet&) = delete;
  OptionallyFilteredAlwaysSortedArray_BasedOnObservableSet& operator=(
      const OptionallyFilteredAlwaysSortedArray_BasedOnObservableSet&) = delete;

  [[nodiscard]] WeaklyOwnedObjectsSphere<Observer>& observers() { return observers_; }
  [[nodiscard]] const WeaklyOwnedObjectsSphere<Observer>& observers() const { return observers_; }
  [[nodiscard]] virtual const std::shared_ptr<Base>& baseSet() const { return base_; }

  [[nodiscard]] virtual const SortBlock& sortBlock() const { return sortBlock_; }
  // Another code: re-sorts (stable) and reports `sortingChanged`. The
  // current code: nothing changes, the current comparator stays in use.
  virtual void setSortBlock(SortBlock sortBlock) {
    if (sortBlock == sortBlock_) return;
    const auto keepAlive = this->weak_from_this().lock();
    std::vector<E> sorted = content();  // aside: a throwing comparator changes nothing
    stableSort(sorted, [&](const E& a, const E& b) { return sortBlock(a, b); });
    sortBlock_ = std::move(sortBlock);
    sorted_.assign(sorted);
    copy_ = std::move(sorted);
    stale_ = false;
    const std::string code = sortBlock_.code();
    report("sortingChanged", &Observer::sortingChanged, code);
  }

  [[nodiscard]] virtual const Filter& filterBlock() const { return filterBlock_; }
  // Unless there is no filter before and after: rebuilds and reports
  // `filterChanged`.
  virtual void setFilterBlock(Filter filterBlock) {
    if (!filterBlock_ && !filterBlock) return;
    const auto keepAlive = this->weak_from_this().lock();
    Built built = build(filterBlock, sortBlock_);
    filterBlock_ = std::move(filterBlock);
    commit(std::move(built));
    report("filterChanged", &Observer::filterChanged);
  }

  // The content in view order, gathered from the blocks on the first read
  // after a change.
  [[nodiscard]] const std::vector<E>& content() const {
    if (stale_) {
      copy_ = sorted_.elements();
      stale_ = false;
    }
    return copy_;
  }

  [[nodiscard]] virtual bool isEmpty() const { return count() == 0; }
  [[nodiscard]] virtual std::int64_t count() const { return sorted_.size(); }

  // The element at `index` (0..<count).
  [[nodiscard]] const E& operator[](std::int64_t index) const {
    observable_internal::checkIndex("subscript", index, 0, count());
    return sorted_[index];
  }
  [[nodiscard]] std::int64_t startIndex() const { return 0; }
  [[nodiscard]] std::int64_t endIndex() const { return count(); }
  [[nodiscard]] std::int64_t indexAfter(std::int64_t index) const { return index + 1; }

  [[nodiscard]] Iterator makeIterator() const { return Iterator(this->shared_from_this()); }
  [[nodiscard]] const_iterator begin() const { return const_iterator(this, 0); }
  [[nodiscard]] const_iterator end() const { return const_iterator(this, static_cast<difference_type>(count())); }
  [[nodiscard]] size_type size() const { return static_cast<size_type>(count()); }
  [[nodiscard]] bool empty() const { return isEmpty(); }

  // "OptionallyFilteredAlwaysSortedArray_BasedOnObservableSet(sortBlock:<code>,
  // count: <n>, elements: <up to five, then , ...>)".
  [[nodiscard]] virtual std::string description() const {
    std::string part;
    const std::int64_t n = count();
    if constexpr (CustomStringConvertible<E>) {
      std::vector<std::string> texts;
      for (std::int64_t i = 0; i < n && i < 5; ++i) texts.push_back(describe(sorted_[i]));
      part = observable_internal::listedElements(texts, n > 5);
    } else {
      part = n == 0 ? "<none>" : "<not CustomStringConvertible>";
    }
    return observable_internal::countedDescription(
        std::string(kName) + "(sortBlock:" + sortBlock_.code() + ", count: ", n, part);
  }

 protected:
  static constexpr std::string_view kName = "OptionallyFilteredAlwaysSortedArray_BasedOnObservableSet";

  template <class Closure, class... Args>
  void report(std::string_view name, Closure Observer::*event, const Args&... args) {
    ++changes_;  // every change reports: the iterators' stamp
    observable_internal::report(observers_, kName, name, event,
                                static_cast<OptionallyFilteredAlwaysSortedArray_BasedOnObservableSet&>(*this), args...);
  }

 private:
  using BaseObserver = ObservableSetObserver<E>;
  friend struct observable_internal::IterationAccess;
  static constexpr std::string_view kIterationName = "OptionallyFilteredAlwaysSortedArray_BasedOnObservableSet";

  static constexpr std::string_view kIteratorLabel = "view iterator";
  const std::vector<E>& elementsForIteration() const { return content(); }
  using Held = ElementSet<E>;

  // A content computed aside, committed once every caller closure ran.
  struct Built {
    std::vector<E> sorted;
    Held held;
  };

  Built build(const Filter& filter, const SortBlock& sortBlock) const {
    Built built;
    for (const E& e : base_->elements()) {
      if (!filter || filter(e)) built.sorted.push_back(e);
    }
    stableSort(built.sorted, [&](const E& a, const E& b) { return sortBlock(a, b); });
    built.held = Held(built.sorted.begin(), built.sorted.end());
    return built;
  }

  void commit(Built built) {
    held_ = std::move(built.held);
    sorted_.assign(built.sorted);
    copy_ = std::move(built.sorted);
    stale_ = false;
  }

  void applyFilterAndSort() { commit(build(filterBlock_, sortBlock_)); }

  bool passes(const E& e) const { return !filterBlock_ || filterBlock_(e); }
  const typename SortBlock::Comparator& less() const { return sortBlock_.sortBlock(); }

  // The position of the held value `held`: the lower bound of its value,
  // then the run of its equals; a scan when the comparator misleads. A miss
  // means the blocks and `held_` disagree, which stops the program.
  std::int64_t positionOfHeld(const E& held) const {
    const ElementEqual<E> equal;
    const auto& before = less();
    const std::int64_t n = sorted_.size();
    for (std::int64_t i = sorted_.lowerBound(before, held); i < n; ++i) {
      const E& probe = sorted_[i];
      if (equal(probe, held)) return i;
      if (before(held, probe)) break;
    }
    for (std::int64_t i = 0; i < n; ++i) {
      if (equal(sorted_[i], held)) return i;
    }
    fatal(std::string(kName) + ": a held element is missing from the content (" + description() + ")");
  }

  // The closures capture the raw view: the base calls them only while the
  // view, their owner, is alive, and keeps it alive during the call.
  void listen() {
    using observable_internal::following;
    base_->observers().createNew(this->shared_from_this(), [this](BaseObserver& o) {
      o.replacedContent = [this](Base&) {
        following(kName, "replacedContent", [&] {
          applyFilterAndSort();
          report("replacedContent", &Observer::replacedContent);
        });
      };
      o.removedAll = [this](Base&) {
        following(kName, "removedAll", [&] {
          applyFilterAndSort();
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
      // No event for several updates: each element as a single update.
      o.updatedMultiple = [this](Base& base, const ObservableSetElements<E>& elements) {
        following(kName, "updatedMultiple", [&] {
          for (const E& e : elements) followUpdate(base, e);
        });
      };
      o.removed = [this](Base& base, const E& e) {
        following(kName, "removed", [&] { followRemoval(base, e); });
      };
      o.removedMultiple = [this](Base&, const ObservableSetElements<E>& elements) {
        following(kName, "removedMultiple", [&] { followRemovals(elements); });
      };
    });
  }

  // An observer registered before the view may have changed the base
  // inside this report (removed the element, or replaced it): the view
  // judges what the base stores now, never the reported value alone.
  void followInsertion(const Base& base, const E& e) {
    if (held_.contains(e)) return;
    const std::optional<E> stored = base.subscript(e);
    if (!stored || !passes(*stored)) return;
    const std::int64_t at = sorted_.lowerBound(less(), *stored);
    held_.insert(*stored);
    sorted_.insert(at, *stored);
    stale_ = true;
    report("inserted", &Observer::inserted, at, *stored);
  }

  // The base reports every input element, present ones and repeats
  // included, with the value given rather than the one it kept: judge the
  // stored value, once, and let in only what the view does not hold.
  void followInsertions(Base& base, const std::vector<E>& elements) {
    std::vector<E> entering;
    Held judged;
    for (const E& e : elements) {
      if (held_.contains(e) || judged.contains(e)) continue;
      std::optional<E> stored = base.subscript(e);
      if (!stored) continue;  // removed again by an earlier observer
      judged.insert(*stored);
      if (passes(*stored)) entering.push_back(std::move(*stored));
    }
    if (entering.empty() && filterBlock_) return;
    const Positions positions = insertionPositions(entering);
    for (std::size_t i = 0; i < entering.size(); ++i) {
      held_.insert(entering[i]);
      sorted_.insert(positions[i], entering[i]);
    }
    stale_ = true;
    report("insertedMultiple", &Observer::insertedMultiple, positions, entering);
  }

  // For each element in list order, its lower bound in the content once
  // the earlier ones are in: its bound in the present content plus the
  // earlier ones ordered before it. Computed before anything changes (the
  // comparator is caller code): the batch is ranked by a stable sort into
  // runs of equals, and a Fenwick tree over the runs counts the earlier
  // elements of lower runs.
  Positions insertionPositions(const std::vector<E>& entering) const {
    const std::size_t m = entering.size();
    const auto& before = less();
    Positions positions(m);
    for (std::size_t i = 0; i < m; ++i) positions[i] = sorted_.lowerBound(before, entering[i]);
    if (m < 2) return positions;
    std::vector<std::size_t> order(m);
    std::iota(order.begin(), order.end(), std::size_t{0});
    stableSort(order, [&](std::size_t a, std::size_t b) { return before(entering[a], entering[b]); });
    std::vector<std::size_t> run(m);
    std::size_t runs = 0;
    for (std::size_t r = 0; r < m; ++r) {
      if (r > 0 && before(entering[order[r - 1]], entering[order[r]])) ++runs;
      run[order[r]] = runs;
    }
    std::vector<std::int64_t> tree(runs + 2, 0);  // 1-based: earlier elements per run
    for (std::size_t i = 0; i < m; ++i) {
      positions[i] += observable_internal::fenwickPrefix(tree, run[i]);
      observable_internal::fenwickAdd(tree, run[i], 1);
    }
    return positions;
  }

  void followUpdate(const Base& base, const E& reported) {
    const std::optional<E> stored = base.subscript(reported);
    if (!stored) return leave(reported);  // removed again by an earlier observer
    const E& e = *stored;
    const bool pass = passes(e);
    auto h = held_.find(e);
    if (!pass) {
      if (h == held_.end()) return;
      const std::int64_t at = positionOfHeld(*h);
      held_.erase(h);
      sorted_.erase(at);
      stale_ = true;
      return report("removed", &Observer::removed, at, e);
    }
    if (h == held_.end()) return followInsertion(base, e);
    const std::int64_t at = positionOfHeld(*h);
    const std::int64_t to = observable_internal::placeAfterUpdate(sorted_, less(), e, at);
    auto node = held_.extract(h);
    node.value() = e;  // equal, but the view shows the value the base now stores
    held_.insert(std::move(node));
    stale_ = true;
    ++changes_;
    observable_internal::showPlacedUpdate(sorted_, observers_, kName, *this, at, to, e);
  }

  // The element leaves when held, whatever the filter says of the value the
  // removal names; reported as the view held it. One that an earlier
  // observer put back inside this report is followed as an update.
  void followRemoval(const Base& base, const E& e) {
    if (base.elements().contains(e)) return followUpdate(base, e);
    leave(e);
  }

  void leave(const E& e) {
    const auto h = held_.find(e);
    if (h == held_.end()) return;
    const std::int64_t at = positionOfHeld(*h);
    held_.erase(h);
    E member = sorted_.erase(at);
    stale_ = true;
    report("removed", &Observer::removed, at, member);
  }

  void followRemovals(const ObservableSetElements<E>& elements) {
    std::vector<std::pair<std::int64_t, typename Held::iterator>> leaving;
    for (const E& e : elements) {
      const auto h = held_.find(e);
      if (h != held_.end()) leaving.emplace_back(positionOfHeld(*h), h);
    }
    std::sort(leaving.begin(), leaving.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    Positions positions;
    std::vector<E> removed;
    positions.reserve(leaving.size());
    removed.reserve(leaving.size());
    for (auto it = leaving.rbegin(); it != leaving.rend(); ++it) {
      consolePrint("remove at index " + std::to_string(it->first));
      removed.push_back(sorted_.erase(it->first));
      held_.erase(it->second);
      consolePrint("its " + describe(removed.back()));
    }
    std::reverse(removed.begin(), removed.end());
    for (const auto& l : leaving) positions.push_back(l.first);
    stale_ = stale_ || !positions.empty();
    consolePrint("remove = " + describe(positions));
    consolePrint("elements = " + describe(removed));
    report("removedMultiple", &Observer::removedMultiple, positions, removed);
  }

  WeaklyOwnedObjectsSphere<Observer> observers_;
  std::shared_ptr<Base> base_;
  // The content, in blocks; `copy_` is it as of the last read (`stale_`
  // after a change).
  observable_internal::BlockedArray<E> sorted_;
  mutable std::vector<E> copy_;
  mutable bool stale_ = false;
  Held held_;  // the held values, found by `==` and hash
  SortBlock sortBlock_;
  Filter filterBlock_;
  std::uint64_t changes_ = 0;
};

}  // namespace vantrel

template <vantrel::HashableEquatableKeyedElement E>
struct std::hash<vantrel::OptionallyFilteredAlwaysSortedArray_BasedOnObservableSet<E>> {
  std::size_t operator()(const vantrel::OptionallyFilteredAlwaysSortedArray_BasedOnObservableSet<E>& view) const {
    return vantrel::observable_internal::orderedHash<E>(view.content(), view.content().size());
  }
};
