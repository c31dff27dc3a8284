#include "vantrel/foundation/operations/operation_queue_helpers.h"

namespace vantrel {

namespace {

template <class Op>
std::shared_ptr<Op> added(OperationQueue& queue, std::shared_ptr<Op> operation) {
  queue.addOperation(operation);
  return operation;
}

}  // namespace

std::shared_ptr<VtAsynchronousBlockOperation> vtAddOperationWithVtAsyncBlock(
    OperationQueue& queue, VtAsynchronousBlockOperation::MainBlock mainBlock) {
  return added(queue, std::make_shared<VtAsynchronousBlockOperation>(std::move(mainBlock)));
}

std::shared_ptr<VtAsynchronousBlockOperation> addAsyncOperation(OperationQueue& queue,
                                                                VtAsynchronousBlockOperation::MainBlock block) {
  return vtAddOperationWithVtAsyncBlock(queue, std::move(block));
}

std::shared_ptr<VtAsynchronousBlockOperation> vtAddOperationWithVtAsyncBlock(
    OperationQueue& queue, Operation::QueuePriority priority, VtAsynchronousBlockOperation::MainBlock mainBlock) {
  auto operation = std::make_shared<VtAsynchronousBlockOperation>(std::move(mainBlock));
  operation->setQueuePriority(priority);
  return added(queue, std::move(operation));
}

std::shared_ptr<VtBlockOperation> vtAddBlockOperation(OperationQueue& queue, VtBlockOperation::Block block) {
  return added(queue, VtBlockOperation::create(std::move(block)));
}

std::shared_ptr<VtBlockOperation> vtAddBlockOperationWithPriority(OperationQueue& queue,
                                                                  Operation::QueuePriority priority,
                                                                  VtBlockOperation::Block block) {
  auto operation = VtBlockOperation::create(std::move(block));
  operation->setQueuePriority(priority);
  return added(queue, std::move(operation));
}

std::shared_ptr<VtDelayOperation> vtAddDelay(OperationQueue& queue, double seconds) {
  return added(queue, std::make_shared<VtDelayOperation>(seconds));
}

}  // namespace vantrel
