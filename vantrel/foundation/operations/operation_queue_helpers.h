// File: vantrel/foundation/operations/operation_queue_helpers.h
//
// Helpers that make an operation, add it to a queue and answer it: the
// operation is already in the queue when the caller gets it, and a priority
// is set before the queue sees it.
//
//   auto queue = OperationQueue::fromMaxConcurrentOperationCount(1);
//   vtAddBlockOperation(*queue, [](auto done) { work(); done(); });
//   vtAddDelay(*queue, 0.25);
//   vtAddOperationWithVtAsyncBlock(*queue, Operation::QueuePriority::high, [](auto done) { done(); });
#pragma once

#include <memory>

#include "vantrel/foundation/operations/asynchronous_block_operation.h"
#include "vantrel/foundation/operations/block_operation.h"
#include "vantrel/foundation/operations/delay_operation.h"
#include "vantrel/platform/foundation/operations/operation_queue.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

std::shared_ptr<VtAsynchronousBlockOperation> vtAddOperationWithVtAsyncBlock(
    OperationQueue& queue, VtAsynchronousBlockOperation::MainBlock mainBlock);
// The same as `vtAddOperationWithVtAsyncBlock(queue, block)`.
std::shared_ptr<VtAsynchronousBlockOperation> addAsyncOperation(OperationQueue& queue,
                                                                VtAsynchronousBlockOperation::MainBlock block);
std::shared_ptr<VtAsynchronousBlockOperation> vtAddOperationWithVtAsyncBlock(
    OperationQueue& queue, Operation::QueuePriority priority, VtAsynchronousBlockOperation::MainBlock mainBlock);

// A `VtBlockOperation` without user info.
std::shared_ptr<VtBlockOperation> vtAddBlockOperation(OperationQueue& queue, VtBlockOperation::Block block);
std::shared_ptr<VtBlockOperation> vtAddBlockOperationWithPriority(OperationQueue& queue,
                                                                  Operation::QueuePriority priority,
                                                                  VtBlockOperation::Block block);

// A `VtDelayOperation` of `seconds` (NaN stops the program).
std::shared_ptr<VtDelayOperation> vtAddDelay(OperationQueue& queue, double seconds);

}  // namespace vantrel
