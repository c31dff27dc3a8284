// File: vantrel/platform/foundation/values/index_path.h
//
// `IndexPath`: a two-level path (section, item), as collection views use
// it, which can travel as a URL of the scheme "NSIndexPath".
//
//   IndexPath p{2, 5};
//   p.vtDescription();                                   // "(2,5)"
//   p.vtAdvanceItemBy(3);                                // (2,8)
//   IndexPath::fromUrl(*URL::fromString("NSIndexPath://2-5"));   // (2,5)
//
// `fromUrl` reads the host as section "-" item, both decimal (an optional
// "+" as the platform's integer reader allows); every other URL (another
// scheme, no host, not exactly two parts, so no negative numbers either, a
// number too large) gives nullopt. A move whose result does not fit stops
// the program with a message.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "vantrel/core/source_location.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class URL;

struct IndexPath {
  std::int64_t section = 0;
  std::int64_t item = 0;

  [[nodiscard]] std::string vtDescription() const;
  [[nodiscard]] IndexPath vtAdvanceItemBy(std::int64_t by, std::int64_t sectionOffset = 0,
                                          SourceLocation loc = SourceLocation::current()) const;
  [[nodiscard]] static std::optional<IndexPath> fromUrl(const URL& url);

  friend bool operator==(const IndexPath&, const IndexPath&) = default;
};

}  // namespace vantrel
