#include <atomic>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/platform/foundation/pasteboard/pasteboard.h"
#include "vantrel/platform/foundation/process/operating_system_version.h"

namespace vantrel {
namespace {

// Eight threads read it first at the same moment: the version is read once
// and every thread gets the same type.
TEST(PasteboardConcurrencyTest, FileURLTypeForAllSystemsIsComputedOnce) {
  for (const auto& [version, expected] :
       {std::pair{OperatingSystemVersion{10, 12, 9}, PasteboardType("org.vantrel.type.file-url")},
        std::pair{OperatingSystemVersion{10, 13, 0}, PasteboardType::fileURL()}}) {
    foundation_internal::resetFileURLBackwardsCompatibleForTesting();
    foundation_internal::ScopedOperatingSystemVersion scoped(version);
    std::vector<std::optional<PasteboardType>> seen(8);
    std::vector<std::thread> threads;
    std::atomic<int> ready{0};
    for (std::size_t i = 0; i < seen.size(); ++i) {
      threads.emplace_back([&, i] {
        ready.fetch_add(1);
        while (ready.load() < static_cast<int>(seen.size())) std::this_thread::yield();
        seen[i] = PasteboardType::fileURL_backwardsCompatible10_12();
      });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(scoped.reads(), 1);
    for (const auto& type : seen) EXPECT_EQ(type, expected);
  }
  foundation_internal::resetFileURLBackwardsCompatibleForTesting();
}

}  // namespace
}  // namespace vantrel
