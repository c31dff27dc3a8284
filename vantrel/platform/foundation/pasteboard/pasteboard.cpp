#include "vantrel/platform/foundation/pasteboard/pasteboard.h"

#include <algorithm>

#include "vantrel/core/describe.h"
#include "vantrel/core/no_destructor.h"
#include "vantrel/platform/foundation/process/operating_system_version.h"

namespace vantrel {

namespace {

struct FileURLTypeState {
  std::mutex mutex;
  std::optional<PasteboardType> value;
};

FileURLTypeState& fileURLTypeState() {
  static NoDestructor<FileURLTypeState> state;
  return *state;
}

}  // namespace

// ---- PasteboardType ----

PasteboardType PasteboardType::fileNameType(std::string_view pathExtension) {
  std::string id(pasteboard_identifiers::fileNameTypePrefix);
  id += pathExtension;
  return PasteboardType(std::move(id));
}

PasteboardType PasteboardType::fileContentsType(std::string_view pathExtension) {
  std::string id(pasteboard_identifiers::fileContentsTypePrefix);
  id += pathExtension;
  return PasteboardType(std::move(id));
}

PasteboardType PasteboardType::fileURL_backwardsCompatible10_12() {
  auto& state = fileURLTypeState();
  std::lock_guard lock(state.mutex);
  if (!state.value) {
    state.value = isOperatingSystemAtLeast({10, 13, 0}) ? fileURL()
                                                        : PasteboardType(pasteboard_identifiers::kUTTypeFileURL);
  }
  return *state.value;
}

// Weak: resolved when the program links the desktop module, null otherwise.
extern "C" [[gnu::weak]] Pasteboard* vantrel_desktop_general_pasteboard();

Pasteboard& Pasteboard::general() {
  if (&vantrel_desktop_general_pasteboard != nullptr) return *vantrel_desktop_general_pasteboard();
  // Never destroyed: a thread may read it while the process exits.
  static NoDestructor<Pasteboard> general;
  return *general;
}

namespace foundation_internal {
void resetFileURLBackwardsCompatibleForTesting() {
  auto& state = fileURLTypeState();
  std::lock_guard lock(state.mutex);
  state.value.reset();
}
}  // namespace foundation_internal

// ---- Values ----

std::string dataDescription(std::span<const std::uint8_t> bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(2 + bytes.size() * 2 + bytes.size() / 4);
  out.push_back('<');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0 && i % 4 == 0) out.push_back(' ');
    out.push_back(kHex[bytes[i] >> 4]);
    out.push_back(kHex[bytes[i] & 0xF]);
  }
  out.push_back('>');
  return out;
}

std::string PasteboardObject::description() const {
  if (const auto* u = url()) return u->description();
  return *string();
}

// ---- PasteboardItem ----

PasteboardItem::Entry& PasteboardItem::entryFor(const PasteboardType& type) {
  for (auto& entry : entries_) {
    if (entry.type == type) return entry;
  }
  entries_.push_back(Entry{type, std::nullopt, std::nullopt, std::nullopt});
  return entries_.back();
}

const PasteboardItem::Entry* PasteboardItem::findEntry(const PasteboardType& type) const {
  for (const auto& entry : entries_) {
    if (entry.type == type) return &entry;
  }
  return nullptr;
}

void PasteboardItem::setData(Data data, const PasteboardType& type) { entryFor(type).data = std::move(data); }

void PasteboardItem::setString(std::string string, const PasteboardType& type) {
  entryFor(type).string = std::move(string);
}

void PasteboardItem::setPropertyList(PropertyList value, const PasteboardType& type) {
  entryFor(type).propertyList = std::move(value);
}

void PasteboardItem::setURL(const vantrel::URL& url) {
  entryFor(PasteboardType::fileURL()).string = url.absoluteString();
  url_ = url;
}

void PasteboardItem::addType(const PasteboardType& type) { (void)entryFor(type); }

std::vector<PasteboardType> PasteboardItem::types() const {
  std::vector<PasteboardType> out;
  out.reserve(entries_.size());
  for (const auto& entry : entries_) out.push_back(entry.type);
  return out;
}

std::optional<Data> PasteboardItem::dataForType(const PasteboardType& type) const {
  const auto* entry = findEntry(type);
  return entry ? entry->data : std::nullopt;
}

std::optional<std::string> PasteboardItem::stringForType(const PasteboardType& type) const {
  const auto* entry = findEntry(type);
  return entry ? entry->string : std::nullopt;
}

std::optional<PropertyList> PasteboardItem::propertyListForType(const PasteboardType& type) const {
  const auto* entry = findEntry(type);
  return entry ? entry->propertyList : std::nullopt;
}

std::string PasteboardItem::description() const {
  std::vector<std::string> ids;
  ids.reserve(entries_.size());
  for (const auto& entry : entries_) ids.push_back(entry.type.rawValue());
  return "PasteboardItem(types: " + debugDescribe(ids) + ")";
}

// ---- Pasteboard ----

void Pasteboard::clearContents() {
  std::lock_guard lock(mutex_);
  items_.clear();
}

void Pasteboard::writeItems(std::vector<PasteboardItem> items) {
  std::lock_guard lock(mutex_);
  for (auto& item : items) items_.push_back(std::move(item));
}

void Pasteboard::setTypesAbsent(bool absent) {
  std::lock_guard lock(mutex_);
  typesAbsent_ = absent;
}

void Pasteboard::setItemsAbsent(bool absent) {
  std::lock_guard lock(mutex_);
  itemsAbsent_ = absent;
}

std::optional<std::vector<PasteboardType>> Pasteboard::types() const {
  std::lock_guard lock(mutex_);
  if (typesAbsent_) return std::nullopt;
  std::vector<PasteboardType> out;
  for (const auto& item : items_) {
    for (auto& type : item.types()) {
      if (std::find(out.begin(), out.end(), type) == out.end()) out.push_back(std::move(type));
    }
  }
  return out;
}

std::optional<std::vector<PasteboardItem>> Pasteboard::pasteboardItems() const {
  std::lock_guard lock(mutex_);
  if (itemsAbsent_) return std::nullopt;
  return items_;
}

std::optional<Data> Pasteboard::dataForType(const PasteboardType& type) const {
  std::lock_guard lock(mutex_);
  for (const auto& item : items_) {
    if (auto data = item.dataForType(type)) return data;
  }
  return std::nullopt;
}

std::optional<PropertyList> Pasteboard::propertyListForType(const PasteboardType& type) const {
  std::lock_guard lock(mutex_);
  for (const auto& item : items_) {
    if (auto value = item.propertyListForType(type)) return value;
  }
  return std::nullopt;
}

std::optional<std::string> Pasteboard::stringForType(const PasteboardType& type) const {
  std::lock_guard lock(mutex_);
  for (const auto& item : items_) {
    if (auto string = item.stringForType(type)) return string;
  }
  return std::nullopt;
}

std::optional<std::vector<PasteboardObject>> Pasteboard::readObjectsForClasses(
    const std::vector<PasteboardReadableClass>& classes) const {
  std::lock_guard lock(mutex_);
  if (itemsAbsent_) return std::nullopt;
  const auto wants = [&](PasteboardReadableClass c) {
    return std::find(classes.begin(), classes.end(), c) != classes.end();
  };
  std::vector<PasteboardObject> out;
  for (const auto& item : items_) {
    // Each item gives at most one object: its URL when URLs are asked for,
    // else its plain string.
    if (wants(PasteboardReadableClass::url) && item.urlObject()) {
      out.emplace_back(*item.urlObject());
    } else if (wants(PasteboardReadableClass::string)) {
      if (auto string = item.stringForType(PasteboardType::string())) out.emplace_back(*std::move(string));
    }
  }
  return out;
}

}  // namespace vantrel
