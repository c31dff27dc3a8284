// File: vantrel/platform/foundation/process/operating_system_version.h
//
// The system version that version-dependent behaviour compares against
// (the pasteboard constants of 10.13.0 and later).
//
//   isOperatingSystemAtLeast({10, 13, 0})    true unless a test set an older one
//
// This build has no such system version of its own: it answers 10.13.0, the
// first version with every pasteboard constant. Tests set another with
// `foundation_internal::ScopedOperatingSystemVersion`. Thread-safe.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

struct OperatingSystemVersion {
  std::int64_t majorVersion = 0;
  std::int64_t minorVersion = 0;
  std::int64_t patchVersion = 0;
  // Major number first, then minor, then patch.
  friend auto operator<=>(const OperatingSystemVersion&, const OperatingSystemVersion&) = default;
};

[[nodiscard]] OperatingSystemVersion operatingSystemVersion();
[[nodiscard]] bool isOperatingSystemAtLeast(const OperatingSystemVersion& version);

namespace foundation_internal {

// While alive, `operatingSystemVersion()` answers `version`; restores the
// previous answer when destroyed. Also counts the reads it answers.
class ScopedOperatingSystemVersion {
 public:
  explicit ScopedOperatingSystemVersion(OperatingSystemVersion version);
  ~ScopedOperatingSystemVersion();
  ScopedOperatingSystemVersion(const ScopedOperatingSystemVersion&) = delete;
  ScopedOperatingSystemVersion& operator=(const ScopedOperatingSystemVersion&) = delete;

  // How often the version was read since this guard was made.
  [[nodiscard]] std::int64_t reads() const;

 private:
  std::optional<OperatingSystemVersion> previous_;
  std::int64_t readsAtStart_;
};

}  // namespace foundation_internal

}  // namespace vantrel
