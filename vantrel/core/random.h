// File: vantrel/core/random.h
//
// The one random source of the library. Every draw (picks, shuffles, random
// strings, tokens) goes through `randomUInt32`, `randomUniform` or
// `randomBytes`. By default they read the kernel's getrandom output (the
// cryptographic source arc4random reads), buffered one page per thread: a
// thread never sees another's draws, used bytes are wiped, and a forked
// child never repeats what its parent draws next (the page is wiped on
// fork). `randomUniform` is unbiased. A test replaces the source for a
// scope, so a draw order can be asserted exactly:
//
//   ScriptedRandomSource script({2, 0, 1});   // the next draws answer 2, 0, 1
//   ScopedRandomSource use(script);
//   EXPECT_EQ(randomUniform(3), 2u);
//
// `randomUniform(0)` answers 0 without drawing. A scripted source
// that runs out of values, or whose value is not below the bound asked for,
// stops the program: the test's script no longer matches the code.
// The override is process-wide (all threads see it); install it before the
// threads that draw start, and keep the source alive while it is installed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <mutex>
#include <vector>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class RandomSource {
 public:
  virtual ~RandomSource() = default;
  // Any 32-bit value.
  virtual std::uint32_t next() = 0;
  // A value in [0, upperBound); 0 when upperBound is 0.
  virtual std::uint32_t uniform(std::uint32_t upperBound) = 0;
  // Fills `size` bytes.
  virtual void fill(void* buffer, std::size_t size) = 0;
};

[[nodiscard]] std::uint32_t randomUInt32();
[[nodiscard]] std::uint32_t randomUniform(std::uint32_t upperBound);
void randomBytes(void* buffer, std::size_t size);

// The source in use now (the system one unless a scope replaced it).
[[nodiscard]] RandomSource& currentRandomSource();

// Replaces the random source until destroyed, then restores the previous one.
class ScopedRandomSource {
 public:
  explicit ScopedRandomSource(RandomSource& source);
  ~ScopedRandomSource();
  ScopedRandomSource(const ScopedRandomSource&) = delete;  // restores exactly once
  ScopedRandomSource& operator=(const ScopedRandomSource&) = delete;

 private:
  RandomSource* previous_;
};

// Answers a fixed list of values in order. `next()` and `uniform()` each take
// one value; `fill()` takes one value per byte (its low 8 bits).
class ScriptedRandomSource : public RandomSource {
 public:
  ScriptedRandomSource(std::initializer_list<std::uint32_t> values);
  explicit ScriptedRandomSource(std::vector<std::uint32_t> values);

  std::uint32_t next() override;
  std::uint32_t uniform(std::uint32_t upperBound) override;
  void fill(void* buffer, std::size_t size) override;

  // The bounds of every `uniform` call so far, in order.
  [[nodiscard]] std::vector<std::uint32_t> bounds() const;
  // How many values are left.
  [[nodiscard]] std::size_t remaining() const;

 private:
  std::uint32_t take();
  mutable std::mutex mutex_;
  std::vector<std::uint32_t> values_;
  std::size_t position_ = 0;
  std::vector<std::uint32_t> bounds_;
};

}  // namespace vantrel
