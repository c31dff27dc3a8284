// File: vantrel/collections/small_core_values.h
//
// Small building blocks for hosts: an iteration position for progress
// output, named and titled actions, a titled section of actions, a memory
// address and the two texts of a raw-representable value.
//
//   IterationPosition(9, 12).description()     "10/12"   (counted from 1)
//   IterationPosition(0, 12).description()     " 1/12"   (right-aligned to the total's digits)
//   MemoryAddress<int>(pointer).description()  "0x00007ffd5c1a2b3c"
//
// Plain values, except `NamedSection`, a class held by reference.
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "vantrel/core/describe.h"
#include "vantrel/core/source_location.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// Position `i` (from 0) of an iteration of `total` steps. `total` is a count:
// a negative one stops the program. `i` is never checked against it.
class IterationPosition {
 public:
  explicit IterationPosition(std::int64_t total, SourceLocation loc = SourceLocation::current())
      : IterationPosition(0, total, loc) {}
  IterationPosition(std::int64_t i, std::int64_t total, SourceLocation loc = SourceLocation::current());

  std::int64_t i = 0;

  [[nodiscard]] std::int64_t total() const { return total_; }
  void setTotal(std::int64_t total, SourceLocation loc = SourceLocation::current());
  // The decimal digits of `total`, kept up to date with it.
  [[nodiscard]] std::int64_t totalStringFormattedLen() const { return totalStringFormattedLen_; }
  [[nodiscard]] std::int64_t offset() const { return i; }

  // i + 1 in decimal, padded on the left with blanks to the digits of the
  // total, "/", the total. Stops when i + 1 does not fit.
  [[nodiscard]] std::string description() const;

  friend bool operator==(const IterationPosition& a, const IterationPosition& b) {
    return a.i == b.i && a.total_ == b.total_;
  }
  // i XOR total.
  [[nodiscard]] std::size_t hashValue() const {
    return static_cast<std::size_t>(static_cast<std::uint64_t>(i) ^ static_cast<std::uint64_t>(total_));
  }

 private:
  std::int64_t total_ = 0;
  std::int64_t totalStringFormattedLen_ = 1;
};

// A closure with a name.
struct NamedAction {
  NamedAction(std::string name, std::function<void()> action)
      : action(std::move(action)), name_(std::move(name)) {}
  [[nodiscard]] const std::string& name() const { return name_; }
  std::function<void()> action;

 private:
  std::string name_;
};

// A closure with a code and a title; one text serves as both.
struct TitledAction {
  TitledAction(std::string code, std::string title, std::function<void()> action)
      : action(std::move(action)), code_(std::move(code)), title_(std::move(title)) {}
  TitledAction(const std::string& codeAndTitle, std::function<void()> action)
      : TitledAction(codeAndTitle, codeAndTitle, std::move(action)) {}
  [[nodiscard]] const std::string& code() const { return code_; }
  [[nodiscard]] const std::string& title() const { return title_; }
  std::function<void()> action;

 private:
  std::string code_;
  std::string title_;
};

// A titled group of named actions; every accessor may be overridden.
class NamedSection {
 public:
  NamedSection(std::optional<std::string> header, std::optional<std::string> footer,
               std::vector<NamedAction> actions)
      : headerText_(std::move(header)), footerText_(std::move(footer)), namedActions_(std::move(actions)) {}
  virtual ~NamedSection() = default;

  [[nodiscard]] virtual std::optional<std::string> code() const { return code_; }
  virtual void setCode(std::optional<std::string> code) { code_ = std::move(code); }
  [[nodiscard]] virtual std::optional<std::string> headerText() const { return headerText_; }
  virtual void setHeaderText(std::optional<std::string> text) { headerText_ = std::move(text); }
  [[nodiscard]] virtual std::optional<std::string> footerText() const { return footerText_; }
  virtual void setFooterText(std::optional<std::string> text) { footerText_ = std::move(text); }
  [[nodiscard]] virtual std::vector<NamedAction> namedActions() const { return namedActions_; }
  virtual void setNamedActions(std::vector<NamedAction> actions) { namedActions_ = std::move(actions); }

 private:
  std::optional<std::string> code_;
  std::optional<std::string> headerText_;
  std::optional<std::string> footerText_;
  std::vector<NamedAction> namedActions_;
};

namespace collections_internal {
// "0x" and 16 lower-case hexadecimal digits.
[[nodiscard]] std::string addressText(std::uint64_t address);
}  // namespace collections_internal

// The address of a thing of type T.
template <class T>
class MemoryAddress {
 public:
  explicit MemoryAddress(const T* pointer)
      : intValue_(static_cast<std::int64_t>(reinterpret_cast<std::uintptr_t>(pointer))) {}
  explicit MemoryAddress(const std::shared_ptr<T>& object) : MemoryAddress(object.get()) {}

  [[nodiscard]] std::int64_t intValue() const { return intValue_; }
  // "0x" and the address in 16 lower-case hexadecimal digits (also for 0).
  [[nodiscard]] std::string description() const {
    return collections_internal::addressText(static_cast<std::uint64_t>(intValue_));
  }

 private:
  std::int64_t intValue_;
};

// Values with a raw value (`rawValue()`).
template <class T>
concept RawRepresentable = requires(const T& v) { v.rawValue(); };

// The value's own description, not its raw value's.
template <RawRepresentable T>
[[nodiscard]] std::string vtRawDescribing(const T& value) {
  return describe(value);
}
// The value's debug description; without one, its description qualified by
// the type's name ("vantrel::ConsoleColor.red").
template <RawRepresentable T>
[[nodiscard]] std::string vtRawReflecting(const T& value) {
  if constexpr (core_internal::HasDebugDescription<T>) {
    return std::string(value.debugDescription());
  } else {
    return typeName<T>() + "." + describe(value);
  }
}

}  // namespace vantrel

template <>
struct std::hash<vantrel::IterationPosition> {
  std::size_t operator()(const vantrel::IterationPosition& p) const noexcept { return p.hashValue(); }
};
