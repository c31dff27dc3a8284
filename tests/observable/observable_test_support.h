// Element types and event recorders shared by the observable tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <random>
#include <memory>
#include <string>
#include <vector>

#include "vantrel/core/describe.h"
#include "vantrel/collections/array_moves.h"
#include "vantrel/observable/kerray.h"
#include "vantrel/observable/optionally_filtered_optionally_sorted_array_based_on_kerray.h"
#include "vantrel/observable/observable_set.h"

namespace vantrel::testing {

// A keyed row: identified by `id`, carrying `payload`; equal when both are.
struct Row {
  using KeyType = std::string;
  std::string id;
  std::string payload;

  KeyType key() const { return id; }
  std::string description() const { return payload.empty() ? id : id + ":" + payload; }
  friend bool operator==(const Row&, const Row&) = default;
};

inline Row row(std::string id, std::string payload = "") { return Row{std::move(id), std::move(payload)}; }

// A set element: equal (and hashed) by `id` alone, so an update can carry
// another `version`.
struct Tag {
  std::string id;
  int version = 0;

  std::string description() const { return version == 0 ? id : id + "#" + std::to_string(version); }
  friend bool operator==(const Tag& a, const Tag& b) { return a.id == b.id; }
};

// A keyed set element with a sort field: equal (and hashed) by `id` alone,
// so an update can carry another `score` (and `version`).
struct Scored {
  using KeyType = std::string;
  std::string id;
  int score = 0;
  int version = 0;

  KeyType key() const { return id; }
  std::string description() const { return id + "=" + std::to_string(score); }
  friend bool operator==(const Scored& a, const Scored& b) { return a.id == b.id; }
};

inline Scored scored(std::string id, int score, int version = 0) { return Scored{std::move(id), score, version}; }

}  // namespace vantrel::testing

template <>
struct std::hash<vantrel::testing::Scored> {
  std::size_t operator()(const vantrel::testing::Scored& s) const noexcept {
    return std::hash<std::string>{}(s.id);
  }
};

template <>
struct std::hash<vantrel::testing::Row> {
  std::size_t operator()(const vantrel::testing::Row& r) const noexcept {
    return std::hash<std::string>{}(r.id) * 31 + std::hash<std::string>{}(r.payload);
  }
};

template <>
struct std::hash<vantrel::testing::Tag> {
  std::size_t operator()(const vantrel::testing::Tag& t) const noexcept {
    return std::hash<std::string>{}(t.id);
  }
};

namespace vantrel::testing {

inline std::string texts(const std::vector<Row>& rows) { return describe(rows); }

template <class T>
std::string positions(const std::vector<T>& values) {
  return describe(values);
}

// Records every event of a keyed array as one line, e.g. "inserted 0 a".
inline std::shared_ptr<KerrayObserver<Row>> recordKerray(Kerray<Row>& kerray,
                                                          const std::shared_ptr<const void>& owner,
                                                          std::vector<std::string>& log,
                                                          const std::string& prefix = "") {
  return kerray.observers().createNew(owner, [&log, prefix](KerrayObserver<Row>& o) {
    using A = Kerray<Row>;
    using P = std::vector<std::int64_t>;
    using V = std::vector<Row>;
    o.replacedContent = [&log, prefix](A&) { log.push_back(prefix + "replacedContent"); };
    o.removedAll = [&log, prefix](A&) { log.push_back(prefix + "removedAll"); };
    o.inserted = [&log, prefix](A&, std::int64_t i, const Row& e) {
      log.push_back(prefix + "inserted " + std::to_string(i) + " " + describe(e));
    };
    o.insertedMultipleContinuous = [&log, prefix](A&, std::int64_t i, const V& e) {
      log.push_back(prefix + "insertedMultipleContinuous " + std::to_string(i) + " " + describe(e));
    };
    o.insertedMultipleDistributed = [&log, prefix](A&, const P& i, const V& e) {
      log.push_back(prefix + "insertedMultipleDistributed " + describe(i) + " " + describe(e));
    };
    o.removed = [&log, prefix](A&, std::int64_t i, const Row& e) {
      log.push_back(prefix + "removed " + std::to_string(i) + " " + describe(e));
    };
    o.removedMultiple = [&log, prefix](A&, const P& i, const V& e) {
      log.push_back(prefix + "removedMultiple " + describe(i) + " " + describe(e));
    };
    o.updated = [&log, prefix](A&, std::int64_t i, const Row& e) {
      log.push_back(prefix + "updated " + std::to_string(i) + " " + describe(e));
    };
    o.updatedMultiple = [&log, prefix](A&, const P& i, const V& e) {
      log.push_back(prefix + "updatedMultiple " + describe(i) + " " + describe(e));
    };
    o.moved = [&log, prefix](A&, std::int64_t f, std::int64_t t, const Row& e) {
      log.push_back(prefix + "moved " + std::to_string(f) + " " + std::to_string(t) + " " + describe(e));
    };
    o.movedMultiple = [&log, prefix](A&, const P& f, std::int64_t t, const V& e) {
      log.push_back(prefix + "movedMultiple " + describe(f) + " " + std::to_string(t) + " " + describe(e));
    };
  });
}

// The ids of a keyed array's content, in order ("abc" for rows a, b, c).
inline std::string ids(const Kerray<Row>& kerray) {
  std::string out;
  for (const Row& r : kerray.array()) out += r.id;
  return out;
}

// Rows with one-letter ids from a string ("abc" gives rows a, b, c).
inline std::vector<Row> rows(std::string_view letters) {
  std::vector<Row> out;
  for (char c : letters) out.push_back(row(std::string(1, c)));
  return out;
}

// Seeds of the randomized tests: a fixed one and a fresh one, or only
// $VANTREL_REPLAY_SEED when set (to replay a failure).
inline std::vector<std::uint64_t> replaySeeds() {
  if (const char* fixed = std::getenv("VANTREL_REPLAY_SEED")) return {std::strtoull(fixed, nullptr, 10)};
  return {20261210, std::random_device{}()};
}

// Random draws for the randomized tests: keys "k0".."k11" (few, so
// collisions and repeats are common) and ever-new payloads.
class Draw {
 public:
  static constexpr int kKeys = 12;

  explicit Draw(std::uint64_t seed) : rng_(seed) {}
  // 0...max.
  std::int64_t upTo(std::int64_t max) { return std::uniform_int_distribution<std::int64_t>(0, max)(rng_); }
  bool coin() { return upTo(1) == 1; }
  std::string key() { return "k" + std::to_string(upTo(kKeys - 1)); }
  Row row() { return Row{key(), std::to_string(++version_)}; }
  Tag tag() { return Tag{key(), ++version_}; }
  std::vector<Row> rows(std::int64_t most) {
    std::vector<Row> out(static_cast<std::size_t>(upTo(most)));
    for (Row& r : out) r = row();
    return out;
  }
  std::vector<Tag> tags(std::int64_t most) {
    std::vector<Tag> out(static_cast<std::size_t>(upTo(most)));
    for (Tag& t : out) t = tag();
    return out;
  }
  // Distinct positions in 0..<count, ascending.
  std::vector<std::int64_t> distinct(std::int64_t count, std::int64_t most) {
    std::vector<std::int64_t> all(static_cast<std::size_t>(count));
    for (std::int64_t i = 0; i < count; ++i) all[static_cast<std::size_t>(i)] = i;
    std::shuffle(all.begin(), all.end(), rng_);
    all.resize(static_cast<std::size_t>(std::min(count, upTo(most))));
    std::sort(all.begin(), all.end());
    return all;
  }

 private:
  std::mt19937_64 rng_;
  int version_ = 0;
};

// The rows of a follower that applies every reported event to a container
// of its own; `faults` lists the events that could not apply. `at` tells
// whether a position names a row (with `extra`, one past the end too),
// `keyAt` whether the row there has the element's id.
template <class E>
struct EventMirror {
  std::vector<E> rows;
  std::vector<std::string> faults;
  void check(bool ok, const std::string& what) {
    if (!ok) faults.push_back(what);
  }
  bool at(std::int64_t i, std::size_t extra = 0) const {
    return i >= 0 && static_cast<std::size_t>(i) < rows.size() + extra;
  }
  bool keyAt(std::int64_t i, const E& e) const { return at(i) && rows[static_cast<std::size_t>(i)].id == e.id; }
};

// A follower of a keyed-array view (see `attach`).
using ViewMirror = EventMirror<Row>;

inline void attach(OptionallyFilteredOptionallySortedArray_BasedOnKerray<Row>& view,
                   const std::shared_ptr<ViewMirror>& mirror) {
  using View = OptionallyFilteredOptionallySortedArray_BasedOnKerray<Row>;
  using Positions = std::vector<std::int64_t>;
  view.observers().createNew(mirror, [m = mirror.get()](OptionallyFilteredOptionallySortedArray_BasedOnKerrayObserver<Row>& o) {
    using V = std::vector<Row>;
    o.sortingChanged = [m](View& v, const std::optional<std::string>&) { m->rows = v.content(); };
    o.filterChanged = [m](View& v) { m->rows = v.content(); };
    o.replacedContent = [m](View& v) { m->rows = v.content(); };
    o.removedAll = [m](View&) { m->rows.clear(); };
    o.inserted = [m](View&, std::int64_t i, const Row& e) {
      m->check(m->at(i, 1), "inserted position");
      if (m->at(i, 1)) m->rows.insert(m->rows.begin() + i, e);
    };
    o.insertedMultipleContinuous = [m](View&, std::int64_t i, const V& e) {
      m->check(m->at(i, 1), "insertedMultipleContinuous position");
      if (m->at(i, 1)) m->rows.insert(m->rows.begin() + i, e.begin(), e.end());
    };
    o.insertedMultipleDistributed = [m](View&, const Positions& p, const V& e) {
      m->check(p.size() == e.size(), "insertedMultipleDistributed lengths");
      for (std::size_t j = 0; j < p.size() && j < e.size(); ++j) {
        m->check(m->at(p[j], 1), "insertedMultipleDistributed position");
        if (m->at(p[j], 1)) m->rows.insert(m->rows.begin() + p[j], e[j]);
      }
    };
    o.removed = [m](View&, std::int64_t i, const Row& e) {
      m->check(m->keyAt(i, e), "removed position");
      if (m->at(i)) m->rows.erase(m->rows.begin() + i);
    };
    o.removedMultiple = [m](View&, const Positions& p, const V& e) {
      m->check(std::is_sorted(p.rbegin(), p.rend()), "removedMultiple highest first");
      for (std::size_t j = 0; j < p.size() && j < e.size(); ++j) {
        m->check(m->keyAt(p[j], e[j]), "removedMultiple position");
        if (m->at(p[j])) m->rows.erase(m->rows.begin() + p[j]);
      }
    };
    o.updated = [m](View&, std::int64_t i, const Row& e) {
      m->check(m->keyAt(i, e), "updated position");
      if (m->at(i)) m->rows[static_cast<std::size_t>(i)] = e;
    };
    o.moved = [m](View&, std::int64_t f, std::int64_t t, const Row& e) {
      m->check(m->keyAt(f, e) && m->at(t), "moved positions");
      if (m->at(f) && m->at(t)) vantrel::move(m->rows, f, t);
    };
    o.movedMultiple = [m](View&, const Positions& f, std::int64_t t, const V& e) {
      std::vector<Row> named;
      for (auto it = f.rbegin(); it != f.rend(); ++it) {
        if (m->at(*it)) named.push_back(m->rows[static_cast<std::size_t>(*it)]);
      }
      m->check(named == e, "movedMultiple elements");
      if (named == e) vantrel::move(m->rows, f, t);
    };
  });
}

}  // namespace vantrel::testing
