#include "vantrel/foundation/files/query_dictionary.h"

namespace vantrel {

std::map<std::string, std::string> queryDictionary(const URLComponents& self) {
  std::map<std::string, std::string> out;
  for (auto& item : self.queryItems().value_or(std::vector<URLQueryItem>{})) {
    out.insert_or_assign(std::move(item.name), item.value.value_or(""));
  }
  return out;
}

void appendToQueryDictionary(URLComponents& self, std::string_view key, std::string_view value) {
  appendQueryItem(self, key, value);
}

void appendQueryItem(URLComponents& self, std::string_view name, std::optional<std::string_view> value) {
  self.addQueryItem(URLQueryItem(std::string(name), value ? std::optional<std::string>(std::string(*value)) : std::nullopt));
}

}  // namespace vantrel
