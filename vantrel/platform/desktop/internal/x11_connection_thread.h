// File: vantrel/platform/desktop/internal/x11_connection_thread.h
//
// `X11ConnectionThread`: the thread that owns an X connection, for the
// clipboard's selection server and the hot-key service. It opens the
// connection, then loops (queued commands, the connection's events, poll()
// on the connection and the wake pipe) until it is stopped or the server
// goes away, and closes the connection on the way out. Other threads hand
// it commands (thread_commands.h); a command queued from the thread itself
// runs at once (waiting for itself would never end).
//
//   X11ConnectionThread thread;
//   thread.start(displayName, {.open = ..., .event = ..., .close = ...}, keepAlive);
//   bool ran = thread.run([&] { ... uses thread.display() ... });
//
// Nothing a command or a hook throws leaves the thread: it is reported on
// standard error ("Uncaught exception in a command on the X thread of
// \":0\": <description>"), the command's caller is answered false, and the
// thread goes on serving.
//
// A forked child has a copy of the object but not its thread, and shares the
// parent's connection: there it is not connected, its calls answer false at
// once, and stopping it leaves thread and connection alone (never joined,
// never closed). A child that needs the display starts a thread of its own.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "vantrel/api.h"
#include "vantrel/platform/desktop/internal/thread_commands.h"

struct _XDisplay;
union _XEvent;

namespace vantrel VANTREL_API {
namespace desktop_internal {

class X11Connection;

class X11ConnectionThread {
 public:
  using Clock = std::chrono::steady_clock;
  // What the service does on the thread. Each runs on the thread only.
  struct Hooks {
    // Once the connection is open: the service's set-up; false gives up
    // (the connection closes and `start` answers false).
    std::function<bool(X11Connection&)> open;
    // Each event the loop takes from the connection.
    std::function<void(const _XEvent&)> event;
    // Before each wait: when to come out of poll() even without input
    // (none: no limit). Optional.
    std::function<std::optional<Clock::time_point>()> beforeWait;
    // After the loop, before the connection closes; `lost` when the server
    // went away (then no request reaches it).
    std::function<void(bool lost)> close;
  };

  X11ConnectionThread() = default;
  // Stops the thread and waits for it (from the thread itself: lets it end
  // on its own).
  ~X11ConnectionThread();
  X11ConnectionThread(const X11ConnectionThread&) = delete;  // owns a thread
  X11ConnectionThread& operator=(const X11ConnectionThread&) = delete;

  // Opens `displayName` ("" for $DISPLAY) on a new thread and waits for
  // `hooks.open`; false (the thread ended) when either failed. The thread
  // holds `keepAlive` until it ends, so what the hooks touch may be released
  // by the other threads, or by a hook.
  //
  // With a `limit`, `keepAlive` must own this object: `start` waits at most
  // `limit` for the connection to open and the set-up to end, and `stop`
  // at most `limit` for the thread to end. A server that stops answering
  // (a stopped process, a network gone quiet) then holds the thread, never
  // the caller: the thread is asked to stop and left to end on its own,
  // with what `keepAlive` keeps.
  [[nodiscard]] bool start(const std::string& displayName, Hooks hooks, std::shared_ptr<const void> keepAlive,
                           std::optional<std::chrono::milliseconds> limit = std::nullopt);
  // Runs `work` on the thread and waits until it ran, the thread ended or
  // `limit` passed; false when it did not run or threw. On the thread: runs
  // it at once. In a forked child: false at once.
  bool run(std::function<void()> work, std::optional<std::chrono::milliseconds> limit = std::nullopt);
  // Asks the thread to end and waits for it (see the destructor and
  // `start`'s limit).
  void stop();

  // False once the thread has ended or the server went away, and in a
  // process other than the one that started it. Any thread.
  [[nodiscard]] bool isConnected() const { return inStartingProcess() && connected_; }
  [[nodiscard]] bool isRunning() const { return inStartingProcess() && commands_.running(); }
  // Whether this is the process that started the thread (false in a child
  // forked since, and before `start`).
  [[nodiscard]] bool inStartingProcess() const;
  [[nodiscard]] bool onThread() const { return std::this_thread::get_id() == threadId_.load(); }

  // The thread only.
  [[nodiscard]] _XDisplay* display() const;
  [[nodiscard]] X11Connection& connection() const { return *connection_; }
  // Whether the server is gone (then `isConnected` turns false too).
  bool lost();
  // Waits for input on the connection or for a command, at most until
  // `deadline` (none: no limit); false once it has passed.
  bool waitForInput(std::optional<Clock::time_point> deadline);

 private:
  void loop();
  // Reports the exception in flight, thrown by `what` on the thread.
  void reportThrow(std::string_view what) const noexcept;
  // A forked child's copy: lets go of the thread and the connection, which
  // are the parent's, without joining or closing them.
  void abandonForkedCopy();

  ThreadCommands commands_;
  std::string where_;  // "the X thread of \":0\"", for reports
  long startedIn_ = 0;  // the process id that started the thread
  std::optional<std::chrono::milliseconds> limit_;  // see `start`
  std::thread thread_;
  std::atomic<std::thread::id> threadId_{};
  std::atomic<bool> connected_{true};
  std::unique_ptr<X11Connection> connection_;
  Hooks hooks_;
};

}  // namespace desktop_internal
}  // namespace vantrel
