#include "vantrel/platform/foundation/defaults/internal/defaults_json.h"

#include <charconv>
#include <cmath>

#include "vantrel/core/number_text.h"
#include "vantrel/text/escaping.h"
#include "vantrel/text/string_services.h"

namespace vantrel::foundation_internal {
namespace {

constexpr int kMaxDepth = 256;

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  std::optional<JsonNode> document() {
    auto node = value(0);
    skipSpace();
    if (!node || pos_ != text_.size()) return std::nullopt;
    return node;
  }

 private:
  void skipSpace() {
    while (pos_ < text_.size() &&
           (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n' || text_[pos_] == '\r')) {
      ++pos_;
    }
  }

  bool consume(char c) {
    skipSpace();
    if (pos_ < text_.size() && text_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }

  bool literal(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) return false;
    pos_ += word.size();
    return true;
  }

  std::optional<JsonNode> value(int depth) {
    if (depth > kMaxDepth) return std::nullopt;
    skipSpace();
    if (pos_ >= text_.size()) return std::nullopt;
    const char c = text_[pos_];
    if (c == '{') {
      ++pos_;
      JsonObject object;
      if (consume('}')) return JsonNode{std::move(object)};
      do {
        skipSpace();
        auto key = string();
        if (!key || !consume(':')) return std::nullopt;
        auto member = value(depth + 1);
        if (!member) return std::nullopt;
        object.insert_or_assign(std::move(*key), std::move(*member));
      } while (consume(','));
      if (!consume('}')) return std::nullopt;
      return JsonNode{std::move(object)};
    }
    if (c == '[') {
      ++pos_;
      JsonArray array;
      if (consume(']')) return JsonNode{std::move(array)};
      do {
        auto element = value(depth + 1);
        if (!element) return std::nullopt;
        array.push_back(std::move(*element));
      } while (consume(','));
      if (!consume(']')) return std::nullopt;
      return JsonNode{std::move(array)};
    }
    if (c == '"') {
      auto text = string();
      if (!text) return std::nullopt;
      return JsonNode{std::move(*text)};
    }
    if (literal("true")) return JsonNode{true};
    if (literal("false")) return JsonNode{false};
    if (literal("null")) return JsonNode{};
    return number();
  }

  std::optional<JsonNode> number() {
    const std::size_t start = pos_;
    bool integral = true;
    if (pos_ < text_.size() && text_[pos_] == '-') ++pos_;
    if (pos_ >= text_.size()) return std::nullopt;
    if (text_[pos_] == '0') {
      ++pos_;
    } else if (text_[pos_] >= '1' && text_[pos_] <= '9') {
      while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') ++pos_;
    } else {
      return std::nullopt;
    }
    if (pos_ < text_.size() && text_[pos_] == '.') {
      integral = false;
      ++pos_;
      const std::size_t digits = pos_;
      while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') ++pos_;
      if (pos_ == digits) return std::nullopt;
    }
    if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
      integral = false;
      ++pos_;
      if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) ++pos_;
      const std::size_t digits = pos_;
      while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') ++pos_;
      if (pos_ == digits) return std::nullopt;
    }
    const std::string_view token = text_.substr(start, pos_ - start);
    if (integral) {
      std::int64_t value = 0;
      const auto result = std::from_chars(token.data(), token.data() + token.size(), value);
      if (result.ec == std::errc() && result.ptr == token.data() + token.size()) return JsonNode{value};
    }
    // The token is JSON's number syntax, which the locale-free parser reads
    // as it is; numbers too large for a double are refused, not read as
    // infinity.
    const auto value = parseDouble(token);
    if (!value || !std::isfinite(*value)) return std::nullopt;
    return JsonNode{*value};
  }

  std::optional<char32_t> hex4() {
    if (pos_ + 4 > text_.size()) return std::nullopt;
    char32_t value = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = text_[pos_++];
      value <<= 4;
      if (c >= '0' && c <= '9') value |= static_cast<char32_t>(c - '0');
      else if (c >= 'a' && c <= 'f') value |= static_cast<char32_t>(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F') value |= static_cast<char32_t>(c - 'A' + 10);
      else return std::nullopt;
    }
    return value;
  }

  std::optional<std::string> string() {
    if (pos_ >= text_.size() || text_[pos_] != '"') return std::nullopt;
    ++pos_;
    std::string out;
    while (pos_ < text_.size()) {
      const char c = text_[pos_++];
      if (c == '"') {
        if (!isValidUtf8(out)) return std::nullopt;
        return out;
      }
      if (static_cast<unsigned char>(c) < 0x20) return std::nullopt;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (pos_ >= text_.size()) return std::nullopt;
      switch (text_[pos_++]) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '/': out += '/'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
          auto unit = hex4();
          if (!unit) return std::nullopt;
          char32_t scalar = *unit;
          if (scalar >= 0xDC00 && scalar <= 0xDFFF) return std::nullopt;
          if (scalar >= 0xD800 && scalar <= 0xDBFF) {
            if (text_.substr(pos_, 2) != "\\u") return std::nullopt;
            pos_ += 2;
            auto low = hex4();
            if (!low || *low < 0xDC00 || *low > 0xDFFF) return std::nullopt;
            scalar = 0x10000 + ((scalar - 0xD800) << 10) + (*low - 0xDC00);
          }
          out += stringFromScalar(scalar);
          break;
        }
        default:
          return std::nullopt;
      }
    }
    return std::nullopt;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

void write(std::string& out, const JsonNode& node) {
  std::visit(
      [&out](const auto& v) {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, std::monostate>) {
          out += "null";
        } else if constexpr (std::is_same_v<T, bool>) {
          out += v ? "true" : "false";
        } else if constexpr (std::is_same_v<T, std::int64_t>) {
          out += integerText(v);
        } else if constexpr (std::is_same_v<T, double>) {
          if (!std::isfinite(v)) {
            out += "null";
          } else {
            // Shortest round trip, always with a point or an exponent, so it
            // reads back as a double.
            out += doubleText(v);
          }
        } else if constexpr (std::is_same_v<T, std::string>) {
          out += '"';
          appendStringEncodedForJson(out, v);
          out += '"';
        } else if constexpr (std::is_same_v<T, JsonArray>) {
          out += '[';
          bool first = true;
          for (const JsonNode& element : v) {
            if (!first) out += ',';
            first = false;
            write(out, element);
          }
          out += ']';
        } else {
          out += '{';
          bool first = true;
          for (const auto& [key, member] : v) {
            if (!first) out += ',';
            first = false;
            out += '"';
            appendStringEncodedForJson(out, key);
            out += "\":";
            write(out, member);
          }
          out += '}';
        }
      },
      node.value);
}

}  // namespace

std::optional<JsonNode> parseJson(std::string_view text) { return Reader(text).document(); }

std::string writeJson(const JsonNode& node) {
  std::string out;
  write(out, node);
  return out;
}

}  // namespace vantrel::foundation_internal
