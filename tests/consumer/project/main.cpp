// A program outside the project, built against the installed library.
#include <vantrel/core/console_color.h>
#include <vantrel/core/console_loggers.h>
#include <vantrel/text/padding.h>

int main() {
  vantrel::qlogging.green("consumer: " + vantrel::paddedLeft("7", 3, "0") + " " +
                          vantrel::cc("ok", vantrel::ConsoleColor::green));
  return 0;
}
