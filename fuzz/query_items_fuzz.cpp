// Query items: any query text splits into items, and items written back
// through URLComponents read back as the same items (names and values with
// "&", "=", "+", "%", "#" or any other byte included).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/platform/foundation/files/url_components.h"
#include "vantrel/text/string_services.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 4000) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto parsed = vantrel::URLComponents::parseQuery(text);
  // Items from the raw bytes: pieces between NUL bytes, alternately names
  // and values, repaired to UTF-8 as every text entering the library is.
  std::vector<vantrel::URLQueryItem> items;
  std::size_t start = 0;
  while (start <= text.size() && items.size() < 64) {
    std::size_t end = text.find('\0', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string name = vantrel::repairedUtf8(text.substr(start, end - start));
    std::optional<std::string> value;
    if (name.size() % 2 == 0) value = name + "=&+%#";
    items.emplace_back(name, value);
    start = end + 1;
  }
  auto components = vantrel::URLComponents::fromString("https://example.org/p#f");
  if (!components) std::abort();
  components->setQueryItems(items);
  const auto url = components->url();
  if (!url) std::abort();
  if (vantrel::URLComponents(*url).queryItems() != items) std::abort();
  (void)parsed;
  return 0;
}
