#include "vantrel/platform/foundation/values/index_set.h"

#include <algorithm>
#include <limits>

#include <fmt/format.h>

#include "vantrel/core/fatal.h"

namespace vantrel {
namespace {

constexpr std::int64_t kLimit = std::numeric_limits<std::int64_t>::max();

void checkIndex(std::int64_t index) {
  if (index < 0 || index == kLimit) {
    fatal(fmt::format("Index {} cannot be held in an index set (0...{} only)", index, kLimit - 1));
  }
}

}  // namespace

IndexSet::IndexSet(std::int64_t index) { insert(index); }

IndexSet IndexSet::fromIntIndexes(const std::vector<std::int64_t>& indexes) {
  std::vector<std::int64_t> sorted = indexes;
  for (const std::int64_t index : sorted) checkIndex(index);
  std::sort(sorted.begin(), sorted.end());
  IndexSet set;
  for (const std::int64_t index : sorted) {
    if (!set.runs_.empty() && set.runs_.back().upperBound >= index) {
      set.runs_.back().upperBound = std::max(set.runs_.back().upperBound, index + 1);
    } else {
      set.runs_.push_back({index, index + 1});
    }
  }
  for (const Run& run : set.runs_) set.count_ += run.upperBound - run.lowerBound;
  return set;
}

std::vector<std::int64_t> IndexSet::arrayOfIntIndexes() const { return {begin(), end()}; }

std::unordered_set<std::int64_t> IndexSet::setOfIntIndexes() const { return {begin(), end()}; }

void IndexSet::insert(std::int64_t index) {
  checkIndex(index);
  insertRange(index, index + 1);
}

void IndexSet::insertRange(std::int64_t lowerBound, std::int64_t upperBound) {
  if (upperBound <= lowerBound) return;
  checkIndex(lowerBound);
  checkIndex(upperBound - 1);
  // First run that ends at or after lowerBound (touching runs merge).
  auto first = std::lower_bound(runs_.begin(), runs_.end(), lowerBound,
                                [](const Run& run, std::int64_t value) { return run.upperBound < value; });
  auto last = first;
  Run merged{lowerBound, upperBound};
  while (last != runs_.end() && last->lowerBound <= upperBound) {
    merged.lowerBound = std::min(merged.lowerBound, last->lowerBound);
    merged.upperBound = std::max(merged.upperBound, last->upperBound);
    count_ -= last->upperBound - last->lowerBound;
    ++last;
  }
  count_ += merged.upperBound - merged.lowerBound;
  const auto at = runs_.erase(first, last);
  runs_.insert(at, merged);
}

void IndexSet::remove(std::int64_t index) {
  checkIndex(index);
  auto run = std::upper_bound(runs_.begin(), runs_.end(), index,
                              [](std::int64_t value, const Run& r) { return value < r.upperBound; });
  if (run == runs_.end() || run->lowerBound > index) return;
  --count_;
  const Run old = *run;
  if (old.lowerBound == index && old.upperBound == index + 1) {
    runs_.erase(run);
  } else if (old.lowerBound == index) {
    run->lowerBound = index + 1;
  } else if (old.upperBound == index + 1) {
    run->upperBound = index;
  } else {
    run->upperBound = index;
    runs_.insert(run + 1, Run{index + 1, old.upperBound});
  }
}

bool IndexSet::contains(std::int64_t index) const {
  if (index < 0) return false;
  const auto run = std::upper_bound(runs_.begin(), runs_.end(), index,
                                    [](std::int64_t value, const Run& r) { return value < r.upperBound; });
  return run != runs_.end() && run->lowerBound <= index;
}

std::string IndexSet::description() const {
  std::string out = "(";
  for (std::size_t i = 0; i < runs_.size(); ++i) {
    if (i > 0) out += ", ";
    const Run& run = runs_[i];
    out += run.upperBound - run.lowerBound == 1 ? fmt::format("{}", run.lowerBound)
                                                : fmt::format("{}-{}", run.lowerBound, run.upperBound - 1);
  }
  return out + ")";
}

void IndexSet::const_iterator::misused() {
  fatal("IndexSet iterator used after the set changed, or outside it");
}

void IndexSet::const_iterator::checkPlace() const {
  if (runs_ == nullptr || run_ > runs_->size()) misused();
  if (run_ == runs_->size()) return;
  const Run& run = (*runs_)[run_];
  if (value_ < run.lowerBound || value_ >= run.upperBound) misused();
}

IndexSet::const_iterator& IndexSet::const_iterator::operator++() {
  checkPlace();
  if (run_ == runs_->size()) misused();  // past the end
  ++value_;
  if (value_ >= (*runs_)[run_].upperBound) {
    ++run_;
    value_ = run_ < runs_->size() ? (*runs_)[run_].lowerBound : 0;
  }
  return *this;
}

IndexSet::const_iterator& IndexSet::const_iterator::operator--() {
  checkPlace();
  if (run_ < runs_->size() && value_ > (*runs_)[run_].lowerBound) {
    --value_;
    return *this;
  }
  if (run_ == 0) misused();  // before the beginning
  --run_;
  value_ = (*runs_)[run_].upperBound - 1;
  return *this;
}

IndexSet::const_iterator IndexSet::begin() const {
  return runs_.empty() ? end() : const_iterator(&runs_, 0, runs_.front().lowerBound);
}

IndexSet::const_iterator IndexSet::end() const { return const_iterator(&runs_, runs_.size(), 0); }

}  // namespace vantrel
