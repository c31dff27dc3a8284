// File: vantrel/platform/foundation/files/url_components.h
//
// `URLComponents`: a URL taken apart so that its query can be read and
// replaced as a list of `URLQueryItem`s (a name and an optional value).
//
//   auto c = URLComponents::fromString("https://x.org/p?a=1&b#top");
//   c->queryItems();               // [{"a", "1"}, {"b", nullopt}]
//   c->setQueryItems(std::vector<URLQueryItem>{{"q", "a&b=c+d"}});
//   c->url()->absoluteString();    // "https://x.org/p?q=a%26b%3Dc%2Bd#top"
//
// Names and values are decoded when read and percent-encoded when written,
// everything but A-Z a-z 0-9 "-._~" (so "&", "=", "+", "%" and "#" in a name
// or value always come back as they went in; "+" is never a blank). A
// query of no items is present but empty ("?"); `std::nullopt` removes it.
// An item that does not decode to UTF-8 keeps its text as written.
// Value type.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/platform/foundation/files/url.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

struct URLQueryItem {
  URLQueryItem(std::string name, std::optional<std::string> value) : name(std::move(name)), value(std::move(value)) {}
  std::string name;
  std::optional<std::string> value;
  friend bool operator==(const URLQueryItem&, const URLQueryItem&) = default;
};

class URLComponents {
 public:
  explicit URLComponents(const URL& url);
  // nullopt for a text that is no absolute URL (`URL::fromString`).
  [[nodiscard]] static std::optional<URLComponents> fromString(std::string_view text);

  [[nodiscard]] const std::optional<std::string>& percentEncodedQuery() const { return query_; }
  [[nodiscard]] std::optional<std::vector<URLQueryItem>> queryItems() const;
  void setQueryItems(const std::optional<std::vector<URLQueryItem>>& items);
  // One item after the others (creating the query when there is none).
  void addQueryItem(const URLQueryItem& item);

  // The URL with the query as it now is.
  [[nodiscard]] std::optional<URL> url() const;

  // Splits a query text ("a=1&b") into decoded items.
  [[nodiscard]] static std::vector<URLQueryItem> parseQuery(std::string_view query);

 private:
  std::string head_;  // up to the path
  std::optional<std::string> query_;
  std::optional<std::string> fragment_;
};

}  // namespace vantrel
