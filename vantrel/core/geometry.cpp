#include "vantrel/core/geometry.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "vantrel/core/describe.h"
#include "vantrel/core/number_text.h"

namespace vantrel {
namespace {

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
  // A NaN's sign says nothing about a coordinate.
  if (std::isnan(value)) return "nan";
  return significantTextPointZero(value);
}

std::optional<double> coordinateFromText(std::string_view text) { return parseDouble(text); }

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

bool Rect::contains(Point point) const {
  return point.x >= minX() && point.x < maxX() && point.y >= minY() && point.y < maxY();
}

RectDivision divided(Rect rect, double amount, RectEdge edge) {
  const Rect r(rect.minX(), rect.minY(), rect.width(), rect.height());
  const bool horizontal = edge == RectEdge::minX || edge == RectEdge::maxX;
  const double side = horizontal ? r.size.width : r.size.height;
  const double cut = amount > 0 ? std::min(amount, side) : 0.0;  // NaN counts as 0
  const double rest = side - cut;
  switch (edge) {
    case RectEdge::minX:
      return {Rect(r.origin.x, r.origin.y, cut, r.size.height),
              Rect(r.origin.x + cut, r.origin.y, rest, r.size.height)};
    case RectEdge::maxX:
      return {Rect(r.origin.x + rest, r.origin.y, cut, r.size.height),
              Rect(r.origin.x, r.origin.y, rest, r.size.height)};
    case RectEdge::minY:
      return {Rect(r.origin.x, r.origin.y, r.size.width, cut),
              Rect(r.origin.x, r.origin.y + cut, r.size.width, rest)};
    case RectEdge::maxY:
      return {Rect(r.origin.x, r.origin.y + rest, r.size.width, cut),
              Rect(r.origin.x, r.origin.y, r.size.width, rest)};
  }
  return {r, Rect(r.origin.x, r.origin.y, 0, 0)};
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
