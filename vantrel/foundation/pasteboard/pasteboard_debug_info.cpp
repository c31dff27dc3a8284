#include "vantrel/foundation/pasteboard/pasteboard_debug_info.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "vantrel/collections/sequence_rendering.h"
#include "vantrel/core/console.h"
#include "vantrel/core/describe.h"
#include "vantrel/core/no_destructor.h"
#include "vantrel/core/number_text.h"
#include "vantrel/platform/foundation/files/url.h"
#include "vantrel/platform/foundation/process/operating_system_version.h"
#include "vantrel/text/string_services.h"

namespace vantrel {

namespace {

constexpr std::size_t kShownDataBytes = 400;

const std::vector<std::string>& ignoredTypes() {
  static const NoDestructor<std::vector<std::string>> types(
      std::vector<std::string>{"com.apple.traditional-mac-plain-text"});
  return *types;
}

std::string banner(std::string_view ending) {
  std::string out;
  for (int i = 0; i < 32; ++i) out += "\U0001F4CB";
  out += ending;
  return out;
}

bool startsWith(const PasteboardType& type, std::string_view prefix) {
  return std::string_view(type.rawValue()).starts_with(prefix);
}

// The types whose contents the dump does not decode.
bool isUndecodedType(const PasteboardType& type) {
  static const NoDestructor<std::array<PasteboardType, 12>> undecoded(std::array<PasteboardType, 12>{
      PasteboardType::tiff(), PasteboardType::png(), PasteboardType::rtf(), PasteboardType::rtfd(),
      PasteboardType::html(), PasteboardType::tabularText(), PasteboardType::font(), PasteboardType::ruler(),
      PasteboardType::color(), PasteboardType::sound(), PasteboardType::multipleTextSelection(),
      PasteboardType::textFinderOptions()});
  return std::find(undecoded->begin(), undecoded->end(), type) != undecoded->end();
}

void printItemType(const PasteboardItem& item, const PasteboardType& type, std::size_t index) {
  consolePrint(integerText(static_cast<std::int64_t>(index)) + ": \U0001F6A1\U0001F6A1 Type " + describe(type));
  if (startsWith(type, "dyn")) return;
  if (auto plist = item.propertyListForType(type)) {
    consolePrint("plist = " + plist->className() + ": " + describe(*plist));
    consolePrint("----");
  }
  if (auto data = item.dataForType(type)) {
    const auto size = integerText(static_cast<std::int64_t>(data->size()));
    if (data->size() < kShownDataBytes) {
      consolePrint("data = " + size + " bytes " + dataDescription(*data));
    } else {
      consolePrint("data = " + size + " bytes, showing first 400 bytes: " +
                   dataDescription(std::span<const std::uint8_t>(data->data(), kShownDataBytes)));
    }
    consolePrint("----");
  }
  if (auto string = item.stringForType(type)) {
    consolePrint("string = " + foundation_internal::escapedPasteboardText(*string));
    const URL url = URL::fileURLWithPath(*string);
    consolePrint("url.path = " + foundation_internal::escapedPasteboardText(url.path()));
    consolePrint("----");
  }
}

void printItems(const Pasteboard& self) {
  const auto items = self.pasteboardItems();
  if (!items) return;
  consolePrint("Items:");
  for (const auto& item : *items) {
    consolePrint("\U0001F516 " + describe(item) + ":");
    consolePrint(debugDescribe(vtRender(item.types(), true)));
    const auto types = item.types();
    for (std::size_t j = 0; j < types.size(); ++j) printItemType(item, types[j], j);
    consolePrint("-------------");
  }
}

void printFileURLObjects(const Pasteboard& self, const PasteboardType& type) {
  if (auto objects = self.readObjectsForClasses({PasteboardReadableClass::url})) {
    for (const auto& object : *objects) {
      if (const auto* url = object.url()) {
        consolePrint(describe(*url) + " " + describe(std::optional<std::string>(url->path())));
      } else {
        consolePrint(describe(object) + " no path");
      }
    }
  }
  if (auto plist = self.propertyListForType(type)) consolePrint(describe(*plist));
}

void printTypeSection(const Pasteboard& self, const std::vector<PasteboardType>& types) {
  consolePrint("Types:");
  consolePrint(debugDescribe(vtRender(types, true)));
  const bool modern = isOperatingSystemAtLeast({10, 13, 0});
  for (std::size_t i = 0; i < types.size(); ++i) {
    const auto& type = types[i];
    const auto& ignored = ignoredTypes();
    if (std::find(ignored.begin(), ignored.end(), type.rawValue()) != ignored.end()) continue;
    if (startsWith(type, "dyn.")) continue;
    consolePrint("=============================================================");
    consolePrint("--> " + integerText(static_cast<std::int64_t>(i)) + ":" + describe(type) + ":");
    if (startsWith(type, "CorePasteboardFlavorType")) {
      if (auto data = self.dataForType(type)) consolePrint("data: " + dataDescription(*data));
      if (auto plist = self.propertyListForType(type)) consolePrint(describe(*plist));
    }
    if (type == PasteboardType::string()) {
      consolePrint("String >>" + describe(self.stringForType(type)) + "<<");
    } else if (isUndecodedType(type) || !modern) {
      consolePrint("Not yet figured out");
    } else if (type == PasteboardType::fileURL()) {
      printFileURLObjects(self, type);
    }
  }
}

}  // namespace

namespace foundation_internal {

std::string escapedPasteboardText(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const std::string valid = repairedUtf8(text);
  std::string out;
  out.reserve(valid.size());
  const auto escape = [&](unsigned c) {
    out += "\\u{";
    if (c >= 0x10) out.push_back(kHex[c >> 4]);
    out.push_back(kHex[c & 0xF]);
    out.push_back('}');
  };
  for (std::size_t i = 0; i < valid.size(); ++i) {
    const auto c = static_cast<unsigned char>(valid[i]);
    if (c < 0x20 || c == 0x7F) {
      escape(c);
    } else if (c == 0xC2 && i + 1 < valid.size() && static_cast<unsigned char>(valid[i + 1]) <= 0x9F) {
      // U+0080...U+009F, the C1 controls (CSI among them), are C2 80...C2 9F.
      escape(static_cast<unsigned char>(valid[i + 1]));
      ++i;
    } else {
      out.push_back(valid[i]);
    }
  }
  return out;
}

void printDebugInfoAboutTypes(const Pasteboard& self, bool hideTypes) {
  consolePrint(banner("\\/"));
  const auto types = self.types();
  if (!types) {
    consolePrint("Types array not found!");
    consolePrint(banner("/\\"));
    return;
  }
  const auto typeCount = integerText(static_cast<std::int64_t>(types->size()));
  if (auto items = self.pasteboardItems()) {
    consolePrint("Found " + integerText(static_cast<std::int64_t>(items->size())) + " items and " + typeCount +
                 " types.");
  } else {
    consolePrint("Found no items and " + typeCount + " types.");
  }
  if (hideTypes) consolePrint("pasteboard.types are HIDDEN");
  printItems(self);
  consolePrint("======================");
  if (!hideTypes) printTypeSection(self, *types);
  consolePrint(banner("/\\"));
}

}  // namespace foundation_internal

}  // namespace vantrel
