#include "vantrel/foundation/monitoring/directory_monitor.h"

#include <errno.h>
#include <limits.h>
#include <sys/epoll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <functional>
#include <optional>
#include <system_error>
#include <thread>
#include <unordered_map>

#include "vantrel/core/core_values.h"
#include "vantrel/core/fatal.h"
#include "vantrel/core/no_destructor.h"

namespace vantrel {

namespace {

// The folder's own entries, and the folder itself going away. IN_ONLYDIR
// makes a file (or a link to one) refuse the watch.
constexpr std::uint32_t kWatchMask =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
// What counts as a change when read back: the watched events, a queue that
// overflowed (events were lost, so anything may have changed) and the
// folder's file system going away.
constexpr std::uint32_t kChangeMask = (kWatchMask & ~IN_ONLYDIR) | IN_Q_OVERFLOW | IN_UNMOUNT;

// Reads every event waiting on a non-blocking inotify descriptor; answers
// whether one of them is a change, or nullopt when the descriptor failed.
std::optional<bool> drainEvents(int fd) {
  alignas(inotify_event) char buffer[16 * (sizeof(inotify_event) + NAME_MAX + 1)];
  bool changed = false;
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EWOULDBLOCK) return changed;
      return std::nullopt;
    }
    if (got == 0) return changed;
    for (ssize_t offset = 0; offset + static_cast<ssize_t>(sizeof(inotify_event)) <= got;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
      if ((event->mask & kChangeMask) != 0) changed = true;
      offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
  }
}

// The process's one thread that waits for the events of every monitor: a
// monitor costs a descriptor, not a thread. Never destroyed (its thread
// runs until the process ends).
class Watcher {
 public:
  struct Entry {
    posix::UniqueFd fd;
    std::function<void()> onChange;  // holds the monitor while it monitors
  };

  static Watcher& shared() {
    static NoDestructor<Watcher> watcher;
    return *watcher;
  }

  Watcher() : epoll_(::epoll_create1(EPOLL_CLOEXEC)) {}

  // Watches `fd`; answers its key, or nullopt (and closes `fd`) when the
  // watcher cannot take it.
  std::optional<std::uint64_t> add(posix::UniqueFd fd, std::function<void()> onChange) {
    std::lock_guard lock(mutex_);
    if (!epoll_) return std::nullopt;
    if (!threadStarted_) {
      try {
        std::thread([this] { run(); }).detach();
      } catch (const std::system_error&) {
        return std::nullopt;
      }
      threadStarted_ = true;
    }
    const std::uint64_t key = nextKey_++;
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.u64 = key;
    if (::epoll_ctl(epoll_.get(), EPOLL_CTL_ADD, fd.get(), &event) != 0) return std::nullopt;
    entries_.emplace(key, Entry{std::move(fd), std::move(onChange)});
    return key;
  }

  // Stops watching; the entry comes back for the caller to close.
  Entry remove(std::uint64_t key) {
    std::lock_guard lock(mutex_);
    auto it = entries_.find(key);
    if (it == entries_.end()) return {};
    ::epoll_ctl(epoll_.get(), EPOLL_CTL_DEL, it->second.fd.get(), nullptr);
    Entry entry = std::move(it->second);
    entries_.erase(it);
    return entry;
  }

 private:
  void run() {
    epoll_event events[32];
    for (;;) {
      const int count = ::epoll_wait(epoll_.get(), events, 32, -1);
      if (count < 0) {
        if (errno == EINTR) continue;
        fatal("DirectoryMonitor: epoll_wait failed");
      }
      for (int i = 0; i < count; ++i) {
        std::function<void()> notify;
        {
          // Read under the lock: `remove` takes it before the descriptor
          // can be closed, so a descriptor read here is still this entry's.
          std::lock_guard lock(mutex_);
          auto it = entries_.find(events[i].data.u64);
          if (it == entries_.end()) continue;  // removed since the wait
          const std::optional<bool> changed = drainEvents(it->second.fd.get());
          if (!changed) {
            // A descriptor that fails would be reported ready forever.
            ::epoll_ctl(epoll_.get(), EPOLL_CTL_DEL, it->second.fd.get(), nullptr);
            continue;
          }
          if (*changed) notify = it->second.onChange;
        }
        if (notify) notify();
      }
    }
  }

  const posix::UniqueFd epoll_;
  std::mutex mutex_;  // guards the fields below
  bool threadStarted_ = false;
  std::unordered_map<std::uint64_t, Entry> entries_;
  std::uint64_t nextKey_ = 1;
};

}  // namespace

const std::string& DirectoryMonitor::queueLabel() {
  static const NoDestructor<std::string> label(std::string(VantrelCommonBundleIdentifier) + ".directorymonitor");
  return *label;
}

std::shared_ptr<DirectoryMonitor> DirectoryMonitor::create(URL url) {
  return std::make_shared<DirectoryMonitor>(std::move(url));
}

DirectoryMonitor::DirectoryMonitor(URL url) : url_(std::move(url)), queue_(DispatchQueue::create(queueLabel())) {}

DirectoryMonitor::~DirectoryMonitor() = default;

std::shared_ptr<DirectoryMonitorDelegate> DirectoryMonitor::delegate() const {
  std::lock_guard lock(mutex_);
  return delegate_.lock();
}

void DirectoryMonitor::setDelegate(std::weak_ptr<DirectoryMonitorDelegate> delegate) {
  std::lock_guard lock(mutex_);
  delegate_ = std::move(delegate);
}

int DirectoryMonitor::monitoredDirectoryFileDescriptor() const {
  std::lock_guard lock(mutex_);
  return descriptor_;
}

bool DirectoryMonitor::isMonitoring() const {
  std::lock_guard lock(mutex_);
  return phase_ != Phase::idle;
}

bool DirectoryMonitor::startMonitoring(std::weak_ptr<DirectoryMonitorDelegate> delegate) {
  std::shared_ptr<DirectoryMonitor> self = weak_from_this().lock();
  if (!self) fatal("DirectoryMonitor: startMonitoring on a monitor not held by std::shared_ptr");
  const std::string& path = url_.path();
  std::lock_guard lock(mutex_);
  if (phase_ != Phase::idle) return false;
  // A NUL would cut the path short and watch another folder.
  if (!url_.isFileURL() || path.find('\0') != std::string::npos) return false;
  posix::UniqueFd fd(::inotify_init1(IN_CLOEXEC | IN_NONBLOCK));
  if (!fd) return false;
  if (::inotify_add_watch(fd.get(), path.c_str(), kWatchMask) < 0) return false;
  const int number = fd.get();
  const std::uint64_t session = session_ + 1;
  // The watcher holds the monitor through this closure until it stops.
  auto key = Watcher::shared().add(std::move(fd), [self, session] {
    self->queue_->async([self, session] { self->deliver(session); });
  });
  if (!key) return false;
  session_ = session;
  registration_ = *key;
  descriptor_ = number;
  delegate_ = std::move(delegate);
  phase_ = Phase::monitoring;
  return true;
}

void DirectoryMonitor::stopMonitoring() {
  Watcher::Entry entry;
  {
    std::lock_guard lock(mutex_);
    if (phase_ != Phase::monitoring) return;
    phase_ = Phase::stopping;
    entry = Watcher::shared().remove(registration_);
  }
  // Closed on the monitor's queue, after any delivery already queued; the
  // block holds the monitor until then.
  auto fd = std::make_shared<posix::UniqueFd>(std::move(entry.fd));
  queue_->async([self = shared_from_this(), fd] {
    fd->reset();
    std::lock_guard lock(self->mutex_);
    self->descriptor_ = -1;
    self->phase_ = Phase::idle;
  });
  // `entry.onChange`, the watcher's hold on the monitor, goes here, outside
  // the lock.
}

void DirectoryMonitor::deliver(std::uint64_t session) {
  std::shared_ptr<DirectoryMonitorDelegate> delegate;
  {
    std::lock_guard lock(mutex_);
    if (phase_ != Phase::monitoring || session_ != session) return;
    delegate = delegate_.lock();
  }
  if (delegate) delegate->directoryMonitorDidObserveChange(*this);
}

}  // namespace vantrel
