#include "vantrel/core/coding_aids.h"

#include <exception>

#include "vantrel/core/console.h"
#include "vantrel/core/error.h"
#include "vantrel/core/fatal.h"

namespace vantrel {

void VantrelCoding::importantLog(std::string_view message) {
  std::string line = "📛 IMPORTANT!! 📛 = ";
  line += message;
  consolePrint(line);
}

void VantrelCoding::unexpectedCodeReached(std::string_view message, SourceLocation loc) {
  std::string text = "Unexpected Code Reached: ";
  text += message;
  importantLog(text);
  fatal(text, loc);
}

void VantrelCoding::notYetImplemented() {
  consolePrint("📛📛📛📛📛 NYI NOT YET IMPLEMENTED 📛📛📛📛📛");
}

void core_internal::optionalCastFatal(std::string_view requested, std::string_view actual,
                                      SourceLocation loc) {
  std::string text = "optionalCast<";
  text.append(requested).append(">(instanceSome) failed. Is of type: ").append(actual);
  fatal(text, loc);
}

void whenThrowing(std::string_view fatalErrorMessage, const std::function<void()>& block,
                  SourceLocation loc) {
  std::string description;
  try {
    block();
    return;
  } catch (const std::exception& e) {
    description = errorDescription(e);
  } catch (...) {
    description = "unknown error";
  }
  std::string text(fatalErrorMessage);
  text.append(": ").append(description);
  fatal(text, loc);
}

CommonHello::CommonHello() { consolePrint("hello2"); }

std::shared_ptr<CommonHello> CommonHello::create() { return std::make_shared<CommonHello>(); }

}  // namespace vantrel
