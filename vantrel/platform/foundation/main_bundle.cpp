#include "vantrel/platform/foundation/main_bundle.h"

#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string_view>
#include <vector>

#include "vantrel/platform/foundation/internal/info_json.h"

namespace vantrel {
namespace foundation_internal {
namespace {

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

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
  [[nodiscard]] bool peek(char c) {
    skipSpace();
    return pos_ < text_.size() && text_[pos_] == c;
  }

  std::optional<std::string> string() {
    if (!consume('"')) return std::nullopt;
    std::string out;
    while (pos_ < text_.size()) {
      const char c = text_[pos_++];
      if (c == '"') return out;
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
          if (scalar >= 0xD800 && scalar <= 0xDBFF) {
            if (pos_ + 1 >= text_.size() || text_[pos_] != '\\' || text_[pos_ + 1] != 'u') return std::nullopt;
            pos_ += 2;
            auto low = hex4();
            if (!low || *low < 0xDC00 || *low > 0xDFFF) return std::nullopt;
            scalar = 0x10000 + ((scalar - 0xD800) << 10) + (*low - 0xDC00);
          } else if (scalar >= 0xDC00 && scalar <= 0xDFFF) {
            return std::nullopt;
          }
          appendUtf8(out, scalar);
          break;
        }
        default:
          return std::nullopt;
      }
    }
    return std::nullopt;
  }

  // Skips any value; false when it is malformed.
  bool skipValue(int depth) {
    if (depth > 256) return false;
    skipSpace();
    if (pos_ >= text_.size()) return false;
    const char c = text_[pos_];
    if (c == '"') return string().has_value();
    if (c == '{') {
      ++pos_;
      if (consume('}')) return true;
      do {
        if (!string() || !consume(':') || !skipValue(depth + 1)) return false;
      } while (consume(','));
      return consume('}');
    }
    if (c == '[') {
      ++pos_;
      if (consume(']')) return true;
      do {
        if (!skipValue(depth + 1)) return false;
      } while (consume(','));
      return consume(']');
    }
    // Numbers and the three literals: a run of their characters.
    const std::size_t start = pos_;
    while (pos_ < text_.size() && std::string_view("+-.0123456789eEtrufalsn").find(text_[pos_]) !=
                                      std::string_view::npos) {
      ++pos_;
    }
    return pos_ > start;
  }

  [[nodiscard]] bool atEnd() {
    skipSpace();
    return pos_ == text_.size();
  }

 private:
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

  static void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

std::optional<std::string> infoJsonText(std::string_view json, std::string_view key) {
  Reader reader(json);
  if (!reader.consume('{')) return std::nullopt;
  std::optional<std::string> found;
  if (!reader.consume('}')) {
    do {
      auto name = reader.string();
      if (!name || !reader.consume(':')) return std::nullopt;
      if (*name == key && reader.peek('"')) {
        found = reader.string();
        if (!found) return std::nullopt;
      } else {
        if (*name == key) found.reset();
        if (!reader.skipValue(1)) return std::nullopt;
      }
    } while (reader.consume(','));
    if (!reader.consume('}')) return std::nullopt;
  }
  if (!reader.atEnd()) return std::nullopt;
  return found;
}

}  // namespace foundation_internal

namespace {

struct Registration {
  std::mutex mutex;
  std::optional<std::string> identifier;
};

Registration& registration() {
  static auto* state = new Registration();  // never destroyed: read by exit-time logging
  return *state;
}

}  // namespace

std::string mainBundlePath() {
  std::vector<char> buffer(4096);
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return ".";
    if (static_cast<std::size_t>(n) < buffer.size()) {
      std::string path(buffer.data(), static_cast<std::size_t>(n));
      const auto slash = path.rfind('/');
      if (slash == std::string::npos) return ".";
      return slash == 0 ? "/" : path.substr(0, slash);
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::optional<std::string> mainBundleIdentifier() {
  {
    Registration& state = registration();
    std::lock_guard lock(state.mutex);
    if (state.identifier) return state.identifier;
  }
  std::ifstream file(mainBundlePath() + "/Info.json", std::ios::binary);
  if (!file) return std::nullopt;
  const std::string contents((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  auto identifier = foundation_internal::infoJsonText(contents, "CFBundleIdentifier");
  if (identifier && identifier->empty()) return std::nullopt;
  return identifier;
}

void registerMainBundleIdentifier(std::optional<std::string> identifier) {
  Registration& state = registration();
  std::lock_guard lock(state.mutex);
  state.identifier = std::move(identifier);
}

}  // namespace vantrel
