// File: vantrel/observable/observable_set.h
//
// `ObservableSet<E>`: an unordered set of distinct elements that reports
// every change to its observers (`ObservableSetObserver<E>`).
//
//   auto people = ObservableSet<std::string>::create({"ann"});
//   auto owner = std::make_shared<int>(0);            // the listener's lifetime
//   people->observers().createNew(owner, [](ObservableSetObserver<std::string>& o) {
//     o.inserted = [](ObservableSet<std::string>&, const std::string& e) { ... };
//   });
//   people->insert("bob");                            // calls `inserted` with "bob"
//
// Elements are told apart by `==` and `std::hash` (canonical text equality
// for strings): an element equal to a stored one but carrying other data
// replaces it through `update`. Every operation keeps the stored element
// unless it says it replaces it.
//
// Observers: registered with `observers().createNew(owner, configure)` or
// `append`; an observer is called until its owner is released (there is no
// removal). Each change is complete before the observers are called, in
// registration order, synchronously, on the caller's thread; the walk is
// over the list as it was when the delivery began, so a callback may
// register observers, release owners or change the set (that inner change
// is delivered completely before the outer delivery goes on). An observer
// that throws stops the program (vantrel/observable/internal/reporting.h).
//
// Errors: `insert` throws `Errur` (elementAlreadyPresent) before changing
// anything; `insertMultiple` adds and reports the new elements, then throws
// `Errur` (elementsAlreadyPresent) naming the ones that were present.
// Absent elements on update or removal are no error (see each operation).
//
// Diagnostics go through the console sink (vantrel/core/console.h): the
// "🍌 ..." debug lines only while `logDelegateCalls()` is true, the
// "warning: ..." and "WARNING! ..." lines always; each before the
// observers are called.
//
// Iteration walks the content as it was when the iteration started; the
// content is copied only when the set changes while an iteration runs. Held by
// `std::shared_ptr` (`create`); one thread at a time.
#pragma once

#include <cstdint>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "vantrel/collections/any_iterator.h"
#include "vantrel/collections/weakly_owned.h"
#include "vantrel/core/console.h"
#include "vantrel/core/describe.h"
#include "vantrel/core/error.h"
#include "vantrel/observable/event_closure.h"
#include "vantrel/observable/internal/reporting.h"
#include "vantrel/observable/internal/texts.h"
#include "vantrel/observable/keyed_element.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

template <ObservableHashable E>
class ObservableSet;

// The content of an observable set.
template <ObservableHashable E>
using ObservableSetElements = std::unordered_set<E, ElementHash<E>, ElementEqual<E>>;

// The observer of an `ObservableSet<E>`. A closure left empty means that
// nothing listens for that event.
template <ObservableHashable E>
class ObservableSetObserver : public WeaklyOwnedObjectBase {
 public:
  using WeaklyOwnedObjectBase::WeaklyOwnedObjectBase;
  using Set = ObservableSet<E>;
  using Elements = ObservableSetElements<E>;

  // replaceContent: first every observer gets `replacedContent`, then
  // every observer `replacedContentOldContent` with the content before.
  EventClosure<void(Set&)> replacedContent;
  EventClosure<void(Set&, const Elements& oldContent)> replacedContentOldContent;
  EventClosure<void(Set&)> removedAll;
  // insert, and update / updateMultiple of an absent element.
  EventClosure<void(Set&, const E&)> inserted;
  // insertMultiple: every input element, repetitions and present ones included.
  EventClosure<void(Set&, const std::vector<E>&)> insertedMultiple;
  // update: the new element.
  EventClosure<void(Set&, const E&)> updated;
  // updateMultiple: every input element, the replaced and the inserted
  // ones (of equal inputs the last, which is the one stored).
  EventClosure<void(Set&, const Elements&)> updatedMultiple;
  // remove(element): the element as the caller passed it.
  EventClosure<void(Set&, const E&)> removed;
  // remove(elements): the stored elements that were removed.
  EventClosure<void(Set&, const Elements&)> removedMultiple;
};

template <ObservableHashable E>
class ObservableSet : public std::enable_shared_from_this<ObservableSet<E>> {
 protected:
  // Lets `create` use make_shared while keeping construction to subclasses.
  struct Passkey {
    explicit Passkey() = default;
  };

 public:
  using Element = E;
  using Observer = ObservableSetObserver<E>;
  using Elements = ObservableSetElements<E>;

  struct Errur : Error {
    enum class Case { elementAlreadyPresent, elementsAlreadyPresent };
    Errur(Case c, std::string text)
        : Error(observable_internal::caseDescription(
              c == Case::elementAlreadyPresent ? "elementAlreadyPresent" : "elementsAlreadyPresent",
              text)),
          kind(c),
          text(std::move(text)) {}
    Case kind;
    // The element's text, or the present elements' texts joined by ",".
    std::string text;
  };

  // Walks the content of the moment it was made (shared, not copied).
  class Iterator {
   public:
    explicit Iterator(std::shared_ptr<const Elements> snapshot)
        : snapshot_(std::move(snapshot)), position_(snapshot_->begin()) {}
    std::optional<E> next() {
      if (position_ == snapshot_->end()) return std::nullopt;
      return *position_++;
    }

   private:
    std::shared_ptr<const Elements> snapshot_;
    typename Elements::const_iterator position_;
  };

  // An empty set.
  [[nodiscard]] static std::shared_ptr<ObservableSet> create() {
    return std::make_shared<ObservableSet>(Passkey{}, std::vector<E>{});
  }
  // The distinct elements (of equal ones, the first).
  [[nodiscard]] static std::shared_ptr<ObservableSet> create(const std::vector<E>& elements) {
    return std::make_shared<ObservableSet>(Passkey{}, elements);
  }

  ObservableSet(Passkey, const std::vector<E>& elements)
      : elements_(std::make_shared<Elements>(elements.begin(), elements.end())) {}
  virtual ~ObservableSet() = default;
  ObservableSet(const ObservableSet&) = delete;  // shared by reference; observers are per object
  ObservableSet& operator=(const ObservableSet&) = delete;

  [[nodiscard]] WeaklyOwnedObjectsSphere<Observer>& observers() { return observers_; }
  [[nodiscard]] const WeaklyOwnedObjectsSphere<Observer>& observers() const { return observers_; }

  [[nodiscard]] virtual const Elements& elements() const { return *elements_; }

  [[nodiscard]] virtual bool logDelegateCalls() const { return logDelegateCalls_; }
  virtual void setLogDelegateCalls(bool value) { logDelegateCalls_ = value; }

  [[nodiscard]] virtual bool isEmpty() const { return elements_->empty(); }
  [[nodiscard]] virtual std::int64_t count() const { return static_cast<std::int64_t>(elements_->size()); }

  // Adds the absent elements, reports `insertedMultiple` with every input
  // element (also when nothing was added), then throws elementsAlreadyPresent
  // when some were present already (also repeated inside the input).
  virtual void insertMultiple(const std::vector<E>& elements) {
    const auto keepAlive = this->weak_from_this().lock();
    std::vector<E> alreadyPresent;
    for (const E& e : elements) {
      if (!mutableElements().insert(e).second) alreadyPresent.push_back(e);
    }
    log("🍌 inserted " + describe(elements));
    if (!alreadyPresent.empty()) log("🍌 alreadyExisting " + describe(alreadyPresent));
    report("insertedMultiple", &Observer::insertedMultiple, elements);
    if (!alreadyPresent.empty()) {
      std::vector<std::string> texts;
      texts.reserve(alreadyPresent.size());
      for (const E& e : alreadyPresent) texts.push_back(describe(e));
      throw Errur(Errur::Case::elementsAlreadyPresent, observable_internal::joined(texts, ","));
    }
  }

  // Throws elementAlreadyPresent, changing nothing, when an equal element is
  // stored; else adds it and reports `inserted`.
  virtual void insert(const E& element) {
    if (elements_->contains(element)) {
      throw Errur(Errur::Case::elementAlreadyPresent, describe(element));
    }
    const auto keepAlive = this->weak_from_this().lock();
    insertAbsent(element);
  }

  // For each element: replaces the equal stored one (quietly, logging
  // "🍌 updated "), or, when there is none, prints "warning: could not find
  // old element" and inserts it as `insert` does (reporting `inserted` at
  // once). Then reports `updatedMultiple` with every input element. Returns,
  // per input element, the element it replaced or nullopt.
  virtual std::vector<std::optional<E>> updateMultiple(const std::vector<E>& elements) {
    const auto keepAlive = this->weak_from_this().lock();
    std::vector<std::optional<E>> result;
    result.reserve(elements.size());
    Elements all;
    for (const E& e : elements) {
      // The last of equal inputs is the one stored: report that one.
      all.erase(e);
      all.insert(e);
      if (std::optional<E> old = replace(e)) {
        log("🍌 updated " + describe(e));
        result.push_back(std::move(old));
      } else {
        consolePrint("warning: could not find old element");
        insertAbsent(e);
        result.push_back(std::nullopt);
      }
    }
    report("updatedMultiple", &Observer::updatedMultiple, all);
    return result;
  }

  // Replaces the equal stored element and reports `updated` with the new
  // one, returning the old one; when there is none, inserts the element as
  // `insert` does (reporting `inserted`) and returns nullopt.
  virtual std::optional<E> update(const E& argument) {
    const auto keepAlive = this->weak_from_this().lock();
    const E element = argument;  // `argument` may be the stored element being replaced
    std::optional<E> old = replace(element);
    if (!old) {
      insertAbsent(element);
      return std::nullopt;
    }
    log("🍌 updated " + describe(element));
    report("updated", &Observer::updated, element);
    return old;
  }

  // The content becomes the distinct elements given; reports
  // `replacedContent` to every observer, then `replacedContentOldContent`.
  virtual void replaceContent(const std::vector<E>& elements) {
    const auto keepAlive = this->weak_from_this().lock();
    const std::shared_ptr<const Elements> old =
        std::exchange(elements_, std::make_shared<Elements>(elements.begin(), elements.end()));
    log("🍌 replacedContent[OldContent]");
    report("replacedContent", &Observer::replacedContent);
    report("replacedContentOldContent", &Observer::replacedContentOldContent, *old);
  }

  // Empties the set and reports `removedAll`, also when it was empty.
  virtual void removeAll() {
    const auto keepAlive = this->weak_from_this().lock();
    mutableElements().clear();
    log("🍌 removedAll");
    report("removedAll", &Observer::removedAll);
  }

  // Removes the equal element, reports `removed` with the argument and
  // returns the stored one; when absent prints "WARNING! Element to remove
  // not present: <element>" and returns nullopt.
  virtual std::optional<E> remove(const E& element) {
    if (!elements_->contains(element)) {
      consolePrint("WARNING! Element to remove not present: " + describe(element));
      return std::nullopt;
    }
    auto node = mutableElements().extract(element);
    const auto keepAlive = this->weak_from_this().lock();
    log("🍌 remove " + describe(element));
    report("removed", &Observer::removed, element);
    return std::move(node.value());
  }

  // Removes each present element (warning for each absent one, as above),
  // reports `removedMultiple` with the stored elements removed (also when
  // none) and returns them.
  virtual Elements remove(const std::vector<E>& elements) {
    const auto keepAlive = this->weak_from_this().lock();
    Elements removed;
    for (const E& e : elements) {
      if (!elements_->contains(e)) {
        consolePrint("WARNING! Element to remove not present: " + describe(e));
        continue;
      }
      auto node = mutableElements().extract(e);
      log("🍌 remove " + describe(e));
      removed.insert(std::move(node));
    }
    report("removedMultiple", &Observer::removedMultiple, removed);
    return removed;
  }

  // The stored element equal to `element`, or nullopt.
  [[nodiscard]] virtual std::optional<E> subscript(const E& element) const {
    const auto it = elements_->find(element);
    if (it == elements_->end()) return std::nullopt;
    return *it;
  }

  [[nodiscard]] Iterator makeIterator() const {
    return Iterator(elements_);
  }
  [[nodiscard]] StepIteratorAdapter<Iterator> begin() const {
    return StepIteratorAdapter<Iterator>(makeIterator());
  }
  [[nodiscard]] std::default_sentinel_t end() const { return {}; }

  // "ObservableSet(count=<n>)".
  [[nodiscard]] virtual std::string description() const {
    return "ObservableSet(count=" + std::to_string(elements_->size()) + ")";
  }

 protected:
  template <class Closure, class... Args>
  void report(std::string_view name, Closure Observer::*event, const Args&... args) {
    observable_internal::report(observers_, "ObservableSet", name, event, static_cast<ObservableSet&>(*this), args...);
  }

  void log(const std::string& line) const {
    if (logDelegateCalls_) consolePrint(line);
  }

 private:
  void insertAbsent(const E& element) {
    mutableElements().insert(element);
    log("🍌 inserted " + describe(element));
    report("inserted", &Observer::inserted, element);
  }

  // Puts `element` in the place of the equal stored one; returns that one,
  // or nullopt (nothing changed) when there is none.
  std::optional<E> replace(const E& element) {
    if (!elements_->contains(element)) return std::nullopt;
    Elements& elements = mutableElements();
    auto node = elements.extract(element);
    E old = std::exchange(node.value(), element);
    elements.insert(std::move(node));
    return old;
  }

  WeaklyOwnedObjectsSphere<Observer> observers_;
  // Shared with the running iterations: a change while one runs copies the
  // content first, so an iteration walks the content of its start without
  // copying it when nothing changes.
  Elements& mutableElements() {
    if (elements_.use_count() > 1) elements_ = std::make_shared<Elements>(*elements_);
    return *elements_;
  }

  std::shared_ptr<Elements> elements_;
  bool logDelegateCalls_ = false;
};

}  // namespace vantrel
