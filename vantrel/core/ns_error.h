// File: vantrel/core/ns_error.h
//
// `NSError`: the platform's error object: a domain, a code and user
// information, whose localized description is the entry under
// `NSLocalizedDescriptionKey`.
//
//   NSError e("Parser", 7, {{std::string(NSLocalizedDescriptionKey), "bad input"}});
//   e.localizedDescription();   // "bad input"
//   e.description();            // Error Domain=Parser Code=7 "bad input" UserInfo={NSLocalizedDescription=bad input}
//
//   auto made = qNSErrorInDomainCurrentClass(7, "m");
//   made->domain();             // "<file name>-><function>@<line>,<column>" of the call
//
// Immutable; any thread.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "vantrel/core/error.h"
#include "vantrel/core/source_location.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

inline constexpr std::string_view NSLocalizedDescriptionKey = "NSLocalizedDescription";

class NSError : public Error {
 public:
  using UserInfo = std::map<std::string, std::string, std::less<>>;

  NSError(std::string domain, std::int64_t code, UserInfo userInfo = {});

  [[nodiscard]] const std::string& domain() const noexcept { return domain_; }
  [[nodiscard]] std::int64_t code() const noexcept { return code_; }
  [[nodiscard]] const UserInfo& userInfo() const noexcept { return userInfo_; }
  // The user information's localized description, else the platform's
  // generic "The operation couldn’t be completed. (<domain> error <code>.)".
  [[nodiscard]] std::string localizedDescription() const;

 private:
  std::string domain_;
  std::int64_t code_;
  UserInfo userInfo_;
};

// An error whose domain names the calling source position (see
// `errorDomainForSourcePosition`), with `code` and `message` as its
// localized description.
[[nodiscard]] std::shared_ptr<const NSError> qNSErrorInDomainCurrentClass(
    std::int64_t code, std::string message, SourceLocation loc = SourceLocation::current());

namespace core_internal {
// The last path component of `file`, "->", `function`, "@", `line`, ",",
// `column`.
[[nodiscard]] std::string errorDomainForSourcePosition(std::string_view file, std::string_view function,
                                                       std::int64_t line, std::int64_t column);
[[nodiscard]] std::shared_ptr<const NSError> makeNSErrorInDomain(std::int64_t code, std::string message,
                                                                 std::string_view file,
                                                                 std::string_view function,
                                                                 std::int64_t line, std::int64_t column);
}  // namespace core_internal

}  // namespace vantrel
