// Naming scalars and decoding named references from many threads at once:
// ICU's name data and the table of named references are both loaded on
// first use, which these threads race to make.
#include <atomic>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/text/html_entities.h"
#include "vantrel/text/unicode_names.h"

namespace vantrel {
namespace {

TEST(UnicodeNamesConcurrency, EightThreadsNameAndDecodeAtOnce) {
  constexpr int kThreads = 8;
  std::atomic<int> mismatches{0};
  std::atomic<bool> go{false};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      while (!go.load()) std::this_thread::yield();
      for (int i = 0; i < 200; ++i) {
        if (unicodeName(static_cast<char32_t>(U'A' + t)) != std::string("LATIN CAPITAL LETTER ") + char('A' + t)) {
          ++mismatches;
        }
        if (unicodeName(char32_t{0xAC00}) != "HANGUL SYLLABLE GA") ++mismatches;
        if (unicodeNamesEmojiFiltered("\U0001F44D\U0001F3FD") != std::vector<std::string>{"THUMBS UP SIGN"}) {
          ++mismatches;
        }
        if (decodeHTML("&lt;&euro;&#65;&rang;") != "<\u20ACA\u232A") ++mismatches;
      }
    });
  }
  go = true;
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(mismatches.load(), 0);
}

}  // namespace
}  // namespace vantrel
