// File: vantrel/platform/kit/selector.h
//
// `Selector`: the name of an action message, such as "copy:", as menu items
// and controls carry it. Two selectors are the same action when their names
// are the same bytes; nothing is looked up or checked.
//
//   Selector copy("copy:");
//   copy.name()                       // "copy:"
//   copy == Selector("copy:")         // true
//   describe(copy)                    // "copy:"
//   describe(std::optional(copy))     // "Optional(copy:)": a name, not a text
//
// A value type; thread-safe as a string is.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <utility>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class Selector {
 public:
  explicit Selector(std::string name) : name_(std::move(name)) {}

  [[nodiscard]] const std::string& name() const { return name_; }
  // The name itself, unquoted, also inside collections and optionals.
  [[nodiscard]] const std::string& description() const { return name_; }

  friend bool operator==(const Selector&, const Selector&) = default;

 private:
  std::string name_;
};

}  // namespace vantrel

template <>
struct std::hash<vantrel::Selector> {
  std::size_t operator()(const vantrel::Selector& s) const noexcept { return std::hash<std::string>()(s.name()); }
};
