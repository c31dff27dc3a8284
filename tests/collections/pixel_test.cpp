#include <cstdint>
#include <cstring>
#include <functional>
#include <unordered_set>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/collections/image_rotation.h"
#include "vantrel/collections/pixel.h"

namespace vantrel {
namespace {

std::vector<std::uint8_t> bytesOf(const std::vector<Pixel>& pixels) {
  std::vector<std::uint8_t> bytes(pixels.size() * sizeof(Pixel));
  std::memcpy(bytes.data(), pixels.data(), bytes.size());
  return bytes;
}

TEST(Pixel, IsOnePackedRgbaGroup) {
  EXPECT_EQ(bytesOf({Pixel(1, 2, 3)}), (std::vector<std::uint8_t>{0x01, 0x02, 0x03, 0xFF}));
  EXPECT_EQ(bytesOf({Pixel(1, 2, 3, 4), Pixel(5, 6, 7, 0)}),
            (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6, 7, 0}));
}

TEST(Pixel, ChangingGreenChangesOnlyByteOne) {
  std::vector<Pixel> pixels{Pixel(10, 20, 30, 40)};
  pixels[0].g = 99;
  EXPECT_EQ(bytesOf(pixels), (std::vector<std::uint8_t>{10, 99, 30, 40}));
}

TEST(ImageRotation, ListsTheEightOrientationsInOrder) {
  const auto& all = ImageRotation::all();
  ASSERT_EQ(all.size(), 8u);
  EXPECT_EQ(all.front(), ImageRotation::nune);
  EXPECT_EQ(all.back(), ImageRotation::flippedRight);
  const ImageRotation::Case expected[] = {
      ImageRotation::nune,    ImageRotation::left,        ImageRotation::leftLeft,
      ImageRotation::right,   ImageRotation::flipped,     ImageRotation::flippedLeft,
      ImageRotation::flippedLeftLeft, ImageRotation::flippedRight};
  std::unordered_set<ImageRotation> distinct;
  for (std::size_t i = 0; i < all.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(all[i], expected[i]);
    EXPECT_EQ(std::hash<ImageRotation>()(all[i]), i);  // the hash is the position
    distinct.insert(all[i]);
  }
  EXPECT_EQ(distinct.size(), 8u);
  EXPECT_NE(ImageRotation(ImageRotation::left), ImageRotation::right);
  static_assert(ImageRotation::all()[3] == ImageRotation::right);  // a constant, not a global
}

}  // namespace
}  // namespace vantrel
