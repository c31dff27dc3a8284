#include "vantrel/json/platform_value.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <new>
#include <ostream>
#include <utility>
#include <vector>

#include "vantrel/core/fatal.h"
#include "vantrel/core/number_text.h"
#include "vantrel/json/internal/json_arena.h"
#include "vantrel/json/internal/json_opaque_block.h"
#include "vantrel/json/json.h"

namespace vantrel {
namespace {

// Below this size a scan of the keys is faster than hashing.
constexpr std::size_t kIndexedFrom = 9;
constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;

std::size_t hashKey(std::string_view key) { return std::hash<std::string_view>{}(key); }

}  // namespace

// ---- JsonText ---------------------------------------------------------------

std::ostream& operator<<(std::ostream& out, const JsonText& text) { return out << text.view(); }

// ---- JsonArray --------------------------------------------------------------

JsonArray::JsonArray(std::initializer_list<PlatformValue> elements) {
  reserve(elements.size());
  for (const PlatformValue& element : elements) emplace_back(element);
}

void JsonArray::reserve(std::size_t capacity) {
  const std::size_t count = size();
  const bool sole = block_ && json_internal::soleHeapHolder(&block_->header);
  if (sole && block_->capacity >= capacity) return;
  if (capacity < count) capacity = count;
  if (capacity == 0) return;
  void* memory = ::operator new(sizeof(json_internal::ArrayBlock) + capacity * sizeof(PlatformValue));
  auto* fresh = new (memory) json_internal::ArrayBlock;
  fresh->header.kind = json_internal::BlockKind::array;
  fresh->capacity = capacity;
  PlatformValue* to = fresh->elements();
  if (sole) {
    // Moving leaves nothing for the old block to let go of.
    for (std::size_t i = 0; i < count; ++i) new (to + i) PlatformValue(std::move(block_->elements()[i]));
    block_->size = 0;
  } else {
    for (std::size_t i = 0; i < count; ++i) new (to + i) PlatformValue(block_->elements()[i]);
  }
  fresh->size = count;
  if (block_) json_internal::release(&block_->header);
  block_ = fresh;
}

void JsonArray::indexOutOfRange(std::size_t i, std::size_t count) {
  // An index below zero arrives wrapped; it reads as the negative number.
  fatal("JsonArray index " + integerText(static_cast<std::int64_t>(i)) + " outside its " +
        integerText(static_cast<std::int64_t>(count)) + " elements");
}

PlatformValue& JsonArray::operator[](std::size_t i) {
  checkIndex(i);
  makeRoom(0);
  return block_->elements()[i];
}

PlatformValue& JsonArray::back() { return (*this)[size() - 1]; }

void JsonArray::pop_back() {
  checkIndex(size() - 1);
  makeRoom(0);
  --block_->size;
  block_->elements()[block_->size].~PlatformValue();
}

bool operator==(const JsonArray& a, const JsonArray& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (!(a[i] == b[i])) return false;
  }
  return true;
}

// ---- PlatformValue ----------------------------------------------------------

const json_internal::BlockHeader* PlatformValue::blockRef() const noexcept {
  switch (kind_) {
    case Kind::number: return number_.kind_ == JsonNumber::Kind::decimal ? &number_.decimal_->header : nullptr;
    case Kind::text: return text_.block() ? &text_.block()->header : nullptr;
    case Kind::array: return array_.block_ ? &array_.block_->header : nullptr;
    case Kind::dictionary: return dictionary_.block_ ? &dictionary_.block_->header : nullptr;
    case Kind::opaque: return &opaque_->header;
    case Kind::null: return nullptr;
  }
  return nullptr;
}

void PlatformValue::copyFrom(const PlatformValue& other) noexcept {
  switch (kind_) {
    case Kind::number: new (&number_) JsonNumber(other.number_); return;
    case Kind::text: new (&text_) JsonText(other.text_); return;
    case Kind::array: new (&array_) Array(other.array_); return;
    case Kind::dictionary: new (&dictionary_) JsonDictionary(other.dictionary_); return;
    case Kind::opaque:
      opaque_ = other.opaque_;
      json_internal::retain(&opaque_->header);
      return;
    case Kind::null: return;
  }
}

void PlatformValue::destroy() noexcept {
  switch (kind_) {
    case Kind::number: number_.~JsonNumber(); break;
    case Kind::text: text_.~JsonText(); break;
    case Kind::array: array_.~Array(); break;
    case Kind::dictionary: dictionary_.~JsonDictionary(); break;
    case Kind::opaque: json_internal::release(&opaque_->header); break;
    case Kind::null: break;
  }
  kind_ = Kind::null;
}

PlatformValue PlatformValue::makeOpaque(JsonOpaque value) {
  auto* block = new OpaqueBlock{json_internal::BlockHeader{}, std::move(value)};
  block->header.kind = json_internal::BlockKind::opaque;
  PlatformValue v;
  v.opaque_ = block;
  v.kind_ = Kind::opaque;
  return v;
}

const JsonOpaque* PlatformValue::opaqueValue() const { return kind_ == Kind::opaque ? &opaque_->value : nullptr; }

PlatformValue::Array* PlatformValue::mutableArray() {
  if (kind_ != Kind::array) return nullptr;
  array_.makeRoom(0);
  return &array_;
}

JsonDictionary* PlatformValue::mutableDictionary() {
  if (kind_ != Kind::dictionary) return nullptr;
  dictionary_.makeRoom(0);
  return &dictionary_;
}

long PlatformValue::shareCount() const {
  if (kind_ != Kind::array && kind_ != Kind::dictionary) return 0;
  const json_internal::BlockHeader* block = blockRef();
  if (!block) return 0;
  const std::size_t count = block->arena ? block->arena->refs.load() : block->refs.load();
  return static_cast<long>(count);
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
    case Kind::text: return text()->str();
    case Kind::null: return "null";
    case Kind::array: return "<array of " + integerText(static_cast<std::int64_t>(array()->size())) + ">";
    case Kind::dictionary:
      return "<dictionary of " + integerText(static_cast<std::int64_t>(dictionary()->size())) + ">";
    case Kind::opaque: return opaqueValue()->typeName;
  }
  return {};
}

// ---- JsonDictionary ---------------------------------------------------------

namespace json_internal {

std::size_t dictionarySlot(const DictionaryBlock& block, std::string_view key) {
  const std::size_t mask = block.slotCount - 1;
  std::size_t at = hashKey(key) & mask;
  while (block.slots[at] != kEmpty && !block.entries()[block.slots[at]].first.equals(key)) at = (at + 1) & mask;
  return at;
}

// Indexes `block` (which has no index yet) when it is large enough to need
// one, dropping later duplicates of a key: each key keeps its first place
// and takes its last value. In an arena (`arena` given) the values hold no
// counts, so they are moved over one another without being destroyed, and
// the index is taken from the arena.
void indexDictionary(DictionaryBlock& block, DocumentArena* arena) {
  JsonDictionaryEntry* entries = block.entries();
  const auto moveValue = [arena](PlatformValue& to, PlatformValue& from) {
    if (arena) {
      new (&to) PlatformValue(std::move(from));
    } else {
      to = std::move(from);
    }
  };
  const auto moveEntry = [arena](JsonDictionaryEntry& to, JsonDictionaryEntry& from) {
    if (arena) {
      new (&to) JsonDictionaryEntry(std::move(from));
    } else {
      to = std::move(from);
    }
  };
  const auto truncate = [&](std::size_t kept) {
    if (!arena) {
      for (std::size_t i = kept; i < block.size; ++i) entries[i].~JsonDictionaryEntry();
    }
    block.size = kept;
  };
  if (block.size < kIndexedFrom) {
    // Keys are nearly always distinct; a scan proves it.
    bool distinct = true;
    for (std::size_t i = 1; i < block.size && distinct; ++i) {
      for (std::size_t j = 0; j < i; ++j) {
        if (entries[j].first == entries[i].first) {
          distinct = false;
          break;
        }
      }
    }
    if (distinct) return;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < block.size; ++i) {
      std::size_t j = 0;
      while (j < kept && !(entries[j].first == entries[i].first)) ++j;
      if (j < kept) {
        moveValue(entries[j].second, entries[i].second);
      } else {
        if (kept != i) moveEntry(entries[kept], entries[i]);
        ++kept;
      }
    }
    truncate(kept);
    return;
  }
  std::size_t capacity = 16;
  while (capacity < block.size * 2) capacity *= 2;
  block.slots = arena ? static_cast<std::uint32_t*>(arena->allocate(capacity * sizeof(std::uint32_t)))
                      : new std::uint32_t[capacity];
  block.slotCount = capacity;
  std::fill(block.slots, block.slots + capacity, kEmpty);
  bool duplicates = false;
  for (std::size_t i = 0; i < block.size; ++i) {
    const std::size_t at = dictionarySlot(block, entries[i].first);
    if (block.slots[at] == kEmpty) {
      block.slots[at] = static_cast<std::uint32_t>(i);
    } else {
      moveValue(entries[block.slots[at]].second, entries[i].second);
      duplicates = true;
    }
  }
  if (!duplicates) return;
  // Keep each key's first place (which now holds its last value). A probe
  // compares the keys at the places the slots name, so each slot follows its
  // entry down as it moves: the places it passed hold moved-from keys, which
  // read as "" and would answer for that key.
  std::size_t kept = 0;
  for (std::size_t i = 0; i < block.size; ++i) {
    const std::size_t at = dictionarySlot(block, entries[i].first);
    if (block.slots[at] != i) continue;
    if (kept != i) {
      moveEntry(entries[kept], entries[i]);
      block.slots[at] = static_cast<std::uint32_t>(kept);
    }
    ++kept;
  }
  truncate(kept);
}

namespace {

// Indexes a heap dictionary block afresh after its entries changed.
void reindexDictionary(DictionaryBlock& block) {
  delete[] block.slots;
  block.slots = nullptr;
  block.slotCount = 0;
  indexDictionary(block, nullptr);
}

DictionaryBlock* newDictionaryBlock(std::size_t capacity) {
  void* memory = ::operator new(sizeof(DictionaryBlock) + capacity * sizeof(JsonDictionaryEntry));
  auto* block = new (memory) DictionaryBlock;
  block->header.kind = BlockKind::dictionary;
  block->capacity = capacity;
  return block;
}

}  // namespace
}  // namespace json_internal

JsonDictionary::JsonDictionary(std::vector<Entry> pairs) {
  if (pairs.empty()) return;
  block_ = json_internal::newDictionaryBlock(pairs.size());
  for (Entry& pair : pairs) {
    new (block_->entries() + block_->size) Entry(std::move(pair));
    ++block_->size;
  }
  json_internal::indexDictionary(*block_, nullptr);
}

json_internal::DictionaryBlock* JsonDictionary::makeRoom(std::size_t extra) {
  const std::size_t count = size();
  if (block_ && json_internal::soleHeapHolder(&block_->header) && block_->capacity - count >= extra) return block_;
  if (!block_ && extra == 0) return nullptr;
  const bool growing = !block_ || block_->capacity - count < extra;
  const std::size_t capacity = growing ? std::max(count + extra, 2 * count) : count;
  json_internal::DictionaryBlock* fresh = json_internal::newDictionaryBlock(capacity);
  const bool sole = block_ && json_internal::soleHeapHolder(&block_->header);
  for (std::size_t i = 0; i < count; ++i) {
    if (sole) {
      new (fresh->entries() + i) Entry(std::move(block_->entries()[i]));
    } else {
      new (fresh->entries() + i) Entry(block_->entries()[i]);
    }
  }
  fresh->size = count;
  if (block_) {
    if (sole) block_->size = 0;
    json_internal::release(&block_->header);
  }
  block_ = fresh;
  json_internal::indexDictionary(*block_, nullptr);
  return block_;
}

std::optional<std::size_t> JsonDictionary::indexOf(std::string_view key) const {
  if (!block_) return std::nullopt;
  if (!block_->slots) {
    const Entry* entries = block_->entries();
    for (std::size_t i = 0; i < block_->size; ++i) {
      if (entries[i].first.equals(key)) return i;
    }
    return std::nullopt;
  }
  const std::uint32_t at = block_->slots[json_internal::dictionarySlot(*block_, key)];
  if (at == kEmpty) return std::nullopt;
  return at;
}

const PlatformValue* JsonDictionary::find(std::string_view key) const {
  const auto at = indexOf(key);
  return at ? &block_->entries()[*at].second : nullptr;
}

void JsonDictionary::insertOrAssign(JsonText key, PlatformValue value) {
  if (const auto at = indexOf(key.view())) {
    makeRoom(0)->entries()[*at].second = std::move(value);
    return;
  }
  json_internal::DictionaryBlock* block = makeRoom(1);
  new (block->entries() + block->size) Entry{std::move(key), std::move(value)};
  ++block->size;
  if (block->size < kIndexedFrom) return;
  if (!block->slots || block->size * 2 > block->slotCount) {
    json_internal::reindexDictionary(*block);
  } else {
    block->slots[json_internal::dictionarySlot(*block, block->entries()[block->size - 1].first)] =
        static_cast<std::uint32_t>(block->size - 1);
  }
}

bool JsonDictionary::erase(std::string_view key) {
  const auto at = indexOf(key);
  if (!at) return false;
  json_internal::DictionaryBlock* block = makeRoom(0);
  Entry* entries = block->entries();
  for (std::size_t i = *at; i + 1 < block->size; ++i) entries[i] = std::move(entries[i + 1]);
  --block->size;
  entries[block->size].~Entry();
  json_internal::reindexDictionary(*block);
  return true;
}

bool JsonDictionary::equals(const JsonDictionary& b) const {
  const JsonDictionary& a = *this;
  if (a.size() != b.size()) return false;
  for (const auto& [key, value] : a) {
    const PlatformValue* other = b.find(key);
    if (!other || !(*other == value)) return false;
  }
  return true;
}

}  // namespace vantrel
