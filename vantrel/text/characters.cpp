#include "vantrel/text/characters.h"

#include <memory>
#include <mutex>

#include <unicode/brkiter.h>
#include <unicode/utext.h>

#include "vantrel/core/fatal.h"
#include "vantrel/core/no_destructor.h"
#include "vantrel/core/thread_cache.h"
#include "vantrel/text/internal/scan.h"
#include "vantrel/text/internal/utf8.h"

namespace vantrel {
namespace {

// Creating a break iterator loads rule data: one prototype is made once and
// each thread clones its own from it. The clones are made under a lock so
// ICU's lazy set-up inside them is ordered for every thread (ICU's own
// synchronisation is invisible to ThreadSanitizer).
icu::BreakIterator& graphemeIterator() {
  constinit thread_local ThreadCache<icu::BreakIterator> iterator;
  return iterator.get([] {
    static NoDestructor<std::mutex> mutex;
    const std::lock_guard<std::mutex> lock(*mutex);
    // Never destroyed: a thread that is never joined may clone it at exit.
    static const NoDestructor<std::unique_ptr<icu::BreakIterator>> prototype([] {
      UErrorCode status = U_ZERO_ERROR;
      std::unique_ptr<icu::BreakIterator> it(
          icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
      if (U_FAILURE(status) || !it) fatal("ICU grapheme break iterator unavailable");
      return it;
    }());
    std::unique_ptr<icu::BreakIterator> clone((*prototype)->clone());
    if (!clone) fatal("ICU grapheme break iterator unavailable");
    return clone;
  });
}

// The thread's iterator set on `text` for one walk. The iterator is left on an
// empty text afterwards because `text` may go away before the next walk.
// Walks never nest: nothing calls back into user code while one is open.
class GraphemeWalk {
 public:
  explicit GraphemeWalk(std::string_view text) : it_(graphemeIterator()) {
    UErrorCode status = U_ZERO_ERROR;
    ut_ = utext_openUTF8(nullptr, text.data(), text_internal::icuLength(text), &status);
    if (U_FAILURE(status)) fatal("ICU could not open UTF-8 text");
    it_.setText(ut_, status);
    if (U_FAILURE(status)) fatal("ICU could not walk UTF-8 text");
  }
  ~GraphemeWalk() {
    UErrorCode status = U_ZERO_ERROR;
    UText* empty = utext_openUTF8(nullptr, "", 0, &status);
    it_.setText(empty, status);
    utext_close(empty);
    utext_close(ut_);
  }
  GraphemeWalk(const GraphemeWalk&) = delete;
  GraphemeWalk& operator=(const GraphemeWalk&) = delete;
  icu::BreakIterator* operator->() { return &it_; }

 private:
  icu::BreakIterator& it_;
  UText* ut_ = nullptr;
};

// ASCII count: every byte is a character except the LF of a CR LF pair;
// nullopt as soon as a byte outside ASCII shows up.
std::optional<std::int64_t> asciiCharacterCount(std::string_view text) {
  const std::int64_t count = text_internal::scanAsciiCharacterCount(text.data(), text.size());
  if (count < 0) return std::nullopt;
  return count;
}

// Runs of ASCII shorter than this are left to ICU: repositioning the
// iterator costs more than walking a few bytes.
constexpr std::size_t kAsciiJump = 24;

// The last boundary at or before `firstNonAscii` that ASCII alone settles,
// given that `from` (< firstNonAscii) is a boundary. The ASCII byte just
// before a non-ASCII one may start a character with it (a letter and its
// combining mark), unless it is a CR or LF, after which there is always a
// break.
std::size_t asciiSettledEnd(std::string_view text, std::size_t from, std::size_t firstNonAscii) {
  if (firstNonAscii == text.size()) return firstNonAscii;
  const char last = text[firstNonAscii - 1];
  if (last == '\n' || last == '\r') return firstNonAscii;
  return firstNonAscii - 1 > from ? firstNonAscii - 1 : from;
}

// A cut at byte n of an ASCII run that holds no CR always falls between
// characters, whatever follows it, as long as byte n itself is ASCII.
bool plainAsciiPrefix(std::string_view text, std::size_t n) {
  const std::string_view head = text.substr(0, n + 1);
  return text_internal::isAscii(head) && head.substr(0, n).find('\r') == std::string_view::npos;
}

}  // namespace

std::int64_t characterCount(std::string_view text) {
  if (const auto ascii = asciiCharacterCount(text)) return *ascii;
  // Mixed text: ICU walks the stretches around non-ASCII bytes; long ASCII
  // runs between them are counted by bytes and the iterator jumps over them.
  GraphemeWalk walk(text);
  std::int64_t count = 0;
  std::size_t at = 0;  // a boundary
  const auto ascii = [&](std::size_t i) { return static_cast<unsigned char>(text[i]) < 0x80; };
  while (at < text.size()) {
    // Two byte tests rule out most places before the scan is asked.
    const bool mayJump = at + kAsciiJump <= text.size() && ascii(at) && ascii(at + kAsciiJump - 1);
    const std::size_t nonAscii = mayJump ? at + text_internal::firstNonAscii(text.substr(at)) : at;
    if (nonAscii - at >= kAsciiJump) {
      const std::size_t settled = asciiSettledEnd(text, at, nonAscii);
      count += *asciiCharacterCount(text.substr(at, settled - at));
      at = settled;
      if (at == text.size()) break;
      // `at` is a boundary, so this leaves the iterator on it.
      (void)walk->isBoundary(static_cast<int32_t>(at));
    }
    const int32_t next = walk->next();
    if (next == icu::BreakIterator::DONE) break;
    ++count;
    at = static_cast<std::size_t>(next);
  }
  return count;
}

std::vector<std::size_t> characterBoundaries(std::string_view text) {
  std::vector<std::size_t> bounds;
  if (text_internal::isAscii(text)) {
    bounds.reserve(text.size() + 1);
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (!(text[i] == '\n' && i > 0 && text[i - 1] == '\r')) bounds.push_back(i);
    }
    bounds.push_back(text.size());
    return bounds;
  }
  GraphemeWalk walk(text);
  bounds.push_back(0);
  for (int32_t b = walk->next(); b != icu::BreakIterator::DONE; b = walk->next()) {
    bounds.push_back(static_cast<std::size_t>(b));
  }
  return bounds;
}

std::vector<std::string_view> characters(std::string_view text) {
  const std::vector<std::size_t> bounds = characterBoundaries(text);
  std::vector<std::string_view> out;
  out.reserve(bounds.size() - 1);
  for (std::size_t i = 0; i + 1 < bounds.size(); ++i) {
    out.push_back(text.substr(bounds[i], bounds[i + 1] - bounds[i]));
  }
  return out;
}

std::optional<std::size_t> byteOffsetOfCharacter(std::string_view text, std::int64_t n) {
  if (n < 0) return std::nullopt;
  const auto un = static_cast<std::uint64_t>(n);
  if (un <= text.size() && plainAsciiPrefix(text, static_cast<std::size_t>(un))) {
    return static_cast<std::size_t>(un);
  }
  if (un > text.size()) {
    // More characters than bytes is impossible; only the ICU walk could tell
    // a smaller count, and the answer is a miss either way.
    return std::nullopt;
  }
  GraphemeWalk walk(text);
  int32_t b = 0;
  for (std::int64_t k = 0; k < n; ++k) {
    b = walk->next();
    if (b == icu::BreakIterator::DONE) return std::nullopt;
  }
  return static_cast<std::size_t>(b);
}

std::optional<std::size_t> byteOffsetOfCharacterFromEnd(std::string_view text, std::int64_t n) {
  if (n < 0) return std::nullopt;
  const auto un = static_cast<std::uint64_t>(n);
  if (un > text.size()) return std::nullopt;
  const std::size_t size = text.size();
  const std::size_t cut = size - static_cast<std::size_t>(un);
  // The boundary at `cut` depends on the byte before it and the bytes after it.
  const std::string_view tail = text.substr(cut == 0 ? 0 : cut - 1);
  if (text_internal::isAscii(tail) && tail.find('\r') == std::string_view::npos) return cut;
  GraphemeWalk walk(text);
  int32_t b = walk->last();
  for (std::int64_t k = 0; k < n; ++k) {
    b = walk->previous();
    if (b == icu::BreakIterator::DONE) return std::nullopt;
  }
  return static_cast<std::size_t>(b);
}

bool isCharacterBoundary(std::string_view text, std::size_t byteOffset) {
  if (byteOffset == 0 || byteOffset == text.size()) return true;
  if (byteOffset > text.size()) return false;
  const auto before = static_cast<unsigned char>(text[byteOffset - 1]);
  const auto after = static_cast<unsigned char>(text[byteOffset]);
  if (before < 0x80 && after < 0x80) return !(before == '\r' && after == '\n');
  GraphemeWalk walk(text);
  return walk->isBoundary(static_cast<int32_t>(byteOffset)) != 0;
}

}  // namespace vantrel
