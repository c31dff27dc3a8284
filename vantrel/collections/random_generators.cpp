#include "vantrel/collections/random_generators.h"

#include <fcntl.h>

#include <mutex>
#include <string>
#include <system_error>

#include "vantrel/collections/internal/dev_random_path.h"
#include "vantrel/core/fatal.h"
#include "vantrel/core/no_destructor.h"
#include "vantrel/core/number_text.h"
#include "vantrel/core/random.h"
#include "vantrel/platform/posix/read_full.h"

namespace vantrel {
namespace collections_internal {
namespace {

std::mutex& pathMutex() {
  static NoDestructor<std::mutex> mutex;
  return *mutex;
}

std::string& pathStorage() {
  static NoDestructor<std::string> path("/dev/urandom");
  return *path;
}

std::string exchangePath(std::string path) {
  std::lock_guard lock(pathMutex());
  std::swap(pathStorage(), path);
  return path;
}

}  // namespace

std::string devRandomPath() {
  std::lock_guard lock(pathMutex());
  return pathStorage();
}

ScopedDevRandomPath::ScopedDevRandomPath(std::string path)
    : previous_(exchangePath(std::move(path))) {}

ScopedDevRandomPath::~ScopedDevRandomPath() { (void)exchangePath(std::move(previous_)); }

}  // namespace collections_internal

namespace random_internal {
void negativeSize(std::int64_t size) {
  fatal("Random byte count " + integerText(size) + " is negative");
}
}  // namespace random_internal

namespace {

posix::UniqueFd openDevice() {
  const std::string path = collections_internal::devRandomPath();
  posix::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) {
    const std::error_code error(errno, std::generic_category());
    fatal("Cannot open random device " + path + ": " + error.message());
  }
  return fd;
}

// Every byte asked for, or a stop: the draw has no way to report a failure.
void readDevice(int fd, void* buffer, std::int64_t size) {
  if (size < 0) random_internal::negativeSize(size);
  const auto result = posix::readFull(fd, buffer, static_cast<std::size_t>(size));
  if (result.error) {
    fatal("Cannot read random device " + collections_internal::devRandomPath() + ": " +
          result.error.message());
  }
  if (result.bytesRead < static_cast<std::size_t>(size)) {
    fatal("Random device " + collections_internal::devRandomPath() + " ended after " +
          unsignedText(result.bytesRead) + " of " + integerText(size) + " bytes");
  }
}

template <std::size_t N>
std::array<std::uint64_t, N> deviceSeed(const std::array<std::uint64_t, N>& minimums) {
  DevRandom device;
  std::array<std::uint64_t, N> seed{};
  for (std::size_t i = 0; i < N; ++i) {
    do {
      seed[i] = device.random64();
    } while (seed[i] < minimums[i]);
  }
  return seed;
}

}  // namespace

// ---- DevRandom ----------------------------------------------------------------

DevRandom::DevRandom() : fd_(std::make_shared<const FileDescriptor>(openDevice())) {}

void DevRandom::randomize(void* buffer, std::int64_t size) { readDevice(fd_->value(), buffer, size); }

std::uint64_t DevRandom::random64() {
  unsigned char bytes[8];
  randomize(bytes, 8);
  return random_internal::loadLittleEndian(bytes, 8);
}

std::uint32_t DevRandom::random32() {
  unsigned char bytes[4];
  randomize(bytes, 4);
  return static_cast<std::uint32_t>(random_internal::loadLittleEndian(bytes, 4));
}

std::uint64_t DevRandom::oneShotRandom64() {
  unsigned char bytes[8];
  oneShotRandomize(bytes, 8);
  return random_internal::loadLittleEndian(bytes, 8);
}

void DevRandom::oneShotRandomize(void* buffer, std::int64_t size) {
  if (size < 0) random_internal::negativeSize(size);
  const posix::UniqueFd fd = openDevice();
  readDevice(fd.get(), buffer, size);
}

// ---- Arc4Random -----------------------------------------------------------------

void Arc4Random::randomize(void* buffer, std::int64_t size) {
  if (size < 0) random_internal::negativeSize(size);
  randomBytes(buffer, static_cast<std::size_t>(size));
}

std::uint64_t Arc4Random::random64() {
  unsigned char bytes[8];
  randomBytes(bytes, 8);
  return random_internal::loadLittleEndian(bytes, 8);
}

std::uint32_t Arc4Random::random32() { return randomUInt32(); }

// ---- Seeded generators ------------------------------------------------------------

Lfsr258::Lfsr258() : state_(deviceSeed<5>({2, 512, 4096, 131072, 8388608})) {}

Lfsr176::Lfsr176() : state_(deviceSeed<3>({2, 64, 512})) {}

Xoroshiro::Xoroshiro() {
  unsigned char bytes[16];
  DevRandom::oneShotRandomize(bytes, 16);
  state_ = {random_internal::loadLittleEndian(bytes, 8),
            random_internal::loadLittleEndian(bytes + 8, 8)};
}

ConstantNonRandom::ConstantNonRandom() : state_(DevRandom::oneShotRandom64()) {}

MersenneTwister::MersenneTwister() : MersenneTwister(DevRandom::oneShotRandom64()) {}

MersenneTwister::MersenneTwister(std::uint64_t seed) {
  state_[0] = seed;
  for (std::size_t i = 1; i < state_.size(); ++i) {
    const std::uint64_t previous = state_[i - 1];
    state_[i] = 6364136223846793005ULL * (previous ^ (previous >> 62)) + i;
  }
  index_ = stateSize;
}

void MersenneTwister::regenerate() {
  constexpr std::size_t n = stateSize;
  constexpr std::size_t middle = 156;
  constexpr std::uint64_t matrix = 0xB5026F5AA96619E9ULL;
  constexpr std::uint64_t upper = 0xFFFFFFFF80000000ULL;  // upper 33 bits
  constexpr std::uint64_t lower = 0x7FFFFFFFULL;          // lower 31 bits
  auto twist = [&](std::size_t i, std::size_t next, std::size_t far) {
    const std::uint64_t x = (state_[i] & upper) | (state_[next] & lower);
    state_[i] = state_[far] ^ (x >> 1) ^ ((x & 1) ? matrix : 0);
  };
  std::size_t i = 0;
  for (; i < n - middle; ++i) twist(i, i + 1, i + middle);
  for (; i < n - 1; ++i) twist(i, i + 1, i + middle - n);
  twist(n - 1, 0, middle - 1);
  index_ = 0;
}

}  // namespace vantrel
