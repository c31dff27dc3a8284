#include <gtest/gtest.h>
#include <pthread.h>

#include <functional>
#include <utility>

#include "vantrel/json/json.h"

namespace vantrel {
namespace {

constexpr int kMillion = 1'000'000;

// Runs `work` on a thread whose stack is 8 MB, the common default, so a
// recursion a million deep overflows it whatever the host's limit is.
void onEightMegabyteStack(const std::function<void()>& work) {
  pthread_attr_t attributes;
  ASSERT_EQ(pthread_attr_init(&attributes), 0);
  ASSERT_EQ(pthread_attr_setstacksize(&attributes, 8u << 20), 0);
  pthread_t thread;
  auto run = [](void* argument) -> void* {
    (*static_cast<const std::function<void()>*>(argument))();
    return nullptr;
  };
  ASSERT_EQ(pthread_create(&thread, &attributes, run, const_cast<std::function<void()>*>(&work)), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attributes);
}

PlatformValue nestedArrays(int depth) {
  PlatformValue value = 1;
  for (int i = 0; i < depth; ++i) {
    PlatformValue::Array outer;
    outer.push_back(std::move(value));
    value = PlatformValue(std::move(outer));
  }
  return value;
}

PlatformValue nestedDictionaries(int depth) {
  PlatformValue value = "leaf";
  for (int i = 0; i < depth; ++i) {
    JsonDictionary outer;
    outer.insertOrAssign("k", std::move(value));
    value = PlatformValue(std::move(outer));
  }
  return value;
}

TEST(JsonDeepValue, AMillionDeepArrayIsDestroyedWithoutRecursion) {
  onEightMegabyteStack([] {
    Json value(nestedArrays(kMillion));
    EXPECT_EQ(value.type(), JsonType::array);
    value = Json();  // the old value goes here
    EXPECT_EQ(value.type(), JsonType::null);
  });
}

TEST(JsonDeepValue, AMillionDeepDictionaryIsDestroyedWithoutRecursion) {
  onEightMegabyteStack([] {
    const Json value(nestedDictionaries(kMillion));
    EXPECT_EQ(value["k"]["k"].type(), JsonType::dictionary);
  });
}

TEST(JsonDeepValue, AMillionJsonValuesInsideEachOtherAreDestroyedWithoutRecursion) {
  onEightMegabyteStack([] {
    Json value = 1;
    for (int i = 0; i < kMillion / 5; ++i) value = Json::fromArrayLiteral({value});
    EXPECT_EQ(value.count(), 1);
  });
}

TEST(JsonDeepValue, ASharedInnerValueOutlivesTheOuterOne) {
  onEightMegabyteStack([] {
    PlatformValue inner = nestedArrays(kMillion / 2);
    {
      PlatformValue::Array outer{inner, nestedDictionaries(1000)};
      const PlatformValue holder(std::move(outer));
      EXPECT_EQ(inner.shareCount(), 2);
    }
    EXPECT_EQ(inner.shareCount(), 1);
    const PlatformValue* element = &inner;
    for (int i = 0; i < 3; ++i) element = &element->array()->front();
    EXPECT_EQ(element->kind(), PlatformValue::Kind::array);
  });
}

}  // namespace
}  // namespace vantrel
