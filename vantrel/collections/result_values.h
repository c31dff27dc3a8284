// File: vantrel/collections/result_values.h
//
// `Pesult<A, B>`: a success value A or a typed error B, with accessors that
// answer optionally (`value`, `error`) or insist (`valueValue`,
// `errorValue`, which stop on the other case). `AnyVtError`: an error that
// carries nothing. `ns(error)`: any error as the platform's error object.
// `asHexString(bytes, length)`: a hexadecimal dump for diagnostics.
//
//   auto r = Pesult<int, AnyVtError>::success(5);
//   r.debugDescription();                 // "SUCCESS: 5"
//   r.onSuccess([](int v) { use(v); }, [](const AnyError&) { never(); });
//   ns(std::make_shared<AnyVtError>())->domain();   // "vantrel::AnyVtError"
//   asHexString(bytes, 6);                // "<0001020A FF10>"
//
// Values and pure functions; any thread.
#pragma once

#include <concepts>
#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <variant>

#include "vantrel/core/describe.h"
#include "vantrel/core/error.h"
#include "vantrel/core/fatal.h"
#include "vantrel/core/ns_error.h"
#include "vantrel/core/result_types.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// An error without information. Describes as "AnyVtError()".
class AnyVtError : public Error {
 public:
  AnyVtError() : Error("AnyVtError()") {}
};

template <class A, class B>
  requires std::derived_from<B, std::exception>
class Pesult {
 public:
  enum class Case { success, failure };

  [[nodiscard]] static Pesult success(A value) { return Pesult(std::in_place_index<0>, std::move(value)); }
  [[nodiscard]] static Pesult failure(B error) { return Pesult(std::in_place_index<1>, std::move(error)); }

  [[nodiscard]] Case kind() const { return isSuccess() ? Case::success : Case::failure; }
  [[nodiscard]] bool isSuccess() const { return payload_.index() == 0; }
  [[nodiscard]] bool isFailure() const { return !isSuccess(); }

  [[nodiscard]] std::optional<A> value() const {
    if (isSuccess()) return std::get<0>(payload_);
    return std::nullopt;
  }
  // The failure's error as any error; null for a success.
  [[nodiscard]] AnyError error() const {
    if (isFailure()) return std::make_shared<const B>(std::get<1>(payload_));
    return nullptr;
  }
  [[nodiscard]] std::pair<std::optional<A>, AnyError> tuple() const { return {value(), error()}; }

  // Exactly one of the two runs, once, on this thread.
  template <class OnValue, class OnError>
  void onSuccess(OnValue&& onValue, OnError&& onError) const {
    if (isSuccess()) {
      std::forward<OnValue>(onValue)(std::get<0>(payload_));
    } else {
      std::forward<OnError>(onError)(error());
    }
  }

  // The success value; stops with "FAILURE" for a failure.
  [[nodiscard]] const A& valueValue(SourceLocation loc = SourceLocation::current()) const {
    if (!isSuccess()) fatal(description(), loc);
    return std::get<0>(payload_);
  }
  // The failure's error; stops with "SUCCESS" for a success.
  [[nodiscard]] AnyError errorValue(SourceLocation loc = SourceLocation::current()) const {
    if (!isFailure()) fatal(description(), loc);
    return error();
  }

  [[nodiscard]] std::string description() const { return isSuccess() ? "SUCCESS" : "FAILURE"; }
  [[nodiscard]] std::string debugDescription() const {
    if (isSuccess()) return "SUCCESS: " + describe(std::get<0>(payload_));
    return "FAILURE: " + describe(std::get<1>(payload_));
  }

 private:
  template <std::size_t I, class T>
  Pesult(std::in_place_index_t<I> index, T&& payload) : payload_(index, std::forward<T>(payload)) {}

  std::variant<A, B> payload_;
};

// The error as the platform's error object: an `NSError` unchanged, any
// other error as one with its type name as domain, code 1 and its
// description as localized description. Stops for a null error.
[[nodiscard]] std::shared_ptr<const NSError> ns(const AnyError& error,
                                                SourceLocation loc = SourceLocation::current());

// "<" + the `length` bytes at `bytes` as upper-case hexadecimal pairs, a blank
// after every fourth byte and a line feed and a blank after every 64th (both
// only when another byte follows) + ">". The caller vouches that `length`
// bytes are readable; a negative length stops the program.
[[nodiscard]] std::string asHexString(const void* bytes, std::int64_t length,
                                      SourceLocation loc = SourceLocation::current());

}  // namespace vantrel
