#include "vantrel/platform/foundation/values/index_path.h"

#include "vantrel/core/checked.h"
#include "vantrel/core/number_text.h"
#include "vantrel/platform/foundation/files/url.h"

namespace vantrel {

std::string IndexPath::vtDescription() const {
  return "(" + integerText(section) + "," + integerText(item) + ")";
}

IndexPath IndexPath::vtAdvanceItemBy(std::int64_t by, std::int64_t sectionOffset, SourceLocation loc) const {
  return IndexPath{checkedAdd(section, sectionOffset, loc), checkedAdd(item, by, loc)};
}

std::optional<IndexPath> IndexPath::fromUrl(const URL& url) {
  if (url.scheme() != "NSIndexPath") return std::nullopt;
  const auto host = url.host();
  if (!host) return std::nullopt;
  const std::size_t dash = host->find('-');
  if (dash == std::string::npos || host->find('-', dash + 1) != std::string::npos) return std::nullopt;
  const std::string_view text(*host);
  // parseInt64 would take a "-", but a second "-" already failed the split.
  const auto section = parseInt64(text.substr(0, dash));
  const auto item = parseInt64(text.substr(dash + 1));
  if (!section || !item) return std::nullopt;
  return IndexPath{*section, *item};
}

}  // namespace vantrel
