// Animated PNG: the chunks are written here and the image data compressed
// with zlib; libpng has no animation support to lean on.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <string_view>

#include <zlib.h>

#include "vantrel/platform/graphics/animated_image_codecs.h"
#include "vantrel/platform/graphics/internal/pixel_conversions.h"

namespace vantrel {
namespace {

using graphics_internal::unpremultiply;

constexpr std::uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// Compressed data goes out in chunks of at most this many bytes, so a big
// frame is not held twice.
constexpr std::size_t kMaxDataChunk = std::size_t{1} << 20;

void putU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v >> 24));
  out.push_back(static_cast<std::uint8_t>(v >> 16));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
  out.push_back(static_cast<std::uint8_t>(v));
}

void putU16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v >> 8));
  out.push_back(static_cast<std::uint8_t>(v));
}

class ChunkWriter {
 public:
  explicit ChunkWriter(const ByteSink& sink) : sink_(sink) {}

  bool raw(std::span<const std::uint8_t> bytes) { return sink_(bytes); }

  // Length, type, data, CRC over type and data.
  bool chunk(std::string_view type, std::span<const std::uint8_t> prefix, std::span<const std::uint8_t> data) {
    buffer_.clear();
    putU32(buffer_, static_cast<std::uint32_t>(prefix.size() + data.size()));
    buffer_.insert(buffer_.end(), type.begin(), type.end());
    buffer_.insert(buffer_.end(), prefix.begin(), prefix.end());
    uLong crc = crc32(0, buffer_.data() + 4, static_cast<uInt>(buffer_.size() - 4));
    // zlib answers the initial value for a null buffer: skip empty data.
    if (!data.empty()) crc = crc32(crc, data.data(), static_cast<uInt>(data.size()));
    if (!sink_(buffer_)) return false;
    if (!data.empty() && !sink_(data)) return false;
    buffer_.clear();
    putU32(buffer_, static_cast<std::uint32_t>(crc));
    return sink_(buffer_);
  }

 private:
  const ByteSink& sink_;
  std::vector<std::uint8_t> buffer_;
};

// The frame's rows as PNG scanlines (filter byte 0, straight RGBA),
// compressed into one zlib stream; nullopt when zlib fails.
std::optional<std::vector<std::uint8_t>> compressFrame(const BitmapImage& frame) {
  z_stream z{};
  if (deflateInit(&z, Z_DEFAULT_COMPRESSION) != Z_OK) return std::nullopt;
  std::vector<std::uint8_t> out;
  std::vector<std::uint8_t> line(static_cast<std::size_t>(frame.width()) * 4 + 1);
  std::uint8_t buffer[64 * 1024];
  bool ok = true;
  for (std::int64_t y = 0; ok && y < frame.height(); ++y) {
    const auto row = frame.row(y);
    line[0] = 0;
    for (std::size_t i = 0; i < row.size(); i += 4) {
      const std::uint8_t a = row[i + 3];
      line[i + 1] = unpremultiply(row[i], a);
      line[i + 2] = unpremultiply(row[i + 1], a);
      line[i + 3] = unpremultiply(row[i + 2], a);
      line[i + 4] = a;
    }
    z.next_in = line.data();
    z.avail_in = static_cast<uInt>(line.size());
    const int flush = y + 1 == frame.height() ? Z_FINISH : Z_NO_FLUSH;
    int status = Z_OK;
    do {
      z.next_out = buffer;
      z.avail_out = sizeof buffer;
      status = deflate(&z, flush);
      if (status == Z_STREAM_ERROR) {
        ok = false;
        break;
      }
      out.insert(out.end(), buffer, buffer + (sizeof buffer - z.avail_out));
    } while (z.avail_out == 0 || (flush == Z_FINISH && status != Z_STREAM_END));
  }
  deflateEnd(&z);
  if (!ok) return std::nullopt;
  return out;
}

}  // namespace

ApngDelay apngDelay(double fps) {
  if (fps >= 1 && fps <= 65535 && fps == std::floor(fps)) {
    return {1, static_cast<std::uint16_t>(fps)};
  }
  const double milliseconds = std::round(1000.0 / fps);
  if (milliseconds <= 65535) return {static_cast<std::uint16_t>(milliseconds), 1000};
  const double seconds = std::min(65535.0, std::round(1.0 / fps));
  return {static_cast<std::uint16_t>(seconds), 1};
}

bool encodeAnimatedPng(std::span<const BitmapImage::Ptr> frames, double fps, const ByteSink& sink) {
  if (frames.empty() || !(fps > 0) || !std::isfinite(fps) || !frames.front()) return false;
  const std::int64_t width = frames.front()->width();
  const std::int64_t height = frames.front()->height();
  if (width > 0x7FFFFFFF || height > 0x7FFFFFFF || frames.size() > 0x7FFFFFFF) return false;
  for (const auto& frame : frames) {
    if (!frame || frame->width() != width || frame->height() != height) return false;
  }
  ChunkWriter out(sink);
  if (!out.raw(kSignature)) return false;

  std::vector<std::uint8_t> header;
  putU32(header, static_cast<std::uint32_t>(width));
  putU32(header, static_cast<std::uint32_t>(height));
  header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, filters, no interlace
  if (!out.chunk("IHDR", {}, header)) return false;

  std::vector<std::uint8_t> control;
  putU32(control, static_cast<std::uint32_t>(frames.size()));
  putU32(control, 0);  // plays forever
  if (!out.chunk("acTL", {}, control)) return false;

  const ApngDelay delay = apngDelay(fps);
  std::uint32_t sequence = 0;
  for (std::size_t index = 0; index < frames.size(); ++index) {
    std::vector<std::uint8_t> frameControl;
    putU32(frameControl, sequence++);
    putU32(frameControl, static_cast<std::uint32_t>(width));
    putU32(frameControl, static_cast<std::uint32_t>(height));
    putU32(frameControl, 0);
    putU32(frameControl, 0);
    putU16(frameControl, delay.numerator);
    putU16(frameControl, delay.denominator);
    frameControl.push_back(0);  // dispose: none
    frameControl.push_back(0);  // blend: source
    if (!out.chunk("fcTL", {}, frameControl)) return false;

    const auto data = compressFrame(*frames[index]);
    if (!data) return false;
    const std::span<const std::uint8_t> all(*data);
    for (std::size_t at = 0; at < all.size(); at += kMaxDataChunk) {
      const auto part = all.subspan(at, std::min(kMaxDataChunk, all.size() - at));
      if (index == 0) {
        if (!out.chunk("IDAT", {}, part)) return false;
      } else {
        std::vector<std::uint8_t> number;
        putU32(number, sequence++);
        if (!out.chunk("fdAT", number, part)) return false;
      }
    }
  }
  return out.chunk("IEND", {}, {});
}

}  // namespace vantrel
