// File: vantrel/drawing/bitmap_images.h
//
// Operations on bitmap images (`BitmapImage`, see
// vantrel/platform/graphics/bitmap_image.h): the pixel size, cutting one tile
// out of a grid of tiles, PNG data and files with author, title and
// description text entries, an image drawn by a closure, and an image from
// RGBA pixels.
//
//   auto image = CGImage::fromRGBA32Bitmap({Pixel(255, 0, 0), Pixel(0, 0, 255)}, IntSize(2, 1));
//   size(*image)                                     // (2, 1)
//   extract(*image, MatrixCoordinate(1, 0), Size(1, 1))->pixelAt(0, 0)   // blue
//   vtPngImageData(*image, "Ann", std::nullopt, "two pixels")            // PNG bytes
//   writeAsPng(*image, "/tmp/two.png")                                   // true
//
// Image space: pixels counted from the top-left corner, rows downwards (tile
// (0, 0) is the top-left one). The drawing closure of `CGImage::createImage`
// gets a context with its origin at the lower-left corner and y upwards.
//
// PNG text entries use the keywords "Author", "Title" and "Description", in
// that order, one for each argument given (an empty text gives an empty
// entry). A PNG that cannot be made gives nullopt, never partial bytes; the
// file is written under a temporary name beside the destination and renamed
// into place, so a failure leaves no partial file and an existing file as it
// was.
//
// Limits (the program stops with a message, as for any broken precondition):
// a tile size that is not above 0 or a tile wholly outside the image; a
// drawing size that is not finite or gives no whole pixel ("Cannot create
// context! ..."); a pixel count that is not width x height ("Could not
// create CGImage" for sizes without pixels). Pure; thread-safe.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "vantrel/collections/int_grid.h"
#include "vantrel/collections/pixel.h"
#include "vantrel/matrix/matrix_coordinate.h"
#include "vantrel/platform/graphics/bitmap_image.h"
#include "vantrel/platform/graphics/drawing_context.h"
#include "vantrel/core/geometry.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// The pixel width and height.
[[nodiscard]] IntSize size(const BitmapImage& self);

// The tile at `at` of a grid of tiles of `size` pixels: the rectangle
// (x * width, y * height, width, height), widened to whole pixels and clipped
// to the image, so a tile reaching past an edge comes back smaller.
[[nodiscard]] BitmapImage::Ptr extract(const BitmapImage& self, MatrixCoordinate at, Size size);

// The PNG file's bytes with the text entries of the given arguments; nullopt
// when the PNG cannot be made (after printing "Warning! Could not
// CGImageDestinationFinalize()").
[[nodiscard]] std::optional<std::vector<std::uint8_t>> vtPngImageData(
    const BitmapImage& self, const std::optional<std::string>& author = std::nullopt,
    const std::optional<std::string>& title = std::nullopt,
    const std::optional<std::string>& description = std::nullopt);

// Writes the PNG to `to`; true when the file is in place. False without a
// message when no file can be created beside the destination; false after
// printing "Warning! Could not write image to \"<path>\"" when writing or
// renaming fails.
[[nodiscard]] bool writeAsPng(const BitmapImage& self, const std::filesystem::path& to,
                              const std::optional<std::string>& author = std::nullopt,
                              const std::optional<std::string>& title = std::nullopt,
                              const std::optional<std::string>& description = std::nullopt);

// Static operations of the bitmap image type.
namespace CGImage {

// A transparent bitmap of `size` truncated to whole pixels, drawn by
// `byDrawing`, called once with the context and (0, 0, size) as given. Rows
// hold trunc(4 * width) bytes, computed from the unrounded width (10.5 wide:
// 10 pixels, 42 bytes per row).
[[nodiscard]] BitmapImage::Ptr createImage(Size size,
                                           const std::function<void(DrawingContext&, Rect)>& byDrawing);

// An image of the pixels, row by row from the top, each taken as
// premultiplied RGBA; the pixels are copied.
[[nodiscard]] BitmapImage::Ptr fromRGBA32Bitmap(std::span<const Pixel> pixels, IntSize size);

}  // namespace CGImage

}  // namespace vantrel
