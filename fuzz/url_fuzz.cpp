// URL parsing and browser-text repair: what parses writes back a text that
// parses to the same URL, and path edits keep a URL that does too; detected
// links have the same URLs in both range forms.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "vantrel/foundation/net/link_extraction.h"
#include "vantrel/platform/foundation/files/url.h"

namespace {

void checkRoundTrip(const vantrel::URL& url) {
  const auto again = vantrel::URL::fromString(url.absoluteString());
  if (!again || !(*again == url)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 4000) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (const auto url = vantrel::URL::fromString(text)) {
    checkRoundTrip(*url);
    checkRoundTrip(url->appendingPathComponent("a b/é"));
    checkRoundTrip(url->deletingLastPathComponent());
    checkRoundTrip(url->deletingPathExtension().appendingPathExtension("x%"));
    (void)url->host();
    (void)url->port();
    (void)url->user();
    (void)url->password();
  }
  if (const auto repaired = vantrel::URL::fromSafariUrlString(text)) checkRoundTrip(*repaired);
  for (const auto& link : vantrel::detectLinks(text)) {
    if (link.range.upperBound > text.size() || link.range.lowerBound >= link.range.upperBound) std::abort();
    checkRoundTrip(link.url);
  }
  // The UTF-16 form: the same links, in order, inside the text's units.
  const auto links = vantrel::detectLinks(text);
  const auto utf16Links = vantrel::detectLinksUtf16(text);
  if (links.size() != utf16Links.size()) std::abort();
  std::int64_t previousEnd = 0;
  for (std::size_t i = 0; i < links.size(); ++i) {
    const auto range = utf16Links[i].range;
    if (range.location < previousEnd || range.length <= 0 ||
        range.upperBound() > vantrel::utf16Length(text) || !(utf16Links[i].url == links[i].url)) {
      std::abort();
    }
    previousEnd = range.upperBound();
  }
  return 0;
}
