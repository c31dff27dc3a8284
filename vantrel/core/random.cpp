#include "vantrel/core/random.h"

#include <pthread.h>
#include <sys/mman.h>
#include <sys/random.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <string>

#include "vantrel/core/fatal.h"
#include "vantrel/core/no_destructor.h"

namespace vantrel {
namespace {

// The system source keeps a few pages of getrandom output per thread and hands
// it out in order, so a draw costs a copy instead of a system call (glibc's
// arc4random asks the kernel on every call).
//
// A forked child must never answer what its parent answers next. The buffer is
// marked MADV_WIPEONFORK: the kernel gives every child a zeroed copy, whose
// count of unread bytes is then 0, so the child's first draw refills from
// the kernel. This holds for every way a process can be copied (fork,
// _Fork, a raw clone), where a pthread_atfork handler misses the last two,
// and it costs nothing per draw, where comparing getpid() would cost the
// very system call the buffer saves (glibc no longer caches the pid).
//
// Threads never share a buffer: each finds its own through a thread_local
// pointer (constant-initialised, so nothing runs at load), and a thread-exit
// key returns the buffer. The main thread's lives until the process ends,
// so a draw from an exit handler still finds it.
struct alignas(64) RandomPage {
  // Four pages: a shorter refill spends a visible share of its time
  // entering the kernel.
  static constexpr std::size_t kSize = 16384;
  std::uint32_t unread;  // bytes left, taken from the back of `bytes`; 0 after a fork
  std::uint32_t reserved;
  unsigned char bytes[kSize - 2 * sizeof(std::uint32_t)];
};
static_assert(sizeof(RandomPage) == RandomPage::kSize);

// Fills `size` bytes from the kernel; reads of up to 256 bytes are never cut
// short, longer ones may be by a signal.
void getrandomAll(void* buffer, std::size_t size) {
  auto* bytes = static_cast<unsigned char*>(buffer);
  while (size > 0) {
    const ssize_t n = ::getrandom(bytes, size, 0);
    if (n < 0) {
      if (errno == EINTR) continue;
      fatal("getrandom failed: " + std::string(std::strerror(errno)));
    }
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
}

// Set once a page could not be marked wipe-on-fork (a kernel before 4.14):
// from then on every draw asks the kernel, as before.
std::atomic<bool> unbuffered{false};

// Initial-exec: one pointer of static TLS, read without a call into the
// dynamic loader on every draw.
[[gnu::tls_model("initial-exec")]] thread_local RandomPage* threadPage = nullptr;

void releasePage(void* page) {
  explicit_bzero(page, sizeof(RandomPage));
  ::munmap(page, sizeof(RandomPage));
  threadPage = nullptr;
}

pthread_key_t pageKey() {
  static const pthread_key_t key = [] {
    pthread_key_t made;
    if (int error = pthread_key_create(&made, releasePage); error != 0) {
      fatal("pthread_key_create failed: " + std::string(std::strerror(error)));
    }
    return made;
  }();
  return key;
}

// This thread's page, made on its first draw; null when pages are not safe.
RandomPage* page() {
  if (threadPage != nullptr) [[likely]] return threadPage;
  if (unbuffered.load(std::memory_order_relaxed)) return nullptr;
  void* memory = ::mmap(nullptr, sizeof(RandomPage), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (memory == MAP_FAILED) return nullptr;
  if (::madvise(memory, sizeof(RandomPage), MADV_WIPEONFORK) != 0) {
    ::munmap(memory, sizeof(RandomPage));
    unbuffered.store(true, std::memory_order_relaxed);
    return nullptr;
  }
  // Drawn bytes stay out of core dumps; a kernel that refuses loses nothing.
  (void)::madvise(memory, sizeof(RandomPage), MADV_DONTDUMP);
  pthread_setspecific(pageKey(), memory);
  threadPage = static_cast<RandomPage*>(memory);  // zeroed by mmap: nothing unread
  return threadPage;
}

// Copies the next `size` bytes of the stream into `out`, wiping them from
// the page.
void take(unsigned char* out, std::size_t size) {
  RandomPage* p = page();
  if (p == nullptr) {
    getrandomAll(out, size);
    return;
  }
  while (size > 0) {
    if (p->unread == 0) {
      getrandomAll(p->bytes, sizeof p->bytes);
      p->unread = sizeof p->bytes;
    }
    const std::size_t n = std::min<std::size_t>(size, p->unread);
    unsigned char* from = p->bytes + (p->unread - n);
    std::memcpy(out, from, n);
    std::memset(from, 0, n);
    p->unread -= static_cast<std::uint32_t>(n);
    out += n;
    size -= n;
  }
}

// The next `Bytes` bytes of the stream as a number below 2^(8 * Bytes).
template <std::size_t Bytes>
std::uint32_t takeBits() {
  static_assert(Bytes >= 1 && Bytes <= sizeof(std::uint32_t));
  unsigned char bytes[Bytes];
  if (RandomPage* p = threadPage; p != nullptr && p->unread >= Bytes) [[likely]] {
    p->unread -= Bytes;
    unsigned char* from = p->bytes + p->unread;
    std::memcpy(bytes, from, Bytes);
    std::memset(from, 0, Bytes);
  } else {
    take(bytes, Bytes);
  }
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < Bytes; ++i) value |= std::uint32_t{bytes[i]} << (8 * i);
  return value;
}

// A value below `upperBound` from draws of `Bytes` bytes, unbiased: of the
// 2^bits products, those whose low part is below 2^bits mod upperBound would
// make some results likelier than others, so they are drawn again (rare:
// only a low part below upperBound needs the division that tells).
template <std::size_t Bytes>
std::uint32_t uniformFrom(std::uint32_t upperBound) {
  constexpr unsigned bits = 8 * Bytes;
  constexpr std::uint64_t lowMask = (std::uint64_t{1} << bits) - 1;
  std::uint64_t product = std::uint64_t{takeBits<Bytes>()} * upperBound;
  if ((product & lowMask) < upperBound) {
    const std::uint64_t threshold = (lowMask + 1) % upperBound;
    while ((product & lowMask) < threshold) product = std::uint64_t{takeBits<Bytes>()} * upperBound;
  }
  return static_cast<std::uint32_t>(product >> bits);
}

class SystemRandomSource final : public RandomSource {
 public:
  std::uint32_t next() override { return takeBits<4>(); }

  // Bounds up to 2^24 draw three bytes, which keeps a retry below one draw
  // in sixteen while the kernel, whose output is most of a draw's cost,
  // makes a quarter fewer bytes.
  std::uint32_t uniform(std::uint32_t upperBound) override {
    if (upperBound == 0) return 0;
    return upperBound <= (std::uint32_t{1} << 24) ? uniformFrom<3>(upperBound) : uniformFrom<4>(upperBound);
  }

  // Long fills go straight to the kernel rather than through the page.
  void fill(void* buffer, std::size_t size) override {
    if (size >= sizeof(RandomPage::bytes)) {
      getrandomAll(buffer, size);
    } else {
      take(static_cast<unsigned char*>(buffer), size);
    }
  }
};

RandomSource& systemSource() {
  // Never destroyed: its destructor would leave a vtable that threads still
  // drawing during exit must not see.
  static NoDestructor<SystemRandomSource> source;
  return *source;
}

std::atomic<RandomSource*>& replacement() {
  static std::atomic<RandomSource*> current{nullptr};
  return current;
}

}  // namespace

RandomSource& currentRandomSource() {
  RandomSource* replaced = replacement().load(std::memory_order_acquire);
  return replaced ? *replaced : systemSource();
}

std::uint32_t randomUInt32() { return currentRandomSource().next(); }

std::uint32_t randomUniform(std::uint32_t upperBound) {
  return currentRandomSource().uniform(upperBound);
}

void randomBytes(void* buffer, std::size_t size) { currentRandomSource().fill(buffer, size); }

ScopedRandomSource::ScopedRandomSource(RandomSource& source)
    : previous_(replacement().exchange(&source, std::memory_order_acq_rel)) {}

ScopedRandomSource::~ScopedRandomSource() { replacement().store(previous_, std::memory_order_release); }

ScriptedRandomSource::ScriptedRandomSource(std::initializer_list<std::uint32_t> values)
    : values_(values) {}

ScriptedRandomSource::ScriptedRandomSource(std::vector<std::uint32_t> values)
    : values_(std::move(values)) {}

std::uint32_t ScriptedRandomSource::take() {
  if (position_ >= values_.size()) {
    fatal("ScriptedRandomSource ran out of values after " + std::to_string(values_.size()) +
          " draws");
  }
  return values_[position_++];
}

std::uint32_t ScriptedRandomSource::next() {
  std::lock_guard lock(mutex_);
  return take();
}

std::uint32_t ScriptedRandomSource::uniform(std::uint32_t upperBound) {
  std::lock_guard lock(mutex_);
  bounds_.push_back(upperBound);
  if (upperBound == 0) return 0;  // nothing to draw, as with arc4random_uniform
  std::uint32_t value = take();
  if (value >= upperBound) {
    fatal("ScriptedRandomSource value " + std::to_string(value) + " is not below the bound " +
          std::to_string(upperBound) + " of draw " + std::to_string(position_));
  }
  return value;
}

void ScriptedRandomSource::fill(void* buffer, std::size_t size) {
  std::lock_guard lock(mutex_);
  auto* bytes = static_cast<unsigned char*>(buffer);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(take() & 0xFF);
}

std::vector<std::uint32_t> ScriptedRandomSource::bounds() const {
  std::lock_guard lock(mutex_);
  return bounds_;
}

std::size_t ScriptedRandomSource::remaining() const {
  std::lock_guard lock(mutex_);
  return values_.size() - position_;
}

}  // namespace vantrel
