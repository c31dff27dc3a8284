// File: vantrel/foundation/operations/operation.h
//
// `VtOperation`: base class of units of work that end when they say so.
// A subclass puts its work in `execute()` and calls `finish(errors)` when
// the work is done, on whatever thread it ends; finish handlers then run
// exactly once, in the order they were added, with every error recorded.
//
//   class Download : public VtOperation {
//     void execute() override { fetch([this] { finish(); }); }
//   };
//   auto op = std::make_shared<Download>();
//   op->addOnFinishedBlock([](VtOperation& o, const VtOperation::Errors& errors) { report(errors); });
//   queue->addOperation(op);                      // or op->start()
//
// States: initialized -> executing -> finishing -> finished, and cancelled.
// `start()` acts only on a new operation: it runs `execute()`, or, when the
// operation was cancelled first, finishes it at once through `finish()`
// (no `execute()`), so the errors recorded by the cancellation reach the
// handlers. Cancelling moves a new or executing operation to cancelled and
// records the error; it never interrupts `execute()` (the work looks at
// `isCancelled()` and finishes) and leaves a finishing or finished
// operation as it is. `finish` runs once: the state goes to finishing, the
// handlers and then `finished(errors)` run, and the state goes to finished.
//
// Every state change is announced to key-value observers of "state" (and,
// through their dependency on it, of "isExecuting", "isFinished" and
// "isCancelled"), once per actual change, on the changing thread. State
// changes are atomic; `start`, `cancel`, `finish` and the handler setters
// may be called from any threads at once. Handlers run on the thread that
// calls `finish`, with no lock held. Make operations with
// `std::make_shared`.
#pragma once

#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/platform/foundation/operations/operation_queue.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class VtOperation : public Operation {
 public:
  enum class State : int { initialized = 0, executing = 1, finishing = 2, finished = 3, cancelled = 4 };
  using Errors = std::vector<std::exception_ptr>;
  using OnFinished = std::function<void(VtOperation& operation, const Errors& errors)>;

  VtOperation();

  void start() override;
  // The same as `cancelWithError(nullptr)`.
  void cancel() override;

  // Records `error` (when given) and cancels; see the top.
  virtual void cancelWithError(std::exception_ptr error = nullptr);
  // Ends the operation; only the first call does anything.
  void finish(Errors errors = {});
  // `finish` with no error, or with that one error.
  void finishWithErrorOptional(std::exception_ptr error);

  [[nodiscard]] State state() const { return state_.load(); }
  [[nodiscard]] bool isExecuting() const override { return state() == State::executing; }
  [[nodiscard]] bool isFinished() const override { return state() == State::finished; }
  [[nodiscard]] bool isCancelled() const override { return state() == State::cancelled; }

  // The whole handler chain; setting it replaces the chain.
  [[nodiscard]] virtual OnFinished onFinished() const;
  virtual void setOnFinished(OnFinished handler);
  // Appends `block` to the chain.
  virtual void addOnFinishedBlock(OnFinished block);

  // "isExecuting", "isFinished" and "isCancelled" depend on "state".
  [[nodiscard]] std::vector<std::string> keyPathsForValuesAffectingValueForKey(std::string_view key) const override;

 protected:
  // The work. This version prints "🍰🍰🍰 <class> must override `execute()`.
  // 🍰🍰🍰" and finishes without errors.
  virtual void execute();
  // Called once by the first `finish`, after the handlers.
  virtual void finished(const Errors& errors);

 private:
  // Moves to `next` when `allowed(current)`; announces a real change.
  bool changeState(State next, bool (*allowed)(State));

  std::recursive_mutex changeMutex_;  // one will/store/did sequence at a time
  std::atomic<State> state_{State::initialized};
  std::atomic<bool> hasStarted_{false};
  std::atomic<bool> hasFinishedAlready_{false};
  mutable std::mutex mutex_;  // guards the two fields below
  Errors internalErrors_;
  OnFinished onFinished_;
};

// The name of the state ("initialized" ... "cancelled").
[[nodiscard]] std::string_view description(VtOperation::State state);

}  // namespace vantrel
