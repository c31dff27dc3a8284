// JSON escaping and grapheme counting against their floors: a memchr scan of
// the same buffer, and a raw ICU break iterator for text outside ASCII.
#include <cstring>
#include <string>

#include <benchmark/benchmark.h>
#include <unicode/brkiter.h>
#include <unicode/utext.h>

#include "vantrel/text/characters.h"
#include "vantrel/text/escaping.h"

namespace {

constexpr std::size_t kMiB = 1 << 20;

// Printable ASCII with nothing to escape.
const std::string& asciiText() {
  static const std::string text = [] {
    std::string s;
    s.reserve(kMiB);
    const std::string line = "The quick brown fox jumps over the lazy dog; 0123456789 {}[]()<>/|=+-*&^%$#@!?. ";
    while (s.size() < kMiB) s += line;
    s.resize(kMiB);
    return s;
  }();
  return text;
}

const std::string& mixedText() {
  static const std::string text = [] {
    std::string s;
    const std::string line =
        "Gr\u00FC\u00DFe, na\u00EFve cafe\u0301 \U0001F468\u200D\U0001F469\u200D\U0001F467 \uD55C\uAD6D\uC5B4 "
        "\U0001F1E9\U0001F1EA plain words here\r\n";
    while (s.size() < kMiB) s += line;
    return s;
  }();
  return text;
}

// Prose with an accented letter or an emoji now and then.
const std::string& mostlyAsciiText() {
  static const std::string text = [] {
    std::string s;
    const std::string line =
        "The committee met in the caf\u00E9 on Tuesday and agreed on the plan for the coming year; "
        "everyone was pleased \U0001F600 and the minutes were sent round the same evening.\n";
    while (s.size() < kMiB) s += line;
    return s;
  }();
  return text;
}

int64_t rawIcuCount(const std::string& text, icu::BreakIterator& it) {
  UErrorCode status = U_ZERO_ERROR;
  UText* ut = utext_openUTF8(nullptr, text.data(), static_cast<int64_t>(text.size()), &status);
  it.setText(ut, status);
  int64_t count = 0;
  for (int32_t b = it.next(); b != icu::BreakIterator::DONE; b = it.next()) ++count;
  utext_close(ut);
  return count;
}

void BM_JsonEscapeAscii_Memchr(benchmark::State& state) {
  const std::string& text = asciiText();
  for (auto _ : state) {
    const void* hit = std::memchr(text.data(), '"', text.size());
    benchmark::DoNotOptimize(hit);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_JsonEscapeAscii_Memchr);

// What copying the text into a writer's buffer costs by itself.
void BM_JsonEscapeAscii_MemcpyIntoBuffer(benchmark::State& state) {
  const std::string& text = asciiText();
  std::string buffer;
  buffer.reserve(2 * text.size());
  for (auto _ : state) {
    buffer.clear();
    buffer.append(text);
    benchmark::DoNotOptimize(buffer.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_JsonEscapeAscii_MemcpyIntoBuffer);

void BM_JsonEscapeAscii_AppendIntoBuffer(benchmark::State& state) {
  const std::string& text = asciiText();
  std::string buffer;
  buffer.reserve(2 * text.size());
  for (auto _ : state) {
    buffer.clear();
    vantrel::appendStringEncodedForJson(buffer, text);
    benchmark::DoNotOptimize(buffer.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_JsonEscapeAscii_AppendIntoBuffer);

void BM_JsonEscapeAscii_StringEncodedForJson(benchmark::State& state) {
  const std::string& text = asciiText();
  for (auto _ : state) {
    std::string out = vantrel::stringEncodedForJson(text);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_JsonEscapeAscii_StringEncodedForJson);

// The string handed over and back: nothing to escape means no copy.
void BM_JsonEscapeAscii_StringEncodedForJsonMoved(benchmark::State& state) {
  std::string text = asciiText();
  for (auto _ : state) {
    text = vantrel::stringEncodedForJson(std::move(text));
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_JsonEscapeAscii_StringEncodedForJsonMoved);

// Many short values, as a JSON writer sees them.
void BM_JsonEscapeShortValues_AppendIntoBuffer(benchmark::State& state) {
  const std::string values[] = {"id", "name", "Gr\u00FC\u00DFe", "a \"quoted\" word", "line\nbreak", "x"};
  std::string buffer;
  buffer.reserve(4096);
  for (auto _ : state) {
    buffer.clear();
    for (int i = 0; i < 64; ++i) {
      for (const std::string& v : values) vantrel::appendStringEncodedForJson(buffer, v);
    }
    benchmark::DoNotOptimize(buffer.data());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * 64 * 6));
}
BENCHMARK(BM_JsonEscapeShortValues_AppendIntoBuffer);

void BM_CharacterCountAscii_Memchr(benchmark::State& state) {
  const std::string& text = asciiText();
  for (auto _ : state) {
    const void* hit = std::memchr(text.data(), '\r', text.size());
    benchmark::DoNotOptimize(hit);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_CharacterCountAscii_Memchr);

void BM_CharacterCountAscii_Vantrel(benchmark::State& state) {
  const std::string& text = asciiText();
  for (auto _ : state) benchmark::DoNotOptimize(vantrel::characterCount(text));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_CharacterCountAscii_Vantrel);

// The same with CR LF line ends, which the counter must pair up.
void BM_CharacterCountAsciiCrLf_Vantrel(benchmark::State& state) {
  static const std::string text = [] {
    std::string s;
    while (s.size() < kMiB) s += "The quick brown fox jumps over the lazy dog; 0123456789 {}[]()<>/|=+-*&^%$#@!?.\r\n";
    return s;
  }();
  for (auto _ : state) benchmark::DoNotOptimize(vantrel::characterCount(text));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_CharacterCountAsciiCrLf_Vantrel);

void BM_CharacterCountMixed_RawIcu(benchmark::State& state) {
  const std::string& text = mixedText();
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::BreakIterator> it(icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
  for (auto _ : state) benchmark::DoNotOptimize(rawIcuCount(text, *it));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_CharacterCountMixed_RawIcu);

void BM_CharacterCountMixed_Vantrel(benchmark::State& state) {
  const std::string& text = mixedText();
  for (auto _ : state) benchmark::DoNotOptimize(vantrel::characterCount(text));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_CharacterCountMixed_Vantrel);

void BM_CharacterCountMostlyAscii_RawIcu(benchmark::State& state) {
  const std::string& text = mostlyAsciiText();
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::BreakIterator> it(icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
  for (auto _ : state) benchmark::DoNotOptimize(rawIcuCount(text, *it));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_CharacterCountMostlyAscii_RawIcu);

void BM_CharacterCountMostlyAscii_Vantrel(benchmark::State& state) {
  const std::string& text = mostlyAsciiText();
  for (auto _ : state) benchmark::DoNotOptimize(vantrel::characterCount(text));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_CharacterCountMostlyAscii_Vantrel);

}  // namespace
