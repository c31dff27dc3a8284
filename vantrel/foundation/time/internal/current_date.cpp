#include "vantrel/foundation/time/internal/current_date.h"

#include <chrono>
#include <mutex>
#include <optional>

#include "vantrel/core/no_destructor.h"

namespace vantrel::foundation_internal {

namespace {

struct Fixed {
  std::mutex mutex;
  std::optional<Date> now;
};

Fixed& fixed() {
  static NoDestructor<Fixed> state;
  return *state;
}

}  // namespace

Date currentDate() {
  Fixed& f = fixed();
  std::lock_guard lock(f.mutex);
  return f.now ? *f.now : std::chrono::system_clock::now();
}

ScopedCurrentDate::ScopedCurrentDate(Date now) {
  Fixed& f = fixed();
  std::lock_guard lock(f.mutex);
  hadPrevious_ = f.now.has_value();
  previous_ = f.now.value_or(Date{});
  f.now = now;
}

ScopedCurrentDate::~ScopedCurrentDate() {
  Fixed& f = fixed();
  std::lock_guard lock(f.mutex);
  if (hadPrevious_) {
    f.now = previous_;
  } else {
    f.now.reset();
  }
}

}  // namespace vantrel::foundation_internal
