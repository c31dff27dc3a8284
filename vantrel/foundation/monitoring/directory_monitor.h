// File: vantrel/foundation/monitoring/directory_monitor.h
//
// `DirectoryMonitor` watches one folder and tells its delegate that
// something about it changed: an entry was created, deleted or renamed
// inside it, or the folder itself was deleted or moved. The delegate learns
// only that something changed, not what. Writing into a file inside, and
// anything inside subfolders, is not watched.
//
//   class Refresher : public DirectoryMonitorDelegate {
//     void directoryMonitorDidObserveChange(DirectoryMonitor& m) override { reload(m.url()); }
//   };
//   auto monitor = DirectoryMonitor::create(URL::fileURLWithPath("/tmp/inbox", true));
//   auto delegate = std::make_shared<Refresher>();
//   if (!monitor->startMonitoring(delegate)) consolePrint("cannot watch");
//   ...
//   monitor->stopMonitoring();
//
// States: idle -> `startMonitoring` -> monitoring -> `stopMonitoring` ->
// stopping -> idle, once the monitor's queue has closed the descriptor; the
// cycle may repeat. `startMonitoring` answers true when this call started
// watching; it answers false, and changes nothing (the delegate is not
// stored either), while monitoring or stopping, and when the folder cannot
// be watched (missing, not a folder, not a file URL, the system's watch
// limits): the monitor then stays idle and holds nothing.
//
// Deleting or moving the watched folder tells the delegate once more; the
// monitor keeps running (and watching nothing) until stopped. A monitor that
// monitors keeps itself alive, also after the host dropped it, until
// `stopMonitoring()` (which a delegate may call from its callback).
//
// Threads: the folder's events are read by the process's one watcher thread
// (inotify: IN_CREATE, IN_DELETE, IN_MOVED_FROM, IN_MOVED_TO,
// IN_DELETE_SELF, IN_MOVE_SELF, and an overflowed event queue counts as a
// change), which calls the delegate on the monitor's own serial queue
// ("org.vantrel.Vantrel.directorymonitor"), never on the caller's thread.
// No delegate call is made for events read after `stopMonitoring()`. The
// delegate is held weakly, may be replaced at any time, and the next event
// goes to whatever it holds then; a delegate that is gone is skipped.
// Every member may be called from any thread. Make monitors with `create`
// (or `std::make_shared`).
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "vantrel/platform/dispatch/dispatch_queue.h"
#include "vantrel/platform/foundation/files/url.h"
#include "vantrel/platform/posix/unique_fd.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class DirectoryMonitor;

class DirectoryMonitorDelegate {
 public:
  virtual ~DirectoryMonitorDelegate() = default;
  virtual void directoryMonitorDidObserveChange(DirectoryMonitor& monitor) = 0;
};

class DirectoryMonitor : public std::enable_shared_from_this<DirectoryMonitor> {
 public:
  // "org.vantrel.Vantrel.directorymonitor"
  static const std::string& queueLabel();

  [[nodiscard]] static std::shared_ptr<DirectoryMonitor> create(URL url);
  // Opens nothing.
  explicit DirectoryMonitor(URL url);
  virtual ~DirectoryMonitor();
  DirectoryMonitor(const DirectoryMonitor&) = delete;  // identity is the object
  DirectoryMonitor& operator=(const DirectoryMonitor&) = delete;

  [[nodiscard]] virtual std::shared_ptr<DirectoryMonitorDelegate> delegate() const;
  virtual void setDelegate(std::weak_ptr<DirectoryMonitorDelegate> delegate);

  // See the top. Needs a monitor held by `std::shared_ptr`.
  virtual bool startMonitoring(std::weak_ptr<DirectoryMonitorDelegate> delegate);
  // Stops watching; the descriptor is closed shortly afterwards on the
  // monitor's queue. Does nothing unless monitoring.
  virtual void stopMonitoring();

  [[nodiscard]] const URL& url() const { return url_; }
  // The event descriptor while one is open, else -1.
  [[nodiscard]] int monitoredDirectoryFileDescriptor() const;
  // True from a successful start until the descriptor is closed.
  [[nodiscard]] bool isMonitoring() const;
  // Where the delegate is called and the descriptor closed; a `sync` of an
  // empty block after `stopMonitoring()` waits until the monitor is idle.
  [[nodiscard]] const std::shared_ptr<DispatchQueue>& directoryMonitorQueue() const { return queue_; }

 private:
  enum class Phase { idle, monitoring, stopping };
  void deliver(std::uint64_t session);

  const URL url_;
  const std::shared_ptr<DispatchQueue> queue_;
  mutable std::mutex mutex_;  // guards the fields below
  Phase phase_ = Phase::idle;
  std::weak_ptr<DirectoryMonitorDelegate> delegate_;
  int descriptor_ = -1;
  std::uint64_t session_ = 0;        // counts starts; events of an older one are dropped
  std::uint64_t registration_ = 0;   // the watcher's key for this session
};

}  // namespace vantrel
