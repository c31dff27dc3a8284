// File: vantrel/core/temporary_string.h
//
// `TemporaryString<T>` holds when T, deduced from a forwarding reference, is
// a std::string rvalue. A function that returns views into its text argument
// adds a deleted overload constrained by it, so that handing it a temporary
// does not compile instead of leaving the views dangling:
//
//   std::vector<std::string_view> characters(std::string_view text);
//   template <TemporaryString T> void characters(T&&) = delete;
//
//   auto cs = characters(makeText());   // error: use of deleted function
//   std::string text = makeText();
//   auto ok = characters(text);         // fine: the views point into `text`
//
// Lvalue strings, string views and literals still reach the real function.
#pragma once

#include <concepts>
#include <string>
#include <type_traits>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

template <class T>
concept TemporaryString = std::same_as<std::remove_const_t<T>, std::string>;

}  // namespace vantrel
