#include "vantrel/json/platform_value.h"

#include <functional>
#include <utility>
#include <vector>

#include "vantrel/core/number_text.h"
#include "vantrel/json/json.h"

namespace vantrel {
namespace {

// Below this size a scan of the keys is faster than hashing.
constexpr std::size_t kIndexedFrom = 9;
constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;

std::size_t hashKey(std::string_view key) { return std::hash<std::string_view>{}(key); }

}  // namespace

// ---- PlatformValue ----------------------------------------------------------

const JsonOpaque* PlatformValue::opaqueValue() const {
  const auto* shared = std::get_if<std::shared_ptr<const JsonOpaque>>(&storage_);
  return shared ? shared->get() : nullptr;
}

PlatformValue::Array* PlatformValue::mutableArray() {
  auto* shared = std::get_if<std::shared_ptr<const Array>>(&storage_);
  if (!shared) return nullptr;
  if (shared->use_count() > 1) *shared = std::make_shared<const Array>(**shared);
  return const_cast<Array*>(shared->get());  // sole owner now; made non-const by us
}

JsonDictionary* PlatformValue::mutableDictionary() {
  auto* shared = std::get_if<std::shared_ptr<const JsonDictionary>>(&storage_);
  if (!shared) return nullptr;
  if (shared->use_count() > 1) *shared = std::make_shared<const JsonDictionary>(**shared);
  return const_cast<JsonDictionary*>(shared->get());
}

void PlatformValue::releaseNested() noexcept {
  // Shallow values, nearly all of them, go the plain recursive way; below
  // this depth the rest of the value is taken apart in the loop.
  constexpr int kRecursiveDepth = 64;
  thread_local int depth = 0;
  if (depth < kRecursiveDepth) {
    ++depth;
    storage_ = JsonNull{};
    --depth;
    return;
  }
  std::vector<PlatformValue> pending;
  detachNested(pending);
  while (!pending.empty()) {
    PlatformValue next = std::move(pending.back());
    pending.pop_back();
    next.detachNested(pending);
  }
}

void PlatformValue::detachNested(std::vector<PlatformValue>& pending) noexcept {
  const auto takeIfNested = [&pending](PlatformValue& child) {
    if (child.storage_.index() >= kFirstSharedIndex) pending.push_back(std::move(child));
  };
  // A holder that shares the container keeps it whole; only the last one
  // takes it apart. Nobody else can start sharing it meanwhile.
  if (auto* array = std::get_if<std::shared_ptr<const Array>>(&storage_)) {
    if (*array && array->use_count() == 1) {
      for (PlatformValue& element : const_cast<Array&>(**array)) takeIfNested(element);
    }
  } else if (auto* dictionary = std::get_if<std::shared_ptr<const JsonDictionary>>(&storage_)) {
    if (*dictionary && dictionary->use_count() == 1) {
      for (auto& entry : const_cast<JsonDictionary&>(**dictionary).entries_) takeIfNested(entry.second);
    }
  } else if (auto* opaque = std::get_if<std::shared_ptr<const JsonOpaque>>(&storage_)) {
    if (*opaque && opaque->use_count() == 1) {
      auto& held = const_cast<std::any&>((*opaque)->value);
      if (held.has_value() && held.type() == typeid(Json)) {
        takeIfNested(const_cast<PlatformValue&>(std::any_cast<Json&>(held).managedJsonObject()));
      }
    }
  }
}

long PlatformValue::shareCount() const {
  if (const auto* a = std::get_if<std::shared_ptr<const Array>>(&storage_)) return a->use_count();
  if (const auto* d = std::get_if<std::shared_ptr<const JsonDictionary>>(&storage_)) return d->use_count();
  return 0;
}

namespace {

// One pair of values without looking inside containers; `pending` gets the
// pairs of members still to compare.
bool shallowEqual(const PlatformValue& a, const PlatformValue& b,
                  std::vector<std::pair<const PlatformValue*, const PlatformValue*>>& pending) {
  if (a.kind() != b.kind()) return false;
  switch (a.kind()) {
    case PlatformValue::Kind::number: return *a.number() == *b.number();
    case PlatformValue::Kind::text: return *a.text() == *b.text();
    case PlatformValue::Kind::null: return true;
    case PlatformValue::Kind::array: {
      if (a.array() == b.array()) return true;
      if (a.array()->size() != b.array()->size()) return false;
      for (std::size_t i = 0; i < a.array()->size(); ++i) pending.emplace_back(&(*a.array())[i], &(*b.array())[i]);
      return true;
    }
    case PlatformValue::Kind::dictionary: {
      if (a.dictionary() == b.dictionary()) return true;
      if (a.dictionary()->size() != b.dictionary()->size()) return false;
      for (const auto& [key, value] : *a.dictionary()) {
        const PlatformValue* other = b.dictionary()->find(key);
        if (!other) return false;
        pending.emplace_back(&value, other);
      }
      return true;
    }
    case PlatformValue::Kind::opaque: return false;
  }
  return false;
}

}  // namespace

// Iterative, so values nested deeper than any stack compare too.
bool PlatformValue::equals(const PlatformValue& b) const {
  const PlatformValue& a = *this;
  std::vector<std::pair<const PlatformValue*, const PlatformValue*>> pending;
  if (!shallowEqual(a, b, pending)) return false;
  while (!pending.empty()) {
    const auto [x, y] = pending.back();
    pending.pop_back();
    if (!shallowEqual(*x, *y, pending)) return false;
  }
  return true;
}

std::string PlatformValue::description() const {
  switch (kind()) {
    case Kind::number: return number()->stringValue();
    case Kind::text: return *text();
    case Kind::null: return "null";
    case Kind::array: return "<array of " + integerText(static_cast<std::int64_t>(array()->size())) + ">";
    case Kind::dictionary:
      return "<dictionary of " + integerText(static_cast<std::int64_t>(dictionary()->size())) + ">";
    case Kind::opaque: return opaqueValue()->typeName;
  }
  return {};
}

// ---- JsonDictionary ---------------------------------------------------------

JsonDictionary::JsonDictionary(std::vector<Entry> pairs) {
  if (pairs.size() < kIndexedFrom) {
    // Keys are nearly always distinct: then the pairs are the entries as
    // they stand.
    bool distinct = true;
    for (std::size_t i = 1; i < pairs.size() && distinct; ++i) {
      for (std::size_t j = 0; j < i; ++j) {
        if (pairs[j].first == pairs[i].first) {
          distinct = false;
          break;
        }
      }
    }
    if (distinct) {
      entries_ = std::move(pairs);
      return;
    }
    entries_.reserve(pairs.size());
    for (auto& pair : pairs) insertOrAssign(std::move(pair.first), std::move(pair.second));
    return;
  }
  // Large: index first, then drop the later duplicates (rare) in one pass.
  entries_ = std::move(pairs);
  rebuildIndex();
}

std::size_t JsonDictionary::slotOf(std::string_view key) const {
  const std::size_t mask = slots_.size() - 1;
  std::size_t at = hashKey(key) & mask;
  while (slots_[at] != kEmpty && entries_[slots_[at]].first != key) at = (at + 1) & mask;
  return at;
}

void JsonDictionary::rebuildIndex() {
  slots_.clear();
  if (entries_.size() < kIndexedFrom) return;
  std::size_t capacity = 16;
  while (capacity < entries_.size() * 2) capacity *= 2;
  slots_.assign(capacity, kEmpty);
  bool duplicates = false;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const std::size_t at = slotOf(entries_[i].first);
    if (slots_[at] == kEmpty) {
      slots_[at] = static_cast<std::uint32_t>(i);
    } else {
      entries_[slots_[at]].second = std::move(entries_[i].second);
      duplicates = true;
    }
  }
  if (!duplicates) return;
  // Keep each key's first place (which now holds its last value).
  std::vector<bool> keep(entries_.size());
  for (std::size_t i = 0; i < entries_.size(); ++i) keep[i] = slots_[slotOf(entries_[i].first)] == i;
  std::vector<Entry> unique;
  unique.reserve(entries_.size());
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (keep[i]) unique.push_back(std::move(entries_[i]));
  }
  entries_ = std::move(unique);
  rebuildIndex();
}

std::optional<std::size_t> JsonDictionary::indexOf(std::string_view key) const {
  if (slots_.empty()) {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      if (entries_[i].first == key) return i;
    }
    return std::nullopt;
  }
  const std::uint32_t at = slots_[slotOf(key)];
  if (at == kEmpty) return std::nullopt;
  return at;
}

const PlatformValue* JsonDictionary::find(std::string_view key) const {
  const auto at = indexOf(key);
  return at ? &entries_[*at].second : nullptr;
}

void JsonDictionary::insertOrAssign(std::string key, PlatformValue value) {
  if (auto* found = const_cast<PlatformValue*>(find(key))) {
    *found = std::move(value);
    return;
  }
  entries_.emplace_back(std::move(key), std::move(value));
  if (entries_.size() < kIndexedFrom) return;
  if (slots_.empty() || entries_.size() * 2 > slots_.size()) {
    rebuildIndex();
  } else {
    slots_[slotOf(entries_.back().first)] = static_cast<std::uint32_t>(entries_.size() - 1);
  }
}

bool JsonDictionary::erase(std::string_view key) {
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (it->first == key) {
      entries_.erase(it);
      rebuildIndex();
      return true;
    }
  }
  return false;
}

bool JsonDictionary::equals(const JsonDictionary& b) const {
  const JsonDictionary& a = *this;
  if (a.size() != b.size()) return false;
  for (const auto& [key, value] : a.entries_) {
    const PlatformValue* other = b.find(key);
    if (!other || !(*other == value)) return false;
  }
  return true;
}

}  // namespace vantrel
