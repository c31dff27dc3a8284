#include "vantrel/platform/foundation/files/url_components.h"

#include "vantrel/text/percent_encoding.h"

namespace vantrel {

namespace {

std::string decoded(std::string_view text) {
  auto out = removingPercentEncoding(text);
  return out ? std::move(*out) : std::string(text);
}

}  // namespace

URLComponents::URLComponents(const URL& url) : query_(url.query()), fragment_(url.fragment()) {
  std::string text = url.absoluteString();
  // Neither "?" nor "#" can stand in the scheme, authority or path.
  const std::size_t cut = text.find_first_of("?#");
  if (cut != std::string::npos) text.resize(cut);
  head_ = std::move(text);
}

std::optional<URLComponents> URLComponents::fromString(std::string_view text) {
  const auto url = URL::fromString(text);
  if (!url) return std::nullopt;
  return URLComponents(*url);
}

std::vector<URLQueryItem> URLComponents::parseQuery(std::string_view query) {
  std::vector<URLQueryItem> items;
  if (query.empty()) return items;
  std::size_t start = 0;
  for (;;) {
    const std::size_t amp = query.find('&', start);
    const std::string_view piece = query.substr(start, amp == std::string_view::npos ? amp : amp - start);
    const std::size_t eq = piece.find('=');
    if (eq == std::string_view::npos) {
      items.emplace_back(decoded(piece), std::nullopt);
    } else {
      items.emplace_back(decoded(piece.substr(0, eq)), decoded(piece.substr(eq + 1)));
    }
    if (amp == std::string_view::npos) break;
    start = amp + 1;
  }
  return items;
}

std::optional<std::vector<URLQueryItem>> URLComponents::queryItems() const {
  if (!query_) return std::nullopt;
  return parseQuery(*query_);
}

namespace {

void appendItem(std::string& query, const URLQueryItem& item) {
  query += addingPercentEncoding(item.name, unreservedUrlCharacters());
  if (item.value) {
    query += '=';
    query += addingPercentEncoding(*item.value, unreservedUrlCharacters());
  }
}

}  // namespace

void URLComponents::setQueryItems(const std::optional<std::vector<URLQueryItem>>& items) {
  if (!items) {
    query_.reset();
    return;
  }
  std::string query;
  for (std::size_t i = 0; i < items->size(); ++i) {
    if (i > 0) query += '&';
    appendItem(query, (*items)[i]);
  }
  query_ = std::move(query);
}

void URLComponents::addQueryItem(const URLQueryItem& item) {
  // The items already there stay exactly as written.
  std::string query = query_.value_or("");
  if (!query.empty()) query += '&';
  appendItem(query, item);
  query_ = std::move(query);
}

std::optional<URL> URLComponents::url() const {
  std::string text = head_;
  if (query_) text += "?" + *query_;
  if (fragment_) text += "#" + *fragment_;
  return URL::fromString(text);
}

}  // namespace vantrel
