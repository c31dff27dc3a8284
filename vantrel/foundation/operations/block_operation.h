// File: vantrel/foundation/operations/block_operation.h
//
// `VtBlockOperation`: a `VtOperation` whose work is a block. The block gets
// a finish callback; it may finish at once or keep the callback and call it
// later, from any thread. The operation finishes at the first call.
//
//   auto op = VtBlockOperation::create([](VtBlockOperation::FinishCallback done) {
//     startDownload([done] { done(); });
//   });
//   auto ui = VtBlockOperation::fromMainQueueBlock([] { refreshWindow(); });
//   addCompletionBlock(*op, [] { consolePrint("done"); });
//
// Starting prints "VTBlockOp execute <address of the operation, decimal>".
// A main-queue block runs on the main thread once the main queue is served
// (its run loop, or `DispatchQueue::drainMain()`), and the operation
// finishes there; never wait for one on the main thread. A block that never
// calls its callback leaves the operation executing. The finish callback
// keeps the operation alive.
//
// `addCompletionBlock` chains a block after an operation's current
// completion block; completion blocks run once the operation has finished.
#pragma once

#include <any>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

#include "vantrel/foundation/operations/operation.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class VtBlockOperation : public VtOperation {
 public:
  using FinishCallback = std::function<void()>;
  using Block = std::function<void(FinishCallback finish)>;
  using UserInfo = std::unordered_map<std::string, std::any>;

  // Block operations are made only from a block.
  VtBlockOperation() = delete;
  explicit VtBlockOperation(Block block);

  // With no block, the operation finishes as soon as it starts.
  [[nodiscard]] static std::shared_ptr<VtBlockOperation> create(Block block = {});
  // Runs `block` on the main queue, then finishes.
  [[nodiscard]] static std::shared_ptr<VtBlockOperation> fromMainQueueBlock(std::function<void()> block);

  // Free storage for the caller; the operation never reads it.
  [[nodiscard]] std::optional<UserInfo> userInfo() const;
  void setUserInfo(std::optional<UserInfo> userInfo);

 protected:
  void execute() override;

 private:
  mutable std::mutex userInfoMutex_;
  std::optional<UserInfo> userInfo_;
  Block block_;
};

// Adds `block` after the operation's current completion block. Not for two
// threads adding to one operation at once.
void addCompletionBlock(Operation& operation, std::function<void()> block);

}  // namespace vantrel
