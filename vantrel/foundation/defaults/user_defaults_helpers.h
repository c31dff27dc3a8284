// File: vantrel/foundation/defaults/user_defaults_helpers.h
//
// Typed access to user defaults that keeps each value's kind: a getter
// answers nullopt when the key is absent or holds another kind (a text never
// reads as a number or a flag, a number never as a text); a setter given
// nullopt removes the key. Each function takes a store first; the form
// without one acts on `UserDefaults::standard()`.
//
//   vtSetInt(*defaults, 7, "Volume");
//   vtIntForKey(*defaults, "Volume");     // 7
//   vtIntForKey("Volume");                // from the standard store
//   vtDoOnce(*defaults, "welcome", [] { showWelcome(); });
//
// Numbers read across their kinds: a double as Int cut toward zero (2.7 is
// 2; NaN, infinities and doubles beyond 64 bits are nullopt), a flag as 0 or
// 1, and any number as Bool (nonzero). Setters do not synchronize.
// Do-once flags are "wasDoneOnce_" + key, stored as true. Thread-safe as the
// store is; `vtDoOnce` tests and sets its flag in two steps around the
// closure.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/platform/foundation/defaults/user_defaults.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

using StringDictionary = std::map<std::string, std::string>;

[[nodiscard]] std::optional<std::int64_t> vtIntForKey(const UserDefaults& self, std::string_view key);
[[nodiscard]] std::optional<double> vtDoubleForKey(const UserDefaults& self, std::string_view key);
[[nodiscard]] std::optional<bool> vtBoolForKey(const UserDefaults& self, std::string_view key);
[[nodiscard]] std::optional<DefaultsValue::Date> vtDateForKey(const UserDefaults& self, std::string_view key);
[[nodiscard]] std::optional<DefaultsValue::Data> vtDataForKey(const UserDefaults& self, std::string_view key);
[[nodiscard]] std::optional<std::string> vtStringForKey(const UserDefaults& self, std::string_view key);
// Only a list holding nothing but texts.
[[nodiscard]] std::optional<std::vector<std::string>> vtStringArrayForKey(const UserDefaults& self,
                                                                          std::string_view key);
// Only a dictionary whose values are all texts; else the empty dictionary.
[[nodiscard]] StringDictionary vtStringDictionaryForKey(const UserDefaults& self, std::string_view key);

void vtSetInt(UserDefaults& self, std::optional<std::int64_t> value, std::string_view key);
void vtSetDouble(UserDefaults& self, std::optional<double> value, std::string_view key);
void vtSetBool(UserDefaults& self, std::optional<bool> value, std::string_view key);
void vtSetDate(UserDefaults& self, std::optional<DefaultsValue::Date> value, std::string_view key);
void vtSetData(UserDefaults& self, std::optional<DefaultsValue::Data> value, std::string_view key);
void vtSetString(UserDefaults& self, std::optional<std::string> value, std::string_view key);
void vtSetStringArray(UserDefaults& self, std::optional<std::vector<std::string>> value, std::string_view key);
void vtSetStringDictionary(UserDefaults& self, std::optional<StringDictionary> value, std::string_view key);

// The same on the standard store.
[[nodiscard]] std::optional<std::int64_t> vtIntForKey(std::string_view key);
[[nodiscard]] std::optional<double> vtDoubleForKey(std::string_view key);
[[nodiscard]] std::optional<bool> vtBoolForKey(std::string_view key);
[[nodiscard]] std::optional<DefaultsValue::Date> vtDateForKey(std::string_view key);
[[nodiscard]] std::optional<DefaultsValue::Data> vtDataForKey(std::string_view key);
[[nodiscard]] std::optional<std::string> vtStringForKey(std::string_view key);
void vtSetInt(std::optional<std::int64_t> value, std::string_view key);
void vtSetDouble(std::optional<double> value, std::string_view key);
void vtSetBool(std::optional<bool> value, std::string_view key);
void vtSetDate(std::optional<DefaultsValue::Date> value, std::string_view key);
void vtSetData(std::optional<DefaultsValue::Data> value, std::string_view key);
void vtSetString(std::optional<std::string> value, std::string_view key);

// The flag "wasDoneOnce_" + key; false when absent.
[[nodiscard]] bool vtWasDoneOnce(const UserDefaults& self, std::string_view key);
// Stores the flag and synchronizes.
void setVtWasDoneOnce(UserDefaults& self, std::string_view key);
// Runs `doOnceClosure` and then sets the flag, unless it is set; then runs
// `doOnceElseClosure` when given. The closure must not call `vtDoOnce` with
// the same key.
void vtDoOnce(UserDefaults& self, std::string_view key, const std::function<void()>& doOnceClosure,
              const std::function<void()>& doOnceElseClosure = {});

// "ApplePersistenceIgnoreState" holds the text "YES" now.
[[nodiscard]] bool develop_ignoreState(const UserDefaults& self);

// "AppleInterfaceStyle" of the global domain's own file is a text that
// lower-cases to "dark".
[[nodiscard]] bool isDarkMode();

}  // namespace vantrel
