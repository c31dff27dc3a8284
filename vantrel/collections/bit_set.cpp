#include "vantrel/collections/bit_set.h"

#include <algorithm>
#include <bit>

#include "vantrel/core/fatal.h"
#include "vantrel/core/number_text.h"
#include "vantrel/text/string_services.h"

namespace vantrel {
namespace {

constexpr std::uint64_t allOnes = ~std::uint64_t{0};

std::string zeroPadded(std::string digits, std::size_t length) {
  if (digits.size() < length) digits.insert(0, length - digits.size(), '0');
  return digits;
}

// 64 binary digits, most significant bit first.
std::string binaryDigits(std::uint64_t word) {
  std::string text(64, '0');
  for (int bit = 0; bit < 64; ++bit) {
    if ((word >> bit) & 1) text[static_cast<std::size_t>(63 - bit)] = '1';
  }
  return text;
}

}  // namespace

std::string bitsToString(std::uint64_t word) {
  std::string text(64, '0');
  for (int bit = 0; bit < 64; ++bit) {
    if ((word >> bit) & 1) text[static_cast<std::size_t>(bit)] = '1';
  }
  return text;
}

BitSet::BitSet(std::int64_t size) : size_(size) {
  if (size < 1) fatal("BitSet size " + integerText(size) + " is below 1");
  words_.assign(static_cast<std::size_t>((size - 1) / 64) + 1, 0);
}

void BitSet::indexOutOfRange(std::int64_t index, std::int64_t size) {
  fatal("BitSet index " + integerText(index) + " out of range 0..<" + integerText(size));
}

std::uint64_t BitSet::lastWordMask() const {
  const std::int64_t rest = size_ % 64;
  return rest == 0 ? allOnes : (std::uint64_t{1} << rest) - 1;
}

bool BitSet::isSet(std::int64_t index) const { return (*this)[index]; }

void BitSet::set(std::int64_t index, bool value) {
  if (value) {
    set(index);
  } else {
    clear(index);
  }
}

void BitSet::set(std::int64_t index) {
  checkIndex(index);
  words_[static_cast<std::size_t>(index / 64)] |= std::uint64_t{1} << (index % 64);
}

void BitSet::clear(std::int64_t index) {
  checkIndex(index);
  words_[static_cast<std::size_t>(index / 64)] &= ~(std::uint64_t{1} << (index % 64));
}

bool BitSet::flip(std::int64_t index) {
  checkIndex(index);
  std::uint64_t& word = words_[static_cast<std::size_t>(index / 64)];
  word ^= std::uint64_t{1} << (index % 64);
  return (word >> (index % 64)) & 1;
}

void BitSet::setAll() {
  std::fill(words_.begin(), words_.end(), allOnes);
  words_.back() &= lastWordMask();
}

void BitSet::clearAll() { std::fill(words_.begin(), words_.end(), 0); }

std::int64_t BitSet::cardinality() const {
  std::int64_t count = 0;
  for (std::uint64_t word : words_) count += std::popcount(word);
  return count;
}

bool BitSet::all1() const {
  for (std::size_t w = 0; w + 1 < words_.size(); ++w) {
    if (words_[w] != allOnes) return false;
  }
  return words_.back() == lastWordMask();
}

bool BitSet::any1() const { return !all0(); }

bool BitSet::all0() const {
  return std::all_of(words_.begin(), words_.end(), [](std::uint64_t w) { return w == 0; });
}

std::int64_t BitSet::hashValue() const {
  std::uint64_t h = 1234;
  for (std::size_t i = words_.size(); i >= 1; --i) h ^= words_[i - 1] * i;
  // Values of 2^63 and above keep their bit pattern.
  return static_cast<std::int64_t>((h >> 32) ^ h);
}

std::string BitSet::description() const {
  std::string text;
  for (std::uint64_t word : words_) text += bitsToString(word) + " ";
  return text;
}

std::string BitSet::bitCode() const {
  std::string text;
  for (std::size_t w = words_.size(); w-- > 0;) {
    if (!text.empty()) text += '/';
    text += binaryDigits(words_[w]);
  }
  const std::int64_t rest = size_ % 64;
  if (rest > 0) text.erase(0, static_cast<std::size_t>(64 - rest));
  return text;
}

std::string BitSet::hexCode() const {
  const std::int64_t rest = size_ % 64;
  const std::size_t lastDigits = rest == 0 ? 16 : static_cast<std::size_t>((rest + 3) / 4);
  std::string text = "0x" + zeroPadded(hexString(words_.back()), lastDigits);
  for (std::size_t w = words_.size() - 1; w-- > 0;) {
    text += '/';
    text += zeroPadded(hexString(words_[w]), 16);
  }
  return text;
}

std::string BitSet::hexDescription() const {
  return "BitSet(" + integerText(size_) + " bits: " + hexCode() + ")";
}

void BitSet::setOnlyWord(std::uint64_t value) {
  std::fill(words_.begin(), words_.end(), 0);
  words_[0] = words_.size() == 1 ? value & lastWordMask() : value;
}

bool BitSet::setToBitCoded(std::string_view code) {
  if (code.empty() || code.size() > 64) return false;
  std::uint64_t value = 0;
  for (char c : code) {
    if (c != '0' && c != '1') return false;
    value = (value << 1) | static_cast<std::uint64_t>(c - '0');
  }
  setOnlyWord(value);
  return true;
}

bool BitSet::setToHexCoded(std::string_view code) {
  if (code.size() < 3 || code.substr(0, 2) != "0x") return false;
  const auto value = parseHex(code.substr(2));
  if (!value) return false;
  setOnlyWord(*value);
  return true;
}

std::vector<std::pair<bool, ClosedRange<std::int64_t>>> BitSet::continuousRanges() const {
  std::vector<std::pair<bool, ClosedRange<std::int64_t>>> runs;
  std::int64_t start = 0;
  bool value = isSet(0);
  for (std::int64_t i = 1; i <= size_; ++i) {
    if (i == size_ || isSet(i) != value) {
      runs.emplace_back(value, ClosedRange<std::int64_t>(start, i - 1));
      if (i < size_) {
        start = i;
        value = !value;
      }
    }
  }
  return runs;
}

template <class Op, class Tail>
BitSet BitSet::combined(const BitSet& a, const BitSet& b, Op op, Tail tail) {
  const BitSet& longer = a.words_.size() >= b.words_.size() ? a : b;
  const std::size_t common = std::min(a.words_.size(), b.words_.size());
  BitSet result(std::max(a.size_, b.size_));
  for (std::size_t w = 0; w < result.words_.size(); ++w) {
    result.words_[w] = w < common ? op(a.words_[w], b.words_[w]) : tail(longer.words_[w]);
  }
  return result;
}

BitSet operator&(const BitSet& a, const BitSet& b) {
  return BitSet::combined(a, b, [](std::uint64_t x, std::uint64_t y) { return x & y; },
                  [](std::uint64_t) { return std::uint64_t{0}; });
}

BitSet operator|(const BitSet& a, const BitSet& b) {
  return BitSet::combined(a, b, [](std::uint64_t x, std::uint64_t y) { return x | y; },
                  [](std::uint64_t w) { return w; });
}

BitSet operator^(const BitSet& a, const BitSet& b) {
  return BitSet::combined(a, b, [](std::uint64_t x, std::uint64_t y) { return x ^ y; },
                  [](std::uint64_t w) { return w; });
}

BitSet operator~(const BitSet& a) {
  BitSet result(a.size());
  for (std::size_t w = 0; w < a.words().size(); ++w) result.words_[w] = ~a.words()[w];
  result.words_.back() &= result.lastWordMask();
  return result;
}

}  // namespace vantrel
