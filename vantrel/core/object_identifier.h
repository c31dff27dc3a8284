// File: vantrel/core/object_identifier.h
//
// `ObjectIdentifier`: the identity of an object (its address), printable.
//
//   ObjectIdentifier id(ptr);
//   id.description();   // "ObjectIdentifier(0x00005581a3f0ab12)"
//   id.last(3);         // "b12"
//   id.last();          // "📛0ab12": a short tag for telling objects apart in logs
//
// `last(n)` takes n in 0...16; another count stops the program.
#pragma once

#include <compare>
#include <cstdint>
#include <memory>
#include <string>

#include "vantrel/core/source_location.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class ObjectIdentifier {
 public:
  explicit ObjectIdentifier(const void* object) : address_(reinterpret_cast<std::uintptr_t>(object)) {}
  template <class T>
  explicit ObjectIdentifier(const std::shared_ptr<T>& object) : ObjectIdentifier(static_cast<const void*>(object.get())) {}

  // "ObjectIdentifier(0x" + 16 lower-case hexadecimal digits + ")".
  [[nodiscard]] std::string description() const;
  // The last `n` of the 16 digits.
  [[nodiscard]] std::string last(std::int64_t n, SourceLocation loc = SourceLocation::current()) const;
  // "📛" + last(5).
  [[nodiscard]] std::string last() const;

  [[nodiscard]] std::uintptr_t address() const { return address_; }

  friend auto operator<=>(const ObjectIdentifier&, const ObjectIdentifier&) = default;

 private:
  std::uintptr_t address_;
};

}  // namespace vantrel

template <>
struct std::hash<vantrel::ObjectIdentifier> {
  std::size_t operator()(const vantrel::ObjectIdentifier& id) const noexcept {
    return std::hash<std::uintptr_t>()(id.address());
  }
};
