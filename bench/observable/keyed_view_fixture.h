// The changes measured by the keyed-view benchmarks (keyed_view_bench.cpp,
// qt/keyed_view_qt_bench.cpp): the same random sequence of base changes on
// n elements, 50% of which pass the filter (even ids); the sort order is
// total on (score, id), and an update draws a new score, so in sorted
// mode it moves the element.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

namespace vantrel::bench {

enum class Change { insert, update, remove, mix };

inline bool evenId(std::int64_t id) { return id % 2 == 0; }
inline bool byScoreThenId(std::int64_t scoreA, std::int64_t idA, std::int64_t scoreB, std::int64_t idB) {
  return scoreA != scoreB ? scoreA < scoreB : idA < idB;
}

// A fingerprint of the rows a follower ends with (their ids in order),
// exact in a double, so that two benchmark tables can show equal endings.
inline double rowsChecksum(const std::vector<std::int64_t>& ids) {
  std::uint64_t h = ids.size();
  for (const std::int64_t id : ids) h = (h * 1'000'003 + static_cast<std::uint64_t>(id)) % (std::uint64_t{1} << 48);
  return static_cast<double>(h);
}

// Draws the changes; `Target` supplies count(), idAt(i), append(id, score),
// update(i, score) and removeAt(i).
class ChangeDraws {
 public:
  explicit ChangeDraws(std::int64_t n) : nextId_(n) {}

  std::int64_t score() { return std::uniform_int_distribution<std::int64_t>(0, 1'000'000)(rng_); }

  // Appends `k` elements and removes them again before the timing starts,
  // so that growing the arrays and tables (and touching the new memory)
  // is not charged to the few timed insertions.
  template <class Target>
  void makeRoom(Target& target, int k) {
    for (int i = 0; i < k; ++i) target.append(nextId_++, score());
    for (int i = 0; i < k; ++i) target.removeAt(target.count() - 1);
  }

  template <class Target>
  void apply(Change change, Target& target) {
    switch (change) {
      case Change::insert: return target.append(nextId_++, score());
      case Change::update: return target.update(index(target), score());
      case Change::remove: return target.removeAt(index(target));
      case Change::mix: {
        const auto roll = std::uniform_int_distribution<int>(0, 9)(rng_);
        if (roll < 6) return apply(Change::update, target);
        if (roll < 8) return apply(Change::insert, target);
        return apply(Change::remove, target);
      }
    }
  }

 private:
  template <class Target>
  std::int64_t index(Target& target) {
    return std::uniform_int_distribution<std::int64_t>(0, target.count() - 1)(rng_);
  }

  std::mt19937_64 rng_{42};
  std::int64_t nextId_;
};

}  // namespace vantrel::bench
