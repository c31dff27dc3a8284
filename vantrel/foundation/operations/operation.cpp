#include "vantrel/foundation/operations/operation.h"

#include <typeinfo>

#include "vantrel/core/console.h"
#include "vantrel/core/describe.h"

namespace vantrel {

std::string_view description(VtOperation::State state) {
  switch (state) {
    case VtOperation::State::initialized: return "initialized";
    case VtOperation::State::executing: return "executing";
    case VtOperation::State::finishing: return "finishing";
    case VtOperation::State::finished: return "finished";
    case VtOperation::State::cancelled: return "cancelled";
  }
  return "?";
}

VtOperation::VtOperation() = default;

bool VtOperation::changeState(State next, bool (*allowed)(State)) {
  // Held across the announcements so that the will/did pairs of two threads
  // never interleave; recursive because an observer may change the state
  // again from inside its callback.
  std::lock_guard lock(changeMutex_);
  const State current = state_.load();
  if (!allowed(current)) return false;
  if (current == next) return true;
  willChangeValueForKey("state");
  state_.store(next);
  didChangeValueForKey("state");
  return true;
}

void VtOperation::start() {
  // Only a new operation starts; a second start, or one during or after the
  // work, is ignored.
  if (hasStarted_.exchange(true)) return;
  const bool began = changeState(State::executing, [](State s) { return s == State::initialized; });
  if (!began) {
    // Cancelled before it started: end it the normal way so the handlers
    // see the errors recorded by the cancellation.
    finish();
    return;
  }
  execute();
}

void VtOperation::cancel() { cancelWithError(nullptr); }

void VtOperation::cancelWithError(std::exception_ptr error) {
  if (error) {
    std::lock_guard lock(mutex_);
    internalErrors_.push_back(std::move(error));
  }
  changeState(State::cancelled, [](State s) {
    return s == State::initialized || s == State::executing || s == State::cancelled;
  });
}

void VtOperation::finish(Errors errors) {
  if (hasFinishedAlready_.exchange(true)) return;
  changeState(State::finishing, [](State) { return true; });
  Errors all;
  OnFinished handler;
  {
    std::lock_guard lock(mutex_);
    all = internalErrors_;
    handler = onFinished_;
  }
  all.insert(all.end(), std::make_move_iterator(errors.begin()), std::make_move_iterator(errors.end()));
  if (handler) handler(*this, all);
  finished(all);
  changeState(State::finished, [](State) { return true; });
}

void VtOperation::finishWithErrorOptional(std::exception_ptr error) {
  if (error) {
    finish(Errors{std::move(error)});
  } else {
    finish();
  }
}

VtOperation::OnFinished VtOperation::onFinished() const {
  std::lock_guard lock(mutex_);
  return onFinished_;
}

void VtOperation::setOnFinished(OnFinished handler) {
  std::lock_guard lock(mutex_);
  onFinished_ = std::move(handler);
}

void VtOperation::addOnFinishedBlock(OnFinished block) {
  // Read and replace under one lock, so blocks added from two threads are
  // both kept.
  std::lock_guard lock(mutex_);
  if (!onFinished_) {
    onFinished_ = std::move(block);
    return;
  }
  onFinished_ = [previous = std::move(onFinished_), block = std::move(block)](VtOperation& op, const Errors& errors) {
    previous(op, errors);
    block(op, errors);
  };
}

std::vector<std::string> VtOperation::keyPathsForValuesAffectingValueForKey(std::string_view key) const {
  if (key == "isExecuting" || key == "isFinished" || key == "isCancelled") return {"state"};
  return Operation::keyPathsForValuesAffectingValueForKey(key);
}

void VtOperation::execute() {
  std::string name = typeName(typeid(*this));
  // The class's own name, without namespaces.
  if (const auto colon = name.rfind("::"); colon != std::string::npos) name.erase(0, colon + 2);
  consolePrint("🍰🍰🍰 " + name + " must override `execute()`. 🍰🍰🍰");
  finish();
}

void VtOperation::finished(const Errors&) {}

}  // namespace vantrel
