// A program outside the project, built against the installed libraries of
// core, text and collections only.
#include <vantrel/collections/numeric.h>
#include <vantrel/core/console_color.h>
#include <vantrel/core/console_loggers.h>
#include <vantrel/text/padding.h>

int main() {
  vantrel::qlogging.green("consumer: " + vantrel::paddedLeft("7", 3, "0") + " " +
                          vantrel::makeString(vantrel::numberOfDigits(-12)) + " " +
                          vantrel::cc("ok", vantrel::ConsoleColor::green));
  return 0;
}
