// JPEG through libjpeg-turbo. Its errors arrive through error_exit, which
// jumps back (longjmp) to the entry point: as with PNG, every C++ object a
// jump could skip lives in a heap state fixed before setjmp, and the libjpeg
// objects are released by guards declared before it. Messages are never
// printed (output_message is silenced).
#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <jpeglib.h>

#include "vantrel/core/checked.h"
#include "vantrel/platform/graphics/image_codecs.h"
#include "vantrel/text/string_services.h"

namespace vantrel {
namespace {

constexpr std::size_t kMaxMarkerPayload = 65533;
constexpr std::uint16_t kTagExifIfd = 0x8769;
constexpr std::uint16_t kTagUserComment = 0x9286;
constexpr std::uint16_t kTypeUndefined = 7;
constexpr std::uint16_t kTypeLong = 4;
const char kExifHeader[6] = {'E', 'x', 'i', 'f', 0, 0};
const char kAsciiCode[8] = {'A', 'S', 'C', 'I', 'I', 0, 0, 0};
const char kUnicodeCode[8] = {'U', 'N', 'I', 'C', 'O', 'D', 'E', 0};

struct ErrorHook {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void onJpegError(j_common_ptr info) {
  auto* hook = reinterpret_cast<ErrorHook*>(info->err);
  (*info->err->format_message)(info, hook->message);
  std::longjmp(hook->jump, 1);
}

void onJpegMessage(j_common_ptr) {}

void installHook(ErrorHook& hook) {
  jpeg_std_error(&hook.manager);
  hook.manager.error_exit = onJpegError;
  hook.manager.output_message = onJpegMessage;
  hook.message[0] = '\0';
}

// --- EXIF user comment -------------------------------------------------------------

void put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// "Exif\0\0", then a little-endian TIFF block: IFD0 with only the pointer to
// the EXIF IFD, which holds only the user comment. ASCII comments carry the
// ASCII code, others UTF-16 under the Unicode code.
std::optional<std::vector<std::uint8_t>> exifBlock(const std::string& comment) {
  std::vector<std::uint8_t> value;
  bool ascii = true;
  for (const char c : comment) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) {
    value.assign(kAsciiCode, kAsciiCode + 8);
    value.insert(value.end(), comment.begin(), comment.end());
  } else {
    value.assign(kUnicodeCode, kUnicodeCode + 8);
    for (const char16_t unit : utf16FromUtf8(repairedUtf8(comment))) put16(value, unit);
  }
  std::vector<std::uint8_t> out(kExifHeader, kExifHeader + 6);
  out.insert(out.end(), {'I', 'I', 42, 0});
  put32(out, 8);
  put16(out, 1);  // IFD0: one entry
  put16(out, kTagExifIfd);
  put16(out, kTypeLong);
  put32(out, 1);
  put32(out, 26);
  put32(out, 0);
  put16(out, 1);  // EXIF IFD at 26: one entry
  put16(out, kTagUserComment);
  put16(out, kTypeUndefined);
  put32(out, static_cast<std::uint32_t>(std::min<std::size_t>(value.size(), UINT32_MAX)));
  put32(out, 44);
  put32(out, 0);
  out.insert(out.end(), value.begin(), value.end());
  if (out.size() > kMaxMarkerPayload) return std::nullopt;
  return out;
}

class TiffReader {
 public:
  TiffReader(std::span<const std::uint8_t> tiff, bool little) : tiff_(tiff), little_(little) {}
  [[nodiscard]] std::optional<std::uint16_t> u16(std::size_t at) const {
    if (at > tiff_.size() || tiff_.size() - at < 2) return std::nullopt;
    return little_ ? static_cast<std::uint16_t>(tiff_[at] | (tiff_[at + 1] << 8))
                   : static_cast<std::uint16_t>((tiff_[at] << 8) | tiff_[at + 1]);
  }
  [[nodiscard]] std::optional<std::uint32_t> u32(std::size_t at) const {
    const auto a = u16(at), b = u16(at + 2);
    if (!a || !b || at > SIZE_MAX - 4) return std::nullopt;
    return little_ ? (std::uint32_t{*b} << 16) | *a : (std::uint32_t{*a} << 16) | *b;
  }
  // The entry with `tag` in the IFD at `offset`: (type, count, value field offset).
  struct Entry {
    std::uint16_t type;
    std::uint32_t count;
    std::size_t valueField;
  };
  [[nodiscard]] std::optional<Entry> find(std::size_t offset, std::uint16_t tag) const {
    const auto count = u16(offset);
    if (!count) return std::nullopt;
    for (std::size_t i = 0; i < *count; ++i) {
      const std::size_t entry = offset + 2 + i * 12;
      const auto entryTag = u16(entry), type = u16(entry + 2);
      const auto n = u32(entry + 4);
      if (!entryTag || !type || !n || !u32(entry + 8)) return std::nullopt;
      if (*entryTag == tag) return Entry{*type, *n, entry + 8};
    }
    return std::nullopt;
  }
  [[nodiscard]] std::span<const std::uint8_t> bytes() const { return tiff_; }
  [[nodiscard]] bool little() const { return little_; }

 private:
  std::span<const std::uint8_t> tiff_;
  bool little_;
};

// --- Writing ---------------------------------------------------------------------

struct EncodeState {
  ErrorHook hook;
  jpeg_compress_struct info{};
  bool created = false;
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  ~EncodeState() {
    if (created) jpeg_destroy_compress(&info);
    std::free(buffer);
  }
};

// --- Reading ---------------------------------------------------------------------

struct DecodeState {
  ErrorHook hook;
  jpeg_decompress_struct info{};
  bool created = false;
  std::vector<std::uint8_t> pixels;
  std::optional<std::string> comment;
  ~DecodeState() {
    if (created) jpeg_destroy_decompress(&info);
  }
};

[[noreturn]] void failDecoding(const std::string& reason) {
  throw ImageDecodingError("JPEG data could not be decoded: " + reason);
}

}  // namespace

std::optional<std::string> exifUserComment(std::span<const std::uint8_t> payload) {
  if (payload.size() < 14 || std::memcmp(payload.data(), kExifHeader, 6) != 0) return std::nullopt;
  const auto tiff = payload.subspan(6);
  bool little = false;
  if (tiff[0] == 'I' && tiff[1] == 'I') {
    little = true;
  } else if (!(tiff[0] == 'M' && tiff[1] == 'M')) {
    return std::nullopt;
  }
  const TiffReader reader(tiff, little);
  const auto ifd0 = reader.u32(4);
  if (reader.u16(2) != 42 || !ifd0) return std::nullopt;
  const auto pointer = reader.find(*ifd0, kTagExifIfd);
  if (!pointer || pointer->count != 1) return std::nullopt;
  const auto exifIfd = reader.u32(pointer->valueField);
  if (!exifIfd) return std::nullopt;
  const auto entry = reader.find(*exifIfd, kTagUserComment);
  if (!entry || entry->type != kTypeUndefined || entry->count < 8) return std::nullopt;
  std::size_t at = entry->valueField;
  if (entry->count > 4) {
    const auto offset = reader.u32(entry->valueField);
    if (!offset) return std::nullopt;
    at = *offset;
  }
  if (at > tiff.size() || tiff.size() - at < entry->count) return std::nullopt;
  const auto value = tiff.subspan(at, entry->count);
  const auto text = value.subspan(8);
  if (std::memcmp(value.data(), kUnicodeCode, 8) == 0) {
    std::u16string units;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
      units.push_back(little ? static_cast<char16_t>(text[i] | (text[i + 1] << 8))
                             : static_cast<char16_t>((text[i] << 8) | text[i + 1]));
    }
    while (!units.empty() && units.back() == 0) units.pop_back();
    return utf8FromUtf16(units);
  }
  // ASCII, undefined (all zero) and other codes: read as UTF-8, repaired.
  std::string bytes(reinterpret_cast<const char*>(text.data()), text.size());
  while (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
  return repairedUtf8(bytes);
}

bool isJpegData(std::span<const std::uint8_t> data) {
  return data.size() >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

std::optional<std::vector<std::uint8_t>> encodeJpeg(const BitmapImage& image, double compressionFactor,
                                                    const std::optional<std::string>& userComment) {
  std::optional<std::vector<std::uint8_t>> exif;
  if (userComment) {
    exif = exifBlock(*userComment);
    if (!exif) return std::nullopt;
  }
  if (image.width() > JPEG_MAX_DIMENSION || image.height() > JPEG_MAX_DIMENSION) return std::nullopt;
  const double factor = std::isnan(compressionFactor) ? 1.0 : std::clamp(compressionFactor, 0.0, 1.0);
  const int quality = std::max(1, static_cast<int>(std::lround(factor * 100)));

  auto state = std::make_unique<EncodeState>();
  EncodeState* io = state.get();
  installHook(io->hook);
  io->info.err = &io->hook.manager;
  if (setjmp(io->hook.jump)) return std::nullopt;

  jpeg_create_compress(&io->info);
  io->created = true;
  jpeg_mem_dest(&io->info, &io->buffer, &io->size);
  io->info.image_width = static_cast<JDIMENSION>(image.width());
  io->info.image_height = static_cast<JDIMENSION>(image.height());
  io->info.input_components = 4;
  io->info.in_color_space = JCS_EXT_RGBA;  // alpha is skipped: premultiplied colours over black
  jpeg_set_defaults(&io->info);
  jpeg_set_quality(&io->info, quality, TRUE);
  // An EXIF file starts with its APP1 block, not with JFIF.
  if (exif) io->info.write_JFIF_header = FALSE;
  jpeg_start_compress(&io->info, TRUE);
  if (exif) {
    jpeg_write_marker(&io->info, JPEG_APP0 + 1, exif->data(), static_cast<unsigned>(exif->size()));
  }
  while (io->info.next_scanline < io->info.image_height) {
    const auto row = image.row(io->info.next_scanline);
    JSAMPROW rows[1] = {const_cast<JSAMPLE*>(row.data())};
    jpeg_write_scanlines(&io->info, rows, 1);
  }
  jpeg_finish_compress(&io->info);
  if (io->buffer == nullptr || io->size == 0) return std::nullopt;
  return std::vector<std::uint8_t>(io->buffer, io->buffer + io->size);
}

DecodedJpeg decodeJpeg(std::span<const std::uint8_t> data, const ImageDecodingLimits& limits) {
  if (!isJpegData(data)) failDecoding("not a JPEG start of image");
  if (data.size() > ULONG_MAX) failDecoding("too much data");
  auto state = std::make_unique<DecodeState>();
  DecodeState* io = state.get();
  installHook(io->hook);
  io->info.err = &io->hook.manager;
  if (setjmp(io->hook.jump)) failDecoding(io->hook.message);

  jpeg_create_decompress(&io->info);
  io->created = true;
  io->info.mem->max_memory_to_use = static_cast<long>(std::clamp<std::int64_t>(limits.maxBytes, 1, LONG_MAX));
  jpeg_mem_src(&io->info, data.data(), static_cast<unsigned long>(data.size()));
  jpeg_save_markers(&io->info, JPEG_APP0 + 1, 0xFFFF);
  jpeg_read_header(&io->info, TRUE);

  const std::int64_t width = io->info.image_width;
  const std::int64_t height = io->info.image_height;
  const auto pixelCount = overflowingMul<std::int64_t>(width, height);
  const auto totalBytes = pixelCount ? overflowingMul<std::int64_t>(*pixelCount, 4) : std::nullopt;
  if (width < 1 || height < 1 || width > limits.maxWidth || height > limits.maxHeight || !totalBytes ||
      *totalBytes > limits.maxBytes) {
    failDecoding("an image of " + std::to_string(width) + " x " + std::to_string(height) +
                 " pixels is beyond the decoding limits");
  }
  for (jpeg_saved_marker_ptr marker = io->info.marker_list; marker != nullptr; marker = marker->next) {
    if (marker->marker != JPEG_APP0 + 1 || io->comment) continue;
    io->comment = exifUserComment(std::span<const std::uint8_t>(marker->data, marker->data_length));
  }

  io->info.out_color_space = JCS_EXT_RGBA;
  jpeg_start_decompress(&io->info);
  if (io->info.output_components != 4 || io->info.output_width != io->info.image_width ||
      io->info.output_height != io->info.image_height) {
    failDecoding("unexpected output layout");
  }
  io->pixels.resize(static_cast<std::size_t>(*totalBytes));
  while (io->info.output_scanline < io->info.output_height) {
    JSAMPROW rows[1] = {io->pixels.data() + static_cast<std::size_t>(io->info.output_scanline) * width * 4};
    jpeg_read_scanlines(&io->info, rows, 1);
  }
  jpeg_finish_decompress(&io->info);

  DecodedJpeg result;
  result.image = BitmapImage::create(width, height, width * 4, std::move(io->pixels));
  result.userComment = std::move(io->comment);
  return result;
}

}  // namespace vantrel
