#include "vantrel/collections/version.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "vantrel/core/number_text.h"
#include "vantrel/text/comparison.h"

namespace vantrel {
namespace {

constexpr std::int64_t largest = std::numeric_limits<std::int64_t>::max();

// One part of the core: ASCII digits with one optional leading "+".
std::optional<std::int64_t> readCoreNumber(std::string_view part) {
  std::string_view digits = part;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  if (digits.empty()) return std::nullopt;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
  }
  return parseInt64(digits);
}

// A prerelease identifier is numeric when it reads as a signed 64-bit
// decimal (one optional sign).
std::optional<std::int64_t> readNumericIdentifier(std::string_view identifier) {
  return parseInt64(identifier);
}

// < 0, 0 or > 0: how identifier a orders against b. Numeric identifiers
// come before alphanumeric ones; two numeric ones that read as the same
// number (01 and 1) tie.
int compareIdentifiers(const std::string& a, const std::string& b) {
  if (textEqual(a, b)) return 0;
  const auto na = readNumericIdentifier(a);
  const auto nb = readNumericIdentifier(b);
  if (na && nb) return *na < *nb ? -1 : (*na > *nb ? 1 : 0);
  if (na) return -1;
  if (nb) return 1;
  return compareText(a, b);
}

}  // namespace

Version::Version(std::int64_t major, std::int64_t minor, std::int64_t patch,
                 std::vector<std::string> prereleaseIdentifiers,
                 std::optional<std::string> buildMetadataIdentifier)
    : major_(std::max<std::int64_t>(major, 0)),
      minor_(std::max<std::int64_t>(minor, 0)),
      patch_(std::max<std::int64_t>(patch, 0)),
      prereleaseIdentifiers_(std::move(prereleaseIdentifiers)),
      buildMetadataIdentifier_(std::move(buildMetadataIdentifier)) {}

std::optional<Version> Version::fromString(std::string_view text) {
  const std::size_t dash = text.find('-');
  const std::size_t plus = text.find('+');
  // A "+" ahead of the first "-" would make the prerelease run backwards;
  // such text is no version.
  if (dash != std::string_view::npos && plus != std::string_view::npos && plus < dash) {
    return std::nullopt;
  }
  const std::size_t coreEnd = dash != std::string_view::npos ? dash : plus;
  const std::string_view core = text.substr(0, coreEnd);

  const std::size_t firstDot = core.find('.');
  if (firstDot == std::string_view::npos) return std::nullopt;
  const std::size_t secondDot = core.find('.', firstDot + 1);
  if (secondDot == std::string_view::npos) return std::nullopt;
  const auto major = readCoreNumber(core.substr(0, firstDot));
  const auto minor = readCoreNumber(core.substr(firstDot + 1, secondDot - firstDot - 1));
  const auto patch = readCoreNumber(core.substr(secondDot + 1));
  if (!major || !minor || !patch) return std::nullopt;

  std::vector<std::string> identifiers;
  if (dash != std::string_view::npos) {
    const std::size_t end = plus != std::string_view::npos ? plus : text.size();
    std::string_view rest = text.substr(dash + 1, end - dash - 1);
    while (true) {
      const std::size_t dot = rest.find('.');
      const std::string_view piece = rest.substr(0, dot);
      if (!piece.empty()) identifiers.emplace_back(piece);
      if (dot == std::string_view::npos) break;
      rest.remove_prefix(dot + 1);
    }
  }

  std::optional<std::string> metadata;
  if (plus != std::string_view::npos && plus + 1 < text.size()) {
    metadata = std::string(text.substr(plus + 1));
  }
  return Version(*major, *minor, *patch, std::move(identifiers), std::move(metadata));
}

std::string Version::description() const {
  std::string text = integerText(major_) + "." + integerText(minor_) + "." + integerText(patch_);
  if (!prereleaseIdentifiers_.empty()) {
    text += '-';
    for (std::size_t i = 0; i < prereleaseIdentifiers_.size(); ++i) {
      if (i > 0) text += '.';
      text += prereleaseIdentifiers_[i];
    }
  }
  if (buildMetadataIdentifier_) {
    text += '+';
    text += *buildMetadataIdentifier_;
  }
  return text;
}

std::uint64_t Version::hashValue() const {
  constexpr std::uint64_t k = 0x9DDFEA08EB382D69ULL;
  std::uint64_t h = static_cast<std::uint64_t>(major_);
  h = (h * k) ^ static_cast<std::uint64_t>(minor_);
  h = (h * k) ^ static_cast<std::uint64_t>(patch_);
  for (const std::string& identifier : prereleaseIdentifiers_) {
    h = (h * k) ^ static_cast<std::uint64_t>(textHash(identifier));
  }
  if (buildMetadataIdentifier_) {
    h = (h * k) ^ static_cast<std::uint64_t>(textHash(*buildMetadataIdentifier_));
  }
  return h;
}

Version Version::successor() const {
  return Version(major_, minor_, patch_ == largest ? patch_ : patch_ + 1);
}

Version Version::predecessor() const {
  if (patch_ > 0) return Version(major_, minor_, patch_ - 1);
  if (minor_ > 0) return Version(major_, minor_ - 1, largest);
  if (major_ > 0) return Version(major_ - 1, largest, largest);
  return Version(0, 0, 0);
}

bool operator==(const Version& a, const Version& b) {
  if (a.major_ != b.major_ || a.minor_ != b.minor_ || a.patch_ != b.patch_) return false;
  if (a.prereleaseIdentifiers_.size() != b.prereleaseIdentifiers_.size()) return false;
  for (std::size_t i = 0; i < a.prereleaseIdentifiers_.size(); ++i) {
    if (!textEqual(a.prereleaseIdentifiers_[i], b.prereleaseIdentifiers_[i])) return false;
  }
  if (a.buildMetadataIdentifier_.has_value() != b.buildMetadataIdentifier_.has_value()) {
    return false;
  }
  return !a.buildMetadataIdentifier_ ||
         textEqual(*a.buildMetadataIdentifier_, *b.buildMetadataIdentifier_);
}

bool operator<(const Version& a, const Version& b) {
  if (a.major_ != b.major_) return a.major_ < b.major_;
  if (a.minor_ != b.minor_) return a.minor_ < b.minor_;
  if (a.patch_ != b.patch_) return a.patch_ < b.patch_;
  const auto& ai = a.prereleaseIdentifiers_;
  const auto& bi = b.prereleaseIdentifiers_;
  if (ai.empty()) return false;
  if (bi.empty()) return true;
  const std::size_t shorter = std::min(ai.size(), bi.size());
  for (std::size_t i = 0; i < shorter; ++i) {
    const int order = compareIdentifiers(ai[i], bi[i]);
    if (order != 0) return order < 0;
  }
  return ai.size() < bi.size();
}

}  // namespace vantrel
