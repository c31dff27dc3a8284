// Library calls once the calling thread's thread_local objects are gone: from
// a thread_local destructor of another thread and of the main thread, an
// atexit handler and a static destructor, after the same calls in main.
//   at_exit <folder>         also sets 50 user defaults there and returns,
//                            leaving them to the library's exit hook
//   at_exit check <folder>   prints how many of them it reads back
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <vantrel/foundation/time/rfc822_date.h>
#include <vantrel/json/json.h>
#include <vantrel/platform/foundation/defaults/user_defaults.h>
#include <vantrel/text/characters.h>

namespace {

void report(const char* place) {
  const vantrel::Json json = vantrel::Json::fromParseString(R"({"b":1})");
  const auto date = vantrel::dateFromRFC822String("Tue, 10 Jun 2003 04:00:00 GMT");
  const long long seconds =
      date ? static_cast<long long>(std::chrono::duration_cast<std::chrono::seconds>(date->time_since_epoch()).count())
           : -1;
  std::printf("%s: %s %zu %lld %lld\n", place, json.makeData().c_str(), json.makeStringJsonWriter().size(),
              static_cast<long long>(vantrel::characterCount("e\u0301\r\n")), seconds);
}

bool reporting = false;

struct ReportsWhenDestroyed {
  const char* place;
  ~ReportsWhenDestroyed() {
    if (reporting) report(place);
  }
};

ReportsWhenDestroyed lastOfAll{"static destructor"};

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string_view(argv[1]) == "check") {
    vantrel::UserDefaults::setDirectoryForTesting(argv[2]);
    const auto defaults = vantrel::UserDefaults::create("com.example.at-exit");
    int found = 0;
    for (int i = 0; i < 50; ++i) found += defaults->integerForKey("key" + std::to_string(i)) == i ? 1 : 0;
    std::printf("defaults: %d\n", found);
    return 0;
  }
  reporting = true;
  // Made before anything of the library's, so destroyed after it.
  thread_local ReportsWhenDestroyed mainThread{"main thread's thread_local destructor"};
  (void)&mainThread;
  // Grows the thread's JSON buffer past its first size.
  (void)vantrel::Json(std::vector<std::string>(5, std::string(30000, 'x'))).makeStringJsonWriter();
  report("main");
  std::thread([] {
    thread_local ReportsWhenDestroyed other{"other thread's thread_local destructor"};
    (void)&other;
    (void)vantrel::characterCount("x");
  }).join();
  std::atexit([] { report("atexit handler"); });
  if (argc == 2) {
    vantrel::UserDefaults::setDirectoryForTesting(argv[1]);
    const auto defaults = vantrel::UserDefaults::create("com.example.at-exit");
    for (int i = 0; i < 50; ++i) defaults->set("key" + std::to_string(i), i);
  }
  return 0;
}
