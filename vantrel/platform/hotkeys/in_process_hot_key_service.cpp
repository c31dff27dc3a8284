#include "vantrel/platform/hotkeys/in_process_hot_key_service.h"

#include <algorithm>
#include <utility>

namespace vantrel::hotkeys {
namespace {

// Only the four standard modifiers tell combinations apart, as in the mask
// the callers build.
constexpr std::uint32_t kStandardModifierBits = 0x1B00;

}  // namespace

std::shared_ptr<InProcessHotKeyService> InProcessHotKeyService::create() {
  return std::make_shared<InProcessHotKeyService>();
}

HotKeyStatus InProcessHotKeyService::installEventHandler(EventTypeSpec type, EventHandler handler,
                                                         EventHandlerRef& outRef) {
  std::lock_guard lock(mutex_);
  if (refusesHandlers_) return HotKeyStatus::unavailable;
  const EventHandlerRef ref{++lastRef_};
  handlers_.push_back(Handler{ref, type, std::make_shared<const EventHandler>(std::move(handler))});
  outRef = ref;
  return HotKeyStatus::success;
}

HotKeyStatus InProcessHotKeyService::removeEventHandler(EventHandlerRef ref) {
  std::lock_guard lock(mutex_);
  const auto it = std::find_if(handlers_.begin(), handlers_.end(), [&](const Handler& h) { return h.ref == ref; });
  if (it == handlers_.end()) {
    ++staleReferences_;
    return HotKeyStatus::unknownReference;
  }
  handlers_.erase(it);
  return HotKeyStatus::success;
}

HotKeyStatus InProcessHotKeyService::registerEventHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                                         EventHotKeyID id, EventHotKeyRef& outRef) {
  std::lock_guard lock(mutex_);
  if (refusesRegistrations_) return HotKeyStatus::refused;
  const std::uint32_t standard = modifiers & kStandardModifierBits;
  const bool taken = std::any_of(registrations_.begin(), registrations_.end(), [&](const Registration& r) {
    return r.keyCode == keyCode && (r.modifiers & kStandardModifierBits) == standard;
  });
  if (taken) return HotKeyStatus::alreadyRegistered;
  const EventHotKeyRef ref{++lastRef_};
  registrations_.push_back(Registration{ref, keyCode, modifiers, id});
  outRef = ref;
  return HotKeyStatus::success;
}

HotKeyStatus InProcessHotKeyService::unregisterEventHotKey(EventHotKeyRef ref) {
  std::lock_guard lock(mutex_);
  const auto it =
      std::find_if(registrations_.begin(), registrations_.end(), [&](const Registration& r) { return r.ref == ref; });
  if (it == registrations_.end()) {
    ++staleReferences_;
    return HotKeyStatus::unknownReference;
  }
  registrations_.erase(it);
  return HotKeyStatus::success;
}

bool InProcessHotKeyService::press(std::uint32_t keyCode, std::uint32_t modifiers) {
  std::optional<EventHotKeyID> id;
  {
    std::lock_guard lock(mutex_);
    const std::uint32_t standard = modifiers & kStandardModifierBits;
    for (const Registration& r : registrations_) {
      if (r.keyCode == keyCode && (r.modifiers & kStandardModifierBits) == standard) id = r.id;
    }
  }
  if (!id) return false;
  deliver(HotKeyEvent{kEventClassKeyboard, kEventHotKeyPressed, id});
  return true;
}

void InProcessHotKeyService::deliver(const HotKeyEvent& event) {
  // Handlers run outside the lock: they may register, unregister or remove
  // themselves, which would otherwise deadlock.
  std::vector<std::shared_ptr<const EventHandler>> targets;
  {
    std::lock_guard lock(mutex_);
    for (const Handler& h : handlers_) {
      if (h.type.eventClass == event.eventClass && h.type.eventKind == event.eventKind) targets.push_back(h.handler);
    }
  }
  for (const auto& handler : targets) (*handler)(event);
}

void InProcessHotKeyService::setRefusesRegistrations(bool refuses) {
  std::lock_guard lock(mutex_);
  refusesRegistrations_ = refuses;
}

void InProcessHotKeyService::setRefusesHandlers(bool refuses) {
  std::lock_guard lock(mutex_);
  refusesHandlers_ = refuses;
}

std::vector<InProcessHotKeyService::Registration> InProcessHotKeyService::registrations() const {
  std::lock_guard lock(mutex_);
  return registrations_;
}

std::size_t InProcessHotKeyService::handlerCount() const {
  std::lock_guard lock(mutex_);
  return handlers_.size();
}

std::size_t InProcessHotKeyService::staleReferenceCount() const {
  std::lock_guard lock(mutex_);
  return staleReferences_;
}

}  // namespace vantrel::hotkeys
