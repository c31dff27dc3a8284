// Only a CSV log (foundation): no X11, libcurl, cairo or Pango at start-up.
#include <cstdio>

#include <vantrel/foundation/logs/csv_logger.h>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  auto log = vantrel::CsvLogger::createWithLogFileUrl("consumer", vantrel::URL::fileURLWithPath(argv[1]));
  log->log({"a", "b"});
  std::printf("csv log: %s\n", log->flush() ? "written" : "late");
  return 0;
}
