// Functions that answer views into their text refuse a temporary text at
// compile time (`auto cs = characters(makeText());` would dangle), and take
// everything that outlives the call.
#include <string>
#include <string_view>
#include <utility>

#include <gtest/gtest.h>

#include "vantrel/text/characters.h"
#include "vantrel/text/splitting.h"

namespace vantrel {
namespace {

template <class T>
concept CharactersAccepts = requires(T&& text) { characters(std::forward<T>(text)); };
template <class T>
concept SplitDividedAtAccepts = requires(T&& text) { splitDividedAt(std::forward<T>(text), "="); };
template <class T>
concept SplitSeparatorSetAccepts = requires(T&& text, const CharacterSet& set) {
  splitSeparatorSet(std::forward<T>(text), set);
  splitSeparatorSet(std::forward<T>(text), set, false);
};

template <class T>
constexpr bool acceptedByAll = CharactersAccepts<T> && SplitDividedAtAccepts<T> && SplitSeparatorSetAccepts<T>;
template <class T>
constexpr bool refusedByAll = !CharactersAccepts<T> && !SplitDividedAtAccepts<T> && !SplitSeparatorSetAccepts<T>;

static_assert(acceptedByAll<std::string&>);
static_assert(acceptedByAll<const std::string&>);
static_assert(acceptedByAll<std::string_view>);
static_assert(acceptedByAll<const char (&)[4]>);
static_assert(acceptedByAll<const char*>);
static_assert(refusedByAll<std::string>);  // a prvalue or std::move(text)
static_assert(refusedByAll<std::string&&>);
static_assert(refusedByAll<const std::string&&>);

TEST(TemporaryViews, LvalueTextsStillGiveTheirViews) {
  const std::string text = "a=b";
  EXPECT_EQ(characters(text).size(), 3u);
  EXPECT_EQ(splitDividedAt(text, "="), (std::pair<std::string_view, std::string_view>("a", "b")));
  EXPECT_EQ(splitSeparatorSet(text, CharacterSet::fromCharacters("=")).size(), 2u);
}

}  // namespace
}  // namespace vantrel
