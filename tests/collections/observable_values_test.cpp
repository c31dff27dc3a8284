#include <functional>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/collections/observable_values.h"
#include "vantrel/core/console.h"
#include "vantrel/core/describe.h"

namespace vantrel {
namespace {

struct Owner {
  int unused = 0;
};

using Calls = std::vector<std::string>;

// The trace line with its line number replaced by N: the number is that of
// the one statement that prints it, not part of the contract under test.
std::string normalizedTrace(const std::string& output) {
  return std::regex_replace(output, std::regex("@[0-9]+: "), "@N: ");
}

const std::string kNotChanged = "🔀MT observable_values@N: ❎❎❎ not changed\n";

struct Outcome {
  Calls calls;
  std::string output;
  std::string value;  // the value held afterwards, described
};

// Registers the sender twice (s1, s2) around another owner (o), sets `next`
// (naming the sender or not) and records who was called with what.
template <class Holder, class V>
Outcome runSet(V initial, V next, bool withSender) {
  auto holder = Holder::create(initial);
  auto sender = std::make_shared<Owner>();
  auto other = std::make_shared<Owner>();
  Outcome outcome;
  const auto record = [&outcome](std::string tag) {
    return [&outcome, tag](const V& v) { outcome.calls.push_back(tag + " " + describe(v)); };
  };
  holder->fountain()->add(sender, record("s1"));
  holder->fountain()->add(other, record("o"));
  holder->fountain()->add(sender, record("s2"));
  ConsoleCapture capture;
  holder->set(next, withSender ? sender : nullptr);
  outcome.output = normalizedTrace(capture.standardOutput());
  outcome.value = describe(holder->value());
  return outcome;
}

TEST(ObservableValues, SetTable) {
  using O = std::optional<int>;
  struct Row {
    std::string holder;
    std::string change;
    std::function<Outcome(bool)> run;
    Calls calls;  // without a sender
    std::string output;
    std::string value;
  };
  const Calls none;
  const auto all = [](const std::string& v) { return Calls{"s1 " + v, "o " + v, "s2 " + v}; };
  const Row rows[] = {
      {"ObservableProperty", "equal", [](bool s) { return runSet<ObservableProperty<int>>(1, 1, s); },
       all("1"), "", "1"},
      {"ObservableProperty", "unequal", [](bool s) { return runSet<ObservableProperty<int>>(1, 2, s); },
       all("2"), "", "2"},
      {"ObservableOptional", "equal", [](bool s) { return runSet<ObservableOptional<int>>(O(1), O(1), s); },
       all("Optional(1)"), "", "Optional(1)"},
      {"ObservableOptional", "unequal", [](bool s) { return runSet<ObservableOptional<int>>(O(1), O(2), s); },
       all("Optional(2)"), "", "Optional(2)"},
      {"ObservableOptional", "absent to absent",
       [](bool s) { return runSet<ObservableOptional<int>>(O(), O(), s); }, all("nil"), "", "nil"},
      {"ObservableOptional", "absent to present",
       [](bool s) { return runSet<ObservableOptional<int>>(O(), O(3), s); }, all("Optional(3)"), "",
       "Optional(3)"},
      {"ObservableEquatable", "equal", [](bool s) { return runSet<ObservableEquatable<int>>(1, 1, s); },
       none, "", "1"},
      {"ObservableEquatable", "unequal", [](bool s) { return runSet<ObservableEquatable<int>>(1, 2, s); },
       all("2"), "", "2"},
      {"ObservableOptionalComparable", "equal",
       [](bool s) { return runSet<ObservableOptionalComparable<int>>(O(1), O(1), s); }, none, kNotChanged,
       "Optional(1)"},
      {"ObservableOptionalComparable", "unequal",
       [](bool s) { return runSet<ObservableOptionalComparable<int>>(O(1), O(), s); }, all("nil"), "", "nil"},
      {"ObservableOptionalComparable", "absent to absent",
       [](bool s) { return runSet<ObservableOptionalComparable<int>>(O(), O(), s); }, none, kNotChanged, "nil"},
      {"ObservableOptionalComparable", "absent to present",
       [](bool s) { return runSet<ObservableOptionalComparable<int>>(O(), O(3), s); }, all("Optional(3)"), "",
       "Optional(3)"},
      {"ObservableOptionalEquatable", "equal",
       [](bool s) { return runSet<ObservableOptionalEquatable<int>>(O(1), O(1), s); }, none, kNotChanged,
       "Optional(1)"},
      {"ObservableOptionalEquatable", "unequal",
       [](bool s) { return runSet<ObservableOptionalEquatable<int>>(O(1), O(2), s); }, all("Optional(2)"), "",
       "Optional(2)"},
      {"ObservableOptionalEquatable", "absent to absent",
       [](bool s) { return runSet<ObservableOptionalEquatable<int>>(O(), O(), s); }, none, kNotChanged, "nil"},
      {"ObservableOptionalEquatable", "absent to present",
       [](bool s) { return runSet<ObservableOptionalEquatable<int>>(O(), O(3), s); }, all("Optional(3)"), "",
       "Optional(3)"},
      {"WithContentUpdateFountain", "equal",
       [](bool s) { return runSet<ObservableOptionalEquatable_WithContentUpdateFountain<int>>(O(1), O(1), s); },
       none, kNotChanged, "Optional(1)"},
      {"WithContentUpdateFountain", "unequal",
       [](bool s) { return runSet<ObservableOptionalEquatable_WithContentUpdateFountain<int>>(O(1), O(2), s); },
       all("Optional(2)"), "", "Optional(2)"},
      {"WithContentUpdateFountain", "absent to absent",
       [](bool s) { return runSet<ObservableOptionalEquatable_WithContentUpdateFountain<int>>(O(), O(), s); },
       none, kNotChanged, "nil"},
      {"WithContentUpdateFountain", "absent to present",
       [](bool s) { return runSet<ObservableOptionalEquatable_WithContentUpdateFountain<int>>(O(), O(3), s); },
       all("Optional(3)"), "", "Optional(3)"},
  };
  for (const Row& row : rows) {
    for (const bool withSender : {false, true}) {
      SCOPED_TRACE(row.holder + ", " + row.change + (withSender ? ", with sender" : ""));
      Calls expected;
      for (const auto& call : row.calls) {
        if (!withSender || call.rfind("o ", 0) == 0) expected.push_back(call);
      }
      const Outcome outcome = row.run(withSender);
      EXPECT_EQ(outcome.calls, expected);
      EXPECT_EQ(outcome.output, row.output);
      EXPECT_EQ(outcome.value, row.value);
    }
  }
}

TEST(ObservableValues, NotChangedTraceNamesItsStatement) {
  auto holder = ObservableOptionalEquatable<int>::create(std::nullopt);
  ConsoleCapture capture;
  holder->set(std::nullopt);
  const std::string out = capture.standardOutput();
  EXPECT_TRUE(std::regex_match(out, std::regex("🔀MT observable_values@[1-9][0-9]*: ❎❎❎ not changed\n")))
      << out;
}

TEST(ObservableValues, HasValue) {
  auto holder = ObservableOptional<int>::create(std::nullopt);
  EXPECT_FALSE(holder->hasValue());
  holder->set(4);
  EXPECT_TRUE(holder->hasValue());
  EXPECT_FALSE(ObservableOptionalComparable<int>::create(std::nullopt)->hasValue());
  EXPECT_TRUE(ObservableOptionalEquatable_WithContentUpdateFountain<int>::create(1)->hasValue());
}

// Equal by `id` only, so an equal value can carry new content.
struct Doc {
  int id;
  std::string body;
  bool operator==(const Doc& other) const { return id == other.id; }
  std::string description() const { return "Doc(" + std::to_string(id) + ", " + body + ")"; }
};

TEST(ObservableValues, UpdateContentTable) {
  using O = std::optional<Doc>;
  struct Row {
    std::string name;
    O current;
    O given;
    std::string output;
    Calls calls;  // the sender's own content listener is never called
    std::string value;
  };
  const Row rows[] = {
      {"absent given", Doc{1, "a"}, std::nullopt,
       "🍏🍏🍏 warning: should not happen. updateContent with nil value\n", {}, "Optional(Doc(1, a))"},
      {"absent given, absent held", std::nullopt, std::nullopt,
       "🍏🍏🍏 warning: should not happen. updateContent with nil value\n", {}, "nil"},
      {"unequal", Doc{1, "a"}, Doc{2, "b"},
       "🍏🍏🍏 warning: should not happen. updateContent from Optional(Doc(1, a)) to Optional(Doc(2, b))\n",
       {}, "Optional(Doc(1, a))"},
      {"nothing held", std::nullopt, Doc{2, "b"},
       "🍏🍏🍏 warning: should not happen. updateContent from nil to Optional(Doc(2, b))\n", {}, "nil"},
      {"equal, new content", Doc{1, "a"}, Doc{1, "b"}, "", {"content Doc(1, b)"}, "Optional(Doc(1, b))"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto holder = ObservableOptionalEquatable_WithContentUpdateFountain<Doc>::create(row.current);
    auto sender = std::make_shared<Owner>();
    auto other = std::make_shared<Owner>();
    Calls calls;
    holder->fountain()->add(other, [&](const O& v) { calls.push_back("value " + describe(v)); });
    holder->fountainContentUpdate()->add(sender, [&](const Doc& d) { calls.push_back("sender " + describe(d)); });
    holder->fountainContentUpdate()->add(other, [&](const Doc& d) { calls.push_back("content " + describe(d)); });
    ConsoleCapture capture;
    holder->updateContent(row.given, sender);
    EXPECT_EQ(capture.standardOutput(), row.output);
    EXPECT_EQ(calls, row.calls);
    EXPECT_EQ(describe(holder->value()), row.value);
  }
}

TEST(ObservableValues, ListenerThatSetsAgainMakesLaterListenersSeeTheNewerValue) {
  auto holder = ObservableOptionalEquatable<int>::create(std::nullopt);
  auto first = std::make_shared<Owner>();
  auto second = std::make_shared<Owner>();
  Calls calls;
  holder->fountain()->add(first, [&](const std::optional<int>& v) {
    calls.push_back("first " + describe(v));
    if (v == 2) holder->set(5);
  });
  holder->fountain()->add(second, [&](const std::optional<int>& v) { calls.push_back("second " + describe(v)); });
  holder->set(2);
  EXPECT_EQ(calls, (Calls{"first Optional(2)", "first Optional(5)", "second Optional(5)", "second Optional(5)"}));
  EXPECT_EQ(holder->value(), 5);
}

TEST(ObservableValues, SenderNamedThroughAnotherBaseIsSkipped) {
  struct Left {
    virtual ~Left() = default;
    int l = 0;
  };
  struct Right {
    int r = 0;
  };
  struct Both : Left, Right {};
  auto both = std::make_shared<Both>();
  const std::shared_ptr<Right> asRight = both;
  auto holder = ObservableProperty<int>::create(0);
  Calls calls;
  holder->fountain()->add(asRight, [&](const int& v) { calls.push_back("right " + describe(v)); });
  holder->set(1, std::shared_ptr<Left>(both));
  EXPECT_TRUE(calls.empty());
  holder->set(2);
  EXPECT_EQ(calls, (Calls{"right 2"}));
}

TEST(ObservableValues, ReleasedOwnerIsNotCalled) {
  auto holder = ObservableEquatable<std::string>::create("a");
  auto owner = std::make_shared<Owner>();
  Calls calls;
  holder->fountain()->add(owner, [&](const std::string& v) { calls.push_back(v); });
  owner.reset();
  holder->set("b");
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(holder->value(), "b");
}

// Under AddressSanitizer: a block that replaces itself runs to its end on
// its own copy; the new block answers the next announcement.
TEST(ObservableValues, BlockThatReplacesItself) {
  auto holder = ObservableProperty<std::string>::create("");
  auto owner = std::make_shared<Owner>();
  Calls calls;
  const std::string capturedText(64, 'x');  // heap-held, so a freed closure shows
  holder->fountain()->add(owner, [&, capturedText](const std::string& v) {
    (*holder->fountain()->begin())->block = [&](const std::string& w) { calls.push_back("new " + w); };
    calls.push_back("old " + v + " " + std::to_string(capturedText.size()));
  });
  holder->set("1");
  holder->set("2");
  EXPECT_EQ(calls, (Calls{"old 1 64", "new 2"}));
}

// Under AddressSanitizer: a block that drops the last holder of the holder;
// the announcement still reaches the later listeners with the value.
TEST(ObservableValues, BlockThatReleasesTheHolder) {
  auto holder = ObservableOptionalEquatable_WithContentUpdateFountain<std::string>::create(std::nullopt);
  std::weak_ptr<ObservableOptionalEquatable_WithContentUpdateFountain<std::string>> weak = holder;
  auto owner = std::make_shared<Owner>();
  Calls calls;
  holder->fountain()->add(owner, [&](const std::optional<std::string>&) { holder.reset(); });
  holder->fountain()->add(owner, [&](const std::optional<std::string>& v) { calls.push_back(describe(v)); });
  holder->set(std::string(40, 'v'));
  EXPECT_EQ(calls, (Calls{"Optional(\"" + std::string(40, 'v') + "\")"}));
  EXPECT_TRUE(weak.expired());

  auto content = ObservableOptionalEquatable_WithContentUpdateFountain<std::string>::create("c");
  content->fountainContentUpdate()->add(owner, [&](const std::string&) { content.reset(); });
  content->fountainContentUpdate()->add(owner, [&](const std::string& v) { calls.push_back(v); });
  content->updateContent(std::string("c"));
  EXPECT_EQ(calls.back(), "c");
  EXPECT_EQ(content, nullptr);
}

}  // namespace
}  // namespace vantrel
