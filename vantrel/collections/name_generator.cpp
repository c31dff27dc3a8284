#include "vantrel/collections/name_generator.h"

#include <algorithm>
#include <new>

#include "vantrel/text/characters.h"

namespace vantrel {

NameGenerator::NameGenerator(std::int64_t minLength, std::int64_t maxLength, std::string_view lettersString,
                             std::string_view prefix)
    : maxLength_(maxLength), minLength_(minLength), prefix_(prefix) {
  for (std::string_view letter : characters(lettersString)) letters_.emplace_back(letter);
}

NameGeneratorIterator::NameGeneratorIterator(const NameGenerator& generator)
    : letters_(generator.letters_),
      prefix_(generator.prefix_),
      maxLength_(generator.maxLength_),
      // A negative minimum would ask for names of negative length: the
      // lengths start at the empty name instead.
      length_(std::max<std::int64_t>(generator.minLength_, 0)) {
  for (const std::string& letter : letters_) {
    longestLetter_ = std::max(longestLetter_, static_cast<std::int64_t>(letter.size()));
  }
}

bool NameGeneratorIterator::buildable(std::int64_t length) const {
  // Divided rather than multiplied, so the huge lengths cannot overflow.
  return length <= NameGenerator::maxBuildableLength &&
         (longestLetter_ == 0 || length <= NameGenerator::maxBuildableLetterBytes / longestLetter_);
}

std::optional<std::string> NameGeneratorIterator::next() {
  if (ended_) return std::nullopt;
  try {
    return advance();
  } catch (const std::bad_alloc&) {
    // Below the bounds, yet more than memory holds (a long prefix, a tight
    // limit): the same answer as a length that cannot be built.
    ended_ = true;
    positions_ = {};
    return std::nullopt;
  }
}

std::optional<std::string> NameGeneratorIterator::advance() {
  if (!started_) {
    started_ = true;
    // Nothing to give when the lengths are empty, when the first length
    // needs a letter and there is none (no longer length has a name either),
    // or when that length is too long to build (so is every later one).
    if (length_ > maxLength_ || (length_ > 0 && letters_.empty()) || !buildable(length_)) {
      ended_ = true;
      return std::nullopt;
    }
    positions_.assign(static_cast<std::size_t>(length_), 0);
  } else {
    // The odometer: the rightmost position turns fastest, carrying left.
    std::size_t i = positions_.size();
    while (i > 0 && positions_[i - 1] + 1 == letters_.size()) positions_[--i] = 0;
    if (i > 0) {
      ++positions_[i - 1];
    } else {
      // Every position wrapped (or the name was empty): the next length. The
      // test comes before the increment, so a maximum of INT64_MAX cannot
      // overflow; and without letters no name is longer than the empty one.
      if (length_ >= maxLength_ || letters_.empty() || !buildable(length_ + 1)) {
        ended_ = true;
        return std::nullopt;
      }
      ++length_;
      positions_.assign(static_cast<std::size_t>(length_), 0);
    }
  }
  std::string name = prefix_;
  for (std::size_t position : positions_) name += letters_[position];
  return name;
}

}  // namespace vantrel
