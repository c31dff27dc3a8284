#include "vantrel/platform/kit/event.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/platform/foundation/notifications/notification_center.h"
#include "vantrel/platform/kit/application.h"
#include "vantrel/platform/kit/button_cell.h"
#include "vantrel/platform/kit/tracking_area.h"
#include "vantrel/platform/kit/view.h"
#include "vantrel/platform/kit/window.h"

namespace vantrel {
namespace {

// Removes the monitors a test installed, also when it fails half-way.
class MonitorScope {
 public:
  ~MonitorScope() {
    for (const auto& m : monitors_) Application::shared()->removeMonitor(m);
  }
  std::shared_ptr<EventMonitor> add(EventMask mask, Application::LocalEventMonitorHandler handler) {
    auto m = Application::shared()->addLocalMonitorForEvents(mask, std::move(handler));
    monitors_.push_back(m);
    return m;
  }

 private:
  std::vector<std::shared_ptr<EventMonitor>> monitors_;
};

Event::Ptr keyDown(std::uint16_t code, std::string characters = "a") {
  return Event::keyEvent(EventType::keyDown, nullptr, code, std::move(characters));
}

TEST(EventMask, TextFormNamesTheTypesInBitOrder) {
  struct Case {
    EventMask mask;
    const char* text;
  };
  const Case cases[] = {
      {EventMask(), "[]"},
      {EventMask::flagsChanged | EventMask::keyDown, "[keyDown, flagsChanged]"},
      {EventMask::leftMouseDown, "[leftMouseDown]"},
      {EventMask::keyUp | EventMask(std::uint64_t{1} << 42), "[keyUp, 0x40000000000]"},
      {EventMask(1u), "[0x1]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.mask.description(), c.text);
  }
  EXPECT_EQ(EventMask::forType(EventType::flagsChanged), EventMask::flagsChanged);
  EXPECT_EQ(EventMask::forType(static_cast<EventType>(64)), EventMask());
}

TEST(EventMonitors, EachIsFedThePreviousAnswerUntilOneSwallows) {
  MonitorScope scope;
  std::vector<std::string> seen;
  const Event::Ptr replacement = keyDown(1, "s");
  scope.add(EventMask::keyDown, [&](const Event::Ptr& e) {
    seen.push_back("first " + e->characters());
    return replacement;
  });
  scope.add(EventMask::flagsChanged, [&](const Event::Ptr& e) {
    seen.push_back("not asked " + e->characters());
    return e;
  });
  scope.add(EventMask::keyDown, [&](const Event::Ptr& e) {
    seen.push_back("second " + e->characters());
    return e->characters() == "s" ? nullptr : e;
  });
  scope.add(EventMask::keyDown, [&](const Event::Ptr& e) {
    seen.push_back("third " + e->characters());
    return e;
  });
  EXPECT_EQ(Application::shared()->sendEvent(keyDown(0, "a")), nullptr);
  EXPECT_EQ(seen, (std::vector<std::string>{"first a", "second s"}));
}

TEST(EventMonitors, AnEventNobodySwallowsGoesOn) {
  MonitorScope scope;
  scope.add(EventMask::keyDown, [](const Event::Ptr& e) { return e; });
  const Event::Ptr typed = keyDown(0);
  EXPECT_EQ(Application::shared()->sendEvent(typed), typed);
  EXPECT_EQ(Application::shared()->sendEvent(nullptr), nullptr);
}

TEST(EventMonitors, RemovalDuringTheirOwnCallAndAdditionsMidway) {
  MonitorScope scope;
  std::vector<std::string> seen;
  std::shared_ptr<EventMonitor> self;
  std::shared_ptr<EventMonitor> later;
  // Holds a value the handler reads after removing itself: under ASan a
  // handler destroyed by its own removal would be a use after free.
  auto tag = std::make_shared<std::string>("self-removing");
  self = scope.add(EventMask::keyDown, [&, tag](const Event::Ptr& e) {
    Application::shared()->removeMonitor(self);
    Application::shared()->removeMonitor(later);
    scope.add(EventMask::keyDown, [&](const Event::Ptr& ev) {
      seen.push_back("added midway");
      return ev;
    });
    self.reset();
    seen.push_back(*tag);
    return e;
  });
  later = scope.add(EventMask::keyDown, [&](const Event::Ptr& e) {
    seen.push_back("removed before its turn");
    return e;
  });
  EXPECT_NE(Application::shared()->sendEvent(keyDown(0)), nullptr);
  EXPECT_EQ(seen, (std::vector<std::string>{"self-removing"}));
  seen.clear();
  Application::shared()->sendEvent(keyDown(0));
  EXPECT_EQ(seen, (std::vector<std::string>{"added midway"}));
}

TEST(EventMonitors, RefusalIsInjectable) {
  Application& app = *Application::shared();
  const std::size_t before = app.localMonitorCount();
  app.setRefusesLocalMonitors(true);
  EXPECT_EQ(app.addLocalMonitorForEvents(EventMask::keyDown, [](const Event::Ptr& e) { return e; }), nullptr);
  app.setRefusesLocalMonitors(false);
  EXPECT_EQ(app.localMonitorCount(), before);
}

// Logs the mouse events it gets.
class MouseView : public View {
 public:
  static std::shared_ptr<MouseView> create(Rect frame, std::vector<std::string>* log, std::string name) {
    auto view = std::shared_ptr<MouseView>(new MouseView(frame));
    view->log_ = log;
    view->name_ = std::move(name);
    return view;
  }
  void mouseDown(const Event& e) override {
    log_->push_back(name_ + " down " + convertPointFromView(e.locationInWindow(), nullptr).description());
    if (passOn) View::mouseDown(e);
  }
  void mouseEntered(const Event&) override { log_->push_back(name_ + " entered"); }
  void mouseExited(const Event&) override { log_->push_back(name_ + " exited"); }
  bool passOn = false;

 private:
  explicit MouseView(Rect frame) : View(frame) {}
  std::vector<std::string>* log_ = nullptr;
  std::string name_;
};

TEST(WindowEvents, AClickGoesToTheUppermostViewUnderIt) {
  std::vector<std::string> log;
  const auto window = Window::create(Rect(0, 0, 300, 200));
  const auto panel = MouseView::create(Rect(10, 10, 200, 100), &log, "panel");
  const auto button = MouseView::create(Rect(20, 20, 50, 30), &log, "button");
  const auto hidden = MouseView::create(Rect(20, 20, 50, 30), &log, "hidden");
  hidden->setHidden(true);
  window->contentView()->addSubview(panel);
  panel->addSubview(button);
  panel->addSubview(hidden);
  const auto click = [&](double x, double y) {
    Application::shared()->sendEvent(Event::mouseEvent(EventType::leftMouseDown, window, Point(x, y)));
  };
  click(35, 35);    // inside the button (base 30...80 x 30...60)
  click(100, 100);  // on the panel only
  click(250, 150);  // on the content view: nobody logs
  button->passOn = true;
  click(30, 30);  // the button's lower-left corner belongs to it; passed up to the panel
  EXPECT_EQ(log, (std::vector<std::string>{"button down (5.0, 5.0)", "panel down (90.0, 90.0)",
                                           "button down (0.0, 0.0)", "panel down (20.0, 20.0)"}));
}

TEST(WindowEvents, TrackingAreasHearThePointerCrossTheirEdge) {
  std::vector<std::string> log;
  const auto window = Window::create(Rect(0, 0, 300, 200));
  const auto view = MouseView::create(Rect(100, 100, 100, 50), &log, "view");
  window->contentView()->addSubview(view);
  const auto plain = TrackingArea::create(Rect(0, 0, 50, 50), TrackingAreaOptions::mouseEnteredAndExited, view);
  view->addTrackingArea(plain);
  const auto move = [&](double x, double y) {
    Application::shared()->sendEvent(Event::mouseEvent(EventType::mouseMoved, window, Point(x, y)));
  };
  move(10, 10);    // outside: an area starts outside, so nothing
  move(120, 120);  // inside
  move(130, 130);  // still inside
  move(160, 120);  // outside again
  const auto assumed = TrackingArea::create(
      Rect(50, 0, 50, 50), TrackingAreaOptions::mouseEnteredAndExited | TrackingAreaOptions::assumeInside, view);
  view->addTrackingArea(assumed);
  move(10, 10);  // leaves the assumed-inside area at once
  view->removeTrackingArea(plain);
  move(120, 120);
  EXPECT_EQ(log, (std::vector<std::string>{"view entered", "view exited", "view exited"}));
  EXPECT_EQ(view->trackingAreas().size(), 1u);
}

TEST(WindowEvents, ResigningKeyIsAnnounced) {
  auto observer = std::make_shared<int>(0);
  std::vector<std::string> resigned;
  NotificationCenter::defaultCenter().addObserver(observer, std::string(NSWindowDidResignKeyNotification),
                                                  [&](const Notification& n) {
                                                    resigned.push_back(static_cast<const Window*>(n.object.get())->title());
                                                  });
  const auto a = Window::create(Rect(0, 0, 10, 10));
  a->setTitle("a");
  const auto b = Window::create(Rect(0, 0, 10, 10));
  b->setTitle("b");
  a->makeKeyAndOrderFront();
  a->makeKeyWindow();  // already key: nothing
  b->makeKeyAndOrderFront();
  b->orderOut();
  b->orderOut();  // no longer key: nothing
  a->makeKeyWindow();
  a->close();
  EXPECT_EQ(resigned, (std::vector<std::string>{"a", "b", "a"}));
  NotificationCenter::defaultCenter().removeObserver(observer);
}

TEST(ButtonCell, EachDrawingIsLogged) {
  const auto cell = ButtonCell::create();
  EXPECT_EQ(cell->font(), Font::systemFont(13));
  const auto view = View::create();
  cell->drawWithFrame(Rect(0, 1, 150, 25), *view);
  cell->setTitle("Go");
  cell->setAlignment(TextAlignment::center);
  cell->setState(ControlStateValue::on);
  cell->setEnabled(false);
  cell->setBezelStyle(BezelStyle::texturedRounded);
  cell->setBordered(false);
  cell->setBackgroundColor(Color::greenColor());
  cell->drawWithFrame(Rect(2, 3, 4, 5), *view);
  ASSERT_EQ(cell->drawings().size(), 2u);
  EXPECT_EQ(cell->drawings()[0].description(),
            "(0.0, 1.0, 150.0, 25.0) \"\" left off enabled bezel=rounded bordered background=nil");
  EXPECT_EQ(cell->drawings()[1].description(),
            "(2.0, 3.0, 4.0, 5.0) \"Go\" center on disabled bezel=texturedRounded borderless "
            "background=Color(calibratedRGB: 0.0, 1.0, 0.0, 1.0)");
  cell->clearDrawings();
  EXPECT_TRUE(cell->drawings().empty());
  EXPECT_EQ(FontManager::convert(Font::systemFont(13), 11), Font::systemFont(11));
}

TEST(RectDivision, SlicesFromEachEdge) {
  struct Case {
    RectEdge edge;
    double amount;
    Rect slice;
    Rect remainder;
  };
  const Rect r(10, 20, 100, 40);
  const Case cases[] = {
      {RectEdge::maxX, 25, Rect(85, 20, 25, 40), Rect(10, 20, 75, 40)},
      {RectEdge::minX, 25, Rect(10, 20, 25, 40), Rect(35, 20, 75, 40)},
      {RectEdge::minY, 10, Rect(10, 20, 100, 10), Rect(10, 30, 100, 30)},
      {RectEdge::maxY, 10, Rect(10, 50, 100, 10), Rect(10, 20, 100, 30)},
      {RectEdge::maxX, 500, Rect(10, 20, 100, 40), Rect(10, 20, 0, 40)},
      {RectEdge::maxX, -5, Rect(110, 20, 0, 40), Rect(10, 20, 100, 40)},
  };
  for (const Case& c : cases) {
    const RectDivision d = divided(r, c.amount, c.edge);
    EXPECT_EQ(d.slice, c.slice) << d.slice.description();
    EXPECT_EQ(d.remainder, c.remainder) << d.remainder.description();
  }
  EXPECT_TRUE(r.contains(Point(10, 20)));
  EXPECT_FALSE(r.contains(Point(110, 30)));
}

}  // namespace
}  // namespace vantrel
