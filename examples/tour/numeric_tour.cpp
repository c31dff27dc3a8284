#include <cstdint>
#include <cstdio>
#include <ranges>
#include <string>
#include <vector>

#include <vantrel/collections/array_building.h>
#include <vantrel/collections/array_random.h>
#include <vantrel/collections/image_rotation.h>
#include <vantrel/collections/int_grid.h>
#include <vantrel/collections/numeric.h>
#include <vantrel/collections/pixel.h>
#include <vantrel/collections/shuffling.h>
#include <vantrel/core/describe.h>

#include "tour.h"

using namespace vantrel;

TOUR_SECTION(25, "Numbers: random draws and layout arithmetic") {
  std::printf("die %lld, gauss %lld, 1-in-4 %s\n",
              static_cast<long long>(Int::randomNumber(1, 6)),
              static_cast<long long>(Int::random_gauss(2.0, 100)),
              Bool::probabilityOneTo(3) ? "yes" : "no");
  std::int64_t slot = 4;
  bool wrapped = moduloedIncrease(slot, 5);
  std::printf("side for 10 cells %lld, digits of -12 %lld, slot %lld (wrapped %s), %s\n",
              static_cast<long long>(squareMatrixSideLength(10)),
              static_cast<long long>(numberOfDigits(-12)), static_cast<long long>(slot),
              wrapped ? "true" : "false", describe(roundTo2f(0.125)).c_str());
}

TOUR_SECTION(26, "Arrays: chunks, ranges, gates and hexadecimal") {
  std::vector<int> values{1, 2, 3, 4, 5};
  std::printf("%s %s %s %s\n", describe(chunk(values, 2)).c_str(),
              describe(makeRangesWithTotalCount({0, 3, 7}, 10)).c_str(),
              describe(vtAtLeastOne(std::vector<int>{})).c_str(),
              hexDescription(std::vector<std::uint8_t>{0x01, 0xAB, 0x02}, 2).c_str());
  std::printf("descending %s, random pick %s\n",
              describe(sorted_not(values, std::less<>())).c_str(),
              describe(randomElement(values, 0)).c_str());
}

TOUR_SECTION(27, "Shuffles and endless sequences") {
  std::vector<std::string> deck{"A", "K", "Q", "J"};
  shuffle(deck);
  std::string cycle;
  for (char c : InfiniteSequence<char>({'a', 'b', 'c'}, 1) | std::views::take(5)) cycle += c;
  std::printf("deck %s, cycle %s, constant %s\n", describe(deck).c_str(), cycle.c_str(),
              describe(*ConstantSequence<int>(7).makeIterator().next()).c_str());
}

TOUR_SECTION(28, "Integer grids") {
  IntSize size = IntSize::fromElementCount(3, 7);
  std::string cells;
  for (IntCoordinate c : IntRect(1, 2, 5, 6)) {
    cells += "(" + std::to_string(c.x()) + "," + std::to_string(c.y()) + ")";
  }
  std::printf("%lld x %lld, index of (2,1): %lld, %s walks %s\n",
              static_cast<long long>(size.width()), static_cast<long long>(size.height()),
              static_cast<long long>(size.indexForCoordinate(IntCoordinate(2, 1))),
              IntRect(1, 2, 5, 6).description().c_str(), cells.c_str());
}

TOUR_SECTION(29, "Pixels and image rotations") {
  Pixel pixel(255, 128, 0);
  std::printf("pixel r%d g%d b%d a%d; %zu rotations, last is flippedRight: %s\n", pixel.r,
              pixel.g, pixel.b, pixel.a, ImageRotation::all().size(),
              ImageRotation::all().back() == ImageRotation::flippedRight ? "yes" : "no");
}
