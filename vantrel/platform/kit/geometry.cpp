#include "vantrel/platform/kit/geometry.h"

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <string>

#include <fmt/format.h>

#include "vantrel/core/describe.h"

namespace vantrel {
namespace {

// strtod follows LC_NUMERIC; a host that sets a German locale would turn
// "0.5" into 0. One C locale, made on first use, keeps reading stable.
locale_t cLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return locale;
}

bool isAsciiSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads the exchange forms "{a, b}" and "{{a, b}, {c, d}}": braces, commas,
// optional blanks between the pieces, numbers as coordinateFromText takes them.
class FormReader {
 public:
  explicit FormReader(std::string_view text) : text_(text) {}

  bool expect(char c) {
    skipBlanks();
    if (pos_ >= text_.size() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }

  std::optional<double> number() {
    skipBlanks();
    const std::size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != '}' && text_[pos_] != ' ') ++pos_;
    return coordinateFromText(text_.substr(start, pos_ - start));
  }

  std::optional<std::pair<double, double>> pair() {
    if (!expect('{')) return std::nullopt;
    const auto first = number();
    if (!first || !expect(',')) return std::nullopt;
    const auto second = number();
    if (!second || !expect('}')) return std::nullopt;
    return std::pair{*first, *second};
  }

  bool atEnd() {
    skipBlanks();
    return pos_ == text_.size();
  }

 private:
  void skipBlanks() {
    while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

std::optional<std::pair<double, double>> readPairForm(std::string_view text) {
  FormReader reader(text);
  auto result = reader.pair();
  if (!result || !reader.atEnd()) return std::nullopt;
  return result;
}

std::string pairForm(double a, double b) { return "{" + describe(a) + ", " + describe(b) + "}"; }

}  // namespace

std::string coordinateText(double value) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  // fmt's "g" is printf's "%g" without the locale's decimal separator.
  std::string text = fmt::format("{:.15g}", value);
  if (text.find_first_of(".e") == std::string::npos) text += ".0";
  return text;
}

std::optional<double> coordinateFromText(std::string_view text) {
  if (text.empty()) return std::nullopt;
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80 || isAsciiSpace(c) || c == '\0') return std::nullopt;
  }
  const std::string copy(text);
  char* end = nullptr;
  errno = 0;
  const double value = strtod_l(copy.c_str(), &end, cLocale());
  if (end != copy.c_str() + copy.size()) return std::nullopt;
  // ERANGE comes with underflow too; only an overflowing literal is refused.
  if (errno == ERANGE && std::isinf(value)) return std::nullopt;
  return value;
}

std::string Point::toString() const { return pairForm(x, y); }

std::optional<Point> Point::fromString(std::string_view text) {
  const auto pair = readPairForm(text);
  if (!pair) return std::nullopt;
  return Point(pair->first, pair->second);
}

std::string Point::description() const {
  return "(" + coordinateText(x) + ", " + coordinateText(y) + ")";
}

std::string Size::toString() const { return pairForm(width, height); }

std::optional<Size> Size::fromString(std::string_view text) {
  const auto pair = readPairForm(text);
  if (!pair) return std::nullopt;
  return Size(pair->first, pair->second);
}

std::string Size::description() const {
  return "(" + coordinateText(width) + ", " + coordinateText(height) + ")";
}

double Rect::minX() const { return size.width < 0 ? origin.x + size.width : origin.x; }
double Rect::maxX() const { return size.width < 0 ? origin.x : origin.x + size.width; }
double Rect::midX() const { return origin.x + size.width * 0.5; }
double Rect::minY() const { return size.height < 0 ? origin.y + size.height : origin.y; }
double Rect::maxY() const { return size.height < 0 ? origin.y : origin.y + size.height; }
double Rect::midY() const { return origin.y + size.height * 0.5; }
double Rect::width() const { return std::fabs(size.width); }
double Rect::height() const { return std::fabs(size.height); }

std::string Rect::toString() const {
  return "{" + origin.toString() + ", " + size.toString() + "}";
}

std::optional<Rect> Rect::fromString(std::string_view text) {
  FormReader reader(text);
  if (!reader.expect('{')) return std::nullopt;
  const auto origin = reader.pair();
  if (!origin || !reader.expect(',')) return std::nullopt;
  const auto size = reader.pair();
  if (!size || !reader.expect('}') || !reader.atEnd()) return std::nullopt;
  return Rect(origin->first, origin->second, size->first, size->second);
}

std::string Rect::description() const {
  return "(" + coordinateText(origin.x) + ", " + coordinateText(origin.y) + ", " +
         coordinateText(size.width) + ", " + coordinateText(size.height) + ")";
}

std::string Vector::description() const {
  return "(" + coordinateText(dx) + ", " + coordinateText(dy) + ")";
}

std::string EdgeInsets::description() const {
  return "(" + coordinateText(top) + ", " + coordinateText(left) + ", " + coordinateText(bottom) +
         ", " + coordinateText(right) + ")";
}

AffineTransform AffineTransform::makeRotation(double angle) {
  const double cosine = std::cos(angle);
  const double sine = std::sin(angle);
  return {cosine, sine, -sine, cosine, 0, 0};
}

std::string AffineTransform::description() const {
  return "(" + coordinateText(a) + ", " + coordinateText(b) + ", " + coordinateText(c) + ", " +
         coordinateText(d) + ", " + coordinateText(tx) + ", " + coordinateText(ty) + ")";
}

}  // namespace vantrel
