// File: vantrel/core/option_set.h
//
// `OptionSet<Derived, Raw>`: a set of flags over an integer raw value, with
// the usual set algebra. A concrete set derives from it and names its
// members as constants:
//
//   struct Mods : OptionSet<Mods, int64_t> {
//     using OptionSet::OptionSet;
//     static const Mods bold, blinking;
//   };
//   inline constexpr Mods Mods::bold{1}, Mods::blinking{2};
//   Mods m{Mods::bold, Mods::blinking};     // from a list of members
//   m.contains(Mods::bold);                 // true
//
// Any raw value is kept as given, unknown bits included.
#pragma once

#include <initializer_list>
#include <optional>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

template <class Derived, class Raw>
class OptionSet {
 public:
  using RawValue = Raw;

  constexpr OptionSet() = default;
  constexpr explicit OptionSet(Raw rawValue) : rawValue_(rawValue) {}
  constexpr OptionSet(std::initializer_list<Derived> members) {
    for (const Derived& m : members) rawValue_ |= m.rawValue();
  }

  [[nodiscard]] constexpr Raw rawValue() const { return rawValue_; }
  [[nodiscard]] constexpr bool isEmpty() const { return rawValue_ == 0; }

  [[nodiscard]] constexpr bool contains(Derived member) const {
    return (rawValue_ & member.rawValue()) == member.rawValue();
  }
  [[nodiscard]] constexpr Derived union_(Derived other) const { return make(rawValue_ | other.rawValue()); }
  [[nodiscard]] constexpr Derived intersection(Derived other) const {
    return make(rawValue_ & other.rawValue());
  }
  [[nodiscard]] constexpr Derived symmetricDifference(Derived other) const {
    return make(rawValue_ ^ other.rawValue());
  }
  [[nodiscard]] constexpr Derived subtracting(Derived other) const {
    return make(rawValue_ & ~other.rawValue());
  }
  [[nodiscard]] constexpr bool isSubset(Derived other) const {
    return (rawValue_ & other.rawValue()) == rawValue_;
  }
  [[nodiscard]] constexpr bool isSuperset(Derived other) const {
    return (rawValue_ & other.rawValue()) == other.rawValue();
  }
  [[nodiscard]] constexpr bool isDisjoint(Derived other) const {
    return (rawValue_ & other.rawValue()) == 0;
  }

  constexpr void formUnion(Derived other) { rawValue_ |= other.rawValue(); }
  constexpr void formIntersection(Derived other) { rawValue_ &= other.rawValue(); }
  constexpr void formSymmetricDifference(Derived other) { rawValue_ ^= other.rawValue(); }
  constexpr void subtract(Derived other) { rawValue_ &= ~other.rawValue(); }

  // True when the member was not already present.
  constexpr bool insert(Derived member) {
    const bool inserted = !contains(member);
    rawValue_ |= member.rawValue();
    return inserted;
  }
  // The bits of `member` that were present, or nullopt when none was.
  constexpr std::optional<Derived> remove(Derived member) {
    const Raw present = rawValue_ & member.rawValue();
    rawValue_ &= ~member.rawValue();
    if (present == 0) return std::nullopt;
    return make(present);
  }
  // Inserts; answers the bits of `member` that were already present, if any.
  constexpr std::optional<Derived> update(Derived member) {
    const Raw present = rawValue_ & member.rawValue();
    rawValue_ |= member.rawValue();
    if (present == 0) return std::nullopt;
    return make(present);
  }

  friend constexpr bool operator==(const OptionSet& a, const OptionSet& b) {
    return a.rawValue_ == b.rawValue_;
  }
  friend constexpr Derived operator|(Derived a, Derived b) { return a.union_(b); }
  friend constexpr Derived operator&(Derived a, Derived b) { return a.intersection(b); }
  friend constexpr Derived operator^(Derived a, Derived b) { return a.symmetricDifference(b); }
  friend constexpr Derived operator-(Derived a, Derived b) { return a.subtracting(b); }

 private:
  static constexpr Derived make(Raw raw) {
    Derived d;
    static_cast<OptionSet&>(d).rawValue_ = raw;
    return d;
  }
  Raw rawValue_ = 0;
};

}  // namespace vantrel
