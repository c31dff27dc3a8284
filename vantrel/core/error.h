// File: vantrel/core/error.h
//
// `vantrel::Error`: base of every exception the library throws. An error
// enumeration becomes a subclass with an `enum class` case and its
// payload; `description()` is the case's text, fixed when the error is made.
//
//   struct Errur : Error {
//     enum class Case { elementAlreadyPresent };
//     explicit Errur(Case c) : Error("elementAlreadyPresent"), kind(c) {}
//     Case kind;
//   };
//
// `errorDescription(e)` is the text of any exception: `description()` for a
// `vantrel::Error`, `what()` otherwise.
#pragma once

#include <exception>
#include <string>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class Error : public std::exception {
 public:
  explicit Error(std::string description) : description_(std::move(description)) {}

  const std::string& description() const noexcept { return description_; }
  const char* what() const noexcept override { return description_.c_str(); }

 private:
  std::string description_;
};

[[nodiscard]] std::string errorDescription(const std::exception& error);

}  // namespace vantrel
