// File: vantrel/platform/hotkeys/in_process_hot_key_service.h
//
// `hotkeys::InProcessHotKeyService`: a hot-key service that lives inside the
// process. It keeps the registrations and handlers like the system's service
// would, but the presses come from the program itself: `press` reports a
// press of a combination, `deliver` hands any event to the handlers. Tests
// use it to script presses, foreign signatures and refusals.
//
//   auto service = hotkeys::InProcessHotKeyService::create();
//   ... install a handler, register key 0 with control+command (0x1100) ...
//   service->press(0, 0x1100);             // the handler gets the hot key's id
//   service->setRefusesRegistrations(true);  // the next registrations fail
//
// A combination is the key code and the four standard bits of the mask
// (0x1B00); registering one that is already registered answers
// `alreadyRegistered`, as the system's service does. Handlers are called on
// the thread that calls `press` or `deliver`, outside the service's lock, so
// they may call the service. Thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "vantrel/platform/hotkeys/hot_key_service.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API { namespace hotkeys {

class InProcessHotKeyService final : public HotKeyService {
 public:
  struct Registration {
    EventHotKeyRef ref;
    std::uint32_t keyCode = 0;
    std::uint32_t modifiers = 0;
    EventHotKeyID id;
  };

  [[nodiscard]] static std::shared_ptr<InProcessHotKeyService> create();

  HotKeyStatus installEventHandler(EventTypeSpec type, EventHandler handler, EventHandlerRef& outRef) override;
  HotKeyStatus removeEventHandler(EventHandlerRef ref) override;
  HotKeyStatus registerEventHotKey(std::uint32_t keyCode, std::uint32_t modifiers, EventHotKeyID id,
                                   EventHotKeyRef& outRef) override;
  HotKeyStatus unregisterEventHotKey(EventHotKeyRef ref) override;

  // A press of the combination: one hot-key pressed event carrying the
  // registered id goes to every handler installed for that event type.
  // False, and nothing delivered, when the combination is not registered.
  bool press(std::uint32_t keyCode, std::uint32_t modifiers);
  // Hands `event` to every handler installed for its class and kind, as the
  // system would for an event it does not check (a foreign signature, a
  // missing parameter).
  void deliver(const HotKeyEvent& event);

  // While set, `registerEventHotKey` answers `refused` (another application
  // holds the combination) and `installEventHandler` answers `unavailable`.
  void setRefusesRegistrations(bool refuses);
  void setRefusesHandlers(bool refuses);

  // The current registrations, oldest first.
  [[nodiscard]] std::vector<Registration> registrations() const;
  [[nodiscard]] std::size_t handlerCount() const;
  // How many remove or unregister calls named a reference the service did
  // not hold (never issued, or already released).
  [[nodiscard]] std::size_t staleReferenceCount() const;

 private:
  struct Handler {
    EventHandlerRef ref;
    EventTypeSpec type;
    std::shared_ptr<const EventHandler> handler;
  };

  mutable std::mutex mutex_;
  std::vector<Handler> handlers_;
  std::vector<Registration> registrations_;
  std::uint64_t lastRef_ = 0;
  bool refusesRegistrations_ = false;
  bool refusesHandlers_ = false;
  std::size_t staleReferences_ = 0;
};

}}  // namespace vantrel::hotkeys
