// File: vantrel/collections/random_generators.h
//
// Random generators behind one interface, for callers that need a source of
// their own: reproducible sequences from a seed, or the system's device.
//
//   Lfsr258 lfsr({2, 512, 4096, 131072, 8388608});   // seeded: same seed, same sequence
//   Xoroshiro fast({1, 2});                          // first draw: 3
//   MersenneTwister mt(5489);                        // the std::mt19937_64 sequence
//   MersenneTwister fresh;                           // seeded from /dev/urandom
//   std::uint64_t die = mt.random64(5) + 1;          // 1...6
//   double unit = mt.randomHalfOpen();               // [0, 1)
//   DevRandom device;                                // reads /dev/urandom
//   device.randomize(buffer, 32);
//
// Every generator satisfies `RandomGenerator`: `randomize(buffer, size)`,
// `random64()`, `random32()`, the bounded draws `random64(max)` /
// `random32(max)` (0...max, both included) and the doubles
// `randomHalfOpen()` [0, 1), `randomClosed()` [0, 1] and `randomOpen()`
// (0, 1). The word generators (`Lfsr258`, `Lfsr176`, `Xoroshiro`,
// `MersenneTwister`, `ConstantNonRandom`) also satisfy
// `RandomWordGenerator`: `randomWord()` is one step, and `random64()` is the
// same step. A generator gets the operations it does not define from the
// CRTP bases `RandomGeneratorDefaults` / `RandomWordGeneratorDefaults`.
//
// Byte fills from words store whole words little-endian; the last partial
// word's bytes go backwards from the end of the buffer (byte 0 of the word
// last), so `random32()` of a word generator is the low half of its next
// word with its bytes reversed. A bounded draw with max 0 answers 0
// without drawing; otherwise it redraws while a draw lies below
// (2^64 - 1) mod (max + 1) and answers the draw mod (max + 1).
//
// Generators are values: a copy of a seeded generator continues on its own.
// Copies of a `DevRandom` share one close-on-exec descriptor, closed when
// the last copy goes. The device must open and deliver every byte asked
// for: when it cannot (or ends), the program stops with a message naming
// the device; a negative size stops too. `Arc4Random` draws from the core
// random source (vantrel/core/random.h). A generator value belongs to one
// thread at a time; separate values (and `DevRandom` copies) are independent.
#pragma once

#include <array>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>

#include "vantrel/platform/posix/unique_fd.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// The low 53 bits times 2^-53: 0 ... 1 - 2^-53.
[[nodiscard]] constexpr double halfOpenDoubleFrom64(std::uint64_t bits) {
  return static_cast<double>(bits & ((std::uint64_t{1} << 53) - 1)) * 0x1p-53;
}
// The low 53 bits times the double nearest 1 / (2^53 - 1): 0 ... exactly 1.
[[nodiscard]] constexpr double closedDoubleFrom64(std::uint64_t bits) {
  return static_cast<double>(bits & ((std::uint64_t{1} << 53) - 1)) * 0x1.0000000000001p-53;
}
// The low 52 bits plus one half, times 2^-52: 2^-53 ... 1 - 2^-53.
[[nodiscard]] constexpr double openDoubleFrom64(std::uint64_t bits) {
  return (static_cast<double>(bits & ((std::uint64_t{1} << 52) - 1)) + 0.5) * 0x1p-52;
}

template <class G>
concept RandomGenerator =
    std::default_initializable<G> && std::copyable<G> &&
    requires(G g, void* buffer, std::int64_t size, std::uint64_t max64, std::uint32_t max32) {
      g.randomize(buffer, size);
      { g.random64() } -> std::same_as<std::uint64_t>;
      { g.random32() } -> std::same_as<std::uint32_t>;
      { g.random64(max64) } -> std::same_as<std::uint64_t>;
      { g.random32(max32) } -> std::same_as<std::uint32_t>;
      { g.randomHalfOpen() } -> std::same_as<double>;
      { g.randomClosed() } -> std::same_as<double>;
      { g.randomOpen() } -> std::same_as<double>;
    };

template <class G>
concept RandomWordGenerator = RandomGenerator<G> && requires(G g) {
  typename G::WordType;
  { g.randomWord() } -> std::same_as<typename G::WordType>;
};

namespace random_internal {
[[noreturn]] void negativeSize(std::int64_t size);
inline std::uint64_t loadLittleEndian(const unsigned char* bytes, int count) {
  std::uint64_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[i];
  return value;
}
}  // namespace random_internal

// What a generator does not define itself. A generator that defines
// `random64()` or `random32()` adds `using Base::random64;` (and 32) so the
// bounded forms stay visible.
template <class Derived>
class RandomGeneratorDefaults {
 public:
  // Eight bytes of `randomize`, read little-endian.
  std::uint64_t random64() {
    unsigned char bytes[8];
    self().randomize(bytes, 8);
    return random_internal::loadLittleEndian(bytes, 8);
  }
  std::uint32_t random32() {
    unsigned char bytes[4];
    self().randomize(bytes, 4);
    return static_cast<std::uint32_t>(random_internal::loadLittleEndian(bytes, 4));
  }

  std::uint64_t random64(std::uint64_t max) {
    if (max == 0) return 0;
    if (max == ~std::uint64_t{0}) return self().random64();
    const std::uint64_t m = max + 1;
    if (m != modulus_) remember(m);
    std::uint64_t x = self().random64();
    while (x < threshold_) x = self().random64();
    return remainder(x);
  }
  std::uint32_t random32(std::uint32_t max) {
    if (max == 0) return 0;
    if (max == ~std::uint32_t{0}) return self().random32();
    const std::uint32_t m = max + 1;
    std::uint32_t x = self().random32();
    if (x < max) {
      const std::uint32_t threshold = ~std::uint32_t{0} % m;
      while (x < threshold) x = self().random32();
    }
    return x % m;
  }

  double randomHalfOpen() { return halfOpenDoubleFrom64(self().random64()); }
  double randomClosed() { return closedDoubleFrom64(self().random64()); }
  double randomOpen() { return openDoubleFrom64(self().random64()); }

 protected:
  RandomGeneratorDefaults() = default;

 private:
  __extension__ using Wide = unsigned __int128;

  Derived& self() { return static_cast<Derived&>(*this); }

  // A 64-bit division costs more than a word of most generators, so the
  // bounded draw divides only when its bound changes: it keeps the
  // reciprocal ceil(2^128 / m) and takes remainders by multiplication
  // (Lemire, Kaser and Kurz, "Faster remainder by direct computation"),
  // exact for every 64-bit draw and every m >= 2.
  void remember(std::uint64_t m) {
    modulus_ = m;
    reciprocal_ = ~Wide{0} / m + 1;
    threshold_ = remainder(~std::uint64_t{0});
  }
  std::uint64_t remainder(std::uint64_t x) const {
    const Wide fraction = reciprocal_ * x;
    const Wide low = static_cast<std::uint64_t>(fraction) * static_cast<Wide>(modulus_);
    const Wide high = (fraction >> 64) * modulus_;
    return static_cast<std::uint64_t>(((low >> 64) + high) >> 64);
  }

  // The last bound of `random64(max)`: m = max + 1, its reciprocal and the
  // rejection threshold (2^64 - 1) mod m. A cache only: copies may share it.
  std::uint64_t modulus_ = 0;
  std::uint64_t threshold_ = 0;
  Wide reciprocal_ = 0;
};

// Word generators: `Derived::randomWord()` is one step; `random64()` is that
// step and byte fills are made of words.
template <class Derived>
class RandomWordGeneratorDefaults : public RandomGeneratorDefaults<Derived> {
 public:
  using WordType = std::uint64_t;
  using RandomGeneratorDefaults<Derived>::random64;

  std::uint64_t random64() { return self().randomWord(); }

  void randomize(void* buffer, std::int64_t size) {
    if (size < 0) random_internal::negativeSize(size);
    auto* bytes = static_cast<unsigned char*>(buffer);
    const std::int64_t whole = size / 8;
    for (std::int64_t w = 0; w < whole; ++w) {
      std::uint64_t word = self().randomWord();
      for (int i = 0; i < 8; ++i, word >>= 8) *bytes++ = static_cast<unsigned char>(word);
    }
    const std::int64_t rest = size % 8;
    if (rest > 0) {
      std::uint64_t word = self().randomWord();
      unsigned char* end = static_cast<unsigned char*>(buffer) + size;
      for (std::int64_t i = 0; i < rest; ++i, word >>= 8) end[-1 - i] = static_cast<unsigned char>(word);
    }
  }

 protected:
  RandomWordGeneratorDefaults() = default;

 private:
  Derived& self() { return static_cast<Derived&>(*this); }
};

// The system's random device, "/dev/urandom".
class DevRandom : public RandomGeneratorDefaults<DevRandom> {
 public:
  // The open device, shared by the copies of one `DevRandom`.
  class FileDescriptor {
   public:
    explicit FileDescriptor(posix::UniqueFd fd) : fd_(std::move(fd)) {}
    [[nodiscard]] int value() const { return fd_.get(); }

   private:
    posix::UniqueFd fd_;
  };

  // Opens the device; stops when it cannot.
  DevRandom();

  using RandomGeneratorDefaults<DevRandom>::random64;
  using RandomGeneratorDefaults<DevRandom>::random32;
  // Reads until `size` bytes have arrived; stops when the device fails or ends.
  void randomize(void* buffer, std::int64_t size);
  std::uint64_t random64();
  std::uint32_t random32();

  [[nodiscard]] const FileDescriptor& fd() const { return *fd_; }

  // Open the device, read, close it again.
  [[nodiscard]] static std::uint64_t oneShotRandom64();
  static void oneShotRandomize(void* buffer, std::int64_t size);

 private:
  std::shared_ptr<const FileDescriptor> fd_;
};

// The core random source: the kernel's getrandom output, buffered per
// thread, unless a test replaced it.
class Arc4Random : public RandomGeneratorDefaults<Arc4Random> {
 public:
  Arc4Random() = default;  // not an aggregate: the base's constructor is protected
  using RandomGeneratorDefaults<Arc4Random>::random64;
  using RandomGeneratorDefaults<Arc4Random>::random32;
  void randomize(void* buffer, std::int64_t size);
  std::uint64_t random64();
  std::uint32_t random32();
};

// One Tausworthe component of L'Ecuyer's combined LFSR generators with
// parameters (k, q, s) on 64-bit words.
template <int K, int Q, int S>
constexpr std::uint64_t lfsrComponentStep(std::uint64_t z) {
  const std::uint64_t b = ((z << Q) ^ z) >> (K - S);
  constexpr std::uint64_t keep = ~((std::uint64_t{1} << (64 - K)) - 1);
  return ((z & keep) << S) ^ b;
}

// L'Ecuyer's LFSR258: five components. Seed words must be at least 2, 512,
// 4096, 131072 and 8388608 (z1 to z5) for full period; they are stored
// unchecked.
class Lfsr258 : public RandomWordGeneratorDefaults<Lfsr258> {
 public:
  // Reads z1 to z5 from the device, each again while below its minimum.
  Lfsr258();
  explicit Lfsr258(const std::array<std::uint64_t, 5>& seed) : state_(seed) {}

  std::uint64_t randomWord() {
    state_[0] = lfsrComponentStep<63, 1, 10>(state_[0]);
    state_[1] = lfsrComponentStep<55, 24, 5>(state_[1]);
    state_[2] = lfsrComponentStep<52, 3, 29>(state_[2]);
    state_[3] = lfsrComponentStep<47, 5, 23>(state_[3]);
    state_[4] = lfsrComponentStep<41, 3, 8>(state_[4]);
    return state_[0] ^ state_[1] ^ state_[2] ^ state_[3] ^ state_[4];
  }
  [[nodiscard]] const std::array<std::uint64_t, 5>& state() const { return state_; }

 private:
  std::array<std::uint64_t, 5> state_;
};

// The three-component variant; minimums 2, 64 and 512.
class Lfsr176 : public RandomWordGeneratorDefaults<Lfsr176> {
 public:
  Lfsr176();
  explicit Lfsr176(const std::array<std::uint64_t, 3>& seed) : state_(seed) {}

  std::uint64_t randomWord() {
    state_[0] = lfsrComponentStep<63, 5, 24>(state_[0]);
    state_[1] = lfsrComponentStep<58, 19, 13>(state_[1]);
    state_[2] = lfsrComponentStep<55, 24, 17>(state_[2]);
    return state_[0] ^ state_[1] ^ state_[2];
  }
  [[nodiscard]] const std::array<std::uint64_t, 3>& state() const { return state_; }

 private:
  std::array<std::uint64_t, 3> state_;
};

// xoroshiro128+ (Blackman and Vigna; rotations 55 and 36, shift 14).
class Xoroshiro : public RandomWordGeneratorDefaults<Xoroshiro> {
 public:
  // 16 bytes from the device: s0, then s1, little-endian.
  Xoroshiro();
  explicit Xoroshiro(const std::array<std::uint64_t, 2>& seed) : state_(seed) {}

  std::uint64_t randomWord() {
    const std::uint64_t s0 = state_[0];
    std::uint64_t s1 = state_[1];
    const std::uint64_t result = s0 + s1;
    s1 ^= s0;
    state_[0] = rotateLeft(s0, 55) ^ s1 ^ (s1 << 14);
    state_[1] = rotateLeft(s1, 36);
    return result;
  }
  [[nodiscard]] const std::array<std::uint64_t, 2>& state() const { return state_; }

 private:
  static constexpr std::uint64_t rotateLeft(std::uint64_t x, int k) {
    return (x << k) | (x >> (64 - k));
  }
  std::array<std::uint64_t, 2> state_;
};

// The same word on every draw (for tests of code that takes a generator).
// Bounded draws never redraw: the word (or its 32-bit draw) mod max + 1.
class ConstantNonRandom : public RandomWordGeneratorDefaults<ConstantNonRandom> {
 public:
  ConstantNonRandom();
  explicit ConstantNonRandom(std::uint64_t seed) : state_(seed) {}

  using RandomWordGeneratorDefaults<ConstantNonRandom>::random64;
  using RandomWordGeneratorDefaults<ConstantNonRandom>::random32;
  std::uint64_t randomWord() { return state_; }
  std::uint64_t random64(std::uint64_t max) {
    if (max == 0) return 0;
    if (max == ~std::uint64_t{0}) return state_;
    return state_ % (max + 1);
  }
  std::uint32_t random32(std::uint32_t max) {
    if (max == 0) return 0;
    const std::uint32_t draw = random32();
    if (max == ~std::uint32_t{0}) return draw;
    return draw % (max + 1);
  }
  [[nodiscard]] std::uint64_t state() const { return state_; }

 private:
  std::uint64_t state_;
};

// MT19937-64 (Matsumoto and Nishimura): the sequence of std::mt19937_64.
class MersenneTwister : public RandomWordGeneratorDefaults<MersenneTwister> {
 public:
  static constexpr std::size_t stateSize = 312;

  // Seeded with one word from the device.
  MersenneTwister();
  explicit MersenneTwister(std::uint64_t seed);

  std::uint64_t randomWord() {
    if (index_ >= stateSize) regenerate();
    std::uint64_t x = state_[index_++];
    x ^= (x >> 29) & 0x5555555555555555ULL;
    x ^= (x << 17) & 0x71D67FFFEDA60000ULL;
    x ^= (x << 37) & 0xFFF7EEE000000000ULL;
    x ^= x >> 43;
    return x;
  }

 private:
  void regenerate();
  std::array<std::uint64_t, stateSize> state_;
  std::size_t index_ = stateSize;
};

static_assert(RandomGenerator<DevRandom> && RandomGenerator<Arc4Random>);
static_assert(RandomWordGenerator<Lfsr258> && RandomWordGenerator<Lfsr176> &&
              RandomWordGenerator<Xoroshiro> && RandomWordGenerator<ConstantNonRandom> &&
              RandomWordGenerator<MersenneTwister>);

}  // namespace vantrel
