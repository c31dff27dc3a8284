// File: vantrel/foundation/defaults/vantrel_user_defaults.h
//
// `VantrelUserDefaults`: typed accessors over the standard user defaults
// whose getters answer nullopt while the ignore-state switch is on, so a
// tool started with
//
//   tool -ApplePersistenceIgnoreState YES
//
// runs as if nothing had been stored, while its setters go on writing. The
// switch is the text "YES" under "ApplePersistenceIgnoreState" (usually
// from the command line, see user_defaults.h), read once per process at the
// first use; the store is fixed then too. Getters and setters are those of
// user_defaults_helpers.h on that store.
//
//   vantrelUserDefaults.setInt(3, "Level");
//   vantrelUserDefaults.intForKey("Level");   // 3, or nullopt under the switch
//
// The one instance `vantrelUserDefaults` dispatches virtually, as the
// loggers do. Thread-safe.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "vantrel/platform/foundation/defaults/user_defaults.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class VantrelUserDefaults {
 public:
  constexpr VantrelUserDefaults() = default;
  // Trivial, not virtual: the instance below is then never destroyed.
  ~VantrelUserDefaults() = default;

  [[nodiscard]] virtual std::optional<std::int64_t> intForKey(std::string_view key) const;
  virtual void setInt(std::optional<std::int64_t> value, std::string_view key) const;
  [[nodiscard]] virtual std::optional<double> doubleForKey(std::string_view key) const;
  virtual void setDouble(std::optional<double> value, std::string_view key) const;
  [[nodiscard]] virtual std::optional<bool> boolForKey(std::string_view key) const;
  virtual void setBool(std::optional<bool> value, std::string_view key) const;
  [[nodiscard]] virtual std::optional<DefaultsValue::Date> dateForKey(std::string_view key) const;
  virtual void setDate(std::optional<DefaultsValue::Date> value, std::string_view key) const;
  [[nodiscard]] virtual std::optional<DefaultsValue::Data> dataForKey(std::string_view key) const;
  virtual void setData(std::optional<DefaultsValue::Data> value, std::string_view key) const;
  [[nodiscard]] virtual std::optional<std::string> stringForKey(std::string_view key) const;
  virtual void setString(std::optional<std::string> value, std::string_view key) const;
  // The store's `synchronize()`.
  virtual bool synchronize() const;
};

inline const VantrelUserDefaults vantrelUserDefaults{};

}  // namespace vantrel
