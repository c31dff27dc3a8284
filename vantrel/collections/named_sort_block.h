// File: vantrel/collections/named_sort_block.h
//
// `NamedSortBlock<A>`: a comparator with a `code` that names the order, so a
// sorted collection can say by which order it is sorted and compare two
// orders cheaply.
//
//   NamedSortBlock<int> ascending("ascending", [](const int& a, const int& b) { return a < b; });
//   auto descending = ascending.reversed();   // code "ascending_reversed", reverse() true
//   ascending == NamedSortBlock<int>("ascending", other)   // true: equal codes
//
// Contract for holders:
// - Equality compares the codes only (canonically equivalent texts are
//   equal, as everywhere in the library); comparators and flags are ignored.
// - Order comes from the comparator alone. `reverse()` is information for
//   the holder; nothing in the library reads it.
// - `reversed()` negates the comparator with the arguments in the same
//   order, so a strict `<` becomes `>=`: under a reversed block equal
//   elements count as ordered before each other. The comparator is therefore
//   not a strict weak order; sort with it only through `stableSort`
//   (vantrel/core/sort.h), which stays in bounds for any comparator.
// - The block is callable (`block(a, b)`), so it can be handed to the
//   searches of vantrel/collections/sorted_array.h and to `stableSort`.
//
// Copies share one comparator object (a comparator with state sees the calls
// of every copy). An empty comparator stops the program at construction.
// Immutable after creation; safe to read from several threads when the
// comparator is.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "vantrel/core/fatal.h"
#include "vantrel/text/comparison.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

template <class A>
class NamedSortBlock {
 public:
  using Comparator = std::function<bool(const A&, const A&)>;

  NamedSortBlock(std::string code, Comparator sortBlock)
      : NamedSortBlock(std::move(code), false, std::move(sortBlock)) {}

  NamedSortBlock(std::string code, bool reverse, Comparator sortBlock)
      : code_(std::move(code)),
        sortBlock_(std::make_shared<const Comparator>(std::move(sortBlock))),
        reverse_(reverse) {
    if (!*sortBlock_) fatal("NamedSortBlock needs a comparator");
  }

  [[nodiscard]] const std::string& code() const { return code_; }
  [[nodiscard]] const Comparator& sortBlock() const { return *sortBlock_; }
  [[nodiscard]] bool reverse() const { return reverse_; }

  // True when `a` is ordered before `b`.
  bool operator()(const A& a, const A& b) const { return (*sortBlock_)(a, b); }

  // A new block: code + "_reversed", the flag negated, the answer negated.
  // Reversing twice appends "_reversed" twice and answers like the original.
  [[nodiscard]] NamedSortBlock reversed() const {
    return NamedSortBlock(code_ + "_reversed", !reverse_,
                          [inner = sortBlock_](const A& a, const A& b) { return !(*inner)(a, b); });
  }

  friend bool operator==(const NamedSortBlock& a, const NamedSortBlock& b) {
    return textEqual(a.code_, b.code_);
  }

 private:
  std::string code_;
  std::shared_ptr<const Comparator> sortBlock_;
  bool reverse_;
};

}  // namespace vantrel
