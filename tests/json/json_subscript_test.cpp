// What a subscript hands out, by the value it is taken from: a view of a
// value that stays, a value of its own from one about to go, and through a
// value that is not const a proxy that reads without allocating and still
// writes through.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "vantrel/json/json.h"

namespace {

// Allocations made on this thread, counted by the replaced global operator
// new of this test program.
thread_local long allocationsOnThisThread = 0;

void* countedAllocation(std::size_t size) {
  ++allocationsOnThisThread;
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return countedAllocation(size); }
void* operator new[](std::size_t size) { return countedAllocation(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  ++allocationsOnThisThread;
  return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  ++allocationsOnThisThread;
  return std::malloc(size == 0 ? 1 : size);
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { std::free(memory); }

namespace vantrel {
namespace {

const char* const kDocument =
    R"({"a": {"b": ["first text, longer than the inline limit", "second"]},
        "name": "a name longer than fifteen bytes", "list": [1, 2, 3]})";

const Json makeConstJson() { return Json::fromParseString(kDocument); }

// Forms that would keep a view of a value about to go do not compile.
static_assert(!std::is_constructible_v<JsonView, Json>);
static_assert(!std::is_constructible_v<JsonView, const Json>);
static_assert(!std::is_constructible_v<JsonView, JsonSubscript>);
static_assert(!std::is_convertible_v<Json, JsonView>);
static_assert(!std::is_convertible_v<JsonSubscript, JsonView>);
static_assert(!std::is_assignable_v<JsonView&, Json>);
static_assert(!std::is_assignable_v<JsonView&, JsonSubscript>);
// Views of values that stay.
static_assert(std::is_constructible_v<JsonView, const Json&>);
static_assert(std::is_constructible_v<JsonView, Json&>);
static_assert(std::is_convertible_v<const JsonSubscript&, JsonView>);
// What each form hands out.
static_assert(std::is_same_v<decltype(std::declval<Json>()["name"]), Json>);
static_assert(std::is_same_v<decltype(std::declval<const Json>()["name"]), Json>);
static_assert(std::is_same_v<decltype(std::declval<Json>()("a", "b", 1)), Json>);
static_assert(std::is_same_v<decltype(std::declval<const Json>()("a", "b")), Json>);
static_assert(std::is_same_v<decltype(std::declval<const Json&>()["name"]), JsonView>);
static_assert(std::is_same_v<decltype(std::declval<const Json&>()("a", "b")), JsonView>);
static_assert(std::is_same_v<decltype(std::declval<Json&>()["name"]), JsonSubscript>);
static_assert(std::is_same_v<decltype(std::declval<Json&>()("a", "b")), JsonSubscript>);
static_assert(std::is_same_v<decltype(std::declval<const JsonSubscript>()["name"]), Json>);

// Run under AddressSanitizer in CI: each form once read freed memory.
TEST(JsonSubscript, ValuesTakenFromTemporariesOwnWhatTheyRead) {
  auto element = Json::fromParseString(kDocument)("a", "b", 0);
  EXPECT_EQ(element.stringValue(), "first text, longer than the inline limit");

  std::vector<std::string> texts;
  for (const auto& member : Json::fromParseString(kDocument)("a", "b")) texts.push_back(member.stringValue());
  EXPECT_EQ(texts, (std::vector<std::string>{"first text, longer than the inline limit", "second"}));

  auto name = makeConstJson()["name"];
  EXPECT_EQ(name.stringValue(), "a name longer than fifteen bytes");

  const Json path = Json::fromParseString(kDocument)[JsonPath{"a", "b", 1}];
  EXPECT_EQ(path.stringValue(), "second");

  // In one expression the temporary lives long enough for a view.
  EXPECT_EQ(Json::fromParseString(kDocument)("a", "b", 1).stringValue(), "second");
}

TEST(JsonSubscript, ViewsOfNamedValues) {
  const Json document = Json::fromParseString(kDocument);
  const JsonView name = document["name"];
  EXPECT_EQ(name.stringValue(), "a name longer than fifteen bytes");
  EXPECT_EQ(&name.managedJsonObject(), &document["name"].managedJsonObject());

  Json changing = Json::fromParseString(kDocument);
  auto stored = changing["name"];
  auto deep = changing("a", "b", 0);
  EXPECT_EQ(stored.stringValue(), "a name longer than fifteen bytes");
  // A proxy keeps reading what it read, whatever becomes of its value.
  changing["name"] = "changed";
  changing = Json();
  EXPECT_EQ(stored.stringValue(), "a name longer than fifteen bytes");
  EXPECT_EQ(deep.stringValue(), "first text, longer than the inline limit");
}

// Proxies read in place, and take a count of what they read when the value
// they came from changes, moves or goes: kept in containers, moved around,
// outliving it, or changed as values of their own.
TEST(JsonSubscript, ProxiesKeepWhatTheyReadWhateverBecomesOfTheirValue) {
  std::optional<JsonSubscript> outliving;
  std::vector<JsonSubscript> kept;
  {
    Json root = Json::fromParseString(kDocument);
    for (int i = 0; i < 12; ++i) kept.push_back(root["list"][i % 3]);  // moved as the vector grows
    kept.push_back(root[JsonPath{}]);
    outliving.emplace(root["a"]["b"]);
    auto own = root["name"];
    own.setManagedJsonObject(PlatformValue(5));
    Json moved = std::move(root);
    EXPECT_EQ(kept.back().count(), 3);
    EXPECT_EQ(own.intValue(), 5);
    moved = Json();
    EXPECT_EQ(own.intValue(), 5);
    EXPECT_EQ(own.path(), (JsonPath{"name"}));
  }
  EXPECT_EQ(kept[4].path(), (JsonPath{"list", 1}));
  EXPECT_EQ(outliving->path(), (JsonPath{"a", "b"}));
  for (int i = 0; i < 12; ++i) EXPECT_EQ(kept[static_cast<std::size_t>(i)].intValue(), i % 3 + 1);
  EXPECT_EQ(kept.back()["name"].stringValue(), "a name longer than fifteen bytes");
  EXPECT_EQ((*outliving)[1].stringValue(), "second");
  EXPECT_EQ(std::as_const(*outliving).count(), 2);
}

TEST(JsonSubscript, WritesThroughProxiesReadTheNewValue) {
  Json value = Json::fromParseString(kDocument);
  auto member = value["a"]["b"][0];
  member = "replaced";
  EXPECT_EQ(member.stringValue(), "replaced");
  EXPECT_EQ(value("a", "b", 0).stringValue(), "replaced");
  value("a", "new key longer than fifteen bytes") = 7;
  EXPECT_EQ(value["a"]["new key longer than fifteen bytes"].intValue(), 7);
  auto missing = value["a"]["another key longer than fifteen"];
  EXPECT_EQ(missing.error(), JsonError::notExist);
  missing = true;
  EXPECT_EQ(value("a", "another key longer than fifteen").boolValue(), true);
  EXPECT_EQ(missing.path(), (JsonPath{"a", "another key longer than fifteen"}));
  // Paths longer than the steps held in place.
  value["a"] = Json::fromParseString(R"({"b": {"c": {"d": {"e": {"f": 1}}}}})");
  value["a"]["b"]["c"]["d"]["e"]["f"] = 2;
  EXPECT_EQ(value("a", "b", "c", "d", "e", "f").intValue(), 2);
  EXPECT_EQ(value["a"]["b"]["c"]["d"]["e"]["f"].path().size(), 6u);
  // A copy of a proxy is the value read, not the value it came from.
  const Json copy = value["list"][1];
  EXPECT_EQ(copy.intValue(), 2);
  Json moved = std::move(value["list"]);
  EXPECT_EQ(moved.count(), 3);
  EXPECT_EQ(value["list"].count(), 3);
}

// A path held in place and beyond it, of found and missing keys past the
// inline limit, copied and moved, keeps its keys once the value it came
// from goes (AddressSanitizer checks that every held key is released once).
TEST(JsonSubscript, LongPathsKeepTheirKeysWhenTheValueGoes) {
  const std::string a(20, 'a');
  const std::string b(24, 'b');
  const JsonPath expected{a, b, "c", 0, "d", "a key of more than fifteen bytes, missing"};
  std::optional<JsonSubscript> changedAlone;
  std::optional<JsonSubscript> copied;
  {
    Json root = Json::fromParseString(R"({")" + a + R"(": {")" + b + R"(": {"c": [{"d": {}}]}}})");
    auto deep = root[a][b]["c"][0]["d"]["a key of more than fifteen bytes, missing"];
    EXPECT_EQ(deep.error(), JsonError::notExist);
    copied.emplace(deep);
    auto found = root[a][b]["c"][0]["d"];
    found.setManagedJsonObject(PlatformValue(9));  // now reads its own value
    changedAlone.emplace(std::move(found));
    EXPECT_EQ(deep.path(), expected);
  }
  EXPECT_EQ(copied->path(), expected);
  EXPECT_EQ(changedAlone->path(), (JsonPath{a, b, "c", 0, "d"}));
  EXPECT_EQ(changedAlone->intValue(), 9);
}

TEST(JsonSubscript, ReadsThroughAValueThatIsNotConstAllocateNothing) {
  Json value = Json::fromParseString(kDocument);
  const Json& constant = value;
  long total = 0;
  const long before = allocationsOnThisThread;
  total += value["list"][1].intValue();
  total += value("a", "b", 1).count();
  total += value["a"]["b"][0].exists() ? 1 : 0;
  total += value["name"].type() == JsonType::string ? 1 : 0;
  total += value["missing"]["deeper"].exists() ? 1 : 0;
  total += value[JsonPath{}].count();
  const long made = allocationsOnThisThread - before;
  EXPECT_EQ(made, 0);
  EXPECT_EQ(total, 2 + 0 + 1 + 1 + 0 + 3);
  // The same reads through a const reference, for comparison.
  const long constBefore = allocationsOnThisThread;
  total = constant["list"][1].intValue() + constant("a", "b", 1).count();
  EXPECT_EQ(allocationsOnThisThread - constBefore, 0);
  EXPECT_EQ(total, 2);
}

}  // namespace
}  // namespace vantrel
