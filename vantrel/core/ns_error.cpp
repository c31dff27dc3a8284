#include "vantrel/core/ns_error.h"

#include "vantrel/core/number_text.h"

namespace vantrel {
namespace {

std::string localizedText(const std::string& domain, std::int64_t code, const NSError::UserInfo& userInfo) {
  if (auto it = userInfo.find(NSLocalizedDescriptionKey); it != userInfo.end()) return it->second;
  return "The operation couldn\u2019t be completed. (" + domain + " error " + integerText(code) + ".)";
}

std::string errorObjectText(const std::string& domain, std::int64_t code, const NSError::UserInfo& userInfo) {
  std::string text = "Error Domain=" + domain + " Code=" + integerText(code) + " \"" +
                     localizedText(domain, code, userInfo) + "\" UserInfo={";
  bool first = true;
  for (const auto& [key, value] : userInfo) {
    if (!first) text += ", ";
    first = false;
    text += key + "=" + value;
  }
  return text + "}";
}

}  // namespace

NSError::NSError(std::string domain, std::int64_t code, UserInfo userInfo)
    : Error(errorObjectText(domain, code, userInfo)),
      domain_(std::move(domain)),
      code_(code),
      userInfo_(std::move(userInfo)) {}

std::string NSError::localizedDescription() const { return localizedText(domain_, code_, userInfo_); }

std::shared_ptr<const NSError> qNSErrorInDomainCurrentClass(std::int64_t code, std::string message,
                                                            SourceLocation loc) {
  return core_internal::makeNSErrorInDomain(code, std::move(message), loc.file_name(), loc.function_name(),
                                            loc.line(), loc.column());
}

namespace core_internal {

std::string errorDomainForSourcePosition(std::string_view file, std::string_view function, std::int64_t line,
                                         std::int64_t column) {
  const std::size_t slash = file.rfind('/');
  const std::string_view lastComponent = slash == std::string_view::npos ? file : file.substr(slash + 1);
  std::string domain(lastComponent);
  domain += "->";
  domain += function;
  domain += "@";
  domain += integerText(line);
  domain += ",";
  domain += integerText(column);
  return domain;
}

std::shared_ptr<const NSError> makeNSErrorInDomain(std::int64_t code, std::string message, std::string_view file,
                                                   std::string_view function, std::int64_t line,
                                                   std::int64_t column) {
  NSError::UserInfo userInfo;
  userInfo.emplace(std::string(NSLocalizedDescriptionKey), std::move(message));
  return std::make_shared<const NSError>(errorDomainForSourcePosition(file, function, line, column), code,
                                         std::move(userInfo));
}

}  // namespace core_internal
}  // namespace vantrel
