#include "vantrel/foundation/defaults/user_defaults_helpers.h"

#include <cmath>
#include <utility>

#include "vantrel/text/string_services.h"

namespace vantrel {
namespace {

// Held by the caller's full expression, so a reset meanwhile cannot drop it.
std::shared_ptr<UserDefaults> standard() { return UserDefaults::standard(); }

template <class T>
std::optional<T> stored(const UserDefaults& self, std::string_view key) {
  auto value = self.object(key);
  if (const T* found = value ? value->get<T>() : nullptr) return *found;
  return std::nullopt;
}

template <class T>
void store(UserDefaults& self, std::optional<T> value, std::string_view key) {
  if (value) self.set(key, DefaultsValue(std::move(*value)));
  else self.removeObject(key);
}

}  // namespace

std::optional<std::int64_t> vtIntForKey(const UserDefaults& self, std::string_view key) {
  auto value = self.object(key);
  if (!value) return std::nullopt;
  if (const auto* i = value->get<std::int64_t>()) return *i;
  if (const auto* b = value->get<bool>()) return *b ? 1 : 0;
  if (const auto* d = value->get<double>()) {
    // Cut toward zero where that fits; NaN fails both comparisons.
    constexpr double limit = 9223372036854775808.0;  // 2^63, exact
    if (*d > -limit - 1.0 && *d < limit) return static_cast<std::int64_t>(std::trunc(*d));
    if (*d == -limit) return static_cast<std::int64_t>(*d);
  }
  return std::nullopt;
}

std::optional<double> vtDoubleForKey(const UserDefaults& self, std::string_view key) {
  auto value = self.object(key);
  if (!value) return std::nullopt;
  if (const auto* d = value->get<double>()) return *d;
  if (const auto* i = value->get<std::int64_t>()) return static_cast<double>(*i);
  if (const auto* b = value->get<bool>()) return *b ? 1.0 : 0.0;
  return std::nullopt;
}

std::optional<bool> vtBoolForKey(const UserDefaults& self, std::string_view key) {
  auto value = self.object(key);
  if (!value) return std::nullopt;
  if (const auto* b = value->get<bool>()) return *b;
  if (const auto* i = value->get<std::int64_t>()) return *i != 0;
  if (const auto* d = value->get<double>()) return *d != 0.0;
  return std::nullopt;
}

std::optional<DefaultsValue::Date> vtDateForKey(const UserDefaults& self, std::string_view key) {
  return stored<DefaultsValue::Date>(self, key);
}
std::optional<DefaultsValue::Data> vtDataForKey(const UserDefaults& self, std::string_view key) {
  return stored<DefaultsValue::Data>(self, key);
}
std::optional<std::string> vtStringForKey(const UserDefaults& self, std::string_view key) {
  return stored<std::string>(self, key);
}

std::optional<std::vector<std::string>> vtStringArrayForKey(const UserDefaults& self, std::string_view key) {
  auto array = stored<DefaultsValue::Array>(self, key);
  if (!array) return std::nullopt;
  std::vector<std::string> texts;
  texts.reserve(array->size());
  for (const DefaultsValue& element : *array) {
    const auto* text = element.get<std::string>();
    if (!text) return std::nullopt;
    texts.push_back(*text);
  }
  return texts;
}

StringDictionary vtStringDictionaryForKey(const UserDefaults& self, std::string_view key) {
  auto dictionary = stored<DefaultsValue::Dictionary>(self, key);
  if (!dictionary) return {};
  StringDictionary texts;
  for (const auto& [name, element] : *dictionary) {
    const auto* text = element.get<std::string>();
    if (!text) return {};
    texts.emplace(name, *text);
  }
  return texts;
}

void vtSetInt(UserDefaults& self, std::optional<std::int64_t> value, std::string_view key) { store(self, value, key); }
void vtSetDouble(UserDefaults& self, std::optional<double> value, std::string_view key) { store(self, value, key); }
void vtSetBool(UserDefaults& self, std::optional<bool> value, std::string_view key) { store(self, value, key); }
void vtSetDate(UserDefaults& self, std::optional<DefaultsValue::Date> value, std::string_view key) {
  store(self, value, key);
}
void vtSetData(UserDefaults& self, std::optional<DefaultsValue::Data> value, std::string_view key) {
  store(self, std::move(value), key);
}
void vtSetString(UserDefaults& self, std::optional<std::string> value, std::string_view key) {
  store(self, std::move(value), key);
}
void vtSetStringArray(UserDefaults& self, std::optional<std::vector<std::string>> value, std::string_view key) {
  if (value) self.set(key, DefaultsValue(*value));
  else self.removeObject(key);
}
void vtSetStringDictionary(UserDefaults& self, std::optional<StringDictionary> value, std::string_view key) {
  if (!value) {
    self.removeObject(key);
    return;
  }
  DefaultsValue::Dictionary dictionary;
  for (auto& [name, text] : *value) dictionary.emplace(name, DefaultsValue(std::move(text)));
  self.set(key, DefaultsValue(std::move(dictionary)));
}

std::optional<std::int64_t> vtIntForKey(std::string_view key) { return vtIntForKey(*standard(), key); }
std::optional<double> vtDoubleForKey(std::string_view key) { return vtDoubleForKey(*standard(), key); }
std::optional<bool> vtBoolForKey(std::string_view key) { return vtBoolForKey(*standard(), key); }
std::optional<DefaultsValue::Date> vtDateForKey(std::string_view key) { return vtDateForKey(*standard(), key); }
std::optional<DefaultsValue::Data> vtDataForKey(std::string_view key) { return vtDataForKey(*standard(), key); }
std::optional<std::string> vtStringForKey(std::string_view key) { return vtStringForKey(*standard(), key); }
void vtSetInt(std::optional<std::int64_t> value, std::string_view key) { vtSetInt(*standard(), value, key); }
void vtSetDouble(std::optional<double> value, std::string_view key) { vtSetDouble(*standard(), value, key); }
void vtSetBool(std::optional<bool> value, std::string_view key) { vtSetBool(*standard(), value, key); }
void vtSetDate(std::optional<DefaultsValue::Date> value, std::string_view key) { vtSetDate(*standard(), value, key); }
void vtSetData(std::optional<DefaultsValue::Data> value, std::string_view key) {
  vtSetData(*standard(), std::move(value), key);
}
void vtSetString(std::optional<std::string> value, std::string_view key) {
  vtSetString(*standard(), std::move(value), key);
}

bool vtWasDoneOnce(const UserDefaults& self, std::string_view key) {
  return self.boolForKey("wasDoneOnce_" + std::string(key));
}

void setVtWasDoneOnce(UserDefaults& self, std::string_view key) {
  self.set("wasDoneOnce_" + std::string(key), true);
  self.synchronize();
}

void vtDoOnce(UserDefaults& self, std::string_view key, const std::function<void()>& doOnceClosure,
              const std::function<void()>& doOnceElseClosure) {
  if (!vtWasDoneOnce(self, key)) {
    doOnceClosure();
    setVtWasDoneOnce(self, key);
  } else if (doOnceElseClosure) {
    doOnceElseClosure();
  }
}

bool develop_ignoreState(const UserDefaults& self) {
  return vtStringForKey(self, "ApplePersistenceIgnoreState") == "YES";
}

bool isDarkMode() {
  const auto global = UserDefaults::create(UserDefaults::globalDomain);
  const auto domain = global->dictionaryRepresentation();
  const auto found = domain.find("AppleInterfaceStyle");
  if (found == domain.end()) return false;
  const auto* text = found->second.get<std::string>();
  return text != nullptr && lowercased(*text) == "dark";
}

}  // namespace vantrel
