#include "vantrel/appkit/alert_helpers.h"

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

TEST(AlertHelpers, Initialisers) {
  const Alert::Ptr plain = alertWithTitle("Title");
  EXPECT_EQ(plain->messageText(), "Title");
  EXPECT_EQ(plain->alertStyle(), AlertStyle::warning);
  EXPECT_EQ(plain->informativeText(), "");
  EXPECT_TRUE(plain->buttons().empty());

  const Alert::Ptr full = alertWithTitle("T", AlertStyle::critical, "info", {"One", "Two", "Three"});
  EXPECT_EQ(full->alertStyle(), AlertStyle::critical);
  EXPECT_EQ(full->informativeText(), "info");
  EXPECT_EQ(buttonTitles(*full), (std::vector<std::string>{"One", "Two", "Three"}));

  const Alert::Ptr informative = alertWithTitle("T", std::string("more"));
  EXPECT_EQ(informative->informativeText(), "more");
  EXPECT_EQ(informative->alertStyle(), AlertStyle::warning);
  EXPECT_TRUE(informative->buttons().empty());

  const Alert::Ptr error = alertWithErrorText("Disk full");
  EXPECT_EQ(error->messageText(), "Error");
  EXPECT_EQ(error->informativeText(), "Disk full");
  EXPECT_EQ(error->alertStyle(), AlertStyle::warning);
  EXPECT_TRUE(error->buttons().empty());
}

TEST(AlertHelpers, ButtonsAnswerInOrder) {
  const Alert::Ptr alert = alertWithTitle("T", std::nullopt, std::nullopt, {"One", "Two", "Three"});
  std::vector<ModalResponse> answers;
  for (const char* chosen : {"One", "Two", "Three"}) {
    ScopedModalHook user([chosen](Alert& shown) { return *shown.responseForButtonTitled(chosen); });
    answers.push_back(alert->runModal());
  }
  EXPECT_EQ(answers, (std::vector<ModalResponse>{1000, 1001, 1002}));
}

TEST(AlertHelpers, FirstButtonSheetCallsOnlyOnTheFirstButton) {
  for (const ModalResponse response : {kAlertFirstButtonReturn, kAlertSecondButtonReturn}) {
    SCOPED_TRACE(response);
    const Window::Ptr window = Window::create(Rect(0, 0, 400, 300));
    const Alert::Ptr alert = alertWithTitle("T", std::nullopt, std::nullopt, {"Go", "Stop"});
    int calls = 0;
    beginSheetModalForWindowOnFirstButton(*alert, *window, [&calls] { ++calls; });
    EXPECT_EQ(calls, 0);  // not before the sheet ends
    window->endSheet(response);
    EXPECT_EQ(calls, response == kAlertFirstButtonReturn ? 1 : 0);
    window->endSheet(kAlertFirstButtonReturn);  // nothing left to end
    EXPECT_EQ(calls, response == kAlertFirstButtonReturn ? 1 : 0);
  }
}

TEST(AlertHelpers, MessageSheetOnTheMainWindowNotTheKeyWindow) {
  const Window::Ptr main = Window::create(Rect(0, 0, 400, 300));
  const Window::Ptr key = Window::create(Rect(0, 0, 400, 300));
  main->makeMainWindow();
  key->makeKeyWindow();
  NSAlert::showAsSheet("Done.");
  EXPECT_EQ(key->attachedSheet(), nullptr);
  const Alert::Ptr sheet = main->attachedSheet();
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(sheet->messageText(), "Done.");
  EXPECT_EQ(buttonTitles(*sheet), std::vector<std::string>{"OK"});
  EXPECT_TRUE(main->endSheet(kAlertFirstButtonReturn));
}

struct Calls {
  int cancel = 0;
  int ok = 0;
  friend bool operator==(const Calls&, const Calls&) = default;
};

void PrintTo(const Calls& c, std::ostream* os) { *os << "cancel " << c.cancel << ", ok " << c.ok; }

TEST(AlertHelpers, OkCancelSheetCallsTheChosenClosureOnceAfterReturning) {
  struct Case {
    ModalResponse response;
    bool withCancel;
    bool withOK;
    Calls calls;
  };
  const std::vector<Case> cases = {
      {kAlertFirstButtonReturn, true, true, {0, 1}},
      {kAlertSecondButtonReturn, true, true, {1, 0}},
      {kModalResponseAbort, true, true, {1, 0}},
      {kAlertThirdButtonReturn, true, true, {1, 0}},
      {kAlertFirstButtonReturn, true, false, {0, 0}},
      {kAlertSecondButtonReturn, false, true, {0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.response << " cancel " << c.withCancel << " ok " << c.withOK);
    const Window::Ptr window = Window::create(Rect(0, 0, 400, 300));
    window->makeMainWindow();
    Calls calls;
    std::function<void()> onCancel;
    std::function<void()> onOK;
    if (c.withCancel) onCancel = [&calls] { ++calls.cancel; };
    if (c.withOK) onOK = [&calls] { ++calls.ok; };
    NSAlert::showAsSheet("Discard?", onCancel, onOK);
    EXPECT_EQ(calls, Calls{});
    const Alert::Ptr sheet = window->attachedSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->messageText(), "Discard?");
    EXPECT_EQ(buttonTitles(*sheet), (std::vector<std::string>{"OK", "Cancel"}));
    EXPECT_EQ(sheet->responseForButtonTitled("Cancel"), kAlertSecondButtonReturn);
    window->endSheet(c.response);
    EXPECT_EQ(calls, c.calls);
  }
}

// Without a main window there is nothing to hold a sheet: the alert runs
// modally through the application's modal hook instead of stopping.
TEST(AlertHelpers, NoMainWindowRunsModallyThroughTheHook) {
  ASSERT_EQ(Application::shared()->mainWindow(), nullptr);
  std::vector<std::string> shown;
  Calls calls;
  {
    ScopedModalHook user([&shown](Alert& alert) {
      shown.push_back(alert.messageText());
      return *alert.responseForButtonTitled("OK");
    });
    NSAlert::showAsSheet("Discard?", [&calls] { ++calls.cancel; }, [&calls] { ++calls.ok; });
    EXPECT_EQ(calls, (Calls{0, 1}));
    NSAlert::showAsSheet("Note");
  }
  EXPECT_EQ(shown, (std::vector<std::string>{"Discard?", "Note"}));

  // Nobody to answer: abort, which is not OK.
  NSAlert::showAsSheet("Discard?", [&calls] { ++calls.cancel; }, [&calls] { ++calls.ok; });
  EXPECT_EQ(calls, (Calls{1, 1}));
  NSAlert::showAsSheet("Note");
}

}  // namespace
}  // namespace vantrel
