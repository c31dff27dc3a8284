#include "vantrel/collections/bit_array.h"

#include <bit>

#include "vantrel/core/fatal.h"
#include "vantrel/core/number_text.h"

namespace vantrel {
namespace {

constexpr std::int64_t wordBits = 64;

std::size_t wordOf(std::int64_t index) { return static_cast<std::size_t>(index / wordBits); }
std::uint64_t maskOf(std::int64_t index) { return std::uint64_t{1} << (index % wordBits); }

}  // namespace

BitArray::BitArray(BitArray&& other) noexcept
    : count_(other.count_), cardinality_(other.cardinality_), words_(std::move(other.words_)) {
  other.count_ = 0;
  other.cardinality_ = 0;
  other.words_.clear();
  other.reshaped();
}

BitArray& BitArray::operator=(const BitArray& other) {
  if (this != &other) {
    words_ = other.words_;
    count_ = other.count_;
    cardinality_ = other.cardinality_;
    reshaped();
  }
  return *this;
}

BitArray& BitArray::operator=(BitArray&& other) noexcept {
  if (this != &other) {
    words_ = std::move(other.words_);
    count_ = other.count_;
    cardinality_ = other.cardinality_;
    other.words_.clear();
    other.count_ = 0;
    other.cardinality_ = 0;
    other.reshaped();
    reshaped();
  }
  return *this;
}

void BitArray::indexOutOfRange(std::int64_t index) {
  fatal("Index out of range (" + integerText(index) + ")");
}

void BitArray::iteratorMisused(std::int64_t index) {
  fatal("BitArray iterator used after the array changed, or outside it (" + integerText(index) + ")");
}

BitArray BitArray::fromCount(std::int64_t count, bool repeatedValue) {
  if (count < 0) fatal("Can't construct BitArray with count < 0");
  BitArray array;
  // One word more than the full words need, also for a multiple of 64.
  array.words_.assign(static_cast<std::size_t>(count / wordBits) + 1,
                      repeatedValue ? ~std::uint64_t{0} : 0);
  array.count_ = count;
  if (repeatedValue) {
    const std::int64_t rest = count % wordBits;
    array.words_.back() = rest == 0 ? 0 : (std::uint64_t{1} << rest) - 1;
    array.cardinality_ = count;
  }
  return array;
}

BitArray BitArray::fromIntRepresentation(const std::vector<std::int64_t>& values) {
  BitArray array;
  array.words_.reserve(values.size() / 64 + 1);
  for (std::int64_t v : values) array.append(v != 0);
  return array;
}

std::optional<bool> BitArray::first() const {
  if (count_ == 0) return std::nullopt;
  return (*this)[0];
}

std::optional<bool> BitArray::last() const {
  if (count_ == 0) return std::nullopt;
  return (*this)[count_ - 1];
}

void BitArray::checkIndex(std::int64_t index, std::int64_t limit) const {
  if (index < 0 || index >= limit) indexOutOfRange(index);
}

void BitArray::set(std::int64_t index, bool value) {
  checkIndex(index, count_);
  setValue(value, index);
}

void BitArray::setValue(bool value, std::int64_t index) {
  std::uint64_t& word = words_[wordOf(index)];
  const std::uint64_t mask = maskOf(index);
  const bool current = (word & mask) != 0;
  if (current && !value) --cardinality_;
  if (!current && value) ++cardinality_;
  if (value) {
    word |= mask;
  } else {
    word &= ~mask;
  }
}

void BitArray::append(bool value) {
  if (static_cast<std::size_t>(count_ / wordBits) >= words_.size()) words_.push_back(0);
  setValue(value, count_);
  ++count_;
  reshaped();
}

void BitArray::insert(bool value, std::int64_t atIndex) {
  checkIndex(atIndex, count_ + 1);
  append(false);
  // Move the elements atIndex ... count - 2 up by one, a word at a time:
  // the lower part of the first word stays, each word takes the top bit of
  // the word below. Only zero bits come in, so the cardinality holds.
  const std::size_t firstWord = wordOf(atIndex);
  const std::size_t lastWord = wordOf(count_ - 1);
  for (std::size_t w = lastWord; w > firstWord; --w) {
    words_[w] = (words_[w] << 1) | (words_[w - 1] >> 63);
  }
  const std::uint64_t low = maskOf(atIndex) - 1;  // bits below atIndex in its word
  std::uint64_t& word = words_[firstWord];
  word = (word & low) | ((word & ~low) << 1);
  // The top bit of a full last word has gone to the next word (or, for the
  // last element, nowhere: it was the appended zero).
  setValue(value, atIndex);
}

std::optional<bool> BitArray::removeLast() {
  if (count_ == 0) return std::nullopt;
  const bool value = (*this)[count_ - 1];
  setValue(false, count_ - 1);
  --count_;
  reshaped();
  return value;
}

bool BitArray::removeAtIndex(std::int64_t index) {
  checkIndex(index, count_);
  const bool value = (*this)[index];
  setValue(false, index);
  // Move the elements index + 1 ... count - 1 down by one, a word at a time.
  const std::size_t firstWord = wordOf(index);
  const std::size_t lastWord = wordOf(count_ - 1);
  const std::uint64_t low = maskOf(index) - 1;
  std::uint64_t& word = words_[firstWord];
  word = (word & low) | ((word >> 1) & ~low);
  for (std::size_t w = firstWord; w < lastWord; ++w) {
    words_[w] |= words_[w + 1] << 63;
    words_[w + 1] >>= 1;
  }
  --count_;
  reshaped();
  return value;
}

void BitArray::removeAll(bool keepCapacity) {
  if (keepCapacity) {
    words_.assign(1, 0);
  } else {
    std::vector<std::uint64_t>().swap(words_);
  }
  count_ = 0;
  cardinality_ = 0;
  reshaped();
}

std::string BitArray::description() const {
  std::string text = "[";
  for (std::int64_t i = 0; i < count_; ++i) {
    if (i > 0) text += ", ";
    text += (*this)[i] ? "true" : "false";
  }
  return text + "]";
}

std::int64_t BitArray::hashValue() const {
  // Each element XORs in b ^ 31, so only the parities of the count and of
  // the cardinality remain.
  std::int64_t h = count_ ^ 52;
  if (count_ % 2 != 0) h ^= 31;
  if (cardinality_ % 2 != 0) h ^= 1;
  return h;
}

AnyIterator<bool> BitArray::makeIterator() const {
  return AnyIterator<bool>([this, i = std::int64_t{0}]() mutable -> std::optional<bool> {
    if (i >= count_) return std::nullopt;
    return (*this)[i++];
  });
}

bool operator==(const BitArray& a, const BitArray& b) {
  if (a.count_ != b.count_ || a.cardinality_ != b.cardinality_) return false;
  // The bits past the count are 0 on both sides, so whole words compare.
  const std::size_t used = static_cast<std::size_t>((a.count_ + wordBits - 1) / wordBits);
  for (std::size_t w = 0; w < used; ++w) {
    if (a.words_[w] != b.words_[w]) return false;
  }
  return true;
}

}  // namespace vantrel
