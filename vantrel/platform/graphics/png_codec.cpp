// PNG through libpng. libpng reports errors by longjmp: every C++ object a
// jump could skip lives in a heap state whose pointer is fixed before setjmp,
// the libpng structures are released by a guard declared before setjmp, and
// no C++ exception ever crosses libpng's C frames (callbacks catch and turn
// failures into png_error).
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <memory>

#include <png.h>

#include "vantrel/core/checked.h"
#include "vantrel/platform/graphics/image_codecs.h"
#include "vantrel/platform/graphics/internal/pixel_conversions.h"
#include "vantrel/text/string_services.h"

namespace vantrel {
namespace {

using graphics_internal::latin1FromUtf8;
using graphics_internal::premultiply;
using graphics_internal::unpremultiply;
using graphics_internal::utf8FromLatin1;

constexpr std::size_t kMaxChunkBytes = std::size_t{8} << 20;  // one ancillary chunk, decompressed
constexpr png_uint_32 kMaxAncillaryChunks = 1000;

struct CodecState {
  char message[256] = {};
};

// libpng sizes some buffers from lengths in the file; one allocation above
// this (a chunk claiming a gigabyte, say) fails as "out of memory" instead of
// being made.
constexpr png_alloc_size_t kMaxLibraryAllocation = kMaxChunkBytes + (std::size_t{64} << 10);

png_voidp limitedMalloc(png_structp, png_alloc_size_t size) {
  return size <= kMaxLibraryAllocation ? std::malloc(size) : nullptr;
}

void limitedFree(png_structp, png_voidp pointer) { std::free(pointer); }

[[noreturn]] void onPngError(png_structp png, png_const_charp message) {
  auto* state = static_cast<CodecState*>(png_get_error_ptr(png));
  if (state != nullptr) std::snprintf(state->message, sizeof state->message, "%s", message);
  png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

// --- Writing ----------------------------------------------------------------------

struct WriteState : CodecState {
  const std::function<bool(std::span<const std::uint8_t>)>* sink = nullptr;
  std::vector<std::uint8_t> row;
  std::vector<std::string> keys;
  std::vector<std::string> values;
  std::vector<png_text> texts;
};

void writeBytes(png_structp png, png_bytep data, std::size_t length) {
  auto* state = static_cast<WriteState*>(png_get_io_ptr(png));
  bool written = false;
  try {
    written = (*state->sink)(std::span<const std::uint8_t>(data, length));
  } catch (...) {
    written = false;
  }
  if (!written) png_error(png, "the bytes could not be written");
}

void flushNothing(png_structp) {}

struct WriteGuard {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~WriteGuard() {
    if (png != nullptr) png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
  }
};

// Keywords: 1 to 79 printable Latin-1 characters.
bool prepareTexts(WriteState& state, const std::vector<PngTextEntry>& texts) {
  state.keys.reserve(texts.size());
  state.values.reserve(texts.size());
  for (const PngTextEntry& entry : texts) {
    auto key = latin1FromUtf8(entry.keyword);
    if (!key || key->empty() || key->size() > 79) return false;
    for (const char c : *key) {
      const auto byte = static_cast<unsigned char>(c);
      if (byte < 32 || (byte > 126 && byte < 161)) return false;
    }
    // The chunk stores no length of its own for the text: a NUL would cut it.
    if (entry.text.find('\0') != std::string::npos) return false;
    state.keys.push_back(std::move(*key));
    state.values.push_back(repairedUtf8(entry.text));
  }
  for (std::size_t i = 0; i < state.keys.size(); ++i) {
    png_text text{};
    text.key = state.keys[i].data();
    text.text = state.values[i].data();
    bool ascii = true;
    for (const char c : state.values[i]) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) {
      text.compression = PNG_TEXT_COMPRESSION_NONE;
      text.text_length = state.values[i].size();
    } else {
      text.compression = PNG_ITXT_COMPRESSION_NONE;
      text.itxt_length = state.values[i].size();
      text.lang = const_cast<char*>("");
      text.lang_key = const_cast<char*>("");
    }
    state.texts.push_back(text);
  }
  return true;
}

// --- Reading ----------------------------------------------------------------------

struct ReadState : CodecState {
  std::span<const std::uint8_t> data;
  std::size_t offset = 0;
  std::vector<std::uint8_t> pixels;
  std::vector<png_bytep> rows;
  std::vector<PngTextEntry> texts;
};

void readBytes(png_structp png, png_bytep out, std::size_t length) {
  auto* state = static_cast<ReadState*>(png_get_io_ptr(png));
  if (length > state->data.size() - state->offset) png_error(png, "unexpected end of data");
  std::memcpy(out, state->data.data() + state->offset, length);
  state->offset += length;
}

struct ReadGuard {
  png_structp png = nullptr;
  png_infop info = nullptr;
  png_infop end = nullptr;
  ~ReadGuard() {
    if (png != nullptr) {
      png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, end != nullptr ? &end : nullptr);
    }
  }
};

void collectTexts(png_structp png, png_infop info, std::vector<PngTextEntry>& into) {
  png_textp texts = nullptr;
  int count = 0;
  png_get_text(png, info, &texts, &count);
  for (int i = 0; i < count; ++i) {
    const png_text& text = texts[i];
    PngTextEntry entry;
    entry.keyword = utf8FromLatin1(text.key != nullptr ? text.key : "");
    if (text.text != nullptr) {
      if (text.compression >= PNG_ITXT_COMPRESSION_NONE) {
        entry.text = repairedUtf8(std::string_view(text.text, text.itxt_length));
      } else {
        entry.text = utf8FromLatin1(std::string_view(text.text, text.text_length));
      }
    }
    into.push_back(std::move(entry));
  }
}

[[noreturn]] void failDecoding(const std::string& reason) {
  throw ImageDecodingError("PNG data could not be decoded: " + reason);
}

}  // namespace

bool isPngData(std::span<const std::uint8_t> data) {
  return data.size() >= 8 && png_sig_cmp(data.data(), 0, 8) == 0;
}

bool encodePng(const BitmapImage& image, const std::vector<PngTextEntry>& texts,
               const std::function<bool(std::span<const std::uint8_t>)>& sink) {
  auto state = std::make_unique<WriteState>();
  state->sink = &sink;
  if (!prepareTexts(*state, texts)) return false;
  state->row.resize(static_cast<std::size_t>(image.width()) * 4);

  WriteGuard guard;
  guard.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, state.get(), onPngError, onPngWarning);
  if (guard.png == nullptr) return false;
  guard.info = png_create_info_struct(guard.png);
  if (guard.info == nullptr) return false;
  png_structp png = guard.png;
  png_infop info = guard.info;
  WriteState* io = state.get();

  if (setjmp(png_jmpbuf(png))) return false;

  png_set_write_fn(png, io, writeBytes, flushNothing);
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()), static_cast<png_uint_32>(image.height()), 8,
               PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!io->texts.empty()) png_set_text(png, info, io->texts.data(), static_cast<int>(io->texts.size()));
  png_write_info(png, info);
  for (std::int64_t y = 0; y < image.height(); ++y) {
    const auto row = image.row(y);
    for (std::size_t i = 0; i < row.size(); i += 4) {
      const std::uint8_t alpha = row[i + 3];
      io->row[i] = unpremultiply(row[i], alpha);
      io->row[i + 1] = unpremultiply(row[i + 1], alpha);
      io->row[i + 2] = unpremultiply(row[i + 2], alpha);
      io->row[i + 3] = alpha;
    }
    png_write_row(png, io->row.data());
  }
  png_write_end(png, nullptr);
  return true;
}

std::optional<std::vector<std::uint8_t>> encodePng(const BitmapImage& image, const std::vector<PngTextEntry>& texts) {
  std::vector<std::uint8_t> bytes;
  const bool done = encodePng(image, texts, [&bytes](std::span<const std::uint8_t> chunk) {
    bytes.insert(bytes.end(), chunk.begin(), chunk.end());
    return true;
  });
  if (!done) return std::nullopt;
  return bytes;
}

DecodedPng decodePng(std::span<const std::uint8_t> data, const ImageDecodingLimits& limits) {
  if (!isPngData(data)) failDecoding("not a PNG signature");
  auto state = std::make_unique<ReadState>();
  state->data = data;

  ReadGuard guard;
  guard.png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, state.get(), onPngError, onPngWarning, nullptr,
                                       limitedMalloc, limitedFree);
  if (guard.png == nullptr) failDecoding("out of memory");
  guard.info = png_create_info_struct(guard.png);
  guard.end = png_create_info_struct(guard.png);
  if (guard.info == nullptr || guard.end == nullptr) failDecoding("out of memory");
  png_structp png = guard.png;
  png_infop info = guard.info;
  png_infop end = guard.end;
  ReadState* io = state.get();

  if (setjmp(png_jmpbuf(png))) failDecoding(io->message);

  const auto clampLimit = [](std::int64_t limit) {
    return static_cast<png_uint_32>(std::clamp<std::int64_t>(limit, 1, PNG_UINT_31_MAX));
  };
  png_set_user_limits(png, clampLimit(limits.maxWidth), clampLimit(limits.maxHeight));
  png_set_chunk_malloc_max(png, kMaxChunkBytes);
  png_set_chunk_cache_max(png, kMaxAncillaryChunks);
  png_set_read_fn(png, io, readBytes);
  png_read_info(png, info);

  const std::int64_t width = png_get_image_width(png, info);
  const std::int64_t height = png_get_image_height(png, info);
  const auto pixelBytes = overflowingMul<std::int64_t>(width, height);
  const auto totalBytes = pixelBytes ? overflowingMul<std::int64_t>(*pixelBytes, 4) : std::nullopt;
  if (width < 1 || height < 1 || width > limits.maxWidth || height > limits.maxHeight || !totalBytes ||
      *totalBytes > limits.maxBytes) {
    failDecoding("an image of " + std::to_string(width) + " x " + std::to_string(height) +
                 " pixels is beyond the decoding limits");
  }
  collectTexts(png, info, io->texts);

  const int colorType = png_get_color_type(png, info);
  png_set_expand(png);
  png_set_strip_16(png);
  if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != static_cast<std::size_t>(width) * 4) {
    failDecoding("unexpected row layout");
  }

  io->pixels.resize(static_cast<std::size_t>(*totalBytes));
  io->rows.resize(static_cast<std::size_t>(height));
  for (std::int64_t y = 0; y < height; ++y) io->rows[static_cast<std::size_t>(y)] = io->pixels.data() + y * width * 4;
  png_read_image(png, io->rows.data());
  png_read_end(png, end);
  collectTexts(png, end, io->texts);

  for (std::size_t i = 0; i < io->pixels.size(); i += 4) {
    const std::uint8_t alpha = io->pixels[i + 3];
    io->pixels[i] = premultiply(io->pixels[i], alpha);
    io->pixels[i + 1] = premultiply(io->pixels[i + 1], alpha);
    io->pixels[i + 2] = premultiply(io->pixels[i + 2], alpha);
  }
  DecodedPng result;
  result.image = BitmapImage::create(width, height, width * 4, std::move(io->pixels));
  result.texts = std::move(io->texts);
  return result;
}

}  // namespace vantrel
