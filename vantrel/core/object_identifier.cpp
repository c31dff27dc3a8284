#include "vantrel/core/object_identifier.h"

#include <fmt/format.h>

#include "vantrel/core/fatal.h"

namespace vantrel {

std::string ObjectIdentifier::description() const {
  return fmt::format("ObjectIdentifier(0x{:016x})", static_cast<std::uint64_t>(address_));
}

std::string ObjectIdentifier::last(std::int64_t n, SourceLocation loc) const {
  if (n < 0 || n > 16) fatal(fmt::format("ObjectIdentifier.last: {} is outside 0...16", n), loc);
  const std::string text = description();  // 19 characters, 16 digits, ")"
  return text.substr(static_cast<std::size_t>(35 - n), static_cast<std::size_t>(n));
}

std::string ObjectIdentifier::last() const { return "\U0001F4DB" + last(5); }

}  // namespace vantrel
