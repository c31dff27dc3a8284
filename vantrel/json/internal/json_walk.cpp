#include "vantrel/json/internal/json_walk.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <memory>

#include "vantrel/core/number_text.h"
#include "vantrel/core/sort.h"
#include "vantrel/core/thread_cache.h"
#include "vantrel/json/internal/json_bytes.h"
#include "vantrel/text/comparison.h"
#include "vantrel/text/escaping.h"

namespace vantrel::json_internal {
namespace {

// ---- The thread's buffer ------------------------------------------------------

struct ThreadBuffer {
  char* data = nullptr;
  std::size_t capacity = 0;
  bool inUse = false;
  ThreadBuffer() = default;
  ThreadBuffer(const ThreadBuffer&) = delete;
  ThreadBuffer& operator=(const ThreadBuffer&) = delete;
  ~ThreadBuffer() { delete[] data; }
};

constinit thread_local ThreadCache<ThreadBuffer> threadBuffer;

// A buffer that grew beyond this (a very long text) is not kept.
constexpr std::size_t kKeptCapacity = std::size_t{16} << 20;
constexpr std::size_t kFirstCapacity = 64 * 1024;

// ---- Texts --------------------------------------------------------------------

// Runs of bytes that stay as they are are copied at once; a run is checked
// eight bytes at a time while nothing in it needs a look.

enum ByteClass : std::uint8_t { kPlain, kEscaped, kLeadByte };

constexpr std::array<std::uint8_t, 256> kByteClass = [] {
  std::array<std::uint8_t, 256> table{};
  for (int c = 0; c < 0x20; ++c) table[static_cast<std::size_t>(c)] = kEscaped;
  table['"'] = kEscaped;
  table['\\'] = kEscaped;
  for (int c = 0x80; c < 0x100; ++c) table[static_cast<std::size_t>(c)] = kLeadByte;
  return table;
}();

// The escape of `c` at `out` (room for six bytes); answers its end.
char* writeEscape(char* out, unsigned char c) {
  constexpr char kHex[] = "0123456789abcdef";
  const auto two = [out](char second) {
    out[0] = '\\';
    out[1] = second;
    return out + 2;
  };
  switch (c) {
    case '"': return two('"');
    case '\\': return two('\\');
    case '\n': return two('n');
    case '\r': return two('r');
    case '\t': return two('t');
    default: break;
  }
  const char escape[6] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 0xF]};
  std::memcpy(out, escape, sizeof escape);
  return out + sizeof escape;
}

// Where a member's own storage starts (0 when it has none apart from its
// entry), as an address: it is only compared and handed to prefetching.
std::uintptr_t storageOf(const PlatformValue& value) {
  const auto address = [](const void* p, std::size_t header) {
    return p ? reinterpret_cast<std::uintptr_t>(p) - header : 0;
  };
  if (const JsonDictionary* dictionary = value.dictionary()) {
    return address(dictionary->begin(), sizeof(DictionaryBlock));
  }
  if (const PlatformValue::Array* array = value.array()) return address(array->data(), sizeof(ArrayBlock));
  if (const JsonText* text = value.text(); text && !text->isInline()) return address(text->data(), 0);
  return 0;
}

// Keys of one dictionary are distinct, so `before` is a strict total order
// on them and any sort gives the one result. Most dictionaries are small:
// an insertion sort spares the merge sort's buffer for them.
template <class Before>
void sortPlaces(std::vector<std::uint32_t>& order, Before before) {
  if (std::is_sorted(order.begin(), order.end(), before)) return;
  if (order.size() > 16) {
    stableSort(order, before);
    return;
  }
  for (std::size_t i = 1; i < order.size(); ++i) {
    const std::uint32_t moving = order[i];
    std::size_t j = i;
    for (; j > 0 && before(moving, order[j - 1]); --j) order[j] = order[j - 1];
    order[j] = moving;
  }
}

}  // namespace

// ---- JsonTextBuffer -----------------------------------------------------------

JsonTextBuffer::JsonTextBuffer() {
  ThreadBuffer& buffer = threadBuffer.get();
  if (buffer.inUse) return;
  buffer.inUse = true;
  threads_ = true;
  start_ = cursor_ = buffer.data;
  limit_ = buffer.data + buffer.capacity;
}

JsonTextBuffer::~JsonTextBuffer() {
  if (!threads_) {
    delete[] start_;
    return;
  }
  // Still the one the constructor took: the thread lets go of its buffer
  // only between its thread_local destructors, never during a call.
  ThreadBuffer& buffer = *threadBuffer.find();
  buffer.data = start_;
  buffer.capacity = static_cast<std::size_t>(limit_ - start_);
  if (buffer.capacity > kKeptCapacity) {
    delete[] buffer.data;
    buffer.data = nullptr;
    buffer.capacity = 0;
  }
  buffer.inUse = false;
}

void JsonTextBuffer::grow(std::size_t bytes) {
  const std::size_t used = size();
  const std::size_t capacity = std::max({2 * static_cast<std::size_t>(limit_ - start_), used + bytes, kFirstCapacity});
  // Not zeroed: every byte is written before it is read.
  auto* room = new char[capacity];
  if (used != 0) std::memcpy(room, start_, used);
  delete[] start_;
  start_ = room;
  cursor_ = room + used;
  limit_ = room + capacity;
}

// ---- Key orders ---------------------------------------------------------------

const std::vector<std::uint32_t>& JsonKeyOrders::remembered(const JsonDictionary& dictionary, std::size_t depth) {
  const auto entries = dictionary.entries();
  const std::size_t count = entries.size();
  while (remembered_.size() <= depth) {
    remembered_.push_back(std::make_unique<Remembered[]>(kPerDepth));
    turns_.push_back(0);
  }
  Remembered* const slots = remembered_[depth].get();
  for (std::size_t slot = 0; slot < kPerDepth; ++slot) {
    const Remembered& known = slots[slot];
    if (known.keys.size() != count) continue;
    std::size_t i = 0;
    while (i < count && known.keys[i] == entries[i].first) ++i;
    if (i == count) return known.order;
  }
  // Replaced in turn: siblings of different shapes (a record's "user" and
  // "entities") keep theirs.
  std::uint8_t& turn = turns_[depth];
  Remembered& known = slots[turn];
  turn = static_cast<std::uint8_t>((turn + 1) % kPerDepth);
  known.keys.clear();
  for (const auto& entry : entries) known.keys.push_back(entry.first);
  sort(dictionary, known);
  return known.order;
}

void JsonKeyOrders::sort(const JsonDictionary& dictionary, Remembered& into) const {
  const std::vector<JsonText>& keys = into.keys;
  std::vector<std::uint32_t>& order = into.order;
  order.clear();
  if (order_ == JsonKeyOrder::listed) {
    std::vector<std::string> texts;
    texts.reserve(keys.size());
    for (const JsonText& key : keys) texts.push_back(key.str());
    texts = sortWithCustomOrderAndAlphabetical(texts, *listed_);
    for (const std::string& key : texts) order.push_back(static_cast<std::uint32_t>(*dictionary.indexOf(key)));
    return;
  }
  for (std::size_t i = 0; i < keys.size(); ++i) order.push_back(static_cast<std::uint32_t>(i));
  const auto byBytes = [&keys](std::uint32_t a, std::uint32_t b) { return keys[a].view() < keys[b].view(); };
  if (order_ == JsonKeyOrder::canonical) {
    const bool ascii = std::all_of(keys.begin(), keys.end(), [](const JsonText& key) {
      return std::all_of(key.view().begin(), key.view().end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    });
    // ASCII texts are in `compareText`'s order as bytes.
    if (!ascii) {
      sortPlaces(order, [&keys](std::uint32_t a, std::uint32_t b) {
        const int c = compareText(keys[a].view(), keys[b].view());
        return c != 0 ? c < 0 : keys[a].view() < keys[b].view();
      });
      return;
    }
  }
  sortPlaces(order, byBytes);
}

// ---- Prefetching --------------------------------------------------------------

void JsonMemberPrefetch::members(const JsonDictionary& dictionary) {
  // A parsed dictionary's members were stored just before it, so the span
  // from the lowest of them to its end holds them all: ask for that span at
  // once, unless an enclosing dictionary's span already covered it.
  const auto entries = dictionary.entries();
  const auto high = reinterpret_cast<std::uintptr_t>(entries.data() + entries.size());
  std::uintptr_t low = reinterpret_cast<std::uintptr_t>(entries.data()) - sizeof(DictionaryBlock);
  // A dictionary inside the span asked for last (a record's "user") has its
  // members there too, stored between the record's first member and itself.
  if (low >= low_ && high <= high_) return;
  for (const JsonDictionary::Entry& entry : entries) {
    const std::uintptr_t at = storageOf(entry.second);
    if (at != 0 && at < low) low = at;
  }
  constexpr std::uintptr_t kLargestSpan = 256 * 1024;
  if (high - low > kLargestSpan || (low >= low_ && high <= high_)) return;
  for (std::uintptr_t line = low; line < high; line += 64) __builtin_prefetch(reinterpret_cast<const void*>(line));
  low_ = low;
  high_ = high;
}

// ---- Numbers and texts --------------------------------------------------------

bool writeJsonNumber(JsonTextBuffer& out, const JsonNumber& number) {
  switch (number.kind()) {
    case JsonNumber::Kind::boolean:
      if (number.boolValue()) {
        out.put("true", 4);
      } else {
        out.put("false", 5);
      }
      return true;
    case JsonNumber::Kind::floating: {
      const double d = number.doubleValue();
      if (!std::isfinite(d)) return false;
      out.advance(writeDoubleText(out.room(kDoubleTextCapacity), d));
      return true;
    }
    case JsonNumber::Kind::signedInteger:
    case JsonNumber::Kind::character: {
      char* at = out.room(24);
      out.advance(std::to_chars(at, at + 24, *number.exactly<std::int64_t>()).ptr);
      return true;
    }
    case JsonNumber::Kind::unsignedInteger: {
      char* at = out.room(24);
      out.advance(std::to_chars(at, at + 24, *number.exactly<std::uint64_t>()).ptr);
      return true;
    }
    case JsonNumber::Kind::decimal: {
      const std::string digits = number.stringValue();
      out.put(digits.data(), digits.size());
      return true;
    }
  }
  return true;
}

void writeJsonString(JsonTextBuffer& out, const JsonText& text) {
  if constexpr (std::endian::native == std::endian::little) {
    // Most keys and many values are short and held in place: sixteen
    // readable bytes, checked and copied at once.
    if (text.isInline()) {
      const std::size_t length = text.size();
      std::uint64_t low;
      std::uint64_t high;
      std::memcpy(&low, text.data(), 8);
      std::memcpy(&high, text.data() + 8, 8);
      const auto bytesBelow = [](std::size_t n) {
        return n >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * n)) - 1;
      };
      const std::uint64_t marks =
          (bytesToLookAt(low) & bytesBelow(length)) | (bytesToLookAt(high) & bytesBelow(length > 8 ? length - 8 : 0));
      if (marks == 0) {
        char* at = out.room(18);
        at[0] = '"';
        std::memcpy(at + 1, text.data(), 16);
        at[1 + length] = '"';
        out.advance(at + length + 2);
        return;
      }
    }
  }
  writeJsonString(out, text.view());
}

void writeJsonString(JsonTextBuffer& out, std::string_view text) {
  // The quotes and the bytes as they stand; an escape asks for more room.
  char* at = out.room(text.size() + 2);
  *at++ = '"';
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* const end = p + text.size();
  const auto* run = p;
  const auto flush = [&] {
    const auto length = static_cast<std::size_t>(p - run);
    std::memcpy(at, run, length);
    at += length;
  };
  while (p != end) {
    p = firstByteToLookAt(p, end);
    if (p == end) break;
    switch (kByteClass[*p]) {
      case kPlain: ++p; break;
      case kLeadByte:
        if (const std::size_t length = wellFormedUtf8Length(p, end)) {
          p += length;
        } else {
          // Ill-formed bytes are rare: the text helper replaces them.
          flush();
          std::string rest;
          appendStringEncodedForJson(
              rest, std::string_view(reinterpret_cast<const char*>(p), static_cast<std::size_t>(end - p)));
          out.advance(at);
          out.put(rest.data(), rest.size());
          out.put('"');
          return;
        }
        break;
      default: {
        flush();
        out.advance(at);
        // Six bytes for this escape and room for the rest as it stands.
        at = out.room(6 + static_cast<std::size_t>(end - p) + 1);
        at = writeEscape(at, *p);
        run = ++p;
        break;
      }
    }
  }
  flush();
  *at++ = '"';
  out.advance(at);
}

}  // namespace vantrel::json_internal
