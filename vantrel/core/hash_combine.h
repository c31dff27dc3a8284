// File: vantrel/core/hash_combine.h
//
// Hashes of values made of parts, for `std::hash` specialisations:
//
//   std::size_t h = hashMix(words.size());
//   for (std::uint64_t w : words) h = hashCombine(h, w);
//
// `hashMix` spreads every input bit over the whole word (a multiply and
// xor-shift finaliser), so inputs that differ in one bit, or are small
// consecutive integers (what `std::hash<int>` answers), land far apart.
// `hashCombine(seed, value)` folds one part's hash into a running hash; the
// order of the parts matters, so [a, b] and [b, a] hash differently. Pure
// functions, the same on every run and thread.
#pragma once

#include <cstddef>
#include <cstdint>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

[[nodiscard]] constexpr std::uint64_t hashMix(std::uint64_t x) noexcept {
  x ^= x >> 30;
  x *= 0xbf58476d1ce4e5b9ULL;
  x ^= x >> 27;
  x *= 0x94d049bb133111ebULL;
  x ^= x >> 31;
  return x;
}

[[nodiscard]] constexpr std::size_t hashCombine(std::size_t seed, std::uint64_t value) noexcept {
  // The seed is multiplied and the part only mixed, so the two play
  // different roles (a plain sum would make combining a into mix(b) the same
  // as b into mix(a)); the added constant keeps a run of zero parts from
  // leaving a zero seed where it was (hashMix(0) is 0).
  return static_cast<std::size_t>(hashMix(static_cast<std::uint64_t>(seed) * 0x9e3779b97f4a7c15ULL +
                                          0x632be59bd9b4e019ULL + hashMix(value)));
}

}  // namespace vantrel
