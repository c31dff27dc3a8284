#include <any>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "single_pass_range.h"
#include "vantrel/collections/dictionary_operations.h"
#include "vantrel/collections/sequence_queries.h"
#include "vantrel/core/describe.h"

namespace vantrel {
namespace {

using Strings = std::vector<std::string>;
using testing::SinglePass;

// Every query the table runs; the result is written as text.
enum class Query {
  allMatch,
  notFilter,
  filterAndNotFilter,
  firstMatch,
  lastMatch,
  firstPosition,
  lastPosition,
  dictionaryBy,
  dictionaryWithIndex,
  oneEach,
  group,
  groupAsTuple,
  createSet,
  uniqArray,
  duplicates,
  uniqArrayIncasesensitive,
  uniqSetIncasesensitive,
  withoutEmptyStrings,
  joinAnd,
};

std::string keyOf(const std::string& s) { return s.substr(0, 1); }

// Runs `query` over `range`; `closure` stands for the predicate, key
// function or pair maker and counts its calls.
template <class R, class Closure>
std::string run(Query query, R&& range, Closure&& closure) {
  auto byKey = [&](const std::string& s) {
    closure(s);
    return keyOf(s);
  };
  switch (query) {
    case Query::allMatch: return describe(allMatch(range, closure));
    case Query::notFilter: return describe(notFilter(range, closure));
    case Query::filterAndNotFilter: return describe(filterAndNotFilter(range, closure));
    case Query::firstMatch: return describe(firstMatch(range, closure));
    case Query::lastMatch: return describe(lastMatch(range, closure));
    case Query::firstPosition: return describe(firstPosition(range, closure));
    case Query::lastPosition: return describe(lastPosition(range, closure));
    case Query::dictionaryBy:
      return describe(vtRenderTitle(dictionaryBy(range, [&](const std::string& s) {
        closure(s);
        return std::pair(keyOf(s), s);
      })));
    case Query::dictionaryWithIndex: return describe(vtRenderTitle(dictionaryWithIndex(range, byKey)));
    case Query::oneEach: return describe(vtRenderTitle(oneEach(range, byKey)));
    case Query::group: return describe(vtRenderTitle(group(range, byKey)));
    case Query::groupAsTuple: return describe(groupAsTuple(range, byKey));
    case Query::createSet: {
      auto set = createSet(range, [&](const std::string& s) {
        closure(s);
        return s.size() > 1 ? std::optional<std::size_t>(s.size()) : std::nullopt;
      });
      return describe(std::set<std::size_t>(set.begin(), set.end()));
    }
    case Query::uniqArray: return describe(uniqArray(range));
    case Query::duplicates: return describe(duplicates(range));
    case Query::uniqArrayIncasesensitive: return describe(uniqArrayIncasesensitiveComparison(range));
    case Query::uniqSetIncasesensitive: {
      auto set = uniqSetIncasesensitiveComparison(range);
      return describe(std::set<std::string>(set.begin(), set.end()));
    }
    case Query::withoutEmptyStrings: return describe(withoutEmptyStrings(range));
    case Query::joinAnd: return joinWithCommaAndText(range, " and ");
  }
  return "?";
}

struct QueryCase {
  const char* name;
  Query query;
  Strings elements;
  std::string expected;
  std::int64_t expectedCalls;  // of the closure (which matches "x")
};

const QueryCase queryCases[] = {
    {"allMatch stops at the first failure", Query::allMatch, {"x", "y", "x"}, "false", 2},
    {"allMatch of an empty sequence", Query::allMatch, {}, "true", 0},
    {"allMatch all pass", Query::allMatch, {"x", "x"}, "true", 2},
    {"notFilter", Query::notFilter, {"x", "y", "x", "z"}, R"(["y", "z"])", 4},
    {"filterAndNotFilter", Query::filterAndNotFilter, {"x", "y", "x"}, R"((["x", "x"], ["y"]))", 3},
    {"firstMatch stops at the first success", Query::firstMatch, {"y", "x", "x"}, R"(Optional("x"))", 2},
    {"firstMatch finds nothing", Query::firstMatch, {"y", "z"}, "nil", 2},
    {"firstMatch of an empty sequence", Query::firstMatch, {}, "nil", 0},
    {"lastMatch tests from the back", Query::lastMatch, {"x", "y", "x", "y"}, R"(Optional("x"))", 2},
    {"lastMatch finds nothing", Query::lastMatch, {"y"}, "nil", 1},
    {"firstPosition of x, y, x", Query::firstPosition, {"x", "y", "x"}, "Optional(0)", 1},
    {"lastPosition of x, y, x", Query::lastPosition, {"x", "y", "x"}, "Optional(2)", 1},
    {"lastPosition counts from the front", Query::lastPosition, {"x", "y", "y"}, "Optional(0)", 3},
    {"firstPosition finds nothing", Query::firstPosition, {"y"}, "nil", 1},
    {"lastPosition of an empty sequence", Query::lastPosition, {}, "nil", 0},
    {"dictionaryBy keeps the last", Query::dictionaryBy, {"a1", "b2", "a3"}, R"(["0: a -> a3", "1: b -> b2"])", 3},
    {"dictionaryWithIndex keeps the last", Query::dictionaryWithIndex, {"a1", "b2", "a3"},
     R"(["0: a -> a3", "1: b -> b2"])", 3},
    {"oneEach keeps the first", Query::oneEach, {"a1", "b2", "a3"}, R"(["0: a -> a1", "1: b -> b2"])", 3},
    {"group", Query::group, {"a1", "b2", "a3"}, R"(["0: a -> [\"a1\", \"a3\"]", "1: b -> [\"b2\"]"])", 3},
    {"group of nothing", Query::group, {}, "[]", 0},
    {"groupAsTuple in order of first appearance", Query::groupAsTuple, {"b1", "a2", "b3", "c4"},
     R"([("b", ["b1", "b3"]), ("a", ["a2"]), ("c", ["c4"])])", 4},
    {"groupAsTuple of nothing", Query::groupAsTuple, {}, "[]", 0},
    {"createSet skips nothing-values", Query::createSet, {"ab", "c", "de", "fgh"}, "[2, 3]", 4},
    {"createSet of only nothing", Query::createSet, {"a", "b"}, "[]", 2},
    {"uniqArray", Query::uniqArray, {"b", "a", "b", "c", "a"}, R"(["b", "a", "c"])", 0},
    {"uniqArray is canonical", Query::uniqArray, {"\u00e9", "e\u0301"}, R"(["é"])", 0},
    {"duplicates of 1, 2, 1, 1, 3, 2", Query::duplicates, {"1", "2", "1", "1", "3", "2"}, R"(["1", "1", "2"])", 0},
    {"duplicates without repeats", Query::duplicates, {"1", "2"}, "[]", 0},
    {"duplicates of three equal", Query::duplicates, {"1", "1", "1"}, R"(["1", "1"])", 0},
    {"case-insensitive uniqueness", Query::uniqArrayIncasesensitive, {"Abc", "abc", "ABC", "x"}, R"(["Abc", "x"])", 0},
    {"case-insensitive beyond ASCII", Query::uniqArrayIncasesensitive, {"\u00c9", "\u00e9", "X"}, R"(["É", "X"])", 0},
    {"case-insensitive and canonical", Query::uniqArrayIncasesensitive, {"e\u0301", "\u00c9", "\u00e9"},
     "[\"e\u0301\"]", 0},
    {"case-insensitive set", Query::uniqSetIncasesensitive, {"Abc", "abc", "ABC", "x"}, R"(["Abc", "x"])", 0},
    {"withoutEmptyStrings keeps a blank", Query::withoutEmptyStrings, {"", " ", "a", ""}, R"([" ", "a"])", 0},
    {"join nothing", Query::joinAnd, {}, "", 0},
    {"join one", Query::joinAnd, {"a"}, "a", 0},
    {"join two never uses the separator", Query::joinAnd, {"a", "b"}, "a and b", 0},
    {"join three", Query::joinAnd, {"a", "b", "c"}, "a, b and c", 0},
    {"join four", Query::joinAnd, {"a", "b", "c", "d"}, "a, b, c and d", 0},
};

template <class MakeRange>
void runTable(const char* over, MakeRange makeRange) {
  for (const QueryCase& c : queryCases) {
    Strings calls;
    auto isX = [&](const std::string& s) {
      calls.push_back(s);
      return s == "x";
    };
    EXPECT_EQ(run(c.query, makeRange(c.elements), isX), c.expected) << c.name << " over " << over;
    EXPECT_EQ(static_cast<std::int64_t>(calls.size()), c.expectedCalls) << c.name << " over " << over;
  }
}

TEST(SequenceQueries, TableOverAVector) {
  runTable("a vector", [](const Strings& elements) { return elements; });
}

TEST(SequenceQueries, TableOverASinglePassRange) {
  runTable("a single-pass range", [](const Strings& elements) { return SinglePass<std::string>(elements); });
}

TEST(SequenceQueries, JoinWithASeparatorOfItsOwn) {
  EXPECT_EQ(joinWithCommaAndText(Strings{"a", "b", "c"}, "; ", " & "), "a; b & c");
  EXPECT_EQ(joinWithCommaAndText(Strings{"a", "b"}, "; ", " & "), "a & b");
}

TEST(SequenceQueries, FirstElementOfATypeOverAnyValues) {
  const std::vector<std::any> mixed{std::string("s"), 1.5, 7, std::any(), 8, std::string("t")};
  EXPECT_EQ(vtFirstElement<int>(mixed), 7);
  EXPECT_EQ(vtFirstElementThatIs<std::string>(mixed), "s");
  EXPECT_EQ(vtFirstElement<float>(mixed), std::nullopt);
  EXPECT_EQ(vtFirstElement<int>(SinglePass<std::any>(mixed)), 7);

  std::vector<int> asked;
  auto aboveSeven = [&](int v) {
    asked.push_back(v);
    return v > 7;
  };
  EXPECT_EQ(vtFirstElement2<int>(mixed, aboveSeven), 8);
  EXPECT_EQ(asked, (std::vector<int>{7, 8}));  // only the ints, stopping at the match
  EXPECT_EQ(vtFirstElementThatIs2<std::string>(mixed, [](const std::string& s) { return s == "t"; }), "t");
  EXPECT_EQ(vtFirstElement2<int>(mixed, [](int) { return false; }), std::nullopt);
}

struct Shape {
  virtual ~Shape() = default;
  std::string name;
};
struct Circle : Shape {};
struct Square : Shape {};

std::shared_ptr<Shape> make(std::shared_ptr<Shape> shape, std::string name) {
  shape->name = std::move(name);
  return shape;
}

TEST(SequenceQueries, FirstElementOfATypeOverObjects) {
  const std::vector<std::shared_ptr<Shape>> shapes{make(std::make_shared<Square>(), "s1"), nullptr,
                                                   make(std::make_shared<Circle>(), "c1"),
                                                   make(std::make_shared<Circle>(), "c2")};
  const std::shared_ptr<Circle> circle = vtFirstElement<Circle>(shapes);
  ASSERT_NE(circle, nullptr);
  EXPECT_EQ(circle->name, "c1");
  EXPECT_EQ(circle, shapes[2]);  // the object itself, not a copy
  const auto second = vtFirstElement2<Circle>(shapes, [](const std::shared_ptr<Circle>& c) { return c->name == "c2"; });
  EXPECT_EQ(second, shapes[3]);
  EXPECT_EQ(vtFirstElement<Square>(std::vector<std::shared_ptr<Shape>>{nullptr}), nullptr);
}

}  // namespace
}  // namespace vantrel
