// Dates and URLs read from many threads at once, the first read among them:
// the percent-escape expression is made once and shared.
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/foundation/json/json_dates_urls.h"

namespace vantrel {
namespace {

TEST(JsonDatesUrlsConcurrency, ThreadsReadDatesAndUrlsTogether) {
  std::vector<std::thread> threads;
  std::vector<int> failures(8, 0);
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([t, &failures] {
      for (int i = 0; i < 200; ++i) {
        const Json text(t % 2 == 0 ? std::string("https://example.org/a%20b") : std::string("https://example.org/a b"));
        const auto link = url(text);
        if (!link || link->absoluteString() != "https://example.org/a%20b") ++failures[t];
        const Json written = jsonFromJoWithAdditions(PlatformValue(Date(std::chrono::milliseconds(i))));
        if (date(written) != Date(std::chrono::milliseconds(i))) ++failures[t];
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int count : failures) EXPECT_EQ(count, 0);
}

}  // namespace
}  // namespace vantrel
