#include <cstdint>
#include <cstdio>
#include <vector>

#include <vantrel/collections/bit_array.h>
#include <vantrel/collections/bit_set.h>
#include <vantrel/collections/qint128.h>
#include <vantrel/collections/random_generators.h>
#include <vantrel/collections/version.h>
#include <vantrel/core/describe.h>
#include <vantrel/core/sort.h>

#include "tour.h"

using namespace vantrel;

TOUR_SECTION(29, "Versions, 128-bit identifiers and bit containers") {
  std::vector<Version> versions;
  for (const char* text : {"1.0.0", "1.0.0-rc.1", "1.0.0-alpha.beta", "0.9.12+build.7"}) {
    versions.push_back(*Version::fromString(text));
  }
  stableSort(versions, std::less<>());
  std::string order;
  for (const Version& v : versions) order += (order.empty() ? "" : " < ") + v.description();
  std::printf("%s; before 1.2.0 comes %s\n", order.c_str(),
              Version(1, 2, 0).predecessor().description().c_str());

  const auto id = QInt128::fromUuidString("a1234567-89ab-cdef-fedc-ba9876543210");
  std::printf("%s as hex %s, short %s\n", id->asUuidString().c_str(), id->asString().c_str(),
              id->asCompactString().c_str());

  BitArray flags{true, false, true};
  flags.insert(true, 0);
  BitSet set(8);
  set.set(0);
  set.set(3);
  std::printf("flags %s (%lld true); set %s = %s, runs %zu\n", flags.description().c_str(),
              static_cast<long long>(flags.cardinality()), set.bitCode().c_str(),
              set.hexDescription().c_str(), set.continuousRanges().size());
}

TOUR_SECTION(29, "Seeded random generators") {
  MersenneTwister mt(5489);
  Xoroshiro xoroshiro({1, 2});
  Lfsr258 lfsr({2, 512, 4096, 131072, 8388608});
  std::printf("mt19937-64 first word %llu, xoroshiro128+ first word %llu\n",
              static_cast<unsigned long long>(mt.random64()),
              static_cast<unsigned long long>(xoroshiro.random64()));
  std::printf("a die from LFSR258: %llu, a unit double: %s\n",
              static_cast<unsigned long long>(lfsr.random64(5) + 1),
              describe(lfsr.randomHalfOpen()).c_str());
}
