#include "vantrel/dispatch/chained_executor.h"

#include <cmath>
#include <utility>

#include "vantrel/dispatch/dispatch_helpers.h"
#include "vantrel/core/fatal.h"

namespace vantrel {

VantrelChained::VantrelChained(std::shared_ptr<DispatchQueue> queue)
    : givenQueue_(queue ? std::move(queue) : DispatchQueue::main()),
      coordinationSerialQueue_(DispatchQueue::create("qreactive")),
      semaphore_(std::make_shared<DispatchSemaphore>(0)) {}

std::shared_ptr<VantrelChained> VantrelChained::create(std::shared_ptr<DispatchQueue> queue) {
  // The constructor is protected for subclasses; this type has no passkey.
  return std::shared_ptr<VantrelChained>(new VantrelChained(std::move(queue)));
}

std::shared_ptr<VantrelChained> VantrelChained::after(std::function<void()> block) {
  auto self = shared_from_this();
  coordinationSerialQueue_->async([self, block = std::move(block)] {
    // Synchronous, so the coordination queue waits for the block to return.
    self->givenQueue_->sync(block);
  });
  return self;
}

std::shared_ptr<VantrelChained> VantrelChained::delayed(double delay, std::function<void()> asyncBlock) {
  if (std::isnan(delay)) fatal("VantrelChained::delayed: the delay is not a number");
  auto self = shared_from_this();
  coordinationSerialQueue_->async([self, delay, asyncBlock = std::move(asyncBlock)] {
    // The delay counts from here: the end of the previous step.
    asyncAfter(*self->givenQueue_, delay, [self, asyncBlock] {
      if (asyncBlock) asyncBlock();
      self->semaphore_->signal();
    });
    self->semaphore_->wait();
  });
  return self;
}

}  // namespace vantrel
