#include "vantrel/json/json_number.h"

#include <charconv>
#include <cmath>

#include "vantrel/core/number_text.h"

namespace vantrel {
namespace {

// JSON's number grammar: -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
bool isJsonNumberToken(std::string_view t, bool& integral) {
  std::size_t i = 0;
  const auto digit = [&](std::size_t at) { return at < t.size() && t[at] >= '0' && t[at] <= '9'; };
  integral = true;
  if (i < t.size() && t[i] == '-') ++i;
  if (!digit(i)) return false;
  if (t[i] == '0') {
    ++i;
  } else {
    while (digit(i)) ++i;
  }
  if (i < t.size() && t[i] == '.') {
    integral = false;
    ++i;
    if (!digit(i)) return false;
    while (digit(i)) ++i;
  }
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    integral = false;
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    if (!digit(i)) return false;
    while (digit(i)) ++i;
  }
  return i == t.size();
}

constexpr double kTwo63 = 9223372036854775808.0;
constexpr double kTwo64 = 18446744073709551616.0;

}  // namespace

JsonNumber JsonNumber::fromBool(bool value) {
  JsonNumber n;
  n.kind_ = Kind::boolean;
  n.i_ = value ? 1 : 0;
  return n;
}

JsonNumber JsonNumber::fromChar(char value) {
  JsonNumber n;
  n.kind_ = Kind::character;
  n.i_ = static_cast<signed char>(value);
  return n;
}

JsonNumber JsonNumber::fromUInt(std::uint64_t value) {
  JsonNumber n;
  n.kind_ = Kind::unsignedInteger;
  n.u_ = value;
  return n;
}

std::optional<JsonNumber> JsonNumber::fromToken(std::string_view token) {
  bool integral = true;
  if (!isJsonNumberToken(token, integral)) return std::nullopt;
  return fromValidToken(token, integral);
}

JsonNumber JsonNumber::fromValidToken(std::string_view token, bool integral) {
  if (integral) {
    // Up to 18 digits always fit: the common case, without a library call.
    const bool negative = token.front() == '-';
    const std::size_t digits = token.size() - (negative ? 1 : 0);
    if (digits <= 18) {
      std::int64_t value = 0;
      for (std::size_t i = negative ? 1 : 0; i < token.size(); ++i) value = value * 10 + (token[i] - '0');
      return fromInt(negative ? -value : value);
    }
    if (const auto i = parseInt64(token)) return fromInt(*i);
    if (token.front() != '-') {
      if (const auto u = parseUInt64(token)) return fromUInt(*u);
    }
  } else if (const auto d = parseDouble(token); d && std::isfinite(*d)) {
    return fromDouble(*d);
  }
  JsonNumber n;
  n.kind_ = Kind::decimal;
  n.decimal_ = json_internal::makeTextBlock(token.data(), token.size());
  return n;
}

JsonNumber JsonNumber::fromDecimalText(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (auto n = fromToken(text)) return *n;
  return fromInt(0);
}

bool JsonNumber::boolValue() const {
  switch (kind_) {
    case Kind::boolean:
    case Kind::character:
    case Kind::signedInteger: return i_ != 0;
    case Kind::unsignedInteger: return u_ != 0;
    case Kind::floating: return d_ != 0.0;
    case Kind::decimal: return doubleValue() != 0.0;
  }
  return false;
}

std::string JsonNumber::stringValue() const {
  switch (kind_) {
    case Kind::boolean:
    case Kind::character:
    case Kind::signedInteger: return integerText(i_);
    case Kind::unsignedInteger: return unsignedText(u_);
    case Kind::floating: return doubleText(d_);
    case Kind::decimal: return std::string(decimalText());
  }
  return {};
}

void JsonNumber::appendStringValue(std::string& out) const {
  char digits[24];
  switch (kind_) {
    case Kind::boolean:
    case Kind::character:
    case Kind::signedInteger:
      out.append(digits, std::to_chars(digits, digits + sizeof digits, i_).ptr);
      return;
    case Kind::unsignedInteger:
      out.append(digits, std::to_chars(digits, digits + sizeof digits, u_).ptr);
      return;
    case Kind::floating: appendDoubleText(out, d_); return;
    case Kind::decimal: out += decimalText(); return;
  }
}

double JsonNumber::doubleValue() const {
  switch (kind_) {
    case Kind::boolean:
    case Kind::character:
    case Kind::signedInteger: return static_cast<double>(i_);
    case Kind::unsignedInteger: return static_cast<double>(u_);
    case Kind::floating: return d_;
    case Kind::decimal: {
      // Only tokens beyond the double range are left unparsed: they are
      // infinite as doubles.
      if (const auto d = parseDouble(decimalText())) return *d;
      const double huge = std::numeric_limits<double>::infinity();
      return decimal_->data()[0] == '-' ? -huge : huge;
    }
  }
  return 0.0;
}

bool JsonNumber::isFinite() const {
  if (kind_ == Kind::floating || kind_ == Kind::decimal) return std::isfinite(doubleValue());
  return true;
}

std::optional<std::int64_t> JsonNumber::asInt64OfOtherKinds() const {
  switch (kind_) {
    case Kind::boolean:
    case Kind::character:
    case Kind::signedInteger: return i_;
    case Kind::unsignedInteger:
      if (u_ > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) return std::nullopt;
      return static_cast<std::int64_t>(u_);
    case Kind::floating:
    case Kind::decimal: {
      const double d = std::trunc(doubleValue());
      if (!(d >= -kTwo63 && d < kTwo63)) return std::nullopt;  // also NaN
      return static_cast<std::int64_t>(d);
    }
  }
  return std::nullopt;
}

std::optional<std::uint64_t> JsonNumber::asUInt64() const {
  switch (kind_) {
    case Kind::boolean:
    case Kind::character:
    case Kind::signedInteger:
      if (i_ < 0) return std::nullopt;
      return static_cast<std::uint64_t>(i_);
    case Kind::unsignedInteger: return u_;
    case Kind::floating:
    case Kind::decimal: {
      const double d = std::trunc(doubleValue());
      if (!(d >= 0.0 && d < kTwo64)) return std::nullopt;
      return static_cast<std::uint64_t>(d);
    }
  }
  return std::nullopt;
}

bool JsonNumber::equals(const JsonNumber& b) const {
  const JsonNumber& a = *this;
  if (a.isBool() || b.isBool()) return a.isBool() && b.isBool() && a.i_ == b.i_;
  if (a.kind_ == Kind::decimal && b.kind_ == Kind::decimal) return a.decimalText() == b.decimalText();
  const bool aInt = a.kind_ == Kind::signedInteger || a.kind_ == Kind::character || a.kind_ == Kind::unsignedInteger;
  const bool bInt = b.kind_ == Kind::signedInteger || b.kind_ == Kind::character || b.kind_ == Kind::unsignedInteger;
  if (aInt && bInt) {
    const auto ai = a.asInt64();
    const auto bi = b.asInt64();
    if (ai && bi) return *ai == *bi;
    const auto au = a.asUInt64();
    const auto bu = b.asUInt64();
    return au && bu && *au == *bu;
  }
  return a.doubleValue() == b.doubleValue();
}

std::partial_ordering JsonNumber::compare(const JsonNumber& other) const {
  if (isBool() || other.isBool()) {
    if (!(isBool() && other.isBool())) return std::partial_ordering::unordered;
    return i_ <=> other.i_;
  }
  if (kind_ == Kind::decimal && other.kind_ == Kind::decimal && decimalText() == other.decimalText()) {
    return std::partial_ordering::equivalent;
  }
  const bool aSigned = kind_ == Kind::signedInteger || kind_ == Kind::character;
  const bool bSigned = other.kind_ == Kind::signedInteger || other.kind_ == Kind::character;
  const bool aInt = aSigned || kind_ == Kind::unsignedInteger;
  const bool bInt = bSigned || other.kind_ == Kind::unsignedInteger;
  if (aInt && bInt) {
    if (aSigned && bSigned) return i_ <=> other.i_;
    if (!aSigned && !bSigned) return u_ <=> other.u_;
    // One signed, one unsigned: a negative signed is the smaller.
    if (aSigned) {
      if (i_ < 0) return std::partial_ordering::less;
      return static_cast<std::uint64_t>(i_) <=> other.u_;
    }
    if (other.i_ < 0) return std::partial_ordering::greater;
    return u_ <=> static_cast<std::uint64_t>(other.i_);
  }
  const std::partial_ordering order = doubleValue() <=> other.doubleValue();
  // Two different decimals beyond the double range are the same infinity.
  if (order == 0 && kind_ == Kind::decimal && other.kind_ == Kind::decimal) return std::partial_ordering::unordered;
  return order;
}

}  // namespace vantrel
