#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Tests run the same on a desktop as on CI: no real clipboard, screens,
  // key grabs or desktop settings leak in. A test that wants an X server
  // starts its own Xvfb and names it.
  unsetenv("DISPLAY");
  setenv("GSETTINGS_BACKEND", "memory", 1);
  // Re-executing the binary for each death test keeps threads started by
  // earlier tests out of the forked child.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  return RUN_ALL_TESTS();
}
