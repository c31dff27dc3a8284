// Arbitrary text through the version parser: no crash; what parses writes a
// text form that parses back to the same version; and the precedence laws
// (irreflexive, asymmetric, transitive, transitive incomparability) hold on
// the triple made of the input's three newline-separated parts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <vector>

#include "vantrel/collections/version.h"

using vantrel::Version;

namespace {

void checkRoundTrip(const Version& v) {
  // The one shape the text form cannot carry: a "-" with no identifiers
  // before metadata that holds a "-" ("1.2.3-+b-x" writes "1.2.3+b-x").
  if (v.prereleaseIdentifiers().empty() && v.buildMetadataIdentifier() &&
      v.buildMetadataIdentifier()->find('-') != std::string::npos) {
    return;
  }
  const auto again = Version::fromString(v.description());
  if (!again || !(*again == v) || again->hashValue() != v.hashValue()) std::abort();
}

bool incomparable(const Version& a, const Version& b) { return !(a < b) && !(b < a); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<Version> parsed;
  for (int part = 0; part < 3; ++part) {
    const std::size_t newline = text.find('\n');
    const auto v = Version::fromString(text.substr(0, newline));
    if (v) {
      if (v->major() < 0 || v->minor() < 0 || v->patch() < 0) std::abort();
      for (const auto& id : v->prereleaseIdentifiers()) {
        if (id.empty()) std::abort();
      }
      checkRoundTrip(*v);
      parsed.push_back(*v);
    }
    if (newline == std::string_view::npos) break;
    text.remove_prefix(newline + 1);
  }
  for (const Version& a : parsed) {
    if (a < a) std::abort();
    for (const Version& b : parsed) {
      if (a < b && b < a) std::abort();
      if (a == b && (a.hashValue() != b.hashValue() || !incomparable(a, b))) std::abort();
      for (const Version& c : parsed) {
        if (a < b && b < c && !(a < c)) std::abort();
        if (incomparable(a, b) && incomparable(b, c) && !incomparable(a, c)) std::abort();
      }
    }
  }
  return 0;
}
