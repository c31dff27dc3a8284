#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <vantrel/core/describe.h>
#include <vantrel/observable/kerray.h>
#include <vantrel/observable/observable_set.h>
#include <vantrel/observable/optionally_filtered_optionally_sorted_array_based_on_kerray.h>
#include <vantrel/observable/optionally_filtered_set_based_on_observable_set.h>

#include "tour.h"

using namespace vantrel;

namespace tour_people {

struct Person {
  using KeyType = std::int64_t;
  std::int64_t id;
  std::string name;
  KeyType key() const { return id; }
  std::string description() const { return name; }
  friend bool operator==(const Person&, const Person&) = default;
};

}  // namespace tour_people

using tour_people::Person;

TOUR_SECTION(30, "Observable set") {
  auto tags = ObservableSet<std::string>::create({"red", "green"});
  auto listener = std::make_shared<int>(0);  // observing lasts as long as this owner
  tags->observers().createNew(listener, [](ObservableSetObserver<std::string>& o) {
    o.inserted = [](ObservableSet<std::string>& s, const std::string& e) {
      std::printf("inserted %s, now %s\n", e.c_str(), s.description().c_str());
    };
    o.removed = [](ObservableSet<std::string>&, const std::string& e) {
      std::printf("removed %s\n", e.c_str());
    };
  });
  tags->insert("blue");
  try {
    tags->insert("red");
  } catch (const ObservableSet<std::string>::Errur& e) {
    std::printf("refused: %s\n", e.description().c_str());
  }
  tags->remove(std::string("green"));
  listener.reset();  // no more calls
  tags->insert("black");
}

TOUR_SECTION(31, "Keyed array: events with positions") {
  auto people = Kerray<Person>::create({{1, "Ann"}, {2, "Bob"}});
  auto table = std::make_shared<int>(0);
  people->observers().createNew(table, [](KerrayObserver<Person>& o) {
    o.inserted = [](Kerray<Person>&, std::int64_t at, const Person& p) {
      std::printf("row %lld inserted: %s\n", static_cast<long long>(at), p.name.c_str());
    };
    o.moved = [](Kerray<Person>&, std::int64_t from, std::int64_t to, const Person& p) {
      std::printf("row %lld moved to %lld: %s\n", static_cast<long long>(from),
                  static_cast<long long>(to), p.name.c_str());
    };
    o.removedMultiple = [](Kerray<Person>&, const std::vector<std::int64_t>& at,
                           const std::vector<Person>& p) {
      std::printf("rows %s removed: %s\n", describe(at).c_str(), describe(p).c_str());
    };
  });
  people->insert({3, "Cid"}, 1);
  people->move(0, 2);
  people->removeAtIndexes({0, 2});
  std::printf("%s\n", people->description2().c_str());
}

TOUR_SECTION(32, "Filtered view of an observable set") {
  auto numbers = ObservableSet<int>::create({1, 2, 3, 4});
  auto even = OptionallyFilteredSet_BasedOnObservableSet<int>::create(numbers, [](const int& v) { return v % 2 == 0; });
  auto list = std::make_shared<int>(0);
  even->observers().createNew(list, [](OptionallyFilteredSet_BasedOnObservableSetObserver<int>& o) {
    o.inserted = [](OptionallyFilteredSet_BasedOnObservableSet<int>& v, const int& e) {
      std::printf("view gained %d: %s\n", e, v.description().c_str());
    };
  });
  numbers->insert(6);  // passes: reported by the view
  numbers->insert(7);  // filtered out: the view stays silent
  std::printf("%s\n", even->description().c_str());
}

TOUR_SECTION(33, "Sorted, filtered view of a keyed array") {
  auto people = Kerray<Person>::create({{1, "Cid"}, {2, "Ann"}, {3, "Bob"}});
  const NamedSortBlock<Person> byName("byName", [](const Person& a, const Person& b) { return a.name < b.name; });
  auto sorted = OptionallyFilteredOptionallySortedArray_BasedOnKerray<Person>::create(people, {}, byName);
  auto table = std::make_shared<int>(0);
  sorted->observers().createNew(table, [](OptionallyFilteredOptionallySortedArray_BasedOnKerrayObserver<Person>& o) {
    using View = OptionallyFilteredOptionallySortedArray_BasedOnKerray<Person>;
    o.inserted = [](View&, std::int64_t at, const Person& p) {
      std::printf("view row %lld inserted: %s\n", static_cast<long long>(at), p.name.c_str());
    };
    o.moved = [](View&, std::int64_t from, std::int64_t to, const Person& p) {
      std::printf("view row %lld moved to %lld: %s\n", static_cast<long long>(from), static_cast<long long>(to),
                  p.name.c_str());
    };
  });
  people->append({4, "Abe"});     // sorted in at row 0 of the view
  people->update({2, "Zed"});     // renamed: moves to the end of the view
  std::printf("%s\n", sorted->description().c_str());
}
