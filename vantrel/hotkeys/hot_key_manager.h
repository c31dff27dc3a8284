// File: vantrel/hotkeys/hot_key_manager.h
//
// `HotKeyManager`: the process-wide registry of system-wide hot keys. The
// host hands it a `Shortcut` and a closure and gets back a `ShortcutToken`;
// each press of the combination, in any application, runs the closure on
// the main queue.
//
//   auto token = HotKeyManager::si()->registerShortcut(
//       Shortcut(0, ModifierFlags{ModifierFlags::control, ModifierFlags::command}),
//       [] { showPalette(); });
//   ...
//   if (token) HotKeyManager::si()->unregisterShortcutByToken(*token);
//   HotKeyManager::si()->stop();        // releases every hot key and the handler
//
// Every combination is registered with the signature "vtrl" and a numeric
// id (the highest id in use plus 1; 1 when none). A press goes through the
// one handler the manager installed: a foreign signature or an event without
// a hot-key id is dropped silently; otherwise the handler only queues a
// block on the main queue, which prints "EventId = " and the id and queues
// one block per matching registration that calls its closure. Closures
// therefore never run inside the handler and may register or unregister.
//
// Failures: the handler cannot be installed when the shared manager is made
// → stops the program with "Cannot setup event handler."; a token already in
// use prints "already added = " and the shortcut's description; a
// combination the service refuses (or a key code outside 0...4294967295)
// prints "Could not RegisterEventHotKey() for " and the description; both
// give nullopt and keep nothing. After `stop()` the next registration
// installs the handler again (printing "Cannot setup event handler." and
// giving nullopt when that fails), so a returned token's closure can always
// run. Unregistering what is not registered does nothing.
//
// Threads: call the manager on the main thread (presses are turned into
// main-queue work, wherever the service reports them). `si()` is made once,
// safely under concurrent first use, and lives for the whole process.
// Registrations are released only by the unregister calls and `stop()`, not
// by destroying a manager.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "vantrel/platform/hotkeys/hot_key_service.h"
#include "vantrel/shortcuts/shortcut.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// The handle of one registration: its token text. Equal when the texts are
// equal (compared exactly); hashes as its text. Made only by the manager.
class ShortcutToken {
 public:
  [[nodiscard]] const std::string& value() const { return value_; }
  friend bool operator==(const ShortcutToken&, const ShortcutToken&) = default;

 private:
  friend class HotKeyManager;
  explicit ShortcutToken(std::string value) : value_(std::move(value)) {}
  std::string value_;
};

}  // namespace vantrel

template <>
struct std::hash<vantrel::ShortcutToken> {
  std::size_t operator()(const vantrel::ShortcutToken& token) const noexcept {
    return std::hash<std::string>()(token.value());
  }
};

namespace vantrel VANTREL_API {

class HotKeyManager : public std::enable_shared_from_this<HotKeyManager> {
 public:
  using Closure = std::function<void()>;

  // The shared manager, on `hotkeys::applicationHotKeyService()`. Made on
  // first use, which installs its handler.
  [[nodiscard]] static const std::shared_ptr<HotKeyManager>& si();

  // A manager of its own on `service` (tests, hosts that bring a service):
  // installs its handler at once, stopping the program with "Cannot setup
  // event handler." when the service refuses.
  [[nodiscard]] static std::shared_ptr<HotKeyManager> create(std::shared_ptr<hotkeys::HotKeyService> service);

  // Registers `shortcut` under `customTokenValue` (any text, the empty one
  // included) or, without one, under 10 random characters of
  // "a...zA...Z0...9" not in use. The token, or nullopt when nothing was
  // registered (see the file comment). An empty `closure` registers a hot
  // key whose presses run nothing.
  std::optional<ShortcutToken> registerShortcut(const Shortcut& shortcut, std::optional<std::string> customTokenValue,
                                                Closure closure);
  std::optional<ShortcutToken> registerShortcut(const Shortcut& shortcut, Closure closure);

  // Removes the registration and releases its hot key; nothing when the
  // token is not registered. Presses already queued still run.
  void unregisterShortcutByToken(const ShortcutToken& token);
  void unregisterShortcutByTokenValue(std::string_view tokenValue);
  // Unregisters every registration held at the time of the call.
  void unregisterAllShortcuts();
  // Unregisters everything and removes the handler (once: a second `stop()`
  // only finds nothing to unregister).
  void stop();

  ~HotKeyManager();
  HotKeyManager(const HotKeyManager&) = delete;  // identity is the pointer
  HotKeyManager& operator=(const HotKeyManager&) = delete;

 private:
  struct Passkey {};

 public:
  HotKeyManager(Passkey, std::shared_ptr<hotkeys::HotKeyService> service);

 private:
  struct InstalledHotKey {
    std::shared_ptr<const Closure> closure;
    hotkeys::EventHotKeyRef eventHotKeyRef;
    std::uint32_t eventHotKeyIntegerId = 0;
  };

  // Installs the handler; false when the service refuses.
  bool setup();
  [[nodiscard]] ShortcutToken generateNewUniqueShortcutToken() const;
  // On the main queue, for each press that carried our signature.
  void pressed(std::uint32_t id);

  std::shared_ptr<hotkeys::HotKeyService> service_;
  std::optional<hotkeys::EventHandlerRef> eventHandler_;  // none before setup and after stop
  std::unordered_map<ShortcutToken, InstalledHotKey> shortcutTokens2installedHotKeys_;
};

}  // namespace vantrel
