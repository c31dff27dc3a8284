#include "vantrel/drawing/color_defaults.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

#include "vantrel/core/fatal.h"
#include "vantrel/foundation/defaults/user_defaults_helpers.h"

namespace vantrel {
namespace {

constexpr std::array<std::uint8_t, 4> kMagic = {'V', 't', 'C', 'l'};
constexpr std::uint8_t kVersion = 1;
constexpr std::size_t kHeaderSize = kMagic.size() + 2;

// Tags written into the data: fixed here, apart from the enum's order.
std::uint8_t spaceTag(ColorSpace space) {
  switch (space) {
    case ColorSpace::calibratedRGB: return 1;
    case ColorSpace::deviceRGB: return 2;
    case ColorSpace::calibratedWhite: return 3;
  }
  fatal("archivedColorData: unknown colour space");
}

std::optional<ColorSpace> spaceOfTag(std::uint8_t tag) {
  switch (tag) {
    case 1: return ColorSpace::calibratedRGB;
    case 2: return ColorSpace::deviceRGB;
    case 3: return ColorSpace::calibratedWhite;
    default: return std::nullopt;
  }
}

std::size_t componentCount(ColorSpace space) { return space == ColorSpace::calibratedWhite ? 2 : 4; }

void appendDouble(std::vector<std::uint8_t>& out, double value) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  for (int shift = 56; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(bits >> shift));
}

double readDouble(std::span<const std::uint8_t> bytes) {
  std::uint64_t bits = 0;
  for (std::size_t i = 0; i < 8; ++i) bits = (bits << 8) | bytes[i];
  double value = 0;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

}  // namespace

std::vector<std::uint8_t> archivedColorData(const Color::Ptr& color) {
  if (!color) fatal("archivedColorData: the colour is null");
  std::vector<std::uint8_t> data(kMagic.begin(), kMagic.end());
  data.push_back(kVersion);
  data.push_back(spaceTag(color->colorSpace()));
  for (double component : color->components()) appendDouble(data, component);
  return data;
}

Color::Ptr unarchivedColor(std::span<const std::uint8_t> data) {
  // The defaults file may be written by anyone: check every byte before use.
  if (data.size() < kHeaderSize || !std::equal(kMagic.begin(), kMagic.end(), data.begin())) return nullptr;
  if (data[kMagic.size()] != kVersion) return nullptr;
  const auto space = spaceOfTag(data[kMagic.size() + 1]);
  if (!space) return nullptr;
  const std::size_t count = componentCount(*space);
  if (data.size() != kHeaderSize + 8 * count) return nullptr;
  std::array<double, 4> c{};
  for (std::size_t i = 0; i < count; ++i) c[i] = readDouble(data.subspan(kHeaderSize + 8 * i, 8));
  switch (*space) {
    case ColorSpace::calibratedRGB: return Color::withRed(c[0], c[1], c[2], c[3]);
    case ColorSpace::deviceRGB: return Color::withDeviceRed(c[0], c[1], c[2], c[3]);
    case ColorSpace::calibratedWhite: return Color::withWhite(c[0], c[1]);
  }
  return nullptr;
}

Color::Ptr vtColorForKey(const UserDefaults& self, std::string_view key) {
  const auto data = vtDataForKey(self, key);
  return data ? unarchivedColor(*data) : nullptr;
}

void vtSetColor(UserDefaults& self, const Color::Ptr& color, std::string_view key) {
  vtSetData(self, color ? std::optional(archivedColorData(color)) : std::nullopt, key);
}

Color::Ptr vtColorForKey(std::string_view key) { return vtColorForKey(*UserDefaults::standard(), key); }

void vtSetColor(const Color::Ptr& color, std::string_view key) { vtSetColor(*UserDefaults::standard(), color, key); }

Color::Ptr colorForKey(const VantrelUserDefaults& self, std::string_view key) {
  const auto data = self.dataForKey(key);
  return data ? unarchivedColor(*data) : nullptr;
}

void setColor(const VantrelUserDefaults& self, const Color::Ptr& color, std::string_view key) {
  self.setData(color ? std::optional(archivedColorData(color)) : std::nullopt, key);
}

}  // namespace vantrel
