// Animated GIF through giflib: the encoder writes through a callback, so the
// bytes go wherever the caller's sink sends them. giflib reports errors by
// return codes, never by jumps.
#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

#include <gif_lib.h>

#include "vantrel/platform/graphics/animated_image_codecs.h"
#include "vantrel/platform/graphics/internal/pixel_conversions.h"

namespace vantrel {
namespace {

using graphics_internal::unpremultiply;

constexpr int kTransparentIndex = 255;
constexpr std::int64_t kMaxGifSide = 65535;

struct SinkState {
  const ByteSink* sink = nullptr;
  bool failed = false;
};

int writeToSink(GifFileType* gif, const GifByteType* bytes, int length) {
  auto* state = static_cast<SinkState*>(gif->UserData);
  if (state->failed || length < 0) return 0;
  try {
    if (!(*state->sink)(std::span<const std::uint8_t>(bytes, static_cast<std::size_t>(length)))) {
      state->failed = true;
      return 0;
    }
  } catch (...) {
    state->failed = true;
    return 0;
  }
  return length;
}

struct GifCloser {
  GifFileType* gif = nullptr;
  ~GifCloser() {
    if (gif != nullptr) {
      int error = 0;
      EGifCloseFile(gif, &error);
    }
  }
};

struct MapFreer {
  ColorMapObject* map = nullptr;
  ~MapFreer() { GifFreeMapObject(map); }
};

// giflib's quantizer keeps 5 bits per channel and answers them shifted
// up, 0 to 248: stretched back to 0 to 255, so white stays white and the
// steps spread evenly over the range.
GifByteType fullRange(GifByteType quantized) {
  const int value = std::min<int>(quantized, 248);
  return static_cast<GifByteType>((value * 255 + 124) / 248);
}

// The table of a frame with at most 255 colours among its pixels that are
// shown (transparent ones use index 255), and each pixel's index into it;
// false, with nothing written, when the frame has more.
bool exactColors(const BitmapImage& frame, const std::vector<GifByteType>& red, const std::vector<GifByteType>& green,
                 const std::vector<GifByteType>& blue, std::vector<GifByteType>& indexes, GifColorType* colors) {
  const auto width = static_cast<std::size_t>(frame.width());
  const auto height = static_cast<std::size_t>(frame.height());
  std::unordered_map<std::uint32_t, GifByteType> table;
  table.reserve(kTransparentIndex);
  std::vector<GifByteType> found(indexes.size(), 0);
  GifColorType table256[256] = {};
  for (std::size_t y = 0; y < height; ++y) {
    const auto row = frame.row(static_cast<std::int64_t>(y));
    for (std::size_t x = 0; x < width; ++x) {
      const std::size_t at = y * width + x;
      if (row[x * 4 + 3] < 128) continue;
      const std::uint32_t key = (std::uint32_t{red[at]} << 16) | (std::uint32_t{green[at]} << 8) | blue[at];
      auto [entry, added] = table.try_emplace(key, static_cast<GifByteType>(table.size()));
      if (added) {
        if (table.size() > static_cast<std::size_t>(kTransparentIndex)) return false;
        table256[entry->second] = GifColorType{red[at], green[at], blue[at]};
      }
      found[at] = entry->second;
    }
  }
  indexes = std::move(found);
  std::copy(std::begin(table256), std::end(table256), colors);
  return true;
}

// One frame: its colour table and graphics control, then its pixels as
// indexes into that table.
bool putFrame(GifFileType* gif, const BitmapImage& frame, int delay) {
  const auto width = static_cast<std::size_t>(frame.width());
  const auto height = static_cast<std::size_t>(frame.height());
  const std::size_t count = width * height;
  std::vector<GifByteType> red(count), green(count), blue(count), indexes(count);
  bool anyTransparent = false;
  for (std::size_t y = 0; y < height; ++y) {
    const auto row = frame.row(static_cast<std::int64_t>(y));
    for (std::size_t x = 0; x < width; ++x) {
      const std::uint8_t a = row[x * 4 + 3];
      const std::size_t at = y * width + x;
      red[at] = unpremultiply(row[x * 4], a);
      green[at] = unpremultiply(row[x * 4 + 1], a);
      blue[at] = unpremultiply(row[x * 4 + 2], a);
      anyTransparent = anyTransparent || a < 128;
    }
  }
  GifColorType colors[256] = {};
  if (!exactColors(frame, red, green, blue, indexes, colors)) {
    int colorCount = kTransparentIndex;  // index 255 stays free for transparency
    if (GifQuantizeBuffer(static_cast<unsigned>(width), static_cast<unsigned>(height), &colorCount, red.data(),
                          green.data(), blue.data(), indexes.data(), colors) == GIF_ERROR) {
      return false;
    }
    for (GifColorType& color : colors) {
      color.Red = fullRange(color.Red);
      color.Green = fullRange(color.Green);
      color.Blue = fullRange(color.Blue);
    }
  }
  if (anyTransparent) {
    for (std::size_t y = 0; y < height; ++y) {
      const auto row = frame.row(static_cast<std::int64_t>(y));
      for (std::size_t x = 0; x < width; ++x) {
        if (row[x * 4 + 3] < 128) indexes[y * width + x] = kTransparentIndex;
      }
    }
  }
  MapFreer map{GifMakeMapObject(256, colors)};
  if (map.map == nullptr) return false;

  GraphicsControlBlock control{};
  control.DisposalMode = DISPOSE_BACKGROUND;
  control.UserInputFlag = false;
  control.DelayTime = delay;
  control.TransparentColor = anyTransparent ? kTransparentIndex : NO_TRANSPARENT_COLOR;
  GifByteType extension[4];
  const std::size_t length = EGifGCBToExtension(&control, extension);
  if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) == GIF_ERROR) return false;
  if (EGifPutImageDesc(gif, 0, 0, static_cast<int>(width), static_cast<int>(height), false, map.map) == GIF_ERROR) {
    return false;
  }
  for (std::size_t y = 0; y < height; ++y) {
    if (EGifPutLine(gif, indexes.data() + y * width, static_cast<int>(width)) == GIF_ERROR) return false;
  }
  return true;
}

}  // namespace

std::uint16_t gifDelayCentiseconds(double fps) {
  return static_cast<std::uint16_t>(std::min(65535.0, std::round(100.0 / fps)));
}

bool encodeAnimatedGif(std::span<const BitmapImage::Ptr> frames, double fps, const ByteSink& sink) {
  if (frames.empty() || !(fps > 0) || !std::isfinite(fps) || !frames.front()) return false;
  const std::int64_t width = frames.front()->width();
  const std::int64_t height = frames.front()->height();
  // giflib's quantizer counts the pixels in an unsigned int.
  if (width > kMaxGifSide || height > kMaxGifSide || width * height > 0xFFFFFFFFLL) return false;
  for (const auto& frame : frames) {
    if (!frame || frame->width() != width || frame->height() != height) return false;
  }
  SinkState state{&sink};
  int error = 0;
  GifCloser closer{EGifOpen(&state, writeToSink, &error)};
  GifFileType* gif = closer.gif;
  if (gif == nullptr) return false;
  EGifSetGifVersion(gif, true);
  if (EGifPutScreenDesc(gif, static_cast<int>(width), static_cast<int>(height), 8, 0, nullptr) == GIF_ERROR) {
    return false;
  }
  // NETSCAPE2.0 application block: sub-block 1, loop count 0 (forever).
  static const GifByteType kApplication[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
  static const GifByteType kLoop[] = {1, 0, 0};
  if (EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
      EGifPutExtensionBlock(gif, sizeof kApplication, kApplication) == GIF_ERROR ||
      EGifPutExtensionBlock(gif, sizeof kLoop, kLoop) == GIF_ERROR || EGifPutExtensionTrailer(gif) == GIF_ERROR) {
    return false;
  }
  const int delay = gifDelayCentiseconds(fps);
  for (const auto& frame : frames) {
    if (!putFrame(gif, *frame, delay)) return false;
  }
  closer.gif = nullptr;
  const bool closed = EGifCloseFile(gif, &error) == GIF_OK;
  return closed && !state.failed;
}

}  // namespace vantrel
