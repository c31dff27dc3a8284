#include "vantrel/shortcuts/recorder/shortcut_view.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/recorder/recorder_test_support.h"
#include "tests/recorder/system_hot_keys_support.h"
#include "vantrel/platform/foundation/notifications/notification_center.h"
#include "vantrel/platform/keyboard/keyboard_layout.h"
#include "vantrel/platform/kit/application.h"
#include "vantrel/platform/kit/window.h"
#include "vantrel/shortcuts/recorder/internal/internal_localization.h"
#include "vantrel/shortcuts/recorder/internal/recorder_state.h"

namespace vantrel {
namespace {

using keyboard::KeyboardLayout;
using keyboard::ScopedKeyboardLayout;
using recorder_internal::resetInternalLocalizationForTesting;
using recorder_internal::resetShortcutRecorderForTesting;
using testing::AlertLog;
using testing::ScopedSystemHotKeys;

const ModifierFlags kNone;
const ModifierFlags kCommand = ModifierFlags::command;
const ModifierFlags kShift = ModifierFlags::shift;
const ModifierFlags kControl = ModifierFlags::control;
const ModifierFlags kOption = ModifierFlags::option;

std::string rawOrNil(const std::optional<Shortcut>& s) { return s ? s->rawString() : "nil"; }

// Logs every call, with the state the view is in during it, and runs
// `during` inside each.
class LoggingDelegate : public ShortcutViewDelegate {
 public:
  void shortcutView(const ShortcutView::Ptr& view, const Shortcut& didAssignShortcut,
                    const std::optional<Shortcut>& previousShortcut) override {
    calls.push_back("assign " + didAssignShortcut.rawString() + " after " + rawOrNil(previousShortcut) +
                    (view->recording() ? " while recording" : ""));
    if (during) during(view);
  }
  void shortcutView(const ShortcutView::Ptr& view, const std::optional<Shortcut>& didRemoveShortcut) override {
    calls.push_back("remove " + rawOrNil(didRemoveShortcut) + (view->recording() ? " while recording" : ""));
    if (during) during(view);
  }

  std::vector<std::string> calls;
  std::function<void(const ShortcutView::Ptr&)> during;
};

// The drawings of one `draw`, shortly: the on-state ones marked "*".
std::string drawn(const ShortcutView::Ptr& view) {
  view->cell()->clearDrawings();
  view->draw(view->bounds());
  std::string text;
  for (const ButtonCellDrawing& d : view->cell()->drawings()) {
    if (!text.empty()) text += " | ";
    text += (d.state == ControlStateValue::on ? "*" : "") + d.title;
  }
  return text;
}

// A recorder in a key window of its own, English texts, the "us" layout
// and one shortcut the desktop keeps for itself: ⌘Space.
class Recorder : public ::testing::Test {
 protected:
  void SetUp() override {
    resetShortcutRecorderForTesting();
    resetInternalLocalizationForTesting([] { return std::vector<std::string>{"en"}; });
    window = Window::create(Rect(0, 0, 400, 100));
    window->makeKeyAndOrderFront();
    monitorsBefore = Application::shared()->localMonitorCount();
  }
  void TearDown() override {
    resetShortcutRecorderForTesting();
    resetInternalLocalizationForTesting();
  }

  ShortcutView::Ptr place(std::optional<Shortcut> shortcut, Rect frame = Rect(20, 30, 200, 25)) {
    const auto view = ShortcutView::create(shortcut);
    window->contentView()->addSubview(view);
    view->setFrame(frame);
    return view;
  }
  // A click at `point` of the view's own (flipped) coordinates.
  void click(const ShortcutView::Ptr& view, Point point) {
    Application::shared()->sendEvent(
        Event::mouseEvent(EventType::leftMouseDown, window, view->convertPointToView(point, nullptr)));
  }
  void moveTo(const ShortcutView::Ptr& view, Point point) {
    Application::shared()->sendEvent(
        Event::mouseEvent(EventType::mouseMoved, window, view->convertPointToView(point, nullptr)));
  }
  // Answers the event that went on, null when swallowed.
  Event::Ptr type(std::uint16_t key, ModifierFlags flags, std::string characters = "x",
                  EventType eventType = EventType::keyDown) {
    return Application::shared()->sendEvent(
        Event::keyEvent(eventType, window, key, std::move(characters), EventModifierFlags(flags.rawValue())));
  }

  ScopedKeyboardLayout us{KeyboardLayout{"us", ""}};
  ScopedSystemHotKeys systemKeys{std::vector<SystemHotKeyEntry>{{49, 0x100, true}, {40, 0x1800, false}}};
  AlertLog alerts;
  Window::Ptr window;
  std::size_t monitorsBefore = 0;
};

// The view has no frame initialiser of its own.
template <class T>
concept CreatableFrom = requires(T argument) { ShortcutView::create(argument); };
static_assert(!CreatableFrom<Rect>);
static_assert(CreatableFrom<std::optional<Shortcut>>);

const Point kMainArea(10, 10);
const Point kHintArea(190, 10);  // the right 25 points of a 200-point view

TEST_F(Recorder, KeysAfterAClick) {
  const std::string taken = "Shortcut \"⌘SPACE\" already used in operating system.";
  struct Case {
    const char* name;
    std::uint16_t key;
    ModifierFlags flags;
    std::string characters;
    std::optional<std::string> before;  // storage string
    bool passed;
    bool recordingAfter;
    std::optional<std::string> after;
    std::vector<std::string> calls;
    int beeps;
    std::string alert;  // title and style, "" for none
    std::string drawing;
    EventType eventType = EventType::keyDown;
  };
  const std::vector<Case> cases = {
      {"Tab", 48, kNone, "\t", "cmd,0", true, false, "cmd,0", {}, 0, "", "⌫ | ⌘A"},
      {"Shift-Tab", 48, kShift, "\t", "cmd,0", true, false, "cmd,0", {}, 0, "", "⌫ | ⌘A"},
      {"⌘Q", 12, kCommand, "q", "cmd,0", true, false, "cmd,0", {}, 0, "", "⌫ | ⌘A"},
      {"⌘W", 13, kCommand, "w", std::nullopt, true, false, std::nullopt, {}, 0, "", "Record Shortcut"},
      {"⌘⇧Q", 12, kCommand | kShift, "Q", "cmd,0", false, false, "shft-cmd,12",
       {"assign shft-cmd,12 after cmd,0 while recording"}, 0, "", "⌫ | ⇧⌘Q"},
      {"⌃Q", 12, kControl, "q", "cmd,0", false, false, "ctrl,12",
       {"assign ctrl,12 after cmd,0 while recording"}, 0, "", "⌫ | ⌃Q"},
      {"Escape", 53, kNone, "\x1b", "cmd,0", false, false, "cmd,0", {}, 0, "", "⌫ | ⌘A"},
      {"⌘Escape", 53, kCommand, "\x1b", "cmd,0", false, false, "cmd,53",
       {"assign cmd,53 after cmd,0 while recording"}, 0, "", "⌫ | ⌘⎋"},
      {"Delete with a shortcut", 51, kNone, "\x7f", "cmd,0", false, false, std::nullopt,
       {"remove cmd,0 while recording"}, 0, "", "Record Shortcut"},
      {"Delete without one", 51, kNone, "\x7f", std::nullopt, false, false, std::nullopt,
       {"remove nil while recording"}, 0, "", "Record Shortcut"},
      {"Forward Delete", 117, kNone, "", "ctrl,1", false, false, std::nullopt,
       {"remove ctrl,1 while recording"}, 0, "", "Record Shortcut"},
      {"⌘Delete", 51, kCommand, "\x7f", "cmd,0", false, false, "cmd,51",
       {"assign cmd,51 after cmd,0 while recording"}, 0, "", "⌫ | ⌘⌫"},
      {"a key without text (Shift pressed)", 56, kShift, "", "cmd,0", false, true, "cmd,0", {}, 0, "", "⎋ | *⇧",
       EventType::flagsChanged},
      {"a key without text (all released)", 56, kNone, "", "cmd,0", false, true, "cmd,0", {}, 0, "",
       "⎋ | *Type New Shortcut", EventType::flagsChanged},
      {"refused ⇧A, shown with the Command key's code", 0, kShift, "A", "cmd,0", false, true, "cmd,0", {}, 1, "",
       "⎋ | *⇧"},
      {"refused A", 0, kNone, "a", std::nullopt, false, true, std::nullopt, {}, 1, "", "⎋ | *Type Shortcut"},
      {"reserved ⌘Space", 49, kCommand, " ", "cmd,0", false, false, "cmd,0", {}, 0, taken + " critical",
       "⌫ | ⌘A"},
      {"accepted ⌃⌥K (its system entry is disabled)", 40, kControl | kOption, "k", "cmd,0", false, false,
       "ctrl-alt,40", {"assign ctrl-alt,40 after cmd,0 while recording"}, 0, "", "⌫ | ⌃⌥K"},
      {"accepted F5 alone", 96, kNone, "", std::nullopt, false, false, ",96",
       {"assign ,96 after nil while recording"}, 0, "", "⌫ | F5"},
      {"Caps Lock is dropped", 12, kControl | ModifierFlags::capsLock, "q", std::nullopt, false, false, "ctrl,12",
       {"assign ctrl,12 after nil while recording"}, 0, "", "⌫ | ⌃Q"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::optional<Shortcut> before;
    if (c.before) before = Shortcut::fromRawString(*c.before);
    const auto view = place(before);
    const auto delegate = std::make_shared<LoggingDelegate>();
    view->setDelegate(delegate);
    click(view, kMainArea);
    ASSERT_TRUE(view->recording());
    const std::int64_t beepsBefore = alerts.beeps();
    alerts.clear();

    const Event::Ptr passed = type(c.key, c.flags, c.characters, c.eventType);

    EXPECT_EQ(passed != nullptr, c.passed);
    EXPECT_EQ(view->recording(), c.recordingAfter);
    EXPECT_EQ(view->assignedShortcut().has_value(), c.after.has_value());
    if (c.after && view->assignedShortcut()) {
      EXPECT_EQ(view->assignedShortcut()->rawString(), *c.after);
    }
    EXPECT_EQ(delegate->calls, c.calls);
    EXPECT_EQ(alerts.beeps() - beepsBefore, c.beeps);
    EXPECT_EQ(alerts.shown(), c.alert.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.alert});
    EXPECT_EQ(drawn(view), c.drawing);
    EXPECT_EQ(global_currentlyRecordingShortcutView() == view, c.recordingAfter);
    EXPECT_EQ(Application::shared()->localMonitorCount(), monitorsBefore + (c.recordingAfter ? 1 : 0));
    if (view->recording()) view->stopRecording();
    view->removeFromSuperview();
  }
}

// keyboard only calls hooks; the recorder turns each new choice into the
// notification, which its views and other observers read.
TEST_F(Recorder, AChoiceOfLayoutIsPostedAndRedrawsTheView) {
  const auto view = place(std::nullopt);
  auto observer = std::make_shared<int>(0);
  std::vector<std::string> seen;
  NotificationCenter::defaultCenter().addObserver(
      observer, std::string(keyboard::NSTextInputContextKeyboardSelectionDidChangeNotification),
      [&](const Notification&) { seen.push_back(keyboard::currentKeyboardLayout().identifier()); });
  const std::int64_t drawsBefore = view->needsDisplayCount();
  keyboard::setCurrentKeyboardLayout(KeyboardLayout{"de", ""});
  NotificationCenter::defaultCenter().removeObserver(observer);
  EXPECT_EQ(seen, std::vector<std::string>{"de"});
  EXPECT_GT(view->needsDisplayCount(), drawsBefore);
}

TEST_F(Recorder, ReservedCombinationInGerman) {
  resetInternalLocalizationForTesting([] { return std::vector<std::string>{"de", "en"}; });
  const auto view = place(std::nullopt);
  EXPECT_EQ(drawn(view), "Aufnehmen");
  click(view, kMainArea);
  EXPECT_EQ(drawn(view), "⎋ | *Neuen eingeben");
  EXPECT_EQ(type(49, kCommand, " "), nullptr);
  EXPECT_FALSE(view->recording());
  EXPECT_EQ(alerts.shown(),
            std::vector<std::string>{"Der Kurzbefehl \"⌘SPACE\" wird bereits vom Betriebssystem verwendet. critical"});
}

TEST_F(Recorder, WithoutADelegateAssignmentAndClearingWorkAlike) {
  const auto view = place(std::nullopt);
  click(view, kMainArea);
  type(40, kControl | kOption, "k");
  EXPECT_EQ(rawOrNil(view->assignedShortcut()), "ctrl-alt,40");
  click(view, kMainArea);
  type(51, kNone, "\x7f");
  EXPECT_EQ(view->assignedShortcut(), std::nullopt);
  EXPECT_FALSE(view->recording());
}

TEST_F(Recorder, StylesTable) {
  struct Step {
    ShortcutView::Style style;
    double height;
    double hintWidth;
    double baseline;
    BezelStyle bezel;
    std::string background;
    bool bordered;
    bool layer;
    double drawnAtY;
  };
  const std::string green = Color::greenColor()->description();
  const std::string red = Color::redColor()->description();
  const std::string clear = Color::clearColor()->description();
  using S = ShortcutView::Style;
  const std::vector<Step> steps = {
      {S::texturedRounded, 25, 25, 7, BezelStyle::texturedRounded, green, true, false, 1},
      {S::roundRect, 19, 23, 6, BezelStyle::roundRect, green, true, false, 0},
      {S::rounded, 43, 26, 19, BezelStyle::rounded, red, true, false, 1},
      {S::flat, 43, 31, 8, BezelStyle::rounded, clear, false, true, 0},
      {S::roundRect, 19, 23, 6, BezelStyle::roundRect, clear, false, true, 0},
      {S::texturedRounded, 25, 25, 7, BezelStyle::texturedRounded, green, false, true, 1},
  };
  const auto view = place(std::nullopt);
  ASSERT_EQ(view->constraints().size(), 2u);
  EXPECT_EQ(view->constraints()[0], view->heightConstraint());
  EXPECT_EQ(view->constraints()[1]->description().find("width >= 150.0") != std::string::npos, true)
      << view->constraints()[1]->description();
  EXPECT_FALSE(view->translatesAutoresizingMaskIntoConstraints());
  EXPECT_EQ(view->cell()->buttonType(), ButtonType::onOff);
  EXPECT_EQ(view->cell()->font(), Font::systemFont(11));
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const Step& s = steps[i];
    SCOPED_TRACE(i);
    if (i > 0) view->setStyle(s.style);
    EXPECT_EQ(view->heightConstraint()->constant(), s.height);
    EXPECT_EQ(view->hintButtonWidth(), s.hintWidth);
    EXPECT_EQ(view->getRects().second, Rect(200 - s.hintWidth, 0, s.hintWidth, 25));
    EXPECT_EQ(view->baselineOffsetFromBottom(), s.baseline);
    EXPECT_EQ(view->cell()->bezelStyle(), s.bezel);
    ASSERT_NE(view->cell()->backgroundColor(), nullptr);
    EXPECT_EQ(view->cell()->backgroundColor()->description(), s.background);
    EXPECT_EQ(view->cell()->isBordered(), s.bordered);
    EXPECT_EQ(view->wantsLayer(), s.layer);
    drawn(view);
    EXPECT_EQ(view->cell()->drawings().at(0).frame, Rect(0, s.drawnAtY, 200, 25));
  }
  // The flat hint button follows the cell's font: 13 points, or none (12).
  view->setStyle(S::flat);
  view->cell()->setFont(Font::systemFont(13));
  EXPECT_EQ(view->hintButtonWidth(), 29);
  view->cell()->setFont(std::nullopt);
  EXPECT_EQ(view->hintButtonWidth(), 30);
  // Narrower than the hint button: the hint button is all of it.
  view->setFrame(Rect(0, 0, 20, 25));
  EXPECT_EQ(view->getRects().second, Rect(0, 0, 20, 25));
  EXPECT_EQ(view->getRects().first.size.width, 0);
}

TEST_F(Recorder, DrawingByState) {
  // Frames of the texturedRounded style: drawn one point lower.
  const std::string whole = "(0.0, 1.0, 200.0, 25.0)";
  const std::string main = "(0.0, 1.0, 175.0, 25.0)";
  const auto log = [](const ShortcutView::Ptr& view) {
    view->cell()->clearDrawings();
    view->draw(view->bounds());
    std::vector<std::string> lines;
    for (const ButtonCellDrawing& d : view->cell()->drawings()) {
      lines.push_back(d.frame.description() + " \"" + d.title + "\" " + description(d.alignment) + " " +
                      std::string(description(d.state)) + (d.enabled ? "" : " disabled"));
    }
    return lines;
  };
  using Lines = std::vector<std::string>;
  const auto idle = place(std::nullopt);
  EXPECT_EQ(log(idle), Lines{whole + " \"Record Shortcut\" center off"});

  const auto assigned = place(Shortcut(0, kCommand));
  EXPECT_EQ(log(assigned), (Lines{whole + " \"⌫\" right off", main + " \"⌘A\" center off"}));
  assigned->setHinting(true);
  EXPECT_EQ(log(assigned), (Lines{whole + " \"⌫\" right off", main + " \"Delete Shortcut\" center off"}));
  assigned->setEnabled(false);
  EXPECT_EQ(log(assigned),
            (Lines{whole + " \"⌫\" right off disabled", main + " \"Delete Shortcut\" center off disabled"}));
  assigned->setEnabled(true);

  assigned->startRecording();
  EXPECT_EQ(log(assigned), (Lines{whole + " \"⎋\" right off", main + " \"Use Old Shortcut\" center on"}));
  assigned->setHinting(false);
  EXPECT_EQ(log(assigned), (Lines{whole + " \"⎋\" right off", main + " \"Type New Shortcut\" center on"}));
  type(59, kControl, "", EventType::flagsChanged);  // the Control key: no text of its own
  EXPECT_EQ(log(assigned), (Lines{whole + " \"⎋\" right off", main + " \"⌃\" center on"}));

  idle->startRecording();
  EXPECT_EQ(log(idle), (Lines{whole + " \"⎋\" right off", main + " \"Type Shortcut\" center on"}));
  idle->setHinting(true);
  EXPECT_EQ(log(idle), (Lines{whole + " \"⎋\" right off", main + " \"Cancel\" center on"}));
}

TEST_F(Recorder, HoverOverTheHintArea) {
  const auto view = place(Shortcut(0, kCommand));
  ASSERT_NE(view->hintArea(), nullptr);
  EXPECT_EQ(view->hintArea()->rect(), Rect(175, 0, 25, 25));
  EXPECT_EQ(view->hintArea()->options(), TrackingAreaOptions::mouseEnteredAndExited |
                                             TrackingAreaOptions::assumeInside | TrackingAreaOptions::activeAlways);
  moveTo(view, kMainArea);  // the area assumed the pointer inside: now it knows better
  EXPECT_FALSE(view->hinting());
  moveTo(view, kHintArea);
  EXPECT_TRUE(view->hinting());
  EXPECT_EQ(drawn(view), "⌫ | Delete Shortcut");
  moveTo(view, Point(190, 40));  // below the view
  EXPECT_FALSE(view->hinting());
  EXPECT_EQ(drawn(view), "⌫ | ⌘A");

  // A style change keeps the old area until the areas are rebuilt.
  view->setStyle(ShortcutView::Style::rounded);
  EXPECT_EQ(view->hintArea()->rect(), Rect(175, 0, 25, 25));
  view->setEnabled(true);
  EXPECT_EQ(view->hintArea()->rect(), Rect(174, 0, 26, 25));
  EXPECT_EQ(view->trackingAreas().size(), 1u);

  view->setEnabled(false);
  EXPECT_EQ(view->hintArea(), nullptr);
  EXPECT_TRUE(view->trackingAreas().empty());
  moveTo(view, kMainArea);
  moveTo(view, kHintArea);
  EXPECT_FALSE(view->hinting());
}

// Logs the clicks that reach it.
class ClickLog : public View {
 public:
  static std::shared_ptr<ClickLog> create(Rect frame) { return std::shared_ptr<ClickLog>(new ClickLog(frame)); }
  void mouseDown(const Event&) override { ++clicks; }
  int clicks = 0;

 private:
  explicit ClickLog(Rect frame) : View(frame) {}
};

TEST_F(Recorder, Clicks) {
  const auto delegate = std::make_shared<LoggingDelegate>();
  // Idle with a shortcut: the hint button clears it.
  const auto view = place(Shortcut(0, kCommand));
  view->setDelegate(delegate);
  click(view, kHintArea);
  EXPECT_FALSE(view->recording());
  EXPECT_EQ(view->assignedShortcut(), std::nullopt);
  EXPECT_EQ(delegate->calls, std::vector<std::string>{"remove cmd,0"});
  // Idle without one: even the right end starts a recording.
  click(view, kHintArea);
  EXPECT_TRUE(view->recording());
  // Recording: the main area does nothing, the hint button ends it.
  click(view, kMainArea);
  EXPECT_TRUE(view->recording());
  click(view, kHintArea);
  EXPECT_FALSE(view->recording());
  EXPECT_EQ(delegate->calls.size(), 1u);
  // Idle with a shortcut: the main area starts a recording.
  view->setAssignedShortcut(Shortcut(1, kCommand));
  click(view, kMainArea);
  EXPECT_TRUE(view->recording());
  view->stopRecording();

  // Disabled: the click goes on to the superview.
  const auto container = ClickLog::create(Rect(0, 0, 400, 100));
  window->contentView()->addSubview(container);
  container->addSubview(view);
  view->setEnabled(false);
  click(view, kMainArea);
  EXPECT_FALSE(view->recording());
  EXPECT_EQ(container->clicks, 1);
}

TEST_F(Recorder, OneRecorderAtATime) {
  const auto a = place(std::nullopt, Rect(10, 10, 200, 25));
  const auto b = place(std::nullopt, Rect(10, 50, 200, 25));
  click(a, kMainArea);
  const std::int64_t aDrawsBefore = a->needsDisplayCount();
  click(b, kMainArea);
  EXPECT_FALSE(a->recording());
  EXPECT_EQ(a->eventMonitor(), nullptr);
  EXPECT_GT(a->needsDisplayCount(), aDrawsBefore);
  EXPECT_TRUE(b->recording());
  EXPECT_EQ(global_currentlyRecordingShortcutView(), b);
  EXPECT_EQ(Application::shared()->localMonitorCount(), monitorsBefore + 1);
  type(40, kControl, "k");
  EXPECT_EQ(a->assignedShortcut(), std::nullopt);
  EXPECT_EQ(rawOrNil(b->assignedShortcut()), "ctrl,40");
  EXPECT_EQ(global_currentlyRecordingShortcutView(), nullptr);
  EXPECT_EQ(Application::shared()->localMonitorCount(), monitorsBefore);
}

TEST_F(Recorder, RestartingTheSameView) {
  const auto view = place(std::nullopt);
  click(view, kMainArea);
  type(56, kShift, "", EventType::flagsChanged);
  ASSERT_NE(view->currentlyPressedShortcut(), std::nullopt);
  const auto firstMonitor = view->eventMonitor();
  view->startRecording();
  EXPECT_TRUE(view->recording());
  EXPECT_EQ(view->currentlyPressedShortcut(), std::nullopt);
  EXPECT_NE(view->eventMonitor(), firstMonitor);
  EXPECT_EQ(Application::shared()->localMonitorCount(), monitorsBefore + 1);
}

TEST_F(Recorder, AnyWindowResigningKeyEndsARecording) {
  const auto view = place(std::nullopt);
  const auto other = Window::create(Rect(0, 0, 100, 100));
  click(view, kMainArea);
  other->makeKeyAndOrderFront();  // the recorder's window resigns
  EXPECT_FALSE(view->recording());
  click(view, kMainArea);
  other->orderOut();  // another window resigns
  EXPECT_FALSE(view->recording());
  EXPECT_EQ(Application::shared()->localMonitorCount(), monitorsBefore);
}

TEST_F(Recorder, LayoutSwitchRedrawsTheSymbols) {
  const auto view = place(Shortcut(6, kCommand));  // the key that types z on "us", y on "de"
  EXPECT_EQ(drawn(view), "⌫ | ⌘Z");
  const std::int64_t before = view->needsDisplayCount();
  {
    ScopedKeyboardLayout german(KeyboardLayout{"de", ""});
    EXPECT_GT(view->needsDisplayCount(), before);
    EXPECT_EQ(drawn(view), "⌫ | ⌘Y");
  }
}

// The delegate's call comes while the recording runs; what it does there
// must not end the program or free the view under the key's handling.
TEST_F(Recorder, DelegateThatStopsTheRecording) {
  const auto view = place(std::nullopt);
  const auto delegate = std::make_shared<LoggingDelegate>();
  delegate->during = [](const ShortcutView::Ptr& v) { v->stopRecording(); };
  view->setDelegate(delegate);
  for (const std::uint16_t key : {std::uint16_t{40}, std::uint16_t{51}}) {  // assign, then Delete
    click(view, kMainArea);
    type(key, key == 40 ? kControl : kNone, "k");
    EXPECT_FALSE(view->recording());
  }
  EXPECT_EQ(delegate->calls, (std::vector<std::string>{"assign ctrl,40 after nil while recording",
                                                       "remove ctrl,40 while recording"}));
  EXPECT_EQ(global_currentlyRecordingShortcutView(), nullptr);
  EXPECT_EQ(Application::shared()->localMonitorCount(), monitorsBefore);
}

TEST_F(Recorder, DelegateThatStartsAnotherRecorder) {
  const auto view = place(std::nullopt, Rect(10, 10, 200, 25));
  const auto other = place(std::nullopt, Rect(10, 50, 200, 25));
  const auto delegate = std::make_shared<LoggingDelegate>();
  delegate->during = [&](const ShortcutView::Ptr&) { other->startRecording(); };
  view->setDelegate(delegate);
  for (const std::uint16_t key : {std::uint16_t{40}, std::uint16_t{117}}) {  // assign, then Forward Delete
    click(view, kMainArea);
    type(key, key == 40 ? kControl : kNone, "k");
    EXPECT_FALSE(view->recording());
    EXPECT_TRUE(other->recording());
    EXPECT_EQ(global_currentlyRecordingShortcutView(), other);
    EXPECT_EQ(Application::shared()->localMonitorCount(), monitorsBefore + 1);
  }
  // The other recorder got none of those keys and still works.
  EXPECT_EQ(other->assignedShortcut(), std::nullopt);
  type(0, kCommand, "a");
  EXPECT_EQ(rawOrNil(other->assignedShortcut()), "cmd,0");
}

TEST_F(Recorder, DelegateThatRestartsTheSameView) {
  const auto view = place(std::nullopt);
  const auto delegate = std::make_shared<LoggingDelegate>();
  delegate->during = [](const ShortcutView::Ptr& v) { v->startRecording(); };
  view->setDelegate(delegate);
  click(view, kMainArea);
  type(40, kControl, "k");
  // The recording of the key ended; the one the delegate started runs on.
  EXPECT_TRUE(view->recording());
  EXPECT_EQ(Application::shared()->localMonitorCount(), monitorsBefore + 1);
  delegate->during = nullptr;
  type(0, kCommand, "a");
  EXPECT_FALSE(view->recording());
  EXPECT_EQ(rawOrNil(view->assignedShortcut()), "cmd,0");
}

TEST_F(Recorder, DelegateThatDropsTheView) {
  auto holder = std::make_shared<ShortcutView::Ptr>(place(std::nullopt));
  const std::weak_ptr<ShortcutView> watch = *holder;
  const auto delegate = std::make_shared<LoggingDelegate>();
  delegate->during = [holder](const ShortcutView::Ptr& v) {
    v->removeFromSuperview();
    holder->reset();
  };
  (*holder)->setDelegate(delegate);
  click(*holder, kMainArea);
  type(40, kControl, "k");  // under ASan: nothing of the view is used after it is freed
  EXPECT_EQ(delegate->calls, std::vector<std::string>{"assign ctrl,40 after nil while recording"});
  EXPECT_TRUE(watch.expired());
  EXPECT_EQ(global_currentlyRecordingShortcutView(), nullptr);
  EXPECT_EQ(Application::shared()->localMonitorCount(), monitorsBefore);
}

using RecorderDeathTest = Recorder;

TEST_F(RecorderDeathTest, StoppingAnIdleView) {
  const auto view = place(std::nullopt);
  EXPECT_DEATH(view->stopRecording(), "Cannot stop\\(\\) when not recording\\.");
}

TEST_F(RecorderDeathTest, RefusedMonitor) {
  const auto view = place(std::nullopt);
  EXPECT_DEATH(
      {
        Application::shared()->setRefusesLocalMonitors(true);
        view->startRecording();
      },
      "Could not install local event monitor with mask \\[keyDown, flagsChanged\\]");
  EXPECT_FALSE(Application::shared()->refusesLocalMonitors());
}

}  // namespace
}  // namespace vantrel
