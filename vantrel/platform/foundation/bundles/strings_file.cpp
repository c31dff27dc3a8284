#include "vantrel/platform/foundation/bundles/strings_file.h"

#include <optional>

#include <fmt/format.h>

#include "vantrel/core/utf8.h"
#include "vantrel/text/string_services.h"

namespace vantrel {

StringsFileError::StringsFileError(std::string reason, std::int64_t line)
    : Error(fmt::format("Invalid strings file, line {}: {}", line, reason)), reason_(std::move(reason)), line_(line) {}

namespace {

std::string decodeUtf16(std::string_view bytes, bool bigEndian) {
  if (bytes.size() % 2 != 0) throw StringsFileError("UTF-16 text with an odd number of bytes", 1);
  std::string out;
  out.reserve(bytes.size());
  const auto unitAt = [&](std::size_t i) -> char32_t {
    const auto a = static_cast<unsigned char>(bytes[i]);
    const auto b = static_cast<unsigned char>(bytes[i + 1]);
    return bigEndian ? static_cast<char32_t>((a << 8) | b) : static_cast<char32_t>((b << 8) | a);
  };
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    char32_t unit = unitAt(i);
    if (unit >= 0xDC00 && unit <= 0xDFFF) throw StringsFileError("unpaired UTF-16 surrogate", 1);
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      if (i + 3 >= bytes.size()) throw StringsFileError("unpaired UTF-16 surrogate", 1);
      const char32_t low = unitAt(i + 2);
      if (low < 0xDC00 || low > 0xDFFF) throw StringsFileError("unpaired UTF-16 surrogate", 1);
      unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
      i += 2;
    }
    appendUtf8(out, unit);
  }
  return out;
}

bool isBareWordCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         std::string_view("_$+/:.-").find(c) != std::string_view::npos;
}

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  std::unordered_map<std::string, std::string> parse() {
    std::unordered_map<std::string, std::string> entries;
    for (;;) {
      skipSpaceAndComments();
      if (atEnd()) return entries;
      std::string key = token("a key");
      skipSpaceAndComments();
      if (consume(';')) {
        entries.insert_or_assign(key, key);
        continue;
      }
      if (!consume('=')) fail("expected \"=\" or \";\" after a key");
      skipSpaceAndComments();
      std::string value = token("a value");
      skipSpaceAndComments();
      if (!consume(';')) fail("expected \";\" after a value");
      entries.insert_or_assign(std::move(key), std::move(value));
    }
  }

 private:
  [[noreturn]] void fail(const std::string& reason) const { throw StringsFileError(reason, line_); }

  [[nodiscard]] bool atEnd() const { return pos_ >= text_.size(); }

  bool consume(char c) {
    if (!atEnd() && text_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }

  void skipSpaceAndComments() {
    while (!atEnd()) {
      const char c = text_[pos_];
      if (c == '\n') {
        ++line_;
        ++pos_;
      } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
        ++pos_;
      } else if (text_.substr(pos_, 2) == "/*") {
        const std::int64_t startLine = line_;
        pos_ += 2;
        for (;;) {
          if (atEnd()) throw StringsFileError("unterminated comment", startLine);
          if (text_.substr(pos_, 2) == "*/") {
            pos_ += 2;
            break;
          }
          if (text_[pos_] == '\n') ++line_;
          ++pos_;
        }
      } else if (text_.substr(pos_, 2) == "//") {
        while (!atEnd() && text_[pos_] != '\n') ++pos_;
      } else {
        return;
      }
    }
  }

  std::string token(const char* what) {
    if (atEnd()) fail(std::string("expected ") + what + " at the end of the text");
    if (text_[pos_] == '"') return quoted();
    const std::size_t start = pos_;
    while (!atEnd() && isBareWordCharacter(text_[pos_])) ++pos_;
    if (pos_ == start) fail(std::string("expected ") + what);
    return std::string(text_.substr(start, pos_ - start));
  }

  std::optional<char32_t> hexUnit() {
    if (pos_ + 4 > text_.size()) return std::nullopt;
    char32_t value = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = text_[pos_ + static_cast<std::size_t>(i)];
      value <<= 4;
      if (c >= '0' && c <= '9') value |= static_cast<char32_t>(c - '0');
      else if (c >= 'a' && c <= 'f') value |= static_cast<char32_t>(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F') value |= static_cast<char32_t>(c - 'A' + 10);
      else return std::nullopt;
    }
    pos_ += 4;
    return value;
  }

  std::string quoted() {
    const std::int64_t startLine = line_;
    ++pos_;  // the opening quotation mark
    std::string out;
    for (;;) {
      if (atEnd()) throw StringsFileError("unterminated quoted string", startLine);
      const char c = text_[pos_++];
      if (c == '"') return out;
      if (c == '\n') ++line_;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (atEnd()) throw StringsFileError("unterminated quoted string", startLine);
      const char e = text_[pos_++];
      switch (e) {
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case 'a': out += '\a'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'v': out += '\v'; break;
        case 'U':
        case 'u': {
          auto unit = hexUnit();
          if (!unit) fail("\\U needs four hexadecimal digits");
          char32_t scalar = *unit;
          if (scalar >= 0xDC00 && scalar <= 0xDFFF) fail("unpaired UTF-16 surrogate in a \\U escape");
          if (scalar >= 0xD800 && scalar <= 0xDBFF) {
            if (text_.substr(pos_, 2) != "\\U" && text_.substr(pos_, 2) != "\\u") {
              fail("unpaired UTF-16 surrogate in a \\U escape");
            }
            pos_ += 2;
            auto low = hexUnit();
            if (!low || *low < 0xDC00 || *low > 0xDFFF) fail("unpaired UTF-16 surrogate in a \\U escape");
            scalar = 0x10000 + ((scalar - 0xD800) << 10) + (*low - 0xDC00);
          }
          appendUtf8(out, scalar);
          break;
        }
        default:
          if (e >= '0' && e <= '7') {
            unsigned value = static_cast<unsigned>(e - '0');
            for (int i = 0; i < 2 && !atEnd() && text_[pos_] >= '0' && text_[pos_] <= '7'; ++i) {
              value = value * 8 + static_cast<unsigned>(text_[pos_++] - '0');
            }
            // Octal escapes name Latin-1 characters, never raw bytes, so the
            // result stays valid UTF-8.
            appendUtf8(out, static_cast<char32_t>(value));
          } else {
            if (e == '\n') ++line_;
            out += e;  // \\ \" \' and any other character stand for themselves
          }
      }
    }
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  std::int64_t line_ = 1;
};

}  // namespace

std::string decodeStringsFileText(std::string_view bytes) {
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    return decodeUtf16(bytes.substr(2), false);
  }
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE &&
      static_cast<unsigned char>(bytes[1]) == 0xFF) {
    return decodeUtf16(bytes.substr(2), true);
  }
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  if (!isValidUtf8(bytes)) throw StringsFileError("text is neither UTF-8 nor UTF-16 with a byte-order mark", 1);
  return std::string(bytes);
}

std::unordered_map<std::string, std::string> parseStringsFile(std::string_view bytes) {
  const std::string text = decodeStringsFileText(bytes);
  return Parser(text).parse();
}

std::string stringsFileQuoted(std::string_view input) {
  const std::string text = repairedUtf8(input);
  std::string out;
  out.reserve(text.size() + 2);
  out += '"';
  for (const char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
          out += fmt::format("\\U{:04X}", static_cast<unsigned>(static_cast<unsigned char>(c)));
        } else {
          out += c;
        }
    }
  }
  out += '"';
  return out;
}

}  // namespace vantrel
