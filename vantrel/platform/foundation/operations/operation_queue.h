// File: vantrel/platform/foundation/operations/operation_queue.h
//
// `Operation` and `OperationQueue`: units of work with observable status,
// and a queue that runs them on worker threads, in place of the platform's
// operations.
//
//   class Resize : public Operation { void main() override { resize(); } };
//   auto queue = OperationQueue::create("images");
//   queue->setMaxConcurrentOperationCount(4);
//   auto op = std::make_shared<Resize>();
//   op->addObserver("isFinished", [](Operation& o, std::string_view, bool prior) {
//     if (!prior && o.isFinished()) announce();
//   });
//   queue->addOperation(op);
//   queue->waitUntilAllOperationsAreFinished();
//
// Key-value observation: `willChangeValueForKey` / `didChangeValueForKey`
// call the observers of that key (with `prior` true, then false) and of
// every key that declares it as affecting it
// (`keyPathsForValuesAffectingValueForKey`), synchronously on the changing
// thread, outside any lock of the operation.
//
// The plain `start()` runs `main()` on the calling thread between the
// "isExecuting" and "isFinished" changes; a cancelled operation goes
// straight to finished. An operation runs at most once. Once an operation
// is finished its completion block runs, once, on the thread that finished
// it. The queue runs ready operations by priority, then in the order added,
// calling `start()` on a worker of the global pool, and counts one as done
// when it announces "isFinished" (so an operation may finish later, on any
// thread). An operation is ready once every operation it depends on has
// finished (a cancelled one counts once it has finished); it announces
// "isReady" when a dependency finishes, is added or is removed. Operations added keep running when the queue object is dropped.
// Operations are made with `std::make_shared`; an operation can be in one
// queue, once (else `fatal`). Thread-safe.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class Operation : public std::enable_shared_from_this<Operation> {
 public:
  enum class QueuePriority : int { veryLow = -8, low = -4, normal = 0, high = 4, veryHigh = 8 };
  using KeyValueObserver = std::function<void(Operation& operation, std::string_view keyPath, bool prior)>;

  Operation();
  virtual ~Operation();
  Operation(const Operation&) = delete;  // identity is the object
  Operation& operator=(const Operation&) = delete;

  virtual void start();
  // The work of the plain `start()`; does nothing here.
  virtual void main();
  virtual void cancel();

  [[nodiscard]] virtual bool isExecuting() const;
  [[nodiscard]] virtual bool isFinished() const;
  [[nodiscard]] virtual bool isCancelled() const;
  [[nodiscard]] virtual bool isReady() const;
  [[nodiscard]] virtual bool isAsynchronous() const;

  [[nodiscard]] std::function<void()> completionBlock() const;
  void setCompletionBlock(std::function<void()> block);
  [[nodiscard]] QueuePriority queuePriority() const;
  void setQueuePriority(QueuePriority priority);

  // Dependencies are held strongly; adding one twice, or the operation
  // itself, does nothing. Both need operations held by `std::shared_ptr`.
  void addDependency(const std::shared_ptr<Operation>& operation);
  void removeDependency(const std::shared_ptr<Operation>& operation);
  [[nodiscard]] std::vector<std::shared_ptr<Operation>> dependencies() const;

  // Registers `observer` for `keyPath`; answers a token for removal.
  std::uint64_t addObserver(std::string keyPath, KeyValueObserver observer);
  void removeObserver(std::uint64_t token);
  void willChangeValueForKey(std::string_view key);
  void didChangeValueForKey(std::string_view key);
  // The keys whose changes also change `key`; none here.
  [[nodiscard]] virtual std::vector<std::string> keyPathsForValuesAffectingValueForKey(std::string_view key) const;

 private:
  friend class OperationQueue;
  void notifyObservers(std::string_view key, bool prior);
  void runCompletionBlockIfFinished();
  void announceReadiness();

  struct Observation {
    std::uint64_t token;
    std::string keyPath;
    std::shared_ptr<const KeyValueObserver> observer;
  };

  mutable std::mutex mutex_;  // guards the fields below it
  std::vector<Observation> observations_;
  std::uint64_t nextToken_ = 1;
  std::function<void()> completionBlock_;
  QueuePriority queuePriority_ = QueuePriority::normal;
  struct Dependency {
    std::shared_ptr<Operation> operation;
    std::uint64_t observerToken;  // this operation's "isFinished" observer on it
  };
  std::vector<Dependency> dependencies_;

  std::atomic<bool> executing_{false};
  std::atomic<bool> finished_{false};
  std::atomic<bool> cancelled_{false};
  std::atomic<bool> started_{false};
  std::atomic<bool> completionRan_{false};
  std::atomic<bool> enqueued_{false};
};

class OperationQueue : public std::enable_shared_from_this<OperationQueue> {
 public:
  // As many operations at once as the machine has processors.
  static constexpr std::int64_t defaultMaxConcurrentOperationCount = -1;

  [[nodiscard]] static std::shared_ptr<OperationQueue> create(std::string name = "");

  ~OperationQueue();
  OperationQueue(const OperationQueue&) = delete;  // identity is the pointer
  OperationQueue& operator=(const OperationQueue&) = delete;

  [[nodiscard]] const std::string& name() const { return name_; }
  [[nodiscard]] std::int64_t maxConcurrentOperationCount() const;
  // 1 makes a serial queue; values below 1 other than the default stop the
  // program.
  void setMaxConcurrentOperationCount(std::int64_t count);

  // A queue with the default settings whose maximum is `count`.
  [[nodiscard]] static std::shared_ptr<OperationQueue> fromMaxConcurrentOperationCount(std::int64_t count);

  void addOperation(std::shared_ptr<Operation> operation);
  // Operations added and not yet finished.
  [[nodiscard]] std::int64_t operationCount() const;
  void cancelAllOperations();
  // Waits until every operation added has finished. Never call it from an
  // operation of this queue.
  void waitUntilAllOperationsAreFinished();
  // The same with a limit; false when it passed first.
  [[nodiscard]] bool waitUntilAllOperationsAreFinished(std::chrono::steady_clock::duration timeout);

  struct State;

 private:
  struct Passkey {};

 public:
  OperationQueue(Passkey, std::string name);

 private:
  std::string name_;
  std::shared_ptr<State> state_;  // also held by the observers of its operations
};

}  // namespace vantrel
