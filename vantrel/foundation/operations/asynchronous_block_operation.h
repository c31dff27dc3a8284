// File: vantrel/foundation/operations/asynchronous_block_operation.h
//
// `VtAsynchronousBlockOperation`: a minimal asynchronous operation that runs
// one block on a thread of its own and finishes when the block (or whatever
// it hands the completion to) calls the completion, on any thread, at any
// later time.
//
//   auto op = std::make_shared<VtAsynchronousBlockOperation>([](auto done) {
//     download([done] { done(); });               // may return at once
//   });
//   queue->addOperation(op);
//
// States, read from the two flags: ready, executing from `start()` until
// the completion, finished after it (or after a start while cancelled,
// without running the block). The completion acts once: a second call
// announces nothing, so a queue never counts the operation twice. A second
// `start()` does nothing. Cancelling after the start changes nothing until
// the completion is called. A block that never calls its completion leaves
// the operation executing. The flags are atomic; every change is announced
// around its write ("isExecuting", "isFinished"). The completion keeps the
// operation alive; make operations with `std::make_shared`.
#pragma once

#include <any>
#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

#include "vantrel/platform/foundation/operations/operation_queue.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class VtAsynchronousBlockOperation : public Operation {
 public:
  using Completion = std::function<void()>;
  using MainBlock = std::function<void(Completion completion)>;
  using UserInfo = std::unordered_map<std::string, std::any>;

  // An asynchronous operation is made only from a block.
  VtAsynchronousBlockOperation() = delete;
  explicit VtAsynchronousBlockOperation(MainBlock mainBlock);

  // Free storage for the caller; the operation never reads it.
  [[nodiscard]] virtual std::optional<UserInfo> userInfo() const;
  virtual void setUserInfo(std::optional<UserInfo> userInfo);

  void start() override;
  [[nodiscard]] bool isExecuting() const override { return executing_.load(); }
  [[nodiscard]] bool isFinished() const override { return finished_.load(); }
  [[nodiscard]] bool isAsynchronous() const override { return true; }

  // The block's run, on the operation's own thread.
  virtual void vtMain();
  // What the completion calls: ends the operation, on its first call only.
  virtual void vtFinishThisAsyncJob();

 private:
  mutable std::mutex userInfoMutex_;
  std::optional<UserInfo> userInfo_;
  const MainBlock mainBlock_;
  std::atomic<bool> executing_{false};
  std::atomic<bool> finished_{false};
  std::atomic<bool> started_{false};
  std::atomic<bool> completed_{false};
};

}  // namespace vantrel
