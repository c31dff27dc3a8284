// File: vantrel/foundation/files/query_dictionary.h
//
// The query of `URLComponents` as a dictionary of names and values.
//
//   queryDictionary(c);                       // "a=1&b" -> {a: "1", b: ""}
//   setQueryDictionary(c, {{"k", "v"}});      // "k=v"
//   appendToQueryDictionary(c, "k", "w");     // "k=v&k=w"
//   appendQueryItem(c, "flag", std::nullopt); // "...&flag"
//
// A name given twice yields its last value (as wherever the library stores
// pairs). `setQueryDictionary` writes the entries in the map's own order;
// an empty map leaves an empty but present query.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/platform/foundation/files/url_components.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

[[nodiscard]] std::map<std::string, std::string> queryDictionary(const URLComponents& self);

template <class Map>
void setQueryDictionary(URLComponents& self, const Map& dictionary) {
  std::vector<URLQueryItem> items;
  items.reserve(dictionary.size());
  for (const auto& [key, value] : dictionary) items.emplace_back(std::string(key), std::string(value));
  self.setQueryItems(items);
}

void appendToQueryDictionary(URLComponents& self, std::string_view key, std::string_view value);
void appendQueryItem(URLComponents& self, std::string_view name, std::optional<std::string_view> value);

}  // namespace vantrel
