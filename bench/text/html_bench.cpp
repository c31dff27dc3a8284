// HTML escaping and reference decoding against their floors: a memchr scan
// of the same buffer for the escaping of text with nothing to escape, a copy
// of the buffer for the decoding of text without references.
#include <cstring>
#include <string>
#include <utility>

#include <benchmark/benchmark.h>

#include "vantrel/text/html_entities.h"

namespace {

constexpr std::size_t kMiB = 1 << 20;

std::string repeatedTo(const std::string& line, std::size_t size) {
  std::string s;
  s.reserve(size + line.size());
  while (s.size() < size) s += line;
  s.resize(size);
  return s;
}

// Printable ASCII without any of the five characters.
const std::string& plainText() {
  static const std::string text =
      repeatedTo("The quick brown fox jumps over the lazy dog; 0123456789 {}[]()/|=+-*^%$#@!?. ", kMiB);
  return text;
}

// One of the five at every hundredth byte.
const std::string& onePercentText() {
  static const std::string text = [] {
    std::string s = plainText();
    const char five[] = {'&', '"', '\'', '<', '>'};
    for (std::size_t i = 50, k = 0; i < s.size(); i += 100, ++k) s[i] = five[k % 5];
    return s;
  }();
  return text;
}

// Nothing but references, named and numeric, with a letter now and then.
const std::string& denseReferences() {
  static const std::string text =
      repeatedTo("&lt;&amp;&#65;&#x1F600;&eacute;a&quot;&#8364;&nbsp;&thetasym;&gt;b", kMiB);
  return text;
}

void BM_HtmlEscapePlain_Memchr(benchmark::State& state) {
  const std::string& text = plainText();
  for (auto _ : state) {
    const void* hit = std::memchr(text.data(), '&', text.size());
    benchmark::DoNotOptimize(hit);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_HtmlEscapePlain_Memchr);

// The string handed over and back: nothing to escape means no copy.
void BM_HtmlEscapePlain_Moved(benchmark::State& state) {
  std::string text = plainText();
  for (auto _ : state) {
    text = vantrel::vtEscapeHtml(std::move(text));
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_HtmlEscapePlain_Moved);

void BM_HtmlEscapePlain_View(benchmark::State& state) {
  const std::string& text = plainText();
  for (auto _ : state) {
    std::string out = vantrel::vtEscapeHtml(std::string_view(text));
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_HtmlEscapePlain_View);

void BM_HtmlEscapeOnePercent_View(benchmark::State& state) {
  const std::string& text = onePercentText();
  for (auto _ : state) {
    std::string out = vantrel::vtEscapeHtml(std::string_view(text));
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_HtmlEscapeOnePercent_View);

void BM_HtmlDecodePlain_Memcpy(benchmark::State& state) {
  const std::string& text = plainText();
  std::string buffer(text.size(), '\0');
  for (auto _ : state) {
    std::memcpy(buffer.data(), text.data(), text.size());
    benchmark::DoNotOptimize(buffer.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_HtmlDecodePlain_Memcpy);

// A new string of the same bytes: the allocation and the copy that any
// function returning a new text pays.
void BM_HtmlDecodePlain_StringCopy(benchmark::State& state) {
  const std::string& text = plainText();
  for (auto _ : state) {
    std::string out = text;
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_HtmlDecodePlain_StringCopy);

void BM_HtmlDecodePlain_DecodeHTML(benchmark::State& state) {
  const std::string& text = plainText();
  for (auto _ : state) {
    std::string out = vantrel::decodeHTML(text);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_HtmlDecodePlain_DecodeHTML);

// Escaped prose: one reference every hundred bytes or so.
void BM_HtmlDecodeOnePercent_DecodeHTML(benchmark::State& state) {
  static const std::string text = vantrel::vtEscapeHtml(onePercentText());
  for (auto _ : state) {
    std::string out = vantrel::decodeHTML(text);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_HtmlDecodeOnePercent_DecodeHTML);

void BM_HtmlDecodeDense_DecodeHTML(benchmark::State& state) {
  const std::string& text = denseReferences();
  for (auto _ : state) {
    std::string out = vantrel::decodeHTML(text);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_HtmlDecodeDense_DecodeHTML);

}  // namespace
