// File: vantrel/dispatch/chained_executor.h
//
// `VantrelChained`: runs steps strictly one after another, in the order they
// were added, each on the target queue given at creation (the main queue by
// default). A step is a plain block or a block due a delay after the
// previous step has finished.
//
//   VantrelChained::create()
//       ->after([] { showSplash(); })
//       ->delayed(1.0, [] { hideSplash(); })    // 1 s after showSplash returned
//       ->after([] { openWindow(); });
//
// Adding a step never blocks and may be done from any thread (steps added
// concurrently run in the order the calls reached the chain). The chain's
// own serial queue, labelled "qreactive", waits for each step's block to
// return before starting the next one, so a block must not wait for a later
// step of its own chain. With the main queue as target the main thread must
// keep serving it (its run loop, or `DispatchQueue::drainMain`).
// Lifetime: every queued step holds the chain, so dropping the last outside
// reference neither cancels nor loses steps. No cancellation, no errors; a
// delay that is NaN stops the program (`fatal`).
#pragma once

#include <functional>
#include <memory>

#include "vantrel/platform/dispatch/dispatch_queue.h"
#include "vantrel/platform/dispatch/dispatch_semaphore.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class VantrelChained : public std::enable_shared_from_this<VantrelChained> {
 public:
  [[nodiscard]] static std::shared_ptr<VantrelChained> create(
      std::shared_ptr<DispatchQueue> queue = DispatchQueue::main());

  virtual ~VantrelChained() = default;
  VantrelChained(const VantrelChained&) = delete;  // identity is the pointer
  VantrelChained& operator=(const VantrelChained&) = delete;

  // Queues a plain step; answers this chain.
  virtual std::shared_ptr<VantrelChained> after(std::function<void()> block);
  // Queues a step whose block is due `delay` seconds after the previous
  // step has finished (at once for 0 or less); answers this chain.
  virtual std::shared_ptr<VantrelChained> delayed(double delay, std::function<void()> asyncBlock);

  [[nodiscard]] const std::shared_ptr<DispatchQueue>& givenQueue() const { return givenQueue_; }

 protected:
  // For subclasses, which must also be held by `shared_ptr`.
  explicit VantrelChained(std::shared_ptr<DispatchQueue> queue);

 private:
  std::shared_ptr<DispatchQueue> givenQueue_;
  std::shared_ptr<DispatchQueue> coordinationSerialQueue_;
  std::shared_ptr<DispatchSemaphore> semaphore_;
};

}  // namespace vantrel
