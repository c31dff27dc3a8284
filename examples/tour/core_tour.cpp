#include <stdexcept>
#include <vector>

#include <vantrel/core/coding_aids.h>
#include <vantrel/core/console_color.h>
#include <vantrel/core/console_loggers.h>
#include <vantrel/core/describe.h>
#include <vantrel/core/trace.h>
#include <vantrel/text/padding.h>

#include "tour.h"

using namespace vantrel;

TOUR_SECTION(10, "Console loggers: classic ANSI colours (qansilog)") { qansilog.testOutput(); }

// Escapes only a console or log viewer that reads them shows; a terminal
// shows them as text.
TOUR_SECTION(11, "Console loggers: 24-bit colours (qlog), for viewers that read them") { qlog.testOutput(); }

TOUR_SECTION(12, "Console loggers: plain lines and error reports") {
  qlogging.red("a plain line");
  qansilog.error("Error deleting '/tmp/x'", std::runtime_error("No such file or directory"));
  const QLogging& handle = qansilog;  // a logger handle keeps its style
  handle.warning("through a handle");
}

TOUR_SECTION(13, "Console colours and modifiers") {
  std::printf("%s %s %s\n", cc("red", ConsoleColor::red).c_str(),
              cc("bold underscored blue", ConsoleColor::lightBlue,
                 ConsoleModifier{ConsoleModifier::bold, ConsoleModifier::underscored})
                  .c_str(),
              ccOptional("no colour", std::nullopt).c_str());
}

TOUR_SECTION(14, "Trace prints and coding aids") {
  qfilelog("where am I?");
  qflow("flow step");
  VantrelCoding::importantLog("something important");
}

TOUR_SECTION(15, "Descriptions and padding") {
  std::printf("%s  %s  %s\n", describe(std::vector<double>{1.0, 1e16, 1e-5}).c_str(),
              describe(std::optional<std::string>("x")).c_str(),
              ("[" + paddedLeft("7", 3, " ") + "]").c_str());
}
