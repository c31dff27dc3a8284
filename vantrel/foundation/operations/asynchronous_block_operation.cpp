#include "vantrel/foundation/operations/asynchronous_block_operation.h"

#include <memory>
#include <system_error>
#include <thread>

namespace vantrel {

VtAsynchronousBlockOperation::VtAsynchronousBlockOperation(MainBlock mainBlock) : mainBlock_(std::move(mainBlock)) {}

std::optional<VtAsynchronousBlockOperation::UserInfo> VtAsynchronousBlockOperation::userInfo() const {
  std::lock_guard lock(userInfoMutex_);
  return userInfo_;
}

void VtAsynchronousBlockOperation::setUserInfo(std::optional<UserInfo> userInfo) {
  std::lock_guard lock(userInfoMutex_);
  userInfo_ = std::move(userInfo);
}

void VtAsynchronousBlockOperation::start() {
  if (started_.exchange(true)) return;
  if (isCancelled()) {
    // Ended without its block; the completion can no longer act.
    completed_ = true;
    willChangeValueForKey("isFinished");
    finished_ = true;
    didChangeValueForKey("isFinished");
    return;
  }
  willChangeValueForKey("isExecuting");
  // Set before the thread exists, so a block that completes at once cannot
  // be overtaken by it.
  executing_ = true;
  auto self = std::static_pointer_cast<VtAsynchronousBlockOperation>(shared_from_this());
  try {
    std::thread([self] { self->vtMain(); }).detach();
  } catch (const std::system_error&) {
    // No thread to be had: the block runs here rather than never.
    didChangeValueForKey("isExecuting");
    vtMain();
    return;
  }
  didChangeValueForKey("isExecuting");
}

void VtAsynchronousBlockOperation::vtMain() {
  if (!mainBlock_) {
    vtFinishThisAsyncJob();
    return;
  }
  auto self = std::static_pointer_cast<VtAsynchronousBlockOperation>(shared_from_this());
  mainBlock_([self] { self->vtFinishThisAsyncJob(); });
}

void VtAsynchronousBlockOperation::vtFinishThisAsyncJob() {
  if (completed_.exchange(true)) return;
  willChangeValueForKey("isFinished");
  willChangeValueForKey("isExecuting");
  finished_ = true;
  executing_ = false;
  didChangeValueForKey("isExecuting");
  didChangeValueForKey("isFinished");
}

}  // namespace vantrel
