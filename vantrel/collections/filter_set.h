// File: vantrel/collections/filter_set.h
//
// A set of unique elements split by a predicate into two disjoint halves,
// the elements that pass (`inElements()`) and those that do not
// (`outElements()`); every change is reported to observers both as a general
// event and as the movement between the halves.
//
//   FilterSet<int> numbers;
//   numbers.setFilterBlock([](int n) { return n % 2 == 0; });
//   numbers.observers.createNew(panel, [](FilterSetObserver<int>& o) {
//     o.inSetInserted = [](const FilterSet<int>& set, int n) { ... };
//   });
//   numbers.insert(4);     // inSetInserted, then inserted
//   numbers.insert(3);     // outSetInserted, then inserted
//   numbers.insert(4);     // throws Errur: elementAlreadyPresent("4")
//
// Elements are unique across both halves, by `ElementHash` / `ElementEqual`
// (vantrel/collections/element_hash.h; text compares canonically), also when
// equality ignores something the predicate reads: `insert` refuses an
// element equal to one in either half, and splitting a sequence (the
// constructor, `replaceContent`, a new predicate) keeps the first of equal
// elements. An absent predicate lets everything pass.
//
// Events, per observer, all of one observer before the next (registration
// order, live owners only):
//   insert             inSetInserted | outSetInserted, inserted
//   update, in -> in   inSetUpdated, updated       in -> out  inSetRemoved, outSetInserted, updated
//   update, out -> in  outSetRemoved, inSetInserted, updated
//   update, out -> out outSetUpdated, updated      absent     as insert
//   remove             inSetRemoved | outSetRemoved, removed; absent: the line
//                      "WARNING! Element to remove not present: <element>", no event
//   replaceContent, removeAll, setFilterBlock: replacedContent, removedAll,
//                      filterBlockChanged; no element events
// Each callback gets the set as it stands after the change (a copy, O(1):
// the halves are copy-on-write) and a copy of the element the caller passed.
// Each closure is copied before its call and the owner is held for it, so a
// callback may replace its closure, release its owner or change the set
// again. A predicate that throws leaves the set unchanged.
//
// `insert` throws `FilterSet<A>::Errur` (elementAlreadyPresent, with the
// element's description) before changing anything; the array form stops at
// the first such element, keeping (and having reported) the ones before it.
// `randomInElement()` draws through `randomUniform`; an in-set of 2^32
// elements or more ends in `fatal`.
//
// A value type: copies share nothing but the observer objects. Iteration
// yields copies, the in-set then the out-set, as they were when it began.
// `inElements()` / `outElements()` refer into the set: the next change may
// invalidate them. Not thread-safe.
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iterator>
#include <limits>
#include <memory>
#include <optional>
#include <ranges>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "vantrel/collections/any_iterator.h"
#include "vantrel/collections/element_hash.h"
#include "vantrel/collections/weakly_owned.h"
#include "vantrel/core/console.h"
#include "vantrel/core/describe.h"
#include "vantrel/core/error.h"
#include "vantrel/core/fatal.h"
#include "vantrel/core/random.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// What a filter set can hold: copyable, hashed and compared through
// `ElementHash` / `ElementEqual`.
template <class A>
concept FilterSetElement = std::copyable<A> && requires(const A& a, const A& b) {
  { ElementHash<A>{}(a) } -> std::convertible_to<std::size_t>;
  { ElementEqual<A>{}(a, b) } -> std::convertible_to<bool>;
};

template <FilterSetElement A>
class FilterSet;

// The observer of a `FilterSet<A>`: one closure per event, left empty when
// not wanted. Made by `observers.createNew(owner, configure)`.
template <FilterSetElement A>
class FilterSetObserver : public WeaklyOwnedObjectBase {
 public:
  using SetEvent = std::function<void(const FilterSet<A>&)>;
  using ElementEvent = std::function<void(const FilterSet<A>&, const A&)>;

  using WeaklyOwnedObjectBase::WeaklyOwnedObjectBase;

  SetEvent filterBlockChanged;
  SetEvent replacedContent;
  SetEvent removedAll;
  ElementEvent inserted;
  ElementEvent updated;
  ElementEvent removed;
  ElementEvent inSetInserted;
  ElementEvent inSetUpdated;
  ElementEvent inSetRemoved;
  ElementEvent outSetInserted;
  ElementEvent outSetUpdated;
  ElementEvent outSetRemoved;
};

template <FilterSetElement A>
class FilterSet {
 public:
  using Elements = ElementSet<A>;
  using Observer = FilterSetObserver<A>;
  using FilterBlock = std::function<bool(const A&)>;

  struct Errur : Error {
    enum class Case { elementAlreadyPresent, elementsAlreadyPresent };
    Errur(Case c, std::string text)
        : Error(std::string(c == Case::elementAlreadyPresent ? "elementAlreadyPresent"
                                                             : "elementsAlreadyPresent") +
                "(" + debugDescribe(std::string_view(text)) + ")"),
          kind(c),
          text(std::move(text)) {}
    Case kind;
    // The element's description.
    std::string text;
  };

  // Walks the halves as they were when it was made: the in-set, then the
  // out-set.
  class Iterator {
   public:
    Iterator(std::shared_ptr<const Elements> in, std::shared_ptr<const Elements> out)
        : in_(std::move(in)), out_(std::move(out)), position_(in_->begin()) {}
    std::optional<A> next() {
      if (!inDone_ && position_ == in_->end()) {
        inDone_ = true;
        position_ = out_->begin();
      }
      if (position_ == (inDone_ ? out_ : in_)->end()) return std::nullopt;
      return *position_++;
    }

   private:
    std::shared_ptr<const Elements> in_;
    std::shared_ptr<const Elements> out_;
    typename Elements::const_iterator position_;
    bool inDone_ = false;
  };

  WeaklyOwnedObjectsSphere<Observer> observers;

  // Empty, no observers, no predicate.
  FilterSet() : in_(std::make_shared<Elements>()), out_(std::make_shared<Elements>()) {}

  // The elements split by `filterBlock`; of equal elements the first stays.
  template <std::ranges::input_range R>
    requires std::convertible_to<std::ranges::range_reference_t<R>, A> &&
             (!std::same_as<std::remove_cvref_t<R>, FilterSet>)
  explicit FilterSet(R&& elements, FilterBlock filterBlock = {})
      : filterBlock_(std::move(filterBlock)) {
    auto [in, out] = split(elements, filterBlock_);
    in_ = std::move(in);
    out_ = std::move(out);
  }

  // Copies share the halves until one of them changes. There is no move: a
  // moved-from set would have no halves, and a copy costs the same.
  FilterSet(const FilterSet&) = default;
  FilterSet& operator=(const FilterSet&) = default;

  [[nodiscard]] const Elements& inElements() const& { return *in_; }
  const Elements& inElements() const&& = delete;  // would refer into a temporary
  [[nodiscard]] const Elements& outElements() const& { return *out_; }
  const Elements& outElements() const&& = delete;

  [[nodiscard]] const FilterBlock& filterBlock() const { return filterBlock_; }

  // Re-splits every element by `filterBlock` (absent: all pass), then
  // reports `filterBlockChanged`.
  void setFilterBlock(FilterBlock filterBlock) {
    auto [in, out] = split(Halves{in_.get(), out_.get()}, filterBlock);
    filterBlock_ = std::move(filterBlock);
    in_ = std::move(in);
    out_ = std::move(out);
    announce(nullptr, &Observer::filterBlockChanged);
  }

  [[nodiscard]] bool isEmpty() const { return in_->empty() && out_->empty(); }
  [[nodiscard]] std::int64_t count() const {
    return static_cast<std::int64_t>(in_->size() + out_->size());
  }

  // Adds `element` to its half and reports it; throws elementAlreadyPresent,
  // changing nothing, when either half holds an equal element.
  void insert(A element) {
    if (contains(element)) throw Errur(Errur::Case::elementAlreadyPresent, describe(element));
    const bool passes = passesFilter(element);
    half(passes).insert(element);
    announce(&element, passes ? &Observer::inSetInserted : &Observer::outSetInserted,
             &Observer::inserted);
  }

  // Inserts each element in order; at the first one present, throws (the
  // earlier ones stay inserted and reported, the later ones are left out).
  void insert(const std::vector<A>& elements) {
    for (const A& element : elements) insert(element);
  }

  // Replaces the equal member by `element`, moving it to the half the
  // predicate now picks, and answers the member replaced. When there is none,
  // inserts `element` (reported as an insert) and answers nullopt.
  std::optional<A> update(A element) {
    const bool passes = passesFilter(element);
    const bool wasIn = in_->contains(element);
    if (!wasIn && !out_->contains(element)) {
      half(passes).insert(element);
      announce(&element, passes ? &Observer::inSetInserted : &Observer::outSetInserted,
               &Observer::inserted);
      return std::nullopt;
    }
    A old = take(half(wasIn), element);
    half(passes).insert(element);
    if (wasIn && passes) {
      announce(&element, &Observer::inSetUpdated, &Observer::updated);
    } else if (wasIn) {
      announce(&element, &Observer::inSetRemoved, &Observer::outSetInserted, &Observer::updated);
    } else if (passes) {
      announce(&element, &Observer::outSetRemoved, &Observer::inSetInserted, &Observer::updated);
    } else {
      announce(&element, &Observer::outSetUpdated, &Observer::updated);
    }
    return old;
  }

  // Makes the split of `elements` the content, then reports `replacedContent`.
  template <std::ranges::input_range R>
    requires std::convertible_to<std::ranges::range_reference_t<R>, A>
  void replaceContent(R&& elements) {
    auto [in, out] = split(elements, filterBlock_);
    in_ = std::move(in);
    out_ = std::move(out);
    announce(nullptr, &Observer::replacedContent);
  }

  // Empties both halves, then reports `removedAll`; observers and predicate stay.
  void removeAll() {
    in_ = std::make_shared<Elements>();
    out_ = std::make_shared<Elements>();
    announce(nullptr, &Observer::removedAll);
  }

  // Takes out the equal member, reports it and answers it (the stored one).
  // When there is none, prints "WARNING! Element to remove not present: "
  // and the element's description, and answers nullopt.
  std::optional<A> remove(A element) {
    const bool wasIn = in_->contains(element);
    if (!wasIn && !out_->contains(element)) {
      consolePrint("WARNING! Element to remove not present: " + describe(element));
      return std::nullopt;
    }
    A old = take(half(wasIn), element);
    announce(&element, wasIn ? &Observer::inSetRemoved : &Observer::outSetRemoved,
             &Observer::removed);
    return old;
  }

  // A passing element drawn with `randomUniform`; nullopt when none passes.
  [[nodiscard]] std::optional<A> randomInElement() const {
    if (in_->empty()) return std::nullopt;
    if (in_->size() > std::numeric_limits<std::uint32_t>::max()) {
      fatal("randomInElement: the in-set holds " + std::to_string(in_->size()) +
            " elements, more than a 32-bit draw reaches");
    }
    const std::uint32_t r = randomUniform(static_cast<std::uint32_t>(in_->size()));
    return *std::next(in_->begin(), static_cast<std::ptrdiff_t>(r));
  }

  // The stored member equal to `element`, from the in-set first.
  [[nodiscard]] std::optional<A> operator[](const A& element) const {
    if (auto it = in_->find(element); it != in_->end()) return *it;
    if (auto it = out_->find(element); it != out_->end()) return *it;
    return std::nullopt;
  }

  [[nodiscard]] Iterator makeIterator() const { return Iterator(in_, out_); }
  [[nodiscard]] StepIteratorAdapter<Iterator> begin() const {
    return StepIteratorAdapter<Iterator>(makeIterator());
  }
  [[nodiscard]] std::default_sentinel_t end() const { return {}; }

  // "FilterSet(in 3, out 2)".
  [[nodiscard]] std::string description() const {
    return "FilterSet(in " + std::to_string(in_->size()) + ", out " + std::to_string(out_->size()) +
           ")";
  }

 private:
  // The two halves walked as one sequence (in, then out), for re-splitting.
  struct Halves {
    const Elements* in;
    const Elements* out;
  };

  [[nodiscard]] bool contains(const A& element) const {
    return in_->contains(element) || out_->contains(element);
  }

  [[nodiscard]] bool passesFilter(const A& element) const {
    return !filterBlock_ || filterBlock_(element);
  }

  // The half for writing; copied first while a copy of the set shares it.
  Elements& half(bool in) {
    std::shared_ptr<Elements>& h = in ? in_ : out_;
    if (h.use_count() > 1) h = std::make_shared<Elements>(*h);
    return *h;
  }

  // Takes the member equal to `element` out of `from`, which holds one.
  static A take(Elements& from, const A& element) {
    auto node = from.extract(element);
    return std::move(node.value());
  }

  template <class Sequence>
  static void splitInto(const Sequence& elements, const FilterBlock& filterBlock, Elements& in,
                        Elements& out) {
    for (auto&& e : elements) {
      const A& element = e;
      if (in.contains(element) || out.contains(element)) continue;  // the first stays
      if (!filterBlock || filterBlock(element)) {
        in.insert(element);
      } else {
        out.insert(element);
      }
    }
  }

  // The halves of `elements` under `filterBlock`, made aside so that a
  // throwing predicate changes nothing.
  template <class Sequence>
  static std::pair<std::shared_ptr<Elements>, std::shared_ptr<Elements>> split(
      const Sequence& elements, const FilterBlock& filterBlock) {
    auto in = std::make_shared<Elements>();
    auto out = std::make_shared<Elements>();
    if constexpr (std::is_same_v<Sequence, Halves>) {
      splitInto(*elements.in, filterBlock, *in, *out);
      splitInto(*elements.out, filterBlock, *in, *out);
    } else {
      splitInto(elements, filterBlock, *in, *out);
    }
    return {std::move(in), std::move(out)};
  }

  // Calls `events` of every live observer, in order, all of one observer
  // before the next, each with the set as it stands at that call and, for
  // element events, `*element`.
  template <class... Events>
  void announce(const A* element, Events... events) const {
    for (auto it = observers.begin(); it != observers.end(); ++it) {
      const std::shared_ptr<Observer> observer = *it;
      // Held for the calls: closures often point at their owner, which a
      // callback may release.
      const auto owner = observer->owner();
      if (!owner) continue;
      (call(*observer, events, element), ...);
    }
  }

  template <class Closure>
  void call(const Observer& observer, Closure Observer::*event, const A* element) const {
    const Closure closure = observer.*event;  // copied: a callback may replace it
    if (!closure) return;
    const FilterSet now(*this);
    if constexpr (std::is_same_v<Closure, typename Observer::ElementEvent>) {
      closure(now, *element);
    } else {
      closure(now);
    }
  }

  std::shared_ptr<Elements> in_;
  std::shared_ptr<Elements> out_;
  FilterBlock filterBlock_;
};

}  // namespace vantrel
