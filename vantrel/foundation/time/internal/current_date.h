// File: vantrel/foundation/time/internal/current_date.h
//
// The "now" of the date helpers that start from today (the day-start lists,
// `beginningOfDayDate`): the system clock, or the instant a test fixed.
//
//   foundation_internal::ScopedCurrentDate now(*parseIsoDateTime("2021-03-28T10:00:00Z"));
//   VtDateUtils::beginningOfDayDatesBackwards(3);   // from 2021-03-28
//
// Process-wide: a fixed instant holds for every thread until the scope ends.
#pragma once

#include "vantrel/platform/foundation/time/date.h"

namespace vantrel::foundation_internal {

[[nodiscard]] Date currentDate();

class ScopedCurrentDate {
 public:
  explicit ScopedCurrentDate(Date now);
  ~ScopedCurrentDate();
  ScopedCurrentDate(const ScopedCurrentDate&) = delete;
  ScopedCurrentDate& operator=(const ScopedCurrentDate&) = delete;

 private:
  bool hadPrevious_;
  Date previous_;
};

}  // namespace vantrel::foundation_internal
