#include "vantrel/platform/kit/alert.h"

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/kit/alert_test_support.h"
#include "vantrel/platform/kit/application.h"
#include "vantrel/platform/kit/window.h"

namespace vantrel {
namespace {

using testing::buttonTitles;

TEST(Alert, ButtonsAnswerInTheOrderAdded) {
  const Alert::Ptr alert = Alert::create();
  alert->addButtonWithTitle("Save");
  alert->addButtonWithTitle("Cancel");
  alert->addButtonWithTitle("Don't Save");
  EXPECT_EQ(alert->responseForButtonTitled("Save"), kAlertFirstButtonReturn);
  EXPECT_EQ(alert->responseForButtonTitled("Cancel"), kAlertSecondButtonReturn);
  EXPECT_EQ(alert->responseForButtonTitled("Don't Save"), kAlertThirdButtonReturn);
  EXPECT_EQ(alert->responseForButtonTitled("OK"), std::nullopt);
}

TEST(Alert, WithoutAModalHookNobodyAnswers) {
  const Alert::Ptr alert = Alert::create();
  EXPECT_EQ(alert->runModal(), kModalResponseAbort);
  EXPECT_EQ(buttonTitles(*alert), std::vector<std::string>{"OK"});  // shown without buttons: "OK" added
}

TEST(Alert, TheModalHookPlaysTheUser) {
  const Alert::Ptr alert = Alert::create();
  alert->setMessageText("Quit?");
  alert->setAlertStyle(AlertStyle::critical);
  alert->addButtonWithTitle("Quit");
  alert->addButtonWithTitle("Stay");
  std::vector<std::string> shown;
  {
    ScopedModalHook user([&shown](Alert& asked) {
      shown.push_back(asked.messageText() + " " + std::string(description(asked.alertStyle())));
      return *asked.responseForButtonTitled("Stay");
    });
    EXPECT_EQ(alert->runModal(), kAlertSecondButtonReturn);
  }
  EXPECT_EQ(shown, std::vector<std::string>{"Quit? critical"});
  EXPECT_EQ(buttonTitles(*alert), (std::vector<std::string>{"Quit", "Stay"}));
  EXPECT_EQ(alert->runModal(), kModalResponseAbort);  // the hook before is back
}

TEST(Alert, SheetStaysOnTheWindowUntilEnded) {
  const Window::Ptr window = Window::create(Rect(0, 0, 400, 300));
  const Alert::Ptr alert = Alert::create();
  std::vector<ModalResponse> answers;
  alert->beginSheetModal(*window, [&answers](ModalResponse r) { answers.push_back(r); });
  EXPECT_TRUE(answers.empty());
  EXPECT_EQ(window->attachedSheet(), alert);
  EXPECT_EQ(buttonTitles(*alert), std::vector<std::string>{"OK"});

  EXPECT_TRUE(window->endSheet(kAlertFirstButtonReturn));
  EXPECT_EQ(answers, std::vector<ModalResponse>{kAlertFirstButtonReturn});
  EXPECT_EQ(window->attachedSheet(), nullptr);
  EXPECT_FALSE(window->endSheet(kAlertFirstButtonReturn));
  EXPECT_EQ(answers.size(), 1U);
}

TEST(Alert, WindowHoldsTheSheetAndALaterSheetWaits) {
  const Window::Ptr window = Window::create(Rect(0, 0, 400, 300));
  std::weak_ptr<Alert> first;
  std::vector<std::string> ended;
  {
    const Alert::Ptr a = Alert::create();
    a->setMessageText("first");
    first = a;
    a->beginSheetModal(*window, [&ended](ModalResponse) { ended.push_back("first"); });
    const Alert::Ptr b = Alert::create();
    b->setMessageText("second");
    b->beginSheetModal(*window);  // no handler
  }
  ASSERT_NE(first.lock(), nullptr);  // held by the window
  EXPECT_EQ(window->attachedSheet()->messageText(), "first");
  EXPECT_TRUE(window->endSheet(kAlertSecondButtonReturn));
  EXPECT_EQ(first.lock(), nullptr);
  EXPECT_EQ(window->attachedSheet()->messageText(), "second");
  EXPECT_TRUE(window->endSheet(kAlertFirstButtonReturn));
  EXPECT_EQ(ended, std::vector<std::string>{"first"});
}

// A handler may begin the next sheet, or let go of the window (AddressSanitizer
// watches the second).
TEST(Alert, HandlerMayBeginAnotherSheetOrDropTheWindow) {
  Window::Ptr window = Window::create(Rect(0, 0, 400, 300));
  const Alert::Ptr next = Alert::create();
  const Alert::Ptr alert = Alert::create();
  alert->beginSheetModal(*window, [&](ModalResponse) { next->beginSheetModal(*window); });
  ASSERT_TRUE(window->endSheet(kAlertFirstButtonReturn));
  EXPECT_EQ(window->attachedSheet(), next);

  std::weak_ptr<Window> watched = window;
  const Alert::Ptr last = Alert::create();
  last->beginSheetModal(*window, [&window](ModalResponse) { window.reset(); });
  Window& raw = *window;
  EXPECT_TRUE(raw.endSheet(kAlertFirstButtonReturn));  // ends `next`: nothing dropped yet
  EXPECT_TRUE(raw.endSheet(kAlertFirstButtonReturn));  // the handler drops the last reference
  EXPECT_EQ(watched.lock(), nullptr);
}

TEST(Alert, BeepsAreCounted) {
  const std::int64_t before = Application::shared()->beepCount();
  Application::shared()->beep();
  Application::shared()->beep();
  EXPECT_EQ(Application::shared()->beepCount(), before + 2);
}

}  // namespace
}  // namespace vantrel
