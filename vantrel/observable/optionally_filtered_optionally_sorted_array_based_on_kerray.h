// File: vantrel/observable/optionally_filtered_optionally_sorted_array_based_on_kerray.h
//
// `OptionallyFilteredOptionallySortedArray_BasedOnKerray<A>`: a live view of
// a `Kerray<A>` showing its elements, or those that pass a filter, in the
// base's order or sorted by a `NamedSortBlock`. It follows the base report
// by report and reports its own changes with positions in the view.
//
//   auto rows = Kerray<Person>::create(people);
//   auto adults = OptionallyFilteredOptionallySortedArray_BasedOnKerray<Person>::create(
//       rows, [](const Person& p) { return p.age >= 18; }, byName);
//   rows->append(zoe);        // `adults` reports inserted(<its sorted position>, zoe)
//
// Modes: natural order (no filter, no sort block: no copy; reads go to the
// base and its reports pass unchanged), filter-only (a copy in the base's
// order, followed in place: a flag per base position says which element
// is shown, and the view position of a base position is the number of
// shown ones before it) and sorted (a copy ordered by the block's
// comparator, kept in blocks so that a change moves one block; equal
// elements keep no defined order). Elements are
// identified by key; a key the base holds several times is shown once, and
// when the shown element goes or stops passing, the base's first passing
// element of the key takes its place (filter-only: a key is shown at the
// element it entered with). The
// reactions are in internal/sorted_view_reactions.h (included here).
//
// Caller code (the filter, the block's comparator, key and hash
// functions) is called before the view changes anything. Called while the
// view follows its base, it must not throw: a throw stops the program
// (`fatal`, naming the view and the base's event), as for any observer
// (vantrel/observable/internal/reporting.h). Called from `create`,
// `setFilterBlock` or `setSortBlock`, a throw reaches the caller and the
// view is left as it was.
//
// Events: positions count in the view. An insertion reports its position
// after it, a removal its position before it; batch removals list their
// positions highest first, each one before the removal; batch insertions
// (`insertedMultipleDistributed`) list the final positions in the new copy,
// ascending, so that inserting the elements in list order rebuilds the new
// content too; an update that changes
// a sorted element's place reports `moved` then `updated` to each observer
// in turn. Base batch updates are followed element by element; base moves
// reorder a filter-only copy (`moved` / `movedMultiple` in view positions)
// and change nothing in sorted mode.
//
// Changing the sort block or the filter recomputes the copy and reports
// `sortingChanged` / `filterChanged` only. A new block with the code of the
// current one changes nothing (the copy was sorted by the current
// comparator, which stays in use).
//
// Mutations are passed to the base (its errors reach the caller). The
// positional ones (`insertAtIndex`, `moveFrom`) work only in natural order;
// otherwise they throw `Errors` ("CurrentlyNotSortedInNaturalOrder") and
// change nothing. The view keeps its base alive; the base holds the
// view's observer weakly. Not thread-safe.
//
// Iteration: `begin()`/`end()` give random-access `const_iterator`s over the
// content (`content()`, in any mode), read in place. Every change of the view (each one it reports,
// its base's changes among them) invalidates every one of them (and the
// references they gave). A stale iterator stops the program when
// used, in every build.
// `makeIterator()` instead holds the view and reads its content at each
// step, in whatever mode it is then. `std::hash` of the view hashes the
// content in order.
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
#include "vantrel/collections/named_sort_block.h"
#include "vantrel/collections/sorted_array.h"
#include "vantrel/collections/weakly_owned.h"
#include "vantrel/core/console.h"
#include "vantrel/core/describe.h"
#include "vantrel/core/error.h"
#include "vantrel/core/fatal.h"
#include "vantrel/core/sort.h"
#include "vantrel/observable/event_closure.h"
#include "vantrel/observable/internal/blocked_array.h"
#include "vantrel/observable/internal/iteration.h"
#include "vantrel/observable/internal/pass_index.h"
#include "vantrel/observable/internal/reporting.h"
#include "vantrel/observable/internal/texts.h"
#include "vantrel/observable/internal/update_placement.h"
#include "vantrel/observable/kerray.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

template <EquatableKeyedElement A>
class OptionallyFilteredOptionallySortedArray_BasedOnKerray;

template <EquatableKeyedElement A>
class OptionallyFilteredOptionallySortedArray_BasedOnKerrayObserver : public WeaklyOwnedObjectBase {
 public:
  using WeaklyOwnedObjectBase::WeaklyOwnedObjectBase;
  using View = OptionallyFilteredOptionallySortedArray_BasedOnKerray<A>;
  using Positions = std::vector<std::int64_t>;
  using Elements = std::vector<A>;

  // The new block's code, or nullopt when the sort was removed.
  EventClosure<void(View&, const std::optional<std::string>&)> sortingChanged;
  EventClosure<void(View&)> filterChanged;
  EventClosure<void(View&)> replacedContent;
  EventClosure<void(View&)> removedAll;
  EventClosure<void(View&, std::int64_t at, const A&)> inserted;
  EventClosure<void(View&, std::int64_t at, const Elements&)> insertedMultipleContinuous;
  EventClosure<void(View&, const Positions&, const Elements&)> insertedMultipleDistributed;
  EventClosure<void(View&, std::int64_t at, const A&)> removed;
  EventClosure<void(View&, const Positions&, const Elements&)> removedMultiple;
  EventClosure<void(View&, std::int64_t at, const A&)> updated;
  EventClosure<void(View&, std::int64_t from, std::int64_t to, const A&)> moved;
  EventClosure<void(View&, const Positions& from, std::int64_t to, const Elements&)> movedMultiple;
};

// The error of the view's refused positional mutations.
struct OptionallyFilteredOptionallySortedArray_BasedOnKerrayErrors : Error {
  enum class Case { elementAlreadyPresent, indexOutOfBounds, currentlyNotSortedInNaturalOrder };
  OptionallyFilteredOptionallySortedArray_BasedOnKerrayErrors(Case c, std::string message)
      : Error(message), kind(c), message(std::move(message)) {}
  Case kind;
  std::string message;
};

template <EquatableKeyedElement A>
class OptionallyFilteredOptionallySortedArray_BasedOnKerray
    : public std::enable_shared_from_this<OptionallyFilteredOptionallySortedArray_BasedOnKerray<A>> {
 protected:
  struct Passkey {
    explicit Passkey() = default;
  };

 public:
  using Base = Kerray<A>;
  using Key = KeyTypeOf<A>;
  using Observer = OptionallyFilteredOptionallySortedArray_BasedOnKerrayObserver<A>;
  using Filter = std::function<bool(const A&)>;
  using SortBlock = NamedSortBlock<A>;
  using Errors = OptionallyFilteredOptionallySortedArray_BasedOnKerrayErrors;
  using Positions = std::vector<std::int64_t>;
  using value_type = A;
  using size_type = std::size_t;
  using difference_type = std::ptrdiff_t;
  using const_iterator = observable_internal::PositionIterator<OptionallyFilteredOptionallySortedArray_BasedOnKerray, A>;
  using iterator = const_iterator;

  // Reads the view's content at each step, in its mode of that moment.
  class Iterator {
   public:
    explicit Iterator(std::shared_ptr<const OptionallyFilteredOptionallySortedArray_BasedOnKerray> view)
        : view_(std::move(view)) {}
    std::optional<A> next() {
      const std::vector<A>& content = view_->content();
      if (position_ >= content.size()) return std::nullopt;
      return content[position_++];
    }

   private:
    std::shared_ptr<const OptionallyFilteredOptionallySortedArray_BasedOnKerray> view_;
    std::size_t position_ = 0;
  };

  // Builds the copy when a filter or a sort block is given and registers on
  // `base` (the view is the owner); reports nothing.
  [[nodiscard]] static std::shared_ptr<OptionallyFilteredOptionallySortedArray_BasedOnKerray> create(
      std::shared_ptr<Base> base, Filter filterBlock = {}, std::optional<SortBlock> sortBlock = std::nullopt) {
    auto view = std::make_shared<OptionallyFilteredOptionallySortedArray_BasedOnKerray>(
        Passkey{}, std::move(base), std::move(filterBlock), std::move(sortBlock));
    view->listen();
    return view;
  }

  OptionallyFilteredOptionallySortedArray_BasedOnKerray(Passkey, std::shared_ptr<Base> base, Filter filterBlock,
                                                        std::optional<SortBlock> sortBlock)
      : base_(std::move(base)), sortBlock_(std::move(sortBlock)), filterBlock_(std::move(filterBlock)) {
    if (!base_) fatal("OptionallyFilteredOptionallySortedArray_BasedOnKerray needs a base keyed array");
    applyFilterAndSort();
  }
  virtual ~OptionallyFilteredOptionallySortedArray_BasedOnKerray() = default;
  OptionallyFilteredOptionallySortedArray_BasedOnKerray(const OptionallyFilteredOptionallySortedArray_BasedOnKerray&) =
      delete;
  OptionallyFilteredOptionallySortedArray_BasedOnKerray& operator=(
      const OptionallyFilteredOptionallySortedArray_BasedOnKerray&) = delete;

  [[nodiscard]] WeaklyOwnedObjectsSphere<Observer>& observers() { return observers_; }
  [[nodiscard]] const WeaklyOwnedObjectsSphere<Observer>& observers() const { return observers_; }
  [[nodiscard]] virtual const std::shared_ptr<Base>& baseKerray() const { return base_; }

  [[nodiscard]] virtual const std::optional<SortBlock>& sortBlock() const { return sortBlock_; }
  // A block whose code differs from the current one's (or a change between
  // none and some) re-sorts and reports `sortingChanged`; a block with the
  // current code changes nothing.
  virtual void setSortBlock(std::optional<SortBlock> sortBlock) {
    if (sortBlock == sortBlock_) return;
    const auto keepAlive = this->weak_from_this().lock();
    Built built = build(filterBlock_, sortBlock);
    sortBlock_ = std::move(sortBlock);
    commit(std::move(built));
    const std::optional<std::string> code =
        sortBlock_ ? std::optional<std::string>(sortBlock_->code()) : std::nullopt;
    report("sortingChanged", &Observer::sortingChanged, code);
  }

  [[nodiscard]] virtual const Filter& filterBlock() const { return filterBlock_; }
  // Unless there is no filter before and after: rebuilds and reports
  // `filterChanged`.
  virtual void setFilterBlock(Filter filterBlock) {
    const bool involved = filterBlock_ || filterBlock;
    if (!involved) return;
    const auto keepAlive = this->weak_from_this().lock();
    Built built = build(filterBlock, sortBlock_);
    filterBlock_ = std::move(filterBlock);
    commit(std::move(built));
    report("filterChanged", &Observer::filterChanged);
  }

  // The view's content, in view order (the base's array in natural order).
  // Sorted, it is gathered from the blocks on the first read after a change.
  [[nodiscard]] const std::vector<A>& content() const {
    if (!copy_) return base_->array();
    if (stale_) {
      *copy_ = sorted_.elements();
      stale_ = false;
    }
    return *copy_;
  }

  [[nodiscard]] virtual bool isEmpty() const { return count() == 0; }
  [[nodiscard]] virtual std::int64_t count() const {
    if (!copy_) return base_->count();
    return sorted() ? sorted_.size() : static_cast<std::int64_t>(copy_->size());
  }
  // Whether the view shows an element with the element's key.
  [[nodiscard]] virtual bool contains(const A& element) const { return containsElementWithKey(keyOf(element)); }
  [[nodiscard]] virtual bool containsElementWithKey(const Key& key) const {
    return copy_ ? held_.contains(key) : base_->containsWith(key);
  }
  // The view position of the element with the element's key. Outside
  // natural order prints "👎👎👎👎 very expensive!" when the key is shown.
  [[nodiscard]] virtual std::optional<std::int64_t> indexOf(const A& element) const {
    if (!copy_) return base_->indexOf(element);
    if (!containsElementWithKey(keyOf(element))) return std::nullopt;
    consolePrint("👎👎👎👎 very expensive!");
    return positionOfKey(keyOf(element));
  }

  // The element at `index`, or nullopt outside 0..<count.
  [[nodiscard]] virtual std::optional<A> subscriptIndex(std::int64_t index) const {
    if (index < 0 || index >= count()) return std::nullopt;
    return (*this)[index];
  }
  // The element at `index` (0..<count).
  [[nodiscard]] const A& operator[](std::int64_t index) const {
    observable_internal::checkIndex("subscript", index, 0, count());
    if (copy_ && sorted()) return sorted_[index];
    return content()[static_cast<std::size_t>(index)];
  }
  [[nodiscard]] std::int64_t startIndex() const { return 0; }
  [[nodiscard]] std::int64_t endIndex() const { return count(); }
  [[nodiscard]] std::int64_t indexAfter(std::int64_t index) const { return index + 1; }

  [[nodiscard]] Iterator makeIterator() const { return Iterator(this->shared_from_this()); }
  [[nodiscard]] const_iterator begin() const { return const_iterator(this, 0); }
  [[nodiscard]] const_iterator end() const { return const_iterator(this, static_cast<difference_type>(count())); }
  [[nodiscard]] size_type size() const { return static_cast<size_type>(count()); }
  [[nodiscard]] bool empty() const { return isEmpty(); }

  // ---- Passed to the base ----
  virtual std::optional<A> update(const A& element) { return base_->update(element); }
  virtual std::optional<A> remove(const A& element) { return base_->remove(element); }
  virtual std::optional<A> removeElementWithKey(const Key& key) { return base_->removeElementWithKey(key); }
  virtual void replaceContent(const std::vector<A>& elements) { base_->replaceContent(elements); }
  virtual void removeAll() { base_->removeAll(); }

  // ---- Natural order only; else throw Errors ----
  virtual void insertAtIndex(const A& element, std::int64_t atIndex) {
    requireNaturalOrder();
    base_->insert(element, atIndex);
  }
  virtual void moveFrom(std::int64_t from, std::int64_t to) {
    requireNaturalOrder();
    if (from != to) base_->move(from, to);
  }
  virtual void moveFrom(const Positions& from, std::int64_t to) {
    requireNaturalOrder();
    base_->move(from, to);
  }

  // "OptionallyFilteredOptionallySortedArray_BasedOnKerray(sortBlock:<code or
  // n/a>, count: <n>, elements: <up to 10 elements, then , ...>)".
  [[nodiscard]] virtual std::string description() const {
    const std::vector<A>& c = content();
    std::string part;
    if constexpr (CustomStringConvertible<A>) {
      std::vector<std::string> texts;
      for (std::size_t i = 0; i < c.size() && i < 10; ++i) texts.push_back(describe(c[i]));
      part = observable_internal::listedElements(texts, c.size() > 10);
    } else {
      part = c.empty() ? "<none>" : "<not CustomStringConvertible>";
    }
    return observable_internal::countedDescription(
        "OptionallyFilteredOptionallySortedArray_BasedOnKerray(sortBlock:" + (sortBlock_ ? sortBlock_->code() : "n/a") +
            ", count: ",
        count(), part);
  }

 protected:
  static constexpr std::string_view kName = "OptionallyFilteredOptionallySortedArray_BasedOnKerray";

  template <class Closure, class... Args>
  void report(std::string_view name, Closure Observer::*event, const Args&... args) {
    ++changes_;  // every change reports: the iterators' stamp
    observable_internal::report(observers_, kName, name, event,
                                static_cast<OptionallyFilteredOptionallySortedArray_BasedOnKerray&>(*this), args...);
  }

 private:
  using BaseObserver = KerrayObserver<A>;
  friend struct observable_internal::IterationAccess;
  static constexpr std::string_view kIterationName = "OptionallyFilteredOptionallySortedArray_BasedOnKerray";

  // Through `content()`: whatever the mode, a position is checked against
  // the content of this moment.
  static constexpr std::string_view kIteratorLabel = "view iterator";
  const std::vector<A>& elementsForIteration() const { return content(); }
  using Held = std::unordered_map<Key, A, ElementHash<Key>, ElementEqual<Key>>;

  void requireNaturalOrder() const {
    if (copy_) {
      throw Errors(Errors::Case::currentlyNotSortedInNaturalOrder, "CurrentlyNotSortedInNaturalOrder");
    }
  }

  bool passes(const A& e) const { return !filterBlock_ || filterBlock_(e); }
  bool sorted() const { return sortBlock_.has_value(); }
  bool filterOnly() const { return copy_ && !sortBlock_; }
  // The block's comparator as a plain callable for `stableSort`.
  auto byBlock() const {
    return [block = &*sortBlock_](const A& a, const A& b) { return (*block)(a, b); };
  }

  // A copy computed aside, committed only once every caller closure ran.
  struct Built {
    std::optional<std::vector<A>> copy;
    Held held;
    std::vector<std::uint8_t> shown;  // filter-only: per base position
  };

  // The copy from scratch: the passing base elements, one per key, in base
  // order, then sorted when a block is set (stable: ties keep base order).
  Built build(const Filter& filter, const std::optional<SortBlock>& sortBlock) const {
    Built built;
    if (!filter && !sortBlock) return built;
    const std::vector<A>& all = base_->array();
    std::vector<A> copy;
    if (!sortBlock) built.shown.assign(all.size(), 0);
    for (std::size_t i = 0; i < all.size(); ++i) {
      const A& e = all[i];
      if ((!filter || filter(e)) && built.held.try_emplace(keyOf(e), e).second) {
        copy.push_back(e);
        if (!sortBlock) built.shown[i] = 1;
      }
    }
    if (sortBlock) stableSort(copy, [&](const A& a, const A& b) { return (*sortBlock)(a, b); });
    built.copy = std::move(copy);
    return built;
  }

  void commit(Built built) {
    reentering_.clear();
    copy_ = std::move(built.copy);
    held_ = std::move(built.held);
    stale_ = false;
    if (copy_ && !sortBlock_) {
      shown_.assign(built.shown);
    } else {
      shown_.clear();
    }
    if (copy_ && sortBlock_) {
      sorted_.assign(*copy_);
    } else {
      sorted_.clear();
    }
  }

  void applyFilterAndSort() { commit(build(filterBlock_, sortBlock_)); }

  // The position in the copy of the element with `key` (held). Sorted: a
  // binary search for the held value, then the run of its equals; a linear
  // scan when the comparator is not a strict weak order and misses.
  std::optional<std::int64_t> positionOfKey(const Key& key) const {
    const auto h = held_.find(key);
    if (h == held_.end()) return std::nullopt;
    const ElementEqual<Key> equal;
    if (sorted()) {
      const auto& less = sortBlock_->sortBlock();
      const std::int64_t n = sorted_.size();
      for (std::int64_t i = sorted_.lowerBound(less, h->second); i < n; ++i) {
        const A& probe = sorted_[i];
        if (equal(keyOf(probe), key)) return i;
        if (less(h->second, probe)) break;
      }
      for (std::int64_t i = 0; i < n; ++i) {
        if (equal(keyOf(sorted_[i]), key)) return i;
      }
      return std::nullopt;
    }
    const std::vector<A>& c = *copy_;
    for (std::size_t i = 0; i < c.size(); ++i) {
      if (equal(keyOf(c[i]), key)) return static_cast<std::int64_t>(i);
    }
    return std::nullopt;
  }

  // As `positionOfKey` for a key the view holds: a miss means the copy and
  // `held_` disagree, which stops the program rather than read past it.
  std::int64_t shownPosition(const Key& key) const {
    if (const std::optional<std::int64_t> at = positionOfKey(key)) return *at;
    fatal(std::string(kName) + ": a held key is missing from the copy (" + description() + ")");
  }

  std::int64_t sortedInsertionIndex(const A& e) const { return sorted_.lowerBound(sortBlock_->sortBlock(), e); }

  void listen();
  // Sorted mode.
  void sortedInserted(const A& e);
  void sortedInsertions(const std::vector<A>& elements);
  void sortedRemoved(const A& e);
  void sortedRemovals(const std::vector<A>& elements);
  void sortedUpdated(const A& e);
  void sortedFollowRemaining(const Key& key);
  std::optional<A> firstPassingWithKey(const Key& key) const;
  // Filter-only mode: positions are base positions.
  void inPlaceInserted(std::int64_t at, const A& e);
  void inPlaceRemoved(std::int64_t at, const A& e);
  void inPlaceInsertions(const Positions& at, const std::vector<A>& elements);
  void inPlaceRemovals(const Positions& at, const std::vector<A>& elements);
  void inPlaceUpdated(std::int64_t at, const A& e);
  void inPlaceMoved(std::int64_t from, std::int64_t to);
  void inPlaceMovedMultiple(const Positions& from, std::int64_t to);
  void reenter(const std::vector<Key>& keys);
  void reenterWhenInStep();

  WeaklyOwnedObjectsSphere<Observer> observers_;
  std::shared_ptr<Base> base_;
  // Absent exactly in natural order. Filter-only: the content. Sorted: the
  // content as of the last read (`stale_` after a change), the elements
  // themselves being in `sorted_`.
  mutable std::optional<std::vector<A>> copy_;
  mutable bool stale_ = false;
  observable_internal::BlockedArray<A> sorted_;
  Held held_;  // the shown keys outside natural order; their values are read in sorted mode only
  observable_internal::PassIndex shown_;  // filter-only: which base positions are shown
  std::vector<Key> reentering_;           // filter-only: keys to show again once in step
  std::optional<SortBlock> sortBlock_;
  Filter filterBlock_;
  std::uint64_t changes_ = 0;
};

}  // namespace vantrel

template <vantrel::EquatableKeyedElement A>
  requires vantrel::ObservableHashable<A>
struct std::hash<vantrel::OptionallyFilteredOptionallySortedArray_BasedOnKerray<A>> {
  std::size_t operator()(const vantrel::OptionallyFilteredOptionallySortedArray_BasedOnKerray<A>& view) const {
    return vantrel::observable_internal::orderedHash<A>(view.content(), view.content().size());
  }
};

#include "vantrel/observable/internal/sorted_view_reactions.h"
