// File: vantrel/core/coding_aids.h
//
// Coding aids: a highlighted console line for important events, stops for
// code that must not be reached, a banner for unfinished code, a strict
// cast, and a wrapper that turns an exception into a stop.
//
//   VantrelCoding::importantLog("disk full");   // "📛 IMPORTANT!! 📛 = disk full"
//   auto n = optionalCast<int64_t>(anyValue);   // nullopt when empty; stops on another type
//   whenThrowing("Loading failed", [&] { load(); });
//
// Stops go through `fatal`. Stateless; any thread may call.
#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <typeinfo>

#include "vantrel/core/describe.h"
#include "vantrel/core/source_location.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

namespace VantrelCoding {
// "📛 IMPORTANT!! 📛 = " + message.
void importantLog(std::string_view message);
// Prints "Unexpected Code Reached: " + message through `importantLog`, then
// stops with that text.
[[noreturn]] void unexpectedCodeReached(std::string_view message,
                                        SourceLocation loc = SourceLocation::current());
// Prints "📛📛📛📛📛 NYI NOT YET IMPLEMENTED 📛📛📛📛📛" and returns.
void notYetImplemented();
// Does nothing: it neither tests the thread nor prints.
inline void assertMainThread(SourceLocation = SourceLocation::current()) {}
}  // namespace VantrelCoding

namespace core_internal {
[[noreturn]] void optionalCastFatal(std::string_view requested, std::string_view actual,
                                    SourceLocation loc);
}  // namespace core_internal

// The value held by `value` as a T: nullopt when `value` is empty; stops with
// "optionalCast<T>(instanceSome) failed. Is of type: U" when it holds a U.
template <class T>
[[nodiscard]] std::optional<T> optionalCast(const std::any& value,
                                            SourceLocation loc = SourceLocation::current()) {
  if (!value.has_value()) return std::nullopt;
  if (const T* held = std::any_cast<T>(&value)) return *held;
  core_internal::optionalCastFatal(typeName<T>(), typeName(value.type()), loc);
}

// The object as a T: null when `object` is null; stops (as above) when the
// object is not a T.
template <class T, class U>
[[nodiscard]] std::shared_ptr<T> optionalCast(const std::shared_ptr<U>& object,
                                              SourceLocation loc = SourceLocation::current()) {
  if (!object) return nullptr;
  if (auto cast = std::dynamic_pointer_cast<T>(object)) return cast;
  core_internal::optionalCastFatal(typeName<T>(), typeName(typeid(*object)), loc);
}

// Runs `block`; when it throws, stops with message + ": " + the exception's
// description.
void whenThrowing(std::string_view fatalErrorMessage, const std::function<void()>& block,
                  SourceLocation loc = SourceLocation::current());

namespace qassert {
// Do nothing.
inline void mainThread() {}
inline void notMainThread() {}
}  // namespace qassert

namespace q {
[[nodiscard]] constexpr bool trueVar() { return true; }
[[nodiscard]] constexpr bool falseVar() { return false; }
[[nodiscard]] constexpr bool t() { return true; }
[[nodiscard]] constexpr bool f() { return false; }
[[nodiscard]] constexpr bool alwaysTrue() { return true; }
[[nodiscard]] constexpr bool alwaysFalse() { return false; }
// True when the argument holds a value, 0 included.
[[nodiscard]] constexpr bool methodHasParameter(std::optional<std::int64_t> parameter = std::nullopt) {
  return parameter.has_value();
}
}  // namespace q

// A value whose only content is the number 2912, not readable from outside.
class qkill {
 public:
  constexpr qkill() = default;

 private:
  [[maybe_unused]] std::int64_t value_ = 2912;
};

// Prints "hello2" when made.
class CommonHello {
 public:
  CommonHello();
  [[nodiscard]] static std::shared_ptr<CommonHello> create();
};

}  // namespace vantrel
