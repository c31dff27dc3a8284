// File: vantrel/collections/version.h
//
// `Version`: an immutable semantic version: major, minor and patch (never
// negative), prerelease identifiers and optional build metadata.
//
//   auto v = Version::fromString("1.2.3-rc.1+b.7");   // optional
//   v->description()                "1.2.3-rc.1+b.7"
//   Version(1, 0, 0, {"alpha"}) < Version(1, 0, 0)     true
//   Version(1, 2, 0).predecessor()  1.1.9223372036854775807
//
// Parsing: the core runs to the first "-" (else to the first "+"); it holds
// exactly three decimal numbers split at the first two dots (ASCII digits,
// one optional leading "+", fitting 64 bits). The prerelease identifiers are
// the non-empty pieces between that "-" and the first "+"; the build
// metadata is everything after the first "+", when anything follows it.
// A text whose first "+" stands before its first "-" (possible with a
// number written "+1") reads as no version.
//
// Precedence is a strict weak order, so it can drive sorts and ordered
// containers: numbers first, then a release after its prereleases, then the
// prerelease identifiers pairwise: an identifier that reads as a signed
// 64-bit decimal is numeric and orders before alphanumeric ones; two
// numeric identifiers compare as numbers (so "01" and "1" tie and the walk
// goes on); alphanumeric ones compare as text (`compareText`). Build
// metadata takes no part in precedence, but does in `==`. Identifiers are
// compared with `textEqual` and hashed with `textHash`, so `==` and the
// hash agree. Plain value; thread-safe to read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class Version {
 public:
  // Negative numbers are clamped to 0; the identifiers and the metadata are
  // stored as given.
  Version(std::int64_t major, std::int64_t minor, std::int64_t patch,
          std::vector<std::string> prereleaseIdentifiers = {},
          std::optional<std::string> buildMetadataIdentifier = std::nullopt);

  [[nodiscard]] static std::optional<Version> fromString(std::string_view text);

  [[nodiscard]] std::int64_t major() const { return major_; }
  [[nodiscard]] std::int64_t minor() const { return minor_; }
  [[nodiscard]] std::int64_t patch() const { return patch_; }
  [[nodiscard]] const std::vector<std::string>& prereleaseIdentifiers() const {
    return prereleaseIdentifiers_;
  }
  [[nodiscard]] const std::optional<std::string>& buildMetadataIdentifier() const {
    return buildMetadataIdentifier_;
  }

  // "1.2.3", then "-" and the identifiers joined by "." when there are some,
  // then "+" and the metadata when present (even when empty).
  [[nodiscard]] std::string description() const;
  [[nodiscard]] std::uint64_t hashValue() const;

  // (major, minor, patch + 1) without prerelease or metadata; a patch that is
  // already the largest 64-bit value stays.
  [[nodiscard]] Version successor() const;
  // The previous patch-level version without prerelease or metadata: patch
  // - 1, else (minor - 1, max), else (major - 1, max, max); 0.0.0 has none
  // below it and answers 0.0.0.
  [[nodiscard]] Version predecessor() const;

  friend VANTREL_API bool operator==(const Version& a, const Version& b);
  friend VANTREL_API bool operator<(const Version& a, const Version& b);
  friend bool operator>(const Version& a, const Version& b) { return b < a; }
  friend bool operator<=(const Version& a, const Version& b) { return !(b < a); }
  friend bool operator>=(const Version& a, const Version& b) { return !(a < b); }
  friend std::ostream& operator<<(std::ostream& os, const Version& v) {
    return os << v.description();
  }

 private:
  std::int64_t major_;
  std::int64_t minor_;
  std::int64_t patch_;
  std::vector<std::string> prereleaseIdentifiers_;
  std::optional<std::string> buildMetadataIdentifier_;
};

}  // namespace vantrel

template <>
struct std::hash<vantrel::Version> {
  std::size_t operator()(const vantrel::Version& v) const noexcept {
    return static_cast<std::size_t>(v.hashValue());
  }
};
