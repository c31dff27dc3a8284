// File: vantrel/platform/foundation/notifications/notification_center.h
//
// `NotificationCenter`: named notifications delivered synchronously, in
// place of the platform's notification centre.
//
//   auto owner = std::make_shared<Panel>();
//   NotificationCenter::defaultCenter().addObserver(owner, "LanguageChanged",
//       [](const Notification& n) { refresh(); });
//   NotificationCenter::defaultCenter().post("LanguageChanged");   // refresh() runs now
//
// Observers are held weakly through their owner: once the owner is gone its
// handlers are skipped and dropped; there is no need to remove them (though
// `removeObserver` does). A handler should not hold its own owner strongly.
// `post` calls the matching handlers on the posting thread, in the order
// they were added, over a snapshot: a handler may add or remove observers
// or post again. The owner is kept alive while its handler runs.
// Thread-safe.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

struct Notification {
  std::string name;
  std::shared_ptr<const void> object;  // the sender, when one is given
};

class NotificationCenter {
 public:
  using Handler = std::function<void(const Notification&)>;

  NotificationCenter() = default;
  NotificationCenter(const NotificationCenter&) = delete;  // observers refer to this object
  NotificationCenter& operator=(const NotificationCenter&) = delete;

  // The process's shared centre.
  [[nodiscard]] static NotificationCenter& defaultCenter();

  // Calls `handler` for each notification named `name` (every notification
  // when nullopt) while `owner` is alive. Answers a token for removal.
  std::uint64_t addObserver(std::weak_ptr<const void> owner, std::optional<std::string> name, Handler handler);
  void removeObserver(std::uint64_t token);
  // Removes every handler of `owner`.
  void removeObserver(const std::shared_ptr<const void>& owner);

  void post(std::string_view name, std::shared_ptr<const void> object = nullptr);

 private:
  struct Entry {
    std::uint64_t token;
    std::weak_ptr<const void> owner;
    std::optional<std::string> name;
    std::shared_ptr<const Handler> handler;
  };

  std::mutex mutex_;
  std::vector<Entry> entries_;
  std::uint64_t nextToken_ = 1;
};

}  // namespace vantrel
