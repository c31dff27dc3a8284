// File: vantrel/shortcuts/recorder/shortcut_view.h
//
// `ShortcutView`: the control in which the user sees a keyboard shortcut and
// records a new one. Idle, it shows "Record Shortcut" or the assigned
// shortcut's symbols with a clear button ("⌫") at its right end; recording,
// it shows what is being typed with a cancel button ("⎋").
//
//   auto recorder = ShortcutView::create(Shortcut::fromRawString("cmd,0"));
//   recorder->setDelegate(settings);             // held weakly
//   window->contentView()->addSubview(recorder);
//   recorder->setFrame(Rect(20, 20, 200, 25));
//   // the user clicks it and types ⌃⌥K:
//   //   settings->shortcutView(recorder, Shortcut(40, ⌃⌥), Shortcut(0, ⌘))
//
// Clicks: on an idle view without a shortcut, or on the main area of one
// with a shortcut, a click starts a recording; on the clear button it
// removes the shortcut (the delegate hears of it); while recording, a click
// on the cancel button ends the recording and a click elsewhere does
// nothing. A disabled view passes clicks on (`Responder::mouseDown`).
//
// Recording: at most one view in the process records (starting one stops
// the other); a local event monitor for key-down and flags-changed events
// (`Application::addLocalMonitorForEvents`) decides for each key:
//   - Tab (any modifiers), ⌘Q and ⌘W end the recording and go on;
//   - Escape alone ends it; Delete or Forward Delete alone clears the
//     shortcut, tells the delegate, and ends it;
//   - a key that types nothing only shows the modifiers held;
//   - a combination `ShortcutValidator` refuses beeps and shows the
//     modifiers with the Command key in place of the key;
//   - one the desktop keeps (`HotKeyHelper::isShortcutAlreadyTakenBySystem`)
//     ends the recording and runs a critical alert naming it;
//   - any other becomes the shortcut: the delegate hears of it while
//     `recording()` is still true, then the recording ends.
// Every key reaching the monitor except the first three is swallowed. Any
// window ceasing to be the key window ends a recording too.
//
// A delegate may stop the recording, start another recorder or restart
// this one from its call: the recording that the key belonged to is ended
// afterwards only when it is still running (same view, same monitor), and
// the view stays alive until the key's handling is over.
//
// Texts come in English or German (the internal string table). Looks: four
// styles (`Style`), which set the cell's bezel and background, the height
// and the width of the hint button. Drawing goes through `cell()`, whose
// log a test reads (vantrel/platform/kit/button_cell.h).
//
// Stops (`fatal`): "Cannot stop() when not recording." for `stopRecording`
// on an idle view; "Could not install local event monitor with mask " and
// the mask's text when the application refuses the monitor.
//
// Main thread only, like every view.
#pragma once

#include <concepts>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "vantrel/platform/kit/button_cell.h"
#include "vantrel/platform/kit/event.h"
#include "vantrel/platform/kit/layout_constraint.h"
#include "vantrel/platform/kit/tracking_area.h"
#include "vantrel/platform/kit/view.h"
#include "vantrel/shortcuts/shortcut.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class ShortcutView;
struct Notification;

// What the host hears of a recorder. Class instances only: the view holds
// its delegate weakly.
class ShortcutViewDelegate {
 public:
  virtual ~ShortcutViewDelegate() = default;
  // A recorded combination replaced `previousShortcut` (none when there was
  // none). The view is still recording during the call.
  virtual void shortcutView(const std::shared_ptr<ShortcutView>& view, const Shortcut& didAssignShortcut,
                            const std::optional<Shortcut>& previousShortcut) = 0;
  // The shortcut was cleared: by Delete or Forward Delete while recording
  // (the previous one may be none), or by the clear button.
  virtual void shortcutView(const std::shared_ptr<ShortcutView>& view,
                            const std::optional<Shortcut>& didRemoveShortcut) = 0;
};

class ShortcutView : public View {
 public:
  using Ptr = std::shared_ptr<ShortcutView>;

  enum class Style { roundRect, texturedRounded, rounded, flat };

  // Base width of the hint button and the cell's font size, in points.
  static constexpr double HintButtonWidth = 23.0;
  static constexpr double FontSize = 11.0;

  // Zero frame, texturedRounded style (height 25), width at least 150, no
  // autoresizing-mask constraints; shows `shortcut`.
  [[nodiscard]] static Ptr create(std::optional<Shortcut> shortcut = std::nullopt);
  // The view has no frame initialiser of its own: place it with constraints
  // or `setFrame` after `create`.
  template <std::same_as<Rect> R>
  static Ptr create(R frame) = delete;

  ~ShortcutView() override;

  // --- State (overridable; the view itself goes through these too) ---------------
  [[nodiscard]] virtual bool enabled() const { return enabled_; }
  // Rebuilds the tracking area and redraws, also for the same value. A
  // recording goes on; the view then ignores clicks.
  virtual void setEnabled(bool enabled);
  [[nodiscard]] bool recording() const { return recording_; }
  // True while the pointer is over the hint button.
  [[nodiscard]] virtual bool hinting() const { return hinting_; }
  virtual void setHinting(bool hinting);
  [[nodiscard]] virtual std::optional<Shortcut> assignedShortcut() const { return assignedShortcut_; }
  // Redraws; the delegate hears nothing of a change made here.
  virtual void setAssignedShortcut(std::optional<Shortcut> shortcut);
  [[nodiscard]] virtual std::shared_ptr<ShortcutViewDelegate> delegate() const { return delegate_.lock(); }
  virtual void setDelegate(const std::shared_ptr<ShortcutViewDelegate>& delegate);
  [[nodiscard]] virtual Style style() const { return style_; }
  // Applies the style (`uidateCellStyle`) and redraws.
  virtual void setStyle(Style style);

  // --- Parts, for drawing and tests ------------------------------------------------
  [[nodiscard]] const ButtonCell::Ptr& cell() const { return cell_; }
  [[nodiscard]] const LayoutConstraint::Ptr& heightConstraint() const { return heightConstraint_; }
  [[nodiscard]] const TrackingArea::Ptr& hintArea() const { return hintArea_; }
  [[nodiscard]] const std::shared_ptr<EventMonitor>& eventMonitor() const { return eventMonitor_; }
  [[nodiscard]] const std::optional<Shortcut>& currentlyPressedShortcut() const { return currentlyPressedShortcut_; }

  // Applies `style()` to the cell and the height constraint; attributes a
  // style does not name keep what an earlier style left.
  virtual void uidateCellStyle();
  // The main area (left) and the hint button (right, the style's hint
  // width) of the bounds.
  [[nodiscard]] virtual std::pair<Rect, Rect> getRects() const;
  // The hint button's width in the current style.
  [[nodiscard]] double hintButtonWidth() const;

  // --- Recording --------------------------------------------------------------------
  // Stops the recorder that records (this one too), then records here.
  virtual void startRecording();
  // Stops `fatal` on an idle view.
  virtual void stopRecording();

  // --- View ---------------------------------------------------------------------------
  [[nodiscard]] bool acceptsFirstResponder() const override { return false; }
  [[nodiscard]] bool isFlipped() const override { return true; }
  // 6 roundRect, 7 texturedRounded, 19 rounded, 8 flat.
  [[nodiscard]] double baselineOffsetFromBottom() const;
  void mouseDown(const Event& event) override;
  void mouseEntered(const Event& event) override;
  void mouseExited(const Event& event) override;
  void updateTrackingAreas() override;
  void draw(Rect dirtyRect) override;

  // Notification handlers: a window resigned key (ends a recording); the
  // keyboard layout changed (redraw).
  void windowDidResignKeyNotification(const Notification& n);
  void keyboardSelectionDidChangeNotification(const Notification& n);

 protected:
  explicit ShortcutView(std::optional<Shortcut> shortcut);

 private:
  friend struct ShortcutViewAccess;  // the tests' reset hook
  void build();
  [[nodiscard]] Ptr self();
  void drawInRect(Rect frame, const std::string& title, TextAlignment alignment, bool light);
  // The monitor's handler for one event of the recording whose monitor
  // `session` names.
  std::shared_ptr<const Event> handleKeyEvent(const std::shared_ptr<const Event>& event,
                                              const std::shared_ptr<EventMonitor>& session);
  void assignNewShortcut(const Shortcut& shortcut);
  // Ends the recording `session` belongs to, unless it ended or was
  // replaced meanwhile.
  void stopRecordingIfStill(const std::shared_ptr<EventMonitor>& session);

  bool enabled_ = true;
  bool recording_ = false;
  bool hinting_ = false;
  std::optional<Shortcut> assignedShortcut_;
  std::weak_ptr<ShortcutViewDelegate> delegate_;
  Style style_ = Style::texturedRounded;
  ButtonCell::Ptr cell_;
  LayoutConstraint::Ptr heightConstraint_;
  TrackingArea::Ptr hintArea_;
  std::shared_ptr<EventMonitor> eventMonitor_;
  std::optional<Shortcut> currentlyPressedShortcut_;
};

// The view that records now, or null (at most one records at a time).
[[nodiscard]] std::shared_ptr<ShortcutView> global_currentlyRecordingShortcutView();

}  // namespace vantrel
