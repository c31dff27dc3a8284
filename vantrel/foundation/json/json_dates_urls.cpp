#include "vantrel/foundation/json/json_dates_urls.h"

#include <any>
#include <string>
#include <string_view>
#include <utility>

#include "vantrel/core/date_text.h"
#include "vantrel/core/no_destructor.h"
#include "vantrel/text/character_set.h"
#include "vantrel/text/percent_encoding.h"
#include "vantrel/text/regular_expression.h"

namespace vantrel {
namespace {

// "yyyy-MM-ddTHH:mm:ss.SSSZ": where the digits are; the other places hold
// the character they show.
constexpr std::string_view kDateShape = "0000-00-00T00:00:00.000Z";

bool hasDateShape(std::string_view text) {
  if (text.size() != kDateShape.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (kDateShape[i] == '0' ? !digit : text[i] != kDateShape[i]) return false;
  }
  return true;
}

const RegularExpression& percentEscape() {
  static NoDestructor<RegularExpression> expression("%[0-9A-Fa-f]{2}");
  return *expression;
}

PlatformValue unwrapAdditions(const PlatformValue& of, int depth) {
  if (depth > kMaxJsonDepth) throw JsonDepthError();
  switch (of.kind()) {
    case PlatformValue::Kind::opaque: {
      const std::any& value = of.opaqueValue()->value;
      if (const Json* json = std::any_cast<Json>(&value)) return unwrapAdditions(json->managedJsonObject(), depth + 1);
      if (const Date* instant = std::any_cast<Date>(&value)) return PlatformValue(isoDateTimeText(*instant, true));
      if (const URL* link = std::any_cast<URL>(&value)) return PlatformValue(link->absoluteString());
      return of;
    }
    case PlatformValue::Kind::array: {
      PlatformValue::Array elements;
      elements.reserve(of.array()->size());
      for (const PlatformValue& element : *of.array()) elements.push_back(unwrapAdditions(element, depth + 1));
      return PlatformValue(std::move(elements));
    }
    case PlatformValue::Kind::dictionary: {
      JsonDictionary members;
      for (const auto& [key, value] : *of.dictionary()) members.insertOrAssign(key, unwrapAdditions(value, depth + 1));
      return PlatformValue(std::move(members));
    }
    default: return of;
  }
}

}  // namespace

Json jsonFromJoWithAdditions(const PlatformValue& jo) { return Json(unwrapAdditions(jo, 0)); }

std::optional<URL> url(const Json& json) {
  if (json.type() != JsonType::string) return std::nullopt;
  const std::string text = json.managedJsonObject().text()->str();
  if (percentEscape().firstMatch(text)) return URL::fromString(text);
  return URL::fromString(addingPercentEncoding(text, CharacterSet::urlQueryAllowed()));
}

std::optional<Date> date(const Json& json) {
  if (json.type() != JsonType::string) return std::nullopt;
  const std::string text = json.managedJsonObject().text()->str();
  if (!hasDateShape(text)) return std::nullopt;
  return parseIsoDateTime(text);
}

Date dateValue(const Json& json) { return date(json).value_or(Date()); }

}  // namespace vantrel
