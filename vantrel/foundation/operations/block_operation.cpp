#include "vantrel/foundation/operations/block_operation.h"

#include <cstdint>

#include "vantrel/core/console.h"
#include "vantrel/platform/dispatch/dispatch_queue.h"

namespace vantrel {

VtBlockOperation::VtBlockOperation(Block block) : block_(std::move(block)) {}

std::shared_ptr<VtBlockOperation> VtBlockOperation::create(Block block) {
  return std::make_shared<VtBlockOperation>(std::move(block));
}

std::shared_ptr<VtBlockOperation> VtBlockOperation::fromMainQueueBlock(std::function<void()> block) {
  return create([block = std::move(block)](FinishCallback finish) {
    DispatchQueue::main()->async([block, finish = std::move(finish)] {
      block();
      finish();
    });
  });
}

std::optional<VtBlockOperation::UserInfo> VtBlockOperation::userInfo() const {
  std::lock_guard lock(userInfoMutex_);
  return userInfo_;
}

void VtBlockOperation::setUserInfo(std::optional<UserInfo> userInfo) {
  std::lock_guard lock(userInfoMutex_);
  userInfo_ = std::move(userInfo);
}

void VtBlockOperation::execute() {
  consolePrint("VTBlockOp execute " + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
  if (!block_) {
    finish();
    return;
  }
  auto self = std::static_pointer_cast<VtBlockOperation>(shared_from_this());
  block_([self] { self->finish(); });
}

void addCompletionBlock(Operation& operation, std::function<void()> block) {
  auto previous = operation.completionBlock();
  if (!previous) {
    operation.setCompletionBlock(std::move(block));
    return;
  }
  operation.setCompletionBlock([previous = std::move(previous), block = std::move(block)] {
    previous();
    block();
  });
}

}  // namespace vantrel
