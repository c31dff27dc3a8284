#include "vantrel/foundation/logs/internal/log_file_factory.h"

#include <string>

#include <fmt/format.h>

#include "vantrel/core/console.h"
#include "vantrel/foundation/files/file_operations.h"
#include "vantrel/platform/foundation/files/file_manager.h"
#include "vantrel/platform/foundation/files/folders.h"

namespace vantrel::foundation_internal {

URL defaultLogFolder() {
  const URL folder = URL::fileURLWithPath(standardFolderPath(StandardFolder::library), true)
                         .appendingPathComponent("Private Documents", true)
                         .appendingPathComponent("logs", true);
  (void)ensureDirExists(FileManager::defaultManager(), folder);  // a failure shows as cannotCreateFile
  return folder;
}

URL logFileInFolder(std::string_view name, const URL& folder) {
  return folder.appendingPathComponent(std::string(name) + ".log");
}

const URL& makeLogFolder(const URL& folder) {
  (void)ensureDirExists(FileManager::defaultManager(), folder);  // a failure shows as cannotCreateFile
  return folder;
}

void printBadLogFileName(std::string_view owner, std::string_view name) {
  consolePrintError(fmt::format(
      "{}: cannot create a log named \"{}\": the name must be a file name (not empty, \".\", \"..\" or holding \"/\")",
      owner, name));
}

}  // namespace vantrel::foundation_internal
