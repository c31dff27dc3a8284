#include "vantrel/core/random.h"

#include <atomic>
#include <cstdlib>
#include <string>

#include "vantrel/core/fatal.h"
#include "vantrel/core/no_destructor.h"

namespace vantrel {
namespace {

class SystemRandomSource final : public RandomSource {
 public:
  std::uint32_t next() override { return ::arc4random(); }
  std::uint32_t uniform(std::uint32_t upperBound) override {
    return upperBound == 0 ? 0 : ::arc4random_uniform(upperBound);
  }
  void fill(void* buffer, std::size_t size) override { ::arc4random_buf(buffer, size); }
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
