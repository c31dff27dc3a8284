// File: vantrel/foundation/operations/delay_operation.h
//
// `VtDelayOperation`: an operation that only waits, for an interval or until
// a date, and then finishes. In a queue it takes its slot for the wait, so
// on a queue of maximum 1 the operations added after it start only then,
// and operations that depend on it wait for it.
//
//   auto queue = OperationQueue::fromMaxConcurrentOperationCount(1);
//   queue->addOperation(first);
//   vtAddDelay(*queue, 0.5);                         // half a second between them
//   queue->addOperation(second);
//   auto untilNoon = std::make_shared<VtDelayOperation>(VtDelayOperation::Until{noon});
//
// The wait starts when the operation starts: an interval is counted from
// then, a date is measured against the clock then. A wait of zero or less
// (a date already past, -infinity) finishes at once. The wait holds no
// thread: the deadline is a delayed block on the global pool (the runtime's
// one timer thread keeps it), which holds the operation until it runs. A
// wait that is not finite, or whose nanoseconds do not fit 64 bits (about
// 292 years), schedules nothing and waits until cancelled. A NaN interval
// stops the program when the operation is made.
//
// Cancelling finishes the operation at once, so its dependents go on; a
// deadline that passes later changes nothing. Cancelled before it starts,
// it never schedules a deadline and stays finished. Every call may come from
// any thread; the finish handlers run once.
#pragma once

#include <variant>

#include "vantrel/foundation/operations/operation.h"
#include "vantrel/platform/foundation/time/date.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class VtDelayOperation : public VtOperation {
 public:
  // The absolute form of the wait.
  struct Until {
    Date date;
  };
  // Seconds, or a date.
  using Delay = std::variant<double, Until>;

  // A delay without a wait is a programming error.
  VtDelayOperation() = delete;
  explicit VtDelayOperation(double seconds);
  explicit VtDelayOperation(Until until);

  [[nodiscard]] const Delay& delay() const { return delay_; }

  // Cancels and finishes at once.
  void cancelWithError(std::exception_ptr error = nullptr) override;

 protected:
  void execute() override;

 private:
  const Delay delay_;
};

}  // namespace vantrel
