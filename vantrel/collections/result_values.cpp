#include "vantrel/collections/result_values.h"

#include <typeinfo>

#include "vantrel/core/number_text.h"

namespace vantrel {

std::shared_ptr<const NSError> ns(const AnyError& error, SourceLocation loc) {
  if (!error) fatal("ns: there is no error to convert", loc);
  if (auto object = std::dynamic_pointer_cast<const NSError>(error)) return object;
  const std::exception& e = *error;
  NSError::UserInfo userInfo;
  userInfo.emplace(std::string(NSLocalizedDescriptionKey), describe(e));
  return std::make_shared<const NSError>(typeName(typeid(e)), 1, std::move(userInfo));
}

std::string asHexString(const void* bytes, std::int64_t length, SourceLocation loc) {
  if (length < 0) fatal("asHexString: the length " + integerText(length) + " is negative", loc);
  static constexpr char kDigits[] = "0123456789ABCDEF";
  const auto* p = static_cast<const unsigned char*>(bytes);
  std::string text = "<";
  for (std::int64_t i = 0; i < length; ++i) {
    text += kDigits[p[i] >> 4];
    text += kDigits[p[i] & 0x0F];
    if (i == length - 1) break;
    if (i % 4 == 3) text += ' ';
    if (i % 64 == 63) text += "\n ";
  }
  text += '>';
  return text;
}

}  // namespace vantrel
