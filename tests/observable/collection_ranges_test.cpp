// The observable collections and live views as standard ranges: iterator
// concepts, the standard algorithms and views over them, content hashes,
// and iterators used after a change.
#include <algorithm>
#include <cstddef>
#include <functional>
#include <iterator>
#include <memory>
#include <ranges>
#include <string>
#include <unordered_set>
#include <vector>

#include <gtest/gtest.h>

#include "tests/observable/observable_test_support.h"
#include "vantrel/observable/kerray.h"
#include "vantrel/observable/optionally_filtered_always_sorted_array_based_on_observable_set.h"
#include "vantrel/observable/optionally_filtered_optionally_sorted_array_based_on_kerray.h"
#include "vantrel/observable/optionally_filtered_set_based_on_kerray.h"
#include "vantrel/observable/optionally_filtered_set_based_on_observable_set.h"
#include "vantrel/observable/optionally_sorted_urray.h"
#include "vantrel/observable/serray.h"
#include "vantrel/observable/urray.h"

namespace vantrel {
namespace {

using testing::row;
using testing::Row;

const NamedSortBlock<Row> kById("byId", [](const Row& a, const Row& b) { return a.id < b.id; });
bool visible(const Row& r) { return r.payload != "hidden"; }

// Every kind starts from these rows, then appends e, removes a and
// replaces b by b:x, each in its own way.
std::vector<Row> startRows() { return {row("c"), row("a"), row("d", "hidden"), row("b"), row("f")}; }

// The same steps on a std::vector, then the kind's filter and order.
std::vector<Row> model(bool filtered, bool sorted) {
  std::vector<Row> v = startRows();
  v.push_back(row("e"));
  std::erase(v, row("a"));
  std::ranges::replace(v, row("b"), row("b", "x"));
  if (filtered) std::erase_if(v, [](const Row& r) { return !visible(r); });
  if (sorted) std::ranges::sort(v, {}, &Row::id);
  return v;
}

struct KerrayKind {
  using Collection = Kerray<Row>;
  static constexpr bool kFiltered = false, kSorted = false, kOrdered = true;
  std::shared_ptr<Collection> base = Collection::create(startRows());
  void steps() {
    base->append(row("e"));
    base->remove(row("a"));
    base->update(row("b", "x"));
  }
  const Collection& c() const { return *base; }
};

struct SerrayKind {
  using Collection = Serray<Row>;
  static constexpr bool kFiltered = false, kSorted = true, kOrdered = true;
  std::shared_ptr<Collection> base = Collection::create(startRows());
  void steps() {
    base->insert(row("e"));
    base->remove(row("a"));
    base->update(row("b", "x"));
  }
  const Collection& c() const { return *base; }
};

struct UrrayKind {
  using Collection = Urray<Row>;
  static constexpr bool kFiltered = false, kSorted = false, kOrdered = true;
  Collection value{startRows()};
  void steps() {
    value.append(row("e"));
    value.remove(row("a"));
    const std::int64_t at = *value.indexOf(row("b"));
    value.remove(row("b"));
    value.insert(row("b", "x"), at);
  }
  const Collection& c() const { return value; }
};

struct SortedUrrayKind {
  using Collection = OptionallySortedUrray<Row>;
  static constexpr bool kFiltered = false, kSorted = true, kOrdered = true;
  Collection value{startRows(), kById};
  void steps() {
    value.append(row("e"));
    value.remove(row("a"));
    value.update(row("b", "x"));
  }
  const Collection& c() const { return value; }
};

struct SetViewKind {
  using Collection = OptionallyFilteredSet_BasedOnObservableSet<Row>;
  static constexpr bool kFiltered = true, kSorted = false, kOrdered = false;
  std::shared_ptr<ObservableSet<Row>> base = ObservableSet<Row>::create(startRows());
  std::shared_ptr<Collection> view = Collection::create(base, visible);
  void steps() {
    base->insert(row("e"));
    base->remove(row("a"));
    base->remove(row("b"));
    base->insert(row("b", "x"));
  }
  const Collection& c() const { return *view; }
};

struct UnfilteredSetViewKind : SetViewKind {
  static constexpr bool kFiltered = false;
  UnfilteredSetViewKind() { view = Collection::create(base); }
};

struct KerraySetViewKind {
  using Collection = OptionallyFilteredSet_BasedOnKerray<Row>;
  static constexpr bool kFiltered = true, kSorted = false, kOrdered = false;
  std::shared_ptr<Kerray<Row>> base = Kerray<Row>::create(startRows());
  std::shared_ptr<Collection> view = Collection::create(base, visible);
  void steps() { KerrayKind{base}.steps(); }
  const Collection& c() const { return *view; }
};

template <bool Filtered, bool Sorted>
struct KeyedViewKind {
  using Collection = OptionallyFilteredOptionallySortedArray_BasedOnKerray<Row>;
  static constexpr bool kFiltered = Filtered, kSorted = Sorted, kOrdered = true;
  std::shared_ptr<Kerray<Row>> base = Kerray<Row>::create(startRows());
  std::shared_ptr<Collection> view =
      Collection::create(base, Filtered ? Collection::Filter(visible) : Collection::Filter(),
                         Sorted ? std::optional<NamedSortBlock<Row>>(kById) : std::nullopt);
  void steps() { KerrayKind{base}.steps(); }
  const Collection& c() const { return *view; }
};

struct SortedSetViewKind {
  using Collection = OptionallyFilteredAlwaysSortedArray_BasedOnObservableSet<Row>;
  static constexpr bool kFiltered = true, kSorted = true, kOrdered = true;
  std::shared_ptr<ObservableSet<Row>> base = ObservableSet<Row>::create(startRows());
  std::shared_ptr<Collection> view = Collection::create(base, visible, kById);
  void steps() { SetViewKind{base, nullptr}.steps(); }
  const Collection& c() const { return *view; }
};

template <class Kind>
class CollectionRanges : public ::testing::Test {};
using Kinds = ::testing::Types<KerrayKind, SerrayKind, UrrayKind, SortedUrrayKind, SetViewKind, UnfilteredSetViewKind,
                               KerraySetViewKind, KeyedViewKind<false, false>, KeyedViewKind<true, false>,
                               KeyedViewKind<false, true>, SortedSetViewKind>;
TYPED_TEST_SUITE(CollectionRanges, Kinds);

TYPED_TEST(CollectionRanges, ModelTheRangeConcepts) {
  using C = const typename TypeParam::Collection&;
  static_assert(std::ranges::sized_range<C>);
  static_assert(std::ranges::forward_range<C>);
  static_assert(std::same_as<std::ranges::range_reference_t<C>, const Row&>);
  static_assert(std::ranges::random_access_range<C> == TypeParam::kOrdered);
  static_assert(std::ranges::bidirectional_range<C> == TypeParam::kOrdered);
  static_assert(std::ranges::common_range<C>);
}

TYPED_TEST(CollectionRanges, EqualAVectorBuiltFromTheSameSteps) {
  TypeParam kind;
  kind.steps();
  const auto& c = kind.c();
  const std::vector<Row> expected = model(TypeParam::kFiltered, TypeParam::kSorted);
  EXPECT_EQ(c.size(), expected.size());
  EXPECT_EQ(static_cast<std::int64_t>(c.size()), c.count());
  EXPECT_FALSE(c.empty());
  EXPECT_EQ(std::ranges::distance(c), static_cast<std::ptrdiff_t>(expected.size()));
  std::vector<Row> walked;
  for (const Row& r : c) walked.push_back(r);
  if constexpr (TypeParam::kOrdered) {
    EXPECT_TRUE(std::ranges::equal(c, expected)) << describe(walked);
    EXPECT_EQ(&*c.begin(), &*c.begin()) << "read in place, not copied";
    EXPECT_EQ(c.begin()[2], expected[2]);
    EXPECT_EQ(*(c.end() - 1), expected.back());
  } else {
    EXPECT_TRUE(std::ranges::is_permutation(c, expected)) << describe(walked);
  }
}

TYPED_TEST(CollectionRanges, SortACopyAndTakeTheStandardViews) {
  TypeParam kind;
  kind.steps();
  const auto& c = kind.c();
  const std::vector<Row> expected = model(TypeParam::kFiltered, TypeParam::kSorted);

  std::vector<Row> copy(c.begin(), c.end());
  std::ranges::sort(copy, std::greater<>(), &Row::id);
  std::vector<Row> byIdDescending = expected;
  std::ranges::sort(byIdDescending, std::greater<>(), &Row::id);
  EXPECT_EQ(describe(copy), describe(byIdDescending));

  const auto late = [](const Row& r) { return r.id >= "c"; };
  std::vector<Row> filtered;
  std::ranges::copy(c | std::views::filter(late), std::back_inserter(filtered));
  std::vector<Row> expectedFiltered;
  std::ranges::copy_if(expected, std::back_inserter(expectedFiltered), late);
  if constexpr (TypeParam::kOrdered) {
    EXPECT_EQ(describe(filtered), describe(expectedFiltered));
    std::vector<Row> reversed;
    std::ranges::copy(c | std::views::reverse, std::back_inserter(reversed));
    EXPECT_EQ(describe(reversed), describe(std::vector<Row>(expected.rbegin(), expected.rend())));
    const auto it = std::ranges::lower_bound(c, row("c"), kById.sortBlock());
    if constexpr (TypeParam::kSorted) {
      EXPECT_EQ(it->id, "c");
    }
  } else {
    EXPECT_TRUE(std::ranges::is_permutation(filtered, expectedFiltered));
  }
}

TYPED_TEST(CollectionRanges, HashTheContent) {
  TypeParam first;
  TypeParam second;
  const std::hash<typename TypeParam::Collection> hash;
  EXPECT_EQ(hash(first.c()), hash(second.c()));
  const std::size_t before = hash(first.c());
  first.steps();
  EXPECT_NE(hash(first.c()), before);
  second.steps();
  EXPECT_EQ(hash(first.c()), hash(second.c()));
}

// The end holds no element in any kind: a read there stops, and so does
// stepping a hash-kept view's iterator past it (a position iterator may
// stand past the end; only its reads are checked).
template <class Kind>
class CollectionRangesDeathTest : public ::testing::Test {};
TYPED_TEST_SUITE(CollectionRangesDeathTest, Kinds);

TYPED_TEST(CollectionRangesDeathTest, ReadingAtTheEndStops) {
  TypeParam kind;
  kind.steps();
  const auto& c = kind.c();
  auto walked = c.begin();
  for (std::size_t i = 0; i < c.size(); ++i) ++walked;
  ASSERT_EQ(walked, c.end());
  if constexpr (TypeParam::kOrdered) {
    const std::string n = std::to_string(c.size());
    const std::string message = "iterator: index " + n + " out of range 0\\.\\.<" + n;
    EXPECT_DEATH((void)*c.end(), message);
    EXPECT_DEATH((void)*walked, message);
  } else {
    const std::string name = "OptionallyFilteredSet_BasedOn[A-Za-z]+ iterator ";
    EXPECT_DEATH((void)*c.end(), name + "read at its end");
    EXPECT_DEATH((void)walked->id, name + "read at its end");
    EXPECT_DEATH(++walked, name + "advanced at its end");
    EXPECT_DEATH((void)std::next(c.end()), name + "advanced at its end");
  }
}

TEST(CollectionHashes, DistinctOrdersOfTheSameElementsHashApartUnlessTheyAreASet) {
  std::vector<Row> rows = {row("a"), row("b"), row("c"), row("d"), row("e")};
  std::unordered_set<std::size_t> ordered;
  std::unordered_set<std::size_t> unordered;
  int permutations = 0;
  do {
    ++permutations;
    ordered.insert(std::hash<Kerray<Row>>{}(*Kerray<Row>::create(rows)));
    auto set = ObservableSet<Row>::create();
    for (const Row& r : rows) set->insert(r);
    unordered.insert(std::hash<OptionallyFilteredSet_BasedOnObservableSet<Row>>{}(
        *OptionallyFilteredSet_BasedOnObservableSet<Row>::create(set, visible)));
  } while (std::ranges::next_permutation(rows, {}, &Row::id).found);
  EXPECT_EQ(static_cast<int>(ordered.size()), permutations);
  EXPECT_EQ(unordered.size(), 1U);
}

TEST(CollectionIteratorsDeathTest, AStaleIteratorStopsRatherThanReadOutsideTheContent) {
  auto kerray = Kerray<Row>::create(testing::rows("abcd"));
  auto it = kerray->begin() + 3;
  kerray->removeAtIndex(0);
  kerray->removeAtIndex(0);
  EXPECT_DEATH((void)*it, "Kerray changed while an iterator over it was in use");
  EXPECT_DEATH((void)kerray->begin()[5], "Kerray iterator: index 5 out of range 0..<2");

  auto view = OptionallyFilteredSet_BasedOnKerray<Row>::create(Kerray<Row>::create(testing::rows("abcd")));
  auto member = view->begin();
  view->baseKerray()->removeAll();
  EXPECT_DEATH(++member, "OptionallyFilteredSet_BasedOnKerray changed while an iterator over it was in use");
}

// Copies hold equal contents at equal positions; their iterators still
// belong to one collection each.
TEST(CollectionIteratorsDeathTest, ComparingIteratorsOfTwoCollectionsStops) {
  const char* const message = "Iterators of two different sequences compared";
  const Urray<Row> urray(testing::rows("abc"));
  const Urray<Row> copy = urray;
  EXPECT_DEATH((void)(urray.begin() == copy.begin()), message);
  EXPECT_DEATH((void)(urray.end() - copy.begin()), message);
  auto base = Kerray<Row>::create(testing::rows("abc"));
  auto one = OptionallyFilteredSet_BasedOnKerray<Row>::create(base);
  auto other = OptionallyFilteredSet_BasedOnKerray<Row>::create(base);
  EXPECT_DEATH((void)(one->begin() == other->end()), message);
  EXPECT_EQ(std::ranges::distance(one->begin(), one->end()), 3);
}

TEST(CollectionIteratorsDeathTest, AChangeWhileIteratingStops) {
  Urray<Row> urray(testing::rows("abc"));
  EXPECT_DEATH(
      {
        for (const Row& r : urray) {
          if (r.id == "a") urray.append(row("z"));
        }
      },
      "Urray changed while an iterator over it was in use");
  auto base = Kerray<Row>::create(testing::rows("abc"));
  auto view = OptionallyFilteredOptionallySortedArray_BasedOnKerray<Row>::create(base, {}, kById);
  auto first = view->begin();
  base->update(row("a", "new"));
  EXPECT_DEATH((void)*first,
               "OptionallyFilteredOptionallySortedArray_BasedOnKerray changed while an iterator over it was in use");
}

TEST(CollectionIterators, UnchangedCollectionsIterateAgainAndCopiesIterateThemselves) {
  Urray<Row> urray(testing::rows("abc"));
  Urray<Row> copy = urray;
  copy.append(row("d"));
  EXPECT_EQ(std::ranges::distance(urray), 3);
  EXPECT_EQ(std::ranges::distance(copy), 4);
  auto kerray = Kerray<Row>::create(testing::rows("ab"));
  auto it = kerray->begin();
  EXPECT_EQ(it->id, "a");
  EXPECT_EQ((++it)->id, "b");
  EXPECT_EQ(++it, kerray->end());
}

}  // namespace
}  // namespace vantrel
