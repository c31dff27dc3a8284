#include "vantrel/platform/foundation/notifications/notification_center.h"

#include <algorithm>

namespace vantrel {

NotificationCenter& NotificationCenter::defaultCenter() {
  static auto* center = new NotificationCenter();  // never destroyed: posts may come at exit
  return *center;
}

std::uint64_t NotificationCenter::addObserver(std::weak_ptr<const void> owner, std::optional<std::string> name,
                                              Handler handler) {
  std::lock_guard lock(mutex_);
  std::erase_if(entries_, [](const Entry& e) { return e.owner.expired(); });
  const std::uint64_t token = nextToken_++;
  entries_.push_back(
      Entry{token, std::move(owner), std::move(name), std::make_shared<const Handler>(std::move(handler))});
  return token;
}

void NotificationCenter::removeObserver(std::uint64_t token) {
  std::lock_guard lock(mutex_);
  std::erase_if(entries_, [token](const Entry& e) { return e.token == token; });
}

void NotificationCenter::removeObserver(const std::shared_ptr<const void>& owner) {
  std::lock_guard lock(mutex_);
  std::erase_if(entries_, [&owner](const Entry& e) {
    return e.owner.expired() || (!e.owner.owner_before(owner) && !owner.owner_before(e.owner));
  });
}

void NotificationCenter::post(std::string_view name, std::shared_ptr<const void> object) {
  struct Due {
    std::uint64_t token;
    std::shared_ptr<const void> owner;
    std::shared_ptr<const Handler> handler;
  };
  std::vector<Due> due;
  {
    std::lock_guard lock(mutex_);
    std::erase_if(entries_, [](const Entry& e) { return e.owner.expired(); });
    for (const Entry& e : entries_) {
      if (e.name && *e.name != name) continue;
      if (auto owner = e.owner.lock()) due.push_back(Due{e.token, std::move(owner), e.handler});
    }
  }
  const Notification notification{std::string(name), std::move(object)};
  for (const Due& d : due) {
    // A handler removed by an earlier handler of this post is skipped.
    bool stillThere = false;
    {
      std::lock_guard lock(mutex_);
      stillThere = std::any_of(entries_.begin(), entries_.end(),
                               [&d](const Entry& e) { return e.token == d.token; });
    }
    if (stillThere) (*d.handler)(notification);
  }
}

}  // namespace vantrel
