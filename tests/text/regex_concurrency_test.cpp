#include <thread>

#include "vantrel/text/regex.h"

namespace vantrel {
namespace {

TEST(RegexConcurrency, OneValueServesEightThreads) {
  const Regex shared("(\\w+)@(\\w+)");
  std::vector<std::thread> threads;
  std::vector<int> wrong(8, 0);
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&shared, &wrong, t] {
      const Regex copy = shared;
      for (int i = 0; i < 300; ++i) {
        const std::string user = "u" + std::to_string(t) + "x" + std::to_string(i);
        const std::string text = "😀 " + user + "@host, b@c";
        const Regex& r = (i % 2 == 0) ? shared : copy;
        const auto groups = r.groupsOfFirstMatch(text);
        if (groups.size() != 3 || groups[1] != user || groups[2] != "host") ++wrong[t];
        if (r.matchingsOf(text).size() != 2) ++wrong[t];
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(wrong, std::vector<int>(8, 0));
}

}  // namespace
}  // namespace vantrel
