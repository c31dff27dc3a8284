#include "vantrel/platform/foundation/process/operating_system_version.h"

#include <atomic>
#include <mutex>

#include "vantrel/core/no_destructor.h"

namespace vantrel {

namespace {

struct VersionState {
  std::mutex mutex;
  std::optional<OperatingSystemVersion> injected;
  std::atomic<std::int64_t> reads{0};
};

VersionState& versionState() {
  static NoDestructor<VersionState> state;
  return *state;
}

constexpr OperatingSystemVersion kDefaultVersion{10, 13, 0};

}  // namespace

OperatingSystemVersion operatingSystemVersion() {
  auto& state = versionState();
  state.reads.fetch_add(1, std::memory_order_relaxed);
  std::lock_guard lock(state.mutex);
  return state.injected.value_or(kDefaultVersion);
}

bool isOperatingSystemAtLeast(const OperatingSystemVersion& version) {
  return operatingSystemVersion() >= version;
}

namespace foundation_internal {

ScopedOperatingSystemVersion::ScopedOperatingSystemVersion(OperatingSystemVersion version) {
  auto& state = versionState();
  std::lock_guard lock(state.mutex);
  previous_ = state.injected;
  state.injected = version;
  readsAtStart_ = state.reads.load(std::memory_order_relaxed);
}

ScopedOperatingSystemVersion::~ScopedOperatingSystemVersion() {
  auto& state = versionState();
  std::lock_guard lock(state.mutex);
  state.injected = previous_;
}

std::int64_t ScopedOperatingSystemVersion::reads() const {
  return versionState().reads.load(std::memory_order_relaxed) - readsAtStart_;
}

}  // namespace foundation_internal

}  // namespace vantrel
