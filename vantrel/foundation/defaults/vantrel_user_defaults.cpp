#include "vantrel/foundation/defaults/vantrel_user_defaults.h"

#include <mutex>
#include <utility>

#include "vantrel/core/no_destructor.h"
#include "vantrel/foundation/defaults/internal/vantrel_user_defaults_state.h"
#include "vantrel/foundation/defaults/user_defaults_helpers.h"

namespace vantrel {

namespace foundation_internal {
namespace {

struct State {
  std::mutex mutex;
  std::shared_ptr<UserDefaults> store;  // null until the first use
  bool ignoreState = false;
};

State& state() {
  static NoDestructor<State> s;
  return *s;
}

// Both values at once, read on first use under the lock.
std::pair<std::shared_ptr<UserDefaults>, bool> values() {
  State& s = state();
  std::lock_guard lock(s.mutex);
  if (!s.store) {
    s.store = UserDefaults::standard();
    s.ignoreState = develop_ignoreState(*s.store);
  }
  return {s.store, s.ignoreState};
}

}  // namespace

bool ignoreStateFromVantrelUserDefaults() { return values().second; }
std::shared_ptr<UserDefaults> vantrelUserDefaultsStore() { return values().first; }

void resetVantrelUserDefaultsForTesting() {
  State& s = state();
  std::lock_guard lock(s.mutex);
  s.store.reset();
  s.ignoreState = false;
}

}  // namespace foundation_internal

namespace {

// The store, or null while the switch is on.
std::shared_ptr<UserDefaults> readable() {
  auto [store, ignoreState] = foundation_internal::values();
  return ignoreState ? nullptr : store;
}

std::shared_ptr<UserDefaults> writable() { return foundation_internal::vantrelUserDefaultsStore(); }

}  // namespace

std::optional<std::int64_t> VantrelUserDefaults::intForKey(std::string_view key) const {
  auto store = readable();
  return store ? vtIntForKey(*store, key) : std::nullopt;
}
void VantrelUserDefaults::setInt(std::optional<std::int64_t> value, std::string_view key) const {
  vtSetInt(*writable(), value, key);
}
std::optional<double> VantrelUserDefaults::doubleForKey(std::string_view key) const {
  auto store = readable();
  return store ? vtDoubleForKey(*store, key) : std::nullopt;
}
void VantrelUserDefaults::setDouble(std::optional<double> value, std::string_view key) const {
  vtSetDouble(*writable(), value, key);
}
std::optional<bool> VantrelUserDefaults::boolForKey(std::string_view key) const {
  auto store = readable();
  return store ? vtBoolForKey(*store, key) : std::nullopt;
}
void VantrelUserDefaults::setBool(std::optional<bool> value, std::string_view key) const {
  vtSetBool(*writable(), value, key);
}
std::optional<DefaultsValue::Date> VantrelUserDefaults::dateForKey(std::string_view key) const {
  auto store = readable();
  return store ? vtDateForKey(*store, key) : std::nullopt;
}
void VantrelUserDefaults::setDate(std::optional<DefaultsValue::Date> value, std::string_view key) const {
  vtSetDate(*writable(), value, key);
}
std::optional<DefaultsValue::Data> VantrelUserDefaults::dataForKey(std::string_view key) const {
  auto store = readable();
  return store ? vtDataForKey(*store, key) : std::nullopt;
}
void VantrelUserDefaults::setData(std::optional<DefaultsValue::Data> value, std::string_view key) const {
  vtSetData(*writable(), std::move(value), key);
}
std::optional<std::string> VantrelUserDefaults::stringForKey(std::string_view key) const {
  auto store = readable();
  return store ? vtStringForKey(*store, key) : std::nullopt;
}
void VantrelUserDefaults::setString(std::optional<std::string> value, std::string_view key) const {
  vtSetString(*writable(), std::move(value), key);
}
bool VantrelUserDefaults::synchronize() const { return writable()->synchronize(); }

}  // namespace vantrel
