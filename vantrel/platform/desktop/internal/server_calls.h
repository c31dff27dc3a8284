// File: vantrel/platform/desktop/internal/server_calls.h
//
// `ServerCalls`: work that waits for an X server's answers, run so that a
// server that stops answering (a stopped process, a network gone quiet)
// holds a thread of its own and never the caller.
//
//   static NoDestructor<ServerCalls> calls;
//   std::optional<Areas> areas = calls->ask([name] { return monitorAreas(name); }, kServerAnswerLimit);
//
// `run` starts the work on a new thread and waits until it returns, or
// until `limit` has passed since its start or since the last answer it
// noted (`AnswerClock::answered`): then the caller goes on without it, and
// the work ends on its own once the server answers, with what it owns (it
// captures by value, and shares its results). Until it has ended, later
// calls on the same `ServerCalls` answer at once, as unanswered, rather
// than start one more thread that would wait the same way. A forked child
// has none of the parent's threads, and none of its calls waits there.
// Thread-safe.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <type_traits>
#include <utility>

#include "vantrel/api.h"

namespace vantrel VANTREL_API {
namespace desktop_internal {

// How long the library waits for one answer of an X server where no other
// limit is given (hot keys, screens, the active window, key-grab probes).
inline constexpr std::chrono::milliseconds kServerAnswerLimit{5000};

// Told of each answer the work got, so that the caller waits for the next
// one at most the limit.
class AnswerClock {
 public:
  virtual void answered() = 0;

 protected:
  ~AnswerClock() = default;
};

class ServerCalls {
 public:
  ServerCalls() = default;
  ServerCalls(const ServerCalls&) = delete;
  ServerCalls& operator=(const ServerCalls&) = delete;

  // True when `work` returned in time (or threw: the throw is reported);
  // false when the server left an answer waiting longer than `limit`, when
  // an earlier call still waits for it, or when no thread could start.
  bool run(std::function<void(AnswerClock&)> work, std::chrono::milliseconds limit);

  // `work()`'s result, or nullopt when `run` would answer false. The limit
  // holds for the whole call.
  template <typename Work>
  auto ask(Work work, std::chrono::milliseconds limit) -> std::optional<std::invoke_result_t<Work&>> {
    using Result = std::invoke_result_t<Work&>;
    auto result = std::make_shared<std::optional<Result>>();
    if (!run([result, work = std::move(work)](AnswerClock&) mutable { *result = work(); }, limit)) return std::nullopt;
    return std::move(*result);
  }

  struct Call;

 private:
  std::mutex mutex_;
  std::shared_ptr<Call> unanswered_;  // a call the caller stopped waiting for
  long process_ = 0;                  // the process it was left in
};

}  // namespace desktop_internal
}  // namespace vantrel
