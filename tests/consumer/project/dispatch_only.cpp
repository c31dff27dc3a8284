// Only dispatch.
#include <cstdio>

#include <vantrel/platform/dispatch/dispatch_queue.h>

int main() {
  auto queue = vantrel::DispatchQueue::create("consumer");
  int total = 0;
  for (int i = 1; i <= 4; ++i) queue->async([&total, i] { total += i; });
  queue->sync([] {});
  std::printf("dispatch: %d\n", total);
  return 0;
}
