#include <fcntl.h>

#include <cstdint>
#include <optional>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/collections/random_generators.h"

namespace vantrel {
namespace {

// Two copies of one DevRandom share its descriptor: each thread draws from
// its own copy and drops it; whichever goes last closes the device.
TEST(DevRandomConcurrency, CopiesDrawOnTwoThreadsAndDropInEitherOrder) {
  for (bool firstDropsFirst : {true, false}) {
    std::optional<DevRandom> a{DevRandom()};
    std::optional<DevRandom> b{*a};
    const int fd = a->fd().value();
    std::vector<std::uint8_t> bytesA(4096), bytesB(4096);
    std::thread ta([&] {
      for (int i = 0; i < 50; ++i) a->randomize(bytesA.data(), 4096);
      if (firstDropsFirst) a.reset();
    });
    std::thread tb([&] {
      for (int i = 0; i < 50; ++i) (void)b->random64(1000);
      if (!firstDropsFirst) b.reset();
    });
    ta.join();
    tb.join();
    EXPECT_NE(::fcntl(fd, F_GETFD), -1);
    a.reset();
    b.reset();
    EXPECT_EQ(::fcntl(fd, F_GETFD), -1);
  }
}

}  // namespace
}  // namespace vantrel
