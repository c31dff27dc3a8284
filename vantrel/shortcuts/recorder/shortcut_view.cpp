#include "vantrel/shortcuts/recorder/shortcut_view.h"

#include <string>
#include <utility>

#include "vantrel/appkit/alert_helpers.h"
#include "vantrel/core/fatal.h"
#include "vantrel/platform/foundation/notifications/notification_center.h"
#include "vantrel/platform/keyboard/keyboard_layout.h"
#include "vantrel/platform/kit/alert.h"
#include "vantrel/platform/kit/application.h"
#include "vantrel/core/color.h"
#include "vantrel/platform/kit/window.h"
#include "vantrel/shortcuts/recorder/hot_key_helper.h"
#include "vantrel/shortcuts/recorder/internal/internal_localization.h"
#include "vantrel/shortcuts/recorder/internal/recorder_state.h"
#include "vantrel/shortcuts/shortcut_validator.h"
#include "vantrel/shortcuts/shortcut_helper.h"
#include "vantrel/text/escaping.h"

namespace vantrel {

namespace {

constexpr std::int64_t kTab = 48;
constexpr std::int64_t kDelete = 51;
constexpr std::int64_t kEscape = 53;
constexpr std::int64_t kForwardDelete = 117;
constexpr std::int64_t kQ = 12;
constexpr std::int64_t kW = 13;
constexpr std::int64_t kCommandKey = 55;

constexpr const char* kClearGlyph = "\u232B";   // ⌫
constexpr const char* kCancelGlyph = "\u238B";  // ⎋

// Main-thread state, never destroyed: a recording still running at exit
// keeps its view here and in the application's monitor list alike.
std::shared_ptr<ShortcutView>& currentRecorder() {
  static auto* current = new std::shared_ptr<ShortcutView>();
  return *current;
}

const EventMask kRecordingMask = EventMask::keyDown | EventMask::flagsChanged;

std::string recorderText(std::string_view key) { return VantrelInternalLocalization::si().localize(key); }

// Runs until the user dismisses it: the recording has ended by then, so
// the alert's own keys never reach the recorder's monitor.
void runCriticalAlert(const std::string& title) {
  const Alert::Ptr alert = alertWithTitle(title, std::nullopt, std::nullopt, {});
  alert->setAlertStyle(AlertStyle::critical);
  alert->runModal();
}

}  // namespace

// The tests' reset hook reaches the view's private state through here.
struct ShortcutViewAccess {
  static void abandonRecording(ShortcutView& view) {
    view.recording_ = false;
    if (const auto monitor = std::exchange(view.eventMonitor_, nullptr)) {
      Application::shared()->removeMonitor(monitor);
    }
  }
};

std::shared_ptr<ShortcutView> global_currentlyRecordingShortcutView() { return currentRecorder(); }

namespace recorder_internal {

void resetShortcutRecorderForTesting() {
  const std::shared_ptr<ShortcutView> current = std::exchange(currentRecorder(), nullptr);
  if (current) ShortcutViewAccess::abandonRecording(*current);
}

}  // namespace recorder_internal

// --- Construction -------------------------------------------------------------------

ShortcutView::ShortcutView(std::optional<Shortcut> shortcut) : View(Rect()) {
  registerLocalizations();
  assignedShortcut_ = std::move(shortcut);
  cell_ = ButtonCell::create();
  cell_->setButtonType(ButtonType::onOff);
  if (const auto& font = cell_->font()) cell_->setFont(FontManager::convert(*font, FontSize));
  setTranslatesAutoresizingMaskIntoConstraints(false);
}

ShortcutView::~ShortcutView() = default;

ShortcutView::Ptr ShortcutView::create(std::optional<Shortcut> shortcut) {
  Ptr view(new ShortcutView(std::move(shortcut)));
  view->build();
  return view;
}

void ShortcutView::build() {
  const Ptr me = self();
  heightConstraint_ = LayoutConstraint::create(me, LayoutAttribute::height, LayoutRelation::equal, nullptr,
                                               LayoutAttribute::notAnAttribute, 1.0, 100);
  addConstraint(heightConstraint_);
  addConstraint(LayoutConstraint::create(me, LayoutAttribute::width, LayoutRelation::greaterThanOrEqual, nullptr,
                                         LayoutAttribute::notAnAttribute, 1.0, 150));
  uidateCellStyle();
  // The handlers hold the view weakly: the centre drops them once it is gone.
  const std::weak_ptr<ShortcutView> weak = me;
  NotificationCenter& center = NotificationCenter::defaultCenter();
  // keyboard sits below foundation and only calls hooks: from the first view
  // on, each new choice of layout is also the notification views observe.
  [[maybe_unused]] static const std::uint64_t bridged = keyboard::addKeyboardSelectionHook([] {
    NotificationCenter::defaultCenter().post(keyboard::NSTextInputContextKeyboardSelectionDidChangeNotification);
  });
  center.addObserver(weak, std::string(NSWindowDidResignKeyNotification), [weak](const Notification& n) {
    if (const auto view = weak.lock()) view->windowDidResignKeyNotification(n);
  });
  center.addObserver(weak, std::string(keyboard::NSTextInputContextKeyboardSelectionDidChangeNotification),
                     [weak](const Notification& n) {
                       if (const auto view = weak.lock()) view->keyboardSelectionDidChangeNotification(n);
                     });
}

ShortcutView::Ptr ShortcutView::self() { return std::static_pointer_cast<ShortcutView>(shared_from_this()); }

// --- State ----------------------------------------------------------------------------

void ShortcutView::setEnabled(bool enabled) {
  enabled_ = enabled;
  updateTrackingAreas();
  setNeedsDisplay(true);
}

void ShortcutView::setHinting(bool hinting) {
  hinting_ = hinting;
  setNeedsDisplay(true);
}

void ShortcutView::setAssignedShortcut(std::optional<Shortcut> shortcut) {
  assignedShortcut_ = std::move(shortcut);
  setNeedsDisplay(true);
}

void ShortcutView::setDelegate(const std::shared_ptr<ShortcutViewDelegate>& delegate) { delegate_ = delegate; }

void ShortcutView::setStyle(Style style) {
  style_ = style;
  uidateCellStyle();
  setNeedsDisplay(true);
}

// --- Looks and geometry ------------------------------------------------------------------

void ShortcutView::uidateCellStyle() {
  switch (style()) {
    case Style::roundRect:
      cell_->setBezelStyle(BezelStyle::roundRect);
      heightConstraint_->setConstant(19);
      break;
    case Style::texturedRounded:
      cell_->setBezelStyle(BezelStyle::texturedRounded);
      heightConstraint_->setConstant(25);
      cell_->setBackgroundColor(Color::greenColor());
      break;
    case Style::rounded:
      cell_->setBezelStyle(BezelStyle::rounded);
      heightConstraint_->setConstant(43);
      cell_->setBackgroundColor(Color::redColor());
      break;
    case Style::flat:
      setWantsLayer(true);
      cell_->setBackgroundColor(Color::clearColor());
      cell_->setBordered(false);
      break;
  }
}

double ShortcutView::hintButtonWidth() const {
  switch (style()) {
    case Style::roundRect: return HintButtonWidth;
    case Style::texturedRounded: return HintButtonWidth + 2;
    case Style::rounded: return HintButtonWidth + 3;
    case Style::flat: {
      const double pointSize = cell_->font() ? cell_->font()->pointSize : 12.0;
      return HintButtonWidth + 8 - (pointSize - FontSize);
    }
  }
  return HintButtonWidth;
}

std::pair<Rect, Rect> ShortcutView::getRects() const {
  const RectDivision division = divided(bounds(), hintButtonWidth(), RectEdge::maxX);
  return {division.remainder, division.slice};
}

double ShortcutView::baselineOffsetFromBottom() const {
  switch (style()) {
    case Style::roundRect: return 6;
    case Style::texturedRounded: return 7;
    case Style::rounded: return 19;
    case Style::flat: return 8;
  }
  return 0;
}

// --- Drawing ------------------------------------------------------------------------------

void ShortcutView::drawInRect(Rect frame, const std::string& title, TextAlignment alignment, bool light) {
  cell_->setTitle(title);
  cell_->setAlignment(alignment);
  cell_->setState(light ? ControlStateValue::off : ControlStateValue::on);
  cell_->setEnabled(enabled());
  const Style current = style();
  if (current == Style::texturedRounded || current == Style::rounded) frame.origin.y += 1;
  cell_->drawWithFrame(frame, *this);
}

void ShortcutView::draw(Rect /*dirtyRect*/) {
  const auto [shortcutRect, hintRect] = getRects();
  const Rect whole = bounds();
  const std::optional<Shortcut> assigned = assignedShortcut();
  if (!recording_) {
    if (!assigned) {
      drawInRect(whole, recorderText("ShortcutView_Record Shortcut"), TextAlignment::center, true);
      return;
    }
    drawInRect(whole, kClearGlyph, TextAlignment::right, true);
    drawInRect(shortcutRect, hinting() ? recorderText("ShortcutView_Delete Shortcut") : assigned->asStringSymbols(),
               TextAlignment::center, true);
    return;
  }
  drawInRect(whole, kCancelGlyph, TextAlignment::right, true);
  std::string text;
  if (hinting()) {
    text = assigned ? recorderText("ShortcutView_Use Old Shortcut") : recorderText("Cancel");
  } else if (currentlyPressedShortcut_ && !currentlyPressedShortcut_->asStringSymbols().empty()) {
    text = currentlyPressedShortcut_->asStringSymbols();
  } else {
    text = assigned ? recorderText("ShortcutView_Type New Shortcut") : recorderText("ShortcutView_Type Shortcut");
  }
  drawInRect(shortcutRect, text, TextAlignment::center, false);
}

// --- Mouse -----------------------------------------------------------------------------------

void ShortcutView::updateTrackingAreas() {
  View::updateTrackingAreas();
  if (hintArea_) removeTrackingArea(std::exchange(hintArea_, nullptr));
  if (!enabled()) return;
  hintArea_ = TrackingArea::create(getRects().second,
                                   TrackingAreaOptions::mouseEnteredAndExited | TrackingAreaOptions::assumeInside |
                                       TrackingAreaOptions::activeAlways,
                                   self());
  addTrackingArea(hintArea_);
}

void ShortcutView::mouseEntered(const Event& /*event*/) { setHinting(true); }

void ShortcutView::mouseExited(const Event& /*event*/) { setHinting(false); }

void ShortcutView::mouseDown(const Event& event) {
  if (!enabled()) {
    View::mouseDown(event);
    return;
  }
  const Ptr keep = self();  // the delegate may drop its last owner
  const Point point = convertPointFromView(event.locationInWindow(), nullptr);
  const auto [shortcutRect, hintRect] = getRects();
  if (recording_) {
    if (hintRect.contains(point)) stopRecording();
    return;
  }
  const std::optional<Shortcut> previous = assignedShortcut();
  if (!previous || shortcutRect.contains(point)) {
    startRecording();
    return;
  }
  setAssignedShortcut(std::nullopt);
  if (const auto told = delegate()) told->shortcutView(keep, previous);
  setNeedsDisplay(true);
}

// --- Notifications ------------------------------------------------------------------------

void ShortcutView::windowDidResignKeyNotification(const Notification& /*n*/) {
  if (recording_) stopRecording();
}

void ShortcutView::keyboardSelectionDidChangeNotification(const Notification& /*n*/) { setNeedsDisplay(true); }

// --- Recording -------------------------------------------------------------------------------

void ShortcutView::startRecording() {
  const Ptr keep = self();
  if (const std::shared_ptr<ShortcutView> current = currentRecorder()) current->stopRecording();
  currentRecorder() = keep;
  if (recording_) fatal("Already recording.");
  currentlyPressedShortcut_.reset();
  recording_ = true;
  setNeedsDisplay(true);
  // The handler learns its own monitor only once it is installed; it keeps
  // it weakly, the application and this view hold it.
  auto session = std::make_shared<std::weak_ptr<EventMonitor>>();
  eventMonitor_ = Application::shared()->addLocalMonitorForEvents(
      kRecordingMask, [keep, session](const std::shared_ptr<const Event>& event) {
        return keep->handleKeyEvent(event, session->lock());
      });
  if (!eventMonitor_) fatal("Could not install local event monitor with mask " + kRecordingMask.description());
  *session = eventMonitor_;
}

void ShortcutView::stopRecording() {
  if (!recording_) fatal("Cannot stop() when not recording.");
  const Ptr keep = self();  // the current-recorder reference may be the last owner
  recording_ = false;
  setNeedsDisplay(true);
  if (currentRecorder() == keep) currentRecorder().reset();
  // Dropping the token breaks the loop view -> monitor -> handler -> view.
  if (const auto monitor = std::exchange(eventMonitor_, nullptr)) Application::shared()->removeMonitor(monitor);
}

void ShortcutView::stopRecordingIfStill(const std::shared_ptr<EventMonitor>& session) {
  if (recording_ && session && eventMonitor_ == session && currentRecorder().get() == this) stopRecording();
}

void ShortcutView::assignNewShortcut(const Shortcut& shortcut) {
  const std::optional<Shortcut> previous = assignedShortcut();
  setAssignedShortcut(shortcut);
  if (const auto told = delegate()) told->shortcutView(self(), shortcut, previous);
}

std::shared_ptr<const Event> ShortcutView::handleKeyEvent(const std::shared_ptr<const Event>& event,
                                                         const std::shared_ptr<EventMonitor>& session) {
  const Ptr keep = self();  // alive across every delegate call below
  const std::int64_t key = event->keyCode();
  const Shortcut pressed = Shortcut::fromEvent(event->keyCode(), ModifierFlags(event->modifierFlags().rawValue()));
  const ModifierFlags modifiers = pressed.modifierFlags;

  if (key == kTab) {
    stopRecording();
    return event;
  }
  if (!modifiers.isEmpty()) {
    if ((key == kQ || key == kW) && modifiers == ModifierFlags::command) {
      stopRecording();
      return event;
    }
  } else if (key == kForwardDelete || key == kDelete) {
    const std::optional<Shortcut> previous = assignedShortcut();
    setAssignedShortcut(std::nullopt);
    if (const auto told = delegate()) told->shortcutView(keep, previous);
    stopRecordingIfStill(session);
    return nullptr;
  } else if (key == kEscape) {
    stopRecording();
    return nullptr;
  }

  currentlyPressedShortcut_ = pressed;
  const std::optional<std::string> symbols = ShortcutHelper::symbolsStringForKeyCode(key);
  if (!symbols || symbols->empty()) {
    setNeedsDisplay(true);
    return nullptr;
  }
  if (!ShortcutValidator::isShortcutValid(pressed)) {
    Application::shared()->beep();
    currentlyPressedShortcut_->keyCode = kCommandKey;
    setNeedsDisplay(true);
    return nullptr;
  }
  if (HotKeyHelper::isShortcutAlreadyTakenBySystem(pressed) == HotKeyHelperError::alreadyUsed) {
    stopRecording();
    // Filled by replacement: a translated text is never a printf format.
    const std::string title = stringByReplacingOccurrences(
        recorderText("ShortcutView_Shortcut \"%@\" already used in operating system."),
        {{"%@", pressed.asStringSymbols()}});
    runCriticalAlert(title);
    return nullptr;
  }
  assignNewShortcut(pressed);
  stopRecordingIfStill(session);
  return nullptr;
}

}  // namespace vantrel
