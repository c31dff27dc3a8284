#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <fmt/format.h>
#include <gtest/gtest.h>

#include "vantrel/platform/kit/attributed_string.h"
#include "vantrel/platform/kit/button.h"
#include "vantrel/platform/kit/control.h"
#include "vantrel/platform/kit/text_field.h"

namespace vantrel {
namespace {

// A target that records the senders it was called with.
class Recorder {
 public:
  void clicked(const Control::Ptr& sender) { senders.push_back(sender.get()); }
  void other(const Control::Ptr& sender) { others.push_back(sender.get()); }
  std::vector<const Control*> senders;
  std::vector<const Control*> others;
};

TEST(Button, Defaults) {
  auto button = Button::create(Rect(1, 2, 80, 20));
  EXPECT_EQ(button->frame(), Rect(1, 2, 80, 20));
  EXPECT_EQ(button->buttonType(), ButtonType::momentaryPushIn);
  EXPECT_EQ(button->state(), ControlStateValue::off);
  EXPECT_TRUE(button->isEnabled());
  EXPECT_EQ(button->title(), "");
  EXPECT_EQ(button->target(), nullptr);
  EXPECT_FALSE(button->hasAction());
  EXPECT_EQ(button->className(), "Button");
}

TEST(Button, RawValuesOfTypesAndStates) {
  EXPECT_EQ(static_cast<std::int64_t>(ButtonType::switch_), 3);
  EXPECT_EQ(description(ButtonType::switch_), "switch");
  EXPECT_EQ(static_cast<std::int64_t>(ControlStateValue::mixed), -1);
  EXPECT_EQ(static_cast<std::int64_t>(ControlStateValue::on), 1);
}

TEST(Button, ClickChangesTheStateAsTheTypeSays) {
  struct Case {
    ButtonType type;
    ControlStateValue before;
    ControlStateValue after;
  };
  const Case cases[] = {
      {ButtonType::switch_, ControlStateValue::off, ControlStateValue::on},
      {ButtonType::switch_, ControlStateValue::on, ControlStateValue::off},
      {ButtonType::switch_, ControlStateValue::mixed, ControlStateValue::on},
      {ButtonType::pushOnPushOff, ControlStateValue::on, ControlStateValue::off},
      {ButtonType::toggle, ControlStateValue::off, ControlStateValue::on},
      {ButtonType::onOff, ControlStateValue::on, ControlStateValue::off},
      {ButtonType::radio, ControlStateValue::off, ControlStateValue::on},
      {ButtonType::radio, ControlStateValue::on, ControlStateValue::on},
      {ButtonType::momentaryPushIn, ControlStateValue::off, ControlStateValue::off},
      {ButtonType::momentaryLight, ControlStateValue::on, ControlStateValue::on},
      {ButtonType::momentaryChange, ControlStateValue::off, ControlStateValue::off},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(fmt::format("{} from {}", description(c.type), description(c.before)));
    auto button = Button::create();
    auto recorder = std::make_shared<Recorder>();
    button->setButtonType(c.type);
    button->setState(c.before);
    button->setTarget(recorder, &Recorder::clicked);
    button->performClick();
    EXPECT_EQ(button->state(), c.after);
    EXPECT_EQ(recorder->senders, std::vector<const Control*>{button.get()});
  }
}

TEST(Button, DisabledButtonIgnoresClicks) {
  auto button = Button::create();
  auto recorder = std::make_shared<Recorder>();
  button->setButtonType(ButtonType::switch_);
  button->setTarget(recorder, &Recorder::clicked);
  button->setEnabled(false);
  button->performClick();
  EXPECT_EQ(button->state(), ControlStateValue::off);
  EXPECT_TRUE(recorder->senders.empty());
}

TEST(Button, TargetIsHeldWeakly) {
  auto button = Button::create();
  button->setButtonType(ButtonType::switch_);
  auto recorder = std::make_shared<Recorder>();
  std::weak_ptr<Recorder> watch = recorder;
  button->setTarget(recorder, &Recorder::clicked);
  EXPECT_EQ(button->target(), recorder);
  recorder.reset();
  EXPECT_TRUE(watch.expired());
  EXPECT_EQ(button->target(), nullptr);
  button->performClick();  // nobody to tell; the box still toggles
  EXPECT_EQ(button->state(), ControlStateValue::on);
  EXPECT_FALSE(button->sendAction());
}

// An action the target's class inherits from its base.
class DerivedRecorder : public Recorder {};

TEST(Button, InheritedActionsAreCalledOnTheTarget) {
  auto button = Button::create();
  auto recorder = std::make_shared<DerivedRecorder>();
  button->setTarget(recorder, &Recorder::clicked);
  button->performClick();
  EXPECT_EQ(recorder->senders, std::vector<const Control*>{button.get()});
}

TEST(Button, NullTargetClearsTheAction) {
  auto button = Button::create();
  auto recorder = std::make_shared<Recorder>();
  button->setTarget(recorder, &Recorder::clicked);
  button->setTarget(std::shared_ptr<Recorder>(), &Recorder::clicked);
  EXPECT_FALSE(button->hasAction());
  EXPECT_FALSE(button->sendAction());
  EXPECT_TRUE(recorder->senders.empty());
}

// The target's last owner lets go while its action runs; the action still
// uses the target afterwards (AddressSanitizer catches a freed target).
class SelfReleasingTarget {
 public:
  void clicked(const Control::Ptr& /*sender*/) {
    owner->reset();
    ++clicks;  // a member of the target, after its owner let go
    *report = {clicks, !self.expired()};
  }
  struct Report {
    int clicks = 0;
    bool aliveAfterRelease = false;
  };
  std::shared_ptr<SelfReleasingTarget>* owner = nullptr;
  std::weak_ptr<SelfReleasingTarget> self;
  Report* report = nullptr;
  int clicks = 0;
};

TEST(Button, TargetStaysAliveUntilTheActionReturns) {
  auto button = Button::create();
  SelfReleasingTarget::Report report;
  auto target = std::make_shared<SelfReleasingTarget>();
  target->owner = &target;
  target->self = target;
  target->report = &report;
  const std::weak_ptr<SelfReleasingTarget> watch = target;
  button->setTarget(target, &SelfReleasingTarget::clicked);
  button->performClick();
  EXPECT_EQ(report.clicks, 1);
  EXPECT_TRUE(report.aliveAfterRelease);
  EXPECT_EQ(target, nullptr);
  EXPECT_TRUE(watch.expired());  // freed once the action returned
  EXPECT_EQ(button->target(), nullptr);
}

// An action that puts a new target and action on its own sender: the running
// function object must not be destroyed under it.
class Rewirer {
 public:
  void clicked(const Control::Ptr& sender) {
    auto button = std::static_pointer_cast<Button>(sender);
    button->setTarget(next, &Recorder::other);
    ++rewired;
  }
  std::shared_ptr<Recorder> next;
  int rewired = 0;
};

TEST(Button, ActionMayReplaceItself) {
  auto button = Button::create();
  auto rewirer = std::make_shared<Rewirer>();
  rewirer->next = std::make_shared<Recorder>();
  button->setTarget(rewirer, &Rewirer::clicked);
  button->performClick();
  button->performClick();
  EXPECT_EQ(rewirer->rewired, 1);
  EXPECT_EQ(rewirer->next->others, std::vector<const Control*>{button.get()});
}

TEST(Button, TitleAndAttributedTitle) {
  auto button = Button::create();
  const AttributedString bold("Pears", {{"font", "bold 13"}});
  button->setAttributedTitle(bold);
  EXPECT_EQ(button->attributedTitle(), bold);
  EXPECT_EQ(button->title(), "Pears");
  button->setTitle("Apples");  // plain text drops the attributes
  EXPECT_EQ(button->attributedTitle(), AttributedString("Apples"));
  EXPECT_TRUE(button->attributedTitle().attributes().empty());
}

TEST(Button, Description) {
  auto button = Button::create(Rect(0, 0, 60, 18));
  button->setButtonType(ButtonType::switch_);
  button->setState(ControlStateValue::on);
  button->setTitle("Apples");
  button->setEnabled(false);
  EXPECT_EQ(button->description(),
            fmt::format("<Button: 0x{:016x}; frame = (0.0, 0.0, 60.0, 18.0); type = switch; state = on; "
                        "title = \"Apples\"; enabled = false>",
                        reinterpret_cast<std::uintptr_t>(button.get())));
}

TEST(AttributedString, EqualityCoversTextAndAttributes) {
  EXPECT_EQ(AttributedString("a"), AttributedString("a", {}));
  EXPECT_NE(AttributedString("a"), AttributedString("b"));
  EXPECT_NE(AttributedString("a", {{"font", "bold"}}), AttributedString("a", {{"font", "plain"}}));
  EXPECT_TRUE(AttributedString().empty());
}

TEST(TextField, DefaultsAndValues) {
  auto field = TextField::create(Rect(0, 0, 200, 22));
  EXPECT_EQ(field->stringValue(), "");
  EXPECT_EQ(field->placeholderString(), "");
  EXPECT_TRUE(field->isEditable());
  EXPECT_TRUE(field->isSelectable());
  EXPECT_TRUE(field->isBezeled());
  EXPECT_FALSE(field->isBordered());
  EXPECT_TRUE(field->drawsBackground());
  EXPECT_TRUE(field->isEnabled());
  field->setStringValue("Ada");
  field->setPlaceholderString("Name");
  field->setEditable(false);
  EXPECT_EQ(field->stringValue(), "Ada");
  EXPECT_EQ(field->placeholderString(), "Name");
  EXPECT_FALSE(field->isEditable());
}

TEST(TextField, SendsItsActionToItsTarget) {
  auto field = TextField::create();
  auto recorder = std::make_shared<Recorder>();
  field->setTarget(recorder, &Recorder::clicked);
  EXPECT_TRUE(field->sendAction());
  EXPECT_EQ(recorder->senders, std::vector<const Control*>{field.get()});
}

}  // namespace
}  // namespace vantrel
