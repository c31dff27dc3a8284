#include "vantrel/json/json_writer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>

#include "vantrel/core/number_text.h"
#include "vantrel/json/internal/json_bytes.h"
#include "vantrel/json/json.h"
#include "vantrel/text/escaping.h"

namespace vantrel {
namespace {

std::string writerErrorText(JsonWriterError::Case c, const PlatformValue& payload) {
  switch (c) {
    case JsonWriterError::dictionaryWithNoStringKey: return "dictionaryWithNoStringKey";
    case JsonWriterError::invalidValue: return "invalidValue(" + payload.description() + ")";
    case JsonWriterError::invalidRootObject: return "invalidRootObject";
    case JsonWriterError::nestingTooDeep: return "nestingTooDeep";
  }
  return {};
}

// Texts and keys: runs of bytes that stay as they are are copied at once;
// a run is checked eight bytes at a time while nothing in it needs a look.

using json_internal::bytesToLookAt;
using json_internal::firstByteToLookAt;
using json_internal::wellFormedUtf8Length;

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
    return address(dictionary->begin(), sizeof(json_internal::DictionaryBlock));
  }
  if (const PlatformValue::Array* array = value.array()) {
    return address(array->data(), sizeof(json_internal::ArrayBlock));
  }
  if (const JsonText* text = value.text(); text && !text->isInline()) return address(text->data(), 0);
  return 0;
}

}  // namespace

JsonWriterError::JsonWriterError(Case c, PlatformValue payload)
    : Error(writerErrorText(c, payload)), case_(c), payload_(std::move(payload)) {}

JsonWriter::JsonWriter(std::optional<std::string> indentString, bool sortKeys,
                       std::optional<std::vector<std::string>> sortKeyOrder)
    : indentString_(std::move(indentString)), sortKeys_(sortKeys), sortKeyOrder_(std::move(sortKeyOrder)) {
  if (sortKeyOrder_) {
    // A key listed twice keeps its first place.
    CustomOrderDictionary positions;
    for (std::size_t i = 0; i < sortKeyOrder_->size(); ++i) {
      positions.emplace((*sortKeyOrder_)[i], static_cast<std::int64_t>(i));
    }
    sortKeyOrder_customOrderDictionary_ = std::move(positions);
  }
  dest_.reserve(1'000'000);
  if (indentString_) indentRun_ = *indentString_;
}

std::string JsonWriter::classString(const PlatformValue& root) { return JsonWriter().string(root); }

std::string JsonWriter::string(const PlatformValue& root) & {
  write(root);
  return dest_;
}

std::string JsonWriter::string(const PlatformValue& root) && {
  write(root);
  return std::move(dest_);
}

void JsonWriter::write(const PlatformValue& root) {
  const PlatformValue::Array* array = root.array();
  const JsonDictionary* dictionary = root.dictionary();
  if (!array && !dictionary) throw Errur(Errur::invalidRootObject);
  // The keys remembered may share long texts, and so a parsed document, with
  // the value of the last call: let them go.
  for (KeyOrder& cached : keyOrders_) cached.keys.clear();
  // Every call starts outside any container, and a failed call takes back
  // what it appended, so the text stays valid JSON. The text is written
  // through a cursor into the string's spare room, then cut to length.
  const std::size_t start = dest_.size();
  // Room is made as the text grows: every byte of it is zeroed first.
  dest_.resize(start + 4096);
  cursor_ = dest_.data() + start;
  limit_ = dest_.data() + dest_.size();
  prefetchedLow_ = prefetchedHigh_ = 0;
  depth_ = 0;
  try {
    if (array) {
      writeArray(*array);
    } else {
      writeDictionary(*dictionary);
    }
  } catch (...) {
    dest_.resize(start);
    depth_ = 0;
    throw;
  }
  put('\n');
  dest_.resize(static_cast<std::size_t>(cursor_ - dest_.data()));
}

void JsonWriter::grow(std::size_t bytes) {
  const auto used = static_cast<std::size_t>(cursor_ - dest_.data());
  dest_.resize(std::max(dest_.size() * 2, used + bytes + 4096));
  cursor_ = dest_.data() + used;
  limit_ = dest_.data() + dest_.size();
}

void JsonWriter::newLine() {
  const std::size_t width = static_cast<std::size_t>(depth_) * indentString_->size();
  if (indentRun_.size() < width) {
    while (indentRun_.size() < width) indentRun_ += *indentString_;
  }
  char* out = room(width + 1);
  *out++ = '\n';
  std::memcpy(out, indentRun_.data(), width);
  cursor_ = out + width;
}

void JsonWriter::writeText(const JsonText& text) {
  if constexpr (std::endian::native == std::endian::little) {
    // Most keys and many values are short and held in place: sixteen
    // readable bytes, checked and copied at once.
    if (text.isInline()) {
      const std::size_t length = text.size();
      std::uint64_t low;
      std::uint64_t high;
      std::memcpy(&low, text.data(), 8);
      std::memcpy(&high, text.data() + 8, 8);
      const auto bytesBelow = [](std::size_t n) { return n >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * n)) - 1; };
      const std::uint64_t marks =
          (bytesToLookAt(low) & bytesBelow(length)) | (bytesToLookAt(high) & bytesBelow(length > 8 ? length - 8 : 0));
      if (marks == 0) {
        char* out = room(18);
        out[0] = '"';
        std::memcpy(out + 1, text.data(), 16);
        out[1 + length] = '"';
        cursor_ = out + length + 2;
        return;
      }
    }
  }
  writeText(text.view());
}

void JsonWriter::writeText(std::string_view text) {
  // The quotes and the bytes as they stand; an escape asks for more room.
  char* out = room(text.size() + 2);
  *out++ = '"';
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* const end = p + text.size();
  const auto* run = p;
  const auto flush = [&] {
    const auto length = static_cast<std::size_t>(p - run);
    std::memcpy(out, run, length);
    out += length;
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
          cursor_ = out;
          out = room(rest.size() + 1);
          std::memcpy(out, rest.data(), rest.size());
          cursor_ = out + rest.size();
          put('"');
          return;
        }
        break;
      default: {
        flush();
        cursor_ = out;
        // Six bytes for this escape and room for the rest as it stands.
        out = room(6 + static_cast<std::size_t>(end - p) + 1);
        out = writeEscape(out, *p);
        run = ++p;
        break;
      }
    }
  }
  flush();
  *out++ = '"';
  cursor_ = out;
}

void JsonWriter::writeArray(const PlatformValue::Array& array) {
  const bool lines = indentString_.has_value();
  if (depth_ >= kMaxJsonDepth) throw Errur(Errur::nestingTooDeep);
  put('[');
  ++depth_;
  const std::size_t count = array.size();
  for (std::size_t i = 0; i < count; ++i) {
    if (lines) newLine();
    writeElement(array[i]);
    if (i + 1 != count) put(',');
  }
  --depth_;
  if (lines) newLine();
  put(']');
}

void JsonWriter::prefetchMembers(const JsonDictionary& dictionary) {
  // Sorted, the members are met out of their order in memory, which the
  // processor does not foresee. A parsed dictionary's members were stored
  // just before it, so the span from the lowest of them to its end holds
  // them all: ask for that span at once, unless an enclosing dictionary's
  // span already covered it.
  const auto entries = dictionary.entries();
  const auto high = reinterpret_cast<std::uintptr_t>(entries.data() + entries.size());
  std::uintptr_t low = reinterpret_cast<std::uintptr_t>(entries.data()) - sizeof(json_internal::DictionaryBlock);
  for (const JsonDictionary::Entry& entry : entries) {
    const std::uintptr_t at = storageOf(entry.second);
    if (at != 0 && at < low) low = at;
  }
  constexpr std::uintptr_t kLargestSpan = 256 * 1024;
  if (high - low > kLargestSpan || (low >= prefetchedLow_ && high <= prefetchedHigh_)) return;
  for (std::uintptr_t line = low; line < high; line += 64) __builtin_prefetch(reinterpret_cast<const void*>(line));
  prefetchedLow_ = low;
  prefetchedHigh_ = high;
}

void JsonWriter::writeDictionary(const JsonDictionary& dictionary) {
  const bool lines = indentString_.has_value();
  if (depth_ >= kMaxJsonDepth) throw Errur(Errur::nestingTooDeep);
  put('{');
  ++depth_;
  const auto entries = dictionary.entries();
  const std::size_t count = entries.size();
  const std::uint32_t* order = count != 0 && sortKeys_ ? keyOrder(dictionary).data() : nullptr;
  if (order) prefetchMembers(dictionary);
  for (std::size_t i = 0; i < count; ++i) {
    const JsonDictionary::Entry& entry = entries[order ? order[i] : i];
    if (lines) newLine();
    writeText(entry.first);
    if (lines) {
      put(" : ", 3);
    } else {
      put(':');
    }
    writeElement(entry.second);
    if (i + 1 != count) put(',');
  }
  --depth_;
  if (lines) newLine();
  put('}');
}

const std::vector<std::uint32_t>& JsonWriter::keyOrder(const JsonDictionary& dictionary) {
  const auto& entries = dictionary.entries();
  const std::size_t count = entries.size();
  const auto depth = static_cast<std::size_t>(depth_);
  const std::size_t first = depth * kKeyOrdersPerDepth;
  if (keyOrders_.size() < first + kKeyOrdersPerDepth) {
    keyOrders_.resize(first + kKeyOrdersPerDepth);
    keyOrderTurns_.resize(depth + 1);
  }
  for (std::size_t slot = first; slot < first + kKeyOrdersPerDepth; ++slot) {
    const KeyOrder& cached = keyOrders_[slot];
    if (cached.keys.size() != count) continue;
    std::size_t i = 0;
    while (i < count && cached.keys[i] == entries[i].first) ++i;
    if (i == count) return cached.order;
  }
  // Replaced in turn: siblings of different shapes (a record's "user" and
  // "entities") keep theirs.
  std::uint8_t& turn = keyOrderTurns_[depth];
  KeyOrder& cached = keyOrders_[first + turn];
  turn = static_cast<std::uint8_t>((turn + 1) % kKeyOrdersPerDepth);
  cached.keys.clear();
  for (const auto& entry : entries) cached.keys.push_back(entry.first);
  std::vector<std::uint32_t>& order = cached.order;
  order.clear();
  if (sortKeyOrder_customOrderDictionary_) {
    std::vector<std::string> keys;
    keys.reserve(count);
    for (const JsonText& key : cached.keys) keys.push_back(key.str());
    keys = sortWithCustomOrderAndAlphabetical(keys, *sortKeyOrder_customOrderDictionary_);
    for (const std::string& key : keys) order.push_back(static_cast<std::uint32_t>(*dictionary.indexOf(key)));
    return order;
  }
  for (std::size_t i = 0; i < count; ++i) order.push_back(static_cast<std::uint32_t>(i));
  // Byte order of UTF-8 is the order of Unicode scalars; keys are distinct
  // as bytes, so the order is total and any sort gives the one result.
  const std::vector<JsonText>& keys = cached.keys;
  const auto before = [&keys](std::uint32_t a, std::uint32_t b) { return keys[a].view() < keys[b].view(); };
  if (std::is_sorted(order.begin(), order.end(), before)) return order;
  if (count <= 16) {
    for (std::size_t i = 1; i < count; ++i) {
      const std::uint32_t moving = order[i];
      std::size_t j = i;
      for (; j > 0 && before(moving, order[j - 1]); --j) order[j] = order[j - 1];
      order[j] = moving;
    }
  } else {
    std::sort(order.begin(), order.end(), before);
  }
  return order;
}

void JsonWriter::writeElement(const PlatformValue& value) {
  switch (value.kind()) {
    case PlatformValue::Kind::number: {
      const JsonNumber& number = *value.number();
      switch (number.kind()) {
        case JsonNumber::Kind::boolean:
          if (number.boolValue()) {
            put("true", 4);
          } else {
            put("false", 5);
          }
          return;
        case JsonNumber::Kind::floating: {
          const double d = *number.exactly<double>();
          // A decimal is JSON as read, whatever its size; a double NaN or
          // infinity has no JSON form.
          if (!std::isfinite(d)) throw Errur(Errur::invalidValue, value);
          cursor_ = writeDoubleText(room(kDoubleTextCapacity), d);
          return;
        }
        case JsonNumber::Kind::signedInteger:
        case JsonNumber::Kind::character: {
          char* out = room(24);
          cursor_ = std::to_chars(out, out + 24, *number.exactly<std::int64_t>()).ptr;
          return;
        }
        case JsonNumber::Kind::unsignedInteger: {
          char* out = room(24);
          cursor_ = std::to_chars(out, out + 24, *number.exactly<std::uint64_t>()).ptr;
          return;
        }
        case JsonNumber::Kind::decimal: {
          const std::string digits = number.stringValue();
          put(digits.data(), digits.size());
          return;
        }
      }
      return;
    }
    case PlatformValue::Kind::text: writeText(*value.text()); return;
    case PlatformValue::Kind::null: put("null", 4); return;
    case PlatformValue::Kind::dictionary: writeDictionary(*value.dictionary()); return;
    case PlatformValue::Kind::array: writeArray(*value.array()); return;
    case PlatformValue::Kind::opaque: throw Errur(Errur::invalidValue, value);
  }
}

std::string JsonView::makeStringJsonWriter(std::string indentString,
                                       std::optional<std::vector<std::string>> sortKeyOrder) const {
  return JsonWriter(std::move(indentString), true, std::move(sortKeyOrder)).string(managedJsonObject());
}

}  // namespace vantrel
