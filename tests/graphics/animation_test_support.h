// Test readers for animations, independent of the library's encoders: an
// APNG chunk reader (chunk order, sequence numbers, CRCs, frame controls,
// and each frame's pixels inflated and unfiltered with zlib), and a GIF
// reader over giflib's DGifSlurp.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include <gif_lib.h>
#include <zlib.h>

#include "vantrel/platform/graphics/bitmap_image.h"

namespace vantrel::testing {

struct RawChunk {
  std::string type;
  std::vector<std::uint8_t> data;
  bool crcMatches = false;
};

inline std::uint32_t be32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}
inline std::uint16_t be16(const std::uint8_t* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }

// The chunks after the signature; nullopt when the signature is wrong or a
// chunk runs past the end.
inline std::optional<std::vector<RawChunk>> readPngChunks(const std::vector<std::uint8_t>& bytes) {
  static const std::uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (bytes.size() < 8 || std::memcmp(bytes.data(), kSignature, 8) != 0) return std::nullopt;
  std::vector<RawChunk> chunks;
  std::size_t at = 8;
  while (at < bytes.size()) {
    if (bytes.size() - at < 12) return std::nullopt;
    const std::uint32_t length = be32(&bytes[at]);
    if (bytes.size() - at - 12 < length) return std::nullopt;
    RawChunk chunk;
    chunk.type.assign(reinterpret_cast<const char*>(&bytes[at + 4]), 4);
    chunk.data.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at + 8),
                      bytes.begin() + static_cast<std::ptrdiff_t>(at + 8 + length));
    const uLong crc = crc32(0, &bytes[at + 4], length + 4);
    chunk.crcMatches = crc == be32(&bytes[at + 8 + length]);
    chunks.push_back(std::move(chunk));
    at += 12 + length;
  }
  return chunks;
}

struct ApngFrame {
  std::uint32_t width = 0, height = 0, x = 0, y = 0;
  std::uint16_t delayNumerator = 0, delayDenominator = 0;
  std::uint8_t dispose = 0, blend = 0;
  std::vector<std::uint8_t> compressed;  // IDAT or fdAT payloads joined
};

struct ApngFile {
  std::vector<std::string> order;             // chunk types in file order
  std::vector<std::uint32_t> sequence;        // of fcTL and fdAT, in file order
  bool allCrcsMatch = true;
  std::uint32_t width = 0, height = 0;
  std::uint32_t frameCount = 0, plays = 0;    // acTL
  std::vector<ApngFrame> frames;
};

inline std::optional<ApngFile> readApng(const std::vector<std::uint8_t>& bytes) {
  const auto chunks = readPngChunks(bytes);
  if (!chunks) return std::nullopt;
  ApngFile file;
  for (const RawChunk& c : *chunks) {
    file.order.push_back(c.type);
    file.allCrcsMatch = file.allCrcsMatch && c.crcMatches;
    const std::uint8_t* d = c.data.data();
    if (c.type == "IHDR" && c.data.size() == 13) {
      file.width = be32(d);
      file.height = be32(d + 4);
    } else if (c.type == "acTL" && c.data.size() == 8) {
      file.frameCount = be32(d);
      file.plays = be32(d + 4);
    } else if (c.type == "fcTL" && c.data.size() == 26) {
      file.sequence.push_back(be32(d));
      ApngFrame f;
      f.width = be32(d + 4);
      f.height = be32(d + 8);
      f.x = be32(d + 12);
      f.y = be32(d + 16);
      f.delayNumerator = be16(d + 20);
      f.delayDenominator = be16(d + 22);
      f.dispose = d[24];
      f.blend = d[25];
      file.frames.push_back(std::move(f));
    } else if (c.type == "IDAT" && !file.frames.empty()) {
      file.frames.back().compressed.insert(file.frames.back().compressed.end(), c.data.begin(), c.data.end());
    } else if (c.type == "fdAT" && c.data.size() >= 4 && !file.frames.empty()) {
      file.sequence.push_back(be32(d));
      file.frames.back().compressed.insert(file.frames.back().compressed.end(), c.data.begin() + 4, c.data.end());
    }
  }
  return file;
}

// A frame's straight RGBA pixels, rows from the top; nullopt when the data
// does not inflate to the frame's scanlines.
inline std::optional<std::vector<std::uint8_t>> decodeApngFrame(const ApngFrame& frame) {
  const std::size_t stride = std::size_t{frame.width} * 4;
  std::vector<std::uint8_t> raw((stride + 1) * frame.height);
  uLongf size = raw.size();
  if (uncompress(raw.data(), &size, frame.compressed.data(), frame.compressed.size()) != Z_OK ||
      size != raw.size()) {
    return std::nullopt;
  }
  std::vector<std::uint8_t> out(stride * frame.height);
  for (std::size_t y = 0; y < frame.height; ++y) {
    const std::uint8_t filter = raw[y * (stride + 1)];
    const std::uint8_t* in = &raw[y * (stride + 1) + 1];
    std::uint8_t* row = &out[y * stride];
    const std::uint8_t* up = y > 0 ? &out[(y - 1) * stride] : nullptr;
    for (std::size_t i = 0; i < stride; ++i) {
      const int a = i >= 4 ? row[i - 4] : 0, b = up ? up[i] : 0, c = (up && i >= 4) ? up[i - 4] : 0;
      int predictor = 0;
      switch (filter) {
        case 0: predictor = 0; break;
        case 1: predictor = a; break;
        case 2: predictor = b; break;
        case 3: predictor = (a + b) / 2; break;
        case 4: {
          const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
          predictor = (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
          break;
        }
        default: return std::nullopt;
      }
      row[i] = static_cast<std::uint8_t>(in[i] + predictor);
    }
  }
  return out;
}

// The image's pixels with straight alpha, as PNG stores them.
inline std::vector<std::uint8_t> straightPixels(const BitmapImage& image) {
  std::vector<std::uint8_t> out;
  for (std::int64_t y = 0; y < image.height(); ++y) {
    for (std::int64_t x = 0; x < image.width(); ++x) {
      const auto p = image.pixelAt(x, y);
      for (int i = 0; i < 3; ++i) {
        out.push_back(p[3] == 0 ? 0 : static_cast<std::uint8_t>(std::min(255, (p[i] * 255 + p[3] / 2) / p[3])));
      }
      out.push_back(p[3]);
    }
  }
  return out;
}

struct GifFrame {
  int width = 0, height = 0;
  int delay = -1;          // centiseconds
  int transparent = -1;    // index, -1 for none
  int disposal = -1;
  // Straight RGBA, rows from the top; transparent pixels all 0.
  std::vector<std::uint8_t> pixels;
};

struct GifFile {
  int width = 0, height = 0;
  bool loopsForever = false;  // NETSCAPE2.0 with loop count 0
  std::string version;
  std::vector<GifFrame> frames;
};

// The GIF as giflib's DGifSlurp reads it; nullopt when giflib fails.
inline std::optional<GifFile> readGif(const std::vector<std::uint8_t>& bytes) {
  struct Source {
    const std::vector<std::uint8_t>* bytes;
    std::size_t at = 0;
  };
  Source source{&bytes};
  int error = 0;
  GifFileType* gif = DGifOpen(&source,
                              [](GifFileType* g, GifByteType* out, int n) -> int {
                                auto* s = static_cast<Source*>(g->UserData);
                                const std::size_t count = std::min<std::size_t>(n, s->bytes->size() - s->at);
                                std::memcpy(out, s->bytes->data() + s->at, count);
                                s->at += count;
                                return static_cast<int>(count);
                              },
                              &error);
  if (gif == nullptr) return std::nullopt;
  if (DGifSlurp(gif) != GIF_OK) {
    DGifCloseFile(gif, &error);
    return std::nullopt;
  }
  GifFile file;
  file.width = gif->SWidth;
  file.height = gif->SHeight;
  // The stamp from the header itself: giflib 5.2.1's DGifGetGifVersion
  // looks at the wrong byte.
  file.version.assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(6, bytes.size())));
  for (int i = 0; i < gif->ImageCount; ++i) {
    const SavedImage& image = gif->SavedImages[i];
    for (int e = 0; e + 1 < image.ExtensionBlockCount; ++e) {
      const ExtensionBlock& block = image.ExtensionBlocks[e];
      const ExtensionBlock& next = image.ExtensionBlocks[e + 1];
      if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
          std::memcmp(block.Bytes, "NETSCAPE2.0", 11) == 0 && next.ByteCount == 3 && next.Bytes[0] == 1 &&
          next.Bytes[1] == 0 && next.Bytes[2] == 0) {
        file.loopsForever = true;
      }
    }
    GifFrame frame;
    frame.width = image.ImageDesc.Width;
    frame.height = image.ImageDesc.Height;
    GraphicsControlBlock control;
    if (DGifSavedExtensionToGCB(gif, i, &control) == GIF_OK) {
      frame.delay = control.DelayTime;
      frame.transparent = control.TransparentColor;
      frame.disposal = control.DisposalMode;
    }
    const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
    for (int p = 0; p < frame.width * frame.height; ++p) {
      const int index = image.RasterBits[p];
      if (index == frame.transparent || map == nullptr || index >= map->ColorCount) {
        frame.pixels.insert(frame.pixels.end(), {0, 0, 0, 0});
      } else {
        const GifColorType c = map->Colors[index];
        frame.pixels.insert(frame.pixels.end(), {c.Red, c.Green, c.Blue, 255});
      }
    }
    file.frames.push_back(std::move(frame));
  }
  DGifCloseFile(gif, &error);
  return file;
}

}  // namespace vantrel::testing
