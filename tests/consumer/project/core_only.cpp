// Only core: the yardstick for the others' start-up work.
#include <cstdio>

#include <vantrel/core/number_text.h>

int main() {
  std::printf("core: %s\n", vantrel::doubleText(2.5).c_str());
  return 0;
}
