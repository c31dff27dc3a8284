#include "vantrel/json/internal/json_reader.h"

#include <rapidjson/error/en.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "vantrel/core/number_text.h"
#include "vantrel/core/utf8.h"
#include "vantrel/json/internal/json_arena.h"
#include "vantrel/json/internal/json_bytes.h"
#include "vantrel/json/json.h"

namespace vantrel::json_internal {

namespace {

// An arena's count while its document is read (see `readJson`).
constexpr std::size_t kReading = std::size_t{1} << 62;

// Powers of ten that doubles hold exactly.
constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The reader's messages are RapidJSON's English texts, which earlier
// releases reported and callers may show.
std::string messageFor(rapidjson::ParseErrorCode code) { return rapidjson::GetParseError_En(code); }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Strict RFC 8259 reading straight into values. The containers being read
// live on heap stacks, so nesting costs no native stack; the depth bound is
// the caller's promise to the rest of the module.
class Reader {
 public:
  Reader(std::string_view data, DocumentArena& arena)
      : begin_(data.data()), p_(data.data()), end_(data.data() + data.size()), arena_(arena) {
    values_.reserve(64);
    keys_.reserve(64);
  }

  PlatformValue read() {
    skipSpace();
    if (p_ == end_) fail(p_, rapidjson::kParseErrorDocumentEmpty);
    readValue();
    skipSpace();
    if (p_ != end_) fail(p_, rapidjson::kParseErrorDocumentRootNotSingular);
    return std::move(values_.back());
  }

 private:
  struct Frame {
    bool object;
    std::size_t firstValue;
    std::size_t firstKey;
  };

  [[noreturn]] void fail(const char* at, std::string message) {
    throw JsonReadError(static_cast<std::size_t>(at - begin_), std::move(message));
  }
  [[noreturn]] void fail(const char* at, rapidjson::ParseErrorCode code) { fail(at, messageFor(code)); }

  void skipSpace() {
    // Mostly there is none: one comparison tells.
    while (p_ != end_ && static_cast<unsigned char>(*p_) <= ' ' &&
           (*p_ == ' ' || *p_ == '\n' || *p_ == '\r' || *p_ == '\t')) {
      ++p_;
    }
  }

  // One value at `p_`, containers included; iterative.
  void readValue() {
    std::vector<Frame>& frames = frames_;
    for (;;) {
      // A value is expected at p_ (spaces skipped).
      if (p_ == end_) fail(p_, rapidjson::kParseErrorValueInvalid);
      const char c = *p_;
      if (c == '[' || c == '{') {
        if (static_cast<int>(frames.size()) >= kMaxJsonDepth) fail(p_, "Nesting deeper than 512 levels.");
        const bool object = c == '{';
        frames.push_back(Frame{object, values_.size(), keys_.size()});
        ++p_;
        skipSpace();
        if (p_ != end_ && *p_ == (object ? '}' : ']')) {
          ++p_;
          close();
        } else if (object) {
          readKey();
          continue;
        } else {
          continue;
        }
      } else {
        readScalar();
      }
      // After a value: a separator, the end of containers, or the end.
      for (;;) {
        if (frames.empty()) return;
        skipSpace();
        const Frame& frame = frames.back();
        if (p_ != end_ && *p_ == ',') {
          ++p_;
          skipSpace();
          if (frame.object) readKey();
          break;
        }
        if (p_ != end_ && *p_ == (frame.object ? '}' : ']')) {
          ++p_;
          close();
          continue;
        }
        fail(p_, frame.object ? rapidjson::kParseErrorObjectMissCommaOrCurlyBracket
                              : rapidjson::kParseErrorArrayMissCommaOrSquareBracket);
      }
    }
  }

  // A member's name and colon; leaves p_ at its value.
  void readKey() {
    if (p_ == end_ || *p_ != '"') fail(p_, rapidjson::kParseErrorObjectMissName);
    keys_.push_back(readString());
    skipSpace();
    if (p_ == end_ || *p_ != ':') fail(p_, rapidjson::kParseErrorObjectMissColon);
    ++p_;
    skipSpace();
  }

  void close() {
    const Frame frame = frames_.back();
    frames_.pop_back();
    const std::size_t count = values_.size() - frame.firstValue;
    PlatformValue* values = values_.data() + frame.firstValue;
    // Moving a value leaves a null behind and changes no count.
    if (frame.object) {
      if (count == 0) {
        values_.emplace_back(JsonDictionary());
        return;
      }
      auto* block = new (arena_.allocate(sizeof(DictionaryBlock) + count * sizeof(JsonDictionaryEntry)))
          DictionaryBlock;
      block->header.arena = &arena_;
      block->header.kind = BlockKind::dictionary;
      block->capacity = count;
      JsonText* keys = keys_.data() + frame.firstKey;
      for (std::size_t i = 0; i < count; ++i) {
        new (block->entries() + i) JsonDictionaryEntry{std::move(keys[i]), std::move(values[i])};
      }
      block->size = count;
      indexDictionary(*block, &arena_);
      values_.resize(frame.firstValue);
      keys_.resize(frame.firstKey);
      values_.emplace_back(adoptBlock, block);
    } else {
      if (count == 0) {
        values_.emplace_back(PlatformValue::Array());
        return;
      }
      auto* block = new (arena_.allocate(sizeof(ArrayBlock) + count * sizeof(PlatformValue))) ArrayBlock;
      block->header.arena = &arena_;
      block->header.kind = BlockKind::array;
      block->capacity = count;
      for (std::size_t i = 0; i < count; ++i) new (block->elements() + i) PlatformValue(std::move(values[i]));
      block->size = count;
      values_.resize(frame.firstValue);
      values_.emplace_back(adoptBlock, block);
    }
  }

  void readScalar() {
    const char c = *p_;
    switch (c) {
      case '"': values_.emplace_back(readString()); return;
      case 't': literal("true"), values_.emplace_back(true); return;
      case 'f': literal("false"), values_.emplace_back(false); return;
      case 'n': literal("null"), values_.emplace_back(); return;
      default:
        if (c == '-' || isDigit(c)) {
          readNumber(values_.emplace_back());
          return;
        }
        fail(p_, rapidjson::kParseErrorValueInvalid);
    }
  }

  void literal(std::string_view word) {
    // The offset is that of the first character that differs.
    for (const char expected : word) {
      if (p_ == end_ || *p_ != expected) fail(p_, rapidjson::kParseErrorValueInvalid);
      ++p_;
    }
  }

  // Any spelling the grammar allows is read; the kind follows from the
  // value (`JsonNumber::fromValidToken`), never from the length of the
  // digits or the exponent.
  // The number at `p_`, made in `slot` (a null value, which holds nothing
  // to let go of).
  void readNumber(PlatformValue& slot) {
    const char* start = p_;
    const bool negative = *p_ == '-';
    if (negative) ++p_;
    if (p_ == end_ || !isDigit(*p_)) fail(p_, rapidjson::kParseErrorValueInvalid);
    // The significant digits, while at most 19 of them have been seen.
    std::uint64_t value = 0;
    int significant = 0;
    if (*p_ == '0') {
      ++p_;
    } else {
      while (p_ != end_ && isDigit(*p_)) {
        value = value * 10 + static_cast<std::uint64_t>(*p_ - '0');
        ++significant;
        ++p_;
      }
    }
    const std::size_t integerDigits = static_cast<std::size_t>(p_ - start) - (negative ? 1 : 0);
    bool integral = true;
    int scale = 0;  // the power of ten the digits are to be multiplied by
    if (p_ != end_ && *p_ == '.') {
      integral = false;
      ++p_;
      if (p_ == end_ || !isDigit(*p_)) fail(p_, rapidjson::kParseErrorNumberMissFraction);
      while (p_ != end_ && isDigit(*p_)) {
        if (significant < 19) {
          value = value * 10 + static_cast<std::uint64_t>(*p_ - '0');
          if (value != 0) ++significant;
          --scale;
        } else {
          significant = 20;  // too many to read here
        }
        ++p_;
      }
    }
    if (p_ != end_ && (*p_ == 'e' || *p_ == 'E')) {
      integral = false;
      ++p_;
      bool negativeExponent = false;
      if (p_ != end_ && (*p_ == '+' || *p_ == '-')) negativeExponent = *p_++ == '-';
      if (p_ == end_ || !isDigit(*p_)) fail(p_, rapidjson::kParseErrorNumberMissExponent);
      int exponent = 0;
      while (p_ != end_ && isDigit(*p_)) {
        if (exponent < 10000) exponent = exponent * 10 + (*p_ - '0');
        ++p_;
      }
      scale += negativeExponent ? -exponent : exponent;
    }
    if (integral && integerDigits <= 18) {
      // Up to 18 digits always fit a signed 64-bit integer.
      const auto magnitude = static_cast<std::int64_t>(value);
      new (&slot) PlatformValue(JsonNumber::fromInt(negative ? -magnitude : magnitude));
      return;
    }
    if (!integral && significant <= 19 && value <= (std::uint64_t{1} << 53) && scale >= -22 && scale <= 22) {
      // Both factors are exact doubles, so one correctly rounded operation
      // gives the nearest double, as a full conversion would.
      double d = static_cast<double>(value);
      d = scale < 0 ? d / kExactPowers[-scale] : d * kExactPowers[scale];
      new (&slot) PlatformValue(JsonNumber::fromDouble(negative ? -d : d));
      return;
    }
    const std::string_view token(start, static_cast<std::size_t>(p_ - start));
    if (!integral) {
      double d = 0;
      const auto [end, error] = std::from_chars(start, p_, d);
      if (error == std::errc() && end == p_ && std::isfinite(d)) {
        new (&slot) PlatformValue(JsonNumber::fromDouble(d));
        return;
      }
    }
    JsonNumber number = JsonNumber::fromValidToken(token, integral);
    if (number.kind() == JsonNumber::Kind::decimal) number = JsonNumber(adoptBlock, textBlock(token.data(), token.size()));
    slot = PlatformValue(std::move(number));
  }

  // A string at `p_` (its opening quote), unescaped and checked.
  JsonText readString() {
    ++p_;
    const auto* const end = reinterpret_cast<const unsigned char*>(end_);
    const auto* p = reinterpret_cast<const unsigned char*>(p_);
    const char* runStart = p_;
    // The common case: no escapes, so the text is the bytes as they stand.
    for (;;) {
      p = firstByteToLookAt(p, end);
      if (p == end) fail(end_, rapidjson::kParseErrorStringMissQuotationMark);
      if (*p == '"') {
        p_ = reinterpret_cast<const char*>(p);
        JsonText text = textOf(runStart, static_cast<std::size_t>(p_ - runStart));
        ++p_;
        return text;
      }
      if (*p == '\\') break;
      if (*p < 0x20) fail(reinterpret_cast<const char*>(p), rapidjson::kParseErrorStringEscapeInvalid);
      const std::size_t length = wellFormedUtf8Length(p, end);
      if (length == 0) fail(reinterpret_cast<const char*>(p), rapidjson::kParseErrorStringInvalidEncoding);
      p += length;
    }
    p_ = reinterpret_cast<const char*>(p);
    std::string& text = scratch_;
    text.assign(runStart, static_cast<std::size_t>(p_ - runStart));
    bool loneLowSurrogate = false;
    while (p_ != end_) {
      // Plain bytes up to the next one that needs a look, at once.
      const auto* next = firstByteToLookAt(reinterpret_cast<const unsigned char*>(p_), end);
      text.append(p_, reinterpret_cast<const char*>(next));
      p_ = reinterpret_cast<const char*>(next);
      if (p_ == end_) break;
      const auto c = static_cast<unsigned char>(*p_);
      if (c == '"') {
        ++p_;
        // An escaped low surrogate with no high one before it names no
        // character; it is told at the end of the string, as before.
        if (loneLowSurrogate) fail(p_, "Invalid escaped surrogate in string.");
        return textOf(text.data(), text.size());
      }
      if (c == '\\') {
        const char* escape = p_;
        ++p_;
        if (p_ == end_) fail(escape, rapidjson::kParseErrorStringEscapeInvalid);
        switch (*p_) {
          case '"': text += '"'; break;
          case '\\': text += '\\'; break;
          case '/': text += '/'; break;
          case 'b': text += '\b'; break;
          case 'f': text += '\f'; break;
          case 'n': text += '\n'; break;
          case 'r': text += '\r'; break;
          case 't': text += '\t'; break;
          case 'u': {
            // Faults of a \u escape, or of the pair it opens, are told at
            // the backslash of the escape that opens them.
            ++p_;
            std::uint32_t unit = hex4(escape);
            if (unit >= 0xD800 && unit <= 0xDBFF) {
              if (end_ - p_ < 2 || p_[0] != '\\' || p_[1] != 'u') {
                fail(escape, rapidjson::kParseErrorStringUnicodeSurrogateInvalid);
              }
              p_ += 2;
              const std::uint32_t low = hex4(escape);
              if (low < 0xDC00 || low > 0xDFFF) fail(escape, rapidjson::kParseErrorStringUnicodeSurrogateInvalid);
              unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
            } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
              loneLowSurrogate = true;
            }
            appendUtf8(text, static_cast<char32_t>(unit));
            continue;
          }
          default: fail(escape, rapidjson::kParseErrorStringEscapeInvalid);
        }
        ++p_;
        continue;
      }
      if (c < 0x20) fail(p_, rapidjson::kParseErrorStringEscapeInvalid);
      const std::size_t length = wellFormedUtf8Length(reinterpret_cast<const unsigned char*>(p_), end);
      if (length == 0) fail(p_, rapidjson::kParseErrorStringInvalidEncoding);
      text.append(p_, length);
      p_ += length;
    }
    fail(p_, rapidjson::kParseErrorStringMissQuotationMark);
  }

  // The four digits at `p_`; a fault is told at `escape`.
  std::uint32_t hex4(const char* escape) {
    std::uint32_t unit = 0;
    for (int i = 0; i < 4; ++i) {
      const int digit = p_ == end_ ? -1 : hexDigitValue(*p_);
      if (digit < 0) fail(escape, rapidjson::kParseErrorStringUnicodeEscapeInvalidHex);
      unit = unit * 16 + static_cast<std::uint32_t>(digit);
      ++p_;
    }
    return unit;
  }

  // Texts and decimal tokens live in the arena; they hold no counts.
  TextBlock* textBlock(const char* data, std::size_t length) {
    auto* block = new (arena_.allocate(sizeof(TextBlock) + length)) TextBlock;
    block->header.arena = &arena_;
    block->length = length;
    std::memcpy(block->data(), data, length);
    return block;
  }
  JsonText textOf(const char* data, std::size_t length) {
    if (length <= JsonText::kInlineCapacity) return JsonText(std::string_view(data, length));
    return JsonText(adoptBlock, textBlock(data, length));
  }

  const char* begin_;
  const char* p_;
  const char* end_;
  DocumentArena& arena_;
  std::vector<PlatformValue> values_;
  std::vector<JsonText> keys_;
  std::string scratch_;
  std::vector<Frame> frames_;
};

}  // namespace

PlatformValue readJson(std::string_view data, bool fragmentsAllowed) {
  if (!fragmentsAllowed) {
    std::size_t at = data.find_first_not_of(" \t\r\n");
    if (at != std::string_view::npos && data[at] != '[' && data[at] != '{') {
      throw JsonReadError(at, "A top-level value other than an array or object needs fragments allowed.");
    }
  }
  // Values take about twice their text's bytes; the arena grows as needed.
  auto* arena = new DocumentArena(data.size() * 2);
  // The values being read hold no counts of the arena, while a value
  // dropped on a failure lets go of one: the count stays out of their reach
  // until the root takes the first.
  arena->refs.store(kReading, std::memory_order_relaxed);
  PlatformValue root;
  try {
    Reader reader(data, *arena);
    root = reader.read();
  } catch (...) {
    delete arena;  // after the reader and what it read
    throw;
  }
  // Every block the arena gave went into the root.
  if (arena->isEmpty()) {
    delete arena;
  } else {
    arena->refs.store(1, std::memory_order_release);  // the root's
  }
  return root;
}

}  // namespace vantrel::json_internal
