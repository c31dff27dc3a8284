#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/core/date_text.h"
#include "vantrel/foundation/time/date_stamps.h"

namespace vantrel {
namespace {

// Stamps, day starts and one shared formatter from eight threads at once.
TEST(DateStampsConcurrencyTest, StampsAndASharedFormatterFromManyThreads) {
  const Date date = *parseIsoDateTime("2021-03-03T03:35:07.250Z");
  DateFormatter shared;
  shared.setLocale(Locale("en_US_POSIX"));
  shared.setTimeZone(*TimeZone::forSecondsFromGMT(0));
  shared.setDateFormat("yyyy-MM-dd HH:mm:ss.SSS");
  const std::string stamp = qYyyyMmDdHhMmSs(date);
  const Date dayStart = foundation_internal::beginningOfDay(date);
  std::vector<std::thread> threads;
  std::vector<int> mismatches(8, 0);
  for (std::size_t t = 0; t < mismatches.size(); ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 50; ++i) {
        if (qYyyyMmDdHhMmSs(date) != stamp) ++mismatches[t];
        if (foundation_internal::beginningOfDay(date) != dayStart) ++mismatches[t];
        if (shared.string(date) != "2021-03-03 03:35:07.250") ++mismatches[t];
        if (t == 0 && i % 10 == 0) shared.setDateFormat("yyyy-MM-dd HH:mm:ss.SSS");
      }
    });
  }
  for (auto& thread : threads) thread.join();
  for (int count : mismatches) EXPECT_EQ(count, 0);
}

}  // namespace
}  // namespace vantrel
