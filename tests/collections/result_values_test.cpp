#include "vantrel/collections/result_values.h"

#include <array>
#include <cstdint>
#include <numeric>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vantrel {
namespace {

using IntResult = Pesult<int, AnyVtError>;

TEST(Pesult, ExactTexts) {
  struct Case {
    const char* name;
    std::string description, debugDescription, expectedDescription, expectedDebug;
  };
  const Case cases[] = {
      {"success", IntResult::success(5).description(), IntResult::success(5).debugDescription(), "SUCCESS",
       "SUCCESS: 5"},
      {"failure", IntResult::failure(AnyVtError()).description(), IntResult::failure(AnyVtError()).debugDescription(),
       "FAILURE", "FAILURE: AnyVtError()"},
      {"simple error", Pesult<std::string, SimpleError>::failure(SimpleError("m")).description(),
       Pesult<std::string, SimpleError>::failure(SimpleError("m")).debugDescription(), "FAILURE",
       "FAILURE: error(\"m\")"},
      {"text value", "SUCCESS", Pesult<std::string, SimpleError>::success("t").debugDescription(), "SUCCESS",
       "SUCCESS: t"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.description, c.expectedDescription);
    EXPECT_EQ(c.debugDescription, c.expectedDebug);
  }
}

TEST(Pesult, SuccessAccessors) {
  const auto r = IntResult::success(5);
  EXPECT_TRUE(r.isSuccess());
  EXPECT_FALSE(r.isFailure());
  EXPECT_EQ(r.value(), 5);
  EXPECT_EQ(r.error(), nullptr);
  EXPECT_EQ(r.tuple(), (std::pair<std::optional<int>, AnyError>(5, nullptr)));
  EXPECT_EQ(r.valueValue(), 5);
  int seen = 0;
  r.onSuccess([&](int v) { seen = v; }, [&](const AnyError&) { ADD_FAILURE() << "error closure ran"; });
  EXPECT_EQ(seen, 5);
}

TEST(Pesult, FailureAccessors) {
  const auto r = Pesult<int, SimpleError>::failure(SimpleError("m"));
  EXPECT_EQ(r.value(), std::nullopt);
  ASSERT_NE(r.error(), nullptr);
  EXPECT_EQ(describe(r.error()), "error(\"m\")");
  EXPECT_EQ(r.tuple().first, std::nullopt);
  EXPECT_EQ(describe(r.errorValue()), "error(\"m\")");
  int errors = 0;
  r.onSuccess([&](int) { ADD_FAILURE() << "value closure ran"; },
              [&](const AnyError& e) {
                ++errors;
                EXPECT_NE(dynamic_cast<const SimpleError*>(e.get()), nullptr);
              });
  EXPECT_EQ(errors, 1);
}

TEST(Pesult, AnyVtErrorThrowsAndBridges) {
  try {
    throw AnyVtError();
  } catch (const std::exception& e) {
    EXPECT_EQ(describe(e), "AnyVtError()");
  }
  const auto object = ns(std::make_shared<AnyVtError>());
  EXPECT_EQ(object->domain(), "vantrel::AnyVtError");
  EXPECT_EQ(object->code(), 1);
  EXPECT_EQ(object->localizedDescription(), "AnyVtError()");
}

TEST(Pesult, NsKeepsAnErrorObjectAndConvertsOthers) {
  const auto original = std::make_shared<const NSError>("D", 9);
  EXPECT_EQ(ns(original), original);
  const auto converted = ns(std::make_shared<std::runtime_error>("disk"));
  EXPECT_EQ(converted->domain(), "std::runtime_error");
  EXPECT_EQ(converted->code(), 1);
  EXPECT_EQ(converted->localizedDescription(), "disk");
  EXPECT_EQ(ns(std::make_shared<SimpleError>("m"))->localizedDescription(), "error(\"m\")");
}

TEST(HexString, Dumps) {
  std::array<unsigned char, 65> counting{};
  std::iota(counting.begin(), counting.end(), static_cast<unsigned char>(0));
  const unsigned char six[] = {0x00, 0x01, 0x02, 0x0A, 0xFF, 0x10};
  std::string sixtyFour = "<";
  for (int i = 0; i < 64; ++i) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    sixtyFour += kDigits[i >> 4];
    sixtyFour += kDigits[i & 0xF];
    if (i % 4 == 3 && i != 63) sixtyFour += ' ';
  }
  struct Case {
    const char* name;
    const void* bytes;
    std::int64_t length;
    std::string expected;
  };
  const Case cases[] = {
      {"0 bytes", six, 0, "<>"},
      {"4 bytes", six, 4, "<0001020A>"},
      {"6 bytes", six, 6, "<0001020A FF10>"},
      {"64 bytes", counting.data(), 64, sixtyFour + ">"},
      {"65 bytes", counting.data(), 65, sixtyFour + " \n 40>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(asHexString(c.bytes, c.length), c.expected);
  }
}

TEST(PesultDeathTest, WrongCaseAndNegativeLength) {
  EXPECT_DEATH((void)IntResult::failure(AnyVtError()).valueValue(), "Fatal error: FAILURE");
  EXPECT_DEATH((void)IntResult::success(1).errorValue(), "Fatal error: SUCCESS");
  const char byte = 0;
  EXPECT_DEATH((void)asHexString(&byte, -1), "asHexString: the length -1 is negative");
  EXPECT_DEATH((void)ns(nullptr), "ns: there is no error to convert");
}

}  // namespace
}  // namespace vantrel
