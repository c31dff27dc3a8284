// File: vantrel/drawing/image_helper.h
//
// Sequences of bitmap images (`BitmapImage`): written as an animated PNG or
// GIF file, forwards or bouncing, or laid out as one sprite sheet.
//
//   ImageHelper::createAnimatedPng(frames, 25, true, "/tmp/spin.png")  // 0 1 2 3 2 1, looping
//   ImageHelper::createAnimatedGif(frames, 25, "/tmp/spin.gif")        // 0 1 2 3
//   auto [sheet, grid] = ImageHelper::createSpriteMap(frames, 2);       // grid (2, 2)
//   extract(*sheet, MatrixCoordinate(1, 1), Size(w, h))                 // frame 3 again
//
// Animations: n images give n frames, and with `bounce` (n >= 3) the images
// n - 2 down to 1 follow, so the run goes forward and back without showing an
// end twice in a row. Every frame lasts 1/fps seconds and the animation loops
// forever; the formats are described in
// vantrel/platform/graphics/animated_image_codecs.h. The file is written
// under a hidden temporary name beside `persistTo` and renamed into place;
// on any failure (no image, an image of another size than the first, a
// missing folder, a failed write) the writer prints "Error writing anim
// png." or "Error writing anim gif.", leaves no partial file and an existing
// file as it was, and answers false. An `fps` that is not positive and
// finite stops the program with the value.
//
// Sprite sheet: `matrixWidth` columns and as many rows as the images need,
// each cell the pixel size of the first image; image i sits in column
// i mod matrixWidth and row i div matrixWidth, row 0 at the top, so the grid
// size's cell index y * width + x is the image's index. Images of another
// size are scaled into their cell; cells after the last image stay
// transparent. No images ("no images to createSpriteMap"), a `matrixWidth`
// below 1, or a sheet beyond 32767 pixels a side stop the program.
//
// Everything runs on the caller's thread.
#pragma once

#include <cstdint>
#include <filesystem>
#include <utility>
#include <vector>

#include "vantrel/matrix/matrix_coordinate.h"
#include "vantrel/platform/graphics/bitmap_image.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

namespace ImageHelper {

[[nodiscard]] bool createAnimatedPng(const std::vector<BitmapImage::Ptr>& from, double fps, bool bounce,
                                     const std::filesystem::path& persistTo);
[[nodiscard]] bool createAnimatedPng(const std::vector<BitmapImage::Ptr>& from, double fps,
                                     const std::filesystem::path& persistTo);
[[nodiscard]] bool createAnimatedGif(const std::vector<BitmapImage::Ptr>& from, double fps, bool bounce,
                                     const std::filesystem::path& persistTo);
[[nodiscard]] bool createAnimatedGif(const std::vector<BitmapImage::Ptr>& from, double fps,
                                     const std::filesystem::path& persistTo);

[[nodiscard]] std::pair<BitmapImage::Ptr, MatrixSize> createSpriteMap(const std::vector<BitmapImage::Ptr>& images,
                                                                      std::int64_t matrixWidth);

}  // namespace ImageHelper

}  // namespace vantrel
