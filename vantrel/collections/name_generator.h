// File: vantrel/collections/name_generator.h
//
// Every name that can be made from an alphabet, shortest first, each behind
// a fixed prefix: a finite, deterministic supply of short distinct names.
//
//   NameGenerator names(1, 2, "ab", "x");
//   for (const std::string& name : names) ...      xa, xb, xaa, xab, xba, xbb
//   NameGenerator().makeIterator().next()          "a"
//
// Names come by length from max(minLength, 0) to maxLength; within a length
// they run like an odometer whose rightmost letter turns fastest, in the
// order of the letters as given (not alphabetical order), so a length L
// gives lettersCount^L names. The letters are the characters (grapheme
// clusters, vantrel/text/characters.h) of `lettersString`, repeats
// included; a letter may be several scalars ("e" + combining acute, a flag).
//
// Arguments outside 1 <= minLength <= maxLength with at least one letter
// neither hang nor stop: a minLength of 0 (or below) gives the bare prefix
// once, then the longer names; no letters gives at most the bare prefix;
// minLength above maxLength gives nothing. Once an iterator has ended, every
// further `next()` answers nullopt.
//
// A name that could not be held is never built: the lengths stop at
// `maxBuildableLength` letters (2^20), and at the length whose letters could
// take more than `maxBuildableLetterBytes` (64 MiB, counted with the longest
// letter). Reaching such a length ends the iterator, so a minLength in the
// billions gives nothing rather than an allocation of gigabytes. `next()`
// never throws: a name that memory cannot hold ends the iterator too.
//
// The generator is immutable; each iterator (`makeIterator()`, `begin()`)
// starts from the first name and keeps its own state. A generator may be
// shared between threads; an iterator belongs to one.
#pragma once

#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/collections/any_iterator.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class NameGenerator;

class NameGeneratorIterator {
 public:
  // The next name, or nullopt once the names have run out.
  std::optional<std::string> next();

 private:
  [[nodiscard]] bool buildable(std::int64_t length) const;
  std::optional<std::string> advance();

  friend class NameGenerator;
  explicit NameGeneratorIterator(const NameGenerator& generator);

  // Copies of the generator's fields, so an iterator may outlive it.
  std::vector<std::string> letters_;
  std::string prefix_;
  std::int64_t maxLength_;
  std::int64_t length_;                 // the length of the current name
  std::vector<std::size_t> positions_;  // one index into letters_ per letter of the name
  std::int64_t longestLetter_ = 0;      // in bytes
  bool started_ = false;
  bool ended_ = false;
};

class NameGenerator {
 public:
  static constexpr std::string_view defaultLetters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  static constexpr std::int64_t maxBuildableLength = std::int64_t{1} << 20;
  static constexpr std::int64_t maxBuildableLetterBytes = std::int64_t{1} << 26;

  explicit NameGenerator(std::int64_t minLength = 1, std::int64_t maxLength = 10,
                         std::string_view lettersString = defaultLetters, std::string_view prefix = "");

  [[nodiscard]] std::int64_t maxLength() const { return maxLength_; }
  [[nodiscard]] std::int64_t minLength() const { return minLength_; }
  [[nodiscard]] const std::vector<std::string>& letters() const& { return letters_; }
  void letters() && = delete;  // the reference would outlive the generator
  [[nodiscard]] std::int64_t lettersCount() const { return static_cast<std::int64_t>(letters_.size()); }
  [[nodiscard]] const std::string& prefix() const& { return prefix_; }
  void prefix() && = delete;

  [[nodiscard]] NameGeneratorIterator makeIterator() const { return NameGeneratorIterator(*this); }
  [[nodiscard]] StepIteratorAdapter<NameGeneratorIterator> begin() const {
    return StepIteratorAdapter<NameGeneratorIterator>(makeIterator());
  }
  [[nodiscard]] std::default_sentinel_t end() const { return {}; }

 private:
  friend class NameGeneratorIterator;

  std::int64_t maxLength_;
  std::int64_t minLength_;
  std::vector<std::string> letters_;
  std::string prefix_;
};

}  // namespace vantrel
