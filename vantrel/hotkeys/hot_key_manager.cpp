#include "vantrel/hotkeys/hot_key_manager.h"

#include <limits>
#include <utility>
#include <vector>

#include <fmt/format.h>

#include "vantrel/core/console.h"
#include "vantrel/core/fatal.h"
#include "vantrel/platform/dispatch/dispatch_queue.h"
#include "vantrel/hotkeys/internal/hot_key_ids.h"
#include "vantrel/text/random_strings.h"

namespace vantrel {
namespace {

constexpr std::int64_t kTokenLength = 10;
constexpr std::string_view kSetupFailure = "Cannot setup event handler.";

// The signature half of every id we register: "vtrl", first character in
// the most significant byte.
std::uint32_t globalHotKeySignature() {
  static const std::uint32_t signature = fourCharCode("vtrl");
  return signature;
}

}  // namespace

const std::shared_ptr<HotKeyManager>& HotKeyManager::si() {
  // Never destroyed: the installed handler may be called until the process ends.
  static const auto* shared = new std::shared_ptr<HotKeyManager>(create(hotkeys::applicationHotKeyService()));
  return *shared;
}

std::shared_ptr<HotKeyManager> HotKeyManager::create(std::shared_ptr<hotkeys::HotKeyService> service) {
  auto manager = std::make_shared<HotKeyManager>(Passkey{}, std::move(service));
  if (!manager->setup()) fatal(kSetupFailure);
  return manager;
}

HotKeyManager::HotKeyManager(Passkey, std::shared_ptr<hotkeys::HotKeyService> service)
    : service_(std::move(service)) {}

HotKeyManager::~HotKeyManager() = default;

bool HotKeyManager::setup() {
  // The handler may run on any thread the service delivers on (the X11
  // event thread), while the host changes registrations on the main thread:
  // it only hands the id to the main queue, where the registrations live.
  // It holds the manager weakly, so it never keeps it alive.
  std::weak_ptr<HotKeyManager> weak = weak_from_this();
  auto handler = [weak](const hotkeys::HotKeyEvent& event) {
    if (event.eventClass != hotkeys::kEventClassKeyboard) return;
    if (!event.hotKeyID) return;
    if (event.hotKeyID->signature != globalHotKeySignature()) return;
    const std::uint32_t id = event.hotKeyID->id;
    DispatchQueue::main()->async([weak, id] {
      if (auto manager = weak.lock()) manager->pressed(id);
    });
  };
  hotkeys::EventHandlerRef ref;
  if (service_->installEventHandler(hotkeys::kHotKeyPressedEventType, std::move(handler), ref) !=
      hotkeys::HotKeyStatus::success) {
    return false;
  }
  eventHandler_ = ref;
  return true;
}

void HotKeyManager::pressed(std::uint32_t id) {
  consolePrint(fmt::format("EventId = {}", id));
  // Only queues: the closures run later, so one that registers or
  // unregisters cannot change the map under this loop.
  for (const auto& [token, installed] : shortcutTokens2installedHotKeys_) {
    if (installed.eventHotKeyIntegerId != id) continue;
    DispatchQueue::main()->async([closure = installed.closure] {
      if (*closure) (*closure)();
    });
  }
}

ShortcutToken HotKeyManager::generateNewUniqueShortcutToken() const {
  for (;;) {
    ShortcutToken token(vtRandomAlphanumericString(kAlphanumericPool, kTokenLength));
    if (!shortcutTokens2installedHotKeys_.contains(token)) return token;
  }
}

std::optional<ShortcutToken> HotKeyManager::registerShortcut(const Shortcut& shortcut, Closure closure) {
  return registerShortcut(shortcut, std::nullopt, std::move(closure));
}

std::optional<ShortcutToken> HotKeyManager::registerShortcut(const Shortcut& shortcut,
                                                             std::optional<std::string> customTokenValue,
                                                             Closure closure) {
  ShortcutToken token =
      customTokenValue ? ShortcutToken(std::move(*customTokenValue)) : generateNewUniqueShortcutToken();
  if (shortcutTokens2installedHotKeys_.contains(token)) {
    consolePrint("already added = " + shortcut.description());
    return std::nullopt;
  }
  // After stop() no handler would ever see this hot key's presses: install
  // it again rather than hand out a token whose closure cannot run.
  if (!eventHandler_ && !setup()) {
    consolePrint(kSetupFailure);
    return std::nullopt;
  }
  const std::string refusal = "Could not RegisterEventHotKey() for " + shortcut.description();
  if (shortcut.keyCode < 0 || shortcut.keyCode > std::numeric_limits<std::uint32_t>::max()) {
    consolePrint(refusal);
    return std::nullopt;
  }
  std::vector<std::uint32_t> idsInUse;
  idsInUse.reserve(shortcutTokens2installedHotKeys_.size());
  for (const auto& [existing, installed] : shortcutTokens2installedHotKeys_) {
    idsInUse.push_back(installed.eventHotKeyIntegerId);
  }
  const std::optional<std::uint32_t> id = hotkeys_internal::nextHotKeyId(idsInUse);
  if (!id) {
    consolePrint(refusal);
    return std::nullopt;
  }
  hotkeys::EventHotKeyRef ref;
  const hotkeys::HotKeyStatus status = service_->registerEventHotKey(
      static_cast<std::uint32_t>(shortcut.keyCode), static_cast<std::uint32_t>(shortcut.modifierFlags.carbonInt()),
      hotkeys::EventHotKeyID{globalHotKeySignature(), *id}, ref);
  if (status != hotkeys::HotKeyStatus::success) {
    consolePrint(refusal);
    return std::nullopt;
  }
  shortcutTokens2installedHotKeys_.emplace(
      token, InstalledHotKey{std::make_shared<const Closure>(std::move(closure)), ref, *id});
  return token;
}

void HotKeyManager::unregisterShortcutByToken(const ShortcutToken& token) {
  const auto it = shortcutTokens2installedHotKeys_.find(token);
  if (it == shortcutTokens2installedHotKeys_.end()) return;
  const hotkeys::EventHotKeyRef ref = it->second.eventHotKeyRef;
  shortcutTokens2installedHotKeys_.erase(it);
  service_->unregisterEventHotKey(ref);  // the entry is gone whatever the service answers
}

void HotKeyManager::unregisterShortcutByTokenValue(std::string_view tokenValue) {
  unregisterShortcutByToken(ShortcutToken(std::string(tokenValue)));
}

void HotKeyManager::unregisterAllShortcuts() {
  std::vector<ShortcutToken> tokens;
  tokens.reserve(shortcutTokens2installedHotKeys_.size());
  for (const auto& [token, installed] : shortcutTokens2installedHotKeys_) tokens.push_back(token);
  for (const ShortcutToken& token : tokens) unregisterShortcutByToken(token);
}

void HotKeyManager::stop() {
  unregisterAllShortcuts();
  // A handler already removed is never handed to the service again.
  if (eventHandler_) {
    service_->removeEventHandler(*eventHandler_);
    eventHandler_.reset();
  }
}

}  // namespace vantrel
