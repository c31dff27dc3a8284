// File: vantrel/core/result_types.h
//
// Outcomes of an operation as values: `VtResult` (a value or any error),
// `SimpleResult` (a value or a failure message) and `SimpleError` (an error
// that is only a message).
//
//   auto r = VtResult<int>::success(42);
//   r.description();        // "SUCCESS"
//   r.debugDescription();   // "SUCCESS: 42"
//   auto f = VtResult<int>::failure(std::make_shared<SimpleError>("m"));
//   f.debugDescription();   // "FAILURE: error(\"m\")"
//   SimpleResult<std::string>::failure("").debugDescription();   // "FAILURE: "
//
// Any error is `AnyError`, a shared `const std::exception`, described through
// `describe`. `describe(result)` shows "SUCCESS" / "FAILURE"; inside a
// collection the debug form is shown. Plain values: copying a result copies
// its payload (an `AnyError` is shared, as errors are immutable).
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <variant>

#include "vantrel/core/describe.h"
#include "vantrel/core/error.h"
#include "vantrel/core/fatal.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// Any error at all; null only where an accessor answers "no error".
using AnyError = std::shared_ptr<const std::exception>;

// An error that is nothing but a message. Describes as `error("m")`.
class SimpleError : public Error {
 public:
  explicit SimpleError(std::string message)
      : Error("error(" + debugDescribe(message) + ")"), message_(std::move(message)) {}

  [[nodiscard]] const std::string& message() const noexcept { return message_; }
  // The message unchanged.
  [[nodiscard]] const std::string& localizedDescription() const noexcept { return message_; }

 private:
  std::string message_;
};

// A success value of type `Value` or any error. `Unused` is accepted for
// source compatibility with callers that name an error type; no case holds it.
template <class Value, class Unused = void>
class VtResult {
 public:
  enum class Case { success, failure };

  [[nodiscard]] static VtResult success(Value value) { return VtResult(std::in_place_index<0>, std::move(value)); }
  // Stops for a null error: a failure always carries one.
  [[nodiscard]] static VtResult failure(AnyError error, SourceLocation loc = SourceLocation::current()) {
    if (!error) fatal("VtResult.failure needs an error", loc);
    return VtResult(std::in_place_index<1>, std::move(error));
  }

  [[nodiscard]] Case kind() const { return isSuccess() ? Case::success : Case::failure; }
  [[nodiscard]] bool isSuccess() const { return payload_.index() == 0; }
  [[nodiscard]] bool isFailure() const { return !isSuccess(); }
  [[nodiscard]] std::optional<Value> value() const {
    if (isSuccess()) return std::get<0>(payload_);
    return std::nullopt;
  }
  // The failure's error; null for a success.
  [[nodiscard]] AnyError error() const {
    if (isFailure()) return std::get<1>(payload_);
    return nullptr;
  }

  [[nodiscard]] std::string description() const { return isSuccess() ? "SUCCESS" : "FAILURE"; }
  [[nodiscard]] std::string debugDescription() const {
    if (isSuccess()) return "SUCCESS: " + describe(std::get<0>(payload_));
    return "FAILURE: " + describe(*std::get<1>(payload_));
  }

 private:
  template <std::size_t I, class T>
  VtResult(std::in_place_index_t<I> index, T&& payload) : payload_(index, std::forward<T>(payload)) {}

  std::variant<Value, AnyError> payload_;
};

// A success value or a failure message.
template <class Value>
class SimpleResult {
 public:
  enum class Case { success, failure };

  [[nodiscard]] static SimpleResult success(Value value) { return SimpleResult(std::in_place_index<0>, std::move(value)); }
  [[nodiscard]] static SimpleResult failure(std::string message) {
    return SimpleResult(std::in_place_index<1>, std::move(message));
  }

  [[nodiscard]] Case kind() const { return isSuccess() ? Case::success : Case::failure; }
  [[nodiscard]] bool isSuccess() const { return payload_.index() == 0; }
  [[nodiscard]] bool isFailure() const { return !isSuccess(); }
  [[nodiscard]] std::optional<Value> value() const {
    if (isSuccess()) return std::get<0>(payload_);
    return std::nullopt;
  }
  // The failure's message.
  [[nodiscard]] std::optional<std::string> message() const {
    if (isFailure()) return std::get<1>(payload_);
    return std::nullopt;
  }
  // A failure's message as a `SimpleError`; nullopt for a success.
  [[nodiscard]] std::optional<SimpleError> error() const {
    if (isFailure()) return SimpleError(std::get<1>(payload_));
    return std::nullopt;
  }

  [[nodiscard]] std::string description() const { return isSuccess() ? "SUCCESS" : "FAILURE"; }
  [[nodiscard]] std::string debugDescription() const {
    if (isSuccess()) return "SUCCESS: " + describe(std::get<0>(payload_));
    return "FAILURE: " + std::get<1>(payload_);
  }

 private:
  template <std::size_t I, class T>
  SimpleResult(std::in_place_index_t<I> index, T&& payload) : payload_(index, std::forward<T>(payload)) {}

  std::variant<Value, std::string> payload_;
};

}  // namespace vantrel
