#include "vantrel/platform/foundation/operations/operation_queue.h"

#include <algorithm>
#include <deque>
#include <optional>
#include <thread>

#include <fmt/format.h>

#include "vantrel/core/deadline.h"
#include "vantrel/core/fatal.h"
#include "vantrel/platform/dispatch/dispatch_queue.h"

namespace vantrel {

// ---- Operation ------------------------------------------------------------

Operation::Operation() = default;
Operation::~Operation() {
  // The dependencies may outlive this operation: take its observers off them.
  for (const Dependency& d : dependencies_) d.operation->removeObserver(d.observerToken);
}

void Operation::start() {
  if (started_.exchange(true)) return;  // an operation runs at most once
  if (isCancelled()) {
    willChangeValueForKey("isFinished");
    finished_ = true;
    didChangeValueForKey("isFinished");
    return;
  }
  willChangeValueForKey("isExecuting");
  executing_ = true;
  didChangeValueForKey("isExecuting");
  main();
  willChangeValueForKey("isExecuting");
  willChangeValueForKey("isFinished");
  executing_ = false;
  finished_ = true;
  didChangeValueForKey("isExecuting");
  didChangeValueForKey("isFinished");
}

void Operation::main() {}

void Operation::cancel() {
  if (isFinished() || isCancelled()) return;
  willChangeValueForKey("isCancelled");
  cancelled_ = true;
  didChangeValueForKey("isCancelled");
}

bool Operation::isExecuting() const { return executing_; }
bool Operation::isFinished() const { return finished_; }
bool Operation::isCancelled() const { return cancelled_; }
bool Operation::isReady() const {
  std::vector<std::shared_ptr<Operation>> all = dependencies();
  return std::all_of(all.begin(), all.end(), [](const auto& d) { return d->isFinished(); });
}
bool Operation::isAsynchronous() const { return false; }

std::function<void()> Operation::completionBlock() const {
  std::lock_guard lock(mutex_);
  return completionBlock_;
}

void Operation::setCompletionBlock(std::function<void()> block) {
  std::lock_guard lock(mutex_);
  completionBlock_ = std::move(block);
}

Operation::QueuePriority Operation::queuePriority() const {
  std::lock_guard lock(mutex_);
  return queuePriority_;
}

void Operation::setQueuePriority(QueuePriority priority) {
  std::lock_guard lock(mutex_);
  queuePriority_ = priority;
}

void Operation::addDependency(const std::shared_ptr<Operation>& operation) {
  if (!operation || operation.get() == this) return;
  std::weak_ptr<Operation> weakSelf = weak_from_this();
  if (weakSelf.expired()) fatal("Operation: addDependency on an operation not held by std::shared_ptr");
  {
    std::lock_guard lock(mutex_);
    for (const Dependency& d : dependencies_) {
      if (d.operation == operation) return;
    }
  }
  // Observed before it is listed, so a finish in between is still announced.
  // The observer holds this operation weakly: the dependency must not keep
  // its dependents alive.
  const std::uint64_t token =
      operation->addObserver("isFinished", [weakSelf](Operation& dependency, std::string_view, bool prior) {
        if (prior || !dependency.isFinished()) return;
        if (auto self = weakSelf.lock()) self->announceReadiness();
      });
  bool added = false;
  {
    std::lock_guard lock(mutex_);
    const bool listed = std::any_of(dependencies_.begin(), dependencies_.end(),
                                    [&](const Dependency& d) { return d.operation == operation; });
    if (!listed) {
      dependencies_.push_back(Dependency{operation, token});
      added = true;
    }
  }
  if (!added) {
    operation->removeObserver(token);  // another thread listed it meanwhile
    return;
  }
  announceReadiness();
}

void Operation::removeDependency(const std::shared_ptr<Operation>& operation) {
  if (!operation) return;
  std::optional<Dependency> removed;
  {
    std::lock_guard lock(mutex_);
    for (auto it = dependencies_.begin(); it != dependencies_.end(); ++it) {
      if (it->operation == operation) {
        removed = std::move(*it);
        dependencies_.erase(it);
        break;
      }
    }
  }
  if (!removed) return;
  operation->removeObserver(removed->observerToken);
  announceReadiness();
}

std::vector<std::shared_ptr<Operation>> Operation::dependencies() const {
  std::lock_guard lock(mutex_);
  std::vector<std::shared_ptr<Operation>> out;
  out.reserve(dependencies_.size());
  for (const Dependency& d : dependencies_) out.push_back(d.operation);
  return out;
}

void Operation::announceReadiness() {
  willChangeValueForKey("isReady");
  didChangeValueForKey("isReady");
}

std::uint64_t Operation::addObserver(std::string keyPath, KeyValueObserver observer) {
  std::lock_guard lock(mutex_);
  const std::uint64_t token = nextToken_++;
  observations_.push_back(
      Observation{token, std::move(keyPath), std::make_shared<const KeyValueObserver>(std::move(observer))});
  return token;
}

void Operation::removeObserver(std::uint64_t token) {
  std::lock_guard lock(mutex_);
  std::erase_if(observations_, [token](const Observation& o) { return o.token == token; });
}

std::vector<std::string> Operation::keyPathsForValuesAffectingValueForKey(std::string_view) const { return {}; }

void Operation::notifyObservers(std::string_view key, bool prior) {
  std::vector<Observation> snapshot;
  {
    std::lock_guard lock(mutex_);
    snapshot = observations_;
  }
  for (const Observation& o : snapshot) {
    bool affected = o.keyPath == key;
    if (!affected) {
      const auto keys = keyPathsForValuesAffectingValueForKey(o.keyPath);
      affected = std::find(keys.begin(), keys.end(), key) != keys.end();
    }
    if (affected) (*o.observer)(*this, o.keyPath, prior);
  }
}

void Operation::willChangeValueForKey(std::string_view key) { notifyObservers(key, true); }

void Operation::didChangeValueForKey(std::string_view key) {
  notifyObservers(key, false);
  runCompletionBlockIfFinished();
}

void Operation::runCompletionBlockIfFinished() {
  if (!isFinished() || completionRan_.exchange(true)) return;
  if (auto block = completionBlock()) block();
}

// ---- OperationQueue -------------------------------------------------------

struct OperationQueue::State {
  std::mutex mutex;
  std::condition_variable changed;
  std::int64_t maxCount = defaultMaxConcurrentOperationCount;
  struct Pending {
    std::shared_ptr<Operation> operation;
  };
  std::deque<Pending> pending;
  std::vector<std::shared_ptr<Operation>> running;

  [[nodiscard]] std::size_t limit() const {
    if (maxCount > 0) return static_cast<std::size_t>(maxCount);
    return std::max(2u, std::thread::hardware_concurrency());
  }

  // Takes the operations that may start now; the caller starts them after
  // releasing the lock.
  std::vector<std::shared_ptr<Operation>> takeStartable() {
    std::vector<std::shared_ptr<Operation>> out;
    while (running.size() < limit()) {
      auto best = pending.end();
      for (auto it = pending.begin(); it != pending.end(); ++it) {
        if (!it->operation->isReady() && !it->operation->isCancelled()) continue;
        if (best == pending.end() || it->operation->queuePriority() > best->operation->queuePriority()) best = it;
      }
      if (best == pending.end()) break;
      running.push_back(best->operation);
      out.push_back(std::move(best->operation));
      pending.erase(best);
    }
    return out;
  }

  // An operation announced that it finished.
  void finished(const Operation& operation) {
    std::vector<std::shared_ptr<Operation>> startable;
    {
      std::lock_guard lock(mutex);
      const auto before = running.size() + pending.size();
      std::erase_if(running, [&](const auto& op) { return op.get() == &operation; });
      std::erase_if(pending, [&](const Pending& p) { return p.operation.get() == &operation; });
      if (running.size() + pending.size() == before) return;
      startable = takeStartable();
      changed.notify_all();
    }
    launch(std::move(startable));
  }

  static void launch(std::vector<std::shared_ptr<Operation>> operations) {
    for (auto& operation : operations) {
      DispatchQueue::global()->async([operation = std::move(operation)] { operation->start(); });
    }
  }
};

OperationQueue::OperationQueue(Passkey, std::string name) : name_(std::move(name)), state_(std::make_shared<State>()) {}

OperationQueue::~OperationQueue() = default;

std::shared_ptr<OperationQueue> OperationQueue::create(std::string name) {
  return std::make_shared<OperationQueue>(Passkey{}, std::move(name));
}

std::shared_ptr<OperationQueue> OperationQueue::fromMaxConcurrentOperationCount(std::int64_t count) {
  auto queue = create();
  queue->setMaxConcurrentOperationCount(count);
  return queue;
}

std::int64_t OperationQueue::maxConcurrentOperationCount() const {
  std::lock_guard lock(state_->mutex);
  return state_->maxCount;
}

void OperationQueue::setMaxConcurrentOperationCount(std::int64_t count) {
  if (count < 1 && count != defaultMaxConcurrentOperationCount) {
    fatal(fmt::format("OperationQueue: maxConcurrentOperationCount {} is neither positive nor the default", count));
  }
  std::vector<std::shared_ptr<Operation>> startable;
  {
    std::lock_guard lock(state_->mutex);
    state_->maxCount = count;
    startable = state_->takeStartable();
  }
  State::launch(std::move(startable));
}

void OperationQueue::addOperation(std::shared_ptr<Operation> operation) {
  if (!operation) fatal("OperationQueue: addOperation with no operation");
  if (operation->enqueued_.exchange(true)) fatal("OperationQueue: the operation was already added to a queue");
  if (operation->isFinished() || operation->isExecuting()) {
    fatal("OperationQueue: the operation is already executing or finished");
  }
  // The observers hold the queue's state: operations added keep running
  // (and being counted) even when the queue object itself is dropped. The
  // state lets go of each operation once it has finished.
  std::shared_ptr<State> state = state_;
  operation->addObserver("isFinished", [state](Operation& op, std::string_view, bool prior) {
    if (!prior && op.isFinished()) state->finished(op);
  });
  operation->addObserver("isReady", [state](Operation& op, std::string_view, bool prior) {
    if (prior || !op.isReady()) return;
    std::vector<std::shared_ptr<Operation>> startable;
    {
      std::lock_guard lock(state->mutex);
      startable = state->takeStartable();
    }
    State::launch(std::move(startable));
  });
  std::vector<std::shared_ptr<Operation>> startable;
  {
    std::lock_guard lock(state_->mutex);
    state_->pending.push_back(State::Pending{std::move(operation)});
    startable = state_->takeStartable();
  }
  State::launch(std::move(startable));
}

std::int64_t OperationQueue::operationCount() const {
  std::lock_guard lock(state_->mutex);
  return static_cast<std::int64_t>(state_->pending.size() + state_->running.size());
}

void OperationQueue::cancelAllOperations() {
  std::vector<std::shared_ptr<Operation>> all;
  {
    std::lock_guard lock(state_->mutex);
    for (const auto& p : state_->pending) all.push_back(p.operation);
    all.insert(all.end(), state_->running.begin(), state_->running.end());
  }
  // Cancelled outside the lock: cancelling announces changes, and observers
  // may come back to this queue.
  for (const auto& operation : all) operation->cancel();
}

void OperationQueue::waitUntilAllOperationsAreFinished() {
  std::unique_lock lock(state_->mutex);
  state_->changed.wait(lock, [this] { return state_->pending.empty() && state_->running.empty(); });
}

bool OperationQueue::waitUntilAllOperationsAreFinished(std::chrono::steady_clock::duration timeout) {
  std::unique_lock lock(state_->mutex);
  return state_->changed.wait_until(lock, deadlineAfter(timeout),
                                    [this] { return state_->pending.empty() && state_->running.empty(); });
}

}  // namespace vantrel
